// The filter chain model: add, delete, move at both ends with the pin cache, the combo items
// and the pin index a combo selection stands for.
#include "ui/editor/FilterPageRules.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

std::vector<std::wstring> Names(const CFilterChain& chain) {
    std::vector<std::wstring> names;
    for (int i = 0; i < chain.Count(); ++i) names.push_back(FilterCellText(chain.At(i), 1));
    return names;
}

TEST(FilterRules, ListOperations) {
    CFilterChain chain;
    FilterEntry stored;
    stored.Check = 0;
    stored.Device = {L"Stored", L"d", L"p"};
    stored.Input = 1;
    chain.Load({stored});
    EXPECT_EQ(chain.Add({L"A", L"desc-a", L"path-a", DeviceKind::OtherFilter}), 1);
    EXPECT_EQ(chain.Add({L"B", L"", L"", DeviceKind::OtherFilter}), 2);
    EXPECT_EQ(Names(chain), (std::vector<std::wstring>{L"Stored", L"A", L"B"}));
    const FilterEntry& added = chain.At(1).Entry;
    EXPECT_EQ(added.Check, 1);
    EXPECT_EQ(added.Input, -1);
    EXPECT_EQ(added.Output, -1);
    EXPECT_EQ(added.Device.Description, L"desc-a");
    EXPECT_EQ(FilterCellText(chain.At(1), 0), L"");

    // The pin cache moves with its entry.
    chain.At(1).Pins.Inspected = true;
    chain.At(1).Pins.Pins = {PinEntry{1, L"In", L"-", L"Video"}};
    struct Move {
        bool up;
        int from, to;
    } moves[] = {{true, 0, -1}, {false, 2, -1}, {true, 1, 0},   {false, 0, 1},
                 {false, 1, 2}, {true, 7, -1},  {false, -1, -1}};
    for (const Move& m : moves) {
        EXPECT_EQ(m.up ? chain.MoveUp(m.from) : chain.MoveDown(m.from), m.to)
            << (m.up ? "up " : "down ") << m.from;
    }
    EXPECT_EQ(Names(chain), (std::vector<std::wstring>{L"Stored", L"B", L"A"}));
    EXPECT_TRUE(chain.At(2).Pins.Inspected);
    EXPECT_EQ(chain.At(2).Pins.Pins.size(), 1u);
    EXPECT_FALSE(chain.At(1).Pins.Inspected);

    chain.ToggleCheck(0);
    chain.ToggleCheck(1);
    EXPECT_EQ(chain.At(0).Entry.Check, 1);
    EXPECT_EQ(chain.At(1).Entry.Check, 0);
    EXPECT_EQ(chain.IdentityOf(2).DevicePath, L"path-a");
    EXPECT_EQ(chain.IdentityOf(2).Kind, DeviceKind::OtherFilter);

    // Deleting selects the row now at the index, or the new last one.
    EXPECT_EQ(chain.Delete(1), 1);
    EXPECT_EQ(chain.Delete(1), 0);
    EXPECT_EQ(chain.Delete(5), -1);
    EXPECT_EQ(chain.Delete(0), -1);
    EXPECT_EQ(chain.Count(), 0);

    chain.Load({stored, stored});
    EXPECT_FALSE(chain.At(0).Pins.Inspected);
    const std::vector<FilterEntry> out = chain.Stored();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1], stored);
}

TEST(FilterRules, PinCombos) {
    const std::vector<PinEntry> pins = {{1, L"Video In", L"-", L"Video"},
                                        {0, L"Video Out", L"-", L"Video"},
                                        {1, L"Audio In", L"-", L"Audio"},
                                        {0, L"Audio Out", L"-", L"Audio"}};
    EXPECT_EQ(PinComboItems(pins, true),
              (std::vector<std::wstring>{L"自動接続", L"0: Video In", L"1: Audio In"}));
    EXPECT_EQ(PinComboItems(pins, false),
              (std::vector<std::wstring>{L"自動接続", L"0: Video Out", L"1: Audio Out"}));
    // Only output pins: the input combo is empty.
    const std::vector<PinEntry> source = {{0, L"Out", L"CAPTURE", L"Video"}};
    EXPECT_TRUE(PinComboItems(source, true).empty());
    EXPECT_EQ(PinComboItems(source, false), (std::vector<std::wstring>{L"自動接続", L"0: Out"}));
    EXPECT_TRUE(PinComboItems({}, false).empty());
    // The third item is the input pin with index 1; "自動接続" is -1.
    EXPECT_EQ(PinIndexFromCombo(2), 1);
    EXPECT_EQ(PinIndexFromCombo(0), -1);
    EXPECT_EQ(PinIndexFromCombo(-1), -1);
    EXPECT_EQ(PinComboSelection(-1), 0);
    EXPECT_EQ(PinComboSelection(1), 2);
    EXPECT_EQ(PinComboSelection(-7), 0);
}

}  // namespace
}  // namespace editor
