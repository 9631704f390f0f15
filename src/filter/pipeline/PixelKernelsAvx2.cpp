// 32-byte kernels (AVX2), the same arithmetic as the 16-byte ones (see PixelKernelsSse2.cpp for
// the YC formulas). Built with -mavx2 and reached only through KernelsFor after the CPU check.
// The bytes past the last 32-byte step go to the 16-byte kernels, which keep the 16-byte block
// split of the row average because every step here starts at a multiple of 32.
#include <immintrin.h>

#include "filter/pipeline/PixelKernels.h"

namespace lumoka {

namespace {

inline __m256i Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

inline __m256i AverageFloor(__m256i a, __m256i b) {
    const __m256i odd = _mm256_and_si256(_mm256_xor_si256(a, b), _mm256_set1_epi8(1));
    return _mm256_sub_epi8(_mm256_avg_epu8(a, b), odd);
}

inline __m256i SharpenVec(__m256i a, __m256i b) {
    return _mm256_adds_epu8(_mm256_subs_epu8(a, _mm256_subs_epu8(b, a)), _mm256_subs_epu8(a, b));
}

inline __m256i Luma16(__m256i x) {
    const __m256i xp = _mm256_subs_epu16(x, _mm256_set1_epi16(16));
    const __m256i v = _mm256_add_epi16(xp, _mm256_mulhi_epu16(xp, _mm256_set1_epi16(11122)));
    return _mm256_min_epi16(v, _mm256_set1_epi16(255));
}

inline __m256i Chroma16(__m256i x) {
    const __m256i mul = _mm256_set1_epi16(9085);
    const __m256i hi = _mm256_mulhi_epu16(x, mul);
    const __m256i lo = _mm256_mullo_epi16(x, mul);
    const __m256i lowHalf = _mm256_cmpgt_epi16(_mm256_set1_epi16(128), x);
    const __m256i k = _mm256_add_epi16(_mm256_set1_epi16(1483),
                                       _mm256_and_si256(lowHalf, _mm256_set1_epi16(1860)));
    const __m256i noBorrow = _mm256_cmpeq_epi16(_mm256_subs_epu16(k, lo), _mm256_setzero_si256());
    __m256i v = _mm256_sub_epi16(_mm256_add_epi16(x, hi), _mm256_set1_epi16(18));
    v = _mm256_sub_epi16(v, noBorrow);
    v = _mm256_min_epi16(_mm256_max_epi16(v, _mm256_set1_epi16(1)), _mm256_set1_epi16(254));
    const __m256i top =
        _mm256_and_si256(_mm256_cmpgt_epi16(x, _mm256_set1_epi16(239)), _mm256_set1_epi16(255));
    return _mm256_max_epi16(v, top);
}

inline __m256i YcLumaEven(__m256i s) {
    const __m256i luma = Luma16(_mm256_and_si256(s, _mm256_set1_epi16(0x00FF)));
    const __m256i chroma = Chroma16(_mm256_srli_epi16(s, 8));
    return _mm256_or_si256(luma, _mm256_slli_epi16(chroma, 8));
}
inline __m256i YcChromaEven(__m256i s) {
    const __m256i chroma = Chroma16(_mm256_and_si256(s, _mm256_set1_epi16(0x00FF)));
    const __m256i luma = Luma16(_mm256_srli_epi16(s, 8));
    return _mm256_or_si256(chroma, _mm256_slli_epi16(luma, 8));
}

void Average(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 32 <= blockEnd; i += 32) Store(t + i, AverageFloor(Load(a + i), Load(b + i)));
    kSse2Kernels.average(t + i, a + i, b + i, n - i);
}

void Sharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    for (; i + 32 <= n; i += 32) Store(t + i, SharpenVec(Load(a + i), Load(b + i)));
    kSse2Kernels.sharpen(t + i, a + i, b + i, n - i);
}

void SharpenAverage(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 32 <= blockEnd; i += 32) {
        Store(t + i, SharpenVec(Load(c + i), AverageFloor(Load(u + i), Load(d + i))));
    }
    kSse2Kernels.sharpenAverage(t + i, c + i, u + i, d + i, n - i);
}

void AverageNested(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                   bool xFirst) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 32 <= blockEnd; i += 32) {
        Store(t + i, AverageFloor(Load(x + i), AverageFloor(Load(p + i), Load(q + i))));
    }
    kSse2Kernels.averageNested(t + i, x + i, p + i, q + i, n - i, xFirst);
}

void BlendKeep(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n, bool xFirst,
               uint8_t* keep, const uint8_t* s) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    if (s != nullptr) {
        for (; i + 32 <= blockEnd; i += 32) {
            const auto vx = Load(x + i);
            const auto vs = Load(s + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
            Store(p + i, vs);
        }
    } else {
        for (; i + 32 <= blockEnd; i += 32) {
            const auto vx = Load(x + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
        }
    }
    kSse2Kernels.blendKeep(t + i, x + i, p + i, q + i, n - i, xFirst, keep + i,
                           s != nullptr ? s + i : nullptr);
}

void YcExpand(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven) {
    size_t i = 0;
    if (lumaOnEven) {
        for (; i + 32 <= n; i += 32) Store(t + i, YcLumaEven(Load(s + i)));
    } else {
        for (; i + 32 <= n; i += 32) Store(t + i, YcChromaEven(Load(s + i)));
    }
    kSse2Kernels.ycExpand(t + i, s + i, n - i, lumaOnEven);
}

using Expand = TwoPassExpand<Average, AverageNested, BlendKeep, YcExpand>;

void FinishFrame() {}

}  // namespace

const RowKernels kAvx2Kernels = {Average,
                                 Sharpen,
                                 SharpenAverage,
                                 AverageNested,
                                 BlendKeep,
                                 YcExpand,
                                 AverageNested,
                                 BlendKeep,
                                 SharpenAverage,
                                 FinishFrame,
                                 Expand::AverageExpand,
                                 Expand::AverageNestedExpand,
                                 Expand::BlendKeepExpand,
                                 nullptr,
                                 nullptr,
                                 Average,
                                 scalar::CopyRow};

}  // namespace lumoka
