// The test card in real filter graphs: frames of the chosen format at about the chosen rate
// with increasing counters, format changes and refusals, the video signal settings, the
// analogue decoder, and references back to zero when the graph is gone.
#include "DeviceTestSupport.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "devices/DeviceIds.h"
#include "devices/MediaFormats.h"
#include "devices/signal/DeviceCaps.h"
#include "devices/signal/FrameCounter.h"
#include "devices/signal/TestPicture.h"

namespace lumoka::test {
namespace {

using CaptureDevice = DeviceGraphTest;

PictureLayout SinkLayout(CRecordingSink* sink) {
    return LayoutOf(sink->InputPin()->CurrentMediaType());
}

std::optional<uint32_t> Counter(const CRecordedSample& s, const PictureLayout& l) {
    return DecodeFrameCounter(s.data.data(), s.data.size(), l);
}

TEST_F(CaptureDevice, DeliversFramesOfTheChosenFormatAtItsRate) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    ASSERT_TRUE(config);
    // Capability 8: RGB32 720 x 480; asked for 640 x 480 at 20 frames a second.
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 640, 480, 500000);
    ASSERT_NE(mt, nullptr);
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);

    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 12);
    g_.control->Stop();
    const auto samples = sink->Samples();
    ASSERT_GE(samples.size(), 12u);
    const PictureLayout layout = SinkLayout(sink.Get());
    EXPECT_EQ(sink->InputPin()->CurrentMediaType().subtype, MEDIASUBTYPE_RGB32);
    EXPECT_EQ(layout.width, 640);
    EXPECT_EQ(layout.height, 480);
    uint32_t previous = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const CRecordedSample& s = samples[i];
        ASSERT_EQ(s.data.size(), 640u * 480u * 4u);
        ASSERT_TRUE(s.startValid && s.stopValid);
        EXPECT_EQ(s.stop - s.start, 500000);
        const auto counter = Counter(s, layout);
        ASSERT_TRUE(counter.has_value()) << i;
        if (i > 0) {
            EXPECT_EQ(*counter, previous + 1);
            EXPECT_GT(s.start, samples[i - 1].start);
        }
        previous = *counter;
    }
    // About 20 frames a second by the stream clock: never faster, and late only by what a
    // busy machine delays the streaming thread.
    const double mean = static_cast<double>(samples.back().start - samples.front().start) /
                        static_cast<double>(samples.size() - 1);
    EXPECT_GT(mean, 450000.0);
    EXPECT_LT(mean, 800000.0);
}

TEST_F(CaptureDevice, GetFormatReturnsTheTypeSet) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    ASSERT_TRUE(config);
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, static_cast<int>(TestCardCapabilities().size()));
    EXPECT_EQ(size, static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)));
    // The first capability is VIDEOINFOHEADER2, which a VIDEOINFOHEADER reader must skip.
    AM_MEDIA_TYPE* first = nullptr;
    VIDEO_STREAM_CONFIG_CAPS caps{};
    ASSERT_EQ(config->GetStreamCaps(0, &first, reinterpret_cast<BYTE*>(&caps)), S_OK);
    EXPECT_EQ(first->formattype, FORMAT_VideoInfo2);
    EXPECT_EQ(config->SetFormat(first), VFW_E_INVALIDMEDIATYPE);
    DeleteMediaType(first);
    EXPECT_EQ(config->GetStreamCaps(count, &first, reinterpret_cast<BYTE*>(&caps)), S_FALSE);

    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 3, 480, 360, 400000);  // UYVY
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    AM_MEDIA_TYPE* got = nullptr;
    ASSERT_EQ(config->GetFormat(&got), S_OK);
    EXPECT_EQ(got->subtype, MEDIASUBTYPE_UYVY);
    const auto* v = reinterpret_cast<VIDEOINFOHEADER*>(got->pbFormat);
    EXPECT_EQ(v->bmiHeader.biWidth, 480);
    EXPECT_EQ(v->bmiHeader.biHeight, 360);
    EXPECT_EQ(v->bmiHeader.biSizeImage, 480u * 360u * 2u);
    EXPECT_EQ(v->AvgTimePerFrame, 400000);
    DeleteMediaType(got);
}

TEST_F(CaptureDevice, EveryUsableCapabilityChangesTheDeliveredFrames) {
    const auto& caps = TestCardCapabilities();
    for (size_t i = 0; i < caps.size(); ++i) {
        const VideoCapability& c = caps[i];
        if (c.headerV2) continue;
        SCOPED_TRACE(i);
        Graph g;
        ASSERT_EQ(MakeGraph(&g), S_OK);
        ComPtr<IBaseFilter> card =
            BindDevice(CLSID_VideoInputDeviceCategory, L"Lumoka Test Card", L"lumoka-testcard-1");
        ASSERT_TRUE(card);
        ASSERT_EQ(g.graph->AddFilter(card.Get(), L"Card"), S_OK);
        ComPtr<IAMStreamConfig> config;
        g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, card.Get(),
                                 IID_IAMStreamConfig,
                                 reinterpret_cast<void**>(config.GetAddressOf()));
        ASSERT_TRUE(config);
        // The smallest size at the highest rate the capability allows.
        AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), static_cast<int>(i), c.minWidth,
                                           c.minHeight, c.minInterval);
        ASSERT_EQ(config->SetFormat(mt), S_OK);
        DeleteMediaType(mt);
        ComPtr<CRecordingSink> sink = MakeSink();
        g.graph->AddFilter(sink.Get(), L"Sink");
        ComPtr<IPin> out = FindPin(g.builder.Get(), card.Get(), PINDIR_OUTPUT,
                                   &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video);
        ASSERT_EQ(g.graph->ConnectDirect(out.Get(), SinkPin(sink.Get()).Get(), nullptr), S_OK);
        EXPECT_EQ(sink->InputPin()->CurrentMediaType().subtype, SubtypeOf(c.format));
        ASSERT_TRUE(SUCCEEDED(g.control->Run()));
        ASSERT_TRUE(sink->WaitForSamples(2, 3000));
        g.control->Stop();
        const auto samples = sink->Samples();
        const PictureLayout layout = SinkLayout(sink.Get());
        EXPECT_EQ(layout.width, c.minWidth);
        EXPECT_EQ(layout.height, c.minHeight);
        EXPECT_EQ(samples[0].data.size(), layout.ImageSize());
        EXPECT_EQ(samples[0].stop - samples[0].start, c.minInterval);
        EXPECT_TRUE(Counter(samples[1], layout).has_value());
    }
}

TEST_F(CaptureDevice, SetFormatOnAConnectedPinReconnects) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    ASSERT_TRUE(config);
    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 1);
    // Not while running.
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 320, 240, 333667);  // RGB32
    EXPECT_EQ(config->SetFormat(mt), VFW_E_NOT_STOPPED);
    g_.control->Stop();
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    // The graph reconnected the pin with the new type.
    const CMediaType& now = sink->InputPin()->CurrentMediaType();
    EXPECT_EQ(now.subtype, MEDIASUBTYPE_RGB32);
    const PictureLayout layout = SinkLayout(sink.Get());
    EXPECT_EQ(layout.width, 320);
    EXPECT_EQ(layout.height, 240);
    sink->ClearRecord();
    ASSERT_TRUE(SUCCEEDED(g_.control->Run()));
    ASSERT_TRUE(sink->WaitForSamples(2, 3000));
    EXPECT_EQ(sink->Samples()[1].data.size(), 320u * 240u * 4u);
    EXPECT_TRUE(Counter(sink->Samples()[1], layout).has_value());
}

TEST_F(CaptureDevice, RefusesSizesAndRatesOutsideTheCapability) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    ASSERT_TRUE(config);
    const VideoCapability& c = TestCardCapabilities()[1];  // YUY2 720 x 480
    struct Case {
        int w, h;
        REFERENCE_TIME t;
    };
    const Case refused[] = {
        {c.maxWidth + c.widthGranularity, c.height, c.defaultInterval},   // too wide
        {c.minWidth - c.widthGranularity, c.height, c.defaultInterval},   // too narrow
        {c.width - 4, c.height, c.defaultInterval},                       // off the grid
        {c.width, c.maxHeight + c.heightGranularity, c.defaultInterval},  // too tall
        {c.width, c.height, 0},                                           // no rate
        {c.width, c.height, c.minInterval - 1},                           // too fast
        {c.width, c.height, c.maxInterval + 1},                           // too slow
        {c.width, -c.height, c.defaultInterval},                          // top-down YUV
    };
    for (const Case& k : refused) {
        AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 1, k.w, k.h, k.t);
        EXPECT_EQ(config->SetFormat(mt), VFW_E_INVALIDMEDIATYPE) << k.w << "x" << k.h << " " << k.t;
        DeleteMediaType(mt);
    }
    // Nothing refused changed the format.
    AM_MEDIA_TYPE* got = nullptr;
    ASSERT_EQ(config->GetFormat(&got), S_OK);
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(got->pbFormat)->bmiHeader.biWidth, c.width);
    DeleteMediaType(got);
    EXPECT_EQ(config->SetFormat(nullptr), E_POINTER);
}

TEST_F(CaptureDevice, IsALiveSource) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<CRecordingSink> sink = MakeSink();
    ASSERT_EQ(g_.graph->AddFilter(sink.Get(), L"Sink"), S_OK);
    ComPtr<IPin> out = FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                               &MEDIATYPE_Video);
    ASSERT_EQ(g_.graph->ConnectDirect(out.Get(), SinkPin(sink.Get()).Get(), nullptr), S_OK);
    EXPECT_EQ(card->Pause(), VFW_S_CANT_CUE);
    FILTER_STATE state;
    EXPECT_EQ(card->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(card->Stop(), S_OK);
    ComPtr<IAMPushSource> push;
    EXPECT_EQ(out.As(&push), S_OK);
    ComPtr<IKsPropertySet> props;
    ASSERT_EQ(out.As(&props), S_OK);
    GUID category{};
    DWORD returned = 0;
    EXPECT_EQ(props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                         sizeof(category), &returned),
              S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
}

TEST_F(CaptureDevice, VideoSignalSettingsChangeThePicture) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMVideoProcAmp> amp;
    ASSERT_EQ(card.As(&amp), S_OK);
    long min, max, step, def, caps;
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(step, 10);
    EXPECT_EQ(amp->GetRange(VideoProcAmp_BacklightCompensation, &min, &max, &step, &def, &caps),
              E_PROP_ID_UNSUPPORTED);
    long value, flags;
    EXPECT_EQ(amp->Get(VideoProcAmp_BacklightCompensation, &value, &flags), E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(amp->Set(VideoProcAmp_BacklightCompensation, 0, 2), E_PROP_ID_UNSUPPORTED);
    ASSERT_EQ(amp->GetRange(VideoProcAmp_WhiteBalance, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(caps, 3);
    ASSERT_EQ(amp->Get(VideoProcAmp_WhiteBalance, &value, &flags), S_OK);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(amp->Set(VideoProcAmp_Brightness, 15, 2), E_INVALIDARG);

    ComPtr<IAMStreamConfig> config = Config(card.Get());
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 1, 720, 480, 333667);  // YUY2
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 2);
    const PictureLayout layout = SinkLayout(sink.Get());
    auto lumaAt = [&](const CRecordedSample& s, int x, int y) {
        return s.data[layout.RowOffset(y) + static_cast<size_t>(x) * 2];
    };
    const int before = lumaAt(sink->Samples().back(), 10, 200);
    EXPECT_EQ(before, 180);  // the white bar
    ASSERT_EQ(amp->Set(VideoProcAmp_Brightness, 50, 2), S_OK);
    ASSERT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
    EXPECT_EQ(value, 50);
    // A frame rendered before the change may still arrive first; the second one recorded from
    // now was rendered after the first one's delivery, so after the change.
    sink->ClearRecord();
    ASSERT_TRUE(sink->WaitForSamples(2, 3000));
    EXPECT_EQ(lumaAt(sink->Samples().back(), 10, 200), 230);
    // Saturation 0 greys the yellow bar.
    ASSERT_EQ(amp->Set(VideoProcAmp_Saturation, 0, 2), S_OK);
    sink->ClearRecord();
    ASSERT_TRUE(sink->WaitForSamples(2, 3000));
    const CRecordedSample s = sink->Samples().back();
    EXPECT_EQ(s.data[layout.RowOffset(200) + 150 * 2 + 1], 128);
    EXPECT_EQ(s.data[layout.RowOffset(200) + 150 * 2 + 3], 128);
}

TEST_F(CaptureDevice, AnalogDecoderKeepsItsStandard) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMAnalogVideoDecoder> decoder;  // MinGW has no __uuidof for it: ask by IID
    ASSERT_EQ(card->QueryInterface(IID_IAMAnalogVideoDecoder,
                                   reinterpret_cast<void**>(decoder.GetAddressOf())),
              S_OK);
    long available = 0, current = 0, lines = 0, locked = 0;
    ASSERT_EQ(decoder->get_AvailableTVFormats(&available), S_OK);
    for (long s : {AnalogVideo_NTSC_M, AnalogVideo_PAL_B, AnalogVideo_SECAM_L,
                   AnalogVideo_PAL_N_COMBO, AnalogVideo_NTSC_M_J}) {
        EXPECT_NE(available & s, 0) << s;
    }
    ASSERT_EQ(decoder->get_TVFormat(&current), S_OK);
    EXPECT_EQ(current, AnalogVideo_NTSC_M);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_PAL_B), S_OK);
    EXPECT_EQ(decoder->get_TVFormat(&current), S_OK);
    EXPECT_EQ(current, AnalogVideo_PAL_B);
    EXPECT_EQ(decoder->get_NumberOfLines(&lines), S_OK);
    EXPECT_EQ(lines, 625);
    EXPECT_EQ(decoder->put_TVFormat(0x8), E_INVALIDARG);
    EXPECT_EQ(decoder->put_TVFormat(AnalogVideo_NTSC_M | AnalogVideo_PAL_B), E_INVALIDARG);
    EXPECT_EQ(decoder->put_TVFormat(0), E_INVALIDARG);
    EXPECT_EQ(decoder->get_TVFormat(&current), S_OK);
    EXPECT_EQ(current, AnalogVideo_PAL_B);
    EXPECT_EQ(decoder->get_HorizontalLocked(&locked), S_OK);
    EXPECT_EQ(locked, 1);
}

}  // namespace
}  // namespace lumoka::test
