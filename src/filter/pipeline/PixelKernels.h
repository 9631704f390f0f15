// Row kernels behind the pixel operations, one set per instruction-set level. Every set gives
// the bytes of the scalar set; the wider ones are only faster. Chosen once per frame from the
// CPU feature record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/pipeline/CpuFeatures.h"

namespace lumoka {

// The studio-to-full range tables of YC expansion.
extern const uint8_t kLumaTable[256];
extern const uint8_t kChromaTable[256];

struct RowKernels {
    // Per byte: the first 16*floor(n/16) bytes floor((a+b)/2), the rest
    // floor((127a+129b)/256).
    void (*average)(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n);
    // Per byte clamp(2a - b, 0, 255).
    void (*sharpen)(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n);
    // sharpen(c, average(u, d)) without the intermediate row.
    void (*sharpenAverage)(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d,
                           size_t n);
    // average(x, average(p, q)) when xFirst, else average(average(p, q), x), without the
    // intermediate row: the blend of a stored row with an interpolated one.
    void (*averageNested)(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                          size_t n, bool xFirst);
    // The blend of a row stored in the current field picture: t = averageNested(x, p, q), x
    // kept in `keep` as well, and, when s is given, p replaced by s once it has been read (the
    // other field picture's row is renewed by its last reader).
    void (*blendKeep)(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n,
                      bool xFirst, uint8_t* keep, const uint8_t* s);
    // Maps every byte through the luma or chroma table: bytes at even offsets take the luma
    // table when lumaOnEven, the chroma table otherwise; odd offsets the other one. n is any
    // length (the caller rounds to whole groups). t may equal s.
    void (*ycExpand)(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven);

    // averageNested, blendKeep and sharpenAverage for a t that is a row of a frame too large to
    // stay in the caches: the same bytes, but t may be written around the caches (its lines are
    // not read for ownership and do not push the source rows out). t must not overlap the
    // other rows. The sets without such stores use the plain kernels here.
    void (*averageNestedToFrame)(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                                 size_t n, bool xFirst);
    void (*blendKeepToFrame)(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n,
                             bool xFirst, uint8_t* keep, const uint8_t* s);
    void (*sharpenAverageToFrame)(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d,
                                  size_t n);
    // Makes the frame rows written by the *ToFrame kernels visible in order before the frame is
    // handed on (their stores are weakly ordered).
    void (*finishFrame)();

    // average, averageNested and blendKeep followed by ycExpand(t, t, n, lumaOnEven), in one
    // pass where the set can (keep and p receive the rows as they are, unexpanded).
    void (*averageExpand)(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n,
                          bool lumaOnEven);
    void (*averageNestedExpand)(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                                size_t n, bool xFirst, bool lumaOnEven);
    void (*blendKeepExpand)(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n,
                            bool xFirst, uint8_t* keep, const uint8_t* s, bool lumaOnEven);

    // One sharpened blend row y inside the picture (2 <= y <= H - 3) straight from the rows it
    // depends on: sharpenAverage(b, bu, bd) of the blends b, bu, bd of rows y, y - 1 and y + 1,
    // none of them stored. S is the source, O the other field's picture, evenCurrent tells
    // which field is current (buffer 1 is the first argument of every blend average); with
    // toFrame, t is written as by the *ToFrame kernels. Null in the sets without them.
    // A row of the current field: s = S[y], su = S[y - 2], sd = S[y + 2], ou = O[y - 1],
    // od = O[y + 1]; keep receives S[y].
    void (*blendSharpCurrent)(uint8_t* t, const uint8_t* s, const uint8_t* su, const uint8_t* sd,
                              const uint8_t* ou, const uint8_t* od, size_t n, bool evenCurrent,
                              uint8_t* keep, bool toFrame);
    // A row of the other field: o = O[y], ou = O[y - 2], od = O[y + 2], su = S[y - 1],
    // sd = S[y + 1]; ou is replaced by renew (when given) once read.
    void (*blendSharpOther)(uint8_t* t, const uint8_t* o, uint8_t* ou, const uint8_t* od,
                            const uint8_t* su, const uint8_t* sd, size_t n, bool evenCurrent,
                            const uint8_t* renew, bool toFrame);

    // average and a plain row copy for a t that is a frame row written as by the *ToFrame
    // kernels: the single-field modes' target rows of a large frame.
    void (*averageToFrame)(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n);
    void (*copyToFrame)(uint8_t* t, const uint8_t* s, size_t n);
};

const RowKernels& KernelsFor(SimdLevel level);

// The scalar definitions, also used by the wide kernels for the bytes past their last block.
namespace scalar {
inline uint8_t AverageBlockByte(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a + b) >> 1); }
inline uint8_t AverageTailByte(uint8_t a, uint8_t b) {
    return static_cast<uint8_t>((127 * a + 129 * b) >> 8);
}
inline uint8_t SharpenByte(uint8_t a, uint8_t b) {
    const int v = 2 * a - b;
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
// The part of a row average from byte `from` on (from <= n): block formula below the last
// whole 16-byte block's end, tail formula after it.
void AverageFrom(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t from, size_t n);
void SharpenFrom(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t from, size_t n);
void SharpenAverageFrom(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d,
                        size_t from, size_t n);
void AverageNestedFrom(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                       size_t from, size_t n, bool xFirst);
void BlendKeepFrom(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t from,
                   size_t n, bool xFirst, uint8_t* keep, const uint8_t* s);
void YcExpandFrom(uint8_t* t, const uint8_t* s, size_t from, size_t n, bool lumaOnEven);
void CopyRow(uint8_t* t, const uint8_t* s, size_t n);
void BlendSharpCurrentFrom(uint8_t* t, const uint8_t* s, const uint8_t* su, const uint8_t* sd,
                           const uint8_t* ou, const uint8_t* od, size_t from, size_t n,
                           bool evenCurrent, uint8_t* keep);
void BlendSharpOtherFrom(uint8_t* t, const uint8_t* o, uint8_t* ou, const uint8_t* od,
                         const uint8_t* su, const uint8_t* sd, size_t from, size_t n,
                         bool evenCurrent, const uint8_t* renew);
}  // namespace scalar

// Level-specific sets, defined in their own files (compiled with their own target flags).
extern const RowKernels kScalarKernels;
extern const RowKernels kSse2Kernels;
extern const RowKernels kAvx2Kernels;
extern const RowKernels kAvx512Kernels;

// The expanding kernels as the two passes they stand for: the plain kernel, then the YC
// expansion in place. For kernel sets without fused expanding forms.
template <auto Average, auto AverageNested, auto BlendKeep, auto YcExpand>
struct TwoPassExpand {
    static void AverageExpand(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n,
                              bool lumaOnEven) {
        Average(t, a, b, n);
        YcExpand(t, t, n, lumaOnEven);
    }
    static void AverageNestedExpand(uint8_t* t, const uint8_t* x, const uint8_t* p,
                                    const uint8_t* q, size_t n, bool xFirst, bool lumaOnEven) {
        AverageNested(t, x, p, q, n, xFirst);
        YcExpand(t, t, n, lumaOnEven);
    }
    static void BlendKeepExpand(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q,
                                size_t n, bool xFirst, uint8_t* keep, const uint8_t* s,
                                bool lumaOnEven) {
        BlendKeep(t, x, p, q, n, xFirst, keep, s);
        YcExpand(t, t, n, lumaOnEven);
    }
};

}  // namespace lumoka
