// What the blend modes cost at least: the smallest loops with the loads, stores and arithmetic
// a blend-mode frame cannot do without, timed against memcpy of the same frame like
// pipeline_bench (interleaved rounds, thread CPU time, medians). A pipeline ratio close to its
// pattern's ratio leaves nothing to gain without changing what is stored or computed.
//
// The patterns run one 1920x1080 YUY2 frame in the field layout of Same mode, top field first:
// every even source row is blended with the neighbouring rows of the previous odd field, every
// odd row is an average of two source rows blended with the previous odd field's row; the even
// rows are kept and the odd rows renew the odd field picture (packed, as the pipeline keeps
// them). Target rows are written with non-temporal stores. AVX-512 only.
//
//   pipeline_pattern_bench [--rounds N]
#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "filter/pipeline/CpuFeatures.h"
#include "filter/pipeline/PixelKernels.h"

namespace {

constexpr int kRow = 3840;
constexpr int kRows = 1080;
constexpr size_t kFrame = size_t{kRow} * kRows;

double ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

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
    uint8_t* src = Alloc(kFrame);
    uint8_t* dst = Alloc(kFrame);
    uint8_t* even = Alloc(kFrame / 2 + 2 * kRow);
    uint8_t* odd = Alloc(kFrame / 2 + 2 * kRow);
    uint8_t* ring = Alloc(4 * size_t{kRow});

    static uint8_t* Alloc(size_t n) {
        auto* p = static_cast<uint8_t*>(std::aligned_alloc(64, n));
        for (size_t i = 0; i < n; ++i)
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
// nothing stored between rows (the pipeline's way without YC expansion).
void BlendSharpDirect(const Buffers& b) {
    for (int y = 3; y < kRows - 3; ++y) {
        uint8_t* t = b.Dst(y);
        const uint8_t* s = b.Src(y);
        if ((y & 1) == 0) {
            const uint8_t *ou = b.Odd(y - 1), *od = b.Odd(y + 1);
            uint8_t* keep = b.Even(y);
            for (int i = 0; i < kRow; i += 64) {
                const __m512i vs = Load(s + i), vu = Load(ou + i), vd = Load(od + i);
                const __m512i c = Avg(vs, Avg(vu, vd));
                const __m512i up = Avg(vu, Avg(Load(s - 2 * kRow + i), vs));
                const __m512i down = Avg(vd, Avg(vs, Load(s + 2 * kRow + i)));
                Stream(t + i, Sharpen(c, Avg(up, down)));
                Store(keep + i, vs);
            }
        } else {
            const uint8_t *o = b.Odd(y), *od = b.Odd(y + 2);
            uint8_t* ou = b.Odd(y - 2);
            for (int i = 0; i < kRow; i += 64) {
                const __m512i vo = Load(o + i), su = Load(s - kRow + i), sd = Load(s + kRow + i);
                const __m512i c = Avg(vo, Avg(su, sd));
                const __m512i up = Avg(su, Avg(Load(ou + i), vo));
                const __m512i down = Avg(sd, Avg(vo, Load(od + i)));
                Store(ou + i, Load(s - 2 * kRow + i));
                Stream(t + i, Sharpen(c, Avg(up, down)));
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

// The arithmetic of YC expansion alone: a frame's worth of one cached row.
void YcInCache(const Buffers& b) {
    const Expander yc;
    for (int y = 0; y < kRows; ++y) {
        for (int i = 0; i < kRow; i += 64) Store(b.ring + i, yc(Load(b.ring + kRow + i)));
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 21;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--rounds") rounds = std::max(3, std::atoi(argv[i + 1]));
    }
    const lumoka::CpuFeatures cpu = lumoka::DetectCpuFeatures();
    if (lumoka::BestSimdLevel(cpu) != lumoka::SimdLevel::kAvx512) {
        std::printf("the patterns need AVX-512 (BW, VBMI)\n");
        return 0;
    }
    Buffers b;
    const std::pair<const char*, std::function<void()>> patterns[] = {
        {"blend", [&] { Blend<false>(b); }},
        {"blend+yc", [&] { Blend<true>(b); }},
        {"blendsharp", [&] { BlendSharp<false>(b); }},
        {"blendsharp direct", [&] { BlendSharpDirect(b); }},
        {"blendsharp+yc", [&] { BlendSharp<true>(b); }},
        {"linearsharp+yc", [&] { LinearSharpYc(b); }},
        {"yc in cache", [&] { YcInCache(b); }},
    };
    auto time = [](const std::function<void()>& f) {
        const double t0 = ThreadNanoseconds();
        for (int i = 0; i < 4; ++i) f();
        return (ThreadNanoseconds() - t0) / 4;
    };
    const std::function<void()> copy = [&] { std::memcpy(b.dst, b.src, kFrame); };
    std::printf("%-18s %12s %12s %7s\n", "pattern", "ns/frame", "memcpy ns", "ratio");
    for (const auto& [name, f] : patterns) {
        f();
        std::vector<double> mine, base;
        for (int r = 0; r < rounds; ++r) {
            base.push_back(time(copy));
            mine.push_back(time(f));
        }
        const double m = Median(mine), c = Median(base);
        std::printf("%-18s %12.0f %12.0f %7.2f\n", name, m, c, m / c);
    }
    return 0;
}
