// The video source page's rules: the format entries, the size and frame-rate candidates, the
// three scroll bars, validation of typed values, the information list's cells, and how the
// page's state is loaded from a profile and stored into one.
//
// Rates are handled as hundredths of frames per second, truncated, as the scroll bar counts
// them; every frame interval is first held inside 41666 ... 1 000 000 000 (240 to 0.01 fps).
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/PageRules.h"

namespace editor {

constexpr int kCrossbarRows = 4;
constexpr int kVideoInfoRows = 9;
constexpr int64_t kShortestFrameInterval = 41666;
constexpr int64_t kLongestFrameInterval = 1000000000;

// What the page shows of the chosen device.
struct VideoDeviceView {
    std::vector<PinEntry> Pins;
    std::vector<VideoFormatRecord> Formats;
    // The outputs of the crossbar next to the device; the profile's routes are applied to that
    // crossbar, so only its outputs get rows.
    std::vector<CrossbarOutput> CrossbarOutputs;
};

// "%02d: %s (%dbit) %dx%d %.2ffps"; a default duration below 41666 counts as 41666.
std::wstring VideoFormatText(int index, const VideoFormatRecord& format);

int64_t ClampFrameInterval(int64_t interval);
// Hundredths of the rate of a (clamped) interval, truncated.
int32_t RateHundredths(int64_t interval);
// "%.2f" of 10 000 000 / the clamped interval.
std::wstring RateText(int64_t interval);

// Width or height candidates: the grid rule over 480, 720, 1080, 1280 and 1920.
std::vector<int32_t> SizeCandidates(int32_t current, int32_t minimum, int32_t maximum,
                                    int32_t granularity);
// Frame-rate candidates in hundredths: with equal intervals only the default's rate; otherwise
// 23.98, 25.00, 29.97, 30.00, 59.94, 60.00 and the three rates, inside the range.
std::vector<int32_t> FrameRateCandidates(int64_t defaultInterval, int64_t minInterval,
                                         int64_t maxInterval);

// The size bar: positions 0 ... (maximum - minimum) / granularity; disabled when the range is
// empty or narrower than one step, has more steps than a 32-bit position counts, the
// granularity is below 1 or the current value outside.
ScrollSetup SizeScroll(int32_t current, int32_t minimum, int32_t maximum, int32_t granularity);
// The value a size bar position stands for.
int32_t SizeAt(int32_t position, int32_t minimum, int32_t granularity);
int32_t NextSizePosition(ScrollCode code, int32_t thumb, int32_t position,
                         const ScrollSetup& setup);

// The rate bar: positions are hundredths from the rate of the longest to that of the shortest
// interval; disabled when that range is empty or the default lies outside.
ScrollSetup RateScroll(int64_t defaultInterval, int64_t minInterval, int64_t maxInterval);
int32_t NextRatePosition(ScrollCode code, int32_t thumb, int32_t position,
                         const ScrollSetup& setup);

Validation ValidateSize(const std::wstring& text, int32_t minimum, int32_t maximum,
                        int32_t granularity);
Validation ValidateRate(const std::wstring& text, int64_t minInterval, int64_t maxInterval);

// The bar position of a value chosen from a combo's list: (v - minimum) / granularity for a
// size, hundredths for a rate.
int32_t SizePositionOf(const std::wstring& text, int32_t minimum, int32_t granularity);
int32_t RatePositionOf(const std::wstring& text);

// The frame duration a rate text asks for, truncated; false (keep the previous duration) when
// the text reads as no number, 0 or less, or a duration that does not fit 64 bits or
// truncates to 0 (a rate above 10 000 000).
bool FrameDurationFromText(const std::wstring& text, int64_t& duration);

// "165,888,000bps (19MByte/s)".
std::wstring DataRateText(int64_t bitsPerSecond);
// The information list: column 0 the item, column 1 its value.
std::wstring VideoInfoCell(const VideoFormatRecord& format, int row, int column);

// The candidate of a crossbar row routed to its output now, else the first (-1 for none).
int RoutedCandidate(const CrossbarOutput& output);

// What the page's controls hold.
struct VideoPageState {
    int Device = 0;  // device combo: 0 "ビデオを出力しない", i + 1 device i, -1 no selection
    std::array<int, kCrossbarRows> Crossbar{{-1, -1, -1, -1}};  // candidate selected per row
    int Format = -1;
    std::wstring WidthText;
    std::wstring HeightText;
    std::wstring RateText;
    int Standard = -1;  // index into the format's standards
};

// Loading a profile after the device change ran: the crossbar selections of its routes, and
// (when its format index names a format of the device) the format, the three texts and the
// standard. FormatValid false: the device's first format stays with its own values.
struct VideoProfileLoad {
    std::array<int, kCrossbarRows> Crossbar{{-1, -1, -1, -1}};
    bool FormatValid = false;
    int Format = -1;
    std::wstring WidthText;
    std::wstring HeightText;
    std::wstring RateText;
    int Standard = -1;  // -1: the format's own selection stays
};
VideoProfileLoad LoadVideoProfile(const Profile& profile, const VideoDeviceView& device);

// Stores the page into the profile's video fields. No device: the identity becomes empty and
// the other fields keep their values. A rate text giving no usable duration keeps the
// profile's previous one.
void StoreVideoProfile(const VideoPageState& state, const std::vector<DeviceEntry>& devices,
                       const VideoDeviceView& device, Profile& profile);

}  // namespace editor
