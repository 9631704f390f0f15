#include "ui/editor/PageRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace editor {

namespace {

size_t SkipBlanks(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    return i;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

ScrollCode ScrollCodeFrom(int32_t platformCode) {
    if (platformCode >= 0 && platformCode <= 5) return static_cast<ScrollCode>(platformCode);
    return ScrollCode::Other;
}

int32_t NextPosition(ScrollCode code, int32_t thumb, int32_t position, int32_t low, int32_t high) {
    if (high < low) high = low;
    switch (code) {
        case ScrollCode::LineLeft:
        case ScrollCode::PageLeft:
            return position > low ? std::min(position - 1, high) : low;
        case ScrollCode::LineRight:
        case ScrollCode::PageRight:
            return position < high ? std::max(position + 1, low) : high;
        case ScrollCode::ThumbPosition:
        case ScrollCode::ThumbTrack:
            return std::clamp(thumb, low, high);
        case ScrollCode::Other:
            break;
    }
    return position;
}

std::vector<int32_t> GridCandidates(int32_t current, int32_t minimum, int32_t maximum,
                                    int32_t granularity, const std::vector<int32_t>& fixed) {
    if (granularity < 1 || minimum == maximum) return {current};
    std::vector<int32_t> values = fixed;
    values.push_back(current);
    values.push_back(minimum);
    values.push_back(maximum);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    std::vector<int32_t> kept;
    for (int32_t v : values) {
        if (v >= minimum && v <= maximum && v % granularity == 0) kept.push_back(v);
    }
    return kept;
}

int32_t ReadDecimalInt(const std::wstring& text) {
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - L'0'), int64_t{1} << 32);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool ReadDecimalNumber(const std::wstring& text, double& value) {
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    // The digits as one integer and a power of ten: the quotient of two exact doubles is the
    // correctly rounded value while the digits fit 53 bits; later digits only scale.
    double mantissa = 0;
    int scale = 0;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) {
        mantissa = mantissa * 10 + (text[i] - L'0');
    }
    if (i < text.size() && text[i] == L'.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) {
            if (mantissa < 1e15) {
                mantissa = mantissa * 10 + (text[i] - L'0');
                ++scale;
            }
        }
    }
    if (!anyDigit) return false;
    value = mantissa / std::pow(10.0, scale);
    if (negative) value = -value;
    return true;
}

std::wstring DecimalText(int64_t value) { return std::to_wstring(value); }

std::wstring TwoDigitText(int32_t value) {
    std::wstring text = std::to_wstring(value < 0 ? -static_cast<int64_t>(value) : value);
    if (text.size() < 2) text.insert(0, 2 - text.size(), L'0');
    return value < 0 ? L"-" + text : text;
}

std::wstring HundredthsText(int64_t hundredths) {
    const bool negative = hundredths < 0;
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
    std::wstring fraction = std::to_wstring(magnitude % 100);
    if (fraction.size() < 2) fraction.insert(0, 1, L'0');
    return (negative ? L"-" : L"") + std::to_wstring(magnitude / 100) + L"." + fraction;
}

std::wstring FixedTwoText(double value) {
    if (!std::isfinite(value)) return value != value ? L"nan" : (value < 0 ? L"-inf" : L"inf");
    // Held inside 64 bits; the pages only show rates far below that.
    const double hundredths = std::clamp(std::round(value * 100), -9e18, 9e18);
    return HundredthsText(static_cast<int64_t>(hundredths));
}

std::wstring PinCellText(const PinEntry& pin, int column) {
    switch (column) {
        case 0:
            return pin.IsInput ? L"IN" : L"OUT";
        case 1:
            return pin.Name;
        case 2:
            return pin.Category;
        case 3:
            return pin.MajorType;
        default:
            return std::wstring();
    }
}

uint32_t PinRowColour(const PinEntry& pin) {
    if (pin.Category == L"CAPTURE" && pin.MajorType == L"Video") return Rgb(200, 200, 255);
    if (pin.Category == L"PREVIEW" && pin.MajorType == L"Video") return Rgb(255, 255, 200);
    if (pin.Category == L"CAPTURE" && pin.MajorType == L"Audio") return Rgb(255, 200, 200);
    return kWhite;
}

}  // namespace editor
