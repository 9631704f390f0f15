#include "graph/Geometry.h"

#include <algorithm>

AspectPair AspectPairFromSetting(int32_t aspectRatio) {
    switch (aspectRatio) {
        case 1:
            return {4, 3};
        case 2:
            return {16, 9};
        case 3:
            return {40, 33};
        case 4:
            return {10, 11};
        case 100:
            return kAspectFit;
        default:
            return kAspectNative;
    }
}

IntSize FitSize(const AspectPair& aspect, IntSize& nativeSize, int32_t width, int32_t height,
                bool corner, bool heightDrives) {
    double x = 0.0;
    double y = 0.0;
    if (aspect.x > 0 && aspect.y > 0) {
        x = aspect.x;
        y = aspect.y;
    } else if (aspect.x == -1) {
        nativeSize.cx = std::max(nativeSize.cx, 1);
        nativeSize.cy = std::max(nativeSize.cy, 1);
        x = nativeSize.cx;
        y = nativeSize.cy;
    } else {
        return {width, height};
    }
    // Both forms are computed in floating point and truncated toward zero.
    const int32_t widthForHeight = static_cast<int32_t>(x * (height / y));
    const int32_t heightForWidth = static_cast<int32_t>(y * (width / x));
    if (corner) {
        if (width >= widthForHeight) return {widthForHeight, height};
        return {width, heightForWidth};
    }
    if (heightDrives) return {widthForHeight, height};
    return {width, heightForWidth};
}

IntRect CentredRect(int32_t clientWidth, int32_t clientHeight, const IntSize& fit) {
    const double cx = clientWidth / 2.0;
    const double cy = clientHeight / 2.0;
    const double hw = fit.cx / 2.0;
    const double hh = fit.cy / 2.0;
    return {static_cast<int32_t>(cx - hw), static_cast<int32_t>(cy - hh),
            static_cast<int32_t>(cx + hw), static_cast<int32_t>(cy + hh)};
}

IntRect CroppedSource(const CropRect& crop, int32_t nativeWidth, int32_t nativeHeight) {
    return {crop.left, crop.top, nativeWidth - crop.right, nativeHeight - crop.bottom};
}

NormRect CroppedSourceNormalized(const CropRect& crop, int32_t nativeWidth, int32_t nativeHeight) {
    NormRect r;
    if (nativeWidth >= 1) {
        const float w = static_cast<float>(nativeWidth);
        r.left = static_cast<float>(crop.left) / w;
        r.right = static_cast<float>(nativeWidth - crop.right) / w;
    }
    if (nativeHeight >= 1) {
        const float h = static_cast<float>(nativeHeight);
        r.top = static_cast<float>(crop.top) / h;
        r.bottom = static_cast<float>(nativeHeight - crop.bottom) / h;
    }
    return r;
}

std::vector<IntRect> BorderRects(const IntRect& client, const IntRect& dest) {
    std::vector<IntRect> borders;
    // The part of dest that lies inside the client area splits the rest into four bands.
    IntRect inner{std::max(dest.left, client.left), std::max(dest.top, client.top),
                  std::min(dest.right, client.right), std::min(dest.bottom, client.bottom)};
    if (inner.IsEmpty()) {
        if (!client.IsEmpty()) borders.push_back(client);
        return borders;
    }
    const IntRect candidates[] = {
        {client.left, client.top, client.right, inner.top},
        {client.left, inner.bottom, client.right, client.bottom},
        {client.left, inner.top, inner.left, inner.bottom},
        {inner.right, inner.top, client.right, inner.bottom},
    };
    for (const IntRect& r : candidates) {
        if (!r.IsEmpty()) borders.push_back(r);
    }
    return borders;
}
