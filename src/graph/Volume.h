// The audio renderer's volume for a percentage: hundredths of a decibel, 0 at full volume,
// -10000 (silence) at 0 percent, otherwise 2000 * log10(percent / 100) truncated toward zero.
//
// Portable, pure, any thread.
#pragma once

#include <cstdint>

constexpr int32_t kVolumeSilence = -10000;

// Percentages outside 0-100 are clamped first: the renderer accepts only -10000..0, and a
// negative percentage has no logarithm.
int32_t VolumeFromPercent(int32_t percent);
