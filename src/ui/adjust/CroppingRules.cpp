#include "ui/adjust/CroppingRules.h"

#include <algorithm>

CropMargins MarginsInRowOrder(const CropRect& crop) {
    return {crop.top, crop.left, crop.right, crop.bottom};
}

CropRect CropFromMargins(const CropMargins& margins) {
    CropRect crop;
    crop.left = margins[kCropLeft];
    crop.top = margins[kCropTop];
    crop.right = margins[kCropRight];
    crop.bottom = margins[kCropBottom];
    return crop;
}

int32_t CropThumbPosition(int32_t margin) { return std::clamp(margin, 0, kCropMarginLast); }
