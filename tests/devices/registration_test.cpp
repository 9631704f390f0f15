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

// The devices are missing from the shared prefix for the few milliseconds between the two
// calls; the tests of other areas look them up well apart from this one.
TEST_F(Registration, UnregisteringRemovesEveryInstance) {
    ASSERT_EQ(CallDllExport(kDevicesDll, "DllUnregisterServer"), S_OK);
    for (const Expected& e : kExpected) EXPECT_EQ(CountListed(e), 0u);
    ComPtr<IBaseFilter> f;
    EXPECT_EQ(
        CoCreateInstance(CLSID_LumokaTestCard, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&f)),
        REGDB_E_CLASSNOTREG);
    // Put them back for everything that runs after.
    ASSERT_EQ(CallDllExport(kDevicesDll, "DllRegisterServer"), S_OK);
    for (const Expected& e : kExpected) EXPECT_EQ(CountListed(e), 1u);
}

}  // namespace
}  // namespace lumoka::test
