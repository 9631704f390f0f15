// The virtual capture card's picture: a frame counter band on top, the pattern of the routed
// crossbar input in the middle and an interlaced motion strip at the bottom, rendered in any of
// the card's pixel formats.
//
// - Counter band: the top 1/12, see FrameCounter.h. It is not touched by the picture
//   adjustments, so a test can always read the counter back.
// - Pattern (down to 3/4 of the height): Tuner gives 75 % colour bars (white, yellow, cyan,
//   green, magenta, red, blue), Composite the same bars in reverse order, S-Video a luma ramp
//   from black to white under a white grid. Brightness, contrast, hue, saturation and colour
//   enable act on it as a real decoder's would.
// - Motion strip (the bottom quarter): a white bar on black. The two fields of a frame are
//   sampled half a frame interval apart, so the bar stands further right in the second field
//   (the odd lines when the top field comes first) and a woven frame shows combing.
//
// All luma values stay in the studio range 16-235 (chroma 16-240) before adjustment; RGB
// formats get the BT.601 conversion to full range.
//
// Thread: one instance per streaming pin, used only by that pin's streaming thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devices/signal/PixelFormat.h"

namespace lumoka {

enum class VideoInput { kTuner, kComposite, kSVideo };

// Picture adjustments in the card's own units (the ranges its video signal interface reports).
struct PictureAdjust {
    int brightness = 0;    // luma offset, -100..100
    int contrast = 100;    // luma gain in percent, 0..200
    int hue = 0;           // chroma rotation in degrees, -180..180
    int saturation = 100;  // chroma gain in percent, 0..200
    bool colorEnable = true;
};

struct Yuv {
    uint8_t y = 16, u = 128, v = 128;
};

// Left edge of the motion bar in the given field (field index = frame * 2 + field number).
int MotionBarX(int width, uint64_t fieldIndex);
int MotionBarWidth(int width);
// First line of the motion strip and of the pattern.
constexpr int MotionStripTop(int height) { return height * 3 / 4; }

// BT.601 studio YUV to full-range RGB.
void YuvToRgb(const Yuv& c, uint8_t* r, uint8_t* g, uint8_t* b);

class CTestPicture {
public:
    // Renders frame `frame` (its counter is frame modulo 2^16). topFieldFirst: the even lines
    // form the earlier field. Returns false (and writes nothing) when the layout is invalid or
    // size is below layout.ImageSize().
    bool Render(uint64_t frame, VideoInput input, const PictureAdjust& adjust,
                const PictureLayout& layout, uint8_t* dst, size_t size, bool topFieldFirst = true);

private:
    void BuildLine(int y, uint64_t frame, VideoInput input, const PictureLayout& layout,
                   bool topFieldFirst);
    void AdjustLine(const PictureAdjust& adjust);
    void PackLine(const PictureLayout& layout, uint8_t* row) const;

    std::vector<Yuv> line_;
};

}  // namespace lumoka
