// The test-tone microphone's signal: a sine tone written as PCM, 8-bit unsigned or 16-bit
// signed little-endian, one or two channels (both carry the tone), any sampling rate. The phase
// runs on from one buffer to the next, so the stream has no clicks at buffer boundaries.
//
// Thread: one instance per audio pin, used only by that pin's streaming thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumoka {

struct PcmFormat {
    int channels = 2;
    int bitsPerSample = 16;
    int samplesPerSec = 48000;

    int BlockAlign() const { return channels * bitsPerSample / 8; }
    bool IsValid() const {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
               samplesPerSec > 0;
    }
};

class CToneGenerator {
public:
    // amplitude: 0..1 of full scale.
    CToneGenerator(double frequencyHz = 1000.0, double amplitude = 0.5);

    // Takes a new format; the phase keeps running (the next sample continues the tone).
    void SetFormat(const PcmFormat& format) { format_ = format; }
    const PcmFormat& Format() const { return format_; }
    double Frequency() const { return frequency_; }

    // Writes as many whole sample frames as fit into size bytes; returns the bytes written.
    // An invalid format writes nothing.
    size_t Fill(uint8_t* dst, size_t size);

private:
    double frequency_;
    double amplitude_;
    PcmFormat format_;
    double phase_ = 0.0;  // in cycles, 0..1
};

}  // namespace lumoka
