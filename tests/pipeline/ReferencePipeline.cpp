#include "ReferencePipeline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lumoka::test {

uint8_t RefLuma(uint8_t x) {
    struct Table {
        uint8_t v[256];
        Table() {
            for (int i = 0; i < 256; ++i) {
                v[i] = static_cast<uint8_t>(
                    std::clamp(static_cast<int>(std::floor((i - 16) * 76658 / 65536.0)), 0, 255));
            }
        }
    };
    static const Table table;
    return table.v[x];
}

// clang-format off
const uint8_t kRefChroma[256] = {
    /*   0 */ 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    /*  16 */ 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 17, 18,
    /*  32 */ 19, 20, 21, 22, 23, 25, 26, 27, 28, 29, 30, 31, 33, 34, 35, 36,
    /*  48 */ 37, 38, 39, 41, 42, 43, 44, 45, 46, 47, 48, 50, 51, 52, 53, 54,
    /*  64 */ 55, 56, 58, 59, 60, 61, 62, 63, 64, 66, 67, 68, 69, 70, 71, 72,
    /*  80 */ 74, 75, 76, 77, 78, 79, 80, 82, 83, 84, 85, 86, 87, 88, 89, 91,
    /*  96 */ 92, 93, 94, 95, 96, 97, 99, 100, 101, 102, 103, 104, 105, 107, 108, 109,
    /* 112 */ 110, 111, 112, 113, 115, 116, 117, 118, 119, 120, 121, 123, 124, 125, 126, 127,
    /* 128 */ 128, 129, 130, 132, 133, 134, 135, 136, 137, 138, 140, 141, 142, 143, 144, 145,
    /* 144 */ 146, 148, 149, 150, 151, 152, 153, 154, 156, 157, 158, 159, 160, 161, 162, 164,
    /* 160 */ 165, 166, 167, 168, 169, 170, 171, 173, 174, 175, 176, 177, 178, 179, 181, 182,
    /* 176 */ 183, 184, 185, 186, 187, 189, 190, 191, 192, 193, 194, 195, 197, 198, 199, 200,
    /* 192 */ 201, 202, 203, 205, 206, 207, 208, 209, 210, 211, 212, 214, 215, 216, 217, 218,
    /* 208 */ 219, 220, 222, 223, 224, 225, 226, 227, 228, 230, 231, 232, 233, 234, 235, 236,
    /* 224 */ 238, 239, 240, 241, 242, 243, 244, 246, 247, 248, 249, 250, 251, 252, 253, 254,
    /* 240 */ 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
};
// clang-format on

uint8_t RefAverage(uint8_t a, uint8_t b, size_t i, size_t n) {
    if (i < n / 16 * 16) return static_cast<uint8_t>((a + b) / 2);
    return static_cast<uint8_t>((127 * a + 129 * b) / 256);
}

uint8_t RefSharpen(uint8_t a, uint8_t b) {
    return static_cast<uint8_t>(std::clamp(2 * a - b, 0, 255));
}

void RefYcExpand(uint8_t* t, const uint8_t* s, size_t n, int32_t layout) {
    if (layout != 1 && layout != 2) return;
    // Groups from the last to the first; per group two luma and two chroma bytes.
    for (size_t g = n / 4; g-- > 0;) {
        for (size_t j = 0; j < 4; ++j) {
            const bool luma = layout == 2 ? (j % 2 == 0) : (j % 2 == 1);
            const uint8_t x = s[4 * g + j];
            t[4 * g + j] = luma ? RefLuma(x) : kRefChroma[x];
        }
    }
}

namespace {

uint8_t Table(uint8_t x, size_t i, bool lumaOnEven) {
    return (i % 2 == 0) == lumaOnEven ? RefLuma(x) : kRefChroma[x];
}

void DefAverage(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) t[i] = RefAverage(a[i], b[i], i, n);
}
void DefSharpen(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) t[i] = RefSharpen(a[i], b[i]);
}
void DefSharpenAverage(uint8_t* t, const uint8_t* c, const uint8_t* u, const uint8_t* d, size_t n) {
    for (size_t i = 0; i < n; ++i) t[i] = RefSharpen(c[i], RefAverage(u[i], d[i], i, n));
}
void DefAverageNested(uint8_t* t, const uint8_t* x, const uint8_t* p, const uint8_t* q, size_t n,
                      bool xFirst) {
    for (size_t i = 0; i < n; ++i) {
        const uint8_t pq = RefAverage(p[i], q[i], i, n);
        t[i] = xFirst ? RefAverage(x[i], pq, i, n) : RefAverage(pq, x[i], i, n);
    }
}
void DefBlendKeep(uint8_t* t, const uint8_t* x, uint8_t* p, const uint8_t* q, size_t n, bool xFirst,
                  uint8_t* keep, const uint8_t* s) {
    DefAverageNested(t, x, p, q, n, xFirst);
    std::copy(x, x + n, keep);
    if (s != nullptr) std::copy(s, s + n, p);
}
void DefYcExpand(uint8_t* t, const uint8_t* s, size_t n, bool lumaOnEven) {
    for (size_t i = 0; i < n; ++i) t[i] = Table(s[i], i, lumaOnEven);
}
void DefCopy(uint8_t* t, const uint8_t* s, size_t n) { std::copy(s, s + n, t); }
void DefFinish() {}
using Expand = TwoPassExpand<DefAverage, DefAverageNested, DefBlendKeep, DefYcExpand>;

}  // namespace

const RowKernels kDefinitionKernels = {
    DefAverage,
    DefSharpen,
    DefSharpenAverage,
    DefAverageNested,
    DefBlendKeep,
    DefYcExpand,
    DefAverageNested,
    DefBlendKeep,
    DefSharpenAverage,
    DefFinish,
    Expand::AverageExpand,
    Expand::AverageNestedExpand,
    Expand::BlendKeepExpand,
    nullptr,
    nullptr,
    DefAverage,
    DefCopy,
};

namespace {

using Rows = std::vector<std::vector<uint8_t>>;

struct Geometry {
    int64_t r = 0, p = 0, h = 0;  // h: rows the source really holds, at most the header's
    size_t l = 0;
    bool flip = false;
    uint8_t* out = nullptr;
    size_t outSize = 0;
};

void RowAverage(uint8_t* t, const uint8_t* a, const uint8_t* b, size_t n) {
    for (size_t i = 0; i < n; ++i) t[i] = RefAverage(a[i], b[i], i, n);
}

// Writes picture row y to the target with orientation and padding, when it fits entirely.
void PutRow(const Geometry& g, int64_t y, const uint8_t* row, bool expand, int32_t layout) {
    const int64_t o = g.flip ? g.h - 1 - y : y;
    const size_t off = static_cast<size_t>(o * (g.r + g.p));
    if (off + static_cast<size_t>(g.r) > g.outSize) return;
    if (expand) {
        RefYcExpand(g.out + off, row, static_cast<size_t>(g.r), layout);
    } else {
        std::memcpy(g.out + off, row, static_cast<size_t>(g.r));
    }
}

size_t Produced(const Geometry& g) {
    int64_t fit = 0;
    while (fit < g.h && static_cast<size_t>(fit * (g.r + g.p) + g.r) <= g.outSize) ++fit;
    return fit == 0 ? 0 : std::min(static_cast<size_t>(fit * (g.r + g.p)), g.outSize);
}

size_t CopyFrame(const Geometry& g, const uint8_t* src, bool expand, int32_t layout) {
    if (!g.flip && g.p == 0) {
        size_t n = g.l;
        if (n > g.outSize) n = g.outSize / static_cast<size_t>(g.r) * static_cast<size_t>(g.r);
        if (expand) {
            RefYcExpand(g.out, src, n, layout);
        } else {
            std::memcpy(g.out, src, n);
        }
        return n;
    }
    for (int64_t y = 0; y < g.h; ++y) PutRow(g, y, src + y * g.r, expand, layout);
    return Produced(g);
}

Rows ReadRows(const uint8_t* s, int64_t r, int64_t h) {
    Rows rows;
    for (int64_t y = 0; y < h; ++y) rows.emplace_back(s + y * r, s + (y + 1) * r);
    return rows;
}

std::vector<uint8_t> Avg(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::vector<uint8_t> t(a.size());
    RowAverage(t.data(), a.data(), b.data(), a.size());
    return t;
}

// Linear interpolation of one field; also the even and odd field pictures.
Rows Linear(const Rows& s, int field) {
    const int64_t h = static_cast<int64_t>(s.size());
    Rows t(s.size());
    for (int64_t y = 0; y < h; ++y) {
        const bool own = (y % 2) == field;
        t[y] = (own || y == 0 || y == h - 1) ? s[y] : Avg(s[y - 1], s[y + 1]);
    }
    return t;
}

Rows Simple(const Rows& s, int field) {
    const int64_t h = static_cast<int64_t>(s.size());
    Rows t(s.size());
    for (int64_t y = 0; y < h; ++y) {
        if ((y % 2) == field || y == 0 || (y == h - 1 && h % 2 == 1)) {
            t[y] = s[y];
        } else {
            t[y] = s[y - 1];
        }
    }
    return t;
}

Rows Sharpen(const Rows& b) {
    const int64_t h = static_cast<int64_t>(b.size());
    Rows t(b.size());
    auto sharpen = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& c) {
        std::vector<uint8_t> r(a.size());
        for (size_t i = 0; i < a.size(); ++i) r[i] = RefSharpen(a[i], c[i]);
        return r;
    };
    if (h == 1) t[0] = b[0];
    for (int64_t y = 0; h >= 2 && y < h; ++y) {
        if (y == 0) {
            t[y] = sharpen(b[0], b[1]);
        } else if (y == h - 1) {
            t[y] = sharpen(b[h - 1], b[h - 2]);
        } else {
            t[y] = sharpen(b[y], Avg(b[y - 1], b[y + 1]));
        }
    }
    return t;
}

}  // namespace

uint8_t* CReferencePipeline::Request(int i, size_t n) {
    if (n == 0) return nullptr;
    if (buffers_[i].size() != n) buffers_[i].assign(n, 0x80);
    return buffers_[i].data();
}

size_t CReferencePipeline::Transform(const FrameBuffers& buffers, const PictureHeader& input,
                                     const PictureHeader& output, const TransformSettings& settings,
                                     int32_t firstField, const CpuFeatures& cpu) {
    if (buffers.input == nullptr || buffers.output == nullptr) return 0;
    Geometry g;
    g.r = int64_t{input.width} * input.bitCount / 8;
    if (g.r <= 0) return 0;
    g.l = buffers.inputLength;
    g.h = std::min<int64_t>(std::llabs(int64_t{input.height}),
                            static_cast<int64_t>(g.l / static_cast<size_t>(g.r)));
    g.p = std::max<int64_t>(int64_t{output.width} - input.width, 0) * input.bitCount / 8;
    g.flip = (settings.flipVertical != 0) != (output.compression == 0 && output.height < 0);
    g.out = buffers.output;
    g.outSize = buffers.outputSize;
    const uint8_t* in = buffers.input;

    if (!(cpu.mmx && cpu.sse && cpu.sse2)) return CopyFrame(g, in, false, 0);
    if (g.l % static_cast<size_t>(g.r) != 0) return CopyFrame(g, in, false, 0);
    const int32_t yc = (settings.ycExpand == 1 || settings.ycExpand == 2) ? settings.ycExpand : 0;
    const int32_t m = settings.copyMode;
    if (m == 0 || m == 6 || input.bitCount % 8 != 0) return CopyFrame(g, in, yc != 0, yc);

    const bool first = firstField != 0;
    const int field = settings.fieldOrder == 1 ? (first ? 1 : 0) : (first ? 0 : 1);
    const bool sharp = m == 3 || m == 5;

    // Deinterlaces S into a full picture; nullopt-like empty result when a buffer is missing.
    auto deinterlace = [&](const uint8_t* s, bool& ok) -> Rows {
        const Rows rows = ReadRows(s, g.r, g.h);
        ok = true;
        if (m == 1) return Simple(rows, field);
        if (m == 2 || m == 3) return Linear(rows, field);
        if (m == 4 || m == 5) {
            uint8_t* b1 = Request(1, g.l);
            uint8_t* b2 = Request(2, g.l);
            if (b1 == nullptr || b2 == nullptr) {
                ok = false;
                return {};
            }
            auto store = [&](uint8_t* b, const Rows& pic) {
                for (int64_t y = 0; y < g.h; ++y) std::memcpy(b + y * g.r, pic[y].data(), g.r);
            };
            store(field == 0 ? b1 : b2, Linear(rows, field));
            Rows t = ReadRows(b1, g.r, g.h);
            const Rows odd = ReadRows(b2, g.r, g.h);
            for (int64_t y = 0; y < g.h; ++y) t[y] = Avg(t[y], odd[y]);
            if (settings.frameMode != 2) store(field == 0 ? b2 : b1, Linear(rows, 1 - field));
            return t;
        }
        return rows;
    };
    auto put = [&](const Rows& t) {
        for (int64_t y = 0; y < g.h; ++y) PutRow(g, y, t[y].data(), false, 0);
        return Produced(g);
    };

    const bool deint = m >= 1 && m <= 5;
    if (yc != 0 || sharp) {
        uint8_t* b0 = Request(0, g.l);
        if (b0 == nullptr) return 0;
        bool ok = true;
        if (sharp) {
            const Rows d = deinterlace(in, ok);
            if (!ok) return 0;
            for (int64_t y = 0; y < g.h; ++y) std::memcpy(b0 + y * g.r, d[y].data(), g.r);
            if (yc != 0) RefYcExpand(b0, b0, g.l, yc);
            return put(Sharpen(ReadRows(b0, g.r, g.h)));
        }
        RefYcExpand(b0, in, g.l, yc);
        if (!deint) {
            Geometry whole = g;
            if (!g.flip && g.p == 0) whole.h = static_cast<int64_t>(g.l / g.r);
            return CopyFrame(whole, b0, false, 0);
        }
        const Rows d = deinterlace(b0, ok);
        return ok ? put(d) : 0;
    }
    if (!deint) return CopyFrame(g, in, false, 0);
    bool ok = true;
    const Rows d = deinterlace(in, ok);
    return ok ? put(d) : 0;
}

}  // namespace lumoka::test
