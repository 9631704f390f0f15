#include "dsbase/Registration.h"

#include <wrl/client.h>

#include "wincom/Result.h"

using Microsoft::WRL::ComPtr;

namespace {

HRESULT SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const LONG rc =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return lumoka::HResultFromWin32(rc);
}

HRESULT CreateKey(const std::wstring& path, HKEY* key) {
    return lumoka::HResultFromWin32(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0,
                                                    KEY_WRITE, nullptr, key, nullptr));
}

std::wstring InstanceKey(const CCategoryEntry& entry) {
    return entry.instanceKey.empty() ? GuidString(entry.clsid) : entry.instanceKey;
}

}  // namespace

std::wstring GuidString(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT RegisterComServer(REFCLSID clsid, const wchar_t* name, const wchar_t* modulePath,
                          const wchar_t* threadingModel) {
    const std::wstring base = L"CLSID\\" + GuidString(clsid);
    HKEY key = nullptr;
    RETURN_IF_FAILED(CreateKey(base, &key));
    HRESULT hr = SetString(key, nullptr, name);
    RegCloseKey(key);
    RETURN_IF_FAILED(hr);
    RETURN_IF_FAILED(CreateKey(base + L"\\InprocServer32", &key));
    hr = SetString(key, nullptr, modulePath);
    if (SUCCEEDED(hr)) hr = SetString(key, L"ThreadingModel", threadingModel);
    RegCloseKey(key);
    return hr;
}

HRESULT UnregisterComServer(REFCLSID clsid) {
    const std::wstring path = L"CLSID\\" + GuidString(clsid);
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_FALSE : lumoka::HResultFromWin32(rc);
}

HRESULT RegisterInCategory(const CCategoryEntry& entry) {
    const std::wstring path =
        L"CLSID\\" + GuidString(entry.category) + L"\\Instance\\" + InstanceKey(entry);
    HKEY key = nullptr;
    RETURN_IF_FAILED(CreateKey(path, &key));
    HRESULT hr = SetString(key, L"CLSID", GuidString(entry.clsid));
    if (SUCCEEDED(hr)) hr = SetString(key, L"FriendlyName", entry.friendlyName);
    if (SUCCEEDED(hr) && !entry.description.empty()) {
        hr = SetString(key, L"Description", entry.description);
    }
    if (SUCCEEDED(hr) && !entry.devicePath.empty()) {
        hr = SetString(key, L"DevicePath", entry.devicePath);
    }
    if (SUCCEEDED(hr)) {
        const DWORD merit = entry.merit;
        hr = lumoka::HResultFromWin32(RegSetValueExW(
            key, L"Merit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&merit), sizeof(merit)));
    }
    RegCloseKey(key);
    return hr;
}

HRESULT RegisterWithFilterMapper(const CCategoryEntry& entry, const REGFILTER2& data) {
    ComPtr<IFilterMapper2> mapper;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&mapper)));
    ComPtr<IMoniker> moniker;
    const std::wstring key = InstanceKey(entry);
    RETURN_IF_FAILED(mapper->RegisterFilter(entry.clsid, entry.friendlyName.c_str(), &moniker,
                                            &entry.category, key.c_str(), &data));
    if (!moniker) return S_OK;
    ComPtr<IPropertyBag> bag;
    RETURN_IF_FAILED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)));
    const std::pair<const wchar_t*, const std::wstring*> extra[] = {
        {L"Description", &entry.description}, {L"DevicePath", &entry.devicePath}};
    for (const auto& [name, value] : extra) {
        if (value->empty()) continue;
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(value->c_str());
        const HRESULT hr = bag->Write(name, &v);
        VariantClear(&v);
        RETURN_IF_FAILED(hr);
    }
    return S_OK;
}

HRESULT UnregisterFromCategory(const CCategoryEntry& entry) {
    const std::wstring path =
        L"CLSID\\" + GuidString(entry.category) + L"\\Instance\\" + InstanceKey(entry);
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? S_FALSE : lumoka::HResultFromWin32(rc);
}
