// 16-byte kernels (SSE2, the least the pixel pipeline assumes).
//
// YC expansion works arithmetically on 16-bit lanes instead of looking bytes up; the two
// formulas reproduce both tables exactly (proven over all 256 entries by the unit tests):
//   luma(x)   = min(x' + floor(x' * 11122 / 65536), 255) with x' = max(x - 16, 0),
//               since 76658 = 65536 + 11122;
//   chroma(x) = 255 for x >= 240, else clamp(x - 17 + floor((9085x - k) / 65536), 1, 254)
//               with k = 3343 below 128 and 1483 from 128 on (74621 = 65536 + 9085).
// The chroma floor is the high half of 9085x, less one when its low half is below k.
#include <emmintrin.h>

#include "filter/pipeline/PixelKernels.h"

namespace lumoka {

namespace {

inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// floor((a + b) / 2): the rounding-up average less the dropped half.
inline __m128i AverageFloor(__m128i a, __m128i b) {
    const __m128i odd = _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1));
    return _mm_sub_epi8(_mm_avg_epu8(a, b), odd);
}

// clamp(2a - b): a - (b - a) when b > a, a + (a - b) otherwise, both saturating.
inline __m128i SharpenVec(__m128i a, __m128i b) {
    return _mm_adds_epu8(_mm_subs_epu8(a, _mm_subs_epu8(b, a)), _mm_subs_epu8(a, b));
}

inline __m128i Luma16(__m128i x) {
    const __m128i xp = _mm_subs_epu16(x, _mm_set1_epi16(16));
    const __m128i v = _mm_add_epi16(xp, _mm_mulhi_epu16(xp, _mm_set1_epi16(11122)));
    return _mm_min_epi16(v, _mm_set1_epi16(255));
}

inline __m128i Chroma16(__m128i x) {
    const __m128i mul = _mm_set1_epi16(9085);
    const __m128i hi = _mm_mulhi_epu16(x, mul);
    const __m128i lo = _mm_mullo_epi16(x, mul);
    const __m128i lowHalf = _mm_cmplt_epi16(x, _mm_set1_epi16(128));
    const __m128i k =
        _mm_add_epi16(_mm_set1_epi16(1483), _mm_and_si128(lowHalf, _mm_set1_epi16(1860)));
    // noBorrow is -1 where lo >= k.
    const __m128i noBorrow = _mm_cmpeq_epi16(_mm_subs_epu16(k, lo), _mm_setzero_si128());
    __m128i v = _mm_sub_epi16(_mm_add_epi16(x, hi), _mm_set1_epi16(18));
    v = _mm_sub_epi16(v, noBorrow);
    v = _mm_min_epi16(_mm_max_epi16(v, _mm_set1_epi16(1)), _mm_set1_epi16(254));
    const __m128i top = _mm_and_si128(_mm_cmpgt_epi16(x, _mm_set1_epi16(239)), _mm_set1_epi16(255));
    return _mm_max_epi16(v, top);
}

// Expands 16 bytes whose even bytes take the luma table.
inline __m128i YcLumaEven(__m128i s) {
    const __m128i lowByte = _mm_set1_epi16(0x00FF);
    const __m128i luma = Luma16(_mm_and_si128(s, lowByte));
    const __m128i chroma = Chroma16(_mm_srli_epi16(s, 8));
    return _mm_or_si128(luma, _mm_slli_epi16(chroma, 8));
}
inline __m128i YcChromaEven(__m128i s) {
    const __m128i lowByte = _mm_set1_epi16(0x00FF);
    const __m128i chroma = Chroma16(_mm_and_si128(s, lowByte));
    const __m128i luma = Luma16(_mm_srli_epi16(s, 8));
    return _mm_or_si128(chroma, _mm_slli_epi16(luma, 8));
}

void Average(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    for (size_t i = 0; i < blockEnd; i += 16) Store(t + i, AverageFloor(Load(a + i), Load(b + i)));
    scalar::AverageFrom(t, a, b, blockEnd, n);
}

void Sharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    const size_t end = n & ~size_t{15};
    for (size_t i = 0; i < end; i += 16) Store(t + i, SharpenVec(Load(a + i), Load(b + i)));
    scalar::SharpenFrom(t, a, b, end, n);
}

void SharpenAverage(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    for (size_t i = 0; i < blockEnd; i += 16) {
        Store(t + i, SharpenVec(Load(c + i), AverageFloor(Load(u + i), Load(d + i))));
    }
    scalar::SharpenAverageFrom(t, c, u, d, blockEnd, n);
}

void AverageNested(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                   bool xFirst) {
    // In the 16-byte blocks the average is symmetric, so only the tail cares about the order.
    const size_t blockEnd = n & ~size_t{15};
    for (size_t i = 0; i < blockEnd; i += 16) {
        Store(t + i, AverageFloor(Load(x + i), AverageFloor(Load(p + i), Load(q + i))));
    }
    scalar::AverageNestedFrom(t, x, p, q, blockEnd, n, xFirst);
}

void BlendKeep(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n, bool xFirst,
               uint8_t* keep, const uint8_t* s) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    if (s != nullptr) {
        for (; i + 16 <= blockEnd; i += 16) {
            const auto vx = Load(x + i);
            const auto vs = Load(s + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
            Store(p + i, vs);
        }
    } else {
        for (; i + 16 <= blockEnd; i += 16) {
            const auto vx = Load(x + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
        }
    }
    scalar::BlendKeepFrom(t, x, p, q, i, n, xFirst, keep, s);
}

void YcExpand(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven) {
    const size_t end = n & ~size_t{15};
    if (lumaOnEven) {
        for (size_t i = 0; i < end; i += 16) Store(t + i, YcLumaEven(Load(s + i)));
    } else {
        for (size_t i = 0; i < end; i += 16) Store(t + i, YcChromaEven(Load(s + i)));
    }
    scalar::YcExpandFrom(t, s, end, n, lumaOnEven);
}

using Expand = TwoPassExpand<Average, AverageNested, BlendKeep, YcExpand>;

void FinishFrame() {}

}  // namespace

const RowKernels kSse2Kernels = {Average,
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
