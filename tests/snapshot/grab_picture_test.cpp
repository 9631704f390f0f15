#include "filter/GrabPicture.h"

#include <array>

#include <gtest/gtest.h>

namespace lumoka {
namespace {

BitmapHeader Layout(int32_t width, int32_t height, uint16_t bits, uint32_t compression) {
    BitmapHeader h;
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bits;
    h.compression = compression;
    return h;
}

// Pixel (x, y) of the result, y = 0 the top line, as {R, G, B}.
std::array<int, 3> At(const std::vector<uint8_t>& dib, int x, int y) {
    const BitmapHeader h = ReadBitmapHeader(dib.data(), 0);
    const uint8_t* p = dib.data() + 40 + (static_cast<size_t>(h.height - 1 - y) * h.width + x) * 4;
    return {p[2], p[1], p[0]};
}

using Triple = std::array<int, 3>;

TEST(GrabPicture, StudioRangeMatrix) {
    struct Case {
        uint8_t y, u, v;
        Triple rgb;
    };
    // Worked by hand from R = 1.164 (Y-16) + 1.596 (V-128) and its siblings, rounded.
    const Case cases[] = {
        {235, 128, 128, {255, 255, 255}}, {16, 128, 128, {0, 0, 0}},
        {180, 128, 128, {191, 191, 191}}, {162, 44, 142, {192, 191, 1}},
        {65, 100, 212, {191, 0, 1}},      {35, 212, 114, {0, 1, 191}},
        {255, 255, 255, {255, 125, 255}}, {0, 0, 0, {0, 135, 0}},
    };
    for (const Case& c : cases) {
        const Rgb8 got = StudioYuvToRgb(c.y, c.u, c.v);
        EXPECT_EQ((Triple{got.r, got.g, got.b}), c.rgb) << int(c.y) << " " << int(c.u) << " "
                                                        << int(c.v);
    }
}

TEST(GrabPicture, PackedFormatsToBottomUpRgb) {
    // Two lines of four pixels: white | black pair, then yellow and red pairs.
    const std::vector<uint8_t> yuy2 = {235, 128, 16, 128, 180, 128, 180, 128,
                                       162, 44,  162, 142, 65, 100, 65, 212};
    const std::vector<uint8_t> uyvy = {128, 235, 128, 16, 128, 180, 128, 180,
                                       44,  162, 142, 162, 100, 65, 212, 65};
    struct Case {
        const std::vector<uint8_t>* data;
        uint32_t fourcc;
    };
    for (const Case& c : {Case{&yuy2, kFourccYUY2}, Case{&uyvy, kFourccUYVY},
                          Case{&uyvy, kFourccHDYC}}) {
        GrabFrame f{c.data->data(), c.data->size(), Layout(4, 2, 16, c.fourcc), 4, 2};
        std::vector<uint8_t> dib;
        ASSERT_TRUE(MakeGrabPicture(f, dib));
        ASSERT_EQ(dib.size(), 40u + 4 * 2 * 4);
        const BitmapHeader h = ReadBitmapHeader(dib.data(), 0);
        EXPECT_EQ(h.size, 40u);
        EXPECT_EQ(h.width, 4);
        EXPECT_EQ(h.height, 2);
        EXPECT_EQ(h.bitCount, 32);
        EXPECT_EQ(h.compression, 0u);
        EXPECT_EQ(h.sizeImage, 32u);
        EXPECT_EQ(h.clrUsed, 0u);
        // The top line of a 4:2:2 buffer is its first row; the result stores it last.
        EXPECT_EQ(At(dib, 0, 0), (Triple{255, 255, 255}));
        EXPECT_EQ(At(dib, 1, 0), (Triple{0, 0, 0}));
        EXPECT_EQ(At(dib, 2, 0), (Triple{191, 191, 191}));
        EXPECT_EQ(At(dib, 1, 1), (Triple{192, 191, 1}));
        EXPECT_EQ(At(dib, 3, 1), (Triple{191, 0, 1}));
        EXPECT_EQ(dib[40 + 3], 0xFF);
    }
}

TEST(GrabPicture, RgbCopiedOrWidenedInTheirOrientation) {
    // RGB24, bottom-up, 2 x 2 inside a buffer padded to 3 pixels a row: the first row in memory
    // is the bottom line.
    const std::vector<uint8_t> rgb24 = {1, 2, 3, 4, 5, 6, 99, 99, 99,
                                        7, 8, 9, 10, 11, 12, 99, 99, 99};
    std::vector<uint8_t> dib;
    ASSERT_TRUE(MakeGrabPicture({rgb24.data(), rgb24.size(), Layout(3, 2, 24, 0), 2, 2}, dib));
    ASSERT_EQ(dib.size(), 40u + 16);
    EXPECT_EQ(At(dib, 0, 1), (Triple{3, 2, 1}));
    EXPECT_EQ(At(dib, 1, 1), (Triple{6, 5, 4}));
    EXPECT_EQ(At(dib, 0, 0), (Triple{9, 8, 7}));
    EXPECT_EQ(At(dib, 1, 0), (Triple{12, 11, 10}));

    // RGB32 top-down (negative height): copied byte for byte, lines turned bottom-up.
    const std::vector<uint8_t> rgb32 = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_TRUE(MakeGrabPicture({rgb32.data(), rgb32.size(), Layout(1, -2, 32, 0), 1, 2}, dib));
    EXPECT_EQ(std::vector<uint8_t>(dib.begin() + 40, dib.end()),
              (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(GrabPicture, RefusesWhatItCannotRead) {
    const std::vector<uint8_t> data(64, 128);
    std::vector<uint8_t> dib{1};
    struct Case {
        BitmapHeader layout;
        int32_t width, height;
        size_t length;
    };
    const Case cases[] = {
        {Layout(4, 2, 12, MakeFourcc('N', 'V', '1', '2')), 4, 2, 64},
        {Layout(4, 2, 16, 0), 4, 2, 64},                 // RGB555/565
        {Layout(4, 2, 32, 3), 4, 2, 64},                 // bit fields
        {Layout(4, 2, 16, kFourccYUY2), 3, 2, 64},       // odd 4:2:2 width
        {Layout(4, 2, 16, kFourccYUY2), 6, 2, 64},       // wider than its layout
        {Layout(4, 2, 16, kFourccYUY2), 4, 3, 64},       // taller than its layout
        {Layout(4, 2, 16, kFourccYUY2), 0, 2, 64},
        {Layout(4, 2, 32, 0), 4, 2, 31},                 // buffer too short
        {Layout(8, 2, 32, 0), 4, 2, 32 + 15},            // second row cut short
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(MakeGrabPicture({data.data(), c.length, c.layout, c.width, c.height}, dib))
            << c.layout.compression << " " << c.width << "x" << c.height;
        EXPECT_TRUE(dib.empty());
    }
    EXPECT_FALSE(MakeGrabPicture({nullptr, 64, Layout(4, 2, 32, 0), 4, 2}, dib));
}

}  // namespace
}  // namespace lumoka
