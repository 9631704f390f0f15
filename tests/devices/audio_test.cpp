// PCM from the test card's audio pin and from the test tone microphone: the chosen format,
// the suggested buffer size, gapless time stamps and a tone in the data.
#include "DeviceTestSupport.h"

#include <mmreg.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

namespace lumoka::test {
namespace {

using AudioCapture = DeviceGraphTest;

AM_MEDIA_TYPE* PcmType(IAMStreamConfig* config, WORD channels, WORD bits, DWORD rate) {
    AM_MEDIA_TYPE* mt = nullptr;
    AUDIO_STREAM_CONFIG_CAPS caps{};
    if (config->GetStreamCaps(0, &mt, reinterpret_cast<BYTE*>(&caps)) != S_OK) return nullptr;
    auto* w = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
    w->nChannels = channels;
    w->wBitsPerSample = bits;
    w->nSamplesPerSec = rate;
    w->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    w->nAvgBytesPerSec = rate * w->nBlockAlign;
    return mt;
}

// Sets the format and a 20 ms buffer as the program does, runs into a sink and checks what
// arrives.
void CheckPcm(Graph& g, IBaseFilter* device, WORD channels, WORD bits, DWORD rate) {
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, device,
                                       IID_IAMStreamConfig,
                                       reinterpret_cast<void**>(config.GetAddressOf())),
              S_OK);
    ComPtr<IAMBufferNegotiation> negotiation;
    ASSERT_EQ(g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, device,
                                       IID_IAMBufferNegotiation,
                                       reinterpret_cast<void**>(negotiation.GetAddressOf())),
              S_OK);
    AM_MEDIA_TYPE* mt = PcmType(config.Get(), channels, bits, rate);
    ASSERT_NE(mt, nullptr);
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    const long block = channels * bits / 8;
    const long bytes = static_cast<long>(block * rate * 20 / 1000);
    ALLOCATOR_PROPERTIES props{-1, bytes, -1, -1};
    ASSERT_EQ(negotiation->SuggestAllocatorProperties(&props), S_OK);

    ComPtr<CRecordingSink> sink = MakeSink();
    ASSERT_EQ(g.graph->AddFilter(sink.Get(), L"Sink"), S_OK);
    ComPtr<IPin> out =
        FindPin(g.builder.Get(), device, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio);
    ASSERT_TRUE(out);
    ASSERT_EQ(g.graph->ConnectDirect(out.Get(), SinkPin(sink.Get()).Get(), nullptr), S_OK);
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(negotiation->GetAllocatorProperties(&actual), S_OK);
    EXPECT_GE(actual.cbBuffer, bytes);
    EXPECT_EQ(negotiation->SuggestAllocatorProperties(&props), VFW_E_ALREADY_CONNECTED);

    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    ASSERT_TRUE(sink->WaitForSamples(10, 3000));
    g.control->Stop();
    const auto samples = sink->Samples();
    const auto* w =
        reinterpret_cast<const WAVEFORMATEX*>(sink->InputPin()->CurrentMediaType().pbFormat);
    EXPECT_EQ(w->nChannels, channels);
    EXPECT_EQ(w->wBitsPerSample, bits);
    EXPECT_EQ(w->nSamplesPerSec, rate);
    int lo = 1 << 20, hi = -(1 << 20);
    for (size_t i = 0; i < samples.size(); ++i) {
        const CRecordedSample& s = samples[i];
        ASSERT_EQ(static_cast<long>(s.data.size()), bytes) << i;
        ASSERT_TRUE(s.startValid && s.stopValid);
        EXPECT_EQ(s.stop - s.start, 200000);
        if (i > 0) {
            EXPECT_EQ(s.start, samples[i - 1].stop) << i;  // no gaps, no overlaps
        }
        for (size_t k = 0; k + block <= s.data.size(); k += block) {
            const int v = bits == 8 ? s.data[k] - 128
                                    : static_cast<int16_t>(s.data[k] | (s.data[k + 1] << 8));
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    // A tone at half of full scale.
    const int half = bits == 8 ? 64 : 16384;
    EXPECT_NEAR(hi, half, half / 20);
    EXPECT_NEAR(lo, -half, half / 20);
}

TEST_F(AudioCapture, CardAudioPinDeliversTheChosenPcm) {
    ComPtr<IBaseFilter> card = AddCard();
    CheckPcm(g_, card.Get(), 1, 8, 22050);
}

TEST_F(AudioCapture, TestToneDeliversTheChosenPcm) {
    ComPtr<IBaseFilter> tone =
        BindDevice(CLSID_AudioInputDeviceCategory, L"Lumoka Test Tone", L"lumoka-testtone-0");
    ASSERT_TRUE(tone);
    ASSERT_EQ(g_.graph->AddFilter(tone.Get(), L"Lumoka Test Tone"), S_OK);
    CheckPcm(g_, tone.Get(), 2, 16, 44100);
}

TEST_F(AudioCapture, RefusesFormatsOutsideTheCapabilities) {
    ComPtr<IBaseFilter> tone =
        BindDevice(CLSID_AudioInputDeviceCategory, L"Lumoka Test Tone", L"lumoka-testtone-0");
    ASSERT_TRUE(tone);
    ASSERT_EQ(g_.graph->AddFilter(tone.Get(), L"Tone"), S_OK);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(g_.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, tone.Get(),
                                        IID_IAMStreamConfig,
                                        reinterpret_cast<void**>(config.GetAddressOf())),
              S_OK);
    int count = 0, size = 0;
    ASSERT_EQ(config->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = nullptr;
        AUDIO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(config->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps)), S_OK);
        EXPECT_EQ(mt->formattype, FORMAT_WaveFormatEx);
        EXPECT_GE(mt->cbFormat, sizeof(WAVEFORMATEX));
        EXPECT_EQ(caps.MinimumChannels, 1);
        EXPECT_EQ(caps.MaximumChannels, 2);
        EXPECT_EQ(caps.MinimumSampleFrequency, 8000);
        EXPECT_EQ(caps.MaximumSampleFrequency, 48000);
        EXPECT_GT(caps.SampleFrequencyGranularity, 1);
        DeleteMediaType(mt);
    }
    const struct {
        WORD ch, bits;
        DWORD rate;
    } refused[] = {{3, 16, 48000}, {2, 24, 48000}, {2, 16, 96000}, {2, 16, 44101}, {1, 8, 4000}};
    for (const auto& r : refused) {
        AM_MEDIA_TYPE* mt = PcmType(config.Get(), r.ch, r.bits, r.rate);
        EXPECT_EQ(config->SetFormat(mt), VFW_E_INVALIDMEDIATYPE)
            << r.ch << " " << r.bits << " " << r.rate;
        DeleteMediaType(mt);
    }
}

}  // namespace
}  // namespace lumoka::test
