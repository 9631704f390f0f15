// The scalar kernels: the definition every wider kernel is tested against.
#include "filter/pipeline/PixelKernels.h"

#include <cstring>

namespace lumoka {

// Luma 16..235 stretched to 0..255: entry x = clamp(floor((x - 16) * 76658 / 65536), 0, 255).
const uint8_t kLumaTable[256] = {
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   1,   2,
    3,   4,   5,   7,   8,   9,   10,  11,  12,  14,  15,  16,  17,  18,  19,  21,  22,  23,  24,
    25,  26,  28,  29,  30,  31,  32,  33,  35,  36,  37,  38,  39,  40,  42,  43,  44,  45,  46,
    47,  49,  50,  51,  52,  53,  54,  56,  57,  58,  59,  60,  61,  63,  64,  65,  66,  67,  69,
    70,  71,  72,  73,  74,  76,  77,  78,  79,  80,  81,  83,  84,  85,  86,  87,  88,  90,  91,
    92,  93,  94,  95,  97,  98,  99,  100, 101, 102, 104, 105, 106, 107, 108, 109, 111, 112, 113,
    114, 115, 116, 118, 119, 120, 121, 122, 123, 125, 126, 127, 128, 129, 131, 132, 133, 134, 135,
    136, 138, 139, 140, 141, 142, 143, 145, 146, 147, 148, 149, 150, 152, 153, 154, 155, 156, 157,
    159, 160, 161, 162, 163, 164, 166, 167, 168, 169, 170, 171, 173, 174, 175, 176, 177, 178, 180,
    181, 182, 183, 184, 185, 187, 188, 189, 190, 191, 193, 194, 195, 196, 197, 198, 200, 201, 202,
    203, 204, 205, 207, 208, 209, 210, 211, 212, 214, 215, 216, 217, 218, 219, 221, 222, 223, 224,
    225, 226, 228, 229, 230, 231, 232, 233, 235, 236, 237, 238, 239, 240, 242, 243, 244, 245, 246,
    247, 249, 250, 251, 252, 253, 254, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255,
};

// Chroma 16..240 stretched to 1..255; the low end maps to 1, never to 0.
const uint8_t kChromaTable[256] = {
    1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   1,   2,   3,
    4,   5,   6,   7,   9,   10,  11,  12,  13,  14,  15,  17,  18,  19,  20,  21,  22,  23,  25,
    26,  27,  28,  29,  30,  31,  33,  34,  35,  36,  37,  38,  39,  41,  42,  43,  44,  45,  46,
    47,  48,  50,  51,  52,  53,  54,  55,  56,  58,  59,  60,  61,  62,  63,  64,  66,  67,  68,
    69,  70,  71,  72,  74,  75,  76,  77,  78,  79,  80,  82,  83,  84,  85,  86,  87,  88,  89,
    91,  92,  93,  94,  95,  96,  97,  99,  100, 101, 102, 103, 104, 105, 107, 108, 109, 110, 111,
    112, 113, 115, 116, 117, 118, 119, 120, 121, 123, 124, 125, 126, 127, 128, 129, 130, 132, 133,
    134, 135, 136, 137, 138, 140, 141, 142, 143, 144, 145, 146, 148, 149, 150, 151, 152, 153, 154,
    156, 157, 158, 159, 160, 161, 162, 164, 165, 166, 167, 168, 169, 170, 171, 173, 174, 175, 176,
    177, 178, 179, 181, 182, 183, 184, 185, 186, 187, 189, 190, 191, 192, 193, 194, 195, 197, 198,
    199, 200, 201, 202, 203, 205, 206, 207, 208, 209, 210, 211, 212, 214, 215, 216, 217, 218, 219,
    220, 222, 223, 224, 225, 226, 227, 228, 230, 231, 232, 233, 234, 235, 236, 238, 239, 240, 241,
    242, 243, 244, 246, 247, 248, 249, 250, 251, 252, 253, 254, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255,
};

namespace scalar {

void AverageFrom(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t from, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = from;
    for (; i < blockEnd; ++i) t[i] = AverageBlockByte(a[i], b[i]);
    for (; i < n; ++i) t[i] = AverageTailByte(a[i], b[i]);
}

void SharpenFrom(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t from, size_t n) {
    for (size_t i = from; i < n; ++i) t[i] = SharpenByte(a[i], b[i]);
}

void SharpenAverageFrom(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d,
                        size_t from, size_t n) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = from;
    for (; i < blockEnd; ++i) t[i] = SharpenByte(c[i], AverageBlockByte(u[i], d[i]));
    for (; i < n; ++i) t[i] = SharpenByte(c[i], AverageTailByte(u[i], d[i]));
}

void AverageNestedFrom(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q,
                       size_t from, size_t n, bool xFirst) {
    const size_t blockEnd = n & ~size_t{15};
    size_t i = from;
    for (; i < blockEnd; ++i) t[i] = AverageBlockByte(x[i], AverageBlockByte(p[i], q[i]));
    for (; i < n; ++i) {
        const uint8_t m = AverageTailByte(p[i], q[i]);
        t[i] = xFirst ? AverageTailByte(x[i], m) : AverageTailByte(m, x[i]);
    }
}

void BlendKeepFrom(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t from,
                   size_t n, bool xFirst, uint8_t* keep, const uint8_t* s) {
    AverageNestedFrom(t, x, p, q, from, n, xFirst);
    for (size_t i = from; i < n; ++i) keep[i] = x[i];
    if (s != nullptr) {
        for (size_t i = from; i < n; ++i) p[i] = s[i];
    }
}

void YcExpandFrom(uint8_t* t, const uint8_t* s, size_t from, size_t n, bool lumaOnEven) {
    const uint8_t* even = lumaOnEven ? kLumaTable : kChromaTable;
    const uint8_t* odd = lumaOnEven ? kChromaTable : kLumaTable;
    size_t i = from;
    if (i < n && (i & 1)) {
        t[i] = odd[s[i]];
        ++i;
    }
    for (; i + 1 < n; i += 2) {
        t[i] = even[s[i]];
        t[i + 1] = odd[s[i + 1]];
    }
    if (i < n) t[i] = even[s[i]];
}

namespace {
// Byte i of a row average, nested average and sharpened average, by the formula of its place.
uint8_t Avg(uint8_t a, uint8_t b, bool block) {
    return block ? AverageBlockByte(a, b) : AverageTailByte(a, b);
}
uint8_t Nested(uint8_t x, uint8_t p, uint8_t q, bool xFirst, bool block) {
    const uint8_t m = Avg(p, q, block);
    return xFirst ? Avg(x, m, block) : Avg(m, x, block);
}
}  // namespace

void BlendSharpCurrentFrom(uint8_t* t, const uint8_t* s, const uint8_t* su, const uint8_t* sd,
                           const uint8_t* ou, const uint8_t* od, size_t from, size_t n,
                           bool evenCurrent, uint8_t* keep) {
    const size_t blockEnd = n & ~size_t{15};
    for (size_t i = from; i < n; ++i) {
        const bool block = i < blockEnd;
        const uint8_t b = Nested(s[i], ou[i], od[i], evenCurrent, block);
        const uint8_t bu = Nested(ou[i], su[i], s[i], !evenCurrent, block);
        const uint8_t bd = Nested(od[i], s[i], sd[i], !evenCurrent, block);
        t[i] = SharpenByte(b, Avg(bu, bd, block));
        keep[i] = s[i];
    }
}

void BlendSharpOtherFrom(uint8_t* t, const uint8_t* o, uint8_t* ou, const uint8_t* od,
                         const uint8_t* su, const uint8_t* sd, size_t from, size_t n,
                         bool evenCurrent, const uint8_t* renew) {
    const size_t blockEnd = n & ~size_t{15};
    for (size_t i = from; i < n; ++i) {
        const bool block = i < blockEnd;
        const uint8_t b = Nested(o[i], su[i], sd[i], !evenCurrent, block);
        const uint8_t bu = Nested(su[i], ou[i], o[i], evenCurrent, block);
        const uint8_t bd = Nested(sd[i], o[i], od[i], evenCurrent, block);
        t[i] = SharpenByte(b, Avg(bu, bd, block));
        if (renew != nullptr) ou[i] = renew[i];
    }
}

void CopyRow(uint8_t* t, const uint8_t* s, size_t n) { std::memcpy(t, s, n); }

}  // namespace scalar

namespace {

void Average(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    scalar::AverageFrom(t, a, b, 0, n);
}
void Sharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    scalar::SharpenFrom(t, a, b, 0, n);
}
void SharpenAverage(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d, size_t n) {
    scalar::SharpenAverageFrom(t, c, u, d, 0, n);
}
void AverageNested(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                   bool xFirst) {
    scalar::AverageNestedFrom(t, x, p, q, 0, n, xFirst);
}
void BlendKeep(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n, bool xFirst,
               uint8_t* keep, const uint8_t* s) {
    scalar::BlendKeepFrom(t, x, p, q, 0, n, xFirst, keep, s);
}
void YcExpand(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven) {
    scalar::YcExpandFrom(t, s, 0, n, lumaOnEven);
}

using Expand = TwoPassExpand<Average, AverageNested, BlendKeep, YcExpand>;

void FinishFrame() {}

}  // namespace

const RowKernels kScalarKernels = {Average,
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
