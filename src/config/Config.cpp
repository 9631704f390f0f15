#include "config/Config.h"

#include <utility>

#include "config/IniFile.h"
#include "config/TextFile.h"
#include "config/TextFileDetail.h"

const wchar_t kSettingsFileName[] = L"Lumoka2.ini";
const wchar_t kProfileFileName[] = L"Profile.ini";

namespace {

const wchar_t kCommon[] = L"Common";
const wchar_t kFileVersionKey[] = L"FileVersion";
const wchar_t kWindow[] = L"Window";
const wchar_t kSnapShot[] = L"SnapShot";
const wchar_t kProfile[] = L"Profile";
constexpr int32_t kFileVersion = 4;

// The deinterlace mode of a file older than version 4 is not carried over: it starts as Copy.
constexpr int32_t kFirstVersionWithCurrentCopyModes = 4;

}  // namespace

CConfig& TheConfig() {
    static CConfig config;
    return config;
}

bool CConfig::InitFromModulePath(const std::wstring& modulePath, wchar_t separator) {
    const size_t slash = modulePath.rfind(separator);
    if (slash == std::wstring::npos) return false;
    ProgramDir = modulePath.substr(0, slash + 1);
    SettingsPath = ProgramDir + kSettingsFileName;
    ProfilePath = ProgramDir + kProfileFileName;
    Initialized = 1;
    return true;
}

bool CConfig::LoadSettings() { return LoadSettingsFrom(SettingsPath, QueryDesktopMetrics()); }

bool CConfig::SaveSettings() const { return SaveSettingsTo(SettingsPath); }

bool CConfig::LoadProfiles() { return LoadProfilesFrom(ProfilePath); }

bool CConfig::SaveProfiles() const {
    textfile_detail::PausePoint("profiles");
    return SaveProfilesTo(ProfilePath);
}

void CConfig::RemoveStaleSaveFiles() const { RemoveStaleTempFiles(ProgramDir); }

void CConfig::ResetSettings(const DesktopMetrics& desktop) { ReadSettings(CIniFile(), desktop); }

bool CConfig::LoadSettingsFrom(const std::wstring& path, const DesktopMetrics& desktop) {
    CIniFile ini;
    const bool read = ini.Load(path);
    if (read) ini.Parse();
    ReadSettings(ini, desktop);
    return read;
}

void CConfig::ReadSettings(const CIniFile& ini, const DesktopMetrics& desktop) {
    int32_t version = 0;
    ini.GetInt(kCommon, kFileVersionKey, version, kFileVersion);  // not used further
    if (!ini.GetPlacement(Placement)) Placement = MakeDefaultPlacement(desktop);
    ini.GetInt(kWindow, L"AspectRatio", AspectRatio, 0);
    ini.GetInt(kWindow, L"TitleBar", TitleBar, 1);
    ini.GetInt(kWindow, L"Frame", Frame, 1);
    ini.GetInt(kWindow, L"TopMost", TopMost, 0);
    ini.GetInt(kWindow, L"Snap", Snap, 1);
    ini.GetInt(kWindow, L"Drag", Drag, 1);
    ini.GetInt(kWindow, L"ScreenSaverStop", ScreenSaverStop, 1);
    ini.GetInt(kWindow, L"MonitorPowerOffStop", MonitorPowerOffStop, 1);
    ini.GetInt(kWindow, L"SystemStanbyStop", SystemStanbyStop, 1);
    ini.GetString(kSnapShot, L"Folder", Folder, ProgramDir);
    ini.GetInt(kSnapShot, L"Type", Type, 2);
    ini.GetInt(kSnapShot, L"VideoSize", VideoSize, 1);
    ini.GetInt(kSnapShot, L"Crop", Crop, 1);
    ini.GetInt(kSnapShot, L"JpegQuality", JpegQuality, 100);
}

bool CConfig::SaveSettingsTo(const std::wstring& path) const {
    CIniFile ini;
    WriteSettings(ini);
    return ini.Save(path);
}

void CConfig::LoadSettingsFromText(const std::wstring& text, const DesktopMetrics& desktop) {
    CIniFile ini;
    ini.ParseText(text);
    ReadSettings(ini, desktop);
}

std::wstring CConfig::SettingsText() const {
    CIniFile ini;
    WriteSettings(ini);
    return ini.Serialize();
}

void CConfig::WriteSettings(CIniFile& ini) const {
    ini.SetInt(kCommon, kFileVersionKey, kFileVersion);
    ini.SetPlacement(Placement);
    ini.SetInt(kWindow, L"AspectRatio", AspectRatio);
    ini.SetInt(kWindow, L"TitleBar", TitleBar);
    ini.SetInt(kWindow, L"Frame", Frame);
    ini.SetInt(kWindow, L"TopMost", TopMost);
    ini.SetInt(kWindow, L"Snap", Snap);
    ini.SetInt(kWindow, L"Drag", Drag);
    ini.SetInt(kWindow, L"ScreenSaverStop", ScreenSaverStop);
    ini.SetInt(kWindow, L"MonitorPowerOffStop", MonitorPowerOffStop);
    ini.SetInt(kWindow, L"SystemStanbyStop", SystemStanbyStop);
    ini.SetString(kSnapShot, L"Folder", Folder);
    ini.SetInt(kSnapShot, L"Type", Type);
    ini.SetInt(kSnapShot, L"VideoSize", VideoSize);
    ini.SetInt(kSnapShot, L"Crop", Crop);
    ini.SetInt(kSnapShot, L"JpegQuality", JpegQuality);
}

void CConfig::ResetProfiles() { ReadProfiles(CIniFile()); }

bool CConfig::LoadProfilesFrom(const std::wstring& path) {
    CIniFile ini;
    const bool read = ini.Load(path);
    if (read) ini.Parse();
    ReadProfiles(ini);
    return read;
}

void CConfig::ReadProfiles(const CIniFile& ini) {
    int32_t version = 0;
    ini.GetInt(kCommon, kFileVersionKey, version, kFileVersion);
    // Not range-checked: every user of Selected goes through SelectedProfile().
    ini.GetInt(kProfile, L"Selected", Selected, 0);
    ini.GetInt(kProfile, L"LastTab", LastTab, 0);

    Profiles.clear();
    for (int i = 0; i < kProfileCount; ++i) {
        Profile profile = MakeDefaultProfile(i);
        ReadProfile(ini, ProfileSectionName(i), profile);
        if (version < kFirstVersionWithCurrentCopyModes) profile.PreviewTransformCopy = 0;
        Profiles.push_back(std::move(profile));
    }
}

bool CConfig::SaveProfilesTo(const std::wstring& path) const {
    CIniFile ini;
    WriteProfiles(ini);
    return ini.Save(path);
}

void CConfig::LoadProfilesFromText(const std::wstring& text) {
    CIniFile ini;
    ini.ParseText(text);
    ReadProfiles(ini);
}

std::wstring CConfig::ProfilesText() const {
    CIniFile ini;
    WriteProfiles(ini);
    return ini.Serialize();
}

void CConfig::WriteProfiles(CIniFile& ini) const {
    ini.SetInt(kCommon, kFileVersionKey, kFileVersion);
    ini.SetInt(kProfile, L"Selected", Selected);
    ini.SetInt(kProfile, L"LastTab", LastTab);
    for (size_t i = 0; i < Profiles.size(); ++i) {
        WriteProfile(ini, ProfileSectionName(static_cast<int>(i)), Profiles[i]);
    }
}

Profile* CConfig::SelectedProfile() {
    if (Selected < 0 || Selected >= kProfileCount) return nullptr;
    if (static_cast<size_t>(Selected) >= Profiles.size()) return nullptr;
    return &Profiles[static_cast<size_t>(Selected)];
}

const Profile* CConfig::SelectedProfile() const {
    return const_cast<CConfig*>(this)->SelectedProfile();
}
