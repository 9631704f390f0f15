// Frame-rate conversion: which samples are delivered, how often, and with which times.
#include <gtest/gtest.h>

#include <vector>

#include "filter/pipeline/FramePipeline.h"

namespace lumoka {
namespace {

// Deliveries of the input sample that brought the process's sample count to `count`.
std::vector<int32_t> Deliver(uint64_t count, int32_t copyMode, int32_t frameMode,
                             int32_t firstResult, int32_t* result = nullptr) {
    std::vector<int32_t> flags;
    const FrameRatePlan plan = PlanFrameRate(count, copyMode, frameMode);
    const int32_t r = RunFrameRatePlan(plan, [&](int32_t firstField) {
        flags.push_back(firstField);
        return flags.size() == 1 ? firstResult : kResultOk;
    });
    if (result != nullptr) *result = r;
    return flags;
}

TEST(FrameRate, HalfDropsTheOddCountsStartingWithTheFirst) {
    std::vector<int> delivered;
    for (int count = 1; count <= 6; ++count) {
        if (!Deliver(count, kCopyModeLinear, kFrameModeHalf, kResultOk).empty()) {
            delivered.push_back(count);
        }
    }
    EXPECT_EQ(delivered, (std::vector<int>{2, 4, 6}));
    // Far into a long session the same rule holds.
    EXPECT_TRUE(Deliver(0xFFFFFFFFFFFFFFFFull, kCopyModeCopy, kFrameModeHalf, kResultOk).empty());
}

TEST(FrameRate, SameAndUnknownDeliverOnce) {
    for (int32_t mode : {int32_t{kFrameModeSame}, 3, -1}) {
        EXPECT_EQ(Deliver(1, kCopyModeBlend, mode, kResultOk), (std::vector<int32_t>{1}));
    }
}

TEST(FrameRate, DoubleDeliversBothFieldsUnlessTheFirstIsRefused) {
    int32_t result = -1;
    EXPECT_EQ(Deliver(1, kCopyModeLinear, kFrameModeDouble, kResultOk, &result),
              (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(result, kResultOk);
    EXPECT_EQ(Deliver(1, kCopyModeLinear, kFrameModeDouble, kResultFalse, &result),
              (std::vector<int32_t>{1}));
    EXPECT_EQ(result, kResultFalse);
    const int32_t failure = static_cast<int32_t>(0x80004005u);
    EXPECT_EQ(Deliver(1, kCopyModeLinear, kFrameModeDouble, failure, &result).size(), 1u);
    EXPECT_EQ(result, failure);
}

TEST(FrameRate, HardwareDoubleDeliversOnceWithTheInputTimes) {
    EXPECT_EQ(Deliver(1, kCopyModeHardware, kFrameModeDouble, kResultOk),
              (std::vector<int32_t>{1}));
    EXPECT_FALSE(SplitsOutputTimes(kCopyModeHardware, kFrameModeDouble));
    const SampleTimes t = OutputTimes({1000000, 1333333}, kCopyModeHardware, kFrameModeDouble, 1);
    EXPECT_EQ(t.start, 1000000);
    EXPECT_EQ(t.stop, 1333333);
}

TEST(FrameRate, DoubleSplitsTheIntervalTruncatingTowardZero) {
    struct Case {
        int64_t s, e, mid;
    } cases[] = {
        {1000000, 1333333, 1166666},
        {0, -333333, -166666},
        {-1333333, -1000000, -1166667},
        {5, 5, 5},
    };
    for (const Case& c : cases) {
        const DoubleTimes d = SplitDoubleTimes(c.s, c.e);
        EXPECT_EQ(d.first.start, c.s);
        EXPECT_EQ(d.first.stop, c.mid);
        EXPECT_EQ(d.second.start, c.mid);
        EXPECT_EQ(d.second.stop, c.e);
    }
    const SampleTimes second = OutputTimes({1000000, 1333333}, kCopyModeBlend, kFrameModeDouble, 0);
    EXPECT_EQ(second.start, 1166666);
    EXPECT_EQ(second.stop, 1333333);
    const SampleTimes same = OutputTimes({1000000, 1333333}, kCopyModeBlend, kFrameModeSame, 1);
    EXPECT_EQ(same.stop, 1333333);
}

}  // namespace
}  // namespace lumoka
