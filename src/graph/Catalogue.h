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

#include "graph/CatalogueRecords.h"
#include "graph/GraphPlatform.h"
#include "graph/Naming.h"

// Lookups differ between the graph build and the editor pages in the enumerator flags for
// ordinary filters and in how a moniker without a name is treated.
enum class FindVariant { GraphBuild, Page };

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

// One usable video capability: the platform's structures, and beside them the portable record
// the pages work on (filled from them by ListVideoFormats).
struct VideoFormatEntry {
    VIDEO_STREAM_CONFIG_CAPS Caps{};
    MediaTypeFields MediaType;
    VIDEOINFOHEADER Header{};
    VideoFormatRecord Record;
};

struct AudioFormatEntry {
    AUDIO_STREAM_CONFIG_CAPS Caps{};
    MediaTypeFields MediaType;
    WAVEFORMATEX Wave{};
    AudioFormatRecord Record;
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

const GUID& DeviceCategory(DeviceKind kind);

bool EnumDevices(DeviceKind kind, std::vector<DeviceEntry>& list);
bool FindDevice(DeviceKind kind, const std::wstring& friendlyName, const std::wstring& devicePath,
                FindVariant variant, ComPtr<IBaseFilter>& filter);
bool ListPins(IBaseFilter* filter, std::vector<PinEntry>& list);
bool ListVideoFormats(IBaseFilter* filter, std::vector<VideoFormatEntry>& list);
bool ListAudioFormats(IBaseFilter* filter, std::vector<AudioFormatEntry>& list);
bool DescribeCrossbars(IBaseFilter* filter, CrossbarInfo& first, CrossbarInfo& second);

// The portable records of one capability, from the structures the device returned.
VideoFormatRecord MakeVideoFormatRecord(const VIDEO_STREAM_CONFIG_CAPS& caps,
                                        const VIDEOINFOHEADER& header);
AudioFormatRecord MakeAudioFormatRecord(const AUDIO_STREAM_CONFIG_CAPS& caps,
                                        const WAVEFORMATEX& wave);
void DescribeCrossbar(IAMCrossbar* crossbar, CrossbarInfo& info);

bool InspectVideoDevice(const DeviceEntry& entry, VideoDeviceRecord& record);
bool InspectAudioDevice(const DeviceEntry& entry, AudioDeviceRecord& record);
bool InspectFilter(const DeviceEntry& entry, FilterRecord& record);

// Compression-code text decoded in the ANSI code page (for VideoSubtypeName).
std::wstring DecodeFourCcAnsi(const std::string& bytes);

// A capability type the catalogue lists and the build may set: video in a whole VIDEOINFOHEADER
// block (IsUsableVideoCapability) whose picture can be delivered (IsUsableVideoPicture). The
// catalogue and the build count usable capabilities with this one rule, so a profile's
// Video.Format.Index names the same capability in both.
bool IsUsableVideoType(const AM_MEDIA_TYPE& mt);

// Reads the stream configuration interface of a capture filter's video output: the capture pin,
// else the preview pin. Shared by the catalogue and the format set-up of the build.
HRESULT FindVideoStreamConfig(IBaseFilter* filter, ComPtr<IAMStreamConfig>& config);
