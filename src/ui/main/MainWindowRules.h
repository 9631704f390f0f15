// The main window's rules that need no window: the title text, the process priority a profile
// asks for, and the values the window takes from the selected profile (with the defaults it
// uses when no profile is selected).
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>

struct Profile;

// Process priority classes in the order the profile stores them.
enum class ProcessPriority : int32_t {
    Normal = 0,
    BelowNormal = 1,
    Idle = 2,
    AboveNormal = 3,
    High = 4,
    Realtime = 5,
};

// The priority of a stored "Preview.ProcessPriority"; false for values outside 0-5, which
// leave the process's class unchanged.
bool ProcessPriorityFromSetting(int32_t stored, ProcessPriority* out);

// The profile values the window reads, from the selected profile or, when none is selected,
// the fields' defaults with an empty name.
struct SelectedProfileView {
    std::wstring Name;
    int32_t AudioVolume = 100;
    int32_t AspectRatio = 0;
    int32_t ProcessPriority = 3;
};
SelectedProfileView ViewOfSelectedProfile(const Profile* selected);

// "<name> [<w>x<h> <fps>fps]  (<volume>) - Lumoka2", the frame rate with two decimals in at
// least four characters (two blanks before the parenthesis).
std::wstring FormatWindowTitle(const std::wstring& name, int32_t clientWidth, int32_t clientHeight,
                               double framesPerSecond, int32_t volume);
