// The adjustment dialogs' rules: scroll steps, positions and values of a property's range, the
// rows a record shows, and the cropping rows.
#include <gtest/gtest.h>

#include "ui/adjust/CroppingRules.h"
#include "ui/adjust/ScrollRules.h"
#include "ui/adjust/VideoProcAmpRules.h"

namespace {

ProcAmpInfo Info(int32_t min, int32_t max, int32_t step, int32_t def, int32_t caps, int32_t value,
                 int32_t flags) {
    return ProcAmpInfo{0, min, max, step, def, caps, value, flags};
}

TEST(ScrollRules, StepsAndThumbStayInsideTheBar) {
    using C = ScrollCode;
    const struct {
        C code;
        int32_t position, thumb, last, expected;
    } cases[] = {
        {C::LineLeft, 5, 0, 10, 4},        {C::LineLeft, 0, 0, 10, 0},
        {C::PageLeft, 5, 0, 10, 4},        {C::LineRight, 9, 0, 10, 10},
        {C::PageRight, 10, 0, 10, 10},     {C::ThumbTrack, 2, 7, 10, 7},
        {C::ThumbPosition, 2, 70, 10, 10}, {C::Left, 5, 0, 10, 5},
        {C::EndScroll, 5, 9, 10, 5},       {C::LineRight, INT32_MAX, 0, INT32_MAX, INT32_MAX},
        {C::LineLeft, 500, 0, 500, 499},  // a margin of 700 has its thumb at 500
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextScrollPosition(static_cast<int32_t>(c.code), c.position, c.thumb, c.last),
                  c.expected)
            << static_cast<int>(c.code) << " from " << c.position;
    }
}

TEST(ProcAmpRules, PositionsAndValuesFollowTheStep) {
    const ProcAmpInfo tens = Info(0, 100, 10, 50, 2, 30, 2);
    EXPECT_EQ(LastProcAmpPosition(tens), 10);  // 11 positions
    for (int32_t p = 0; p <= 10; ++p) {
        EXPECT_EQ(ProcAmpValueAt(tens, p), 10 * p);
        EXPECT_EQ(ProcAmpPosition(tens, 10 * p), p);
    }
    EXPECT_EQ(ProcAmpPosition(tens, 37), 3);  // off the grid: integer division
    EXPECT_EQ(ProcAmpPosition(tens, -20), 0);
    EXPECT_EQ(ProcAmpPosition(tens, 250), 10);
    for (int32_t step : {0, -5, kNotSet}) {  // one position per unit
        const ProcAmpInfo unit = Info(-10, 10, step, 0, 2, 3, 2);
        EXPECT_EQ(LastProcAmpPosition(unit), 20);
        EXPECT_EQ(ProcAmpPosition(unit, 3), 13);
        EXPECT_EQ(ProcAmpValueAt(unit, 13), 3);
    }
    // The widest range a device can report: as many positions as a scroll bar has, nothing
    // overflows, values stay inside the range.
    const ProcAmpInfo wide = Info(INT32_MIN + 1, INT32_MAX, 1, 0, 2, INT32_MAX, 2);
    EXPECT_EQ(LastProcAmpPosition(wide), INT32_MAX);
    EXPECT_EQ(ProcAmpPosition(wide, INT32_MAX), INT32_MAX);
    EXPECT_EQ(ProcAmpValueAt(wide, 0), INT32_MIN + 1);
    // No range reported, or maximum below minimum: no positions.
    EXPECT_EQ(LastProcAmpPosition(Info(kNotSet, kNotSet, kNotSet, kNotSet, 2, 7, 2)), 0);
    EXPECT_FALSE(HasScrollRange(Info(10, 0, 1, 5, 2, 5, 2)));
}

TEST(ProcAmpRules, RowStates) {
    const int32_t u = kNotSet;
    // checked, box usable, value shown, bar enabled, range set, default button; position.
    const struct {
        const char* name;
        ProcAmpInfo info;
        bool usable;
        std::array<bool, 6> view;
        int32_t position;
    } cases[] = {
        {"manual", Info(-100, 100, 10, 0, 2, 30, 2), true, {0, 0, 1, 1, 1, 1}, 13},
        {"unsupported", Info(u, u, u, u, u, u, u), true, {0, 0, 0, 0, 0, 0}, 0},
        {"automatic", Info(2800, 6500, 100, 4600, 3, 4600, 1), true, {1, 1, 0, 0, 1, 1}, 18},
        {"both modes, manual",
         Info(2800, 6500, 100, 4600, 3, 3000, 2),
         true,
         {0, 1, 1, 1, 1, 1},
         2},
        {"both modes, no value", Info(0, 10, 1, 5, 3, u, u), true, {0, 1, 0, 0, 0, 1}, 0},
        {"no default reported", Info(0, 10, 1, u, 2, 4, 2), true, {0, 0, 1, 1, 1, 0}, 4},
        {"value without range", Info(u, u, u, u, u, 7, 2), true, {0, 0, 1, 0, 0, 0}, 0},
        {"no device interface",
         Info(2800, 6500, 100, 4600, 3, 4600, 1),
         false,
         {1, 0, 0, 0, 0, 0},
         0},
    };
    for (const auto& c : cases) {
        const ProcAmpRowView v = RowView(c.info, c.usable);
        const std::array<bool, 6> got = {v.Checked,       v.CheckEnabled, v.ShowValue,
                                         v.ScrollEnabled, v.SetRange,     v.DefaultEnabled};
        EXPECT_EQ(got, c.view) << c.name;
        EXPECT_EQ(v.Position, c.position) << c.name;
    }
}

TEST(CroppingRules, RowOrderAndThumb) {
    const CropRect crop{1, 2, 3, 4};  // left, top, right, bottom
    EXPECT_EQ(MarginsInRowOrder(crop), (CropMargins{2, 1, 3, 4}));
    EXPECT_EQ(CropFromMargins(MarginsInRowOrder(crop)), crop);
    EXPECT_EQ(CropThumbPosition(700), 500);
    EXPECT_EQ(CropThumbPosition(-3), 0);
    EXPECT_EQ(CropThumbPosition(20), 20);
}

}  // namespace
