// The main window's sizing rules with the figures a user sees: aspect keeping by dragged edge,
// zoom and fixed sizes, toggles that keep the picture in place, the sizing band, snapping,
// the wheel's volume steps and the delivered frame rate.
#include <gtest/gtest.h>

#include "ui/main/DeliveredRateMeter.h"
#include "ui/main/WindowGeometryRules.h"

namespace {

constexpr FrameMetrics kMetrics{19, 4, 5, 1, 1};
constexpr WindowChrome kFull{1, 1};
constexpr WindowChrome kNoTitle{0, 1};
constexpr WindowChrome kBare{1, 0};

IntRect ClientAt(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

TEST(WindowAdjustment, ThreeStylesAndTheirInverse) {
    const IntRect client = ClientAt(100, 200, 640, 480);
    struct Case {
        WindowChrome chrome;
        IntRect window;
    } cases[] = {
        {kFull, {96, 176, 744, 685}},     // caption 19 on top, frame 4 x 5 all round
        {kNoTitle, {97, 196, 743, 684}},  // frame minus border
        {kBare, client},
        {{0, 0}, client},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClientToWindow(client, c.chrome, kMetrics), c.window);
        EXPECT_EQ(WindowToClient(c.window, c.chrome, kMetrics), client);
    }
}

TEST(KeepAspectWhileSizing, DraggedEdgeDecidesWhatMoves) {
    IntSize native{720, 480};
    struct Case {
        SizingEdge edge;
        IntRect proposedClient;
        IntRect expectedClient;
    } cases[] = {
        // Bottom to 600 rows: the height drives, 800 x 600 from the top-left corner.
        {SizingEdge::Bottom, ClientAt(100, 100, 640, 600), ClientAt(100, 100, 800, 600)},
        // Right edge to 1000 columns: the width drives, 1000 x 750.
        {SizingEdge::Right, ClientAt(100, 100, 1000, 480), ClientAt(100, 100, 1000, 750)},
        // Corner to 1000 x 600: the largest 4:3 inside, 800 x 600.
        {SizingEdge::BottomRight, ClientAt(100, 100, 1000, 600), ClientAt(100, 100, 800, 600)},
        // The opposite sides stay: top edge keeps the bottom, left edge keeps the right.
        {SizingEdge::Top, {100, -20, 740, 580}, {100, -20, 900, 580}},
        {SizingEdge::Left, {-260, 100, 740, 580}, {-260, 100, 740, 850}},
        {SizingEdge::TopLeft, {-260, -20, 740, 580}, {-60, -20, 740, 580}},
        {SizingEdge::TopRight, {100, -20, 1100, 580}, {100, -20, 900, 580}},
        {SizingEdge::BottomLeft, {-260, 100, 740, 700}, {-60, 100, 740, 700}},
        {SizingEdge::None, ClientAt(100, 100, 1000, 600), ClientAt(100, 100, 1000, 600)},
    };
    for (const WindowChrome chrome : {kFull, kNoTitle, kBare}) {
        for (const Case& c : cases) {
            const IntRect proposed = ClientToWindow(c.proposedClient, chrome, kMetrics);
            const IntRect result =
                KeepAspectWhileSizing(proposed, c.edge, {4, 3}, native, chrome, kMetrics);
            EXPECT_EQ(WindowToClient(result, chrome, kMetrics), c.expectedClient)
                << "edge " << static_cast<int>(c.edge) << " chrome " << chrome.titleBar
                << chrome.frame;
        }
    }
    // Fit to window sizes freely.
    const IntRect free = ClientToWindow(ClientAt(0, 0, 1000, 300), kFull, kMetrics);
    EXPECT_EQ(
        KeepAspectWhileSizing(free, SizingEdge::BottomRight, kAspectFit, native, kFull, kMetrics),
        free);
}

TEST(ZoomAndFixedSizes, FiguresOfTheMenu) {
    IntSize native{720, 480};
    const IntSize video{720, 480};
    struct Case {
        AspectPair aspect;
        double factor;
        int32_t cx, cy;
    } zooms[] = {
        {{4, 3}, 1.0, 640, 480},   {kAspectNative, 1.0, 720, 480},
        {{4, 3}, 0.5, 320, 240},   {kAspectNative, 0.5, 360, 240},
        {{16, 9}, 1.25, 900, 506}, {kAspectFit, 2.0, 1440, 960},
    };
    for (const Case& c : zooms) {
        const IntSize s = ZoomClientSize(video, c.factor, c.aspect, native);
        EXPECT_EQ(s.cx, c.cx) << c.factor;
        EXPECT_EQ(s.cy, c.cy) << c.factor;
    }
    const IntSize kept = FixedClientSize({640, 360}, true, {4, 3}, native);
    EXPECT_EQ(kept.cx, 480);
    EXPECT_EQ(kept.cy, 360);
    const IntSize free = FixedClientSize({640, 360}, false, {4, 3}, native);
    EXPECT_EQ(free.cx, 640);
    // Re-fit with the input ratio of a degenerate native size raises it to 1 x 1.
    IntSize none{0, 0};
    EXPECT_EQ(RefitClientWidth(300, 200, kAspectNative, none), 200);
    EXPECT_EQ(none.cx, 1);
    EXPECT_EQ(RefitClientWidth(300, 200, kAspectFit, native), 300);
    EXPECT_EQ(RefitClientWidth(999, 360, {40, 33}, native), 436);
}

// Switching off and on again gives back the same window rectangle, and in both states the
// client rectangle is the one the user had.
TEST(ChromeToggles, KeepTheClientAreaInPlace) {
    const IntRect client = ClientAt(300, 200, 640, 480);
    for (const WindowChrome before : {kFull, kNoTitle}) {
        const IntRect window = ClientToWindow(client, before, kMetrics);
        const IntRect noTitle = TitleBarToggledRect(window, before, kMetrics);
        const WindowChrome afterTitle{before.titleBar == 1 ? 0 : 1, 1};
        EXPECT_EQ(WindowToClient(noTitle, afterTitle, kMetrics), client);
        EXPECT_EQ(TitleBarToggledRect(noTitle, afterTitle, kMetrics), window);

        const IntRect noFrame = FrameToggledRect(window, before, kMetrics);
        const WindowChrome afterFrame{before.titleBar, 0};
        EXPECT_EQ(noFrame, client);
        EXPECT_EQ(FrameToggledRect(noFrame, afterFrame, kMetrics), window);
    }
}

TEST(SizingBand, FifteenPixelsAlongEachSide) {
    const IntRect client{0, 0, 400, 300};
    struct Case {
        int32_t x, y;
        SizingEdge edge;
    } cases[] = {
        {14, 14, SizingEdge::TopLeft},     {15, 15, SizingEdge::None},
        {384, 284, SizingEdge::None},      {385, 14, SizingEdge::TopRight},
        {14, 285, SizingEdge::BottomLeft}, {399, 299, SizingEdge::BottomRight},
        {200, 14, SizingEdge::Top},        {200, 285, SizingEdge::Bottom},
        {14, 150, SizingEdge::Left},       {385, 150, SizingEdge::Right},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HitTestSizingBand(client, c.x, c.y), c.edge) << c.x << "," << c.y;
    }
}

TEST(Snap, WithinButNotAtTenPixels) {
    const IntRect monitor{0, 0, 1280, 1024};
    struct Case {
        IntRect window, expected;
    } cases[] = {
        {{9, 300, 649, 780}, {0, 300, 640, 780}},        // 9 from the left snaps
        {{10, 300, 650, 780}, {10, 300, 650, 780}},      // 10 does not
        {{-9, 300, 631, 780}, {0, 300, 640, 780}},       // also from outside
        {{631, 300, 1271, 780}, {640, 300, 1280, 780}},  // right edge 9 short
        {{631, 300, 1270, 780}, {631, 300, 1270, 780}},  // right edge 10 short
        {{200, 9, 840, 489}, {200, 0, 840, 480}},        // top
        {{200, 535, 840, 1015}, {200, 544, 840, 1024}},  // bottom
        // A window as wide as the monitor snaps left first, which places its right edge too.
        {{5, 5, 1285, 1019}, {0, 0, 1280, 1014}},
    };
    for (const Case& c : cases) EXPECT_EQ(SnapToMonitor(c.window, monitor), c.expected);
}

TEST(WheelVolume, FivePointStepsWithinTheRange) {
    int32_t volume = 30;
    for (int notch = 0; notch < 10; ++notch) volume = WheelVolume(volume, -120);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(WheelVolume(98, 1), 100);
    EXPECT_EQ(WheelVolume(50, 960), 55) << "the delta's size does not matter";
    EXPECT_EQ(WheelVolume(50, 0), 50);
    EXPECT_EQ(WheelVolume(250, -120), 100) << "an out-of-range stored value comes back in range";
}

TEST(DeliveredRateMeter, CountOverPerformanceCounterTime) {
    CDeliveredRateMeter meter;
    const int64_t hz = 10'000'000;
    EXPECT_EQ(meter.Update(100, 5 * hz, hz), 0.0) << "one reading gives no rate";
    EXPECT_NEAR(meter.Update(130, 6 * hz, hz), 30.0, 1e-9);
    EXPECT_NEAR(meter.Update(131, 6 * hz + hz / 10, hz), 30.0, 1e-9) << "too soon: last rate";
    EXPECT_NEAR(meter.Update(190, 8 * hz, hz), 30.0, 1e-9);
    EXPECT_EQ(meter.Update(5, 9 * hz, hz), 0.0) << "a new filter counts from 0 again";
    EXPECT_NEAR(meter.Update(35, 10 * hz, hz), 30.0, 1e-9);
    meter.Reset();
    EXPECT_EQ(meter.Update(65, 11 * hz, hz), 0.0);
    EXPECT_EQ(meter.Update(95, 12 * hz, 0), 0.0);
}

}  // namespace
