// The catalogue's descriptions as plain portable records: devices, pins, usable video and audio
// formats and crossbars, as the editor pages show them. The Windows side (Catalogue.h) fills
// them from the platform structures it keeps beside them; everything the pages compute from a
// device (candidate lists, validation, scroll positions, cell texts) works on these records
// alone and is tested natively.
//
// Portable: no platform header. Plain data and pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/Naming.h"

enum class DeviceKind : int32_t {
    OtherFilter = 0,   // CLSID_LegacyAmFilterCategory
    VideoCapture = 1,  // CLSID_VideoInputDeviceCategory
    AudioCapture = 2,  // CLSID_AudioInputDeviceCategory
};

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

// One usable video capability: the values of its VIDEO_STREAM_CONFIG_CAPS and VIDEOINFOHEADER
// that the video page shows and computes with.
struct VideoFormatRecord {
    std::wstring SubtypeName;
    int32_t BitCount = 0;  // bits per pixel of the header
    int32_t InputWidth = 0;
    int32_t InputHeight = 0;
    int32_t MinOutputWidth = 0;
    int32_t MinOutputHeight = 0;
    int32_t MaxOutputWidth = 0;
    int32_t MaxOutputHeight = 0;
    int32_t OutputGranularityX = 0;
    int32_t OutputGranularityY = 0;
    int64_t MinFrameInterval = 0;  // 100-nanosecond units
    int64_t MaxFrameInterval = 0;
    int32_t MinBitsPerSecond = 0;
    int32_t MaxBitsPerSecond = 0;
    int64_t AvgTimePerFrame = 0;  // the header's default frame duration
    std::vector<VideoStandardName> Standards;
    int32_t CurrentStandard = 0;  // of the device's analogue decoder; 0 without one
};

// One usable audio capability: its AUDIO_STREAM_CONFIG_CAPS ranges and WAVEFORMATEX values.
struct AudioFormatRecord {
    std::wstring SubtypeName;
    int32_t FormatTag = 0;
    int32_t Channels = 0;
    int32_t BitsPerSample = 0;
    int32_t SamplesPerSec = 0;
    int32_t MinimumChannels = 0;
    int32_t MaximumChannels = 0;
    int32_t ChannelsGranularity = 0;
    int32_t MinimumBitsPerSample = 0;
    int32_t MaximumBitsPerSample = 0;
    int32_t BitsPerSampleGranularity = 0;
    int32_t MinimumSampleFrequency = 0;
    int32_t MaximumSampleFrequency = 0;
    int32_t SampleFrequencyGranularity = 0;
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

// What the filter chain page keeps of one extra filter.
struct FilterRecord {
    std::wstring FriendlyName;
    std::wstring DevicePath;
    std::wstring Description;
    std::vector<PinEntry> Pins;
    bool Inspected = false;
};

// True when an output pin has category "CAPTURE" and major type "Audio".
bool HasAudioCapturePin(const std::vector<PinEntry>& pins);

// Index of the first entry whose FriendlyName and DevicePath both equal the given ones
// (whole strings, case-sensitive), or -1.
int FindDeviceEntry(const std::vector<DeviceEntry>& list, const std::wstring& friendlyName,
                    const std::wstring& devicePath);
