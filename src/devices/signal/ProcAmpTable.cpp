#include "devices/signal/ProcAmpTable.h"

namespace lumoka {
namespace {

constexpr long kM = kProcAmpFlagsManual;
constexpr long kBoth = kProcAmpFlagsAuto | kProcAmpFlagsManual;

// Indexed by property number.
constexpr ProcAmpRange kRanges[kProcAmpProperties] = {
    {true, -100, 100, 10, 0, kM, kM},                         // brightness (luma offset)
    {true, 0, 200, 1, 100, kM, kM},                           // contrast (percent)
    {true, -180, 180, 1, 0, kM, kM},                          // hue (degrees)
    {true, 0, 200, 10, 100, kM, kM},                          // saturation (percent)
    {true, 0, 10, 1, 5, kM, kM},                              // sharpness
    {true, 10, 250, 1, 100, kM, kM},                          // gamma (hundredths)
    {true, 0, 1, 1, 1, kM, kM},                               // colour enable
    {true, 2800, 6500, 100, 4600, kBoth, kProcAmpFlagsAuto},  // white balance (kelvin)
    {false, 0, 0, 0, 0, 0, 0},                                // backlight compensation
    {true, 0, 100, 1, 50, kM, kM},                            // gain
};

bool InRange(const ProcAmpRange& r, long v) {
    return v >= r.min && v <= r.max && (r.step <= 0 || (v - r.min) % r.step == 0);
}

}  // namespace

CProcAmpState::CProcAmpState() {
    for (int i = 0; i < kProcAmpProperties; ++i) {
        values_[i] = kRanges[i].defaultValue;
        flags_[i] = kRanges[i].initialFlags;
    }
}

ProcAmpRange CProcAmpState::Range(long property) {
    if (property < 0 || property >= kProcAmpProperties)
        return ProcAmpRange{false, 0, 0, 0, 0, 0, 0};
    return kRanges[property];
}

ProcAmpResult CProcAmpState::Get(long property, long* value, long* flags) const {
    if (!Range(property).supported) return ProcAmpResult::kUnsupported;
    *value = values_[property];
    *flags = flags_[property];
    return ProcAmpResult::kOk;
}

ProcAmpResult CProcAmpState::Set(long property, long value, long flags) {
    const ProcAmpRange r = Range(property);
    if (!r.supported) return ProcAmpResult::kUnsupported;
    if ((flags != kProcAmpFlagsAuto && flags != kProcAmpFlagsManual) ||
        (flags & r.capsFlags) == 0) {
        return ProcAmpResult::kInvalidArg;
    }
    if (flags == kProcAmpFlagsManual) {
        if (!InRange(r, value)) return ProcAmpResult::kInvalidArg;
        values_[property] = value;
    } else if (InRange(r, value)) {
        values_[property] = value;
    }
    flags_[property] = flags;
    return ProcAmpResult::kOk;
}

PictureAdjust CProcAmpState::Adjust() const {
    PictureAdjust a;
    a.brightness = static_cast<int>(values_[0]);
    a.contrast = static_cast<int>(values_[1]);
    a.hue = static_cast<int>(values_[2]);
    a.saturation = static_cast<int>(values_[3]);
    a.colorEnable = values_[6] != 0;
    return a;
}

}  // namespace lumoka
