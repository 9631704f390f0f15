// LumokaTestDevices.dll: the in-process server of the virtual devices. DllRegisterServer
// writes the COM server keys of every class and the devices' entries in their categories
// (video input, audio input, ordinary filters); DllUnregisterServer removes all of them. The
// hostile card is served too but registered only by LumokaRegisterHostileCard (DeviceIds.h).
#include <windows.h>
#include <dshow.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "devices/Crossbar.h"
#include "devices/DeviceIds.h"
#include "devices/DeviceNames.h"
#include "devices/HostileCard.h"
#include "devices/PassThrough.h"
#include "devices/PassThroughPage.h"
#include "devices/TestCardFilter.h"
#include "devices/TestDeviceFilter.h"
#include "devices/TestToneFilter.h"
#include "dsbase/ClassFactory.h"
#include "dsbase/Registration.h"

namespace {

using namespace lumoka;

HMODULE g_module = nullptr;

const CFactoryTemplate kClasses[] = {
    {L"Lumoka Test Card", &CLSID_LumokaTestCard, &CTestCardFilter::CreateMain},
    {L"Lumoka Test Card (Preview)", &CLSID_LumokaTestCardPreview,
     &CTestCardFilter::CreatePreviewOnly},
    {L"Lumoka Test Card (Two Crossbars)", &CLSID_LumokaTestCardTwoCrossbars,
     &CTestCardFilter::CreateTwoCrossbars},
    {L"Lumoka Test Card (Hot-Plug)", &CLSID_LumokaTestCardHotPlug,
     &CTestCardFilter::CreateHotPlug},
    {L"Lumoka Test Card (Hostile)", &CLSID_LumokaHostileCard, &CHostileCardFilter::Create},
    {L"Lumoka Crossbar", &CLSID_LumokaCrossbar, &CCrossbar::Create},
    {L"Lumoka Test Tone", &CLSID_LumokaTestTone, &CTestToneFilter::Create},
    {L"Lumoka Test Pass-Through", &CLSID_LumokaPassThrough, &CPassThroughFilter::Create},
    {L"Lumoka Test Pass-Through Page", &CLSID_LumokaPassThroughPage, &CPassThroughPage::Create},
};

std::wstring Wide(const char* s) { return std::wstring(s, s + std::strlen(s)); }

enum class PinSet { kCard, kPreview, kTone, kPassThrough, kCaptureOnly };

struct Device {
    const GUID* clsid;
    const GUID* category;
    const char* name;
    const char* description;
    const char* path;
    const char* instance;
    PinSet pins;
};

const Device kDevices[] = {
    {&CLSID_LumokaTestCard, &CLSID_VideoInputDeviceCategory, devicenames::kTestCard,
     devicenames::kTestCardDescription, devicenames::kTestCardPath0, "lumoka-testcard-0",
     PinSet::kCard},
    {&CLSID_LumokaTestCard, &CLSID_VideoInputDeviceCategory, devicenames::kTestCard,
     devicenames::kTestCardDescription, devicenames::kTestCardPath1, "lumoka-testcard-1",
     PinSet::kCard},
    {&CLSID_LumokaTestCardPreview, &CLSID_VideoInputDeviceCategory, devicenames::kTestCardPreview,
     devicenames::kTestCardDescription, devicenames::kTestCardPreviewPath,
     "lumoka-testcard-preview", PinSet::kPreview},
    {&CLSID_LumokaTestCard, &CLSID_VideoInputDeviceCategory, devicenames::kTestCardNoPath,
     devicenames::kTestCardDescription, "", "lumoka-testcard-nopath", PinSet::kCard},
    {&CLSID_LumokaTestCardTwoCrossbars, &CLSID_VideoInputDeviceCategory,
     devicenames::kTestCardTwoCrossbars, devicenames::kTestCardDescription,
     devicenames::kTestCardTwoCrossbarsPath, "lumoka-testcard-2xbar", PinSet::kCard},
    {&CLSID_LumokaTestCardHotPlug, &CLSID_VideoInputDeviceCategory, devicenames::kTestCardHotPlug,
     devicenames::kTestCardDescription, devicenames::kTestCardHotPlugPath,
     "lumoka-testcard-hotplug", PinSet::kCard},
    {&CLSID_LumokaTestTone, &CLSID_AudioInputDeviceCategory, devicenames::kTestTone,
     devicenames::kTestToneDescription, devicenames::kTestTonePath, "lumoka-testtone-0",
     PinSet::kTone},
    {&CLSID_LumokaPassThrough, &CLSID_LegacyAmFilterCategory, devicenames::kPassThrough,
     devicenames::kPassThroughDescription, "", "", PinSet::kPassThrough},
};

const Device& kHotPlugCard = kDevices[5];

// Not in kDevices: only a test lists it (LumokaRegisterHostileCard).
const Device kHostileCard = {&CLSID_LumokaHostileCard,     &CLSID_VideoInputDeviceCategory,
                             devicenames::kHostileCard,     devicenames::kTestCardDescription,
                             devicenames::kHostileCardPath, "lumoka-testcard-hostile",
                             PinSet::kCaptureOnly};

CCategoryEntry EntryOf(const Device& d) {
    CCategoryEntry e;
    e.clsid = *d.clsid;
    e.category = *d.category;
    e.friendlyName = Wide(d.name);
    e.description = Wide(d.description);
    e.devicePath = Wide(d.path);
    e.instanceKey = Wide(d.instance);
    e.merit = d.pins == PinSet::kPassThrough ? MERIT_DO_NOT_USE : MERIT_DO_NOT_USE + 1;
    return e;
}

// The filter data the mapper stores: what the pins carry, so a search by type finds them.
HRESULT RegisterDevice(const Device& d) {
    static const REGPINTYPES kVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};
    static const REGPINTYPES kAudio = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
    static const REGPINTYPES kAny[] = {kVideo, kAudio};
    std::vector<REGFILTERPINS2> pins;
    auto out = [&](const REGPINTYPES* types, UINT count, const CLSID* category) {
        REGFILTERPINS2 p{};
        p.dwFlags = REG_PINFLAG_B_OUTPUT;
        p.cInstances = 1;
        p.nMediaTypes = count;
        p.lpMediaType = types;
        p.clsPinCategory = category;
        pins.push_back(p);
    };
    switch (d.pins) {
        case PinSet::kCard:
            out(&kVideo, 1, &PIN_CATEGORY_CAPTURE);
            out(&kVideo, 1, &PIN_CATEGORY_PREVIEW);
            out(&kAudio, 1, &PIN_CATEGORY_CAPTURE);
            break;
        case PinSet::kPreview:
            out(&kVideo, 1, &PIN_CATEGORY_PREVIEW);
            break;
        case PinSet::kCaptureOnly:
            out(&kVideo, 1, &PIN_CATEGORY_CAPTURE);
            break;
        case PinSet::kTone:
            out(&kAudio, 1, &PIN_CATEGORY_CAPTURE);
            break;
        case PinSet::kPassThrough:
            for (int i = 0; i < 2; ++i) {
                REGFILTERPINS2 in{};
                in.cInstances = 1;
                in.nMediaTypes = 2;
                in.lpMediaType = kAny;
                pins.push_back(in);
                out(kAny, 2, nullptr);
            }
            break;
    }
    REGFILTER2 data{};
    data.dwVersion = 2;
    data.dwMerit = EntryOf(d).merit;
    data.cPins2 = static_cast<ULONG>(pins.size());
    data.rgPins2 = pins.data();
    const CCategoryEntry entry = EntryOf(d);
    if (SUCCEEDED(RegisterWithFilterMapper(entry, data))) return S_OK;
    // Without a usable mapper the plain Instance key still lists the device.
    return RegisterInCategory(entry);
}

bool IsHostileCard(const CFactoryTemplate& c) { return *c.clsid == CLSID_LumokaHostileCard; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // Thread notifications stay on: the statically linked C++ runtime cleans up the
    // streaming threads' data through them.
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return DsbaseGetClassObject(kClasses, sizeof(kClasses) / sizeof(kClasses[0]), clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return DsbaseCanUnloadNow(); }

STDAPI DllUnregisterServer() {
    HRESULT result = UnregisterFromCategory(EntryOf(kHostileCard));
    if (SUCCEEDED(result)) result = S_OK;
    for (const Device& d : kDevices) {
        const HRESULT hr = UnregisterFromCategory(EntryOf(d));
        if (FAILED(hr)) result = hr;
    }
    for (const CFactoryTemplate& c : kClasses) {
        const HRESULT hr = UnregisterComServer(*c.clsid);
        if (FAILED(hr)) result = hr;
    }
    return result;
}

// Unplugs or replugs the hot-plug card (see DeviceIds.h): its category entry and the switch
// its running filters read.
extern "C" HRESULT WINAPI LumokaPlugHotPlugCard(BOOL plugged) {
    const Device& card = kHotPlugCard;
    const std::wstring key = SignalSwitchKey(Wide(card.path));
    if (!plugged) {
        const DWORD one = 1;
        const LSTATUS set = RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Unplugged",
                                            REG_DWORD, &one, sizeof(one));
        const HRESULT hr = UnregisterFromCategory(EntryOf(card));
        return set != ERROR_SUCCESS ? HRESULT_FROM_WIN32(set) : hr;
    }
    const bool needsCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const HRESULT hr = RegisterDevice(card);
    if (needsCom) CoUninitialize();
    const LSTATUS cleared = RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Unplugged");
    if (FAILED(hr)) return hr;
    return cleared == ERROR_SUCCESS || cleared == ERROR_FILE_NOT_FOUND ? S_OK
                                                                       : HRESULT_FROM_WIN32(cleared);
}

// rundll32 LumokaTestDevices.dll,HotPlug unplug|replug
extern "C" void CALLBACK HotPlugW(HWND, HINSTANCE, LPWSTR args, int) {
    const bool unplug = args && std::wcsstr(args, L"unplug") != nullptr;
    LumokaPlugHotPlugCard(unplug ? FALSE : TRUE);
}

// Lists the hostile card for a test, or removes it again (DeviceIds.h).
extern "C" HRESULT WINAPI LumokaRegisterHostileCard(BOOL listed) {
    if (!listed) {
        const HRESULT entry = UnregisterFromCategory(EntryOf(kHostileCard));
        const HRESULT server = UnregisterComServer(CLSID_LumokaHostileCard);
        return FAILED(entry) ? entry : FAILED(server) ? server : S_OK;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    HRESULT hr = RegisterComServer(CLSID_LumokaHostileCard, L"Lumoka Test Card (Hostile)", path,
                                   L"Both");
    if (FAILED(hr)) return hr;
    const bool needsCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    hr = RegisterDevice(kHostileCard);
    if (needsCom) CoUninitialize();
    return hr;
}

// For the hostile card's tests: how far callers walked its lying capability count.
extern "C" LONG WINAPI LumokaHostileCapsQueriesBeyondList() {
    return HostileCapsQueriesBeyondList();
}

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return E_FAIL;
    // Entries are overwritten in place, never removed first: other programs (tests running at
    // the same time) may be enumerating the devices right now.
    const bool needsCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    HRESULT hr = S_OK;
    for (const CFactoryTemplate& c : kClasses) {
        if (IsHostileCard(c)) continue;  // listed only by a test
        hr = RegisterComServer(*c.clsid, c.name, path, L"Both");
        if (FAILED(hr)) break;
    }
    if (SUCCEEDED(hr)) {
        for (const Device& d : kDevices) {
            hr = RegisterDevice(d);
            if (FAILED(hr)) break;
        }
    }
    if (needsCom) CoUninitialize();
    if (FAILED(hr)) DllUnregisterServer();
    return hr;
}
