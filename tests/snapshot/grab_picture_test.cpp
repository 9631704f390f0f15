#include <array>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "filter/FrameGrabSlot.h"
#include "filter/GrabPicture.h"

namespace lumoka {
namespace {

using Triple = std::array<int, 3>;

BitmapHeader Layout(int32_t width, int32_t height, uint16_t bits, uint32_t compression) {
    BitmapHeader h;
    h.width = width;
    h.height = height;
    h.bitCount = bits;
    h.compression = compression;
    return h;
}

// Pixel (x, y), y = 0 the top line, of a grabbed picture, as {R, G, B}.
Triple At(const std::vector<uint8_t>& dib, int x, int y) {
    const BitmapHeader h = ReadBitmapHeader(dib.data(), 0);
    const uint8_t* p = dib.data() + 40 + (static_cast<size_t>(h.height - 1 - y) * h.width + x) * 4;
    return {p[2], p[1], p[0]};
}

TEST(GrabPicture, StudioRangeMatrix) {
    // Worked by hand from R = 1.164 (Y-16) + 1.596 (V-128) and its siblings, rounded.
    const std::pair<std::array<uint8_t, 3>, Triple> cases[] = {
        {{235, 128, 128}, {255, 255, 255}}, {{16, 128, 128}, {0, 0, 0}},
        {{162, 44, 142}, {192, 191, 1}},    {{65, 100, 212}, {191, 0, 1}},
        {{35, 212, 114}, {0, 1, 191}},      {{255, 255, 255}, {255, 125, 255}},
        {{0, 0, 0}, {0, 135, 0}},
    };
    for (const auto& [yuv, rgb] : cases) {
        const Rgb8 c = StudioYuvToRgb(yuv[0], yuv[1], yuv[2]);
        EXPECT_EQ((Triple{c.r, c.g, c.b}), rgb)
            << int(yuv[0]) << " " << int(yuv[1]) << " " << int(yuv[2]);
    }
}

TEST(GrabPicture, PackedRowsTopDownIntoBottomUpRgb) {
    // Two lines of two pixels: white | black, then a yellow pair, padded to 4 pixels a row.
    const std::vector<uint8_t> yuy2 = {235, 128, 16,  128, 0, 0, 0, 0,
                                       162, 44,  162, 142, 0, 0, 0, 0};
    const std::vector<uint8_t> uyvy = {128, 235, 128, 16,  0, 0, 0, 0,
                                       44,  162, 142, 162, 0, 0, 0, 0};
    for (const auto& [data, fourcc] :
         {std::pair{&yuy2, kFourccYUY2}, {&uyvy, kFourccUYVY}, {&uyvy, kFourccHDYC}}) {
        std::vector<uint8_t> dib;
        ASSERT_TRUE(
            MakeGrabPicture({data->data(), data->size(), Layout(4, 2, 16, fourcc), 2, 2}, dib));
        const BitmapHeader h = ReadBitmapHeader(dib.data(), 0);
        EXPECT_EQ(std::vector<int64_t>({h.size, h.width, h.height, h.bitCount, h.compression,
                                        h.sizeImage, h.clrUsed}),
                  std::vector<int64_t>({40, 2, 2, 32, 0, 16, 0}));
        ASSERT_EQ(dib.size(), 40u + 16);
        EXPECT_EQ(At(dib, 0, 0), (Triple{255, 255, 255}));
        EXPECT_EQ(At(dib, 1, 0), (Triple{0, 0, 0}));
        EXPECT_EQ(At(dib, 1, 1), (Triple{192, 191, 1}));
    }
}

TEST(GrabPicture, RgbInItsOrientation) {
    // RGB24 bottom-up, 2 x 2 in rows padded to 3 pixels: the first row is the bottom line.
    const std::vector<uint8_t> rgb24 = {1, 2, 3, 4, 5, 6, 9, 9, 9, 7, 8, 9, 10, 11, 12, 9, 9, 9};
    std::vector<uint8_t> dib;
    ASSERT_TRUE(MakeGrabPicture({rgb24.data(), rgb24.size(), Layout(3, 2, 24, 0), 2, 2}, dib));
    EXPECT_EQ(std::vector<uint8_t>(dib.begin() + 40, dib.end()),
              (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255}));
    // RGB32 top-down: copied byte for byte, lines turned bottom-up.
    const std::vector<uint8_t> rgb32 = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_TRUE(MakeGrabPicture({rgb32.data(), rgb32.size(), Layout(1, -2, 32, 0), 1, 2}, dib));
    EXPECT_EQ(std::vector<uint8_t>(dib.begin() + 40, dib.end()),
              (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(GrabPicture, RefusesWhatItCannotRead) {
    const std::vector<uint8_t> data(64, 128);
    struct Case {
        BitmapHeader layout;
        int32_t width, height;
        size_t length;
    } const cases[] = {
        {Layout(4, 2, 12, MakeFourcc('N', 'V', '1', '2')), 4, 2, 64},
        {Layout(4, 2, 16, 0), 4, 2, 64},
        {Layout(4, 2, 16, kFourccYUY2), 3, 2, 64},
        {Layout(4, 2, 16, kFourccYUY2), 6, 2, 64},
        {Layout(8, 2, 32, 0), 4, 2, 32 + 15},  // the second row cut short
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> dib{1};
        EXPECT_FALSE(MakeGrabPicture({data.data(), c.length, c.layout, c.width, c.height}, dib))
            << c.layout.compression << " " << c.width << "x" << c.height;
        EXPECT_TRUE(dib.empty());
    }
}

// A streaming thread offering frames all the time: each request gets one whole frame, written
// while the request waits (the sanitizers watch its buffer). The filter's test in a graph
// (snapshot_grab_test) shows a request timing out and being withdrawn.
TEST(FrameGrabSlot, OneFramePerRequestAndWithdrawalOnTimeOut) {
    CFrameGrabSlot slot;
    std::atomic<bool> run{true};
    std::atomic<int> taken{0};
    std::thread streaming([&] {
        for (uint8_t frame = 0; run; ++frame) {
            std::vector<uint8_t> own(8, frame);
            if (slot.Offer({own.data(), own.size(), Layout(2, 1, 32, 0), 2, 1})) ++taken;
        }
    });
    for (int i = 0; i < 50; ++i) {
        std::vector<uint8_t> picture;
        ASSERT_EQ(slot.Request(std::chrono::milliseconds(5000), picture), GrabResult::kGrabbed);
        ASSERT_EQ(picture.size(), 48u);
        for (size_t b = 41; b < 48; ++b) ASSERT_EQ(picture[b], picture[40]);
    }
    run = false;
    streaming.join();
    EXPECT_EQ(taken, 50);
    EXPECT_FALSE(slot.Pending());
}

}  // namespace
}  // namespace lumoka
