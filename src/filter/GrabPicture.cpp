#include "filter/GrabPicture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lumoka {
namespace {

enum class GrabKind { kNone, kRgb32, kRgb24, kYuy2, kUyvy };

GrabKind KindOf(const BitmapHeader& h) {
    if (h.compression == 0) {
        if (h.bitCount == 32) return GrabKind::kRgb32;
        if (h.bitCount == 24) return GrabKind::kRgb24;
        return GrabKind::kNone;
    }
    if (h.bitCount != 16) return GrabKind::kNone;
    if (h.compression == kFourccYUY2) return GrabKind::kYuy2;
    // HDYC has UYVY's byte order; the renderers draw both with the same matrix.
    if (h.compression == kFourccUYVY || h.compression == kFourccHDYC) return GrabKind::kUyvy;
    return GrabKind::kNone;
}

uint8_t Clamp8(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

void PutPixel(uint8_t* p, const Rgb8& c) {
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
    p[3] = 0xFF;
}

// One picture line into 32-bit BGRX.
void ConvertRow(GrabKind kind, const uint8_t* src, int32_t width, uint8_t* dst) {
    switch (kind) {
        case GrabKind::kRgb32:
            std::memcpy(dst, src, static_cast<size_t>(width) * 4);
            return;
        case GrabKind::kRgb24:
            for (int32_t x = 0; x < width; ++x) {
                PutPixel(dst + 4 * x, Rgb8{src[3 * x + 2], src[3 * x + 1], src[3 * x]});
            }
            return;
        case GrabKind::kYuy2:
        case GrabKind::kUyvy: {
            // Each 4-byte group holds two pixels sharing one chroma pair.
            const int y0 = kind == GrabKind::kYuy2 ? 0 : 1;
            const int u = kind == GrabKind::kYuy2 ? 1 : 0;
            const int v = u + 2;
            for (int32_t x = 0; x < width; x += 2) {
                const uint8_t* g = src + 2 * x;
                PutPixel(dst + 4 * x, StudioYuvToRgb(g[y0], g[u], g[v]));
                PutPixel(dst + 4 * x + 4, StudioYuvToRgb(g[y0 + 2], g[u], g[v]));
            }
            return;
        }
        case GrabKind::kNone:
            return;
    }
}

}  // namespace

Rgb8 StudioYuvToRgb(uint8_t y, uint8_t u, uint8_t v) {
    // R = 1.164 (Y - 16) + 1.596 (V - 128), G = 1.164 (Y - 16) - 0.391 (U - 128) - 0.813 (V - 128),
    // B = 1.164 (Y - 16) + 2.018 (U - 128), in 8-bit fixed point with rounding.
    const int c = 298 * (y - 16);
    const int d = u - 128;
    const int e = v - 128;
    return Rgb8{Clamp8((c + 409 * e + 128) >> 8), Clamp8((c - 100 * d - 208 * e + 128) >> 8),
                Clamp8((c + 516 * d + 128) >> 8)};
}

bool MakeGrabPicture(const GrabFrame& frame, std::vector<uint8_t>& out) {
    out.clear();
    const GrabKind kind = KindOf(frame.layout);
    if (kind == GrabKind::kNone || !frame.data) return false;
    const int64_t layoutWidth = std::llabs(int64_t{frame.layout.width});
    const int64_t layoutHeight = std::llabs(int64_t{frame.layout.height});
    const int32_t width = frame.pictureWidth;
    const int32_t height = frame.pictureHeight < 0 ? -frame.pictureHeight : frame.pictureHeight;
    if (width <= 0 || height <= 0 || width > layoutWidth || height > layoutHeight) return false;
    const bool packed = kind == GrabKind::kYuy2 || kind == GrabKind::kUyvy;
    if (packed && width % 2 != 0) return false;

    const uint64_t bytesPerPixel = frame.layout.bitCount / 8;
    const uint64_t stride = static_cast<uint64_t>(layoutWidth) * bytesPerPixel;
    const uint64_t needed = (static_cast<uint64_t>(height) - 1) * stride + width * bytesPerPixel;
    if (needed > frame.length) return false;

    const size_t rowOut = static_cast<size_t>(width) * 4;
    const size_t imageSize = rowOut * static_cast<size_t>(height);
    try {
        out.resize(40 + imageSize);
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
    BitmapHeader header;
    header.size = 40;
    header.width = width;
    header.height = height;  // positive: bottom-up
    header.planes = 1;
    header.bitCount = 32;
    header.compression = 0;
    header.sizeImage = static_cast<uint32_t>(imageSize);
    WriteBitmapHeader(out.data(), 0, header);

    const bool bottomUpSource = frame.layout.compression == 0 && frame.layout.height > 0;
    uint8_t* pixels = out.data() + 40;
    for (int32_t line = 0; line < height; ++line) {
        const int32_t sourceRow = bottomUpSource ? height - 1 - line : line;
        const uint8_t* src = frame.data + static_cast<uint64_t>(sourceRow) * stride;
        ConvertRow(kind, src, width, pixels + static_cast<size_t>(height - 1 - line) * rowOut);
    }
    return true;
}

}  // namespace lumoka
