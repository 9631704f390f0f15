// The audio page's rules as tables: candidates, scroll bars, validation, cells, load and store.
#include "ui/editor/AudioPageRules.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

using Ints = std::vector<int32_t>;

AudioFormatRecord Pcm() {
    AudioFormatRecord f;
    f.SubtypeName = L"PCM";
    f.FormatTag = 1;
    f.Channels = 2;
    f.BitsPerSample = 16;
    f.SamplesPerSec = 44100;
    f.MinimumChannels = 1;
    f.MaximumChannels = 2;
    f.ChannelsGranularity = 1;
    f.MinimumBitsPerSample = 8;
    f.MaximumBitsPerSample = 16;
    f.BitsPerSampleGranularity = 8;
    f.MinimumSampleFrequency = 8000;
    f.MaximumSampleFrequency = 48000;
    f.SampleFrequencyGranularity = 2;
    return f;
}

TEST(AudioRules, Candidates) {
    struct Row {
        AudioValue which;
        int32_t current;
        AudioRange range;
        Ints expected;
    } rows[] = {
        {AudioValue::Channels, 2, {1, 2, 1}, {1, 2}},
        {AudioValue::Channels, 1, {1, 1, 1}, {1}},
        {AudioValue::Bits, 16, {8, 32, 8}, {8, 16, 24, 32}},
        {AudioValue::Bits, 12, {8, 16, 0}, {12}},
        {AudioValue::Rate, 48000, {8000, 48000, 1}, {8000, 11025, 22050, 32000, 44100, 48000}},
        {AudioValue::Rate,
         16000,
         {8000, 48000, 1},
         {8000, 11025, 16000, 22050, 32000, 44100, 48000}},
        {AudioValue::Rate,
         44100,
         {8000, 96000, 25},
         {8000, 11025, 22050, 32000, 44100, 48000, 96000}},
        {AudioValue::Rate, 44100, {8000, 48000, 2}, {8000, 22050, 32000, 44100, 48000}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(AudioCandidates(r.which, r.current, r.range), r.expected)
            << static_cast<int>(r.which) << " " << r.current;
    }
}

TEST(AudioRules, ScrollBarsAndValidation) {
    const AudioRange rate{8000, 48000, 2};
    const ScrollSetup bar = AudioScroll(44100, rate);
    EXPECT_TRUE(bar.Enabled);
    EXPECT_EQ(bar.Maximum, 20000);  // beyond the 16 bits of a scroll message's thumb
    EXPECT_EQ(bar.Position, 18050);
    EXPECT_EQ(AudioValueAt(18051, rate), 44102);
    EXPECT_EQ(NextAudioPosition(ScrollCode::LineLeft, 0, 0, bar), 0);
    EXPECT_EQ(NextAudioPosition(ScrollCode::PageRight, 0, 20000, bar), 20000);
    EXPECT_EQ(NextAudioPosition(ScrollCode::ThumbTrack, 19999, 5, bar), 19999);
    // The range counts from the smaller end.
    EXPECT_EQ(AudioScroll(16, {16, 8, 8}).Enabled, false);
    EXPECT_EQ(AudioRange({16, 8, 8}).Low(), 8);
    struct Off {
        int32_t current;
        AudioRange range;
    } disabled[] = {
        {1, {1, 1, 1}}, {3, {1, 2, 1}}, {0, {1, 2, 1}}, {1, {1, 2, 0}}, {8, {8, 12, 8}}};
    for (const Off& d : disabled)
        EXPECT_FALSE(AudioScroll(d.current, d.range).Enabled) << d.current;

    struct Row {
        const wchar_t* text;
        AudioRange range;
        bool valid;
        int32_t position;
    } rows[] = {
        {L"44101", {8000, 48000, 2}, false, -1},
        {L"44100", {8000, 48000, 2}, true, 18050},
        {L"7998", {8000, 48000, 2}, false, -1},
        {L"48002", {8000, 48000, 2}, false, -1},
        {L"3", {1, 2, 1}, false, -1},
        {L"x", {1, 2, 1}, false, -1},
        {L"8", {16, 8, 4}, true, 0},
        {L"17", {8, 32, 0}, true, -1},
    };
    for (const Row& r : rows) {
        const Validation v = ValidateAudioValue(r.text, r.range);
        EXPECT_EQ(v.Valid, r.valid) << r.text;
        EXPECT_EQ(v.Position, r.position) << r.text;
    }
    AudioFormatRecord adpcm = Pcm();
    adpcm.FormatTag = 2;
    EXPECT_TRUE(IsChangeableAudioFormat(Pcm()));
    EXPECT_FALSE(IsChangeableAudioFormat(adpcm));
}

TEST(AudioRules, TextsAndColours) {
    const AudioFormatRecord f = Pcm();
    EXPECT_EQ(AudioFormatText(0, f), L"00: PCM 2ch 16bit 44100Hz");
    // The values of the ten rows; the capability's fields each in their own row.
    const wchar_t* values[kAudioInfoRows] = {L"PCM",   L"1ch", L"2ch",    L"1",       L"8bit",
                                             L"16bit", L"8",   L"8000Hz", L"48000Hz", L"2"};
    for (int row = 0; row < kAudioInfoRows; ++row) {
        EXPECT_EQ(AudioInfoCell(f, row, 1), values[row]) << row;
    }
    EXPECT_EQ(AudioInfoCell(f, 4, 0), L"サンプルあたりの最小ビット数");
    EXPECT_EQ(AudioInfoCell(f, 10, 1), L"");
    EXPECT_EQ(AudioInfoRowColour(0), kWhite);
    EXPECT_EQ(AudioInfoRowColour(3), Rgb(240, 240, 240));
    EXPECT_EQ(RangeOf(f, AudioValue::Bits).Granularity, 8);
    EXPECT_EQ(ValueOf(f, AudioValue::Rate), 44100);
}

TEST(AudioRules, LoadAndStoreProfile) {
    const std::vector<DeviceEntry> devices = {
        {L"Tone", L"mic", L"tone-0", DeviceKind::AudioCapture},
        {L"Card", L"card", L"card-0", DeviceKind::VideoCapture}};
    Profile p = MakeDefaultProfile(2);
    p.AudioUseBufferSize = 1;
    p.AudioBufferSize = 5000;
    p.AudioFormatIndex = 1;
    p.AudioFormatChannels = 1;
    p.AudioFormatBitsPerSample = 8;
    p.AudioFormatSamplesPerSec = 44101;
    AudioProfileLoad load = LoadAudioProfile(p, 3);
    EXPECT_TRUE(load.UseBufferSize);
    EXPECT_EQ(load.BufferSize, 1000);
    EXPECT_TRUE(load.FormatValid);
    EXPECT_EQ(load.RateText, L"44101");
    EXPECT_FALSE(LoadAudioProfile(p, 1).FormatValid);

    Profile none = p;
    AudioPageState state;
    state.Device = 0;
    StoreAudioProfile(state, devices, 3, none);
    EXPECT_TRUE(none.Audio.IsEmpty());
    EXPECT_EQ(none.AudioBufferSize, 5000);  // nothing else written
    EXPECT_EQ(none.AudioFormatSamplesPerSec, 44101);

    state.Device = 2;  // a video device with an audio capture pin
    state.UseBufferSize = false;
    state.BufferSize = -3;
    state.Format = 2;
    state.ChannelsText = L"65537";
    state.BitsText = L"16";
    state.RateText = L"44101";  // invalid on a grid of 2, stored all the same
    StoreAudioProfile(state, devices, 3, p);
    EXPECT_EQ(p.Audio.FriendlyName, L"Card");
    EXPECT_EQ(p.Audio.DevicePath, L"card-0");
    EXPECT_EQ(p.AudioUseBufferSize, 0);
    EXPECT_EQ(p.AudioBufferSize, 0);
    EXPECT_EQ(p.AudioFormatIndex, 2);
    EXPECT_EQ(p.AudioFormatChannels, 1);
    EXPECT_EQ(p.AudioFormatBitsPerSample, 16);
    EXPECT_EQ(p.AudioFormatSamplesPerSec, 44101);
    StoreAudioProfile(state, devices, 0, p);
    EXPECT_EQ(p.AudioFormatIndex, -1);
}

}  // namespace
}  // namespace editor
