#include "ui/adjust/VideoProcAmpRules.h"

#include <algorithm>

namespace {

// The distance between two positions in units of the property.
int64_t StepOf(const ProcAmpInfo& info) { return info.Step > 0 ? info.Step : 1; }

}  // namespace

bool IsAutomatic(int32_t flags) { return flags != kNotSet && (flags & kProcAmpAutomatic) != 0; }

bool HasScrollRange(const ProcAmpInfo& info) {
    return info.Min != kNotSet && info.Max != kNotSet && info.Max >= info.Min;
}

int32_t LastProcAmpPosition(const ProcAmpInfo& info) {
    if (!HasScrollRange(info)) return 0;
    // A scroll bar has at most 2^31 positions.
    const int64_t last = (int64_t{info.Max} - info.Min) / StepOf(info);
    return static_cast<int32_t>(std::min<int64_t>(last, INT32_MAX));
}

int32_t ProcAmpPosition(const ProcAmpInfo& info, int32_t value) {
    if (!HasScrollRange(info)) return 0;
    const int64_t position = (int64_t{value} - info.Min) / StepOf(info);
    return static_cast<int32_t>(std::clamp<int64_t>(position, 0, LastProcAmpPosition(info)));
}

int32_t ProcAmpValueAt(const ProcAmpInfo& info, int32_t position) {
    if (!HasScrollRange(info)) return info.Value;
    const int64_t value = int64_t{position} * StepOf(info) + info.Min;
    return static_cast<int32_t>(std::clamp<int64_t>(value, info.Min, info.Max));
}

bool CanResetToDefault(const ProcAmpInfo& info) {
    return (info.Value != kNotSet || info.CapsFlags == kProcAmpBothModes) &&
           info.Default != kNotSet;
}

ProcAmpRowView RowView(const ProcAmpInfo& info, bool usable) {
    ProcAmpRowView view;
    view.Checked = IsAutomatic(info.Flags);
    if (!usable) return view;
    const bool known = info.Value != kNotSet;
    view.CheckEnabled = info.CapsFlags == kProcAmpBothModes;
    view.ShowValue = known && !view.Checked;
    view.SetRange = known && HasScrollRange(info);
    view.LastPosition = LastProcAmpPosition(info);
    view.Position = known ? ProcAmpPosition(info, info.Value) : 0;
    view.ScrollEnabled = view.ShowValue && view.SetRange;
    view.DefaultEnabled = CanResetToDefault(info);
    return view;
}
