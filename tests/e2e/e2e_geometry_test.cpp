// Lumoka2.exe under Wine driven with the mouse as a person would (xdotool on the test display):
// the frame toggle keeps the picture in place, a double-click enters fullscreen mode and a
// second one gives back the window as it was; without a frame the edge band sizes the window
// with the aspect kept; while the test card plays, the wheel steps the volume and the title
// shows the rate at which frames reach the renderer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <cstdint>
#include <functional>
#include <string>

#include "CardStamps.h"
#include "Desktop.h"
#include "E2eFixture.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

// Moves the mouse to the middle of the picture and presses the buttons given.
bool ClickInPicture(HWND window, const std::string& clicks) {
    const RECT client = ClientOnScreen(window);
    const int x = (client.left + client.right) / 2;
    const int y = (client.top + client.bottom) / 2;
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " " + clicks);
}

bool DoubleClick(HWND window) { return ClickInPicture(window, "click --repeat 2 --delay 60 1"); }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    return WaitUntil(condition, timeoutMs);
}

RECT MonitorRect(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

LONG_PTR FrameStyles(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME);
}

bool IsTopMost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The frame rate and the volume the title shows: "<name> [<w>x<h> <fps>fps]  (<volume>) ...".
bool ParseTitle(const std::wstring& title, double* fps, int* volume) {
    const size_t open = title.rfind(L" [");
    if (open == std::wstring::npos) return false;
    int width = 0;
    int height = 0;
    return swscanf(title.c_str() + open, L" [%dx%d %lffps]  (%d)", &width, &height, fps, volume) ==
           4;
}

// What the title's rates add up to between the first and the last of count refreshes seen
// (each rate times the time since the refresh before). The title is read every few
// milliseconds, so a refresh is seen soon after it happens; a refresh that repeats the text
// before it goes unseen, and its rate is then the one counted for both.
struct TitleRates {
    int refreshes = 0;
    int64_t from = 0;
    int64_t to = 0;
    double frames = 0.0;
    std::string text;
};

TitleRates WatchTitleRates(const CAppProcess& app, int count) {
    TitleRates seen;
    std::wstring last = app.Title();
    const DWORD start = GetTickCount();
    while (seen.refreshes < count && GetTickCount() - start < 30000) {
        Sleep(2);
        const std::wstring title = app.Title();
        const int64_t now = CCardStamps::Now();
        double fps = 0.0;
        int volume = 0;
        if (title == last || !ParseTitle(title, &fps, &volume)) continue;
        last = title;
        if (seen.refreshes++ == 0) {
            seen.from = now;
        } else {
            seen.frames += fps * CCardStamps::Seconds(seen.to, now);
            seen.text += std::to_string(fps) + " ";
        }
        seen.to = now;
    }
    return seen;
}

TEST_F(E2eTest, FrameToggleKeepsThePictureAndFullScreenGivesTheWindowBack) {
    CAppProcess app;
    StartAndWait(app);
    const HWND window = app.Window();
    const RECT before = app.WindowRect();
    const RECT picture = ClientOnScreen(window);
    ASSERT_EQ(FrameStyles(window), WS_CAPTION | WS_THICKFRAME);
    ASSERT_FALSE(IsTopMost(window));

    // The style changes first and the window's rectangle after it: the wait is for both.
    PostMessageW(window, WM_COMMAND, ID_FRAME, 0);
    EXPECT_TRUE(WaitFor([&] {
        return FrameStyles(window) == 0 && SameRect(app.WindowRect(), picture) &&
               SameRect(ClientOnScreen(window), picture);
    }));
    EXPECT_TRUE(SameRect(ClientOnScreen(window), picture)) << Describe(ClientOnScreen(window));
    EXPECT_TRUE(SameRect(app.WindowRect(), picture)) << "no frame: the window is the picture";
    PostMessageW(window, WM_COMMAND, ID_FRAME, 0);
    EXPECT_TRUE(WaitFor([&] { return SameRect(app.WindowRect(), before); }))
        << Describe(app.WindowRect());
    EXPECT_TRUE(SameRect(ClientOnScreen(window), picture));

    // Each change of mode takes several calls (style, placement, z-order), so the wait is for
    // the whole new state.
    const RECT monitor = MonitorRect(window);
    ASSERT_TRUE(DoubleClick(window));
    EXPECT_TRUE(WaitFor([&] {
        return SameRect(app.WindowRect(), monitor) && FrameStyles(window) == 0 &&
               IsTopMost(window);
    })) << Describe(app.WindowRect())
        << " vs monitor " << Describe(monitor);
    EXPECT_EQ(FrameStyles(window), 0);
    EXPECT_TRUE(IsTopMost(window));

    ASSERT_TRUE(DoubleClick(window));
    EXPECT_TRUE(WaitFor([&] {
        return SameRect(app.WindowRect(), before) &&
               FrameStyles(window) == (WS_CAPTION | WS_THICKFRAME) && !IsTopMost(window);
    })) << Describe(app.WindowRect())
        << " vs " << Describe(before);
    EXPECT_EQ(FrameStyles(window), WS_CAPTION | WS_THICKFRAME);
    EXPECT_FALSE(IsTopMost(window));

    // Closed in fullscreen mode, the window stores the placement from before it.
    ASSERT_TRUE(DoubleClick(window));
    ASSERT_TRUE(WaitFor([&] { return SameRect(app.WindowRect(), monitor); }));
    CloseAndExpectCleanExit(app);
    EXPECT_TRUE(SameRect(NormalRect(ReadBack().Placement), before))
        << Describe(NormalRect(ReadBack().Placement));
}

// The profile of scripts/first-profile.sh (the test card, RGB32 720 x 480 at 29.97 frames a
// second) at 30 percent volume. Wine's renderers keep no statistics, so the rate comes from
// the frames our transform filter delivered. On a busy machine the card really draws fewer
// than 29.97 a second, so the title is held against what the card drew in the same seconds.
TEST_F(E2eTest, WheelStepsTheVolumeAndTheTitleShowsTheDeliveredFrameRate) {
    ASSERT_TRUE(folder_.WriteBytes(kProfiles,
                                   "[Common]\r\nFileVersion=4\r\n\r\n"
                                   "[Profile]\r\nSelected=0\r\nLastTab=0\r\n\r\n"
                                   "[Profile:00]\r\n"
                                   "Video.FriendlyName=Lumoka Test Card\r\n"
                                   "Video.DevicePath=lumoka-testcard-0\r\n"
                                   "Video.Format.Index=7\r\n"
                                   "Video.Format.Width=720\r\n"
                                   "Video.Format.Height=480\r\n"
                                   "Video.Format.AvgTimePerFrame=333667\r\n"
                                   "Preview.AudioVolume=30\r\n\r\n"));
    CCardStamps stamps;
    ASSERT_TRUE(stamps.IsOpen());
    CAppProcess app;
    StartAndWait(app, L"プロファイル0", 30);
    const HWND window = app.Window();
    PostMessageW(window, WM_COMMAND, ID_PLAY, 0);
    double fps = 0.0;
    int volume = -1;
    ASSERT_TRUE(WaitFor([&] { return ParseTitle(app.Title(), &fps, &volume) && fps > 0.0; }, 20000))
        << Narrow(app.Title());

    ASSERT_TRUE(ClickInPicture(window, "click --repeat 10 --delay 40 5"));
    EXPECT_TRUE(WaitFor([&] { return ParseTitle(app.Title(), &fps, &volume) && volume == 0; }))
        << Narrow(app.Title());

    // The title's rate against the card's own count over the same seconds: the frames the
    // titles account for (each refresh's rate times the time since the one before) and the
    // pictures the card drew between the first and the last refresh seen.
    const TitleRates rates = WatchTitleRates(app, 6);
    ASSERT_GE(rates.refreshes, 6) << Narrow(app.Title());
    const double drawn = static_cast<double>(stamps.DrawnBetween(rates.from, rates.to).size());
    ASSERT_GT(drawn, 0.0) << "the card's ring shows nothing drawn";
    EXPECT_NEAR(rates.frames, drawn, 0.1 * drawn + 2.0)
        << "titles " << rates.text << "over " << CCardStamps::Seconds(rates.from, rates.to)
        << " s, the card drew " << drawn;
    CloseAndExpectCleanExit(app);
    EXPECT_EQ(ReadBack().Profiles[0].PreviewAudioVolume, 0);
}

// Without a frame the picture's edge band sizes the window through the system's sizing loop,
// so keeping the aspect applies as with a frame: the corner dragged 160 x 60 pixels gives the
// largest 4:3 picture inside, with the top-left corner staying where it was.
TEST_F(E2eTest, FramelessCornerBandResizesKeepingTheAspect) {
    ASSERT_TRUE(folder_.WriteBytes(kSettings, "[Window]\r\nFrame=0\r\nAspectRatio=1\r\n"));
    ASSERT_TRUE(folder_.WriteBytes(kProfiles, "[Profile:00]\r\nPreview.AspectRatio=1\r\n"));
    CAppProcess app;
    StartAndWait(app);
    const HWND window = app.Window();
    const RECT before = ClientOnScreen(window);
    const std::string x = std::to_string(before.right - 5);
    const std::string y = std::to_string(before.bottom - 5);
    // The press posts the sizing command; the pauses let the sizing loop start and follow.
    ASSERT_TRUE(Xdotool("mousemove " + x + " " + y +
                        " mousedown 1 sleep 0.5 mousemove_relative 80 30" +
                        " sleep 0.3 mousemove_relative 80 30 sleep 0.3 mouseup 1"));
    const int height = before.bottom - before.top + 60;
    const int width = static_cast<int>(4 * (height / 3.0));
    EXPECT_TRUE(WaitFor([&] {
        const RECT after = ClientOnScreen(window);
        return after.left == before.left && after.top == before.top &&
               after.right - after.left == width && after.bottom - after.top == height;
    })) << Describe(before)
        << " to " << Describe(ClientOnScreen(window));
    CloseAndExpectCleanExit(app);
}

}  // namespace
}  // namespace lumoka::testing
