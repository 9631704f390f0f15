#include "snapshot/SnapshotRules.h"

#include <algorithm>

namespace {

constexpr int64_t kMsPerDay = 86400000;

// Decimal digits, zero-padded to width (the C runtimes format wide strings differently, so
// the name is built by hand).
std::wstring Padded(int64_t value, int width) {
    std::wstring digits = std::to_wstring(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), L'0');
    return value < 0 ? L"-" + digits : digits;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, SnapshotTime& t) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    t.year = static_cast<int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    t.month = static_cast<int32_t>(month);
    t.day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
}

}  // namespace

std::wstring MakeSnapshotFileName(int32_t type, const SnapshotTime& t) {
    std::wstring name = Padded(t.year, 4) + L"_" + Padded(t.month, 2) + Padded(t.day, 2) + L"_" +
                        Padded(t.hour, 2) + Padded(t.minute, 2) + Padded(t.second, 2) + L"_" +
                        Padded(t.millisecond, 3);
    switch (type) {
        case kSnapshotJpeg:
            return name + L".jpg";
        case kSnapshotPng:
            return name + L".png";
        default:
            return name + L".bmp";
    }
}

SnapshotTime AddMilliseconds(const SnapshotTime& t, int64_t milliseconds) {
    int64_t days = DaysFromCivil(t.year, t.month, t.day);
    int64_t ms =
        ((int64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond + milliseconds;
    days += ms / kMsPerDay;
    ms %= kMsPerDay;
    if (ms < 0) {
        ms += kMsPerDay;
        --days;
    }
    SnapshotTime r;
    CivilFromDays(days, r);
    r.millisecond = static_cast<int32_t>(ms % 1000);
    r.second = static_cast<int32_t>(ms / 1000 % 60);
    r.minute = static_cast<int32_t>(ms / 60000 % 60);
    r.hour = static_cast<int32_t>(ms / 3600000);
    return r;
}

std::wstring JoinSnapshotPath(const std::wstring& folder, const std::wstring& name) {
    const size_t last = folder.rfind(L'\\');
    if (last != std::wstring::npos && last + 1 != folder.size()) return folder + L"\\" + name;
    return folder + name;
}

const wchar_t* SnapshotMimeType(int32_t type) {
    switch (type) {
        case kSnapshotJpeg:
            return L"image/jpeg";
        case kSnapshotPng:
            return L"image/png";
        default:
            return L"image/bmp";
    }
}

IntSize ChooseSnapshotSize(int32_t videoSize, const std::optional<IntSize>& native,
                           const IntSize& client, const AspectPair& aspect, IntSize ratioNative) {
    switch (videoSize) {
        case kSnapshotAspectSize:
            if (!native) return {};
            return FitSize(aspect, ratioNative, native->cx, native->cy, true, true);
        case kSnapshotDisplaySize:
            return FitSize(aspect, ratioNative, client.cx, client.cy, true, true);
        default:
            return native ? *native : IntSize{};
    }
}

IntRect SnapshotSourceRect(const CropRect& margins, int32_t width, int32_t height) {
    const IntRect whole{0, 0, width, height};
    // Margins are read unchecked from the profile file: 64-bit sums cannot overflow.
    const int64_t left = std::max(margins.left, 0);
    const int64_t top = std::max(margins.top, 0);
    const int64_t right = int64_t{width} - std::max(margins.right, 0);
    const int64_t bottom = int64_t{height} - std::max(margins.bottom, 0);
    if (right <= left || bottom <= top) return whole;
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
            static_cast<int32_t>(bottom)};
}

int32_t ClampJpegQuality(int32_t quality) { return std::clamp(quality, 0, 100); }

std::optional<std::wstring> ClaimSnapshotPath(
    const std::wstring& folder, int32_t type, const SnapshotTime& time,
    const std::function<ClaimResult(const std::wstring& path)>& claim, int32_t attempts) {
    for (int32_t i = 0; i < attempts; ++i) {
        const std::wstring path =
            JoinSnapshotPath(folder, MakeSnapshotFileName(type, AddMilliseconds(time, i)));
        switch (claim(path)) {
            case ClaimResult::kClaimed:
                return path;
            case ClaimResult::kExists:
                continue;
            case ClaimResult::kFailed:
                return std::nullopt;
        }
    }
    return std::nullopt;
}
