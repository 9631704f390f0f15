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

// What a driver's answers are trusted with. Real devices report a few dozen capabilities of
// 128 or 36 bytes and crossbars of a few pins; a driver that claims more is read only this far,
// so a lying count cannot keep the catalogue or the build asking (or allocating) for ever.
constexpr int32_t kMaxCapabilities = 1024;
constexpr int32_t kMaxCapsStructureBytes = 65536;
constexpr int32_t kMaxCrossbarPins = 256;

// How many capabilities to ask for when the device reports `reported` (0 ... kMaxCapabilities).
int32_t CapabilityWalkLength(int32_t reported);
// The buffer GetStreamCaps writes its structure into: the device's size, never below the
// structure the caller reads; 0 (do not ask) when the device names more than
// kMaxCapsStructureBytes.
size_t CapsBufferBytes(int32_t reported, size_t minimum);
// How many crossbar pins of one direction to describe (0 ... kMaxCrossbarPins).
int32_t CrossbarPinsToRead(int32_t reported);

// A capability's picture can be delivered: width above 0, height not 0, and a picture of
// stride x |height| bytes (rows padded to 32 bits) that a sample's 32-bit signed size holds.
// Zero, negative and huge sizes make the capability unusable, like a short format block.
bool IsUsableVideoPicture(int32_t width, int32_t height, int32_t bitCount);

// Index of the first entry whose FriendlyName and DevicePath both equal the given ones
// (whole strings, case-sensitive), or -1.
int FindDeviceEntry(const std::vector<DeviceEntry>& list, const std::wstring& friendlyName,
                    const std::wstring& devicePath);
