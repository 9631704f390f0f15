// 64-byte kernels (AVX-512 BW with VBMI). Built with -mavx512bw -mavx512vbmi and reached only
// through KernelsFor after the CPU check. YC expansion looks every byte up in both 256-entry
// tables with two-register byte permutes (vpermi2b, 128 entries each) and keeps the luma or
// chroma result by byte parity. The bytes past the last 64-byte step go to the 32-byte kernels;
// every step starts at a multiple of 64, so the average's 16-byte block split is kept.
#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "filter/pipeline/PixelKernels.h"

namespace lumoka {

namespace {

inline __m512i Load(const void* p) { return _mm512_loadu_si512(p); }
inline void Store(uint8_t* p, __m512i v) { _mm512_storeu_si512(p, v); }

inline __m512i AverageFloor(__m512i a, __m512i b) {
    const __m512i odd = _mm512_and_si512(_mm512_xor_si512(a, b), _mm512_set1_epi8(1));
    return _mm512_sub_epi8(_mm512_avg_epu8(a, b), odd);
}

inline __m512i SharpenVec(__m512i a, __m512i b) {
    return _mm512_adds_epu8(_mm512_subs_epu8(a, _mm512_subs_epu8(b, a)), _mm512_subs_epu8(a, b));
}

// A 256-entry table as four 64-byte registers (named ones: kept in an array, the compiler
// also copied them to the stack at every call).
struct Table {
    __m512i q0, q1, q2, q3;
    explicit Table(const uint8_t* t)
        : q0(Load(t)), q1(Load(t + 64)), q2(Load(t + 128)), q3(Load(t + 192)) {}
    __m512i Lookup(__m512i x) const {
        const __m512i low = _mm512_permutex2var_epi8(q0, x, q1);
        const __m512i high = _mm512_permutex2var_epi8(q2, x, q3);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
    }
};

void Average(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) Store(t + i, AverageFloor(Load(a + i), Load(b + i)));
    kAvx2Kernels.average(t + i, a + i, b + i, n - i);
}

void Sharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    for (; i + 64 <= n; i += 64) Store(t + i, SharpenVec(Load(a + i), Load(b + i)));
    kAvx2Kernels.sharpen(t + i, a + i, b + i, n - i);
}

void SharpenAverage(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) {
        Store(t + i, SharpenVec(Load(c + i), AverageFloor(Load(u + i), Load(d + i))));
    }
    kAvx2Kernels.sharpenAverage(t + i, c + i, u + i, d + i, n - i);
}

void AverageNested(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                   bool xFirst) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) {
        Store(t + i, AverageFloor(Load(x + i), AverageFloor(Load(p + i), Load(q + i))));
    }
    kAvx2Kernels.averageNested(t + i, x + i, p + i, q + i, n - i, xFirst);
}

void BlendKeep(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n, bool xFirst,
               uint8_t* keep, const uint8_t* s) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    if (s != nullptr) {
        for (; i + 64 <= blockEnd; i += 64) {
            const auto vx = Load(x + i);
            const auto vs = Load(s + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
            Store(p + i, vs);
        }
    } else {
        for (; i + 64 <= blockEnd; i += 64) {
            const auto vx = Load(x + i);
            Store(t + i, AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i))));
            Store(keep + i, vx);
        }
    }
    kAvx2Kernels.blendKeep(t + i, x + i, p + i, q + i, n - i, xFirst, keep + i,
                           s != nullptr ? s + i : nullptr);
}

// YC expansion of 64 bytes: bytes in chromaBytes take the chroma table, the others luma.
struct Expander {
    const Table luma{kLumaTable};
    const Table chroma{kChromaTable};
    const __mmask64 chromaBytes;
    explicit Expander(bool lumaOnEven)
        : chromaBytes(lumaOnEven ? 0xAAAAAAAAAAAAAAAAull : 0x5555555555555555ull) {}
    __m512i operator()(__m512i x) const {
        return _mm512_mask_blend_epi8(chromaBytes, luma.Lookup(x), chroma.Lookup(x));
    }
};

void YcExpand(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven) {
    size_t i = 0;
    if (n >= 64) {
        const Expander yc(lumaOnEven);
        for (; i + 64 <= n; i += 64) Store(t + i, yc(Load(s + i)));
    }
    kAvx2Kernels.ycExpand(t + i, s + i, n - i, lumaOnEven);
}

// The expanding forms: each 64-byte step is expanded on its way to t. The bytes past the last
// step (which starts at a multiple of 64, so the byte parity is unchanged) are done in two
// passes by the 32-byte kernels.
void AverageExpand(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n, bool lumaOnEven) {
    const Expander yc(lumaOnEven);
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) Store(t + i, yc(AverageFloor(Load(a + i), Load(b + i))));
    kAvx2Kernels.average(t + i, a + i, b + i, n - i);
    kAvx2Kernels.ycExpand(t + i, t + i, n - i, lumaOnEven);
}

void AverageNestedExpand(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                         bool xFirst, bool lumaOnEven) {
    const Expander yc(lumaOnEven);
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) {
        Store(t + i, yc(AverageFloor(Load(x + i), AverageFloor(Load(p + i), Load(q + i)))));
    }
    kAvx2Kernels.averageNested(t + i, x + i, p + i, q + i, n - i, xFirst);
    kAvx2Kernels.ycExpand(t + i, t + i, n - i, lumaOnEven);
}

void BlendKeepExpand(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n,
                     bool xFirst, uint8_t* keep, const uint8_t* s, bool lumaOnEven) {
    const Expander yc(lumaOnEven);
    const size_t blockEnd = n & ~size_t{15};
    size_t i = 0;
    for (; i + 64 <= blockEnd; i += 64) {
        const __m512i vx = Load(x + i);
        const __m512i v = AverageFloor(vx, AverageFloor(Load(p + i), Load(q + i)));
        if (s != nullptr) Store(p + i, Load(s + i));
        Store(keep + i, vx);
        Store(t + i, yc(v));
    }
    kAvx2Kernels.blendKeep(t + i, x + i, p + i, q + i, n - i, xFirst, keep + i,
                           s != nullptr ? s + i : nullptr);
    kAvx2Kernels.ycExpand(t + i, t + i, n - i, lumaOnEven);
}

// The frame-row kernels below cover a row's block part [0, blockEnd) in 64-byte steps aligned to
// the target: a masked first step up to the target's next cache line, whole lines written with
// non-temporal stores, a masked last step. The loads are masked to the step's bytes, so nothing
// outside the rows is touched. The tail formula bytes past blockEnd are the scalar ones.
inline __mmask64 FirstBytes(size_t k) { return k >= 64 ? ~__mmask64{0} : (__mmask64{1} << k) - 1; }

inline __m512i LoadPart(__mmask64 m, const uint8_t* p) { return _mm512_maskz_loadu_epi8(m, p); }

template <bool kWhole>
inline void StorePart(uint8_t* p, __mmask64 m, __m512i v) {
    if constexpr (kWhole) {
        Store(p, v);
    } else {
        _mm512_mask_storeu_epi8(p, m, v);
    }
}

template <bool kWhole>
inline void StoreFrame(uint8_t* p, __mmask64 m, __m512i v) {
    if constexpr (kWhole) {
        _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v);
    } else {
        _mm512_mask_storeu_epi8(p, m, v);
    }
}

// Calls step.template operator()<whole>(i, mask) over [0, end) as described above.
template <typename Step>
inline void ForFrameLines(const uint8_t* t, size_t end, Step step) {
    size_t i = std::min<size_t>((64 - (reinterpret_cast<uintptr_t>(t) & 63)) & 63, end);
    if (i > 0) step(std::false_type{}, 0, FirstBytes(i));
    for (; i + 64 <= end; i += 64) step(std::true_type{}, i, ~__mmask64{0});
    if (i < end) step(std::false_type{}, i, FirstBytes(end - i));
}

void AverageNestedToFrame(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                          size_t n, bool xFirst) {
    const size_t blockEnd = n & ~size_t{15};
    ForFrameLines(t, blockEnd, [&](auto whole, size_t i, __mmask64 m) {
        const __m512i v =
            AverageFloor(LoadPart(m, x + i), AverageFloor(LoadPart(m, p + i), LoadPart(m, q + i)));
        StoreFrame<decltype(whole)::value>(t + i, m, v);
    });
    scalar::AverageNestedFrom(t, x, p, q, blockEnd, n, xFirst);
}

void BlendKeepToFrame(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n,
                      bool xFirst, uint8_t* keep, const uint8_t* s) {
    const size_t blockEnd = n & ~size_t{15};
    ForFrameLines(t, blockEnd, [&](auto whole, size_t i, __mmask64 m) {
        constexpr bool kWhole = decltype(whole)::value;
        const __m512i vx = LoadPart(m, x + i);
        const __m512i v = AverageFloor(vx, AverageFloor(LoadPart(m, p + i), LoadPart(m, q + i)));
        if (s != nullptr) StorePart<kWhole>(p + i, m, LoadPart(m, s + i));
        StorePart<kWhole>(keep + i, m, vx);
        StoreFrame<kWhole>(t + i, m, v);
    });
    scalar::BlendKeepFrom(t, x, p, q, blockEnd, n, xFirst, keep, s);
}

void AverageToFrame(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    ForFrameLines(t, blockEnd, [&](auto whole, size_t i, __mmask64 m) {
        StoreFrame<decltype(whole)::value>(t + i, m,
                                           AverageFloor(LoadPart(m, a + i), LoadPart(m, b + i)));
    });
    scalar::AverageFrom(t, a, b, blockEnd, n);
}

void CopyToFrame(uint8_t* t, const uint8_t* s, size_t n) {
    ForFrameLines(t, n, [&](auto whole, size_t i, __mmask64 m) {
        StoreFrame<decltype(whole)::value>(t + i, m, LoadPart(m, s + i));
    });
}

void SharpenAverageToFrame(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d,
                           size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    ForFrameLines(t, blockEnd, [&](auto whole, size_t i, __mmask64 m) {
        const __m512i v =
            SharpenVec(LoadPart(m, c + i), AverageFloor(LoadPart(m, u + i), LoadPart(m, d + i)));
        StoreFrame<decltype(whole)::value>(t + i, m, v);
    });
    scalar::SharpenAverageFrom(t, c, u, d, blockEnd, n);
}

// Steps over a row's block part for the kernels that write t either way: as the frame-row
// kernels do when kStream, else whole 64-byte steps from the start and a masked last one.
template <bool kStream, typename Step>
inline void ForSteps(const uint8_t* t, size_t end, Step step) {
    if constexpr (kStream) {
        ForFrameLines(t, end, step);
    } else {
        size_t i = 0;
        for (; i + 64 <= end; i += 64) step(std::true_type{}, i, ~__mmask64{0});
        if (i < end) step(std::false_type{}, i, FirstBytes(end - i));
    }
}

template <bool kStream, bool kWhole>
inline void StoreTarget(uint8_t* p, __mmask64 m, __m512i v) {
    if constexpr (kStream) {
        StoreFrame<kWhole>(p, m, v);
    } else {
        StorePart<kWhole>(p, m, v);
    }
}

// In the block part every average is the floor one, which does not depend on argument order.
inline __m512i Nested(__m512i x, __m512i p, __m512i q) {
    return AverageFloor(x, AverageFloor(p, q));
}

template <bool kStream>
void BlendSharpCurrentRow(uint8_t* t, const uint8_t* s, const uint8_t* su, const uint8_t* sd,
                          const uint8_t* ou, const uint8_t* od, size_t n, uint8_t* keep) {
    ForSteps<kStream>(t, n & ~size_t{15}, [&](auto whole, size_t i, __mmask64 m) {
        constexpr bool kWhole = decltype(whole)::value;
        const __m512i vs = LoadPart(m, s + i);
        const __m512i vu = LoadPart(m, ou + i);
        const __m512i vd = LoadPart(m, od + i);
        const __m512i b = Nested(vs, vu, vd);
        const __m512i bu = Nested(vu, LoadPart(m, su + i), vs);
        const __m512i bd = Nested(vd, vs, LoadPart(m, sd + i));
        StorePart<kWhole>(keep + i, m, vs);
        StoreTarget<kStream, kWhole>(t + i, m, SharpenVec(b, AverageFloor(bu, bd)));
    });
}

template <bool kStream>
void BlendSharpOtherRow(uint8_t* t, const uint8_t* o, uint8_t* ou, const uint8_t* od,
                        const uint8_t* su, const uint8_t* sd, size_t n, const uint8_t* renew) {
    ForSteps<kStream>(t, n & ~size_t{15}, [&](auto whole, size_t i, __mmask64 m) {
        constexpr bool kWhole = decltype(whole)::value;
        const __m512i vo = LoadPart(m, o + i);
        const __m512i vsu = LoadPart(m, su + i);
        const __m512i vsd = LoadPart(m, sd + i);
        const __m512i vou = LoadPart(m, ou + i);
        const __m512i b = Nested(vo, vsu, vsd);
        const __m512i bu = Nested(vsu, vou, vo);
        const __m512i bd = Nested(vsd, vo, LoadPart(m, od + i));
        if (renew != nullptr) StorePart<kWhole>(ou + i, m, LoadPart(m, renew + i));
        StoreTarget<kStream, kWhole>(t + i, m, SharpenVec(b, AverageFloor(bu, bd)));
    });
}

void BlendSharpCurrent(uint8_t* t, const uint8_t* s, const uint8_t* su, const uint8_t* sd,
                       const uint8_t* ou, const uint8_t* od, size_t n, bool evenCurrent,
                       uint8_t* keep, bool toFrame) {
    if (toFrame) {
        BlendSharpCurrentRow<true>(t, s, su, sd, ou, od, n, keep);
    } else {
        BlendSharpCurrentRow<false>(t, s, su, sd, ou, od, n, keep);
    }
    scalar::BlendSharpCurrentFrom(t, s, su, sd, ou, od, n & ~size_t{15}, n, evenCurrent, keep);
}

void BlendSharpOther(uint8_t* t, const uint8_t* o, uint8_t* ou, const uint8_t* od,
                     const uint8_t* su, const uint8_t* sd, size_t n, bool evenCurrent,
                     const uint8_t* renew, bool toFrame) {
    const size_t blockEnd = n & ~size_t{15};
    if (toFrame) {
        BlendSharpOtherRow<true>(t, o, ou, od, su, sd, n, renew);
    } else {
        BlendSharpOtherRow<false>(t, o, ou, od, su, sd, n, renew);
    }
    scalar::BlendSharpOtherFrom(t, o, ou, od, su, sd, blockEnd, n, evenCurrent, renew);
}

void FinishFrame() { _mm_sfence(); }

}  // namespace

const RowKernels kAvx512Kernels = {Average,
                                   Sharpen,
                                   SharpenAverage,
                                   AverageNested,
                                   BlendKeep,
                                   YcExpand,
                                   AverageNestedToFrame,
                                   BlendKeepToFrame,
                                   SharpenAverageToFrame,
                                   FinishFrame,
                                   AverageExpand,
                                   AverageNestedExpand,
                                   BlendKeepExpand,
                                   BlendSharpCurrent,
                                   BlendSharpOther,
                                   AverageToFrame,
                                   CopyToFrame};

}  // namespace lumoka
