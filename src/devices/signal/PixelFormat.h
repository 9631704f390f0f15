// The picture layouts the virtual capture card delivers, described without platform types so
// the test picture and its decoder build and test natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumoka {

enum class PixelFormat {
    kYUY2,   // packed 4:2:2, bytes Y0 U Y1 V
    kUYVY,   // packed 4:2:2, bytes U Y0 V Y1
    kHDYC,   // the same byte order as UYVY, named for HD (BT.709) sources
    kRGB24,  // B G R, rows bottom-up unless the header height is negative
    kRGB32,  // B G R X, rows bottom-up unless the header height is negative
};

constexpr int BitsPerPixel(PixelFormat f) {
    return f == PixelFormat::kRGB24 ? 24 : f == PixelFormat::kRGB32 ? 32 : 16;
}

constexpr bool IsPackedYuv(PixelFormat f) {
    return f == PixelFormat::kYUY2 || f == PixelFormat::kUYVY || f == PixelFormat::kHDYC;
}

// Byte offset of the first luma sample in a 4-byte 4:2:2 group (0 for YUY2, 1 for UYVY/HDYC).
constexpr int LumaOffset(PixelFormat f) { return f == PixelFormat::kYUY2 ? 0 : 1; }

// Row stride as a bitmap header computes it: rows padded to 4 bytes.
constexpr size_t StrideOf(PixelFormat f, int width) {
    return ((static_cast<size_t>(BitsPerPixel(f)) * static_cast<size_t>(width) + 31) / 32) * 4;
}

// One picture in memory. bottomUp: the first row in memory is the bottom line of the picture
// (the usual layout of RGB bitmaps with a positive header height).
struct PictureLayout {
    PixelFormat format = PixelFormat::kRGB32;
    int width = 0;
    int height = 0;
    size_t stride = 0;
    bool bottomUp = false;

    size_t ImageSize() const { return stride * static_cast<size_t>(height > 0 ? height : 0); }
    // Offset of picture line y (0 = top) in the buffer.
    size_t RowOffset(int y) const {
        const int row = bottomUp ? height - 1 - y : y;
        return static_cast<size_t>(row) * stride;
    }
};

// The layout a capture pin uses for a format: RGB bottom-up, YUV top-down, rows padded.
inline PictureLayout MakeLayout(PixelFormat f, int width, int height) {
    PictureLayout l;
    l.format = f;
    l.width = width;
    l.height = height;
    l.stride = StrideOf(f, width);
    l.bottomUp = !IsPackedYuv(f);
    return l;
}

}  // namespace lumoka
