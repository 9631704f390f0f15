// The capture card's video signal settings (the ten properties of the platform's video
// processing amplifier, numbered 0-9 as VideoProcAmpProperty numbers them) with their ranges,
// and the picture adjustments they make. Plain data, so the rules are tested natively.
//
// Brightness, contrast, hue, saturation and colour enable change the test picture; sharpness,
// gamma, white balance and gain are accepted and kept (white balance offers automatic and
// manual mode and starts in automatic mode); backlight compensation is not supported.
//
// Thread: a plain value; the filter guards its instance with its own lock.
#pragma once

#include "devices/signal/TestPicture.h"

namespace lumoka {

constexpr long kProcAmpFlagsAuto = 1;    // VideoProcAmp_Flags_Auto
constexpr long kProcAmpFlagsManual = 2;  // VideoProcAmp_Flags_Manual
constexpr int kProcAmpProperties = 10;

struct ProcAmpRange {
    bool supported;
    long min, max, step, defaultValue;
    long capsFlags;     // the modes offered (1 automatic, 2 manual, 3 both)
    long initialFlags;  // the mode the device starts in
};

enum class ProcAmpResult { kOk, kUnsupported, kInvalidArg };

class CProcAmpState {
public:
    CProcAmpState();

    // The range of a property; an unsupported range for numbers outside 0-9.
    static ProcAmpRange Range(long property);

    ProcAmpResult Get(long property, long* value, long* flags) const;
    // flags must be one mode the property offers. A manual value must lie in the range on the
    // step grid counted from the minimum; in automatic mode a value in range is kept and any
    // other value leaves the stored one.
    ProcAmpResult Set(long property, long value, long flags);

    // The adjustments the current values make to the picture.
    PictureAdjust Adjust() const;

private:
    long values_[kProcAmpProperties];
    long flags_[kProcAmpProperties];
};

}  // namespace lumoka
