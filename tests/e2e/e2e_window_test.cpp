// Lumoka2.exe end to end under Wine, one instance at a time: the window and its title, the
// placement and window settings it restores, the selected profile's name, volume and priority,
// Enter and Escape, and the files written on close.
#include <windows.h>

#include <gtest/gtest.h>

#include "E2eFixture.h"

namespace lumoka::testing {
namespace {

TEST_F(E2eTest, FirstStartShowsTheTitleAndWritesBothFilesOnClose) {
    CAppProcess app;
    ASSERT_TRUE(app.Start(folder_.File(folder_.ProgramName())));
    ASSERT_NE(app.WaitForWindow(), nullptr);
    // The caption is "Lumoka2" until the first refresh, which the worker posts at once, so
    // either may be seen first.
    const std::wstring first = app.Title();
    const RECT client = app.ClientRect();
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    const std::wstring full = ExpectedTitle(L"プロファイル0", client, 100);
    EXPECT_TRUE(first == L"Lumoka2" || first == full) << Narrow(first);
    ASSERT_TRUE(app.WaitForTitle(full, kTitleWaitMs)) << Narrow(app.Title());
    const RECT window = app.WindowRect();
    EXPECT_TRUE(SameRect(window, DefaultWindowRect()))
        << Describe(window) << " vs " << Describe(DefaultWindowRect());
    EXPECT_FALSE(folder_.Exists(kSettings)) << "nothing is written while the window runs";

    CloseAndExpectCleanExit(app);

    const std::string settings = folder_.ReadBytes(kSettings);
    const std::string profiles = folder_.ReadBytes(kProfiles);
    EXPECT_EQ(settings.rfind("[Common]\r\nFileVersion=4\r\n\r\n[Window]\r\nPlacement=", 0), 0u)
        << settings;
    EXPECT_TRUE(HasOnlyCrLfLineEnds(settings));
    EXPECT_TRUE(HasOnlyCrLfLineEnds(profiles));
    EXPECT_NE(profiles.find(Encode(L"\r\nName=プロファイル0\r\n", 932)), std::string::npos)
        << "names are stored in code page 932";
    EXPECT_EQ(profiles.find(Encode(L"プロファイル0", CP_UTF8)), std::string::npos);

    const CConfig config = ReadBack();
    EXPECT_TRUE(SameRect(NormalRect(config.Placement), window))
        << Describe(NormalRect(config.Placement));
    ASSERT_EQ(config.Profiles.size(), 10u);
    EXPECT_EQ(config.Profiles[9].Name, L"プロファイル9");
    EXPECT_EQ(config.Selected, 0);
}

TEST_F(E2eTest, DamagedSettingsGiveTheCentredDefaultAndKeepTheOtherKeys) {
    ASSERT_TRUE(folder_.WriteBytes(kSettings, "[Window]\r\nPlacement=2C000000FF\r\nSnap=0\r\n"));
    CAppProcess app;
    StartAndWait(app);
    const RECT client = app.ClientRect();
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_TRUE(SameRect(app.WindowRect(), DefaultWindowRect())) << Describe(app.WindowRect());
    CloseAndExpectCleanExit(app);
    const CConfig config = ReadBack();
    EXPECT_EQ(config.Snap, 0);
    EXPECT_TRUE(SameRect(NormalRect(config.Placement), DefaultWindowRect()));
}

TEST_F(E2eTest, PlacementSurvivesARestart) {
    RECT moved{};
    {
        CAppProcess app;
        StartAndWait(app);
        ASSERT_TRUE(
            SetWindowPos(app.Window(), nullptr, 123, 87, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE));
        app.WaitUntilIdle();
        moved = app.WindowRect();
        ASSERT_EQ(moved.left, 123);
        ASSERT_EQ(moved.right - moved.left, 500);
        // The once-a-second refresh brings the new client size into the title.
        const std::wstring resized = ExpectedTitle(L"プロファイル0", app.ClientRect(), 100);
        EXPECT_TRUE(app.WaitForTitle(resized, 2500)) << Narrow(app.Title());
        CloseAndExpectCleanExit(app);
    }
    CAppProcess again;
    StartAndWait(again);
    EXPECT_TRUE(SameRect(again.WindowRect(), moved))
        << Describe(again.WindowRect()) << " vs " << Describe(moved);
    CloseAndExpectCleanExit(again);
}

TEST_F(E2eTest, StoredFrameAndTopMostSettingsAreApplied) {
    WindowPlacement placement;
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = PlacementRect{100, 110, 500, 410};
    const std::wstring text =
        L"[Window]\r\nPlacement=" + EncodePlacement(placement) + L"\r\nFrame=0\r\nTopMost=1\r\n";
    ASSERT_TRUE(folder_.WriteBytes(kSettings, Encode(text, CP_ACP)));
    CAppProcess app;
    StartAndWait(app);
    const LONG_PTR style = GetWindowLongPtrW(app.Window(), GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_NE(style & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_TRUE(GetWindowLongPtrW(app.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The stored rectangle is the window's; without a frame it is all client area.
    EXPECT_TRUE(SameRect(app.WindowRect(), RECT{100, 110, 500, 410})) << Describe(app.WindowRect());
    EXPECT_EQ(app.ClientRect().right, 400);
    EXPECT_EQ(app.ClientRect().bottom, 300);
    CloseAndExpectCleanExit(app);
    const CConfig config = ReadBack();
    EXPECT_EQ(config.Frame, 0);
    EXPECT_EQ(config.TopMost, 1);
}

TEST_F(E2eTest, SelectedIndexOutsideTheProfilesStartsWithDefaults) {
    ASSERT_TRUE(folder_.WriteBytes(
        kProfiles,
        "[Profile]\r\nSelected=42\r\n\r\n[Profile:00]\r\nPreview.ProcessPriority=1\r\n"
        "Preview.AudioVolume=20\r\n"));
    CAppProcess app;
    StartAndWait(app, L"", 100);
    EXPECT_EQ(GetPriorityClass(app.Process()), static_cast<DWORD>(ABOVE_NORMAL_PRIORITY_CLASS));
    CloseAndExpectCleanExit(app);
    const CConfig config = ReadBack();
    EXPECT_EQ(config.Selected, 42);
    EXPECT_EQ(config.Profiles[0].PreviewProcessPriority, 1);
}

TEST_F(E2eTest, SelectedProfileGivesTitleNameVolumeAndPriority) {
    const std::wstring text =
        L"[Profile]\r\nSelected=1\r\n\r\n[Profile:01]\r\nName=テスト用カメラ\r\n"
        L"Preview.AudioVolume=30\r\nPreview.ProcessPriority=1\r\n";
    ASSERT_TRUE(folder_.WriteBytes(kProfiles, Encode(text, 932)));
    CAppProcess app;
    StartAndWait(app, L"テスト用カメラ", 30);
    EXPECT_EQ(GetPriorityClass(app.Process()), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
    CloseAndExpectCleanExit(app);
    EXPECT_NE(folder_.ReadBytes(kProfiles).find(Encode(L"Name=テスト用カメラ\r\n", 932)),
              std::string::npos);
}

TEST_F(E2eTest, EnterAndEscapeDoNotCloseTheWindow) {
    CAppProcess app;
    StartAndWait(app);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageW(app.Window(), WM_KEYDOWN, key, 1);
        PostMessageW(app.Window(), WM_KEYUP, key, 0xC0000001);
    }
    app.WaitUntilIdle();
    Sleep(300);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    EXPECT_FALSE(folder_.Exists(kSettings)) << "the window was destroyed";
    CloseAndExpectCleanExit(app);
}

}  // namespace
}  // namespace lumoka::testing
