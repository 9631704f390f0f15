#include "ui/main/WindowGeometryRules.h"

#include <algorithm>

namespace {

IntRect Inflate(const IntRect& r, int32_t dx, int32_t dy) {
    return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

bool HasCaptionAndFrame(const WindowChrome& chrome) {
    return chrome.titleBar == 1 && chrome.frame == 1;
}

// A window with a sizing frame but no caption has WS_THICKFRAME without WS_BORDER, which the
// frame metric includes once.
int32_t BareFrameX(const FrameMetrics& m) { return m.frameX - m.borderX; }
int32_t BareFrameY(const FrameMetrics& m) { return m.frameY - m.borderY; }

struct EdgeRule {
    bool corner;
    bool heightDrives;
    bool keepRight;   // else the left side stays
    bool keepBottom;  // else the top side stays
};

bool RuleOfEdge(SizingEdge edge, EdgeRule* rule) {
    switch (edge) {
        case SizingEdge::Left:
        case SizingEdge::Right:
            *rule = {false, false, true, false};
            return true;
        case SizingEdge::Top:
            *rule = {false, true, false, true};
            return true;
        case SizingEdge::Bottom:
            *rule = {false, true, false, false};
            return true;
        case SizingEdge::TopLeft:
            *rule = {true, true, true, true};
            return true;
        case SizingEdge::TopRight:
            *rule = {true, true, false, true};
            return true;
        case SizingEdge::BottomLeft:
            *rule = {true, true, true, false};
            return true;
        case SizingEdge::BottomRight:
            *rule = {true, true, false, false};
            return true;
        case SizingEdge::None:
            break;
    }
    return false;
}

}  // namespace

IntRect ClientToWindow(const IntRect& client, const WindowChrome& chrome, const FrameMetrics& m) {
    if (chrome.frame != 1) return client;
    if (HasCaptionAndFrame(chrome)) {
        IntRect r = client;
        r.top -= m.captionHeight;
        return Inflate(r, m.frameX, m.frameY);
    }
    return Inflate(client, BareFrameX(m), BareFrameY(m));
}

IntRect WindowToClient(const IntRect& window, const WindowChrome& chrome, const FrameMetrics& m) {
    if (chrome.frame != 1) return window;
    if (HasCaptionAndFrame(chrome)) {
        IntRect r = Inflate(window, -m.frameX, -m.frameY);
        r.top += m.captionHeight;
        return r;
    }
    return Inflate(window, -BareFrameX(m), -BareFrameY(m));
}

IntRect KeepAspectWhileSizing(const IntRect& proposedWindow, SizingEdge edge,
                              const AspectPair& aspect, IntSize& nativeSize,
                              const WindowChrome& chrome, const FrameMetrics& m) {
    EdgeRule rule{};
    if (!RuleOfEdge(edge, &rule)) return proposedWindow;
    IntRect client = WindowToClient(proposedWindow, chrome, m);
    const IntSize fit = FitSize(aspect, nativeSize, client.Width(), client.Height(), rule.corner,
                                rule.heightDrives);
    if (rule.keepRight) {
        client.left = client.right - fit.cx;
    } else {
        client.right = client.left + fit.cx;
    }
    if (rule.keepBottom) {
        client.top = client.bottom - fit.cy;
    } else {
        client.bottom = client.top + fit.cy;
    }
    return ClientToWindow(client, chrome, m);
}

int32_t RefitClientWidth(int32_t width, int32_t height, const AspectPair& aspect,
                         IntSize& nativeSize) {
    // The width the aspect gives the height, as the picture's own fit computes it.
    return FitSize(aspect, nativeSize, width, height, false, true).cx;
}

IntSize ZoomClientSize(const IntSize& videoSize, double factor, const AspectPair& aspect,
                       IntSize& nativeSize) {
    const IntSize fit = FitSize(aspect, nativeSize, videoSize.cx, videoSize.cy, true, true);
    return {static_cast<int32_t>(fit.cx * factor), static_cast<int32_t>(factor * fit.cy)};
}

IntSize FixedClientSize(const IntSize& size, bool keepAspect, const AspectPair& aspect,
                        IntSize& nativeSize) {
    if (!keepAspect) return size;
    return {RefitClientWidth(size.cx, size.cy, aspect, nativeSize), size.cy};
}

IntRect TitleBarToggledRect(const IntRect& window, const WindowChrome& chrome,
                            const FrameMetrics& m) {
    IntRect r = window;
    if (chrome.titleBar == 1) {
        r.top += m.captionHeight;
        return Inflate(r, -m.borderX, -m.borderY);
    }
    r.top -= m.captionHeight;
    return Inflate(r, m.borderX, m.borderY);
}

IntRect FrameToggledRect(const IntRect& window, const WindowChrome& chrome, const FrameMetrics& m) {
    IntRect r = window;
    const int32_t sign = chrome.frame == 1 ? -1 : 1;  // in when hiding, out when showing
    if (chrome.titleBar == 1) {
        r.top -= sign * m.captionHeight;
        return Inflate(r, sign * m.frameX, sign * m.frameY);
    }
    return Inflate(r, sign * BareFrameX(m), sign * BareFrameY(m));
}

SizingEdge HitTestSizingBand(const IntRect& client, int32_t x, int32_t y) {
    const IntRect inner{client.left + kSizingBand, client.top + kSizingBand,
                        client.right - kSizingBand, client.bottom - kSizingBand};
    // The inner rectangle's right and bottom are exclusive, so every band is 15 pixels wide.
    const bool above = y < inner.top;
    const bool below = y >= inner.bottom;
    const bool left = x < inner.left;
    const bool right = x >= inner.right;
    if (above && left) return SizingEdge::TopLeft;
    if (above && right) return SizingEdge::TopRight;
    if (below && left) return SizingEdge::BottomLeft;
    if (below && right) return SizingEdge::BottomRight;
    if (above) return SizingEdge::Top;
    if (below) return SizingEdge::Bottom;
    if (left) return SizingEdge::Left;
    if (right) return SizingEdge::Right;
    return SizingEdge::None;
}

namespace {

bool Near(int32_t value, int32_t target) {
    return target - kSnapDistance < value && value < target + kSnapDistance;
}

IntRect Shifted(const IntRect& r, int32_t dx, int32_t dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

IntRect SnapToMonitor(const IntRect& window, const IntRect& monitor) {
    IntRect w = window;
    if (Near(w.left, monitor.left)) w = Shifted(w, monitor.left - w.left, 0);
    if (Near(w.right, monitor.right)) w = Shifted(w, monitor.right - w.right, 0);
    if (Near(w.top, monitor.top)) w = Shifted(w, 0, monitor.top - w.top);
    if (Near(w.bottom, monitor.bottom)) w = Shifted(w, 0, monitor.bottom - w.bottom);
    return w;
}

int32_t WheelVolume(int32_t volume, int32_t wheelDelta) {
    if (wheelDelta == 0) return volume;
    const int64_t next =
        static_cast<int64_t>(volume) + (wheelDelta < 0 ? -kWheelVolumeStep : kWheelVolumeStep);
    return static_cast<int32_t>(std::clamp<int64_t>(next, 0, 100));
}
