// Frame-rate conversion: how many outputs an input sample yields, with which first-field flags
// and which times. Pure functions of the settings and of a sample count; the counter itself
// belongs to the caller (the product keeps one for the whole process, never reset).
#pragma once

#include <cstdint>
#include <functional>

namespace lumoka {

enum FrameMode : int32_t {
    kFrameModeSame = 0,
    kFrameModeHalf = 1,
    kFrameModeDouble = 2,
};

// HRESULT values as plain integers, so this code needs no platform header.
constexpr int32_t kResultOk = 0;     // S_OK
constexpr int32_t kResultFalse = 1;  // S_FALSE

// The deliveries for one input sample: firstField[i] is the first-field flag to set before
// delivery i. With two deliveries the second happens only when the first returned S_OK.
struct FrameRatePlan {
    int deliveries = 1;
    int32_t firstField[2] = {1, 0};
};

// count is the sample counter's value after the increment for this sample.
FrameRatePlan PlanFrameRate(uint64_t count, int32_t copyMode, int32_t frameMode);

// Runs the plan: deliver(firstField) is called once per delivery; a second delivery is skipped
// when the first did not return S_OK, and that result is returned. With no delivery (a dropped
// sample in Half mode) returns S_OK.
int32_t RunFrameRatePlan(const FrameRatePlan& plan,
                         const std::function<int32_t(int32_t firstField)>& deliver);

// Start and stop of a sample.
struct SampleTimes {
    int64_t start = 0;
    int64_t stop = 0;
};

// The two halves [s, mid] and [mid, e] of a Double-mode input, mid = s + (e - s) / 2 with
// division truncating toward zero.
struct DoubleTimes {
    SampleTimes first;
    SampleTimes second;
};
DoubleTimes SplitDoubleTimes(int64_t start, int64_t stop);

// True when the outputs carry half intervals instead of the input's times (Double mode,
// copy mode other than Hardware).
bool SplitsOutputTimes(int32_t copyMode, int32_t frameMode);

// The times one delivery's output carries.
SampleTimes OutputTimes(SampleTimes input, int32_t copyMode, int32_t frameMode, int32_t firstField);

}  // namespace lumoka
