// The picture a frame grab hands on: one output frame of the transform filter turned into what
// a renderer's GetCurrentImage gives, a 40-byte bitmap header followed by 32-bit RGB pixels,
// bottom-up. RGB32 is copied, RGB24 widened, and packed 4:2:2 (YUY2, UYVY, HDYC) converted with
// the BT.601 studio-range matrix the video renderers use, so the picture matches the window.
//
// Portable: plain buffers only. Pure functions; any thread (the filter calls it on its
// streaming thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/TransformRules.h"

namespace lumoka {

struct GrabFrame {
    const uint8_t* data = nullptr;
    size_t length = 0;  // bytes the frame holds
    // The output type's header: the layout of the buffer (its width may be a padded stride;
    // RGB rows run bottom-up unless the height is negative; 4:2:2 rows always run top-down).
    BitmapHeader layout;
    // The picture inside the buffer (the input type's size): the pipeline writes this many
    // pixels of each row and leaves the padding after them.
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
};

// One BT.601 studio-range luma/chroma sample as full-range 8-bit RGB.
struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
};
Rgb8 StudioYuvToRgb(uint8_t y, uint8_t u, uint8_t v);

// Header and pixels in one block (the header first). False, leaving out empty, for any other
// format, a picture larger than its layout, odd widths of 4:2:2 or a buffer too short.
bool MakeGrabPicture(const GrabFrame& frame, std::vector<uint8_t>& out);

}  // namespace lumoka
