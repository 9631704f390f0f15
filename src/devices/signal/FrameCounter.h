// The frame counter the test picture carries in its top band, and the decoder that reads it
// back from a delivered, deinterlaced, scaled or captured picture.
//
// Layout (all in proportion to the picture, so any scaled copy has the same layout): the band
// is the top 1/12 of the picture, split into 20 equal cells. Cell 0 is white and cell 1 black
// (the start marker), cells 2..17 hold the 16 counter bits, most significant first (white = 1),
// cell 18 holds their parity (white when the number of one bits is odd) and cell 19 is black.
// At the capture sizes (320 x 240 and above) a cell is at least 16 x 16 pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "devices/signal/PixelFormat.h"

namespace lumoka {

constexpr int kCounterCells = 20;
constexpr int kCounterBits = 16;
constexpr int kCounterBandDivisor = 12;  // band height = picture height / 12

// Level of cell i (true = white) for a counter value; the value is taken modulo 2^16.
bool CounterCellIsWhite(uint32_t counter, int cell);

// Height of the counter band of a picture of the given height.
constexpr int CounterBandHeight(int height) { return height / kCounterBandDivisor; }

// Reads the counter from a picture in RGB32, RGB24, YUY2, UYVY or HDYC layout; the layout must
// cover exactly the picture (a screenshot is cut to the video rectangle first, and a flipped
// picture is read with the other row order). Levels may be studio or full range. Returns nothing
// when the picture is too small to hold the band (below 40 x 12), the markers are missing or
// the parity does not match. buffer must hold layout.ImageSize() bytes.
std::optional<uint32_t> DecodeFrameCounter(const uint8_t* buffer, size_t size,
                                           const PictureLayout& layout);

}  // namespace lumoka
