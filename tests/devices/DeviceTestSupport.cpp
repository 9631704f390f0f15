#include "DeviceTestSupport.h"

#include <oleauto.h>

#include "dsbase/PropertyBag.h"

namespace lumoka::test {

std::wstring BesideTestProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir + fileName;
}

HRESULT CallDllExport(const wchar_t* dllName, const char* exportName) {
    HMODULE module = LoadLibraryW(BesideTestProgram(dllName).c_str());
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    using Fn = HRESULT(STDAPICALLTYPE*)();
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
    if (!fn) return HRESULT_FROM_WIN32(GetLastError());
    return fn();
}

std::vector<EnumeratedDevice> EnumerateCategory(REFGUID category, DWORD flags) {
    std::vector<EnumeratedDevice> out;
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&devEnum)))) {
        return out;
    }
    ComPtr<IEnumMoniker> monikers;
    if (devEnum->CreateClassEnumerator(category, &monikers, flags) != S_OK) return out;
    ComPtr<IMoniker> m;
    while (monikers->Next(1, &m, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (SUCCEEDED(m->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)))) {
            EnumeratedDevice d;
            ReadBagString(bag.Get(), L"FriendlyName", &d.friendlyName);
            ReadBagString(bag.Get(), L"Description", &d.description);
            ReadBagString(bag.Get(), L"DevicePath", &d.devicePath);
            d.moniker = m;
            out.push_back(std::move(d));
        }
        m.Reset();
    }
    return out;
}

ComPtr<IBaseFilter> BindDevice(REFGUID category, const std::wstring& name,
                               const std::wstring& path) {
    ComPtr<IBaseFilter> filter;
    for (const EnumeratedDevice& d : EnumerateCategory(category)) {
        if (d.friendlyName == name && d.devicePath == path) {
            d.moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter));
            break;
        }
    }
    return filter;
}

HRESULT MakeGraph(Graph* g) {
    HRESULT hr =
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&g->graph));
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(&g->builder));
    if (FAILED(hr)) return hr;
    hr = g->builder->SetFiltergraph(g->graph.Get());
    if (FAILED(hr)) return hr;
    hr = g->graph.As(&g->control);
    if (FAILED(hr)) return hr;
    // MinGW declares no __uuidof for IMediaEventEx: ask by IID.
    return g->graph->QueryInterface(IID_IMediaEventEx,
                                    reinterpret_cast<void**>(g->events.ReleaseAndGetAddressOf()));
}

ComPtr<CRecordingSink> MakeSink(const wchar_t* pinName) {
    ComPtr<CRecordingSink> sink;
    // Takes over the creation reference (MinGW's ComPtr::Attach would add one more).
    *sink.GetAddressOf() = new CRecordingSink(pinName);
    return sink;
}

ComPtr<IPin> FindPin(ICaptureGraphBuilder2* b, IBaseFilter* f, PIN_DIRECTION dir,
                     const GUID* category, const GUID* type, int index) {
    ComPtr<IPin> pin;
    b->FindPin(f, dir, category, type, FALSE, index, &pin);
    return pin;
}

ComPtr<IPin> SinkPin(CRecordingSink* sink) {
    ComPtr<IPin> pin;
    sink->InputPin()->QueryInterface(IID_PPV_ARGS(&pin));
    return pin;
}

bool WaitForEvent(IMediaEventEx* events, long code, DWORD timeoutMs, LONG_PTR* p1, LONG_PTR* p2) {
    // Polled: after the queue has been read empty, Wine 8's GetEvent with a timeout returns
    // E_ABORT at once instead of waiting (SignalLoss.RegistrySwitchWorksFromOutside).
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        long c = 0;
        LONG_PTR a = 0, b = 0;
        while (events->GetEvent(&c, &a, &b, 0) == S_OK) {
            events->FreeEventParams(c, a, b);
            if (c == code) {
                if (p1) *p1 = a;
                if (p2) *p2 = b;
                return true;
            }
        }
        Sleep(10);
    } while (GetTickCount64() < end);
    return false;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

ULONG RefCount(IUnknown* unk) {
    unk->AddRef();
    return unk->Release();
}

}  // namespace lumoka::test
