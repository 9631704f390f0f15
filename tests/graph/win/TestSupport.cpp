#include "TestSupport.h"
#include "wincom/ComAdopt.h"

namespace {

const wchar_t kWindowClass[] = L"LumokaGraphTestWindow";

LRESULT CALLBACK DefaultProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// An empty pin enumerator.
class CNoPins : public IEnumPins, public CRefCounted {
public:
    STANDIN_IUNKNOWN
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IEnumPins) {
            *out = static_cast<IEnumPins*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG, IPin** pins, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (pins) *pins = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** e) override {
        *e = new CNoPins;
        return S_OK;
    }
};

}  // namespace

ULONG CRefCounted::ReleaseImpl() {
    const ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
}

CTestWindow::CTestWindow(int clientWidth, int clientHeight, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc ? proc : DefaultProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    std::wstring cls = kWindowClass;
    if (proc) cls += std::to_wstring(reinterpret_cast<uintptr_t>(proc));
    wc.lpszClassName = cls.c_str();
    RegisterClassExW(&wc);
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    m_hwnd = CreateWindowExW(0, cls.c_str(), L"graph test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                             40, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    Pump(50);
}

CTestWindow::~CTestWindow() { Destroy(); }

void CTestWindow::Destroy() {
    if (m_hwnd) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

void CTestWindow::Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

HRESULT CStandInGraph::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (RefusedInterfaces.count(iid)) return E_NOINTERFACE;
    if (iid == IID_IUnknown || iid == IID_IFilterGraph || iid == IID_IGraphBuilder) {
        *out = static_cast<IGraphBuilder*>(this);
        AddRef();
        return S_OK;
    }
    if (iid == IID_IMediaEventEx && Events)
        return Events.CopyTo(reinterpret_cast<IMediaEventEx**>(out));
    return m_inner->QueryInterface(iid, out);
}

HRESULT CStandInGraph::AddFilter(IBaseFilter* f, LPCWSTR name) {
    if (name && RefusedNames.count(name)) return E_FAIL;
    return m_inner->AddFilter(f, name);
}

HRESULT CRefusingBuilder::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ICaptureGraphBuilder2) {
        *out = static_cast<ICaptureGraphBuilder2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CRefusingEvents::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IMediaEvent ||
        iid == IID_IMediaEventEx) {
        *out = static_cast<IMediaEventEx*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandInFilter::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter ||
        iid == IID_IBaseFilter) {
        *out = static_cast<IBaseFilter*>(this);
        AddRef();
        return S_OK;
    }
    if (iid == IID_ISpecifyPropertyPages && !m_pages.empty()) {
        *out = static_cast<ISpecifyPropertyPages*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT CStandInFilter::EnumPins(IEnumPins** e) {
    *e = new CNoPins;
    return S_OK;
}

HRESULT CStandInFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (m_infoFails) return E_FAIL;
    lstrcpynW(info->achName, m_name.c_str(), MAX_FILTER_NAME);
    info->pGraph = m_graph;
    if (m_graph) m_graph->AddRef();
    return S_OK;
}

HRESULT CStandInFilter::JoinFilterGraph(IFilterGraph* g, LPCWSTR name) {
    m_graph = g;
    m_name = name ? name : L"";
    return S_OK;
}

HRESULT CStandInFilter::GetPages(CAUUID* pages) {
    pages->cElems = static_cast<ULONG>(m_pages.size());
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * m_pages.size()));
    for (size_t i = 0; i < m_pages.size(); ++i) pages->pElems[i] = m_pages[i];
    return S_OK;
}

HRESULT CTestFactory::CreateFilterGraph(ComPtr<IGraphBuilder>& graph) {
    graph.Reset();
    if (FailGraph) return E_OUTOFMEMORY;
    if (GraphNullWithSuccess) return S_OK;
    ComPtr<IGraphBuilder> real;
    HRESULT hr =
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&real));
    if (FAILED(hr)) return hr;
    const bool wrap =
        !RefusedGraphInterfaces.empty() || !RefusedNames.empty() || RefuseNotifyWindow;
    if (!wrap) {
        graph = real;
        return S_OK;
    }
    LastGraph = lumoka::Adopt(new CStandInGraph(real));
    LastGraph->RefusedInterfaces = RefusedGraphInterfaces;
    LastGraph->RefusedNames = RefusedNames;
    if (RefuseNotifyWindow) LastGraph->Events = lumoka::Adopt(new CRefusingEvents);
    graph = LastGraph;
    return S_OK;
}

HRESULT CTestFactory::CreateCaptureBuilder(ComPtr<ICaptureGraphBuilder2>& builder) {
    builder.Reset();
    if (FailBuilder) return E_OUTOFMEMORY;
    if (BuilderRefusesGraph) {
        builder = lumoka::Adopt(new CRefusingBuilder);
        return S_OK;
    }
    return CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                            IID_PPV_ARGS(&builder));
}

HRESULT CTestFactory::CreateFilter(const GUID& clsid, ComPtr<IBaseFilter>& filter) {
    filter.Reset();
    CreatedClasses.push_back(clsid);
    if (FailingClasses.count(clsid)) return REGDB_E_CLASSNOTREG;
    auto sub = Substitutes.find(clsid);
    const GUID& actual = sub != Substitutes.end() ? sub->second : clsid;
    return CoCreateInstance(actual, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
}

bool CTestFactory::FindDevice(DeviceKind kind, const std::wstring& friendlyName,
                              const std::wstring& devicePath, ComPtr<IBaseFilter>& filter) {
    LookedUp.push_back(std::to_wstring(static_cast<int>(kind)) + L":" + friendlyName);
    auto it = DeviceClasses.find(friendlyName);
    if (it != DeviceClasses.end()) {
        filter.Reset();
        CoCreateInstance(it->second, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
        return true;
    }
    return ::FindDevice(kind, friendlyName, devicePath, FindVariant::GraphBuild, filter);
}

HRESULT CTestFactory::CreateTransform(ComPtr<IBaseFilter>& filter) {
    filter.Reset();
    if (!Transform) return E_NOTIMPL;
    return Transform(filter);
}

std::vector<std::wstring> LogLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find(L'\n', start)) != std::wstring::npos; start = nl + 1) {
        lines.push_back(text.substr(start, nl - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start) + L"<no newline>");
    return lines;
}

Profile VideoProfile(const std::wstring& name, const std::wstring& path) {
    Profile p = MakeDefaultProfile(0);
    p.Video.FriendlyName = name;
    p.Video.DevicePath = path;
    return p;
}

Profile AudioProfile(const std::wstring& name, const std::wstring& path) {
    Profile p = MakeDefaultProfile(0);
    p.Audio.FriendlyName = name;
    p.Audio.DevicePath = path;
    return p;
}

HRESULT RegisterDllBesideProgram(const wchar_t* dllName) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full = path;
    full = full.substr(0, full.find_last_of(L"\\/") + 1) + dllName;
    HMODULE module = LoadLibraryW(full.c_str());
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    using Fn = HRESULT(STDAPICALLTYPE*)();
    auto fn =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
    return fn ? fn() : HRESULT_FROM_WIN32(GetLastError());
}
