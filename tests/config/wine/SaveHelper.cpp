// The program's start and exit as far as its files go, for the kill test: start-up (program
// folder, stale temporary files removed, both files loaded), then, unless "--start-only" is
// given, a change in each file and the exit save (settings file, then profile file).
// Usage: config_save_helper.exe <folder> [--start-only]
#include <windows.h>

#include <clocale>
#include <string>

#include "config/Config.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    setlocale(LC_ALL, "");
    CConfig config;
    if (!config.InitFromModulePath(std::wstring(argv[1]) + L"\\Lumoka2.exe")) return 2;
    config.RemoveStaleSaveFiles();
    config.LoadSettings();
    config.LoadProfiles();
    if (argc > 2 && std::wstring(argv[2]) == L"--start-only") return 0;
    config.TopMost = config.TopMost ? 0 : 1;
    config.Folder += L"写真\\";
    // Long enough that "half of it written" is a real part of a file.
    for (Profile& profile : config.Profiles) profile.Name += L"+";
    config.Selected = (config.Selected + 1) % kProfileCount;
    return config.SaveSettings() && config.SaveProfiles() ? 0 : 1;
}
