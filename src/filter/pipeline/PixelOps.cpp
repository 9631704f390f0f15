#include "filter/pipeline/PixelOps.h"

#include <algorithm>
#include <cstring>

#include "filter/pipeline/PixelKernels.h"

namespace lumoka {

const RowKernels& KernelsFor(SimdLevel level) {
    switch (level) {
#ifdef LUMOKA_HAVE_AVX512
        case SimdLevel::kAvx512:
            return kAvx512Kernels;
#endif
#ifdef LUMOKA_HAVE_AVX2
        case SimdLevel::kAvx2:
            return kAvx2Kernels;
#endif
        case SimdLevel::kSse2:
            return kSse2Kernels;
        default:
            return kScalarKernels;
    }
}

void RowCopy(uint8_t* t, const uint8_t* s, size_t n) { std::memcpy(t, s, n); }

void RowAverage(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n, SimdLevel level) {
    KernelsFor(level).average(t, a, b, n);
}

void RowSharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n, SimdLevel level) {
    KernelsFor(level).sharpen(t, a, b, n);
}

void YcExpand(uint8_t* t, const uint8_t* s, size_t n, int32_t layout, SimdLevel level) {
    if (layout != 1 && layout != 2) return;
    KernelsFor(level).ycExpand(t, s, n & ~size_t{3}, LumaOnEven(layout));
}

void YcExpandInPlace(uint8_t* buffer, size_t n, int32_t layout, SimdLevel level) {
    YcExpand(buffer, buffer, n, layout, level);
}

FrameGeometry::FrameGeometry(const FrameLayout& f)
    : rowBytes(f.rowBytes),
      stride(f.rowBytes + f.padding),
      flip(f.flip),
      target(f.target),
      targetSize(f.targetSize) {
    if (rowBytes <= 0) return;
    rows = std::min<int64_t>(f.height, static_cast<int64_t>(f.sourceLength / rowBytes));
    const auto size = static_cast<int64_t>(std::min<size_t>(f.targetSize, INT64_MAX));
    rowsFit = size < rowBytes ? 0 : (size - rowBytes) / stride + 1;
}

size_t FrameGeometry::ProducedBytes() const {
    const int64_t n = std::min(rows, rowsFit);
    if (n <= 0) return 0;
    return std::min(static_cast<size_t>(n * stride), targetSize);
}

namespace {

void CopyBytewise(uint8_t* t, const uint8_t* s, size_t n) {
    for (size_t i = 0; i < n; ++i) t[i] = s[i];
}

// The one-run case: L bytes, cut to the whole rows that fit when the target is shorter.
size_t RunLength(const FrameLayout& f) {
    if (f.sourceLength <= f.targetSize) return f.sourceLength;
    const auto r = static_cast<size_t>(f.rowBytes);
    return f.targetSize / r * r;
}

bool IsOneRun(const FrameLayout& f) { return !f.flip && f.padding == 0; }

template <typename RowFn>
size_t CopyFrame(const FrameLayout& f, RowFn row) {
    if (f.rowBytes <= 0 || f.source == nullptr || f.target == nullptr) return 0;
    if (IsOneRun(f)) {
        const size_t n = RunLength(f);
        row(f.target, f.source, n);
        return n;
    }
    const FrameGeometry g(f);
    const auto r = static_cast<size_t>(f.rowBytes);
    for (int64_t y = 0; y < g.rows; ++y) {
        if (uint8_t* t = g.TargetRow(y)) row(t, f.source + y * f.rowBytes, r);
    }
    return g.ProducedBytes();
}

}  // namespace

size_t FrameCopy(const FrameLayout& f) { return CopyFrame(f, RowCopy); }

size_t FrameCopyBytewise(const FrameLayout& f) { return CopyFrame(f, CopyBytewise); }

size_t YcFrameCopy(const FrameLayout& f, int32_t layout, SimdLevel level) {
    return CopyFrame(
        f, [&](uint8_t* t, const uint8_t* s, size_t n) { YcExpand(t, s, n, layout, level); });
}

}  // namespace lumoka
