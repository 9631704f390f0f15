// The frame's rules: what the configuration takes back after OK and Cancel, the opening
// profile and tab, the combo entries, the filter catalogue's order and the preview radios.
#include "ui/editor/EditorRules.h"

#include <cwctype>

#include <gtest/gtest.h>

#include "config/Config.h"
#include "ui/editor/PageRules.h"

namespace editor {
namespace {

CConfig ConfigWithSignalValues() {
    CConfig config;
    config.ResetProfiles();
    for (Profile& p : config.Profiles) p.VideoProcAmp[3] = {12, 2};
    config.Selected = 4;
    config.LastTab = 1;
    config.SecondInstance = 1;
    return config;
}

TEST(EditorRules, ResultTakenBack) {
    CConfig config = ConfigWithSignalValues();
    ProfileEditorModel model = MakeEditorModel(config);
    EXPECT_EQ(model.Profiles.size(), 10u);
    EXPECT_EQ(model.Selected, 4);
    EXPECT_TRUE(model.SecondInstance);
    model.Profiles[7].Name = L"renamed";
    model.Selected = 7;
    model.LastTab = 3;

    CConfig cancelled = config;
    TakeEditorResult(cancelled, model, false);
    EXPECT_EQ(cancelled.LastTab, 3);
    EXPECT_EQ(cancelled.Selected, 4);
    EXPECT_EQ(cancelled.Profiles[7].Name, config.Profiles[7].Name);
    EXPECT_EQ(cancelled.Profiles[0].VideoProcAmp[3].Value, 12);

    TakeEditorResult(config, model, true);
    EXPECT_EQ(config.LastTab, 3);
    EXPECT_EQ(config.Selected, 7);
    EXPECT_EQ(config.Profiles[7].Name, L"renamed");
    for (const Profile& p : config.Profiles) {
        for (const VideoProcAmpSetting& s : p.VideoProcAmp) {
            EXPECT_EQ(s.Value, kNotSet);
            EXPECT_EQ(s.Flags, kNotSet);
        }
    }
}

TEST(EditorRules, OpeningAndEntries) {
    struct Row {
        int32_t value;
        int profile, tab;
    } rows[] = {{0, 0, 0}, {3, 3, 3}, {9, 9, 0}, {10, 0, 0}, {-1, 0, 0}, {INT32_MIN, 0, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(OpeningProfile(r.value, 10), r.profile) << r.value;
        EXPECT_EQ(OpeningTab(r.value), r.tab) << r.value;
    }
    EXPECT_EQ(ProfileEntryText(0, L"プロファイル0"), L"00: プロファイル0");
    EXPECT_EQ(ProfileEntryText(9, L""), L"09: ");
    EXPECT_EQ(SyncRadioFromProfile(1), 0);
    EXPECT_EQ(SyncRadioFromProfile(0), 1);
    EXPECT_EQ(SyncRadioFromProfile(5), 0);
    EXPECT_EQ(SyncProfileFromRadio(0), 1);
    EXPECT_EQ(SyncProfileFromRadio(1), 0);
}

int CompareIgnoringCase(const wchar_t* a, const wchar_t* b) {
    for (; *a && std::towlower(*a) == std::towlower(*b); ++a, ++b) {
    }
    return static_cast<int>(std::towlower(*a)) - static_cast<int>(std::towlower(*b));
}

TEST(EditorRules, FilterCatalogueOrder) {
    std::vector<DeviceEntry> filters = {{L"beta", L"", L"1", DeviceKind::OtherFilter},
                                        {L"Alpha", L"", L"2", DeviceKind::OtherFilter},
                                        {L"BETA", L"", L"3", DeviceKind::OtherFilter},
                                        {L"alpha", L"", L"4", DeviceKind::OtherFilter},
                                        {L"Gamma", L"", L"5", DeviceKind::OtherFilter}};
    SortFilterCatalogue(filters, CompareIgnoringCase);
    std::wstring order;
    for (const DeviceEntry& f : filters) order += f.DevicePath;
    EXPECT_EQ(order, L"24135");
}

TEST(PageRules, NumbersAndPins) {
    struct Row {
        const wchar_t* text;
        int32_t value;
    } ints[] = {{L"42", 42},
                {L"  -7x", -7},
                {L"+3", 3},
                {L"", 0},
                {L"abc", 0},
                {L"99999999999", INT32_MAX},
                {L"-99999999999", INT32_MIN},
                {L"123456789012345678901234567890", INT32_MAX},
                {L"-123456789012345678901234567890", INT32_MIN}};
    for (const Row& r : ints) EXPECT_EQ(ReadDecimalInt(r.text), r.value) << r.text;
    EXPECT_EQ(TwoDigitText(7), L"07");
    EXPECT_EQ(TwoDigitText(123), L"123");
    EXPECT_EQ(FixedTwoText(29.9700003), L"29.97");
    EXPECT_EQ(FixedTwoText(0.005), L"0.01");
    EXPECT_EQ(HundredthsText(-150), L"-1.50");

    const PinEntry capture{0, L"Capture", L"CAPTURE", L"Video"};
    const PinEntry preview{0, L"Preview", L"PREVIEW", L"Video"};
    const PinEntry audio{0, L"Audio", L"CAPTURE", L"Audio"};
    const PinEntry input{1, L"Analog In", L"-", L"AnalogVideo"};
    EXPECT_EQ(PinRowColour(capture), Rgb(200, 200, 255));
    EXPECT_EQ(PinRowColour(preview), Rgb(255, 255, 200));
    EXPECT_EQ(PinRowColour(audio), Rgb(255, 200, 200));
    EXPECT_EQ(PinRowColour(input), kWhite);
    EXPECT_EQ(PinCellText(input, 0), L"IN");
    EXPECT_EQ(PinCellText(capture, 0), L"OUT");
    EXPECT_EQ(PinCellText(input, 1), L"Analog In");
    EXPECT_EQ(PinCellText(input, 2), L"-");
    EXPECT_EQ(PinCellText(input, 3), L"AnalogVideo");
    EXPECT_EQ(PinCellText(input, 4), L"");
    EXPECT_EQ(FindDeviceEntry({{L"A", L"", L"x"}, {L"A", L"", L"y"}}, L"A", L"y"), 1);
    EXPECT_EQ(FindDeviceEntry({{L"A", L"", L"x"}}, L"a", L"x"), -1);
}

}  // namespace
}  // namespace editor
