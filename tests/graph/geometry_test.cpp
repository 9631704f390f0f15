#include "graph/Geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(FitSize, FixedPairInCorner) {
    IntSize native{720, 480};
    const IntSize fit = FitSize({4, 3}, native, 800, 450, true, true);
    EXPECT_EQ(fit.cx, 600);
    EXPECT_EQ(fit.cy, 450);
    const IntRect dest = CentredRect(800, 450, fit);
    EXPECT_EQ(dest, (IntRect{100, 0, 700, 450}));
    const IntSize wide = FitSize({16, 9}, native, 800, 450, true, true);
    EXPECT_EQ(wide.cx, 800);
    EXPECT_EQ(wide.cy, 450);
}

TEST(FitSize, NativePairTruncates) {
    IntSize native{720, 480};
    const IntSize fit = FitSize(kAspectNative, native, 640, 480, true, true);
    EXPECT_EQ(fit.cx, 640);
    EXPECT_EQ(fit.cy, 426);
    EXPECT_EQ(CentredRect(640, 480, fit), (IntRect{0, 27, 640, 453}));
}

TEST(FitSize, FitPairFillsTheArea) {
    IntSize native{720, 480};
    for (AspectPair pair : {kAspectFit, AspectPair{0, 5}, AspectPair{3, -3}}) {
        const IntSize fit = FitSize(pair, native, 1000, 300, true, false);
        EXPECT_EQ(fit.cx, 1000);
        EXPECT_EQ(fit.cy, 300);
    }
}

TEST(FitSize, NonCornerForms) {
    IntSize native{720, 480};
    // Height drives: the width for the given height, even when it exceeds the area.
    IntSize fit = FitSize({16, 9}, native, 100, 450, false, true);
    EXPECT_EQ(fit.cx, 800);
    EXPECT_EQ(fit.cy, 450);
    // Width drives.
    fit = FitSize({4, 3}, native, 640, 10, false, false);
    EXPECT_EQ(fit.cx, 640);
    EXPECT_EQ(fit.cy, 480);
}

TEST(FitSize, NativeSizeBelowOneIsRaised) {
    IntSize native{0, -3};
    const IntSize fit = FitSize(kAspectNative, native, 200, 100, true, true);
    EXPECT_EQ(native.cx, 1);
    EXPECT_EQ(native.cy, 1);
    EXPECT_EQ(fit.cx, 100);
    EXPECT_EQ(fit.cy, 100);
    // A fixed pair leaves the native size alone.
    IntSize untouched{0, 0};
    FitSize({4, 3}, untouched, 200, 100, true, true);
    EXPECT_EQ(untouched.cx, 0);
}

TEST(AspectPairFromSetting, Values) {
    auto check = [](int32_t v, int32_t x, int32_t y) {
        const AspectPair p = AspectPairFromSetting(v);
        EXPECT_EQ(p.x, x) << v;
        EXPECT_EQ(p.y, y) << v;
    };
    check(0, -1, -1);
    check(1, 4, 3);
    check(2, 16, 9);
    check(3, 40, 33);
    check(4, 10, 11);
    check(100, -2, -2);
    check(5, -1, -1);
    check(-7, -1, -1);
}

TEST(CroppedSource, PixelsAndFractions) {
    const CropRect crop{8, 0, 8, 0};
    EXPECT_EQ(CroppedSource(crop, 720, 480), (IntRect{8, 0, 712, 480}));
    const NormRect n = CroppedSourceNormalized(crop, 720, 480);
    EXPECT_FLOAT_EQ(n.left, 8.0f / 720.0f);
    EXPECT_FLOAT_EQ(n.right, 712.0f / 720.0f);
    EXPECT_FLOAT_EQ(n.top, 0.0f);
    EXPECT_FLOAT_EQ(n.bottom, 1.0f);
    const NormRect whole = CroppedSourceNormalized({4, 4, 4, 4}, 0, 0);
    EXPECT_FLOAT_EQ(whole.left, 0.0f);
    EXPECT_FLOAT_EQ(whole.right, 1.0f);
    EXPECT_FLOAT_EQ(whole.top, 0.0f);
    EXPECT_FLOAT_EQ(whole.bottom, 1.0f);
}

TEST(BorderRects, CoverClientMinusDestination) {
    const IntRect client{0, 0, 800, 450};
    const auto sides = BorderRects(client, {100, 0, 700, 450});
    ASSERT_EQ(sides.size(), 2u);
    EXPECT_EQ(sides[0], (IntRect{0, 0, 100, 450}));
    EXPECT_EQ(sides[1], (IntRect{700, 0, 800, 450}));
    const auto bands = BorderRects({0, 0, 640, 480}, {0, 27, 640, 453});
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0], (IntRect{0, 0, 640, 27}));
    EXPECT_EQ(bands[1], (IntRect{0, 453, 640, 480}));
    EXPECT_TRUE(BorderRects(client, client).empty());
    // The borders and the destination together cover every pixel exactly once.
    const IntRect dest{10, 20, 300, 200};
    int64_t area = static_cast<int64_t>(dest.Width()) * dest.Height();
    for (const IntRect& r : BorderRects(client, dest)) area += int64_t{r.Width()} * r.Height();
    EXPECT_EQ(area, 800 * 450);
    // A destination outside the client leaves the whole client as border.
    const auto all = BorderRects(client, {900, 0, 1000, 10});
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], client);
}

}  // namespace
