// Row and frame operations: known values, the two tables, and every fast kernel against the
// scalar definition.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "ReferencePipeline.h"
#include "TestSupport.h"
#include "filter/pipeline/PixelKernels.h"
#include "filter/pipeline/PixelOps.h"

namespace lumoka::test {
namespace {

using Bytes = std::vector<uint8_t>;

class PixelOpsLevels : public testing::TestWithParam<SimdLevel> {
protected:
    void SetUp() override { SKIP_UNLESS_SUPPORTED(GetParam()); }
};

TEST_P(PixelOpsLevels, YcExpansionKnownValues) {
    const SimdLevel level = GetParam();
    struct Case {
        int32_t layout;
        Bytes in, out;
    } cases[] = {
        {2, {16, 128, 235, 240}, {0, 128, 255, 255}},
        {1, {16, 128, 235, 240}, {1, 131, 250, 255}},
        {2, {16, 128, 235, 240, 7, 9}, {0, 128, 255, 255, 7, 9}},  // last 2 bytes kept
        {2, {16, 128, 235}, {16, 128, 235}},                       // no whole group
    };
    for (const Case& c : cases) {
        Bytes t = c.in;
        YcExpandInPlace(t.data(), t.size(), c.layout, level);
        EXPECT_EQ(t, c.out) << "layout " << c.layout << " n " << c.in.size();
    }
    Bytes t(6, 0xEE);
    const Bytes in = {16, 128, 235, 240, 1, 2};
    YcExpand(t.data(), in.data(), in.size(), 2, level);
    EXPECT_EQ(t, (Bytes{0, 128, 255, 255, 0xEE, 0xEE})) << "copying form writes whole groups";
    YcExpand(t.data(), in.data(), in.size(), 3, level);
    EXPECT_EQ(t, (Bytes{0, 128, 255, 255, 0xEE, 0xEE})) << "unknown layout writes nothing";
}

TEST_P(PixelOpsLevels, AverageKnownValues) {
    const SimdLevel level = GetParam();
    struct Case {
        uint8_t a, b;
        size_t n;
        uint8_t want;
    } cases[] = {
        {10, 13, 16, 11},  {10, 13, 15, 11},  {0, 1, 16, 0},     {0, 1, 15, 0},
        {0, 255, 15, 128}, {0, 255, 16, 127}, {255, 0, 15, 126}, {255, 0, 32, 127},
    };
    for (const Case& c : cases) {
        const Bytes a(c.n, c.a), b(c.n, c.b);
        Bytes t(c.n);
        RowAverage(t.data(), a.data(), b.data(), c.n, level);
        EXPECT_EQ(t, Bytes(c.n, c.want)) << int(c.a) << "," << int(c.b) << " n " << c.n;
    }
    // 17 bytes: 16 block bytes, then one tail byte with the other formula.
    const Bytes a(17, 0), b(17, 255);
    Bytes t(17);
    RowAverage(t.data(), a.data(), b.data(), 17, level);
    EXPECT_EQ(t[15], 127);
    EXPECT_EQ(t[16], 128);
}

TEST_P(PixelOpsLevels, SharpenKnownValues) {
    const Bytes a = {200, 40, 100, 0, 255, 128, 7, 200, 40, 100, 0};
    const Bytes b = {100, 100, 120, 0, 0, 128, 3, 100, 100, 120, 255};
    const Bytes want = {255, 0, 80, 0, 255, 128, 11, 255, 0, 80, 0};
    Bytes t(a.size());
    RowSharpen(t.data(), a.data(), b.data(), a.size(), GetParam());
    EXPECT_EQ(t, want);
}

TEST_P(PixelOpsLevels, YcExpansionReproducesBothTablesWhole) {
    // Every byte value at both parities in both layouts, in a row long enough for every
    // register width.
    Bytes s(512);
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>(i / 2);
    for (bool lumaOnEven : {false, true}) {
        Bytes t(s.size());
        KernelsFor(GetParam()).ycExpand(t.data(), s.data(), s.size(), lumaOnEven);
        for (size_t i = 0; i < s.size(); ++i) {
            const bool luma = (i % 2 == 0) == lumaOnEven;
            ASSERT_EQ(t[i], luma ? RefLuma(s[i]) : kRefChroma[s[i]])
                << "value " << int(s[i]) << (luma ? " luma" : " chroma");
        }
    }
}

// The direct sharpened blend rows against the blends and the sharpened average they stand for,
// built from the byte-at-a-time definitions (both field orders, target streamed or not).
void CheckDirectSharpBlend(const RowKernels& fast, std::mt19937& rng, size_t n, size_t off,
                           int iter) {
    const RowKernels& ref = kDefinitionKernels;
    std::vector<Bytes> r;
    for (int i = 0; i < 5; ++i) r.push_back(RandomBytes(rng, n + off));
    const uint8_t *s = &r[0][off], *su = &r[1][off], *sd = &r[2][off];
    const uint8_t *o = &r[3][off], *od = &r[4][off];
    const Bytes renewRow = RandomBytes(rng, n + off);
    for (bool even : {false, true}) {
        const bool toFrame = (iter & 1) != 0;
        Bytes b(n + 1), bu(n + 1), bd(n + 1), want(n + off + 1, 0x5A), got = want;
        Bytes keep(n + off, 0), ouWant = r[1], ouGot = r[1];
        ref.averageNested(b.data(), s, o, od, n, even);
        ref.averageNested(bu.data(), o, su, s, n, !even);
        ref.averageNested(bd.data(), od, s, sd, n, !even);
        ref.sharpenAverage(&want[off], b.data(), bu.data(), bd.data(), n);
        fast.blendSharpCurrent(&got[off], s, su, sd, o, od, n, even, &keep[off], toFrame);
        fast.finishFrame();
        ASSERT_EQ(got, want) << "blendSharpCurrent n " << n << " offset " << off;
        ASSERT_EQ(Bytes(keep.begin() + off, keep.end()), Bytes(r[0].begin() + off, r[0].end()));
        // The other field's row: o = O[y], ou = O[y - 2] (renewed), od = O[y + 2].
        ref.averageNested(b.data(), o, su, sd, n, !even);
        ref.averageNested(bu.data(), su, &ouWant[off], o, n, even);
        ref.averageNested(bd.data(), sd, o, od, n, even);
        ref.sharpenAverage(&want[off], b.data(), bu.data(), bd.data(), n);
        const bool renew = (iter & 2) != 0;
        if (renew) std::copy(renewRow.begin() + off, renewRow.end(), ouWant.begin() + off);
        fast.blendSharpOther(&got[off], o, &ouGot[off], od, su, sd, n, even,
                             renew ? &renewRow[off] : nullptr, toFrame);
        fast.finishFrame();
        ASSERT_EQ(got, want) << "blendSharpOther n " << n << " offset " << off;
        ASSERT_EQ(ouGot, ouWant) << "blendSharpOther renewed row, n " << n;
    }
}

// Each set's kernels, the scalar one included, against the byte-at-a-time definitions on random
// rows of awkward lengths at unaligned addresses, with a guard byte after the target.
TEST_P(PixelOpsLevels, KernelsMatchTheDefinitions) {
    const RowKernels& fast = KernelsFor(GetParam());
    const RowKernels& ref = kDefinitionKernels;
    std::mt19937 rng(1234);
    for (int iter = 0; iter < 400; ++iter) {
        const size_t n = iter < 200 ? static_cast<size_t>(iter) : rng() % 5000;
        const size_t off = rng() % 64;
        const Bytes a = RandomBytes(rng, n + off), b = RandomBytes(rng, n + off),
                    c = RandomBytes(rng, n + off);
        Bytes want(n + off + 1, 0x5A), got(n + off + 1, 0x5A);
        auto check = [&](const char* what) {
            ASSERT_EQ(got, want) << what << " n " << n << " offset " << off;
        };
        ref.average(&want[off], &a[off], &b[off], n);
        fast.average(&got[off], &a[off], &b[off], n);
        check("average");
        ref.sharpen(&want[off], &a[off], &b[off], n);
        fast.sharpen(&got[off], &a[off], &b[off], n);
        check("sharpen");
        ref.sharpenAverage(&want[off], &a[off], &b[off], &c[off], n);
        fast.sharpenAverage(&got[off], &a[off], &b[off], &c[off], n);
        check("sharpenAverage");
        for (bool xFirst : {false, true}) {
            const Bytes d = RandomBytes(rng, n + off);
            ref.averageNested(&want[off], &a[off], &c[off], &d[off], n, xFirst);
            fast.averageNested(&got[off], &a[off], &c[off], &d[off], n, xFirst);
            check(xFirst ? "averageNested x first" : "averageNested x last");
        }
        for (bool renew : {false, true}) {
            const Bytes d = RandomBytes(rng, n + off), e = RandomBytes(rng, n + off);
            Bytes pWant = d, pGot = d, keepWant(n + off), keepGot(n + off);
            ref.blendKeep(&want[off], &a[off], &pWant[off], &c[off], n, renew, &keepWant[off],
                          renew ? &e[off] : nullptr);
            fast.blendKeep(&got[off], &a[off], &pGot[off], &c[off], n, renew, &keepGot[off],
                           renew ? &e[off] : nullptr);
            check("blendKeep");
            ASSERT_EQ(pGot, pWant) << "blendKeep renewed row, n " << n;
            ASSERT_EQ(keepGot, keepWant) << "blendKeep kept row, n " << n;
        }
        // The frame-row forms, whose stores follow the target's cache lines: the offset moves
        // the first line boundary through the row.
        for (bool xFirst : {false, true}) {
            const Bytes d = RandomBytes(rng, n + off);
            ref.averageNested(&want[off], &a[off], &c[off], &d[off], n, xFirst);
            fast.averageNestedToFrame(&got[off], &a[off], &c[off], &d[off], n, xFirst);
            check("averageNestedToFrame");
            const Bytes e = RandomBytes(rng, n + off);
            const bool renew = (iter & 2) != 0;
            Bytes pWant = d, pGot = d, keepWant(n + off), keepGot(n + off);
            ref.blendKeep(&want[off], &a[off], &pWant[off], &c[off], n, xFirst, &keepWant[off],
                          renew ? &e[off] : nullptr);
            fast.blendKeepToFrame(&got[off], &a[off], &pGot[off], &c[off], n, xFirst, &keepGot[off],
                                  renew ? &e[off] : nullptr);
            check("blendKeepToFrame");
            ASSERT_EQ(pGot, pWant) << "blendKeepToFrame renewed row, n " << n;
            ASSERT_EQ(keepGot, keepWant) << "blendKeepToFrame kept row, n " << n;
        }
        ref.sharpenAverage(&want[off], &a[off], &b[off], &c[off], n);
        fast.sharpenAverageToFrame(&got[off], &a[off], &b[off], &c[off], n);
        fast.finishFrame();
        check("sharpenAverageToFrame");
        ref.average(&want[off], &a[off], &b[off], n);
        fast.averageToFrame(&got[off], &a[off], &b[off], n);
        fast.finishFrame();
        check("averageToFrame");
        ref.copyToFrame(&want[off], &c[off], n);
        fast.copyToFrame(&got[off], &c[off], n);
        fast.finishFrame();
        check("copyToFrame");
        // The expanding forms against the two scalar passes they stand for.
        for (bool lumaOnEven : {false, true}) {
            const bool xFirst = (iter & 4) != 0;
            ref.average(&want[off], &a[off], &b[off], n);
            ref.ycExpand(&want[off], &want[off], n, lumaOnEven);
            fast.averageExpand(&got[off], &a[off], &b[off], n, lumaOnEven);
            check("averageExpand");
            ref.averageNested(&want[off], &a[off], &b[off], &c[off], n, xFirst);
            ref.ycExpand(&want[off], &want[off], n, lumaOnEven);
            fast.averageNestedExpand(&got[off], &a[off], &b[off], &c[off], n, xFirst, lumaOnEven);
            check("averageNestedExpand");
            const Bytes d = RandomBytes(rng, n + off), e = RandomBytes(rng, n + off);
            const bool renew = (iter & 8) != 0;
            Bytes pWant = d, pGot = d, keepWant(n + off), keepGot(n + off);
            ref.blendKeep(&want[off], &a[off], &pWant[off], &c[off], n, xFirst, &keepWant[off],
                          renew ? &e[off] : nullptr);
            ref.ycExpand(&want[off], &want[off], n, lumaOnEven);
            fast.blendKeepExpand(&got[off], &a[off], &pGot[off], &c[off], n, xFirst, &keepGot[off],
                                 renew ? &e[off] : nullptr, lumaOnEven);
            check("blendKeepExpand");
            ASSERT_EQ(pGot, pWant) << "blendKeepExpand renewed row, n " << n;
            ASSERT_EQ(keepGot, keepWant) << "blendKeepExpand kept row, n " << n;
        }
        if (fast.blendSharpCurrent != nullptr) {
            CheckDirectSharpBlend(fast, rng, n, off, iter);
            if (HasFatalFailure()) return;
        }
        const bool lumaOnEven = (iter & 1) != 0;
        ref.ycExpand(&want[off], &a[off], n, lumaOnEven);
        fast.ycExpand(&got[off], &a[off], n, lumaOnEven);
        check("ycExpand");
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, PixelOpsLevels, testing::ValuesIn(kAllLevels), LevelParamName);

TEST(PixelTables, BothTablesWhole) {
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(kLumaTable[x], RefLuma(static_cast<uint8_t>(x))) << x;
        EXPECT_EQ(kChromaTable[x], kRefChroma[x]) << x;
    }
    // The formula's known points, so a slip in the test's own formula shows too.
    EXPECT_EQ(RefLuma(16), 0);
    EXPECT_EQ(RefLuma(17), 1);
    EXPECT_EQ(RefLuma(128), 131);
    EXPECT_EQ(RefLuma(234), 254);
    EXPECT_EQ(RefLuma(235), 255);
}

FrameLayout Layout(const Bytes& src, Bytes& dst, int64_t r, int64_t p, int64_t h, bool flip) {
    FrameLayout f;
    f.source = src.data();
    f.sourceLength = src.size();
    f.target = dst.data();
    f.targetSize = dst.size();
    f.rowBytes = r;
    f.padding = p;
    f.height = h;
    f.flip = flip;
    return f;
}

TEST(FrameCopy, FlipWritesRowsInReverseOrder) {
    const Bytes src = {1, 1, 2, 2, 3, 3};
    for (auto copy : {FrameCopy, FrameCopyBytewise}) {
        Bytes dst(6, 0);
        EXPECT_EQ(copy(Layout(src, dst, 2, 0, 3, true)), 6u);
        EXPECT_EQ(dst, (Bytes{3, 3, 2, 2, 1, 1}));
    }
}

TEST(FrameCopy, PaddingBytesAreNeverWritten) {
    std::mt19937 rng(7);
    const int64_t r = 40, p = 32, h = 5;
    const Bytes src = RandomBytes(rng, r * h);
    for (bool flip : {false, true}) {
        for (int variant = 0; variant < 3; ++variant) {
            Bytes dst((r + p) * h, 0xC3);
            const FrameLayout f = Layout(src, dst, r, p, h, flip);
            const size_t n = variant == 0   ? FrameCopy(f)
                             : variant == 1 ? FrameCopyBytewise(f)
                                            : YcFrameCopy(f, 2, SimdLevel::kSse2);
            EXPECT_EQ(n, dst.size());
            for (int64_t y = 0; y < h; ++y) {
                const int64_t o = flip ? h - 1 - y : y;
                for (int64_t i = 0; i < p; ++i) ASSERT_EQ(dst[o * (r + p) + r + i], 0xC3);
                if (variant < 2) {
                    ASSERT_EQ(0, std::memcmp(&dst[o * (r + p)], &src[y * r], r)) << y;
                }
            }
        }
    }
}

TEST(FrameCopy, YcRowsAreExpandedSeparatelyWithFlip) {
    // Rows of 6 bytes: with flip each row is its own run, so its last 2 bytes stay unwritten.
    const Bytes src = {16, 128, 235, 240, 16, 16, 235, 128, 16, 240, 235, 235};
    Bytes dst(12, 0xEE);
    EXPECT_EQ(YcFrameCopy(Layout(src, dst, 6, 0, 2, true), 2, SimdLevel::kSse2), 12u);
    EXPECT_EQ(dst, (Bytes{255, 128, 0, 255, 0xEE, 0xEE, 0, 128, 255, 255, 0xEE, 0xEE}));
    // Without flip the frame is one run: the groups straddle the rows.
    Bytes run(12, 0xEE);
    EXPECT_EQ(YcFrameCopy(Layout(src, run, 6, 0, 2, false), 2, SimdLevel::kSse2), 12u);
    EXPECT_EQ(run, (Bytes{0, 128, 255, 255, 0, 1, 255, 128, 0, 255, 255, 250}));
}

TEST(FrameCopy, ShortTargetGetsOnlyWholeRows) {
    const Bytes src(40, 9);
    for (bool flip : {false, true}) {
        Bytes dst(35, 0);  // 3 rows of 10 fit, the fourth does not
        const size_t n = FrameCopy(Layout(src, dst, 10, 0, 4, flip));
        EXPECT_EQ(n, 30u);
        for (size_t i = 0; i < 35; ++i) ASSERT_EQ(dst[i], i < 30 ? 9 : 0) << i;
    }
}

}  // namespace
}  // namespace lumoka::test
