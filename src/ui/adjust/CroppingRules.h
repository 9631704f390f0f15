// The rules of the cropping dialog that need no window: its four rows in the order top, left,
// right, bottom, and the scroll position of a margin.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <array>
#include <cstdint>

#include "config/Profile.h"

// Every margin's scroll bar runs over 0..500 pixels.
constexpr int32_t kCropMarginLast = 500;

enum CropRow : int { kCropTop = 0, kCropLeft, kCropRight, kCropBottom, kCropRowCount };
using CropMargins = std::array<int32_t, kCropRowCount>;

CropMargins MarginsInRowOrder(const CropRect& crop);
CropRect CropFromMargins(const CropMargins& margins);

// The thumb of a margin: a stored margin outside 0..500 is shown as stored, with the thumb at
// the nearer end; the first scroll step then brings it into the range.
int32_t CropThumbPosition(int32_t margin);
