// One video signal property of the capture device as its video processing amplifier reports
// it, and the arrays of the ten properties the controller and the adjustment dialog exchange.
//
// Portable: plain values, so the dialog's rules are tested natively.
#pragma once

#include <array>
#include <cstdint>

#include "config/Profile.h"

// kNotSet where the device reported nothing.
struct ProcAmpInfo {
    int32_t Property = kNotSet;
    int32_t Min = kNotSet;
    int32_t Max = kNotSet;
    int32_t Step = kNotSet;
    int32_t Default = kNotSet;
    int32_t CapsFlags = kNotSet;
    int32_t Value = kNotSet;
    int32_t Flags = kNotSet;
};

using ProcAmpSettings = std::array<VideoProcAmpSetting, kVideoProcAmpCount>;
using ProcAmpInfos = std::array<ProcAmpInfo, kVideoProcAmpCount>;
