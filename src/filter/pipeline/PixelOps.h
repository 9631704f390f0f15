// The byte-level operations the frame pipeline is built from: row copy, average and sharpen,
// YC expansion, and whole-frame copies with vertical flip and output row padding. They know
// nothing of pixels: a row of R bytes is processed byte by byte whatever the format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/pipeline/CpuFeatures.h"

namespace lumoka {

void RowCopy(uint8_t* t, const uint8_t* s, size_t n);
void RowAverage(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n, SimdLevel level);
void RowSharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n, SimdLevel level);

// YC expansion of the whole 4-byte groups of n bytes (layout 1 UYVY, 2 YUY2). The copying
// form leaves the last n mod 4 target bytes unwritten; the in-place form leaves them as they
// were. Any other layout does nothing.
void YcExpand(uint8_t* t, const uint8_t* s, size_t n, int32_t layout, SimdLevel level);
void YcExpandInPlace(uint8_t* buffer, size_t n, int32_t layout, SimdLevel level);
// True when bytes at even offsets hold luma in the layout.
inline bool LumaOnEven(int32_t layout) { return layout == 2; }

// A source frame (rows of R bytes without gaps, L bytes long) and the target it is copied to
// (rows of R + P bytes, targetSize bytes long).
struct FrameLayout {
    const uint8_t* source = nullptr;
    size_t sourceLength = 0;  // L
    uint8_t* target = nullptr;
    size_t targetSize = 0;
    int64_t rowBytes = 0;  // R > 0
    int64_t padding = 0;   // P >= 0
    int64_t height = 0;    // H >= 0
    bool flip = false;
};

// Where rows go: a target row is written only when its R bytes lie inside the target, and a
// source row is read only when it lies inside the source's L bytes.
struct FrameGeometry {
    int64_t rowBytes = 0;
    int64_t stride = 0;   // R + P
    int64_t rows = 0;     // rows processed: min(H, L / R)
    int64_t rowsFit = 0;  // target rows that fit entirely
    bool flip = false;
    uint8_t* target = nullptr;
    size_t targetSize = 0;

    explicit FrameGeometry(const FrameLayout& f);
    // Target row receiving picture row y, or null when it lies past the target's end.
    uint8_t* TargetRow(int64_t y) const {
        const int64_t o = flip ? rows - 1 - y : y;
        return o < rowsFit ? target + o * stride : nullptr;
    }
    // Bytes produced by writing every picture row that fits.
    size_t ProducedBytes() const;
};

// Frame copy: flipped rows, or one run of L bytes when neither flip nor padding applies, or
// row by row. Returns the bytes produced; a run longer than the target is cut to the whole
// rows that fit.
size_t FrameCopy(const FrameLayout& f);
// The same bytes, moved one at a time: for processors without the SIMD the routines assume.
size_t FrameCopyBytewise(const FrameLayout& f);
// Frame copy with each row (or the single run) YC-expanded instead of copied.
size_t YcFrameCopy(const FrameLayout& f, int32_t layout, SimdLevel level);

}  // namespace lumoka
