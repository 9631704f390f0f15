// The catalogue over the virtual devices: enumeration, lookup by identity, pins, usable
// formats, standards and crossbars.
#include "TestSupport.h"
#include "wincom/ComAdopt.h"

namespace {

class Catalogue : public ComApartment {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registered = SUCCEEDED(RegisterDllBesideProgram(L"LumokaTestDevices.dll"));
        CoUninitialize();
    }
    void SetUp() override {
        ComApartment::SetUp();
        ASSERT_TRUE(registered) << "LumokaTestDevices.dll could not be registered";
    }
    static bool registered;
};
bool Catalogue::registered = false;

const wchar_t kCard[] = L"Lumoka Test Card";

bool Lists(const std::vector<DeviceEntry>& list, const std::wstring& name,
           const std::wstring& path) {
    for (const auto& d : list) {
        if (d.FriendlyName == name && d.DevicePath == path) return true;
    }
    return false;
}

TEST_F(Catalogue, EnumeratesEveryKindWithIdentity) {
    std::vector<DeviceEntry> video;
    ASSERT_TRUE(EnumDevices(DeviceKind::VideoCapture, video));
    EXPECT_TRUE(Lists(video, kCard, L"lumoka-testcard-0"));
    EXPECT_TRUE(Lists(video, kCard, L"lumoka-testcard-1"));
    EXPECT_TRUE(Lists(video, L"Lumoka Test Card (Preview)", L"lumoka-testcard-preview"));
    EXPECT_TRUE(Lists(video, L"Lumoka Test Card (No Path)", L""));
    for (const auto& d : video) EXPECT_EQ(d.Kind, DeviceKind::VideoCapture);
    std::vector<DeviceEntry> audio{DeviceEntry{}};
    ASSERT_TRUE(EnumDevices(DeviceKind::AudioCapture, audio));
    EXPECT_TRUE(Lists(audio, L"Lumoka Test Tone", L"lumoka-testtone-0"));
    EXPECT_FALSE(Lists(audio, L"", L""));  // cleared first
    std::vector<DeviceEntry> filters;
    ASSERT_TRUE(EnumDevices(DeviceKind::OtherFilter, filters));
    EXPECT_TRUE(Lists(filters, L"Lumoka Test Pass-Through", L""));
}

TEST_F(Catalogue, FindsByExactNameAndPath) {
    ComPtr<IBaseFilter> f;
    for (FindVariant v : {FindVariant::GraphBuild, FindVariant::Page}) {
        EXPECT_TRUE(FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-1", v, f));
        EXPECT_NE(f, nullptr);
        EXPECT_FALSE(
            FindDevice(DeviceKind::VideoCapture, L"lumoka test card", L"lumoka-testcard-1", v, f));
        EXPECT_EQ(f, nullptr);
        EXPECT_FALSE(FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-9", v, f));
        EXPECT_FALSE(FindDevice(DeviceKind::VideoCapture, kCard, L"", v, f));
        EXPECT_TRUE(FindDevice(DeviceKind::VideoCapture, L"Lumoka Test Card (No Path)", L"", v, f));
        EXPECT_FALSE(FindDevice(DeviceKind::AudioCapture, kCard, L"lumoka-testcard-0", v, f));
        EXPECT_TRUE(FindDevice(DeviceKind::OtherFilter, L"Lumoka Test Pass-Through", L"", v, f));
    }
}

TEST_F(Catalogue, TwoDevicesOfOneNameAreToldApartByPath) {
    ComPtr<IBaseFilter> first, second;
    ASSERT_TRUE(FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-0", FindVariant::Page,
                           first));
    ASSERT_TRUE(FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-1", FindVariant::Page,
                           second));
    ASSERT_TRUE(first && second);
    ComPtr<IUnknown> a, b;
    first.As(&a);
    second.As(&b);
    EXPECT_NE(a.Get(), b.Get());
}

TEST_F(Catalogue, PinsOfTheCardAndTheTone) {
    ComPtr<IBaseFilter> card;
    ASSERT_TRUE(
        FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-0", FindVariant::Page, card));
    std::vector<PinEntry> pins{PinEntry{}};
    ASSERT_TRUE(ListPins(card.Get(), pins));
    ASSERT_EQ(pins.size(), 4u);
    EXPECT_EQ(pins[0].IsInput, 0);
    EXPECT_EQ(pins[0].Name, L"Capture");
    EXPECT_EQ(pins[0].Category, L"CAPTURE");
    EXPECT_EQ(pins[0].MajorType, L"Video");
    EXPECT_EQ(pins[1].Category, L"PREVIEW");
    EXPECT_EQ(pins[2].MajorType, L"Audio");
    EXPECT_EQ(pins[3].IsInput, 1);
    EXPECT_EQ(pins[3].Category, L"-");
    EXPECT_EQ(pins[3].MajorType, L"AnalogVideo");
    EXPECT_TRUE(HasAudioCapturePin(pins));
    pins.erase(pins.begin() + 2);
    EXPECT_FALSE(HasAudioCapturePin(pins));
    // A filter without pins lists nothing.
    ComPtr<IBaseFilter> empty;
    empty = lumoka::Adopt(new CStandInFilter(false));
    EXPECT_FALSE(ListPins(empty.Get(), pins));
    EXPECT_TRUE(pins.empty());
}

TEST_F(Catalogue, UsableVideoFormatsOnlyAndTheirNames) {
    ComPtr<IBaseFilter> card;
    ASSERT_TRUE(
        FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-0", FindVariant::Page, card));
    std::vector<VideoFormatEntry> formats;
    ASSERT_TRUE(ListVideoFormats(card.Get(), formats));
    // The card reports a VIDEOINFOHEADER2 entry first; index 0 is the first usable one.
    ASSERT_EQ(formats.size(), 9u);
    EXPECT_EQ(formats[0].Record.SubtypeName, L"YUY2");
    EXPECT_EQ(formats[0].Header.bmiHeader.biWidth, 720);
    EXPECT_EQ(formats[0].Header.bmiHeader.biHeight, 480);
    EXPECT_EQ(formats[0].Header.AvgTimePerFrame, 333667);
    EXPECT_EQ(formats[4].Record.SubtypeName, L"HDYC");
    EXPECT_EQ(formats[6].Record.SubtypeName, L"RGB24");
    EXPECT_EQ(formats[7].Record.SubtypeName, L"RGB32");
    EXPECT_EQ(formats[8].Header.bmiHeader.biWidth, 1280);
    for (const auto& f : formats) {
        EXPECT_EQ(f.MediaType.formattype, FORMAT_VideoInfo);
        EXPECT_EQ(f.MediaType.majortype, MEDIATYPE_Video);
    }
    // 525-line standards of the NTSC formats, by name and bit.
    ASSERT_FALSE(formats[0].Record.Standards.empty());
    EXPECT_EQ(formats[0].Record.Standards[0].Text, L"NTSC_M");
    EXPECT_EQ(formats[0].Record.Standards.size(),
              VideoStandardNames(formats[0].Caps.VideoStandard).size());
    EXPECT_TRUE(formats[4].Record.Standards.empty());
    EXPECT_EQ(formats[0].Record.CurrentStandard, 1);
    // The portable record carries the capability's ranges and the header's defaults.
    const VideoFormatRecord& rgb24 = formats[6].Record;
    EXPECT_EQ(rgb24.BitCount, 24);
    EXPECT_EQ(rgb24.InputWidth, 640);
    EXPECT_EQ(rgb24.InputHeight, 480);
    EXPECT_EQ(rgb24.MinOutputWidth, 320);
    EXPECT_EQ(rgb24.MaxOutputWidth, 1280);
    EXPECT_EQ(rgb24.MaxOutputHeight, 960);
    EXPECT_EQ(rgb24.OutputGranularityX, 16);
    EXPECT_EQ(rgb24.OutputGranularityY, 16);
    EXPECT_EQ(rgb24.MinFrameInterval, 166833);
    EXPECT_EQ(rgb24.MaxFrameInterval, 2000000);
    EXPECT_EQ(rgb24.AvgTimePerFrame, 333667);
    EXPECT_EQ(rgb24.MinBitsPerSecond, formats[6].Caps.MinBitsPerSecond);
}

TEST_F(Catalogue, PreviewOnlyDeviceStillListsFormats) {
    ComPtr<IBaseFilter> card;
    ASSERT_TRUE(FindDevice(DeviceKind::VideoCapture, L"Lumoka Test Card (Preview)",
                           L"lumoka-testcard-preview", FindVariant::Page, card));
    std::vector<VideoFormatEntry> formats;
    EXPECT_TRUE(ListVideoFormats(card.Get(), formats));
    EXPECT_EQ(formats.size(), 9u);
    // It has no audio; the audio list is asked through the capture pin only.
    std::vector<AudioFormatEntry> audio;
    EXPECT_FALSE(ListAudioFormats(card.Get(), audio));
}

TEST_F(Catalogue, AudioFormatsOfTheTone) {
    ComPtr<IBaseFilter> tone;
    ASSERT_TRUE(FindDevice(DeviceKind::AudioCapture, L"Lumoka Test Tone", L"lumoka-testtone-0",
                           FindVariant::Page, tone));
    std::vector<AudioFormatEntry> formats;
    ASSERT_TRUE(ListAudioFormats(tone.Get(), formats));
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0].Record.SubtypeName, L"PCM");
    EXPECT_EQ(formats[0].Wave.nChannels, 2);
    EXPECT_EQ(formats[0].Wave.nSamplesPerSec, 48000u);
    EXPECT_EQ(formats[2].Wave.wBitsPerSample, 8);
    const AudioFormatRecord& low = formats[2].Record;
    EXPECT_EQ(low.FormatTag, 1);
    EXPECT_EQ(low.Channels, 1);
    EXPECT_EQ(low.SamplesPerSec, 8000);
    EXPECT_EQ(low.MaximumChannels, 2);
    EXPECT_EQ(low.BitsPerSampleGranularity, 8);
    EXPECT_EQ(low.MaximumSampleFrequency, 48000);
    EXPECT_EQ(low.SampleFrequencyGranularity, 25);
    std::vector<VideoFormatEntry> video;
    EXPECT_FALSE(ListVideoFormats(tone.Get(), video));
}

TEST_F(Catalogue, CrossbarsInFrontOfTheCard) {
    ComPtr<IBaseFilter> card;
    ASSERT_TRUE(
        FindDevice(DeviceKind::VideoCapture, kCard, L"lumoka-testcard-0", FindVariant::Page, card));
    CrossbarInfo first, second;
    ASSERT_TRUE(DescribeCrossbars(card.Get(), first, second));
    ASSERT_EQ(first.Outputs.size(), 2u);
    EXPECT_EQ(first.Outputs[0].Label, L"0:Video Decoder");
    EXPECT_EQ(first.Outputs[0].RoutedInput, 0);
    EXPECT_EQ(first.Outputs[1].Label, L"1:Audio Decoder");
    ASSERT_EQ(first.Outputs[0].Inputs.size(), 5u);
    EXPECT_EQ(first.Outputs[0].Inputs[2].Label, L"2:Video S-Video");
    ASSERT_EQ(first.Inputs.size(), 5u);
    EXPECT_EQ(first.Inputs[0].Label, L"Video Tuner");
    EXPECT_EQ(first.Inputs[4].Label, L"Audio Line");
    EXPECT_EQ(first.Inputs[0].RelatedIndex, 3);
    EXPECT_TRUE(second.Empty());
    // The card can be inspected again and joins another graph afterwards.
    CrossbarInfo again, none;
    EXPECT_TRUE(DescribeCrossbars(card.Get(), again, none));
    EXPECT_EQ(again.Outputs.size(), 2u);

    ComPtr<IBaseFilter> two;
    ASSERT_TRUE(FindDevice(DeviceKind::VideoCapture, L"Lumoka Test Card (Two Crossbars)",
                           L"lumoka-testcard-2xbar", FindVariant::Page, two));
    ASSERT_TRUE(DescribeCrossbars(two.Get(), first, second));
    EXPECT_EQ(first.Outputs.size(), 2u);
    EXPECT_EQ(second.Outputs.size(), 2u);
    EXPECT_EQ(second.Inputs.size(), 5u);
}

TEST_F(Catalogue, InspectOperations) {
    VideoDeviceRecord video;
    EXPECT_TRUE(
        InspectVideoDevice({kCard, L"", L"lumoka-testcard-0", DeviceKind::VideoCapture}, video));
    EXPECT_EQ(video.Pins.size(), 4u);
    EXPECT_EQ(video.Formats.size(), 9u);
    EXPECT_EQ(video.FirstCrossbar.Outputs.size(), 2u);
    VideoDeviceRecord missing;
    EXPECT_FALSE(InspectVideoDevice({L"Nothing", L"", L"", DeviceKind::VideoCapture}, missing));

    AudioDeviceRecord audio;
    EXPECT_TRUE(InspectAudioDevice(
        {L"Lumoka Test Tone", L"", L"lumoka-testtone-0", DeviceKind::AudioCapture}, audio));
    EXPECT_EQ(audio.Formats.size(), 3u);
    // The card's audio pin counts too: it is a capture pin of audio.
    AudioDeviceRecord cardAudio;
    EXPECT_TRUE(InspectAudioDevice({kCard, L"", L"lumoka-testcard-0", DeviceKind::VideoCapture},
                                   cardAudio));
    // The preview-only card has no audio capture pin.
    AudioDeviceRecord previewAudio;
    EXPECT_FALSE(InspectAudioDevice(
        {L"Lumoka Test Card (Preview)", L"", L"lumoka-testcard-preview", DeviceKind::VideoCapture},
        previewAudio));

    FilterRecord record;
    const DeviceEntry pass{L"Lumoka Test Pass-Through", L"desc", L"", DeviceKind::OtherFilter};
    EXPECT_TRUE(InspectFilter(pass, record));
    EXPECT_EQ(record.FriendlyName, L"Lumoka Test Pass-Through");
    EXPECT_EQ(record.Description, L"desc");
    EXPECT_EQ(record.Pins.size(), 4u);
    FilterRecord done;
    done.Inspected = true;
    EXPECT_TRUE(InspectFilter({L"Nothing", L"", L"", DeviceKind::OtherFilter}, done));
    EXPECT_TRUE(done.Pins.empty());
    FilterRecord absent;
    EXPECT_FALSE(InspectFilter({L"Nothing", L"", L"", DeviceKind::OtherFilter}, absent));
}

}  // namespace
