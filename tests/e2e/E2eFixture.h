// What the end-to-end tests share: a fixture that copies Lumoka2.exe into a folder of its own
// for each case, starts it and waits for its window and title, closes it as the user would and
// reads back the files it wrote; and the expected title and default window rectangle.
#pragma once

#include <windows.h>

#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "AppProcess.h"
#include "config/Config.h"
#include "config/Placement.h"

namespace lumoka::testing {

inline constexpr wchar_t kSettings[] = L"Lumoka2.ini";
inline constexpr wchar_t kProfiles[] = L"Profile.ini";
// The first title refresh comes within about a second of the window's start; the deadline is
// generous for a machine busy with other builds and tests.
inline constexpr DWORD kTitleWaitMs = 15000;

inline std::wstring ExpectedTitle(const std::wstring& name, const RECT& client, int volume) {
    return name + L" [" + std::to_wstring(client.right - client.left) + L"x" +
           std::to_wstring(client.bottom - client.top) + L" 0.00fps]  (" + std::to_wstring(volume) +
           L") - Lumoka2";
}

// A 640 x 480 client area centred on the desktop, as a fresh installation shows it.
inline RECT DefaultWindowRect() {
    const int width = 640 + 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = 480 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = (desktop.right - desktop.left) / 2 - width / 2;
    const int y = (desktop.bottom - desktop.top) / 2 - height / 2;
    return RECT{x, y, x + width, y + height};
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

inline std::string Narrow(const std::wstring& text) { return Encode(text, CP_UTF8); }

inline RECT NormalRect(const WindowPlacement& placement) {
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
                      int volume = 100, const std::wstring& exeName = std::wstring()) {
        ASSERT_TRUE(app.Start(folder_.File(exeName.empty() ? folder_.ProgramName() : exeName)));
        ASSERT_NE(app.WaitForWindow(), nullptr) << "no window";
        // The window is shown while it initialises, so its client size may still change. The
        // first refresh is posted as the window finishes initialising.
        std::wstring expected;
        const DWORD start = GetTickCount();
        do {
            expected = ExpectedTitle(name, app.ClientRect(), volume);
            if (app.Title() == expected) return;
            Sleep(50);
        } while (GetTickCount() - start < kTitleWaitMs);
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

}  // namespace lumoka::testing
