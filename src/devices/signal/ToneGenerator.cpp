#include "devices/signal/ToneGenerator.h"

#include <algorithm>
#include <cmath>

namespace lumoka {

CToneGenerator::CToneGenerator(double frequencyHz, double amplitude)
    : frequency_(frequencyHz), amplitude_(std::clamp(amplitude, 0.0, 1.0)) {}

size_t CToneGenerator::Fill(uint8_t* dst, size_t size) {
    if (dst == nullptr || !format_.IsValid()) return 0;
    const size_t block = static_cast<size_t>(format_.BlockAlign());
    const size_t frames = size / block;
    const double step = frequency_ / format_.samplesPerSec;
    const double twoPi = 2.0 * 3.14159265358979323846;
    uint8_t* p = dst;
    for (size_t i = 0; i < frames; ++i) {
        const double s = amplitude_ * std::sin(twoPi * phase_);
        for (int ch = 0; ch < format_.channels; ++ch) {
            if (format_.bitsPerSample == 8) {
                *p++ = static_cast<uint8_t>(std::lround(128.0 + s * 127.0));
            } else {
                const auto v = static_cast<int16_t>(std::lround(s * 32767.0));
                *p++ = static_cast<uint8_t>(static_cast<uint16_t>(v) & 0xFF);
                *p++ = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
            }
        }
        phase_ += step;
        phase_ -= std::floor(phase_);
    }
    return frames * block;
}

}  // namespace lumoka
