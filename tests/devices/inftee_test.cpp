// The Infinite Pin Tee stand-in: a new output appears whenever the last one is connected,
// every output gets every sample, and registration never replaces a foreign CLSID_InfTee.
#include "DeviceTestSupport.h"

#include <optional>

#include <gtest/gtest.h>

#include "devices/MediaFormats.h"
#include "devices/signal/FrameCounter.h"

namespace lumoka::test {
namespace {

constexpr wchar_t kTeeDll[] = L"LumokaInfTeeStandIn.dll";
constexpr wchar_t kServerKey[] = L"CLSID\\{F8388A40-D5BB-11D0-BE5A-0080C706568E}\\InprocServer32";

std::optional<std::wstring> RegisteredServer() {
    wchar_t value[MAX_PATH * 2] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(value);
}

int CountPins(IBaseFilter* f, PIN_DIRECTION dir) {
    ComPtr<IEnumPins> pins;
    f->EnumPins(&pins);
    int n = 0;
    ComPtr<IPin> p;
    while (pins->Next(1, &p, nullptr) == S_OK) {
        PIN_DIRECTION d;
        p->QueryDirection(&d);
        n += d == dir;
        p.Reset();
    }
    return n;
}

ComPtr<IPin> UnconnectedOutput(IBaseFilter* f) {
    ComPtr<IEnumPins> pins;
    f->EnumPins(&pins);
    ComPtr<IPin> p;
    while (pins->Next(1, &p, nullptr) == S_OK) {
        PIN_DIRECTION d;
        ComPtr<IPin> peer;
        p->QueryDirection(&d);
        if (d == PINDIR_OUTPUT && p->ConnectedTo(&peer) == VFW_E_NOT_CONNECTED) return p;
        p.Reset();
    }
    return nullptr;
}

class InfTeeStandIn : public DeviceGraphTest {
protected:
    void SetUp() override {
        DeviceGraphTest::SetUp();
        ASSERT_EQ(CallDllExport(kTeeDll, "DllRegisterServer"), S_OK);
    }
    void TearDown() override {
        DeviceGraphTest::TearDown();
        EXPECT_EQ(CallDllExport(kTeeDll, "DllCanUnloadNow"), S_OK);
    }
};

TEST_F(InfTeeStandIn, EveryOutputGetsEverySample) {
    ComPtr<IBaseFilter> tee;
    ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&tee)),
              S_OK);
    ASSERT_EQ(g_.graph->AddFilter(tee.Get(), L"Video InfTee"), S_OK);
    EXPECT_EQ(CountPins(tee.Get(), PINDIR_INPUT), 1);
    EXPECT_EQ(CountPins(tee.Get(), PINDIR_OUTPUT), 1);

    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 640, 480, 333667);
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<IPin> capture = FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT,
                                   &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video);
    ComPtr<IPin> teeIn = FindPin(g_.builder.Get(), tee.Get(), PINDIR_INPUT, nullptr, nullptr);
    ASSERT_EQ(g_.graph->ConnectDirect(capture.Get(), teeIn.Get(), nullptr), S_OK);

    ComPtr<CRecordingSink> sinks[2] = {MakeSink(), MakeSink()};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(g_.graph->AddFilter(sinks[i].Get(), i == 0 ? L"Sink 1" : L"Sink 2"), S_OK);
        ComPtr<IPin> out = UnconnectedOutput(tee.Get());
        ASSERT_TRUE(out);
        ASSERT_EQ(g_.graph->Connect(out.Get(), SinkPin(sinks[i].Get()).Get()), S_OK);
        // Connecting the last free output made a new one.
        EXPECT_EQ(CountPins(tee.Get(), PINDIR_OUTPUT), i + 2);
        EXPECT_EQ(sinks[i]->InputPin()->CurrentMediaType().subtype, MEDIASUBTYPE_RGB32);
    }
    ASSERT_TRUE(SUCCEEDED(g_.control->Run()));
    ASSERT_TRUE(sinks[0]->WaitForSamples(5, 3000));
    ASSERT_TRUE(sinks[1]->WaitForSamples(5, 3000));
    g_.control->Stop();
    const PictureLayout layout = LayoutOf(sinks[0]->InputPin()->CurrentMediaType());
    const auto a = sinks[0]->Samples();
    const auto b = sinks[1]->Samples();
    for (size_t i = 0; i < 5; ++i) {
        const auto ca = DecodeFrameCounter(a[i].data.data(), a[i].data.size(), layout);
        const auto cb = DecodeFrameCounter(b[i].data.data(), b[i].data.size(), layout);
        ASSERT_TRUE(ca.has_value() && cb.has_value());
        EXPECT_EQ(*ca, *cb);
        EXPECT_EQ(a[i].start, b[i].start);
        EXPECT_EQ(a[i].data, b[i].data);
    }
}

// In a private classes root: faking the platform's tee in the shared prefix would break the
// programs that create it meanwhile.
TEST_F(InfTeeStandIn, RefusesToReplaceAForeignTee) {
    PrivateClassesRoot root;
    ASSERT_TRUE(root.Active());
    ASSERT_FALSE(RegisteredServer().has_value());
    const std::wstring foreign = L"C:\\windows\\system32\\qcap.dll";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, REG_SZ, foreign.c_str(),
                              static_cast<DWORD>((foreign.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_TRUE(FAILED(CallDllExport(kTeeDll, "DllRegisterServer")));
    EXPECT_EQ(RegisteredServer(), foreign);
    EXPECT_FALSE(
        KeyExists(L"CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\"
                  L"{F8388A40-D5BB-11D0-BE5A-0080C706568E}"));
    // Unregistering leaves the foreign server alone too.
    EXPECT_EQ(CallDllExport(kTeeDll, "DllUnregisterServer"), S_FALSE);
    EXPECT_EQ(RegisteredServer(), foreign);

    ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"CLSID\\{F8388A40-D5BB-11D0-BE5A-0080C706568E}"),
              ERROR_SUCCESS);
    ASSERT_EQ(CallDllExport(kTeeDll, "DllRegisterServer"), S_OK);
    const auto ours = RegisteredServer();
    ASSERT_TRUE(ours.has_value());
    EXPECT_NE(ours->find(L"LumokaInfTeeStandIn.dll"), std::wstring::npos);
    // Registering over our own entry (from any folder) is allowed; unregistering removes it.
    EXPECT_EQ(CallDllExport(kTeeDll, "DllRegisterServer"), S_OK);
    EXPECT_EQ(CallDllExport(kTeeDll, "DllUnregisterServer"), S_OK);
    EXPECT_FALSE(RegisteredServer().has_value());
}

}  // namespace
}  // namespace lumoka::test
