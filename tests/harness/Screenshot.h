// The screen read back as the user sees it: a window's client area copied off the screen
// (not out of the window, so whatever covers the window shows too), its pixels as colours,
// and the frame counter the test card carries read from a part of it. For every test that
// checks a picture on the screen.
//
// Threads: any; it reads the screen of the desktop the calling process runs on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumoka::testing {

struct Rgb {
    int r = 0, g = 0, b = 0;
};
bool Near(const Rgb& a, const Rgb& b, int tolerance = 40);
std::string Text(const Rgb& c);

// The client area as the screen shows it, top row first.
class CScreenshot {
public:
    explicit CScreenshot(HWND window);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The colour at a client point; -1, -1, -1 outside the client area.
    Rgb At(int x, int y) const;
    // The frame counter the test card carries, read from the picture in rect (client pixels);
    // -1 when it cannot be read.
    long FrameCounter(const RECT& rect) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

}  // namespace lumoka::testing
