#include "ui/snapdlg/SnapshotDialogRules.h"

#include <algorithm>

#include "config/Config.h"
#include "config/IniFile.h"

const wchar_t kUserGuideFileName[] = L"Lumoka2-guide.html";
const wchar_t kUserGuideEnFileName[] = L"Lumoka2-guide-en.html";

SnapshotSettings SnapshotSettingsOf(const CConfig& config) {
    return SnapshotSettings{config.Folder, config.Type, config.VideoSize, config.Crop,
                            config.JpegQuality};
}

void StoreSnapshotSettings(const SnapshotSettings& settings, CConfig& config) {
    config.Folder = settings.Folder;
    config.Type = settings.Type;
    config.VideoSize = settings.VideoSize;
    config.Crop = settings.Crop;
    config.JpegQuality = settings.JpegQuality;
}

int32_t FormatRadioIndex(int32_t type) { return type == 0 || type == 1 ? type : 2; }

int32_t SizeRadioIndex(int32_t videoSize) {
    return videoSize >= 0 && videoSize <= 2 ? videoSize : 0;
}

int32_t QualityInRange(int32_t quality) { return std::clamp(quality, 0, 100); }

int32_t NextQualityPosition(int32_t code, int32_t thumb, int32_t position) {
    switch (code) {
        case kScrollLineLeft:
        case kScrollPageLeft:
            return QualityInRange(std::max(position, 1) - 1);
        case kScrollLineRight:
        case kScrollPageRight:
            return QualityInRange(std::min(position, 99) + 1);
        case kScrollThumbPosition:
        case kScrollThumbTrack:
            return QualityInRange(thumb);
        default:
            return position;
    }
}

std::wstring BrowsedFolderText(const std::wstring& path) {
    if (path.find(L'\\') != std::wstring::npos && path.back() != L'\\') return path + L"\\";
    return path;
}

std::wstring FolderFromField(const std::wstring& typed) { return CIniFile::OneLine(typed); }

bool BrowserCanStartAt(const std::wstring& folder) {
    return !folder.empty() && folder.size() < 260;
}

std::wstring UserGuidePath(const std::wstring& programDir) {
    return programDir + kUserGuideFileName;
}
