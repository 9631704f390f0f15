// Where a horizontal scroll bar of the adjustment dialogs goes for each scroll message.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>

// The scroll codes in the system's numbering (SB_LINELEFT .. SB_ENDSCROLL of WM_HSCROLL).
enum class ScrollCode : int32_t {
    LineLeft = 0,
    LineRight = 1,
    PageLeft = 2,
    PageRight = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Left = 6,
    Right = 7,
    EndScroll = 8,
};

// The position after a scroll message in a bar of positions 0..last: the arrows and a click in
// the trough move by one position, the thumb goes where it was dragged (kept inside 0..last),
// and every other code keeps the position.
int32_t NextScrollPosition(int32_t code, int32_t position, int32_t thumb, int32_t last);
