// The main window's placement as stored in the settings file: the 44-byte window placement
// record, its 90-digit hexadecimal text form, and the centred default used when the file holds
// none. Portable: plain values only, converted to and from WINDOWPLACEMENT in PlacementWin.h.
#pragma once

#include <cstdint>
#include <string>

struct PlacementPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Field for field the layout of WINDOWPLACEMENT (eleven little-endian 32-bit fields, 44 bytes).
struct WindowPlacement {
    uint32_t length = kSize;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    PlacementPoint ptMinPosition;
    PlacementPoint ptMaxPosition;
    PlacementRect rcNormalPosition;

    static constexpr uint32_t kSize = 44;
};

bool operator==(const WindowPlacement& a, const WindowPlacement& b);
inline bool operator!=(const WindowPlacement& a, const WindowPlacement& b) { return !(a == b); }

// What the default placement needs to know about the desktop: the sizing-frame width and
// height, the caption height and the size of the desktop window.
struct DesktopMetrics {
    int cxFrame = 0;
    int cyFrame = 0;
    int cyCaption = 0;
    int desktopWidth = 0;
    int desktopHeight = 0;
};

// The 44 bytes in record order, two uppercase hex digits each (high nibble first), then the
// 8-bit sum of the bytes as two more digits: always 90 characters.
std::wstring EncodePlacement(const WindowPlacement& placement);

// Accepts 89 or 90 characters, upper- or lowercase digits (any other character counts as 0);
// false, with *out untouched, for another length or a checksum that does not match.
bool DecodePlacement(const std::wstring& text, WindowPlacement* out);

// A window with a 640 x 480 client area centred on the desktop; at (0, 0) when the desktop
// is smaller than the window.
WindowPlacement MakeDefaultPlacement(const DesktopMetrics& desktop);
