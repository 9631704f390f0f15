// Lumoka2.exe end to end under Wine: each case copies the program into a folder of its own,
// starts it, looks at its window, closes it as the user would and reads the files it wrote.
#include <windows.h>

#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "AppProcess.h"
#include "config/Config.h"
#include "config/Placement.h"

namespace lumoka::testing {
namespace {

constexpr wchar_t kSettings[] = L"Lumoka2.ini";
constexpr wchar_t kProfiles[] = L"Profile.ini";

std::wstring ExpectedTitle(const std::wstring& name, const RECT& client, int volume) {
    return name + L" [" + std::to_wstring(client.right - client.left) + L"x" +
           std::to_wstring(client.bottom - client.top) + L" 0.00fps]  (" +
           std::to_wstring(volume) + L") - Lumoka2";
}

// A 640 x 480 client area centred on the desktop, as a fresh installation shows it.
RECT DefaultWindowRect() {
    const int width = 640 + 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = 480 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = (desktop.right - desktop.left) / 2 - width / 2;
    const int y = (desktop.bottom - desktop.top) / 2 - height / 2;
    return RECT{x, y, x + width, y + height};
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

std::string Narrow(const std::wstring& text) { return Encode(text, CP_UTF8); }

RECT NormalRect(const WindowPlacement& placement) {
    const PlacementRect& r = placement.rcNormalPosition;
    return RECT{r.left, r.top, r.right, r.bottom};
}

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The files are in the user's ANSI code page; the configuration reads them as the
        // program does, under the user's locale.
        std::setlocale(LC_ALL, "");
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_TRUE(folder_.CopyProgram());
    }

    // Starts the copy called exeName and waits for its window and its first title refresh.
    void StartAndWait(CAppProcess& app, const std::wstring& name = L"プロファイル0",
                      int volume = 100, const std::wstring& exeName = L"Lumoka2.exe") {
        ASSERT_TRUE(app.Start(folder_.File(exeName)));
        ASSERT_NE(app.WaitForWindow(), nullptr) << "no window";
        // The window is shown while it initialises, so its client size may still change.
        std::wstring expected;
        const DWORD start = GetTickCount();
        do {
            expected = ExpectedTitle(name, app.ClientRect(), volume);
            if (app.Title() == expected) return;
            Sleep(50);
        } while (GetTickCount() - start < 1500);
        FAIL() << "title \"" << Narrow(app.Title()) << "\", expected \"" << Narrow(expected)
               << "\"";
    }

    void CloseAndExpectCleanExit(CAppProcess& app) {
        ASSERT_TRUE(app.Close()) << "the program did not end after WM_CLOSE";
        EXPECT_EQ(app.ExitCode(), 0u);
    }

    CConfig ReadBack() const {
        CConfig config;
        config.ProgramDir = folder_.Path();
        EXPECT_TRUE(config.LoadSettingsFrom(folder_.File(kSettings), QueryDesktopMetrics()));
        EXPECT_TRUE(config.LoadProfilesFrom(folder_.File(kProfiles)));
        return config;
    }

    CTestFolder folder_;
};

TEST_F(E2eTest, FirstStartShowsTheTitleAndWritesBothFilesOnClose) {
    CAppProcess app;
    ASSERT_TRUE(app.Start(folder_.File(L"Lumoka2.exe")));
    ASSERT_NE(app.WaitForWindow(), nullptr);
    // The caption is "Lumoka2" until the first refresh, which the worker posts at once, so
    // either may be seen first.
    const std::wstring first = app.Title();
    const RECT client = app.ClientRect();
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    const std::wstring full = ExpectedTitle(L"プロファイル0", client, 100);
    EXPECT_TRUE(first == L"Lumoka2" || first == full) << Narrow(first);
    ASSERT_TRUE(app.WaitForTitle(full, 1500)) << Narrow(app.Title());
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
        ASSERT_TRUE(SetWindowPos(app.Window(), nullptr, 123, 87, 500, 400,
                                 SWP_NOZORDER | SWP_NOACTIVATE));
        app.WaitUntilIdle();
        moved = app.WindowRect();
        ASSERT_EQ(moved.left, 123);
        ASSERT_EQ(moved.right - moved.left, 500);
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
    const std::wstring text = L"[Window]\r\nPlacement=" + EncodePlacement(placement) +
                              L"\r\nFrame=0\r\nTopMost=1\r\n";
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

TEST_F(E2eTest, SecondInstanceWritesNeitherFile) {
    const std::string settings = "[Window]\r\nTopMost=0\r\n";
    const std::string profiles = "[Profile]\r\nSelected=0\r\n";
    ASSERT_TRUE(folder_.WriteBytes(kSettings, settings));
    ASSERT_TRUE(folder_.WriteBytes(kProfiles, profiles));

    CAppProcess first;
    StartAndWait(first);
    ASSERT_TRUE(SetWindowPos(first.Window(), nullptr, 40, 50, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    first.WaitUntilIdle();
    const RECT firstRect = first.WindowRect();

    CAppProcess second;
    StartAndWait(second);
    ASSERT_NE(second.Window(), first.Window());
    CloseAndExpectCleanExit(second);
    EXPECT_EQ(folder_.ReadBytes(kSettings), settings) << "the second instance wrote settings";
    EXPECT_EQ(folder_.ReadBytes(kProfiles), profiles) << "the second instance wrote profiles";

    CloseAndExpectCleanExit(first);
    EXPECT_NE(folder_.ReadBytes(kSettings), settings);
    EXPECT_NE(folder_.ReadBytes(kProfiles), profiles);
    EXPECT_TRUE(SameRect(NormalRect(ReadBack().Placement), firstRect));
}

TEST_F(E2eTest, CopyUnderAnotherNameIsAFirstInstance) {
    ASSERT_TRUE(folder_.CopyProgram(L"LumokaCopy.exe"));
    CAppProcess original;
    StartAndWait(original);
    CAppProcess copy;
    StartAndWait(copy, L"プロファイル0", 100, L"LumokaCopy.exe");
    CloseAndExpectCleanExit(copy);
    EXPECT_TRUE(folder_.Exists(kSettings)) << "the renamed copy is a first instance and writes";
    EXPECT_TRUE(folder_.Exists(kProfiles));
    CloseAndExpectCleanExit(original);
}

// Selected 42 names no profile: an empty name, the default volume, the default priority
// (above normal); the index is written back as it was.
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
