// The test switch: a running device told to lose its signal stops delivering, reports
// EC_DEVICE_LOST to the graph and an unlocked decoder, stops cleanly while lost, and delivers
// again when the signal comes back; in process and through the registry value.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include "devices/DeviceIds.h"
#include "wincom/ScopeExit.h"

namespace lumoka::test {
namespace {

using SignalLoss = DeviceGraphTest;

ComPtr<CRecordingSink> Start(Graph& g, IBaseFilter* device, const GUID* type) {
    ComPtr<CRecordingSink> sink = MakeSink();
    EXPECT_EQ(g.graph->AddFilter(sink.Get(), L"Sink"), S_OK);
    ComPtr<IPin> out = FindPin(g.builder.Get(), device, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, type);
    EXPECT_TRUE(out);
    EXPECT_EQ(g.graph->ConnectDirect(out.Get(), SinkPin(sink.Get()).Get(), nullptr), S_OK);
    EXPECT_TRUE(SUCCEEDED(g.control->Run()));
    EXPECT_TRUE(sink->WaitForSamples(3, 3000));
    return sink;
}

// The samples that arrive within ms. Only to show that nothing more comes: on a busy machine
// such a window can miss a fault, never fail a sound device.
size_t ArrivalsWithin(CRecordingSink* sink, DWORD ms) {
    const size_t before = sink->SampleCount();
    Sleep(ms);
    return sink->SampleCount() - before;
}

TEST_F(SignalLoss, InProcessSwitchStopsDeliveryAndReportsTheLoss) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<CRecordingSink> sink = Start(g_, card.Get(), &MEDIATYPE_Video);
    ComPtr<ILumokaTestDevice> device;
    ASSERT_EQ(card.As(&device), S_OK);
    ComPtr<IAMAnalogVideoDecoder> decoder;
    ASSERT_EQ(card->QueryInterface(IID_IAMAnalogVideoDecoder,
                                   reinterpret_cast<void**>(decoder.GetAddressOf())),
              S_OK);

    ASSERT_EQ(device->SetSignalLost(TRUE), S_OK);
    LONG_PTR p1 = 0, p2 = -1;
    ASSERT_TRUE(WaitForEvent(g_.events.Get(), EC_DEVICE_LOST, 2000, &p1, &p2));
    EXPECT_EQ(p1, reinterpret_cast<LONG_PTR>(card.Get()));
    EXPECT_EQ(p2, 0);
    BOOL lost = FALSE;
    EXPECT_EQ(device->GetSignalLost(&lost), S_OK);
    EXPECT_TRUE(lost);
    long locked = 1;
    EXPECT_EQ(decoder->get_HorizontalLocked(&locked), S_OK);
    EXPECT_EQ(locked, 0);
    // The switch was set from this thread: a frame already past the device's check may still
    // arrive, none after it.
    EXPECT_LE(ArrivalsWithin(sink.Get(), 500), 1u);

    ASSERT_EQ(device->SetSignalLost(FALSE), S_OK);
    ASSERT_TRUE(WaitForEvent(g_.events.Get(), EC_DEVICE_LOST, 2000, &p1, &p2));
    EXPECT_EQ(p2, 1);
    const size_t count = sink->SampleCount();
    EXPECT_TRUE(sink->WaitForSamples(count + 3, 3000));
    // The device counts a frame once the sink's Receive has returned, so its count may still
    // be one behind the sink's.
    long delivered = 0;
    const ULONGLONG end = GetTickCount64() + 3000;
    while (device->GetDelivered(0, &delivered) == S_OK &&
           delivered < static_cast<long>(count + 3) && GetTickCount64() < end) {
        Sleep(10);
    }
    EXPECT_GE(delivered, static_cast<long>(count + 3));
    EXPECT_EQ(device->GetDelivered(7, &delivered), E_INVALIDARG);
}

TEST_F(SignalLoss, StopsCleanlyWhileTheSignalIsLost) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<CRecordingSink> sink = Start(g_, card.Get(), &MEDIATYPE_Video);
    ComPtr<ILumokaTestDevice> device;
    ASSERT_EQ(card.As(&device), S_OK);
    ASSERT_EQ(device->SetSignalLost(TRUE), S_OK);
    // Stop ends the streaming thread whether it still delivers a frame or waits for the signal
    // (a thread left waiting would keep Stop from returning until the test's time-out).
    EXPECT_TRUE(SUCCEEDED(g_.control->Stop()));
    // The switch outlives a stop: running again delivers nothing until it is cleared.
    sink->ClearRecord();
    ASSERT_TRUE(SUCCEEDED(g_.control->Run()));
    EXPECT_EQ(ArrivalsWithin(sink.Get(), 300), 0u);
    ASSERT_EQ(device->SetSignalLost(FALSE), S_OK);
    EXPECT_TRUE(sink->WaitForSamples(2, 3000));
}

TEST_F(SignalLoss, RegistrySwitchWorksFromOutside) {
    const std::wstring key = L"Software\\Lumoka2\\TestDevices\\lumoka-testtone-0";
    auto cleanup = MakeScopeExit([&] { RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str()); });
    ComPtr<IBaseFilter> tone =
        BindDevice(CLSID_AudioInputDeviceCategory, L"Lumoka Test Tone", L"lumoka-testtone-0");
    ASSERT_TRUE(tone);
    ASSERT_EQ(g_.graph->AddFilter(tone.Get(), L"Tone"), S_OK);
    ComPtr<CRecordingSink> sink = Start(g_, tone.Get(), &MEDIATYPE_Audio);

    const DWORD one = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"SignalLost", REG_DWORD, &one,
                              sizeof(one)),
              ERROR_SUCCESS);
    LONG_PTR p1 = 0, p2 = -1;
    ASSERT_TRUE(WaitForEvent(g_.events.Get(), EC_DEVICE_LOST, 3000, &p1, &p2));
    EXPECT_EQ(p2, 0);
    // The streaming thread itself read the value before its next buffer: nothing is on its way.
    EXPECT_EQ(ArrivalsWithin(sink.Get(), 300), 0u);

    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"SignalLost"), ERROR_SUCCESS);
    ASSERT_TRUE(WaitForEvent(g_.events.Get(), EC_DEVICE_LOST, 3000, &p1, &p2));
    EXPECT_EQ(p2, 1);
    const size_t count = sink->SampleCount();
    EXPECT_TRUE(sink->WaitForSamples(count + 3, 3000));
}

}  // namespace
}  // namespace lumoka::test
