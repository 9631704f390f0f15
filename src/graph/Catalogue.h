// The catalogue: the video capture devices, audio capture devices and ordinary filters the
// platform's device enumerator knows; finding a stored device again; and the description of a
// bound device (pins, usable formats, analogue standards, the crossbars in front of it) for the
// profile editor's pages and the graph build.
//
// Threads: the user-interface thread, in a COM apartment the caller initialised. Every
// operation creates and releases its own platform objects; only FindDevice hands a filter out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/GraphPlatform.h"
#include "graph/Naming.h"

enum class DeviceKind : int32_t {
    OtherFilter = 0,   // CLSID_LegacyAmFilterCategory
    VideoCapture = 1,  // CLSID_VideoInputDeviceCategory
    AudioCapture = 2,  // CLSID_AudioInputDeviceCategory
};

// Lookups differ between the graph build and the editor pages in the enumerator flags for
// ordinary filters and in how a moniker without a name is treated.
enum class FindVariant { GraphBuild, Page };

struct DeviceEntry {
    std::wstring FriendlyName;
    std::wstring Description;
    std::wstring DevicePath;
    DeviceKind Kind = DeviceKind::VideoCapture;
};

struct PinEntry {
    int32_t IsInput = 0;
    std::wstring Name;       // at most 127 characters
    std::wstring Category;   // PinCategoryName, or "-"
    std::wstring MajorType;  // MajorTypeName of the first media type, or "-"
};

// The fields of an AM_MEDIA_TYPE without its format block.
struct MediaTypeFields {
    GUID majortype = GUID_NULL;
    GUID subtype = GUID_NULL;
    BOOL bFixedSizeSamples = FALSE;
    BOOL bTemporalCompression = FALSE;
    ULONG lSampleSize = 0;
    GUID formattype = GUID_NULL;
    ULONG cbFormat = 0;
};

struct VideoFormatEntry {
    VIDEO_STREAM_CONFIG_CAPS Caps{};
    MediaTypeFields MediaType;
    VIDEOINFOHEADER Header{};
    std::wstring SubtypeName;
    std::vector<VideoStandardName> Standards;
    int32_t CurrentStandard = 0;
};

struct AudioFormatEntry {
    AUDIO_STREAM_CONFIG_CAPS Caps{};
    MediaTypeFields MediaType;
    WAVEFORMATEX Wave{};
    std::wstring SubtypeName;
};

struct CrossbarInput {
    int32_t Index = -1;
    int32_t RelatedIndex = -1;
    int32_t PhysicalType = -1;
    int32_t Routed = -1;
    std::wstring Label;
};

struct CrossbarOutput {
    int32_t Index = -1;
    int32_t RelatedIndex = -1;
    int32_t PhysicalType = -1;
    int32_t RoutedInput = -1;
    std::wstring Label;
    std::vector<CrossbarInput> Inputs;
};

struct CrossbarInfo {
    std::vector<CrossbarOutput> Outputs;
    std::vector<CrossbarInput> Inputs;
    bool Empty() const { return Outputs.empty() && Inputs.empty(); }
    void Clear() {
        Outputs.clear();
        Inputs.clear();
    }
};

// What the video source page shows of one device.
struct VideoDeviceRecord {
    std::vector<PinEntry> Pins;
    std::vector<VideoFormatEntry> Formats;
    CrossbarInfo FirstCrossbar;
    CrossbarInfo SecondCrossbar;
};

// What the audio source page shows of one device.
struct AudioDeviceRecord {
    std::vector<PinEntry> Pins;
    std::vector<AudioFormatEntry> Formats;
};

// What the filter chain page keeps of one extra filter.
struct FilterRecord {
    std::wstring FriendlyName;
    std::wstring DevicePath;
    std::wstring Description;
    std::vector<PinEntry> Pins;
    bool Inspected = false;
};

const GUID& DeviceCategory(DeviceKind kind);

bool EnumDevices(DeviceKind kind, std::vector<DeviceEntry>& list);
bool FindDevice(DeviceKind kind, const std::wstring& friendlyName, const std::wstring& devicePath,
                FindVariant variant, ComPtr<IBaseFilter>& filter);
bool ListPins(IBaseFilter* filter, std::vector<PinEntry>& list);
bool HasAudioCapturePin(const std::vector<PinEntry>& pins);
bool ListVideoFormats(IBaseFilter* filter, std::vector<VideoFormatEntry>& list);
bool ListAudioFormats(IBaseFilter* filter, std::vector<AudioFormatEntry>& list);
bool DescribeCrossbars(IBaseFilter* filter, CrossbarInfo& first, CrossbarInfo& second);
void DescribeCrossbar(IAMCrossbar* crossbar, CrossbarInfo& info);

bool InspectVideoDevice(const DeviceEntry& entry, VideoDeviceRecord& record);
bool InspectAudioDevice(const DeviceEntry& entry, AudioDeviceRecord& record);
bool InspectFilter(const DeviceEntry& entry, FilterRecord& record);

// Compression-code text decoded in the ANSI code page (for VideoSubtypeName).
std::wstring DecodeFourCcAnsi(const std::string& bytes);

// Reads the stream configuration interface of a capture filter's video output: the capture pin,
// else the preview pin. Shared by the catalogue and the format set-up of the build.
HRESULT FindVideoStreamConfig(IBaseFilter* filter, ComPtr<IAMStreamConfig>& config);
