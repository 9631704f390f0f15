#include "filter/pipeline/FrameRate.h"

namespace lumoka {

namespace {
constexpr int32_t kHardware = 6;  // CopyMode kCopyModeHardware: the renderer gets the fields
}

FrameRatePlan PlanFrameRate(uint64_t count, int32_t copyMode, int32_t frameMode) {
    FrameRatePlan plan;
    plan.deliveries = 1;
    plan.firstField[0] = 1;
    plan.firstField[1] = 0;
    if (copyMode == kHardware && frameMode == kFrameModeDouble) return plan;
    if (frameMode == kFrameModeHalf) {
        // Odd counts are dropped, so the very first sample of the process never shows.
        if (count % 2 == 1) plan.deliveries = 0;
        return plan;
    }
    if (frameMode == kFrameModeDouble) plan.deliveries = 2;
    return plan;
}

int32_t RunFrameRatePlan(const FrameRatePlan& plan,
                         const std::function<int32_t(int32_t firstField)>& deliver) {
    int32_t result = kResultOk;
    for (int i = 0; i < plan.deliveries; ++i) {
        result = deliver(plan.firstField[i]);
        if (result != kResultOk) break;
    }
    return result;
}

DoubleTimes SplitDoubleTimes(int64_t start, int64_t stop) {
    // Unsigned difference: stop - start can overflow int64 for inverted extreme times.
    const uint64_t span = static_cast<uint64_t>(stop) - static_cast<uint64_t>(start);
    const int64_t half = static_cast<int64_t>(span) / 2;
    const int64_t mid =
        static_cast<int64_t>(static_cast<uint64_t>(start) + static_cast<uint64_t>(half));
    return DoubleTimes{{start, mid}, {mid, stop}};
}

bool SplitsOutputTimes(int32_t copyMode, int32_t frameMode) {
    return frameMode == kFrameModeDouble && copyMode != kHardware;
}

SampleTimes OutputTimes(SampleTimes input, int32_t copyMode, int32_t frameMode,
                        int32_t firstField) {
    if (!SplitsOutputTimes(copyMode, frameMode)) return input;
    const DoubleTimes halves = SplitDoubleTimes(input.start, input.stop);
    return firstField != 0 ? halves.first : halves.second;
}

}  // namespace lumoka
