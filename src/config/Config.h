// CConfig: the program's one configuration object. It knows where the program lives, holds
// the settings record of "Lumoka2.ini" and the ten capture profiles of "Profile.ini", and
// reads and writes both files whole.
//
// Threads: main thread only, no locking. Ownership: one static object with program lifetime,
// reached through TheConfig(); dialogs copy what they edit and write it back on OK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Placement.h"
#include "config/Profile.h"

class CIniFile;

extern const wchar_t kSettingsFileName[];  // "Lumoka2.ini"
extern const wchar_t kProfileFileName[];   // "Profile.ini"

class CConfig {
public:
    CConfig() = default;

    // Finds the executable's folder and the two file paths. Windows: the module path (at most
    // 260 characters) must hold a backslash. Called once at start-up.
    bool Init();
    // The part of Init after the module path is known: cuts after the last separator
    // (the native build passes '/').
    bool InitFromModulePath(const std::wstring& modulePath, wchar_t separator = L'\\');

    // Read the files at SettingsPath / ProfilePath; true when the file was read. A missing or
    // unreadable file gives every default. LoadSettings measures the desktop for the default
    // placement itself.
    bool LoadSettings();
    bool LoadProfiles();
    // Rewrite the files whole from the members; false when the file could not be replaced (it
    // then keeps its old content).
    bool SaveSettings() const;
    bool SaveProfiles() const;

    // Removes what interrupted saves left in the program folder (their temporary files, by the
    // file layer's own pattern). Init does it on Windows.
    void RemoveStaleSaveFiles() const;

    // The same for any file, for tools and tests.
    bool LoadSettingsFrom(const std::wstring& path, const DesktopMetrics& desktop);
    bool SaveSettingsTo(const std::wstring& path) const;
    bool LoadProfilesFrom(const std::wstring& path);
    bool SaveProfilesTo(const std::wstring& path) const;

    // The same on text held in memory, without any file: the text a load parses and the text a
    // save writes (before the file layer's encoding).
    void LoadSettingsFromText(const std::wstring& text, const DesktopMetrics& desktop);
    void LoadProfilesFromText(const std::wstring& text);
    std::wstring SettingsText() const;
    std::wstring ProfilesText() const;

    // Every settings member at its default (what a missing settings file gives).
    void ResetSettings(const DesktopMetrics& desktop);
    // Ten default profiles, Selected 0, LastTab 0 (what a missing profile file gives).
    void ResetProfiles();

    // The profile at Selected, or null when Selected is outside 0-9.
    Profile* SelectedProfile();
    const Profile* SelectedProfile() const;

    int32_t Initialized = 0;  // 1 after Init succeeded
    std::wstring ProgramDir;  // with its trailing backslash
    std::wstring SettingsPath;
    std::wstring ProfilePath;
    int32_t SecondInstance = 0;

    // "Window"
    WindowPlacement Placement;
    int32_t AspectRatio = 0;
    int32_t TitleBar = 1;
    int32_t Frame = 1;
    int32_t TopMost = 0;
    int32_t Snap = 1;
    int32_t Drag = 1;
    int32_t ScreenSaverStop = 1;
    int32_t MonitorPowerOffStop = 1;
    int32_t SystemStanbyStop = 1;

    // "SnapShot"
    std::wstring Folder;
    int32_t Type = 2;  // 0 = BMP, 1 = JPEG, 2 = PNG
    int32_t VideoSize = 1;
    int32_t Crop = 1;
    int32_t JpegQuality = 100;

    // "Profile.ini"
    int32_t Selected = 0;
    std::vector<Profile> Profiles;  // ten after every load
    int32_t LastTab = 0;

private:
    void ReadSettings(const CIniFile& ini, const DesktopMetrics& desktop);
    void ReadProfiles(const CIniFile& ini);
    void WriteSettings(CIniFile& ini) const;
    void WriteProfiles(CIniFile& ini) const;
};

// The process-wide configuration object (constructed on first use, destroyed at exit).
CConfig& TheConfig();

// The desktop as the default placement sees it. Windows: GetSystemMetrics (SM_CXFRAME,
// SM_CYFRAME, SM_CYCAPTION) and the desktop window's rectangle.
DesktopMetrics QueryDesktopMetrics();
