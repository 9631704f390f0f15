#include "graph/BuildRules.h"

#include <cstdlib>
#include <limits>

namespace {
constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr int32_t kCopyHardware = 6;
constexpr int32_t kFrameDouble = 2;
}  // namespace

VideoBranchPlan PlanVideoBranch(int32_t checkedFilters, int32_t transform, int32_t copyMode,
                                int32_t frameMode, int32_t videoSync) {
    VideoBranchPlan plan;
    plan.UseTransform = transform != 0 && checkedFilters == 0;
    const bool hardwareDouble = copyMode == kCopyHardware && frameMode == kFrameDouble;
    if (plan.UseTransform && hardwareDouble) {
        plan.Tee = TeeKind::InfTee;
        plan.TeeOutput = 0;
        return plan;
    }
    plan.Tee = videoSync != 0 ? TeeKind::SmartTee : TeeKind::InfTee;
    plan.TeeOutput = TeeOutputForSync(videoSync);
    return plan;
}

bool ConnectPinPairs(int32_t outputNumber, int32_t inputNumber, const PinPairCallbacks& pins) {
    int32_t out = outputNumber < 0 ? 0 : outputNumber;
    const int32_t inStart = inputNumber < 0 ? 0 : inputNumber;
    if (!pins.HasOutput(out)) return false;
    for (;;) {
        if (inputNumber < 0) {
            for (int32_t in = inStart; pins.HasInput(in); ++in) {
                if (pins.Connect(out, in)) return true;
            }
        } else if (pins.HasInput(inStart) && pins.Connect(out, inStart)) {
            return true;
        }
        if (outputNumber >= 0) return false;
        ++out;
        if (!pins.HasOutput(out)) return false;
    }
}

int64_t StrideBytes(int32_t bitCount, int32_t width) {
    return ((static_cast<int64_t>(bitCount) * width + 31) / 32) * 4;
}

uint32_t ImageSizeBytes(int32_t bitCount, int32_t width, int32_t height) {
    // A size the 32-bit field cannot hold is left to the device (0 = computed by the receiver).
    constexpr int64_t kMax = std::numeric_limits<uint32_t>::max();
    const int64_t stride = StrideBytes(bitCount, width);
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    if (stride < 0 || stride > kMax || rows > kMax) return 0;
    const int64_t size = stride * rows;
    if (size > kMax) return 0;
    return static_cast<uint32_t>(size);
}

void ApplyRequestedWave(WaveFields& wave, uint16_t channels, uint16_t bitsPerSample,
                        int32_t samplesPerSec) {
    if (wave.FormatTag != kWaveFormatPcm && wave.FormatTag != kWaveFormatExtensible) return;
    wave.Channels = channels;
    wave.BitsPerSample = bitsPerSample;
    wave.SamplesPerSec = static_cast<uint32_t>(samplesPerSec);
    wave.BlockAlign = static_cast<uint16_t>(static_cast<uint32_t>(channels) * bitsPerSample / 8);
    wave.AvgBytesPerSec = wave.SamplesPerSec * wave.BlockAlign;
}

int32_t AudioBufferBytes(const WaveFields& wave) {
    const uint64_t bytes = static_cast<uint64_t>(wave.BlockAlign) * wave.SamplesPerSec * 20 / 1000;
    if (bytes > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(bytes);
}
