// The main window's sizing rules that need no window: growing a client rectangle to the window
// rectangle of the current style (and back), aspect keeping while a border is dragged, the
// re-fit of the width, zoom and fixed client sizes, the rectangles of the title-bar and frame
// toggles, the 15-pixel sizing band of a frameless window, snapping to the monitor edges and
// the wheel's volume step.
//
// Portable: plain values only; pure functions, any thread. Rectangles are in screen pixels
// (window and monitor rectangles) or client pixels (the band hit test).
#pragma once

#include <cstdint>

#include "graph/Geometry.h"

// The system metrics the window rectangle is made of: caption height (SM_CYCAPTION), sizing
// frame (SM_CXFRAME, SM_CYFRAME) and border (SM_CXBORDER, SM_CYBORDER).
struct FrameMetrics {
    int32_t captionHeight = 0;
    int32_t frameX = 0;
    int32_t frameY = 0;
    int32_t borderX = 0;
    int32_t borderY = 0;
};

// The "TitleBar" and "Frame" settings as the window's style has them: caption and sizing frame
// only with the value 1, a sizing frame without caption with Frame 1 and TitleBar not 1, and
// neither with Frame not 1.
struct WindowChrome {
    int32_t titleBar = 1;
    int32_t frame = 1;
};

// The window rectangle around a client rectangle, and the inverse.
IntRect ClientToWindow(const IntRect& client, const WindowChrome& chrome, const FrameMetrics& m);
IntRect WindowToClient(const IntRect& window, const WindowChrome& chrome, const FrameMetrics& m);

// The edges of WM_SIZING (WMSZ_*), which are also the SC_SIZE offsets of the sizing band.
enum class SizingEdge : int32_t {
    None = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    TopLeft = 4,
    TopRight = 5,
    Bottom = 6,
    BottomLeft = 7,
    BottomRight = 8,
};

// The window rectangle that keeps the aspect while edge is dragged to proposedWindow: the
// fitted client keeps the sides opposite the dragged edge where they are. An unknown edge
// leaves the rectangle as proposed.
IntRect KeepAspectWhileSizing(const IntRect& proposedWindow, SizingEdge edge,
                              const AspectPair& aspect, IntSize& nativeSize,
                              const WindowChrome& chrome, const FrameMetrics& m);

// The client width that fits the aspect to a client height: trunc(height / Y * X) for a fixed
// pair, the native size's ratio for the input ratio (sides below 1 raised to 1), else width.
int32_t RefitClientWidth(int32_t width, int32_t height, const AspectPair& aspect,
                         IntSize& nativeSize);

// Zoom: the video size fitted to the aspect (corner form), times factor, truncated.
IntSize ZoomClientSize(const IntSize& videoSize, double factor, const AspectPair& aspect,
                       IntSize& nativeSize);

// A fixed client size, with the width re-fitted to the aspect when keepAspect is set.
IntSize FixedClientSize(const IntSize& size, bool keepAspect, const AspectPair& aspect,
                        IntSize& nativeSize);

// The window rectangle after the title bar or the frame is switched on or off (chrome is the
// state before the switch), such that the client area stays where it was on the screen.
IntRect TitleBarToggledRect(const IntRect& window, const WindowChrome& chrome,
                            const FrameMetrics& m);
IntRect FrameToggledRect(const IntRect& window, const WindowChrome& chrome, const FrameMetrics& m);

// Which part of a frameless window's client area a point lies in: the 15-pixel band along
// each side acts as a sizing border, its corners as sizing corners.
constexpr int32_t kSizingBand = 15;
SizingEdge HitTestSizingBand(const IntRect& client, int32_t x, int32_t y);

// The window rectangle after snapping to monitor: each edge closer than 10 pixels to the
// monitor's matching edge moves onto it (left, right, top, bottom in turn, without resizing).
constexpr int32_t kSnapDistance = 10;
IntRect SnapToMonitor(const IntRect& window, const IntRect& monitor);

// One wheel message: 5 points down for a negative delta, up for a positive one, within 0..100;
// a delta of 0 leaves the volume as it is.
constexpr int32_t kWheelVolumeStep = 5;
int32_t WheelVolume(int32_t volume, int32_t wheelDelta);
