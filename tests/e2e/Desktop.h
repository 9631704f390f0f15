// What an end-to-end test does on the shared desktop as a person would: mouse and keys through
// xdotool on the test's X display, the program's windows found by class and caption (menus,
// message boxes, property frames), and the client area read back from the screen.
//
// Threads: the test's thread. The program under test runs in another process on the same
// desktop, so everything here works across processes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumoka::testing {

// Runs "xdotool <args>" (a Unix program, started through the shell so its end can be seen)
// and waits until it has finished; false when it failed or did not end in time.
bool Xdotool(const std::string& args, DWORD timeoutMs = 10000);

// Right-clicks the middle of the window's client area.
bool RightClickClient(HWND window);

// The visible top-level windows of a process with the class name cls whose caption starts
// with captionPrefix.
std::vector<HWND> ProcessWindows(DWORD processId, const std::wstring& cls,
                                 const std::wstring& captionPrefix = std::wstring());

// Polls done every 50 ms until it is true or timeoutMs have passed.
template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

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
