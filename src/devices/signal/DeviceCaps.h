// What the virtual devices offer, as plain data: the capture card's video capabilities in the
// order its stream configuration reports them, the PCM capabilities of the audio pins, and the
// rules by which a requested format is accepted. The DirectShow pins only translate these into
// media types and VIDEO_STREAM_CONFIG_CAPS / AUDIO_STREAM_CONFIG_CAPS.
#pragma once

#include <cstdint>
#include <vector>

#include "devices/signal/PixelFormat.h"
#include "devices/signal/ToneGenerator.h"

namespace lumoka {

// Analogue standard bits as the platform numbers them (AnalogVideoStandard).
namespace standard {
constexpr uint32_t kNTSC_M = 0x1, kNTSC_M_J = 0x2, kNTSC_433 = 0x4;
constexpr uint32_t kPAL_B = 0x10, kPAL_D = 0x20, kPAL_G = 0x40, kPAL_H = 0x80, kPAL_I = 0x100;
constexpr uint32_t kPAL_M = 0x200, kPAL_N = 0x400, kPAL_60 = 0x800;
constexpr uint32_t kSECAM_B = 0x1000, kSECAM_D = 0x2000, kSECAM_G = 0x4000, kSECAM_H = 0x8000;
constexpr uint32_t kSECAM_K = 0x10000, kSECAM_K1 = 0x20000, kSECAM_L = 0x40000;
constexpr uint32_t kSECAM_L1 = 0x80000, kPAL_N_COMBO = 0x100000;
constexpr uint32_t kLines525 = kNTSC_M | kNTSC_M_J | kNTSC_433 | kPAL_M | kPAL_60;
constexpr uint32_t kLines625 = kPAL_B | kPAL_D | kPAL_G | kPAL_H | kPAL_I | kPAL_N | kPAL_N_COMBO |
                               kSECAM_B | kSECAM_D | kSECAM_G | kSECAM_H | kSECAM_K | kSECAM_K1 |
                               kSECAM_L | kSECAM_L1;
}  // namespace standard

struct VideoCapability {
    PixelFormat format;
    // Reported with a VIDEOINFOHEADER2 format block: a real card lists such entries, and
    // programs that only understand VIDEOINFOHEADER must skip them.
    bool headerV2;
    int width, height;  // the default (input) size
    int minWidth, maxWidth, widthGranularity;
    int minHeight, maxHeight, heightGranularity;
    int64_t defaultInterval, minInterval, maxInterval;  // 100 ns units
    uint32_t standards;
};

// The capture card's capabilities, in reported order. The first entry is the
// VIDEOINFOHEADER2 one; index 8 is RGB32 720 x 480 (index 7 among the usable ones).
const std::vector<VideoCapability>& TestCardCapabilities();

// Index of a capability among those with a plain VIDEOINFOHEADER (-1 for a V2 entry).
int UsableIndexOf(int capabilityIndex);

// Whether a size and frame interval may be set with the capability: inside the ranges and on
// the granularity grid counted from the minimum; the interval must be positive.
bool AcceptsVideoRequest(const VideoCapability& cap, int width, int height, int64_t interval);

// The capability a request belongs to: the first one with the same pixel format and header
// kind that accepts it, or -1.
int FindVideoCapability(PixelFormat format, bool headerV2, int width, int height, int64_t interval);

struct AudioCapability {
    PcmFormat preferred;
    int minChannels, maxChannels, channelsGranularity;
    int minBits, maxBits, bitsGranularity;
    int minRate, maxRate, rateGranularity;
};

// The PCM capabilities of the test-tone microphone and of the card's audio pin.
const std::vector<AudioCapability>& TestToneCapabilities();

bool AcceptsAudioRequest(const AudioCapability& cap, const PcmFormat& format);

}  // namespace lumoka
