#include "ui/adjust/ScrollRules.h"

#include <algorithm>

int32_t NextScrollPosition(int32_t code, int32_t position, int32_t thumb, int32_t last) {
    const int64_t end = std::max<int64_t>(last, 0);
    int64_t next = position;
    switch (static_cast<ScrollCode>(code)) {
        case ScrollCode::LineLeft:
        case ScrollCode::PageLeft:
            next = int64_t{position} - 1;
            break;
        case ScrollCode::LineRight:
        case ScrollCode::PageRight:
            next = int64_t{position} + 1;
            break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::ThumbTrack:
            next = thumb;
            break;
        default:
            return position;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(next, 0, end));
}
