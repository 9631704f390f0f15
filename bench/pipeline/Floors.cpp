// What the blend modes cost at least: the smallest loops with the loads, stores and arithmetic
// a blend-mode frame cannot do without (AVX-512). pipeline_bench times them as it times the
// pipeline and memcpy; a mode whose ratio is close to its floor's leaves nothing to gain
// without changing what is stored or computed.
//
// The floors run one 1920x1080 YUY2 frame in the field layout of Same mode, top field first:
// every even source row is blended with the neighbouring rows of the previous odd field, every
// odd row is an average of two source rows blended with the previous odd field's row; the even
// rows are kept and the odd rows renew the odd field picture (packed, as the pipeline keeps
// them). Target rows are written with non-temporal stores.
#include "Floors.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "BenchHarness.h"
#include "filter/pipeline/CpuFeatures.h"
#include "filter/pipeline/PixelKernels.h"

namespace lumoka {
namespace {

constexpr int kRow = 3840;
constexpr int kRows = 1080;
constexpr size_t kFrame = size_t{kRow} * kRows;

inline __m512i Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
inline void Store(uint8_t* p, __m512i v) { _mm512_storeu_si512(p, v); }
inline void Stream(uint8_t* p, __m512i v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }

inline __m512i Avg(__m512i a, __m512i b) {
    const __m512i odd = _mm512_and_si512(_mm512_xor_si512(a, b), _mm512_set1_epi8(1));
    return _mm512_sub_epi8(_mm512_avg_epu8(a, b), odd);
}

inline __m512i Sharpen(__m512i a, __m512i b) {
    return _mm512_adds_epu8(_mm512_subs_epu8(a, _mm512_subs_epu8(b, a)), _mm512_subs_epu8(a, b));
}

struct Table {
    __m512i q[4];
    explicit Table(const uint8_t* t) {
        for (int i = 0; i < 4; ++i) q[i] = Load(t + 64 * i);
    }
    __m512i Lookup(__m512i x) const {
        const __m512i low = _mm512_permutex2var_epi8(q[0], x, q[1]);
        const __m512i high = _mm512_permutex2var_epi8(q[2], x, q[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
    }
};

// The frames and pictures of one pattern run; 64-byte aligned.
struct Buffers {
    bench::CAlignedBuffer srcBlock{kFrame}, dstBlock{kFrame}, evenBlock{kFrame / 2 + 2 * kRow},
        oddBlock{kFrame / 2 + 2 * kRow}, ringBlock{4 * size_t{kRow}};
    uint8_t* src = Fill(srcBlock);
    uint8_t* dst = Fill(dstBlock);
    uint8_t* even = Fill(evenBlock);
    uint8_t* odd = Fill(oddBlock);
    uint8_t* ring = Fill(ringBlock);

    static uint8_t* Fill(const bench::CAlignedBuffer& b) {
        uint8_t* p = b.Data();
        for (size_t i = 0; i < b.Size(); ++i)
            p[i] = static_cast<uint8_t>(16 + (i * 2654435761u >> 7) % 220);
        return p;
    }
    uint8_t* Src(int y) const { return src + size_t{kRow} * y; }
    uint8_t* Dst(int y) const { return dst + size_t{kRow} * y; }
    uint8_t* Even(int y) const { return even + size_t{kRow} * (y / 2); }
    uint8_t* Odd(int y) const { return odd + size_t{kRow} * ((y + 1) / 2); }
    uint8_t* Ring(int y) const { return ring + size_t{kRow} * (y & 3); }
};

// YC expansion of 64 YUY2 bytes. Each pattern holds its own copy in registers (a table reached
// through memory the loop stores to would be reloaded at every step).
struct Expander {
    const Table luma{lumoka::kLumaTable};
    const Table chroma{lumoka::kChromaTable};
    __m512i operator()(__m512i x) const {
        return _mm512_mask_blend_epi8(0xAAAAAAAAAAAAAAAAull, luma.Lookup(x), chroma.Lookup(x));
    }
};

// Blended row y (2 <= y < kRows - 2) into `out`, stored by `put`; the even rows keep their
// source row and renew the odd picture's row above. With yc, source rows are expanded first
// (into the ring, once each, as the pipeline does).
template <bool kYc, typename Put>
void BlendRow(const Buffers& b, int y, Put put) {
    auto src = [&](int r) -> const uint8_t* { return kYc ? b.Ring(r) : b.Src(r); };
    if ((y & 1) == 0) {
        uint8_t* up = b.Odd(y - 1);
        const uint8_t* down = b.Odd(y + 1);
        uint8_t* keep = b.Even(y);
        for (int i = 0; i < kRow; i += 64) {
            const __m512i x = Load(src(y) + i);
            const __m512i renew = Load(src(y - 1) + i);
            put(i, Avg(x, Avg(Load(up + i), Load(down + i))));
            Store(keep + i, x);
            Store(up + i, renew);
        }
    } else {
        const uint8_t* o = b.Odd(y);
        for (int i = 0; i < kRow; i += 64) {
            put(i, Avg(Load(o + i), Avg(Load(src(y - 1) + i), Load(src(y + 1) + i))));
        }
    }
}

template <bool kYc>
void ExpandAhead(const Buffers& b, const Expander& yc, int y) {
    if (!kYc) return;
    for (int i = 0; i < kRow; i += 64) Store(b.Ring(y) + i, yc(Load(b.Src(y) + i)));
}

template <bool kYc>
void Blend(const Buffers& b) {
    const Expander yc;
    for (int y = 1; y < 3; ++y) ExpandAhead<kYc>(b, yc, y);
    for (int y = 2; y < kRows - 2; ++y) {
        ExpandAhead<kYc>(b, yc, y + 1);
        uint8_t* t = b.Dst(y);
        BlendRow<kYc>(b, y, [&](int i, __m512i v) { Stream(t + i, v); });
    }
    _mm_sfence();
}

void SharpenInto(const Buffers& b, int y) {
    uint8_t* t = b.Dst(y);
    const uint8_t *u = b.Ring(y - 1), *c = b.Ring(y), *d = b.Ring(y + 1);
    for (int i = 0; i < kRow; i += 64)
        Stream(t + i, Sharpen(Load(c + i), Avg(Load(u + i), Load(d + i))));
}

// Blended rows into the ring (YC-expanded on the way when kYc), each target row sharpened
// against its neighbours once the row below is blended.
template <bool kYc>
void BlendSharp(const Buffers& b) {
    const Expander yc;
    for (int y = 2; y < kRows - 2; ++y) {
        uint8_t* r = b.Ring(y);
        BlendRow<false>(b, y, [&](int i, __m512i v) { Store(r + i, kYc ? yc(v) : v); });
        if (y >= 4) SharpenInto(b, y - 1);
    }
    _mm_sfence();
}

// BlendSharp with each target row computed from the five rows its three blended rows need,
// nothing stored between rows (the pipeline's way without YC expansion). Field c is current:
// its rows are kept in its picture, the other picture's rows are read and, when renew, replaced
// by this frame's rows once read (Same mode; Double keeps each field as it is shown instead).
void BlendSharpDirect(const Buffers& b, int c, bool renew) {
    auto picture = [&](int parity, int y) { return parity == 0 ? b.Even(y) : b.Odd(y); };
    const int other = 1 - c;
    for (int y = 3; y < kRows - 3; ++y) {
        uint8_t* t = b.Dst(y);
        const uint8_t* s = b.Src(y);
        if ((y & 1) == c) {
            const uint8_t *ou = picture(other, y - 1), *od = picture(other, y + 1);
            uint8_t* keep = picture(c, y);
            for (int i = 0; i < kRow; i += 64) {
                const __m512i vs = Load(s + i), vu = Load(ou + i), vd = Load(od + i);
                const __m512i m = Avg(vs, Avg(vu, vd));
                const __m512i up = Avg(vu, Avg(Load(s - 2 * kRow + i), vs));
                const __m512i down = Avg(vd, Avg(vs, Load(s + 2 * kRow + i)));
                Stream(t + i, Sharpen(m, Avg(up, down)));
                Store(keep + i, vs);
            }
        } else {
            const uint8_t *o = picture(other, y), *od = picture(other, y + 2);
            uint8_t* ou = picture(other, y - 2);
            for (int i = 0; i < kRow; i += 64) {
                const __m512i vo = Load(o + i), su = Load(s - kRow + i), sd = Load(s + kRow + i);
                const __m512i m = Avg(vo, Avg(su, sd));
                const __m512i up = Avg(su, Avg(Load(ou + i), vo));
                const __m512i down = Avg(sd, Avg(vo, Load(od + i)));
                if (renew) Store(ou + i, Load(s - 2 * kRow + i));
                Stream(t + i, Sharpen(m, Avg(up, down)));
            }
        }
    }
    _mm_sfence();
}

// LinearSharp with YC expansion: each row copied or interpolated, expanded, sharpened.
void LinearSharpYc(const Buffers& b) {
    const Expander yc;
    for (int y = 1; y < kRows - 1; ++y) {
        uint8_t* r = b.Ring(y);
        const uint8_t* s = b.Src(y);
        for (int i = 0; i < kRow; i += 64) {
            const __m512i v =
                (y & 1) == 0 ? Load(s + i) : Avg(Load(s - kRow + i), Load(s + kRow + i));
            Store(r + i, yc(v));
        }
        if (y >= 3) SharpenInto(b, y - 1);
    }
    _mm_sfence();
}

}  // namespace

struct CFloors::Impl {
    Buffers b;
};

CFloors::CFloors() {
    const CpuFeatures cpu = DetectCpuFeatures();
    if (BestSimdLevel(cpu) == SimdLevel::kAvx512) impl_ = std::make_unique<Impl>();
}

CFloors::~CFloors() = default;

std::vector<FloorLoop> CFloors::Loops() {
    if (!impl_) return {};
    Buffers& b = impl_->b;
    return {
        {"floor blend", "Blend", [&b] { Blend<false>(b); }},
        {"floor blend+yc", "Blend+YUY2", [&b] { Blend<true>(b); }},
        {"floor blendsharp", "BlendSharp", [&b] { BlendSharpDirect(b, 0, true); }},
        {"floor blendsharp+yc", "BlendSharp+YUY2", [&b] { BlendSharp<true>(b); }},
        {"floor linearsharp+yc", "LinearSharp+YUY2", [&b] { LinearSharpYc(b); }},
        {"floor blendsharp double", "BlendSharp Double",
         [&b] {
             BlendSharpDirect(b, 0, false);
             BlendSharpDirect(b, 1, false);
         },
         2},
    };
}

uint32_t CFloors::OutputChecksum() const {
    return impl_ ? bench::Checksum(impl_->b.dst, kFrame) : 0;
}

}  // namespace lumoka
