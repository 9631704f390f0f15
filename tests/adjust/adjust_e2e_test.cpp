// The adjustment dialogs end to end: Lumoka2.exe plays the virtual test card on VMR-9, the
// dialogs open from the context menu, the mouse drags and clicks their scroll bars and buttons,
// the picture is read back from the screen, and what OK keeps reaches "Profile.ini" at exit.
#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/Desktop.h"
#include "e2e/E2eFixture.h"
#include "ui/adjust/res/AdjustmentIds.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

// The card's picture in a 640 x 480 client at its own ratio 720:480: 640 x 426 at y 27.
constexpr int kTop = 27, kHeight = 426;

// A screen point inside a control, at a fraction of its width, for xdotool.
std::string PointIn(HWND control, double across) {
    RECT r{};
    GetWindowRect(control, &r);
    const int x = r.left + static_cast<int>((r.right - r.left) * across);
    return std::to_string(x) + " " + std::to_string((r.top + r.bottom) / 2);
}

std::wstring Text(HWND dialog, int id) {
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog, id, text, 32);
    return text;
}

class AdjustE2e : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        CConfig config;
        config.ResetProfiles();
        Profile& p = config.Profiles[0];
        p.Video.FriendlyName = L"Lumoka Test Card";
        p.Video.DevicePath = L"lumoka-testcard-0";
        p.VideoFormatIndex = 7;  // RGB32 720 x 480, which Wine's VMR-9 draws correctly
        p.VideoFormatWidth = 720;
        p.VideoFormatHeight = 480;
        p.VideoFormatAvgTimePerFrame = 333667;
        p.PreviewVideoRenderer = 2;
        ASSERT_TRUE(config.SaveProfilesTo(folder_.File(kProfiles)));
        ASSERT_NO_FATAL_FAILURE(StartAndWait(app_, p.Name));
        PostMessageW(app_.Window(), WM_COMMAND, ID_PLAY, 0);
        ASSERT_TRUE(WaitUntil([&] { return WhiteBar() > 150; }, 30000)) << "no picture";
    }

    // Chooses the menu item `downs` enabled items down (with a graph built: クロッピング 18,
    // 映像信号調整 19) and moves the dialog into the screen's bottom-right corner, off the
    // picture's left half.
    HWND Open(int downs, const wchar_t* caption) {
        const DWORD pid = GetProcessId(app_.Process());
        std::string keys = "key";
        for (int i = 0; i < downs; ++i) keys += " Down";
        std::vector<HWND> found;
        const bool open =
            RightClickClient(app_.Window()) &&
            WaitUntil([&] { return !ProcessWindows(pid, L"#32768").empty(); }, 10000) &&
            Xdotool(keys + " Return") &&
            WaitUntil([&] { return !(found = ProcessWindows(pid, L"#32770", caption)).empty(); },
                      10000);
        if (!open) return nullptr;
        RECT r{};
        GetWindowRect(found[0], &r);
        SetWindowPos(found[0], nullptr, GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left),
                     GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return found[0];
    }
    bool Press(HWND dialog, int button) {
        return Xdotool("mousemove " + PointIn(GetDlgItem(dialog, button), 0.5) + " click 1") &&
               WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    }
    int WhiteBar() const { return CScreenshot(app_.Window()).At(45, 204).r; }
    // Where the counter band ends (its white first cell meets the white bar) and the blue bar
    // ends (the motion strip starts): source rows 40 and 360 below the top margin.
    bool EdgesNear(int sourceTop) {
        const CScreenshot shot(app_.Window());
        int band = kTop, bars = kTop + kHeight / 2;
        while (band < bars && shot.At(16, band).r > 225) ++band;
        while (bars < kTop + kHeight && shot.At(594, bars).b > 150 && shot.At(594, bars).r < 60)
            ++bars;
        const double scale = static_cast<double>(kHeight) / (480 - sourceTop);
        edges_ = std::to_string(band) + ", " + std::to_string(bars);
        return std::abs(band - (kTop + (40 - sourceTop) * scale)) <= 2 &&
               std::abs(bars - (kTop + (360 - sourceTop) * scale)) <= 2;
    }
    // "上" to 20 by twenty clicks in the trough, the picture following at once.
    HWND CropTopTwenty() {
        HWND d = Open(18, L"クロッピング");
        if (!d) return nullptr;
        Xdotool("mousemove " + PointIn(GetDlgItem(d, IDC_CROP_SCROLL_TOP), 0.75) +
                " click --repeat 20 --delay 100 1");
        EXPECT_TRUE(WaitUntil([&] { return Text(d, IDC_CROP_VALUE_TOP) == L"20"; }, 10000))
            << Narrow(Text(d, IDC_CROP_VALUE_TOP));
        EXPECT_TRUE(WaitUntil([&] { return EdgesNear(20); }, 10000)) << edges_;
        return d;
    }

    CAppProcess app_;
    std::string edges_;
};

TEST_F(AdjustE2e, DraggedBrightnessAndTopMarginShowLiveCancelRestoresOkReachesTheFile) {
    // Brightness dragged to the right: the picture brightens while the button is still down,
    // and Cancel puts the device back.
    const int before = WhiteBar();
    HWND signal = Open(19, L"映像信号調整");
    ASSERT_NE(signal, nullptr) << "no video signal dialog";
    ASSERT_TRUE(Xdotool("mousemove " +
                        PointIn(GetDlgItem(signal, IDC_PROCAMP_SCROLL_BRIGHTNESS), 0.5) +
                        " mousedown 1 mousemove_relative 40 0"));
    EXPECT_TRUE(WaitUntil([&] { return WhiteBar() > before + 30; }, 10000))
        << before << " -> " << WhiteBar();
    ASSERT_TRUE(Xdotool("mouseup 1"));
    EXPECT_NE(Text(signal, IDC_PROCAMP_VALUE_BRIGHTNESS), L"0");
    ASSERT_TRUE(Press(signal, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return std::abs(WhiteBar() - before) <= 8; }, 10000))
        << before << " -> " << WhiteBar();

    // Cropping: the top 20 source rows disappear at once; Cancel shows them again, OK keeps
    // them.
    HWND d = CropTopTwenty();
    ASSERT_NE(d, nullptr) << "no cropping dialog";
    ASSERT_TRUE(Press(d, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return EdgesNear(0); }, 10000)) << edges_;
    d = CropTopTwenty();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(Press(d, IDOK));

    // The profile file holds the margins and the twenty video signal keys: the device's values
    // as the dialog found them, since it was cancelled.
    CloseAndExpectCleanExit(app_);
    const Profile stored = ReadBack().Profiles[0];
    EXPECT_EQ(stored.PreviewCropping, (CropRect{0, 20, 0, 0}));
    const VideoProcAmpSetting card[kVideoProcAmpCount] = {
        {0, 2}, {100, 2}, {0, 2}, {100, 2}, {5, 2}, {100, 2}, {1, 2}, {4600, 1}, {}, {50, 2}};
    for (int i = 0; i < kVideoProcAmpCount; ++i) EXPECT_EQ(stored.VideoProcAmp[i], card[i]) << i;
}

}  // namespace
}  // namespace lumoka::testing
