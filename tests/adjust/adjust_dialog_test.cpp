// The adjustment dialogs under Wine over the virtual test card playing into VMR-9 in a window
// of its own: what the rows show, what reaches the device, and the picture on the screen.
#include <functional>

#include "graph/win/TestSupport.h"
#include "ui/adjust/CroppingDlg.h"
#include "ui/adjust/VideoProcAmpDlg.h"
#include "ui/adjust/res/AdjustmentIds.h"
#include "winfx/DataExchange.h"

namespace {

// The steps run inside the modal loop of the dialog the test opens, which is then closed with
// the button g_close, also when a check failed.
std::function<void(HWND)> g_steps;
int g_close = IDCANCEL;

void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (wcscmp(cls, L"#32770") || !IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(out) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    KillTimer(nullptr, timer);
    SetWindowPos(dialog, nullptr, 720, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // off the picture
    g_steps(dialog);
    SendMessageW(GetDlgItem(dialog, g_close), BM_CLICK, 0, 0);
}

bool WithDialog(int close, std::function<void(HWND)> steps, const std::function<bool()>& open) {
    g_steps = std::move(steps);
    g_close = close;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTick);
    const bool result = open();
    KillTimer(nullptr, timer);
    return result;
}

void Scroll(HWND d, int bar, int code, int thumb = 0) {
    SendMessageW(d, WM_HSCROLL, MAKEWPARAM(code, thumb),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, bar)));
}
bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != FALSE; }
std::wstring Text(HWND d, int id) { return lumoka::GetItemText(d, id); }

bool WaitFor(const std::function<bool()>& condition) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 15000;) {
        if (condition()) return true;
        CTestWindow::Pump(100);
    }
    return condition();
}

int Red(uint32_t pixel) { return (pixel >> 16) & 0xff; }
int Blue(uint32_t pixel) { return pixel & 0xff; }

CGraphController* g_painting = nullptr;
LRESULT CALLBACK PaintingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && g_painting && g_painting->PaintVideo()) return 0;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The card's RGB32 720 x 480 picture in a 640 x 480 window: 640 x 426 at y 27 (input ratio).
constexpr int kTop = 27, kHeight = 426;

class AdjustDialogs : public ComApartment {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registered = SUCCEEDED(RegisterDllBesideProgram(L"LumokaTestDevices.dll"));
        CoUninitialize();
    }
    void SetUp() override {
        ComApartment::SetUp();
        ASSERT_TRUE(registered);
        window = std::make_unique<CTestWindow>(640, 480, PaintingProc);
        profile = VideoProfile(L"Lumoka Test Card", L"lumoka-testcard-0");
        profile.VideoFormatIndex = 7;
        profile.VideoFormatWidth = 720;
        profile.VideoFormatHeight = 480;
        profile.VideoFormatAvgTimePerFrame = 333667;
        profile.PreviewVideoRenderer = 2;
        profile.PreviewTransform = 0;
        ASSERT_TRUE(controller.Build(window->Get(), profile));
        g_painting = &controller;
        ASSERT_TRUE(controller.UpdateVideoPosition());
        ASSERT_TRUE(WaitFor([&] { return WhiteBar() > 100; })) << "no picture";
    }
    void TearDown() override {
        controller.TearDown();
        g_painting = nullptr;
        ComApartment::TearDown();
    }
    // One column of the client area as the screen shows it, top row first (0x00RRGGBB).
    std::vector<uint32_t> Column(int x) {
        POINT p{x, 0};
        ClientToScreen(window->Get(), &p);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, -480, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, 1, 480, screen, p.x, p.y, SRCCOPY);
        std::vector<uint32_t> column(static_cast<uint32_t*>(bits),
                                     static_cast<uint32_t*>(bits) + 480);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return column;
    }
    int WhiteBar() { return Red(Column(45)[204]); }
    VideoProcAmpSetting OnDevice(long property) {
        ComPtr<IAMVideoProcAmp> amp;
        long value = kNotSet, flags = kNotSet;
        if (SUCCEEDED(controller.VideoCaptureFilter()->QueryInterface(IID_PPV_ARGS(&amp))))
            amp->Get(property, &value, &flags);
        return {static_cast<int32_t>(value), static_cast<int32_t>(flags)};
    }
    // Where, on the screen, the counter band ends (its white first cell meets the white bar)
    // and the blue bar ends (the motion strip starts): source rows 40 and 360 below the crop.
    bool EdgesNear(int sourceTop) {
        const std::vector<uint32_t> white = Column(16), blue = Column(594);
        int band = kTop, bars = kTop + kHeight / 2;
        while (band < bars && Red(white[band]) > 225) ++band;
        while (bars < kTop + kHeight && Blue(blue[bars]) > 150 && Red(blue[bars]) < 60) ++bars;
        const double scale = static_cast<double>(kHeight) / (480 - sourceTop);
        edges = std::to_string(band) + ", " + std::to_string(bars);
        return std::abs(band - (kTop + (40 - sourceTop) * scale)) <= 2 &&
               std::abs(bars - (kTop + (360 - sourceTop) * scale)) <= 2;
    }

    static bool registered;
    std::unique_ptr<CTestWindow> window;
    CGraphController controller{std::make_unique<CTestFactory>()};
    Profile profile;
    std::string edges;
};
bool AdjustDialogs::registered = false;

TEST_F(AdjustDialogs, RowsFollowTheDeviceAndCancelPutsItBack) {
    const bool ok = WithDialog(
        IDCANCEL,
        [&](HWND d) {
            // Brightness, manual over -100..100 in steps of 10: value 0 at position 10.
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_BRIGHTNESS), L"0");
            EXPECT_EQ(GetScrollPos(GetDlgItem(d, IDC_PROCAMP_SCROLL_BRIGHTNESS), SB_CTL), 10);
            EXPECT_TRUE(Enabled(d, IDC_PROCAMP_SCROLL_BRIGHTNESS));
            EXPECT_FALSE(Enabled(d, IDC_PROCAMP_AUTO_BRIGHTNESS));
            // Backlight compensation is not supported: an empty row, nothing to press.
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_BACKLIGHT), L"");
            EXPECT_FALSE(Enabled(d, IDC_PROCAMP_SCROLL_BACKLIGHT));
            EXPECT_FALSE(Enabled(d, IDC_PROCAMP_DEFAULT_BACKLIGHT));
            EXPECT_FALSE(Enabled(d, IDC_PROCAMP_AUTO_BACKLIGHT));
            // White balance starts automatic: checked, usable box, no value, bar disabled.
            EXPECT_TRUE(lumoka::IsItemChecked(d, IDC_PROCAMP_AUTO_WHITE_BALANCE));
            EXPECT_TRUE(Enabled(d, IDC_PROCAMP_AUTO_WHITE_BALANCE));
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_WHITE_BALANCE), L"");
            EXPECT_FALSE(Enabled(d, IDC_PROCAMP_SCROLL_WHITE_BALANCE));
            // Arrow, trough and thumb reach the device at once; "すべて既定値" resets them.
            Scroll(d, IDC_PROCAMP_SCROLL_CONTRAST, SB_LINERIGHT);
            Scroll(d, IDC_PROCAMP_SCROLL_CONTRAST, SB_PAGERIGHT);
            Scroll(d, IDC_PROCAMP_SCROLL_HUE, SB_THUMBTRACK, 200);
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_CONTRAST), L"102");
            EXPECT_EQ(OnDevice(VideoProcAmp_Contrast).Value, 102);
            EXPECT_EQ(OnDevice(VideoProcAmp_Hue).Value, 20);
            SendMessageW(GetDlgItem(d, IDC_PROCAMP_ALL_DEFAULTS), BM_CLICK, 0, 0);
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_HUE), L"0");
            EXPECT_EQ(OnDevice(VideoProcAmp_Contrast).Value, 100);
            EXPECT_EQ(OnDevice(VideoProcAmp_Hue).Value, 0);
            // White balance to manual: the device's value shown and adjustable.
            SendMessageW(GetDlgItem(d, IDC_PROCAMP_AUTO_WHITE_BALANCE), BM_CLICK, 0, 0);
            EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_WHITE_BALANCE), L"4600");
            EXPECT_TRUE(Enabled(d, IDC_PROCAMP_SCROLL_WHITE_BALANCE));
            Scroll(d, IDC_PROCAMP_SCROLL_WHITE_BALANCE, SB_LINERIGHT);
            EXPECT_EQ(OnDevice(VideoProcAmp_WhiteBalance), (VideoProcAmpSetting{4700, 2}));
        },
        [&] { return EditVideoProcAmp(window->Get(), controller, profile); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(OnDevice(VideoProcAmp_WhiteBalance), (VideoProcAmpSetting{4600, 1}));
    EXPECT_EQ(profile.VideoProcAmp[VideoProcAmp_WhiteBalance], (VideoProcAmpSetting{4600, 1}));
    EXPECT_EQ(profile.VideoProcAmp[VideoProcAmp_BacklightCompensation], VideoProcAmpSetting{});
}

TEST_F(AdjustDialogs, BrightnessFollowsTheThumbLiveAndOkKeepsIt) {
    const int before = WhiteBar();
    const auto drag = [&](int close) {
        return WithDialog(
            close,
            [&](HWND d) {
                // Thumb tracking is what the bar sends while it is dragged: +50 at position 15.
                Scroll(d, IDC_PROCAMP_SCROLL_BRIGHTNESS, SB_THUMBTRACK, 15);
                EXPECT_EQ(Text(d, IDC_PROCAMP_VALUE_BRIGHTNESS), L"50");
                EXPECT_TRUE(WaitFor([&] { return WhiteBar() > before + 30; }));
            },
            [&] { return EditVideoProcAmp(window->Get(), controller, profile); });
    };
    EXPECT_FALSE(drag(IDCANCEL));
    EXPECT_TRUE(WaitFor([&] { return std::abs(WhiteBar() - before) <= 8; }));
    EXPECT_EQ(profile.VideoProcAmp[VideoProcAmp_Brightness], (VideoProcAmpSetting{0, 2}));
    EXPECT_TRUE(drag(IDOK));
    EXPECT_EQ(profile.VideoProcAmp[VideoProcAmp_Brightness], (VideoProcAmpSetting{50, 2}));
    EXPECT_EQ(OnDevice(VideoProcAmp_Brightness), (VideoProcAmpSetting{50, 2}));
}

TEST_F(AdjustDialogs, TopMarginHidesSourceRowsLiveAndCancelShowsThemAgain) {
    ASSERT_TRUE(WaitFor([&] { return EdgesNear(0); })) << edges;
    CropRect margins;
    const auto open = [&] { return EditCropping(window->Get(), margins, &controller); };
    EXPECT_FALSE(WithDialog(
        IDCANCEL,
        [&](HWND d) {
            Scroll(d, IDC_CROP_SCROLL_TOP, SB_THUMBPOSITION, 20);
            EXPECT_EQ(Text(d, IDC_CROP_VALUE_TOP), L"20");
            EXPECT_TRUE(WaitFor([&] { return EdgesNear(20); })) << edges;
        },
        open));
    EXPECT_EQ(margins, CropRect{});
    EXPECT_EQ(controller.Crop(), CropRect{});
    EXPECT_TRUE(WaitFor([&] { return EdgesNear(0); })) << edges;

    // A stored margin above the range is shown as stored; without a preview OK still keeps
    // what the bars show, a click in the trough moving by one pixel.
    margins = CropRect{0, 700, 0, 0};
    EXPECT_TRUE(WithDialog(
        IDOK,
        [&](HWND d) {
            EXPECT_EQ(Text(d, IDC_CROP_VALUE_TOP), L"700");
            EXPECT_EQ(GetScrollPos(GetDlgItem(d, IDC_CROP_SCROLL_TOP), SB_CTL), 500);
            Scroll(d, IDC_CROP_SCROLL_TOP, SB_LINELEFT);
            Scroll(d, IDC_CROP_SCROLL_LEFT, SB_PAGERIGHT);
        },
        [&] { return EditCropping(window->Get(), margins, nullptr); }));
    EXPECT_EQ(margins, (CropRect{1, 499, 0, 0}));
    EXPECT_EQ(controller.Crop(), CropRect{});
}

}  // namespace
