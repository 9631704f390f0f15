// What an end-to-end test does on the shared desktop as a person would: mouse and keys through
// xdotool on the test's X display, the program's windows found by class and caption (menus,
// message boxes, property frames), and the client area read back from the screen
// (harness/Screenshot.h).
//
// Threads: the test's thread. The program under test runs in another process on the same
// desktop, so everything here works across processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/Screenshot.h"

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

}  // namespace lumoka::testing
