// What the snapshot settings and version dialogs decide, over plain values: the five settings
// the dialog edits, which radio button shows a stored value, the quality scroll bar's steps,
// the text a browsed folder becomes, and where the user guide lies.
//
// Portable: no platform headers. Pure functions; any thread.
#pragma once

#include <cstdint>
#include <string>

class CConfig;

// The "SnapShot" settings as the dialog edits them (copied in, and back only on OK).
struct SnapshotSettings {
    std::wstring Folder;
    int32_t Type = 2;
    int32_t VideoSize = 1;
    int32_t Crop = 1;
    int32_t JpegQuality = 100;
};
SnapshotSettings SnapshotSettingsOf(const CConfig& config);
void StoreSnapshotSettings(const SnapshotSettings& settings, CConfig& config);

// The format radio (0 BMP, 1 JPEG, 2 PNG) for a stored Type: anything else shows PNG.
int32_t FormatRadioIndex(int32_t type);
// The size radio (0 input, 1 with aspect, 2 display) for a stored VideoSize: anything else
// shows the input size, which is what saving makes of it.
int32_t SizeRadioIndex(int32_t videoSize);
// The quality shown and stored: 0-100.
int32_t QualityInRange(int32_t quality);

// Scroll codes as the platform numbers them (SB_LINELEFT ... SB_THUMBTRACK).
enum ScrollCode : int32_t {
    kScrollLineLeft = 0,
    kScrollLineRight = 1,
    kScrollPageLeft = 2,
    kScrollPageRight = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
};
// The quality scroll bar's next position: a line or a page moves by 1, the thumb goes where it
// is reported; always inside 0-100. Other codes keep the position.
int32_t NextQualityPosition(int32_t code, int32_t thumb, int32_t position);

// The folder text of a browsed path: a backslash appended when the path holds one but does not
// end with it, so "C:\" stays and "C:\shots" becomes "C:\shots\".
std::wstring BrowsedFolderText(const std::wstring& path);

// The folder text the edit's text is stored as: as typed, but on one line
// (CIniFile::OneLine), since the settings file cannot hold a line break in a value and no
// folder name holds a control character. A pasted path with its line break keeps the path.
std::wstring FolderFromField(const std::wstring& typed);

// Whether the folder browser can be asked to start at the folder: the shell takes a path of
// less than MAX_PATH (260) characters; with a longer or empty one it starts at its root.
bool BrowserCanStartAt(const std::wstring& folder);

// The user guide beside the executable (Japanese; it links to the English one beside it).
extern const wchar_t kUserGuideFileName[];    // "Lumoka2-guide.html"
extern const wchar_t kUserGuideEnFileName[];  // "Lumoka2-guide-en.html"
// programDir ends with its separator.
std::wstring UserGuidePath(const std::wstring& programDir);
