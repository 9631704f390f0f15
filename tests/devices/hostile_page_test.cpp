// The editor's video page over the hostile card, in process: the formats it lists and how
// their absurd values are shown, the cut pin names, the crossbar rows of a crossbar with dozens
// of pins and a lying count, storing a format, and the ordinary card on the same page after it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../editor/PageReading.h"
#include "../editor/PumpMessages.h"
#include "../graph/win/TestSupport.h"
#include "HostileTestSupport.h"
#include "ui/editor/ProfileMainDlg.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

namespace {

using namespace lumoka::hostile;

std::wstring Text(lumoka::CDialog& page, int id) { return lumoka::GetItemText(page.GetHwnd(), id); }

class HostilePage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registered = hostiletest::ListForSuite();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
    }
    static void TearDownTestSuite() {
        hostiletest::UnlistAfterSuite();
    }
    void SetUp() override {
        ASSERT_TRUE(registered) << "the hostile card could not be listed";
        for (int i = 0; i < kProfileCount; ++i) model.Profiles.push_back(MakeDefaultProfile(i));
    }
    void Open() {
        ASSERT_TRUE(frame.Create(nullptr));
        SetWindowPos(frame.GetHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        PumpUntil([] { return false; }, 100);
    }

    static bool registered;
    ProfileEditorModel model;
    CProfileMainDlg frame{model};
};
bool HostilePage::registered = false;

TEST_F(HostilePage, ListsWhatCanBeUsedShowsAbsurdValuesSafelyAndKeepsWorking) {
    ASSERT_TRUE(hostiletest::SetBehaviours(kAll & ~kHugeCapsStructure));
    Profile& p = model.Profiles[2];
    p.Video = {hostiletest::kName, L"", hostiletest::kPath};
    p.VideoFormatIndex = 1;
    p.VideoFormatWidth = 320;
    p.VideoFormatHeight = 240;
    p.VideoFormatAvgTimePerFrame = 333667;
    p.VideoCrossbar = {{0, 7}};
    model.Selected = 2;
    Open();
    CProfileVideoDlg& page = frame.VideoPage();

    // Only the six usable capabilities; intervals of 0 and below show as the fastest rate.
    const std::vector<std::wstring> formats = ComboTexts(page, IDC_VIDEO_FORMAT);
    const std::vector<std::wstring> expected = {
        L"00: RGB32 (32bit) 320x240 29.97fps",  L"01: RGB32 (32bit) 320x240 29.97fps",
        L"02: RGB32 (32bit) 320x240 240.00fps", L"03: RGB32 (32bit) 320x240 240.00fps",
        L"04: RGB32 (32bit) 320x240 29.97fps",  L"05: RGB24 (24bit) 640x480 29.97fps"};
    EXPECT_EQ(formats, expected);

    // Pin names of 3000 characters without a terminator are cut to 127.
    ASSERT_EQ(Rows(page, IDC_VIDEO_PINS), 2);
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 0, 1).size(), 127u);
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 1, 0), L"IN");

    // Format 1: output ranges from INT_MIN to INT_MAX with a granularity of 1 (more steps than
    // a bar counts) and a negative vertical granularity: no bars, the values still editable.
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_VIDEO_FORMAT), 1);
    EXPECT_EQ(Text(page, IDC_VIDEO_WIDTH), L"320");
    EXPECT_FALSE(Enabled(page, IDC_VIDEO_WIDTH_BAR));
    EXPECT_FALSE(Enabled(page, IDC_VIDEO_HEIGHT_BAR));
    EXPECT_TRUE(Enabled(page, IDC_VIDEO_WIDTH));
    EXPECT_EQ(Cell(page, IDC_VIDEO_INFO, 2, 1), L"-2147483648x-5");
    EXPECT_EQ(Cell(page, IDC_VIDEO_INFO, 7, 1), L"-1bps (0MByte/s)");
    EXPECT_EQ(Cell(page, IDC_VIDEO_INFO, 8, 1), L"2,147,483,647bps (255MByte/s)");

    // Intervals of 0, negative ones, and a minimum above the maximum: clamped rates, no bar.
    for (int format : {2, 3, 4}) {
        SCOPED_TRACE(format);
        Choose(page, IDC_VIDEO_FORMAT, format);
        EXPECT_FALSE(Enabled(page, IDC_VIDEO_RATE_BAR));
        EXPECT_TRUE(Enabled(page, IDC_VIDEO_RATE));
        EXPECT_EQ(Text(page, IDC_VIDEO_RATE), format == 4 ? L"29.97" : L"240.00");
        EXPECT_TRUE(Enabled(page, IDC_VIDEO_WIDTH_BAR));
    }

    // Forty outputs: the first four get rows; each lists the 256 inputs read of the million
    // the crossbar claims, with the stored route chosen.
    EXPECT_EQ(Text(page, IDC_VIDEO_XBAR_OUT1), L"0:Video Composite");
    EXPECT_EQ(Text(page, IDC_VIDEO_XBAR_OUT4), L"3:Unknown Type");
    EXPECT_EQ(lumoka::GetComboCount(page.GetHwnd(), IDC_VIDEO_XBAR_IN1), 256);
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_VIDEO_XBAR_IN1), 7);

    // The ordinary card on the same page afterwards.
    const std::vector<std::wstring> devices = ComboTexts(page, IDC_VIDEO_DEVICE);
    const auto card = std::find(devices.begin(), devices.end(), L"Lumoka Test Card");
    ASSERT_NE(card, devices.end());
    Choose(page, IDC_VIDEO_DEVICE, static_cast<int>(card - devices.begin()));
    EXPECT_EQ(ComboTexts(page, IDC_VIDEO_FORMAT).size(), 9u);
    EXPECT_EQ(Rows(page, IDC_VIDEO_PINS), 4);
    EXPECT_EQ(Text(page, IDC_VIDEO_XBAR_OUT1), L"0:Video Decoder");

    // Back to the hostile card, then store a format of it.
    const auto hostile = std::find(devices.begin(), devices.end(), hostiletest::kName);
    ASSERT_NE(hostile, devices.end());
    Choose(page, IDC_VIDEO_DEVICE, static_cast<int>(hostile - devices.begin()));
    Choose(page, IDC_VIDEO_FORMAT, 5);
    SendMessageW(frame.GetHwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.VideoFormatIndex, 5);
    EXPECT_EQ(p.VideoFormatWidth, 640);
    EXPECT_EQ(p.VideoFormatAvgTimePerFrame, 333667);
    EXPECT_EQ(p.Video.DevicePath, hostiletest::kPath);
}

}  // namespace
