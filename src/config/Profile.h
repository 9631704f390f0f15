// One capture profile and its storage in a "Profile:%02d" section of the profile file.
// Every field is named after its key in the file: "Preview.Transform.Copy" is
// PreviewTransformCopy, "Video.Crossbar" is VideoCrossbar and so on.
//
// Threads: plain data, used on the main thread. Dialogs and the editor work on copies.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CIniFile;

// Marks an unknown or unset video signal value or flag.
constexpr int32_t kNotSet = INT32_MIN;  // -2147483648, 0x80000000

constexpr int kProfileCount = 10;
constexpr int kVideoProcAmpCount = 10;

// Lists are read up to this many entries; the rest of a larger stored count is ignored, so a
// damaged or hostile count cannot make loading allocate without bound.
constexpr int kMaxListEntries = 1024;

// Identity of a capture device or an extra filter; matched by FriendlyName and DevicePath.
struct DeviceInfo {
    std::wstring FriendlyName;
    std::wstring Description;
    std::wstring DevicePath;

    bool IsEmpty() const {
        return FriendlyName.empty() && Description.empty() && DevicePath.empty();
    }
};

// One routing of the video crossbar; an entry with a negative index is not applied.
struct CrossbarRoute {
    int32_t Output = -1;
    int32_t Input = -1;
};

// One extra filter of the video or audio chain. Input/Output: pin indexes, -1 = any pin.
struct FilterEntry {
    int32_t Check = 1;
    DeviceInfo Device;
    int32_t Input = -1;
    int32_t Output = -1;
};

struct VideoProcAmpSetting {
    int32_t Value = kNotSet;
    int32_t Flags = kNotSet;
};

// Pixels removed from each edge of the picture.
struct CropRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The video signal properties in the order of the platform's property numbers 0-9; the names
// are the middle part of the "VideoProcAmp.<name>.Value" keys.
extern const wchar_t* const kVideoProcAmpNames[kVideoProcAmpCount];

struct Profile {
    std::wstring Name;
    DeviceInfo Video;
    std::vector<CrossbarRoute> VideoCrossbar;
    int32_t VideoFormatIndex = 0;
    int32_t VideoFormatWidth = 0;
    int32_t VideoFormatHeight = 0;
    int64_t VideoFormatAvgTimePerFrame = 0;  // 100-nanosecond units
    int32_t VideoFormatStandard = 0;
    DeviceInfo Audio;
    int32_t AudioUseBufferSize = 0;
    int32_t AudioBufferSize = 50;  // milliseconds
    int32_t AudioFormatIndex = 0;
    uint16_t AudioFormatChannels = 0;
    uint16_t AudioFormatBitsPerSample = 0;
    int32_t AudioFormatSamplesPerSec = 0;
    std::vector<FilterEntry> FilterVideo;
    std::vector<FilterEntry> FilterAudio;
    int32_t PreviewVideoSync = 1;
    int32_t PreviewAudioSync = 1;
    int32_t PreviewVideoRenderer = 0;
    int32_t PreviewAudioRenderer = 0;
    int32_t PreviewTransform = 1;
    int32_t PreviewTransformCopy = 0;
    int32_t PreviewTransformFrame = 0;
    int32_t PreviewTransformFieldOrder = 0;
    int32_t PreviewTransformFlipVertical = 0;
    int32_t PreviewTransformYCExpand = 0;
    int32_t PreviewAudioVolume = 100;
    int32_t PreviewAspectRatio = 0;
    int32_t PreviewProcessPriority = 3;
    CropRect PreviewCropping;
    std::array<VideoProcAmpSetting, kVideoProcAmpCount> VideoProcAmp{};
};

bool operator==(const DeviceInfo& a, const DeviceInfo& b);
bool operator==(const CrossbarRoute& a, const CrossbarRoute& b);
bool operator==(const FilterEntry& a, const FilterEntry& b);
bool operator==(const VideoProcAmpSetting& a, const VideoProcAmpSetting& b);
bool operator==(const CropRect& a, const CropRect& b);
bool operator==(const Profile& a, const Profile& b);
inline bool operator!=(const Profile& a, const Profile& b) { return !(a == b); }

// A profile of defaults named "プロファイル<index>".
Profile MakeDefaultProfile(int index);

// "Profile:%02d" with the index.
std::wstring ProfileSectionName(int index);

// Reads every key present in the section over the values already in profile (start from
// MakeDefaultProfile); missing keys keep their value.
void ReadProfile(const CIniFile& ini, const std::wstring& section, Profile& profile);

// Writes every field into the section, in the order the profile file keeps.
void WriteProfile(CIniFile& ini, const std::wstring& section, const Profile& profile);

// The name a typed one is stored as, so that the profile file gives back exactly what is
// stored. The line "Name=..." cannot hold a line break or other control character
// (CIniFile::OneLine makes them spaces) nor an "=" (the last one would begin the value): each
// "=" becomes the full-width "＝". Characters the file's encoding lacks become what a save and
// a load give back (readBack, AsReadBack by default); where that turns "＝" back into "=", it
// becomes "-". Applying it again changes nothing.
using ReadBackFunction = std::wstring (*)(const std::wstring&);
std::wstring StorableProfileName(const std::wstring& typed, ReadBackFunction readBack = nullptr);

// Forgets the last known device state: Value and Flags of all ten properties become kNotSet.
void ResetVideoProcAmp(Profile& profile);
