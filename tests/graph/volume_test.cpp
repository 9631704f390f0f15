#include "graph/Volume.h"

#include <gtest/gtest.h>

namespace {

TEST(VolumeFromPercent, MenuSteps) {
    const struct {
        int32_t percent;
        int32_t volume;
    } steps[] = {{100, 0},   {90, -91},   {80, -193},  {70, -309},  {60, -443}, {50, -602},
                 {40, -795}, {30, -1045}, {20, -1397}, {10, -2000}, {0, -10000}};
    for (const auto& s : steps) EXPECT_EQ(VolumeFromPercent(s.percent), s.volume) << s.percent;
}

TEST(VolumeFromPercent, WheelSteps) {
    EXPECT_EQ(VolumeFromPercent(95), -44);
    EXPECT_EQ(VolumeFromPercent(55), -519);
    EXPECT_EQ(VolumeFromPercent(5), -2602);
    // 1 percent is -4000 by the formula, far from silence.
    EXPECT_EQ(VolumeFromPercent(1), -4000);
}

TEST(VolumeFromPercent, OutOfRangeIsClamped) {
    EXPECT_EQ(VolumeFromPercent(-5), -10000);
    EXPECT_EQ(VolumeFromPercent(150), 0);
}

}  // namespace
