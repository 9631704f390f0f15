// Where the video goes in the window: the aspect pair, FitSize, the destination rectangle that
// centres the picture in the client area, the source rectangle cut by the crop margins (in
// pixels for the mixing renderers, normalised for the enhanced renderer) and the borders to
// repaint.
//
// Portable: plain values only. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "config/Profile.h"

struct IntSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct IntRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

inline bool operator==(const IntRect& a, const IntRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct NormRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 1.0f;
    float bottom = 1.0f;
};

// Display aspect: X > 0 and Y > 0 a fixed ratio; (-1, -1) the native size's ratio; any other
// pair (normally (-2, -2)) fills the whole area.
struct AspectPair {
    int32_t x = 16;
    int32_t y = 9;
};

constexpr AspectPair kAspectNative = {-1, -1};
constexpr AspectPair kAspectFit = {-2, -2};

// The aspect pair of a profile's "Preview.AspectRatio" value: 1 4:3, 2 16:9, 3 40:33, 4 10:11,
// 100 fit to window, anything else the input's own ratio.
AspectPair AspectPairFromSetting(int32_t aspectRatio);

// The picture size of the aspect pair for a W x H area. With corner set: the largest picture
// inside the area. Otherwise height-drives picks the width for H, else the height for W. A
// native width or height below 1 is raised to 1 in nativeSize first when the pair asks for it.
IntSize FitSize(const AspectPair& aspect, IntSize& nativeSize, int32_t width, int32_t height,
                bool corner, bool heightDrives);

// The picture of size fit centred in a cw x ch client area.
IntRect CentredRect(int32_t clientWidth, int32_t clientHeight, const IntSize& fit);

// The source rectangle in video pixels: native size minus the crop margins.
IntRect CroppedSource(const CropRect& cropMargins, int32_t nativeWidth, int32_t nativeHeight);

// The same as fractions of the native size; an axis with a size below 1 is left whole.
NormRect CroppedSourceNormalized(const CropRect& cropMargins, int32_t nativeWidth,
                                 int32_t nativeHeight);

// The parts of the client rectangle outside dest (the black borders), as at most four
// non-overlapping rectangles: above, below, left, right.
std::vector<IntRect> BorderRects(const IntRect& client, const IntRect& dest);

struct IntPoint {
    int32_t x = 0;
    int32_t y = 0;
};
