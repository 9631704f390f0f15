// What the profile editor's pages share: the scroll codes and the stepping of a scroll bar,
// value candidates on a granularity grid, reading typed numbers, the fixed-point texts, and the
// pin list's cells and row colours.
//
// Portable: plain values only; pure functions, any thread. Texts are built without the C
// runtime's wide formatting, so they are the same natively and on Windows whatever the locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/CatalogueRecords.h"

namespace editor {

// The notification codes of a horizontal scroll bar, with the platform's values (SB_LINELEFT
// ... SB_THUMBTRACK); anything else is Other.
enum class ScrollCode : int32_t {
    LineLeft = 0,
    LineRight = 1,
    PageLeft = 2,
    PageRight = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Other = -1,
};
ScrollCode ScrollCodeFrom(int32_t platformCode);

// The next position of a bar whose positions run from low to high: line and page steps move by
// one and stop at the ends, the thumb codes take the thumb's position (held inside the range),
// other codes keep the position.
int32_t NextPosition(ScrollCode code, int32_t thumb, int32_t position, int32_t low, int32_t high);

// How a scroll bar is set up: disabled, or enabled with positions 0 ... Maximum (page size 1).
struct ScrollSetup {
    bool Enabled = false;
    int32_t Minimum = 0;
    int32_t Maximum = 0;
    int32_t Position = 0;
};

// Validation of a typed value. A valid value gives the bar position it stands for (-1 when the
// bar has no grid to move on).
struct Validation {
    bool Valid = false;
    int32_t Position = -1;
};

// Candidates on a grid: with a granularity below 1 or minimum = maximum only the current value;
// otherwise the fixed values plus current, minimum and maximum, ascending without repeats,
// keeping each v with minimum <= v <= maximum and v a multiple of the granularity.
std::vector<int32_t> GridCandidates(int32_t current, int32_t minimum, int32_t maximum,
                                    int32_t granularity, const std::vector<int32_t>& fixed);

// A typed text read as a decimal integer the way the platform's _wtoi reads it: leading blanks,
// an optional sign, the digits that follow; anything after them is ignored, no digits read as 0,
// and a value beyond 32 bits is held at the nearest end.
int32_t ReadDecimalInt(const std::wstring& text);

// A typed text read as a decimal number (blanks, sign, digits, one '.', digits; the rest is
// ignored, whatever the locale). False when no digit was read.
bool ReadDecimalNumber(const std::wstring& text, double& value);

// "%d" of the value, and "%02d" (at least two digits).
std::wstring DecimalText(int64_t value);
std::wstring TwoDigitText(int32_t value);
// "%.2f" of hundredths / 100, and of any value (rounded to hundredths).
std::wstring HundredthsText(int64_t hundredths);
std::wstring FixedTwoText(double value);

// A colour in the platform's COLORREF layout (0x00BBGGRR).
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kInvalidBackground = Rgb(255, 200, 200);  // invalid typed values

// The pin lists: "IN"/"OUT", name, category, major type; rows coloured by what the pin carries
// (video capture blue, video preview yellow, audio capture red, else white).
constexpr int kPinColumns = 4;
std::wstring PinCellText(const PinEntry& pin, int column);
uint32_t PinRowColour(const PinEntry& pin);

}  // namespace editor
