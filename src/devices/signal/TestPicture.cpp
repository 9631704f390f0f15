#include "devices/signal/TestPicture.h"

#include <algorithm>
#include <cmath>

#include "devices/signal/FrameCounter.h"

namespace lumoka {
namespace {

constexpr uint8_t kBlack = 16;
constexpr uint8_t kWhite = 235;

// 75 % colour bars in BT.601 studio YUV.
constexpr Yuv kBars[7] = {
    {180, 128, 128},  // white
    {162, 44, 142},   // yellow
    {131, 156, 44},   // cyan
    {112, 72, 58},    // green
    {84, 184, 198},   // magenta
    {65, 100, 212},   // red
    {35, 212, 114},   // blue
};

uint8_t Clamp8(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

void FillCounter(std::vector<Yuv>& line, int width, uint32_t counter) {
    for (int cell = 0; cell < kCounterCells; ++cell) {
        const int x0 = cell * width / kCounterCells;
        const int x1 = (cell + 1) * width / kCounterCells;
        const uint8_t y = CounterCellIsWhite(counter, cell) ? kWhite : kBlack;
        for (int x = x0; x < x1; ++x) line[x] = Yuv{y, 128, 128};
    }
}

void FillBars(std::vector<Yuv>& line, int width, bool reverse) {
    for (int x = 0; x < width; ++x) {
        const int bar = x * 7 / width;
        line[x] = kBars[reverse ? 6 - bar : bar];
    }
}

// Ramp black to white with a grid: vertical lines every 1/8 of the width, horizontal lines
// every 1/4 of the pattern height.
void FillRampGrid(std::vector<Yuv>& line, int width, int y, int top, int bottom) {
    const int span = std::max(1, bottom - top);
    const int rowInCell = ((y - top) * 4) % span;
    const bool gridRow = rowInCell < 8;  // about two lines per grid row
    const int cellW = std::max(1, width / 8);
    for (int x = 0; x < width; ++x) {
        const bool gridCol = (x % cellW) < 2;
        const int ramp = kBlack + (kWhite - kBlack) * x / std::max(1, width - 1);
        line[x] = Yuv{(gridRow || gridCol) ? kWhite : static_cast<uint8_t>(ramp), 128, 128};
    }
}

}  // namespace

int MotionBarWidth(int width) { return std::max(8, width / 16) & ~1; }

int MotionBarX(int width, uint64_t fieldIndex) {
    const int travel = width - MotionBarWidth(width);
    if (travel <= 0) return 0;
    const uint64_t step = static_cast<uint64_t>(std::max(2, width / 32));
    return static_cast<int>((fieldIndex * step) % static_cast<uint64_t>(travel));
}

void YuvToRgb(const Yuv& c, uint8_t* r, uint8_t* g, uint8_t* b) {
    const int cy = 298 * (c.y - 16);
    const int d = c.u - 128;
    const int e = c.v - 128;
    *r = Clamp8((cy + 409 * e + 128) >> 8);
    *g = Clamp8((cy - 100 * d - 208 * e + 128) >> 8);
    *b = Clamp8((cy + 516 * d + 128) >> 8);
}

bool CTestPicture::Render(uint64_t frame, VideoInput input, const PictureAdjust& adjust,
                          const PictureLayout& layout, uint8_t* dst, size_t size,
                          bool topFieldFirst) {
    if (dst == nullptr || layout.width <= 0 || layout.height <= 0) return false;
    const size_t minStride =
        (static_cast<size_t>(BitsPerPixel(layout.format)) * static_cast<size_t>(layout.width) + 7) /
        8;
    if (layout.stride < minStride || size < layout.ImageSize()) return false;

    line_.resize(static_cast<size_t>(layout.width));
    const int band = CounterBandHeight(layout.height);
    for (int y = 0; y < layout.height; ++y) {
        BuildLine(y, frame, input, layout, topFieldFirst);
        if (y >= band) AdjustLine(adjust);
        PackLine(layout, dst + layout.RowOffset(y));
    }
    return true;
}

void CTestPicture::BuildLine(int y, uint64_t frame, VideoInput input, const PictureLayout& l,
                             bool topFieldFirst) {
    const int band = CounterBandHeight(l.height);
    const int strip = MotionStripTop(l.height);
    if (y < band) {
        FillCounter(line_, l.width, static_cast<uint32_t>(frame));
    } else if (y < strip) {
        switch (input) {
            case VideoInput::kTuner:
                FillBars(line_, l.width, false);
                break;
            case VideoInput::kComposite:
                FillBars(line_, l.width, true);
                break;
            case VideoInput::kSVideo:
                FillRampGrid(line_, l.width, y, band, strip);
                break;
        }
    } else {
        // The field this line belongs to, in time order within the frame.
        const int fieldInFrame = ((y & 1) == 0) == topFieldFirst ? 0 : 1;
        const int x0 = MotionBarX(l.width, frame * 2 + static_cast<uint64_t>(fieldInFrame));
        const int x1 = x0 + MotionBarWidth(l.width);
        for (int x = 0; x < l.width; ++x) {
            line_[x] = Yuv{(x >= x0 && x < x1) ? kWhite : kBlack, 128, 128};
        }
    }
}

void CTestPicture::AdjustLine(const PictureAdjust& a) {
    const bool lumaNeutral = a.brightness == 0 && a.contrast == 100;
    const bool chromaNeutral = a.hue == 0 && a.saturation == 100 && a.colorEnable;
    if (lumaNeutral && chromaNeutral) return;

    const double rad = a.hue * 3.14159265358979323846 / 180.0;
    const double gain = a.colorEnable ? a.saturation / 100.0 : 0.0;
    const int cosK = static_cast<int>(std::lround(std::cos(rad) * gain * 4096.0));
    const int sinK = static_cast<int>(std::lround(std::sin(rad) * gain * 4096.0));
    for (Yuv& c : line_) {
        if (!lumaNeutral) {
            c.y = Clamp8(kBlack + (c.y - kBlack) * a.contrast / 100 + a.brightness);
        }
        if (!chromaNeutral) {
            const int u = c.u - 128, v = c.v - 128;
            c.u = Clamp8(128 + ((u * cosK - v * sinK) >> 12));
            c.v = Clamp8(128 + ((u * sinK + v * cosK) >> 12));
        }
    }
}

void CTestPicture::PackLine(const PictureLayout& l, uint8_t* row) const {
    const int w = l.width;
    switch (l.format) {
        case PixelFormat::kYUY2:
        case PixelFormat::kUYVY:
        case PixelFormat::kHDYC: {
            const bool yuy2 = l.format == PixelFormat::kYUY2;
            for (int x = 0; x + 1 < w; x += 2) {
                const Yuv& a = line_[x];
                const Yuv& b = line_[x + 1];
                const uint8_t u = static_cast<uint8_t>((a.u + b.u + 1) / 2);
                const uint8_t v = static_cast<uint8_t>((a.v + b.v + 1) / 2);
                uint8_t* p = row + static_cast<size_t>(x) * 2;
                if (yuy2) {
                    p[0] = a.y;
                    p[1] = u;
                    p[2] = b.y;
                    p[3] = v;
                } else {
                    p[0] = u;
                    p[1] = a.y;
                    p[2] = v;
                    p[3] = b.y;
                }
            }
            break;
        }
        case PixelFormat::kRGB24:
        case PixelFormat::kRGB32: {
            const size_t bytes = l.format == PixelFormat::kRGB32 ? 4 : 3;
            for (int x = 0; x < w; ++x) {
                uint8_t* p = row + static_cast<size_t>(x) * bytes;
                YuvToRgb(line_[x], &p[2], &p[1], &p[0]);
                if (bytes == 4) p[3] = 0xFF;
            }
            break;
        }
    }
}

}  // namespace lumoka
