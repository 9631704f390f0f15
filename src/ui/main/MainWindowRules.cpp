#include "ui/main/MainWindowRules.h"

#include <cstdio>

#include "config/Profile.h"

bool ProcessPriorityFromSetting(int32_t stored, ProcessPriority* out) {
    if (stored < 0 || stored > 5) return false;
    *out = static_cast<ProcessPriority>(stored);
    return true;
}

SelectedProfileView ViewOfSelectedProfile(const Profile* selected) {
    SelectedProfileView view;
    if (selected) {
        view.Name = selected->Name;
        view.AudioVolume = selected->PreviewAudioVolume;
        view.AspectRatio = selected->PreviewAspectRatio;
        view.ProcessPriority = selected->PreviewProcessPriority;
    }
    return view;
}

std::wstring FormatWindowTitle(const std::wstring& name, int32_t clientWidth, int32_t clientHeight,
                               double framesPerSecond, int32_t volume) {
    // Everything after the name is ASCII: formatted narrow (one printf convention on every
    // platform) and widened.
    char numbers[160];
    const int length = std::snprintf(numbers, sizeof(numbers), " [%dx%d %4.2ffps]  (%d) - Lumoka2",
                                     static_cast<int>(clientWidth), static_cast<int>(clientHeight),
                                     framesPerSecond, static_cast<int>(volume));
    std::wstring title = name;
    for (int i = 0; i < length && i < static_cast<int>(sizeof(numbers)) - 1; ++i) {
        title.push_back(static_cast<wchar_t>(static_cast<unsigned char>(numbers[i])));
    }
    return title;
}
