#include "filter/FrameGrabSlot.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace lumoka {
namespace {

using std::chrono::milliseconds;

BitmapHeader Rgb32Layout() {
    BitmapHeader h;
    h.width = 2;
    h.height = 1;
    h.planes = 1;
    h.bitCount = 32;
    return h;
}

TEST(FrameGrabSlot, NothingIsTakenWithoutARequest) {
    CFrameGrabSlot slot;
    const std::vector<uint8_t> pixels(8, 7);
    EXPECT_FALSE(slot.Pending());
    EXPECT_FALSE(slot.Offer({pixels.data(), pixels.size(), Rgb32Layout(), 2, 1}));
}

TEST(FrameGrabSlot, TimesOutAndWithdraws) {
    CFrameGrabSlot slot;
    std::vector<uint8_t> picture;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slot.Request(milliseconds(100), picture), GrabResult::kTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(100));
    EXPECT_FALSE(slot.Pending());
    const std::vector<uint8_t> pixels(8, 7);
    EXPECT_FALSE(slot.Offer({pixels.data(), pixels.size(), Rgb32Layout(), 2, 1}));
    EXPECT_TRUE(picture.empty());
}

// A streaming thread offering frames all the time: every request gets exactly one frame, and
// requests that time out while frames stop leave nothing behind (the sanitizers watch the
// request's buffer).
TEST(FrameGrabSlot, StreamingThreadFillsOneRequestAtATime) {
    CFrameGrabSlot slot;
    std::atomic<bool> run{true};
    std::atomic<bool> paused{false};
    std::atomic<int> taken{0};
    std::thread streaming([&] {
        std::vector<uint8_t> pixels(8);
        uint8_t frame = 0;
        while (run) {
            std::fill(pixels.begin(), pixels.end(), ++frame);
            if (!paused && slot.Pending() &&
                slot.Offer({pixels.data(), pixels.size(), Rgb32Layout(), 2, 1})) {
                ++taken;
            }
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> picture;
        ASSERT_EQ(slot.Request(milliseconds(5000), picture), GrabResult::kGrabbed);
        ASSERT_EQ(picture.size(), 40u + 8);
        // The one frame, whole: every byte of both pixels from the same fill.
        for (size_t b = 41; b < picture.size(); ++b) ASSERT_EQ(picture[b], picture[40]);
    }
    paused = true;
    std::vector<uint8_t> none;
    EXPECT_EQ(slot.Request(milliseconds(20), none), GrabResult::kTimedOut);
    run = false;
    streaming.join();
    EXPECT_EQ(taken, 50);
}

TEST(FrameGrabSlot, UnsupportedFormatAndSecondRequest) {
    CFrameGrabSlot slot;
    std::vector<uint8_t> first;
    GrabResult firstResult = GrabResult::kGrabbed;
    std::thread waiter([&] { firstResult = slot.Request(milliseconds(5000), first); });
    while (!slot.Pending()) std::this_thread::yield();
    std::vector<uint8_t> second;
    EXPECT_EQ(slot.Request(milliseconds(10), second), GrabResult::kBusy);
    BitmapHeader nv12 = Rgb32Layout();
    nv12.bitCount = 12;
    nv12.compression = MakeFourcc('N', 'V', '1', '2');
    const std::vector<uint8_t> pixels(8);
    EXPECT_TRUE(slot.Offer({pixels.data(), pixels.size(), nv12, 2, 1}));
    waiter.join();
    EXPECT_EQ(firstResult, GrabResult::kUnsupported);
    EXPECT_TRUE(first.empty());
}

}  // namespace
}  // namespace lumoka
