// The decisions of a graph build that need no platform object: which tee the video branch uses,
// whether it goes through the transform filter, which tee output feeds it, the order in which
// pin pairs are tried for a numbered connection, and the format arithmetic for the requested
// video size and the audio capture buffer.
//
// Portable, pure, any thread.
#pragma once

#include <cstdint>
#include <functional>

enum class TeeKind { SmartTee, InfTee };

struct VideoBranchPlan {
    TeeKind Tee = TeeKind::SmartTee;
    bool UseTransform = false;  // through "Lumoka Transform", else through the filter chain
    int32_t TeeOutput = 1;      // tee output pin number that feeds the rest of the branch
};

// The Smart Tee's preview output (1) does not wait for the clock; the first output (0) does.
inline int32_t TeeOutputForSync(int32_t sync) { return sync != 0 ? 1 : 0; }

// checkedFilters: extra video filters whose Check is set. Hardware deinterlacing at double rate
// needs every frame on time, so it always takes the Infinite Pin Tee's first output.
VideoBranchPlan PlanVideoBranch(int32_t checkedFilters, int32_t transform, int32_t copyMode,
                                int32_t frameMode, int32_t videoSync);

inline TeeKind AudioTeeFor(int32_t audioSync) {
    return audioSync != 0 ? TeeKind::SmartTee : TeeKind::InfTee;
}

// Connects output pin number outputNumber of one filter to input pin inputNumber of another;
// -1 means any pin. hasOutput/hasInput tell whether the n-th pin exists; connect tries one pair.
// Output -1: every output in turn, each against the inputs (all of them for input -1).
struct PinPairCallbacks {
    std::function<bool(int32_t)> HasOutput;
    std::function<bool(int32_t)> HasInput;
    std::function<bool(int32_t, int32_t)> Connect;
};
bool ConnectPinPairs(int32_t outputNumber, int32_t inputNumber, const PinPairCallbacks& pins);

// Bytes per row of an uncompressed picture, rows padded to 32 bits.
int64_t StrideBytes(int32_t bitCount, int32_t width);
// Size of a picture: stride * |height|, as a 32-bit field holds it.
uint32_t ImageSizeBytes(int32_t bitCount, int32_t width, int32_t height);

struct WaveFields {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

// Writes the requested PCM layout into a PCM or extensible format; any other tag is unchanged.
void ApplyRequestedWave(WaveFields& wave, uint16_t channels, uint16_t bitsPerSample,
                        int32_t samplesPerSec);

// A capture buffer of 20 milliseconds of the format.
int32_t AudioBufferBytes(const WaveFields& wave);
