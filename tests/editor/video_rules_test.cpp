// The video page's rules as tables: candidates, scroll bars, validation, the stored duration,
// the information cells and loading and storing a profile.
#include "ui/editor/VideoPageRules.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

using Ints = std::vector<int32_t>;

VideoFormatRecord NtscFormat() {
    VideoFormatRecord f;
    f.SubtypeName = L"YUY2";
    f.BitCount = 16;
    f.InputWidth = 720;
    f.InputHeight = 480;
    f.MinOutputWidth = 320;
    f.MinOutputHeight = 240;
    f.MaxOutputWidth = 720;
    f.MaxOutputHeight = 576;
    f.OutputGranularityX = 8;
    f.OutputGranularityY = 2;
    f.MinFrameInterval = 166833;
    f.MaxFrameInterval = 2000000;
    f.MinBitsPerSecond = 165888000;
    f.MaxBitsPerSecond = 2147483647;
    f.AvgTimePerFrame = 333667;
    f.Standards = {{0x1, L"NTSC_M"}, {0x2, L"NTSC_M_J"}, {0x200, L"PAL_M"}};
    f.CurrentStandard = 0x2;
    return f;
}

TEST(VideoRules, SizeCandidates) {
    struct Row {
        int32_t current, minimum, maximum, granularity;
        Ints expected;
    } rows[] = {
        {720, 320, 1920, 8, {320, 480, 720, 1080, 1280, 1920}},
        {1000, 320, 1920, 8, {320, 480, 720, 1000, 1080, 1280, 1920}},
        {724, 320, 1920, 8, {320, 480, 720, 1080, 1280, 1920}},  // not on the grid
        {640, 320, 1280, 16, {320, 480, 640, 720, 1280}},        // 1080 % 16 != 0
        {720, 320, 1920, 0, {720}},
        {720, 320, 1920, -4, {720}},
        {500, 480, 480, 8, {500}},
        {100, 900, 300, 4, {}},  // an empty range offers nothing
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SizeCandidates(r.current, r.minimum, r.maximum, r.granularity), r.expected)
            << r.current << " " << r.minimum << "-" << r.maximum << "/" << r.granularity;
    }
}

TEST(VideoRules, FrameRateCandidatesAndTexts) {
    EXPECT_EQ(FrameRateCandidates(333667, 166833, 2000000),
              (Ints{500, 2398, 2500, 2997, 3000, 5994}));
    EXPECT_EQ(FrameRateCandidates(333333, 333333, 1000000), (Ints{1000, 2398, 2500, 2997, 3000}));
    // Equal intervals: one rate, and the bar is disabled.
    EXPECT_EQ(FrameRateCandidates(166833, 166833, 166833), Ints{5994});
    EXPECT_FALSE(RateScroll(166833, 166833, 166833).Enabled);
    // Intervals are held inside 240 ... 0.01 frames per second.
    EXPECT_EQ(FrameRateCandidates(0, 0, 5000000000LL),
              (Ints{1, 2398, 2500, 2997, 3000, 5994, 6000, 24000}));
    EXPECT_EQ(HundredthsText(2997), L"29.97");
    EXPECT_EQ(HundredthsText(5), L"0.05");
    EXPECT_EQ(RateText(333667), L"29.97");
    EXPECT_EQ(RateText(0), L"240.00");
    EXPECT_EQ(VideoFormatText(3, NtscFormat()), L"03: YUY2 (16bit) 720x480 29.97fps");
    VideoFormatRecord unset = NtscFormat();
    unset.AvgTimePerFrame = 0;
    EXPECT_EQ(VideoFormatText(12, unset), L"12: YUY2 (16bit) 720x480 240.00fps");
}

TEST(VideoRules, ScrollBars) {
    const ScrollSetup width = SizeScroll(720, 320, 1920, 8);
    EXPECT_TRUE(width.Enabled);
    EXPECT_EQ(width.Maximum, 200);
    EXPECT_EQ(width.Position, 50);
    EXPECT_EQ(SizeAt(51, 320, 8), 728);
    struct Off {
        int32_t current, minimum, maximum, granularity;
    } disabled[] = {{480, 480, 480, 8}, {100, 320, 720, 8}, {800, 320, 720, 8},
                    {400, 320, 720, 0}, {320, 320, 324, 8}, {320, 720, 320, 8}};
    for (const Off& d : disabled) {
        EXPECT_FALSE(SizeScroll(d.current, d.minimum, d.maximum, d.granularity).Enabled)
            << d.current << " " << d.minimum << "-" << d.maximum << "/" << d.granularity;
    }
    const ScrollSetup rate = RateScroll(333667, 166833, 2000000);
    EXPECT_TRUE(rate.Enabled);
    EXPECT_EQ(rate.Minimum, 500);
    EXPECT_EQ(rate.Maximum, 5994);
    EXPECT_EQ(rate.Position, 2997);
    EXPECT_FALSE(RateScroll(100000, 166833, 2000000).Enabled);  // default faster than allowed
    struct Step {
        ScrollCode code;
        int32_t thumb, position, expectedSize, expectedRate;
    } steps[] = {
        {ScrollCode::LineLeft, 0, 0, 0, 500},       {ScrollCode::PageLeft, 0, 10, 9, 500},
        {ScrollCode::LineRight, 0, 200, 200, 500},  {ScrollCode::PageRight, 0, 5994, 200, 5994},
        {ScrollCode::ThumbTrack, 120, 3, 120, 500}, {ScrollCode::ThumbPosition, 3000, 3, 200, 3000},
        {ScrollCode::Other, 77, 42, 42, 42},        {ScrollCodeFrom(8), 1, 42, 42, 42},
        {ScrollCode::LineLeft, 0, 2997, 200, 2996}, {ScrollCode::LineRight, 0, 2997, 200, 2998},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(NextSizePosition(s.code, s.thumb, s.position, width), s.expectedSize)
            << static_cast<int>(s.code) << " at " << s.position;
        EXPECT_EQ(NextRatePosition(s.code, s.thumb, s.position, rate), s.expectedRate)
            << static_cast<int>(s.code) << " at " << s.position;
    }
}

TEST(VideoRules, Validation) {
    struct SizeRow {
        const wchar_t* text;
        int32_t minimum, maximum, granularity;
        bool valid;
        int32_t position;
    } sizes[] = {
        {L"640", 320, 1920, 2, true, 160}, {L"641", 320, 1920, 2, false, -1},
        {L"319", 320, 1920, 2, false, -1}, {L"1922", 320, 1920, 2, false, -1},
        {L"abc", 320, 1920, 2, false, -1}, {L"  720px", 320, 1920, 8, true, 50},
        {L"333", 320, 720, 0, true, -1},   {L"640", 640, 320, 8, true, 0},  // max below min
        {L"641", 640, 320, 1, false, -1},
    };
    for (const SizeRow& r : sizes) {
        const Validation v = ValidateSize(r.text, r.minimum, r.maximum, r.granularity);
        EXPECT_EQ(v.Valid, r.valid) << r.text;
        EXPECT_EQ(v.Position, r.position) << r.text;
    }
    struct RateRow {
        const wchar_t* text;
        bool valid;
        int32_t position;
    } rates[] = {
        {L"29.97", true, 2997}, {L"59.94", true, 5994}, {L"59.95", false, -1},
        {L"5", true, 500},      {L"4.99", false, -1},   {L"x", false, -1},
        {L"-30", false, -1},    {L"0.29e3", false, -1},
    };
    for (const RateRow& r : rates) {
        const Validation v = ValidateRate(r.text, 166833, 2000000);
        EXPECT_EQ(v.Valid, r.valid) << r.text;
        EXPECT_EQ(v.Position, r.position) << r.text;
    }
    EXPECT_TRUE(ValidateRate(L"0.29", 41666, 1000000000).Valid);
    EXPECT_EQ(ValidateRate(L"0.29", 41666, 1000000000).Position, 29);
}

TEST(VideoRules, StoredFrameDuration) {
    struct Row {
        const wchar_t* text;
        bool ok;
        int64_t duration;
    } rows[] = {
        {L"29.97", true, 333667}, {L"30", true, 333333},     {L"25.00", true, 400000},
        {L"59.94", true, 166833}, {L" 240fps", true, 41666}, {L"0", false, 0},
        {L"0.00", false, 0},      {L"-29.97", false, 0},     {L"fast", false, 0},
        {L"", false, 0},          {L".", false, 0},          {L"0.000000000000000000001", false, 0},
    };
    for (const Row& r : rows) {
        int64_t duration = 0;
        EXPECT_EQ(FrameDurationFromText(r.text, duration), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(duration, r.duration) << r.text;
        }
    }
    // Rates above 10 000 000 per second truncate to no duration: the stored one stays.
    for (const wchar_t* text : {L"10000001", L"123456789012345678901234567890"}) {
        int64_t duration = 7;
        EXPECT_FALSE(FrameDurationFromText(text, duration)) << text;
        EXPECT_EQ(duration, 7);
    }
}

TEST(VideoRules, InformationCells) {
    const VideoFormatRecord f = NtscFormat();
    const wchar_t* values[kVideoInfoRows] = {L"YUY2 (16bit)",
                                             L"720x480",
                                             L"320x240",
                                             L"720x576",
                                             L"X = 8, Y = 2",
                                             L"5.00fps",
                                             L"59.94fps",
                                             L"165,888,000bps (19MByte/s)",
                                             L"2,147,483,647bps (255MByte/s)"};
    for (int row = 0; row < kVideoInfoRows; ++row) {
        EXPECT_EQ(VideoInfoCell(f, row, 1), values[row]) << row;
    }
    EXPECT_EQ(VideoInfoCell(f, 7, 0), L"最小データレート");
    EXPECT_EQ(VideoInfoCell(f, 9, 0), L"");
    EXPECT_EQ(VideoInfoCell(f, 0, 2), L"");
    EXPECT_EQ(DataRateText(999), L"999bps (0MByte/s)");
    EXPECT_EQ(DataRateText(1000), L"1,000bps (0MByte/s)");
    EXPECT_EQ(DataRateText(-1234567), L"-1,234,567bps (0MByte/s)");
}

// A device with one crossbar of two outputs (video routed to input 2, audio to input 4).
VideoDeviceView CardView() {
    VideoDeviceView view;
    view.Formats = {NtscFormat(), NtscFormat()};
    view.Formats[1].Standards.clear();
    CrossbarOutput video{0, 1, 12, 2, L"0:Video Decoder", {}};
    CrossbarOutput audio{1, 0, 4105, 4, L"1:Audio Decoder", {}};
    for (int j = 0; j < 5; ++j) {
        video.Inputs.push_back({j, -1, 1, -1, L""});
        audio.Inputs.push_back({j, -1, 1, -1, L""});
    }
    view.CrossbarOutputs = {video, audio};
    return view;
}

TEST(VideoRules, LoadProfile) {
    const VideoDeviceView view = CardView();
    EXPECT_EQ(RoutedCandidate(view.CrossbarOutputs[0]), 2);
    EXPECT_EQ(RoutedCandidate(CrossbarOutput{0, 0, 0, 9, L"", {{0, 0, 0, 0, L""}}}), 0);
    EXPECT_EQ(RoutedCandidate(CrossbarOutput{}), -1);

    Profile p = MakeDefaultProfile(0);
    p.VideoCrossbar = {{0, 3}, {1, -1}, {0, 1}};  // the third route has no row
    p.VideoFormatIndex = 0;
    p.VideoFormatWidth = 641;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 400000;
    p.VideoFormatStandard = 0x200;
    VideoProfileLoad load = LoadVideoProfile(p, view);
    EXPECT_EQ(load.Crossbar, (std::array<int, 4>{{3, -1, -1, -1}}));
    EXPECT_TRUE(load.FormatValid);
    EXPECT_EQ(load.WidthText, L"641");
    EXPECT_EQ(load.RateText, L"25.00");
    EXPECT_EQ(load.Standard, 2);
    // No stored duration: the format's own rate rather than a division by zero.
    p.VideoFormatAvgTimePerFrame = 0;
    p.VideoFormatStandard = 0x4;
    load = LoadVideoProfile(p, view);
    EXPECT_EQ(load.RateText, L"29.97");
    EXPECT_EQ(load.Standard, -1);
    for (int32_t index : {-1, 2}) {
        p.VideoFormatIndex = index;
        EXPECT_FALSE(LoadVideoProfile(p, view).FormatValid) << index;
    }
}

TEST(VideoRules, StoreProfile) {
    const std::vector<DeviceEntry> devices = {
        {L"Card A", L"first", L"path-a", DeviceKind::VideoCapture},
        {L"Card B", L"second", L"path-b", DeviceKind::VideoCapture}};
    const VideoDeviceView view = CardView();
    Profile before = MakeDefaultProfile(1);
    before.Video = {L"Gone", L"old", L"gone-path"};
    before.VideoCrossbar = {{0, 1}};
    before.VideoFormatIndex = 5;
    before.VideoFormatWidth = 1280;
    before.VideoFormatAvgTimePerFrame = 166833;

    // "ビデオを出力しない": the identity empties, every format field stays.
    for (int none : {0, -1, 3}) {
        Profile p = before;
        VideoPageState state;
        state.Device = none;
        StoreVideoProfile(state, devices, view, p);
        EXPECT_TRUE(p.Video.IsEmpty());
        EXPECT_EQ(p.VideoCrossbar.size(), 1u);
        EXPECT_EQ(p.VideoFormatIndex, 5);
        EXPECT_EQ(p.VideoFormatWidth, 1280);
    }

    VideoPageState state;
    state.Device = 2;
    state.Crossbar = {{2, -1, 0, 0}};
    state.Format = 0;
    state.WidthText = L"641";  // invalid on a grid of 8, stored all the same
    state.HeightText = L"480";
    state.RateText = L"29.97";
    state.Standard = 2;
    Profile p = before;
    StoreVideoProfile(state, devices, view, p);
    EXPECT_EQ(p.Video.FriendlyName, L"Card B");
    EXPECT_EQ(p.Video.Description, L"second");
    EXPECT_EQ(p.Video.DevicePath, L"path-b");
    ASSERT_EQ(p.VideoCrossbar.size(), 1u);
    EXPECT_EQ(p.VideoCrossbar[0], (CrossbarRoute{0, 2}));
    EXPECT_EQ(p.VideoFormatIndex, 0);
    EXPECT_EQ(p.VideoFormatWidth, 641);
    EXPECT_EQ(p.VideoFormatHeight, 480);
    EXPECT_EQ(p.VideoFormatAvgTimePerFrame, 333667);
    EXPECT_EQ(p.VideoFormatStandard, 0x200);

    // A rate that gives no duration keeps the previous one; no standard stores 0.
    state.RateText = L"0";
    state.Format = 1;
    p.VideoFormatStandard = 0x1;
    StoreVideoProfile(state, devices, view, p);
    EXPECT_EQ(p.VideoFormatAvgTimePerFrame, 333667);
    EXPECT_EQ(p.VideoFormatStandard, 0);

    // A device without formats stores index -1 and nothing more.
    VideoDeviceView bare = view;
    bare.Formats.clear();
    p.VideoFormatWidth = 9;
    StoreVideoProfile(state, devices, bare, p);
    EXPECT_EQ(p.VideoFormatIndex, -1);
    EXPECT_EQ(p.VideoFormatWidth, 9);
}

}  // namespace
}  // namespace editor
