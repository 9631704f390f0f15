// The frame pipeline: row mappings of each mode, blend state, the sharpen pass, fallbacks,
// bounds, and every instruction-set path against the plain reference over frame sequences.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ReferencePipeline.h"
#include "TestSupport.h"
#include "filter/pipeline/FramePipeline.h"

namespace lumoka::test {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kYuy2 = 0x32595559;

struct Shot {
    PictureHeader in{8, 6, 16, kYuy2};
    PictureHeader out{8, 6, 16, kYuy2};
    TransformSettings settings;
    int32_t firstField = 1;
    CpuFeatures cpu = FeaturesFor(SimdLevel::kSse2);
};

struct Result {
    Bytes out;
    size_t produced = 0;
};

// Runs one delivery into an output buffer of exactly outSize bytes filled with `fill`.
Result Deliver(CFramePipeline& p, const Bytes& input, const Shot& s, size_t outSize,
               uint8_t fill = 0xEE) {
    Result r;
    r.out.assign(outSize, fill);
    FrameBuffers b{input.data(), input.size(), r.out.data(), r.out.size()};
    r.produced = p.Transform(b, s.in, s.out, s.settings, s.firstField, s.cpu);
    return r;
}

// A frame of h rows of r bytes, random but with every row distinct.
Bytes MakeFrame(std::mt19937& rng, int64_t r, int64_t h) { return RandomBytes(rng, r * h); }

Bytes Row(const Bytes& f, int64_t r, int64_t y) { return Bytes(&f[y * r], &f[(y + 1) * r]); }

Bytes Avg(const Bytes& a, const Bytes& b) {
    Bytes t(a.size());
    for (size_t i = 0; i < a.size(); ++i) t[i] = RefAverage(a[i], b[i], i, a.size());
    return t;
}

// Expected rows by source row index (-1 - k for "average of rows k and k + 2").
void ExpectRows(const Result& res, const Bytes& src, int64_t r, const std::vector<int>& map,
                bool flip) {
    const int64_t h = static_cast<int64_t>(map.size());
    for (int64_t y = 0; y < h; ++y) {
        const int64_t o = flip ? h - 1 - y : y;
        const Bytes want = map[y] >= 0 ? Row(src, r, map[y])
                                       : Avg(Row(src, r, -1 - map[y]), Row(src, r, 1 - map[y]));
        EXPECT_EQ(Row(res.out, r, o), want) << "output row " << y;
    }
}

TEST(FramePipelineModes, LinearTopFirstH6) {
    std::mt19937 rng(1);
    const Bytes src = MakeFrame(rng, 16, 6);
    for (int flip : {0, 1}) {
        CFramePipeline p;
        Shot s;
        s.settings.copyMode = kCopyModeLinear;
        s.settings.flipVertical = flip;
        const Result res = Deliver(p, src, s, src.size());
        EXPECT_EQ(res.produced, src.size());
        // Rows 0, 2, 4 copied; 1 = avg(0, 2); 3 = avg(2, 4); 5 copied.
        ExpectRows(res, src, 16, {0, -1, 2, -3, 4, 5}, flip != 0);
    }
}

TEST(FramePipelineModes, SimpleBottomFirstH6) {
    std::mt19937 rng(2);
    const Bytes src = MakeFrame(rng, 16, 6);
    for (int flip : {0, 1}) {
        CFramePipeline p;
        Shot s;
        s.settings.copyMode = kCopyModeSimple;
        s.settings.fieldOrder = kFieldOrderBottomFirst;
        s.settings.flipVertical = flip;
        ExpectRows(Deliver(p, src, s, src.size()), src, 16, {0, 1, 1, 3, 3, 5}, flip != 0);
    }
}

TEST(FramePipelineModes, SecondFieldOfDoubleShowsTheOtherField) {
    std::mt19937 rng(3);
    const Bytes src = MakeFrame(rng, 16, 6);
    CFramePipeline p;
    Shot s;
    s.settings.copyMode = kCopyModeSimple;
    s.settings.frameMode = kFrameModeDouble;
    ExpectRows(Deliver(p, src, s, src.size()), src, 16, {0, 0, 2, 2, 4, 4}, false);
    s.firstField = 0;
    ExpectRows(Deliver(p, src, s, src.size()), src, 16, {0, 1, 1, 3, 3, 5}, false);
}

TEST(FramePipelineModes, BottomUpOutputFlipsAndFlipSettingUndoesIt) {
    std::mt19937 rng(4);
    const Bytes src = MakeFrame(rng, 24, 4);  // RGB24, 8 pixels
    for (int flip : {0, 1}) {
        CFramePipeline p;
        Shot s;
        s.in = {8, 4, 24, 0};
        s.out = {8, -4, 24, 0};
        s.settings.copyMode = kCopyModeSimple;
        s.settings.flipVertical = flip;
        ExpectRows(Deliver(p, src, s, src.size()), src, 24, {0, 0, 2, 2}, flip == 0);
    }
}

TEST(FramePipelineModes, OddHeightsCopyTheLastRow) {
    std::mt19937 rng(5);
    const Bytes src = MakeFrame(rng, 16, 5);
    struct Case {
        int32_t mode, order;
        std::vector<int> map;
    } cases[] = {
        {kCopyModeSimple, kFieldOrderTopFirst, {0, 0, 2, 2, 4}},
        {kCopyModeSimple, kFieldOrderBottomFirst, {0, 1, 1, 3, 4}},
        {kCopyModeLinear, kFieldOrderTopFirst, {0, -1, 2, -3, 4}},
        {kCopyModeLinear, kFieldOrderBottomFirst, {0, 1, -2, 3, 4}},
    };
    for (const Case& c : cases) {
        CFramePipeline p;
        Shot s;
        s.in.height = s.out.height = 5;
        s.settings.copyMode = c.mode;
        s.settings.fieldOrder = c.order;
        ExpectRows(Deliver(p, src, s, src.size()), src, 16, c.map, false);
    }
}

TEST(FramePipelineModes, SharpenOfASingleRowCopiesIt) {
    std::mt19937 rng(6);
    const Bytes src = MakeFrame(rng, 16, 1);
    for (int32_t mode : {kCopyModeLinearSharp, kCopyModeBlendSharp}) {
        CFramePipeline p;
        Shot s;
        s.in.height = s.out.height = 1;
        s.settings.copyMode = mode;
        const Result res = Deliver(p, src, s, 16);
        const Bytes want = mode == kCopyModeLinearSharp ? src : Avg(src, Bytes(16, 0x80));
        EXPECT_EQ(res.out, want);
    }
}

// E and O field pictures of a 4-row frame.
Bytes EvenPicture(const Bytes& s, int64_t r) {
    Bytes t = s;
    const Bytes a = Avg(Row(s, r, 0), Row(s, r, 2));
    std::copy(a.begin(), a.end(), t.begin() + r);
    return t;
}
Bytes OddPicture(const Bytes& s, int64_t r) {
    Bytes t = s;
    const Bytes a = Avg(Row(s, r, 1), Row(s, r, 3));
    std::copy(a.begin(), a.end(), t.begin() + 2 * r);
    return t;
}
Bytes AvgFrames(const Bytes& a, const Bytes& b, int64_t r) {
    Bytes t;
    for (size_t y = 0; y < a.size() / r; ++y) {
        const Bytes row = Avg(Row(a, r, y), Row(b, r, y));
        t.insert(t.end(), row.begin(), row.end());
    }
    return t;
}

TEST(FramePipelineBlend, SameModeAveragesWithThePreviousFrameAndStartsFromGrey) {
    std::mt19937 rng(7);
    const int64_t r = 16;
    const Bytes f1 = MakeFrame(rng, r, 4), f2 = MakeFrame(rng, r, 4);
    const Bytes grey(f1.size(), 0x80);
    CFramePipeline p;
    Shot s;
    s.in.height = s.out.height = 4;
    s.settings.copyMode = kCopyModeBlend;
    EXPECT_EQ(Deliver(p, f1, s, f1.size()).out, AvgFrames(EvenPicture(f1, r), grey, r));
    EXPECT_EQ(Deliver(p, f2, s, f2.size()).out,
              AvgFrames(EvenPicture(f2, r), OddPicture(f1, r), r));
    Bytes b1, b2;
    p.CopyWorkBuffer(1, b1);
    p.CopyWorkBuffer(2, b2);
    EXPECT_EQ(b1, EvenPicture(f2, r));
    EXPECT_EQ(b2, OddPicture(f2, r));

    CFramePipeline bottom;
    s.settings.fieldOrder = kFieldOrderBottomFirst;
    EXPECT_EQ(Deliver(bottom, f1, s, f1.size()).out, AvgFrames(grey, OddPicture(f1, r), r));
    EXPECT_EQ(Deliver(bottom, f2, s, f2.size()).out,
              AvgFrames(EvenPicture(f1, r), OddPicture(f2, r), r));
}

TEST(FramePipelineBlend, DoubleModeAveragesTheTwoFieldsOfEachOutput) {
    std::mt19937 rng(8);
    const int64_t r = 16;
    const Bytes f1 = MakeFrame(rng, r, 4), f2 = MakeFrame(rng, r, 4);
    const Bytes grey(f1.size(), 0x80);
    CFramePipeline p;
    Shot s;
    s.in.height = s.out.height = 4;
    s.settings.copyMode = kCopyModeBlend;
    s.settings.frameMode = kFrameModeDouble;
    EXPECT_EQ(Deliver(p, f1, s, f1.size()).out, AvgFrames(EvenPicture(f1, r), grey, r));
    s.firstField = 0;
    EXPECT_EQ(Deliver(p, f1, s, f1.size()).out,
              AvgFrames(EvenPicture(f1, r), OddPicture(f1, r), r));
    s.firstField = 1;
    EXPECT_EQ(Deliver(p, f2, s, f2.size()).out,
              AvgFrames(EvenPicture(f2, r), OddPicture(f1, r), r));
}

TEST(FramePipelineBlend, BlendSharpTopRowIsTwiceFirstLessSecond) {
    std::mt19937 rng(9);
    const int64_t r = 16;
    const Bytes f1 = MakeFrame(rng, r, 4);
    CFramePipeline p;
    Shot s;
    s.in.height = s.out.height = 4;
    s.settings.copyMode = kCopyModeBlendSharp;
    const Result res = Deliver(p, f1, s, f1.size());
    const Bytes blended = AvgFrames(EvenPicture(f1, r), Bytes(f1.size(), 0x80), r);
    for (int64_t i = 0; i < r; ++i) {
        EXPECT_EQ(res.out[i], RefSharpen(blended[i], blended[r + i])) << i;
    }
}

TEST(FramePipelineFallbacks, WithoutSse2EverythingIsAPlainCopy) {
    std::mt19937 rng(10);
    const Bytes src = MakeFrame(rng, 16, 6);
    for (int32_t mode = 0; mode <= 6; ++mode) {
        CFramePipeline p;
        Shot s;
        s.cpu = FeaturesFor(SimdLevel::kScalar);
        s.cpu.mmx = s.cpu.sse = true;  // SSE2 alone missing
        s.settings = {mode, kFrameModeSame, kFieldOrderTopFirst, kYCExpandYUY2, 1};
        ExpectRows(Deliver(p, src, s, src.size()), src, 16, {0, 1, 2, 3, 4, 5}, true);
    }
}

TEST(FramePipelineFallbacks, LengthNotAMultipleOfTheRowIsCopied) {
    std::mt19937 rng(11);
    const Bytes src = MakeFrame(rng, 16, 6);
    const Bytes longer(src.begin(), src.begin() + 16 * 5 + 3);
    CFramePipeline p;
    Shot s;
    s.settings.copyMode = kCopyModeLinear;
    s.settings.ycExpand = kYCExpandYUY2;
    const Result res = Deliver(p, longer, s, 96);
    EXPECT_EQ(res.produced, longer.size());
    EXPECT_EQ(Bytes(res.out.begin(), res.out.begin() + longer.size()), longer);
    EXPECT_EQ(res.out[longer.size()], 0xEE);
}

TEST(FramePipelineFallbacks, BitCountNotAMultipleOf8IsOnlyCopied) {
    std::mt19937 rng(12);
    const Bytes src = MakeFrame(rng, 12, 6);  // 8 pixels of 12 bits
    for (int32_t yc : {0, 1}) {
        CFramePipeline p;
        Shot s;
        s.in = s.out = {8, 6, 12, 0x32315659};
        s.settings.copyMode = kCopyModeLinear;
        s.settings.ycExpand = yc;
        Bytes want = src;
        if (yc) RefYcExpand(want.data(), src.data(), src.size(), yc);
        EXPECT_EQ(Deliver(p, src, s, src.size()).out, want);
    }
}

TEST(FramePipelineFallbacks, CopyAndHardwareExpandOrCopy) {
    std::mt19937 rng(13);
    const Bytes src = MakeFrame(rng, 16, 6);
    for (int32_t mode : {int32_t{kCopyModeCopy}, int32_t{kCopyModeHardware}, 7, -1}) {
        for (int32_t yc : {0, 1, 2, 3, -5}) {
            CFramePipeline p;
            Shot s;
            s.settings.copyMode = mode;
            s.settings.ycExpand = yc;
            Bytes want = src;
            if (yc == 1 || yc == 2) RefYcExpand(want.data(), src.data(), src.size(), yc);
            const Result res = Deliver(p, src, s, src.size());
            EXPECT_EQ(res.out, want) << "mode " << mode << " yc " << yc;
            EXPECT_EQ(res.produced, src.size());
        }
    }
}

TEST(FramePipelineFallbacks, UnknownYcValueIsOffInDeinterlaceModes) {
    std::mt19937 rng(14);
    const Bytes src = MakeFrame(rng, 16, 6);
    CFramePipeline a, b;
    Shot s;
    s.settings.copyMode = kCopyModeLinearSharp;
    const Bytes off = Deliver(a, src, s, src.size()).out;
    s.settings.ycExpand = 3;
    EXPECT_EQ(Deliver(b, src, s, src.size()).out, off);
}

TEST(FramePipelineBounds, ShortOutputGetsOnlyTheRowsThatFit) {
    std::mt19937 rng(15);
    const Bytes src = MakeFrame(rng, 16, 6);
    for (int32_t mode = 0; mode <= 6; ++mode) {
        for (int flip : {0, 1}) {
            CFramePipeline full, cut;
            Shot s;
            s.settings.copyMode = mode;
            s.settings.flipVertical = flip;
            s.settings.ycExpand = mode % 3;
            const Bytes whole = Deliver(full, src, s, src.size()).out;
            const Result res = Deliver(cut, src, s, 16 * 3 + 9);  // exact-size heap buffer
            EXPECT_EQ(res.produced, 48u) << mode;
            EXPECT_EQ(Bytes(res.out.begin(), res.out.begin() + 48),
                      Bytes(whole.begin(), whole.begin() + 48));
            EXPECT_EQ(Bytes(res.out.begin() + 48, res.out.end()), Bytes(9, 0xEE));
        }
    }
}

TEST(FramePipelineBounds, ShortInputIsProcessedAsTheRowsItHolds) {
    std::mt19937 rng(16);
    const Bytes three = MakeFrame(rng, 16, 3);  // the header says 6 rows
    for (int32_t mode = 1; mode <= 5; ++mode) {
        CFramePipeline p, q;
        Shot s;
        s.settings.copyMode = mode;
        s.settings.flipVertical = 1;
        const Result res = Deliver(p, three, s, 96);
        Shot t = s;
        t.in.height = t.out.height = 3;
        const Result want = Deliver(q, three, t, 96);
        EXPECT_EQ(res.out, want.out) << mode;
        EXPECT_EQ(res.produced, 48u);
    }
}

TEST(FramePipelineBounds, NothingWrittenWithoutBuffersOrRows) {
    CFramePipeline p;
    Shot s;
    Bytes in(96, 1), out(96, 0xEE);
    EXPECT_EQ(p.Transform({nullptr, 96, out.data(), 96}, s.in, s.out, s.settings, 1, s.cpu), 0u);
    EXPECT_EQ(p.Transform({in.data(), 96, nullptr, 96}, s.in, s.out, s.settings, 1, s.cpu), 0u);
    s.in.width = 0;
    EXPECT_EQ(p.Transform({in.data(), 96, out.data(), 96}, s.in, s.out, s.settings, 1, s.cpu), 0u);
    EXPECT_EQ(out, Bytes(96, 0xEE));
}

// Every path against the plain reference over sequences of frames whose settings and geometry
// change between frames, so that the blend pictures and the staging buffer carry over.
class FramePipelinePaths : public testing::TestWithParam<SimdLevel> {
protected:
    void SetUp() override { SKIP_UNLESS_SUPPORTED(GetParam()); }
};

struct Geometry {
    int32_t width;
    uint16_t bits;
    int32_t height;
};

TEST_P(FramePipelinePaths, MatchReferenceOverSequences) {
    std::mt19937 rng(100 + static_cast<int>(GetParam()));
    // Geometries of the same length (so the buffers stay) with different rows.
    const std::vector<std::vector<Geometry>> families = {
        {{8, 16, 6}, {12, 16, 4}, {16, 16, 3}, {6, 16, 8}, {4, 24, 8}, {3, 32, 8}, {96, 8, 1}},
        {{45, 8, 7}, {21, 24, 5}, {15, 8, 21}, {35, 8, 9}},
        {{720, 16, 5}, {360, 16, 10}, {1200, 24, 2}, {41, 8, 7}},
    };
    const CpuFeatures cpu = FeaturesFor(GetParam());
    for (int seq = 0; seq < 60; ++seq) {
        const auto& family = families[seq % families.size()];
        CFramePipeline fast;
        CReferencePipeline ref;
        Geometry g = family[rng() % family.size()];
        for (int frame = 0; frame < 14; ++frame) {
            if (rng() % 5 == 0) g = family[rng() % family.size()];
            Shot s;
            s.cpu = cpu;
            s.in = {g.width, g.height, g.bits, rng() % 2 ? kYuy2 : 0u};
            s.out = s.in;
            s.out.width += static_cast<int32_t>(rng() % 3 == 0 ? rng() % 5 : 0);
            if (rng() % 3 == 0) s.out.height = -s.out.height;
            s.settings.copyMode = static_cast<int32_t>(rng() % 9) - 1;
            s.settings.frameMode = static_cast<int32_t>(rng() % 3);
            s.settings.fieldOrder = static_cast<int32_t>(rng() % 2);
            s.settings.ycExpand = static_cast<int32_t>(rng() % 4);
            s.settings.flipVertical = static_cast<int32_t>(rng() % 2);
            s.firstField = static_cast<int32_t>(rng() % 2);
            const int64_t r = int64_t{g.width} * g.bits / 8;
            const Bytes src = MakeFrame(rng, r, g.height);
            const int64_t stride = int64_t{s.out.width} * g.bits / 8;
            size_t outSize = static_cast<size_t>(stride * g.height);
            if (rng() % 6 == 0) outSize = rng() % (outSize + 1);
            const uint8_t fill = static_cast<uint8_t>(rng());
            const Result got = Deliver(fast, src, s, outSize, fill);
            Bytes want(outSize, fill);
            FrameBuffers b{src.data(), src.size(), want.data(), want.size()};
            const size_t wantN = ref.Transform(b, s.in, s.out, s.settings, s.firstField, cpu);
            ASSERT_EQ(got.out, want)
                << "sequence " << seq << " frame " << frame << " mode " << s.settings.copyMode
                << " yc " << s.settings.ycExpand << " R " << r << " H " << g.height;
            ASSERT_EQ(got.produced, wantN);
            for (int i = 1; i <= 2; ++i) {
                Bytes mine;
                fast.CopyWorkBuffer(i, mine);
                ASSERT_EQ(mine, ref.WorkBuffer(i)) << "field picture " << i << " frame " << frame;
            }
            Bytes stage;
            fast.CopyWorkBuffer(0, stage);
            const Bytes& refStage = ref.WorkBuffer(0);
            ASSERT_EQ(stage.size(), refStage.size());
            for (size_t i = stage.size() & ~size_t{3}; i < stage.size(); ++i) {
                ASSERT_EQ(stage[i], refStage[i]) << "staging byte " << i;
            }
        }
    }
}

// Frames large enough to be written around the caches, with rows that are not whole cache
// lines (nor whole 16-byte blocks) and geometry changes of the same length, so that field
// pictures stored under one geometry are read back under another.
TEST_P(FramePipelinePaths, LargeFramesMatchReference) {
    std::mt19937 rng(7 + static_cast<int>(GetParam()));
    const CpuFeatures cpu = FeaturesFor(GetParam());
    const Geometry geometries[] = {{1028, 16, 1022}, {2056, 16, 511}, {1022, 16, 1028}};
    CFramePipeline fast;
    CReferencePipeline ref;
    const int32_t modes[] = {kCopyModeBlend, kCopyModeBlendSharp, kCopyModeLinearSharp};
    for (int frame = 0; frame < 8; ++frame) {
        const Geometry g = geometries[frame < 4 ? 0 : rng() % 3];
        Shot s;
        s.cpu = cpu;
        s.in = {g.width, g.height, g.bits, kYuy2};
        s.out = s.in;
        s.out.width += frame % 3 == 2 ? 3 : 0;
        s.settings.copyMode = modes[frame < 4 ? frame % 2 : rng() % 3];
        s.settings.frameMode = static_cast<int32_t>(rng() % 3);
        s.settings.fieldOrder = static_cast<int32_t>(rng() % 2);
        s.settings.ycExpand = static_cast<int32_t>(rng() % 3);
        s.settings.flipVertical = frame % 4 == 3;
        s.firstField = static_cast<int32_t>(rng() % 2);
        const int64_t r = int64_t{g.width} * g.bits / 8;
        const Bytes src = MakeFrame(rng, r, g.height);
        const size_t outSize = static_cast<size_t>(int64_t{s.out.width} * 2 * g.height);
        const Result got = Deliver(fast, src, s, outSize, 0x33);
        Bytes want(outSize, 0x33);
        FrameBuffers b{src.data(), src.size(), want.data(), want.size()};
        const size_t wantN = ref.Transform(b, s.in, s.out, s.settings, s.firstField, cpu);
        ASSERT_EQ(got.out, want) << "frame " << frame << " mode " << s.settings.copyMode;
        ASSERT_EQ(got.produced, wantN);
        for (int i = 1; i <= 2; ++i) {
            Bytes mine;
            fast.CopyWorkBuffer(i, mine);
            ASSERT_EQ(mine, ref.WorkBuffer(i)) << "field picture " << i << " frame " << frame;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllPaths, FramePipelinePaths, testing::ValuesIn(kAllLevels),
                         LevelParamName);

}  // namespace
}  // namespace lumoka::test
