// The virtual devices as the system device enumerator sees them: every registered instance is
// listed with its property-bag values, each moniker binds to a filter with the expected pins,
// and unregistering removes them all.
#include "DeviceTestSupport.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "devices/DeviceIds.h"

namespace lumoka::test {
namespace {

struct Expected {
    const GUID* category;
    const wchar_t* name;
    const wchar_t* path;
    int pins;  // pins of the bound filter
};

const Expected kExpected[] = {
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card", L"lumoka-testcard-0", 4},
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card", L"lumoka-testcard-1", 4},
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card (Preview)", L"lumoka-testcard-preview", 2},
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card (No Path)", L"", 4},
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card (Two Crossbars)", L"lumoka-testcard-2xbar",
     4},
    {&CLSID_VideoInputDeviceCategory, L"Lumoka Test Card (Hot-Plug)", L"lumoka-testcard-hotplug",
     4},
    {&CLSID_AudioInputDeviceCategory, L"Lumoka Test Tone", L"lumoka-testtone-0", 1},
    {&CLSID_LegacyAmFilterCategory, L"Lumoka Test Pass-Through", L"", 4},
};

int CountPins(IBaseFilter* f) {
    ComPtr<IEnumPins> pins;
    if (FAILED(f->EnumPins(&pins))) return -1;
    int n = 0;
    ComPtr<IPin> p;
    while (pins->Next(1, &p, nullptr) == S_OK) {
        ++n;
        p.Reset();
    }
    return n;
}

size_t CountListed(const Expected& e) {
    const auto all = EnumerateCategory(*e.category);
    return std::count_if(all.begin(), all.end(), [&](const EnumeratedDevice& d) {
        return d.friendlyName == e.name && d.devicePath == e.path;
    });
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CallDllExport(kDevicesDll, "DllRegisterServer"), S_OK); }
    CComScope com_;
};

TEST_F(Registration, EveryInstanceIsListedWithItsPropertyBag) {
    for (const Expected& e : kExpected) {
        EXPECT_EQ(CountListed(e), 1u) << std::string(e.name, e.name + wcslen(e.name));
    }
    // The filter page lists ordinary filters with CDEF_DEVMON_DMO | CDEF_DEVMON_FILTER.
    const auto filters = EnumerateCategory(CLSID_LegacyAmFilterCategory, 0xA0);
    EXPECT_TRUE(std::any_of(filters.begin(), filters.end(), [](const EnumeratedDevice& d) {
        return d.friendlyName == L"Lumoka Test Pass-Through" &&
               d.description == L"Lumoka two-lane pass-through filter";
    }));
    for (const EnumeratedDevice& d : EnumerateCategory(CLSID_VideoInputDeviceCategory)) {
        if (d.friendlyName.rfind(L"Lumoka Test Card", 0) == 0) {
            EXPECT_EQ(d.description, L"Lumoka virtual capture card (test signal)");
        }
    }
}

TEST_F(Registration, EveryMonikerBindsToAFilterThatKnowsItsDevice) {
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(std::string(e.name, e.name + wcslen(e.name)));
        ComPtr<IBaseFilter> f = BindDevice(*e.category, e.name, e.path);
        ASSERT_TRUE(f);
        EXPECT_EQ(CountPins(f.Get()), e.pins);
        ComPtr<IPersistPropertyBag> persist;
        EXPECT_EQ(f.As(&persist) == S_OK, e.category != &CLSID_LegacyAmFilterCategory);
        f.Reset();
    }
    EXPECT_EQ(CallDllExport(kDevicesDll, "DllCanUnloadNow"), S_OK);
}

// The harness registers both DLLs with regsvr32; it needs the exports and a clean result.
TEST_F(Registration, RegsvrRegistersBothDlls) {
    for (const wchar_t* dll : {kDevicesDll, L"LumokaInfTeeStandIn.dll"}) {
        std::wstring cmd = L"regsvr32.exe /s \"" + BesideTestProgram(dll) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        EXPECT_EQ(code, 0u) << std::string(dll, dll + wcslen(dll));
    }
    for (const Expected& e : kExpected) EXPECT_EQ(CountListed(e), 1u);
}

// Registering and unregistering run with HKEY_CLASSES_ROOT redirected to a private key of
// this test, so the devices never vanish from the shared prefix for other programs. (There the
// filter mapper cannot be created, so the devices are written as plain Instance keys, the
// mapper's fallback.)
std::wstring InstancePath(const GUID& category, const wchar_t* instance) {
    wchar_t guid[40] = {};
    StringFromGUID2(category, guid, 40);
    return std::wstring(L"CLSID\\") + guid + L"\\Instance\\" + instance;
}

TEST_F(Registration, UnregisteringRemovesEveryEntry) {
    PrivateClassesRoot root;
    ASSERT_TRUE(root.Active());
    const std::wstring card0 = InstancePath(CLSID_VideoInputDeviceCategory, L"lumoka-testcard-0");
    const std::wstring tone = InstancePath(CLSID_AudioInputDeviceCategory, L"lumoka-testtone-0");
    const std::wstring server = L"CLSID\\{D7766C0A-041A-4D11-B2E8-3CC0FE644917}\\InprocServer32";
    ASSERT_FALSE(KeyExists(card0));
    ASSERT_EQ(CallDllExport(kDevicesDll, "DllRegisterServer"), S_OK);
    EXPECT_TRUE(KeyExists(card0));
    EXPECT_TRUE(KeyExists(tone));
    EXPECT_TRUE(KeyExists(server));
    wchar_t path[64] = {};
    DWORD size = sizeof(path);
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, card0.c_str(), L"DevicePath", RRF_RT_REG_SZ, nullptr,
                           path, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(path, L"lumoka-testcard-0");

    ASSERT_EQ(CallDllExport(kDevicesDll, "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(KeyExists(card0));
    EXPECT_FALSE(KeyExists(tone));
    EXPECT_FALSE(KeyExists(server));
    EXPECT_FALSE(KeyExists(InstancePath(CLSID_VideoInputDeviceCategory, L"lumoka-testcard-2xbar")));
}

TEST_F(Registration, TheHostileCardIsListedOnlyByItsExport) {
    PrivateClassesRoot root;
    ASSERT_TRUE(root.Active());
    const std::wstring card0 = InstancePath(CLSID_VideoInputDeviceCategory, L"lumoka-testcard-0");
    const std::wstring hostile =
        InstancePath(CLSID_VideoInputDeviceCategory, L"lumoka-testcard-hostile");
    const std::wstring server = L"CLSID\\{8B1D0E47-5C2A-4F93-A60D-7E31C9521B84}\\InprocServer32";
    // What regsvr32 and the package's register.cmd run never lists it.
    ASSERT_EQ(CallDllExport(kDevicesDll, "DllRegisterServer"), S_OK);
    EXPECT_TRUE(KeyExists(card0));
    EXPECT_FALSE(KeyExists(hostile));
    EXPECT_FALSE(KeyExists(server));
    using List = HRESULT(WINAPI*)(BOOL);
    auto list = reinterpret_cast<List>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(kDevicesDll), "LumokaRegisterHostileCard")));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list(TRUE), S_OK);
    EXPECT_TRUE(KeyExists(hostile));
    EXPECT_TRUE(KeyExists(server));
    ASSERT_EQ(list(FALSE), S_OK);
    EXPECT_FALSE(KeyExists(hostile));
    EXPECT_FALSE(KeyExists(server));
    ASSERT_EQ(list(TRUE), S_OK);
    ASSERT_EQ(CallDllExport(kDevicesDll, "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(KeyExists(hostile));
    EXPECT_FALSE(KeyExists(server));
}

}  // namespace
}  // namespace lumoka::test
