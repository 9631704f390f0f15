#include "devices/signal/DeviceCaps.h"

namespace lumoka {
namespace {

constexpr int64_t kNtscFrame = 333667;  // 29.97 frames per second
constexpr int64_t kNtscField = 166833;  // 59.94
constexpr int64_t kPalFrame = 400000;   // 25
constexpr int64_t kPalField = 200000;   // 50
constexpr int64_t kFiveFps = 2000000;
constexpr int64_t kTenFps = 1000000;

bool OnGrid(int v, int lo, int hi, int granularity) {
    if (v < lo || v > hi) return false;
    return granularity <= 0 || (v - lo) % granularity == 0;
}

}  // namespace

const std::vector<VideoCapability>& TestCardCapabilities() {
    using standard::kLines525;
    using standard::kLines625;
    static const std::vector<VideoCapability> caps = {
        {PixelFormat::kYUY2, true, 720, 480, 320, 720, 8, 240, 576, 8, kNtscFrame, kNtscField,
         kFiveFps, kLines525},
        {PixelFormat::kYUY2, false, 720, 480, 320, 720, 8, 240, 576, 8, kNtscFrame, kNtscField,
         kFiveFps, kLines525},
        {PixelFormat::kYUY2, false, 720, 576, 320, 720, 8, 240, 576, 8, kPalFrame, kPalField,
         kFiveFps, kLines625},
        {PixelFormat::kUYVY, false, 720, 480, 320, 720, 8, 240, 576, 8, kNtscFrame, kNtscField,
         kFiveFps, kLines525},
        {PixelFormat::kUYVY, false, 720, 576, 320, 720, 8, 240, 576, 8, kPalFrame, kPalField,
         kFiveFps, kLines625},
        {PixelFormat::kHDYC, false, 1920, 1080, 640, 1920, 16, 360, 1080, 8, kNtscFrame, 333333,
         kTenFps, 0},
        {PixelFormat::kUYVY, false, 1920, 1080, 640, 1920, 16, 360, 1080, 8, kNtscFrame, 333333,
         kTenFps, 0},
        {PixelFormat::kRGB24, false, 640, 480, 320, 1280, 16, 240, 960, 16, kNtscFrame, kNtscField,
         kFiveFps, kLines525},
        {PixelFormat::kRGB32, false, 720, 480, 320, 720, 8, 240, 576, 8, kNtscFrame, kNtscField,
         kFiveFps, kLines525},
        {PixelFormat::kRGB32, false, 1280, 720, 640, 1280, 16, 360, 720, 8, kNtscField, kNtscField,
         kTenFps, 0},
    };
    return caps;
}

int UsableIndexOf(int capabilityIndex) {
    const auto& caps = TestCardCapabilities();
    if (capabilityIndex < 0 || capabilityIndex >= static_cast<int>(caps.size())) return -1;
    if (caps[capabilityIndex].headerV2) return -1;
    int usable = 0;
    for (int i = 0; i < capabilityIndex; ++i) {
        if (!caps[i].headerV2) ++usable;
    }
    return usable;
}

bool AcceptsVideoRequest(const VideoCapability& cap, int width, int height, int64_t interval) {
    return OnGrid(width, cap.minWidth, cap.maxWidth, cap.widthGranularity) &&
           OnGrid(height, cap.minHeight, cap.maxHeight, cap.heightGranularity) && interval > 0 &&
           interval >= cap.minInterval && interval <= cap.maxInterval;
}

int FindVideoCapability(PixelFormat format, bool headerV2, int width, int height,
                        int64_t interval) {
    const auto& caps = TestCardCapabilities();
    for (size_t i = 0; i < caps.size(); ++i) {
        if (caps[i].format == format && caps[i].headerV2 == headerV2 &&
            AcceptsVideoRequest(caps[i], width, height, interval)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const std::vector<AudioCapability>& TestToneCapabilities() {
    // Granularity 25 Hz reaches every common rate (8000, 11025, 22050, 32000, 44100, 48000).
    static const std::vector<AudioCapability> caps = {
        {{2, 16, 48000}, 1, 2, 1, 8, 16, 8, 8000, 48000, 25},
        {{2, 16, 44100}, 1, 2, 1, 8, 16, 8, 8000, 48000, 25},
        {{1, 8, 8000}, 1, 2, 1, 8, 16, 8, 8000, 48000, 25},
    };
    return caps;
}

bool AcceptsAudioRequest(const AudioCapability& cap, const PcmFormat& f) {
    return OnGrid(f.channels, cap.minChannels, cap.maxChannels, cap.channelsGranularity) &&
           OnGrid(f.bitsPerSample, cap.minBits, cap.maxBits, cap.bitsGranularity) &&
           OnGrid(f.samplesPerSec, cap.minRate, cap.maxRate, cap.rateGranularity);
}

}  // namespace lumoka
