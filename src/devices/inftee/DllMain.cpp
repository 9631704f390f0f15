// LumokaInfTeeStandIn.dll: registers the Infinite Pin Tee stand-in under the platform's class
// identifier, but only where that identifier is free or already ours. A system with the real
// filter (any other InprocServer32) is left untouched: DllRegisterServer then fails and writes
// nothing, and DllUnregisterServer removes nothing.
#include <string>

#include <windows.h>
#include <dshow.h>
#include <olectl.h>

#include "devices/inftee/InfTee.h"
#include "dsbase/ClassFactory.h"
#include "dsbase/Registration.h"

namespace {

HMODULE g_module = nullptr;

constexpr GUID kClsidInfTee = {
    0xF8388A40, 0xD5BB, 0x11D0, {0xBE, 0x5A, 0x00, 0x80, 0xC7, 0x06, 0x56, 0x8E}};
constexpr wchar_t kName[] = L"Infinite Pin Tee Filter";
constexpr wchar_t kOurFile[] = L"LumokaInfTeeStandIn.dll";

const CFactoryTemplate kClasses[] = {
    {kName, &kClsidInfTee, &lumoka::CInfTee::Create},
};

enum class Owner { kNobody, kUs, kSomeoneElse };

// Who serves CLSID_InfTee now: our DLL is recognised by its file name, so a copy registered
// from another build folder counts as ours.
Owner CurrentOwner() {
    const std::wstring key = L"CLSID\\" + GuidString(kClsidInfTee) + L"\\InprocServer32";
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = sizeof(path);
    const LSTATUS rc =
        RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return Owner::kNobody;
    if (rc != ERROR_SUCCESS) return Owner::kSomeoneElse;
    const std::wstring value(path);
    const size_t slash = value.find_last_of(L"\\/");
    const std::wstring file = slash == std::wstring::npos ? value : value.substr(slash + 1);
    return _wcsicmp(file.c_str(), kOurFile) == 0 ? Owner::kUs : Owner::kSomeoneElse;
}

CCategoryEntry Entry() {
    CCategoryEntry e;
    e.clsid = kClsidInfTee;
    e.category = CLSID_LegacyAmFilterCategory;
    e.friendlyName = kName;
    e.merit = MERIT_DO_NOT_USE;
    return e;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Thread notifications stay on: the statically linked C++ runtime cleans up the
    // streaming threads' data through them.
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return DsbaseGetClassObject(kClasses, 1, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return DsbaseCanUnloadNow(); }

STDAPI DllUnregisterServer() {
    if (CurrentOwner() != Owner::kUs) return S_FALSE;
    UnregisterFromCategory(Entry());
    return UnregisterComServer(kClsidInfTee);
}

STDAPI DllRegisterServer() {
    if (CurrentOwner() == Owner::kSomeoneElse) return SELFREG_E_CLASS;
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    HRESULT hr = RegisterComServer(kClsidInfTee, kName, path, L"Both");
    if (SUCCEEDED(hr)) {
        const bool needsCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        static const REGPINTYPES kAny = {&GUID_NULL, &GUID_NULL};
        REGFILTERPINS2 pins[2] = {};
        pins[0].cInstances = 1;
        pins[0].nMediaTypes = 1;
        pins[0].lpMediaType = &kAny;
        pins[1] = pins[0];
        pins[1].dwFlags = REG_PINFLAG_B_OUTPUT | REG_PINFLAG_B_MANY;
        REGFILTER2 data{};
        data.dwVersion = 2;
        data.dwMerit = MERIT_DO_NOT_USE;
        data.cPins2 = 2;
        data.rgPins2 = pins;
        hr = RegisterWithFilterMapper(Entry(), data);
        if (FAILED(hr)) hr = RegisterInCategory(Entry());
        if (needsCom) CoUninitialize();
    }
    if (FAILED(hr)) DllUnregisterServer();
    return hr;
}
