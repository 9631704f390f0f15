// The decisions of still-image saving over plain values: the output size of each size choice,
// the source rectangle left by the crop margins, the file name made from the local time, the
// rule that joins folder and name, and the search for a name no file has yet.
//
// Portable: no platform headers. Pure functions (ClaimSnapshotPath calls the caller's claim
// function); any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/Profile.h"
#include "graph/Geometry.h"

// The stored "Type" values; any other value saves as BMP.
enum SnapshotType : int32_t {
    kSnapshotBmp = 0,
    kSnapshotJpeg = 1,
    kSnapshotPng = 2,
};

// The stored "VideoSize" values; any other value means the input size.
enum SnapshotSize : int32_t {
    kSnapshotInputSize = 0,
    kSnapshotAspectSize = 1,  // the input size with the display aspect applied
    kSnapshotDisplaySize = 2,
};

// A local time as the platform's clock gives it (month 1-12, day 1-31).
struct SnapshotTime {
    int32_t year = 1601;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t millisecond = 0;
};

// "%04d_%02d%02d_%02d%02d%02d_%03d" of the time, then ".jpg" for JPEG, ".png" for PNG and
// ".bmp" for anything else.
std::wstring MakeSnapshotFileName(int32_t type, const SnapshotTime& time);

// The time one or more milliseconds later, carried through seconds, days, months and years
// (leap years included).
SnapshotTime AddMilliseconds(const SnapshotTime& time, int64_t milliseconds);

// The folder text, a backslash when the text holds one that is not its last character, then
// the name. A folder with no backslash at all gets no separator.
std::wstring JoinSnapshotPath(const std::wstring& folder, const std::wstring& name);

// The MIME type of the encoder for a stored type.
const wchar_t* SnapshotMimeType(int32_t type);

// The output size of a size choice. native: the renderer's input size, or none when it cannot
// be read (the size then stays 0 x 0, which saving reads as the picture's own size).
// client: the window's client size. aspect and ratioNative: the display aspect in use and the
// native size it takes its ratio from when it is the input's own ratio (FitSize with both flags).
IntSize ChooseSnapshotSize(int32_t videoSize, const std::optional<IntSize>& native,
                           const IntSize& client, const AspectPair& aspect, IntSize ratioNative);

// The part of a width x height picture left by the crop margins (left, top, right, bottom).
// A negative margin counts as 0; margins that leave no area give the whole picture.
IntRect SnapshotSourceRect(const CropRect& margins, int32_t width, int32_t height);

// JPEG quality as the encoder takes it: 0-100.
int32_t ClampJpegQuality(int32_t quality);

enum class ClaimResult { kClaimed, kExists, kFailed };

// The first of the names from `time` on, one millisecond apart, that claim() takes; at most
// `attempts` names are tried. None when claim fails for another reason than an existing file,
// or no name was free.
std::optional<std::wstring> ClaimSnapshotPath(
    const std::wstring& folder, int32_t type, const SnapshotTime& time,
    const std::function<ClaimResult(const std::wstring& path)>& claim, int32_t attempts = 1000);
