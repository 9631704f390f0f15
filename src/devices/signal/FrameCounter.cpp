#include "devices/signal/FrameCounter.h"

namespace lumoka {
namespace {

int ParityOf(uint32_t v) {
    int ones = 0;
    for (int b = 0; b < kCounterBits; ++b) ones += (v >> b) & 1;
    return ones & 1;
}

// Luma (0-255 scale of the buffer's own range) of one pixel.
int LumaAt(const uint8_t* buffer, const PictureLayout& l, int x, int y) {
    const uint8_t* row = buffer + l.RowOffset(y);
    switch (l.format) {
        case PixelFormat::kRGB32:
        case PixelFormat::kRGB24: {
            const uint8_t* p =
                row + static_cast<size_t>(x) * (l.format == PixelFormat::kRGB32 ? 4 : 3);
            return (p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8;
        }
        default:
            return row[static_cast<size_t>(x) * 2 + static_cast<size_t>(LumaOffset(l.format))];
    }
}

// Mean luma over the middle half of cell i (both directions), where scaling blur is least.
int CellLuma(const uint8_t* buffer, const PictureLayout& l, int cell) {
    const int band = CounterBandHeight(l.height);
    const int x0 = cell * l.width / kCounterCells;
    const int x1 = (cell + 1) * l.width / kCounterCells;
    const int w = x1 - x0;
    const int sx0 = x0 + w / 4, sx1 = x1 - w / 4;
    const int sy0 = band / 4, sy1 = band - band / 4;
    long sum = 0;
    long n = 0;
    for (int y = sy0; y < sy1; ++y) {
        for (int x = sx0; x < sx1; ++x) {
            sum += LumaAt(buffer, l, x, y);
            ++n;
        }
    }
    return n > 0 ? static_cast<int>(sum / n) : 0;
}

}  // namespace

bool CounterCellIsWhite(uint32_t counter, int cell) {
    const uint32_t v = counter & 0xFFFFu;
    if (cell == 0) return true;
    if (cell == 1 || cell >= kCounterCells - 1) return false;
    if (cell == kCounterCells - 2) return ParityOf(v) == 1;
    const int bit = kCounterBits - 1 - (cell - 2);
    return ((v >> bit) & 1u) != 0;
}

std::optional<uint32_t> DecodeFrameCounter(const uint8_t* buffer, size_t size,
                                           const PictureLayout& layout) {
    if (buffer == nullptr || layout.width < 2 * kCounterCells ||
        layout.height < kCounterBandDivisor || size < layout.ImageSize()) {
        return std::nullopt;
    }
    const size_t bpp = static_cast<size_t>(BitsPerPixel(layout.format));
    if (layout.stride < (bpp * static_cast<size_t>(layout.width) + 7) / 8) return std::nullopt;

    const int white = CellLuma(buffer, layout, 0);
    const int black = CellLuma(buffer, layout, 1);
    if (white - black < 64) return std::nullopt;
    const int threshold = (white + black) / 2;
    uint32_t value = 0;
    for (int cell = 2; cell < 2 + kCounterBits; ++cell) {
        value = (value << 1) | (CellLuma(buffer, layout, cell) > threshold ? 1u : 0u);
    }
    const bool parityWhite = CellLuma(buffer, layout, kCounterCells - 2) > threshold;
    const bool endWhite = CellLuma(buffer, layout, kCounterCells - 1) > threshold;
    if (endWhite || parityWhite != (ParityOf(value) == 1)) return std::nullopt;
    return value;
}

}  // namespace lumoka
