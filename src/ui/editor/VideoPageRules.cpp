#include "ui/editor/VideoPageRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace editor {

namespace {

constexpr double kUnitsPerSecond = 10000000.0;

std::wstring SizeText(int32_t width, int32_t height) {
    return DecimalText(width) + L"x" + DecimalText(height);
}

// "%.2f" of 10 000 000 / interval for an interval already made positive.
std::wstring RateOf(int64_t interval) {
    return FixedTwoText(kUnitsPerSecond / static_cast<double>(interval));
}

std::wstring GroupedDigits(int64_t value) {
    const bool negative = value < 0;
    std::wstring digits =
        std::to_wstring(negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value));
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, 1, L',');
    return negative ? L"-" + digits : digits;
}

const wchar_t* const kInfoItems[kVideoInfoRows] = {
    L"サブタイプ", L"入力サイズ", L"最小出力サイズ",   L"最大出力サイズ",   L"出力サイズ細分度",
    L"最小FPS",    L"最大FPS",    L"最小データレート", L"最大データレート",
};

}  // namespace

std::wstring VideoFormatText(int index, const VideoFormatRecord& f) {
    return TwoDigitText(index) + L": " + f.SubtypeName + L" (" + DecimalText(f.BitCount) +
           L"bit) " + SizeText(f.InputWidth, f.InputHeight) + L" " +
           RateOf(std::max(f.AvgTimePerFrame, kShortestFrameInterval)) + L"fps";
}

int64_t ClampFrameInterval(int64_t interval) {
    return std::clamp(interval, kShortestFrameInterval, kLongestFrameInterval);
}

int32_t RateHundredths(int64_t interval) {
    return static_cast<int32_t>(1000000000 / ClampFrameInterval(interval));
}

std::wstring RateText(int64_t interval) { return RateOf(ClampFrameInterval(interval)); }

std::vector<int32_t> SizeCandidates(int32_t current, int32_t minimum, int32_t maximum,
                                    int32_t granularity) {
    return GridCandidates(current, minimum, maximum, granularity, {480, 720, 1080, 1280, 1920});
}

std::vector<int32_t> FrameRateCandidates(int64_t defaultInterval, int64_t minInterval,
                                         int64_t maxInterval) {
    const int32_t fastest = RateHundredths(minInterval);
    const int32_t slowest = RateHundredths(maxInterval);
    const int32_t current = RateHundredths(defaultInterval);
    if (ClampFrameInterval(minInterval) == ClampFrameInterval(maxInterval)) return {current};
    std::vector<int32_t> rates = {2398, 2500, 2997, 3000, 5994, 6000, current, fastest, slowest};
    std::sort(rates.begin(), rates.end());
    rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
    std::vector<int32_t> kept;
    for (int32_t r : rates) {
        if (r >= slowest && r <= fastest) kept.push_back(r);
    }
    return kept;
}

ScrollSetup SizeScroll(int32_t current, int32_t minimum, int32_t maximum, int32_t granularity) {
    ScrollSetup s;
    const int64_t span = static_cast<int64_t>(maximum) - minimum;
    // A range of more steps than a scroll bar holds (a driver's absurd limits) gets no bar.
    if (minimum == maximum || current < minimum || current > maximum || granularity < 1 ||
        span < granularity || span / granularity > INT32_MAX) {
        return s;
    }
    s.Enabled = true;
    s.Maximum = static_cast<int32_t>(span / granularity);
    s.Position = static_cast<int32_t>((static_cast<int64_t>(current) - minimum) / granularity);
    return s;
}

int32_t SizeAt(int32_t position, int32_t minimum, int32_t granularity) {
    const int64_t v = minimum + static_cast<int64_t>(granularity) * position;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t NextSizePosition(ScrollCode code, int32_t thumb, int32_t position,
                         const ScrollSetup& setup) {
    return NextPosition(code, thumb, position, 0, setup.Maximum);
}

ScrollSetup RateScroll(int64_t defaultInterval, int64_t minInterval, int64_t maxInterval) {
    ScrollSetup s;
    s.Minimum = RateHundredths(maxInterval);
    s.Maximum = RateHundredths(minInterval);
    s.Position = RateHundredths(defaultInterval);
    s.Enabled = s.Maximum > s.Minimum && s.Position >= s.Minimum && s.Position <= s.Maximum;
    return s;
}

int32_t NextRatePosition(ScrollCode code, int32_t thumb, int32_t position,
                         const ScrollSetup& setup) {
    return NextPosition(code, thumb, position, std::min(setup.Minimum, setup.Maximum),
                        setup.Maximum);
}

Validation ValidateSize(const std::wstring& text, int32_t minimum, int32_t maximum,
                        int32_t granularity) {
    const int64_t v = ReadDecimalInt(text);
    const int64_t top = maximum < minimum ? minimum : maximum;
    Validation result;
    result.Valid =
        v >= minimum && v <= top && (granularity <= 0 || (v - minimum) % granularity == 0);
    if (result.Valid && granularity > 0) {
        result.Position = static_cast<int32_t>((v - minimum) / granularity);
    }
    return result;
}

namespace {

// A typed "0.29" means 29 hundredths, not the 28.999... its binary product gives.
double TypedHundredths(const std::wstring& text) {
    double rate = 0;
    if (!ReadDecimalNumber(text, rate)) return 0;
    return std::trunc(rate * 100 + (rate < 0 ? -1e-7 : 1e-7));
}

}  // namespace

int32_t SizePositionOf(const std::wstring& text, int32_t minimum, int32_t granularity) {
    if (granularity <= 0) return 0;
    const int64_t position = (static_cast<int64_t>(ReadDecimalInt(text)) - minimum) / granularity;
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, INT32_MAX));
}

int32_t RatePositionOf(const std::wstring& text) {
    return static_cast<int32_t>(std::clamp(TypedHundredths(text), 0.0, 2147483647.0));
}

Validation ValidateRate(const std::wstring& text, int64_t minInterval, int64_t maxInterval) {
    Validation result;
    const double p = TypedHundredths(text);
    const int32_t fastest = RateHundredths(minInterval);
    const int32_t slowest = std::min(RateHundredths(maxInterval), fastest);
    result.Valid = p >= slowest && p <= fastest;
    if (result.Valid) result.Position = static_cast<int32_t>(p);
    return result;
}

bool FrameDurationFromText(const std::wstring& text, int64_t& duration) {
    double rate = 0;
    if (!ReadDecimalNumber(text, rate) || !(rate > 0)) return false;
    const double units = std::trunc(kUnitsPerSecond / rate);
    // 2^63: the first value a 64-bit duration cannot hold. A rate above 10 000 000 (a typed
    // 30-digit number) truncates to no duration at all, which no device can deliver either.
    if (!(units < 9223372036854775808.0) || units < 1) return false;
    duration = static_cast<int64_t>(units);
    return true;
}

std::wstring DataRateText(int64_t bitsPerSecond) {
    return GroupedDigits(bitsPerSecond) + L"bps (" + DecimalText(bitsPerSecond / 8 / 1048576) +
           L"MByte/s)";
}

std::wstring VideoInfoCell(const VideoFormatRecord& f, int row, int column) {
    if (row < 0 || row >= kVideoInfoRows) return std::wstring();
    if (column == 0) return kInfoItems[row];
    if (column != 1) return std::wstring();
    switch (row) {
        case 0:
            return f.SubtypeName + L" (" + DecimalText(f.BitCount) + L"bit)";
        case 1:
            return SizeText(f.InputWidth, f.InputHeight);
        case 2:
            return SizeText(f.MinOutputWidth, f.MinOutputHeight);
        case 3:
            return SizeText(f.MaxOutputWidth, f.MaxOutputHeight);
        case 4:
            return L"X = " + DecimalText(f.OutputGranularityX) + L", Y = " +
                   DecimalText(f.OutputGranularityY);
        case 5:
            return RateText(f.MaxFrameInterval) + L"fps";
        case 6:
            return RateText(f.MinFrameInterval) + L"fps";
        case 7:
            return DataRateText(f.MinBitsPerSecond);
        default:
            return DataRateText(f.MaxBitsPerSecond);
    }
}

int RoutedCandidate(const CrossbarOutput& output) {
    for (size_t i = 0; i < output.Inputs.size(); ++i) {
        if (output.Inputs[i].Index == output.RoutedInput) return static_cast<int>(i);
    }
    return output.Inputs.empty() ? -1 : 0;
}

VideoProfileLoad LoadVideoProfile(const Profile& profile, const VideoDeviceView& device) {
    VideoProfileLoad load;
    const size_t rows = std::min<size_t>(
        {profile.VideoCrossbar.size(), device.CrossbarOutputs.size(), kCrossbarRows});
    for (size_t row = 0; row < rows; ++row) {
        const int32_t input = profile.VideoCrossbar[row].Input;
        if (input < 0) continue;
        const auto& candidates = device.CrossbarOutputs[row].Inputs;
        for (size_t c = 0; c < candidates.size(); ++c) {
            if (candidates[c].Index == input) load.Crossbar[row] = static_cast<int>(c);
        }
    }
    const int32_t index = profile.VideoFormatIndex;
    if (index < 0 || index >= static_cast<int32_t>(device.Formats.size())) return load;
    const VideoFormatRecord& format = device.Formats[static_cast<size_t>(index)];
    load.FormatValid = true;
    load.Format = index;
    load.WidthText = DecimalText(profile.VideoFormatWidth);
    load.HeightText = DecimalText(profile.VideoFormatHeight);
    // A profile without a duration (never stored, or damaged) shows the format's own rate
    // rather than a division by zero.
    const int64_t duration = profile.VideoFormatAvgTimePerFrame > 0
                                 ? profile.VideoFormatAvgTimePerFrame
                                 : std::max(format.AvgTimePerFrame, kShortestFrameInterval);
    load.RateText = RateOf(duration);
    for (size_t s = 0; s < format.Standards.size(); ++s) {
        if (static_cast<int32_t>(format.Standards[s].Bit) == profile.VideoFormatStandard) {
            load.Standard = static_cast<int>(s);
        }
    }
    return load;
}

void StoreVideoProfile(const VideoPageState& state, const std::vector<DeviceEntry>& devices,
                       const VideoDeviceView& device, Profile& profile) {
    if (state.Device < 1 || state.Device > static_cast<int>(devices.size())) {
        profile.Video = DeviceInfo{};
        return;
    }
    profile.VideoCrossbar.clear();
    for (size_t row = 0; row < kCrossbarRows && row < device.CrossbarOutputs.size(); ++row) {
        const CrossbarOutput& output = device.CrossbarOutputs[row];
        const int c = state.Crossbar[row];
        if (c < 0 || c >= static_cast<int>(output.Inputs.size())) continue;
        profile.VideoCrossbar.push_back(
            {output.Index, output.Inputs[static_cast<size_t>(c)].Index});
    }
    const DeviceEntry& chosen = devices[static_cast<size_t>(state.Device - 1)];
    profile.Video = {chosen.FriendlyName, chosen.Description, chosen.DevicePath};
    if (device.Formats.empty()) {
        profile.VideoFormatIndex = -1;
        return;
    }
    profile.VideoFormatIndex = state.Format;
    profile.VideoFormatWidth = ReadDecimalInt(state.WidthText);
    profile.VideoFormatHeight = ReadDecimalInt(state.HeightText);
    int64_t duration = 0;
    if (FrameDurationFromText(state.RateText, duration)) {
        profile.VideoFormatAvgTimePerFrame = duration;
    }
    profile.VideoFormatStandard = 0;
    if (state.Format >= 0 && state.Format < static_cast<int>(device.Formats.size())) {
        const auto& standards = device.Formats[static_cast<size_t>(state.Format)].Standards;
        if (state.Standard >= 0 && state.Standard < static_cast<int>(standards.size())) {
            profile.VideoFormatStandard =
                static_cast<int32_t>(standards[static_cast<size_t>(state.Standard)].Bit);
        }
    }
}

}  // namespace editor
