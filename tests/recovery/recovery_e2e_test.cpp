// Lumoka2.exe under Wine recovering from a lost device by itself: the hot-plug card unplugged
// while it plays (the waiting line, no picture), replugged (the picture back with its counter
// advancing, no user action); its signal-loss switch (rebuild, back off, recover); "停止" ending
// the wait; and five failed tries giving the failure box once.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include <gtest/gtest.h>

#include "e2e/Desktop.h"
#include "e2e/E2eFixture.h"
#include "e2e/ProgramPath.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

constexpr DWORD kPictureWaitMs = 30000;  // Wine's renderers take seconds for a first frame
constexpr RECT kVideo{0, 27, 640, 453};  // 720:480 in the 640 x 480 client
const wchar_t kSwitchKey[] = L"Software\\Lumoka2\\TestDevices\\lumoka-testcard-hotplug";

bool ShowsBars(const CScreenshot& shot) {
    const int y = 27 + 426 * 200 / 480;
    return Near(shot.At(640 / 14, y), Rgb{191, 191, 191}) &&
           Near(shot.At(13 * 640 / 14, y), Rgb{0, 0, 191});
}

// The waiting line: white text across the middle row band, black everywhere else.
bool ShowsWaitingLine(const CScreenshot& shot) {
    int white = 0;
    for (int y = 225; y < 255; ++y) {
        for (int x = 0; x < 640; ++x) white += shot.At(x, y).r > 200 && shot.At(x, y).b > 200;
    }
    return white > 30 && Near(shot.At(320, 100), Rgb{}, 8) && Near(shot.At(320, 400), Rgb{}, 8);
}

bool AllBlack(const CScreenshot& shot) {
    for (int y = 40; y < 480; y += 40) {
        for (int x = 8; x < 640; x += 16) {
            if (!Near(shot.At(x, y), Rgb{}, 8)) return false;
        }
    }
    return true;
}

// The card's plug and signal, as a test switches them (see src/devices/DeviceIds.h).
HRESULT Plug(bool plugged) {
    static HMODULE dll = LoadLibraryW((ProgramFolder() + L"LumokaTestDevices.dll").c_str());
    using Fn = HRESULT(WINAPI*)(BOOL);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dll, "LumokaPlugHotPlugCard")));
    return fn ? fn(plugged ? TRUE : FALSE) : E_NOINTERFACE;
}

void SetSignalLost(bool lost) {
    const DWORD value = lost ? 1 : 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, kSwitchKey, L"SignalLost", REG_DWORD, &value, sizeof(value));
}

double SecondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

class Recovery : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(Plug(true), S_OK);
        SetSignalLost(false);
        Profile p = MakeDefaultProfile(0);
        p.Video = {L"Lumoka Test Card (Hot-Plug)", L"", L"lumoka-testcard-hotplug"};
        p.VideoFormatIndex = 7;  // RGB32 720 x 480, which Wine's VMR-9 draws correctly
        p.VideoFormatWidth = 720;
        p.VideoFormatHeight = 480;
        p.VideoFormatAvgTimePerFrame = 333667;
        p.PreviewVideoRenderer = 2;
        CConfig config;
        config.ResetProfiles();
        config.Profiles[0] = p;
        ASSERT_TRUE(config.SaveProfilesTo(folder_.File(kProfiles)));
        StartAndWait(app_, p.Name, p.PreviewAudioVolume);
        PostMessageW(app_.Window(), WM_COMMAND, ID_PLAY, 0);
        ASSERT_TRUE(Shows(ShowsBars, kPictureWaitMs)) << "no picture at the start";
    }
    void TearDown() override {
        SetSignalLost(false);
        Plug(true);
        CoUninitialize();
    }
    bool Shows(bool (*what)(const CScreenshot&), DWORD ms) {
        return WaitUntil([&] { return what(CScreenshot(app_.Window())); }, ms);
    }
    // The counter read twice, advancing.
    bool CounterAdvances() {
        long first = -1, later = -1;
        auto read = [&] { return CScreenshot(app_.Window()).FrameCounter(kVideo); };
        return WaitUntil([&] { return (first = read()) >= 0; }, 10000) &&
               WaitUntil([&] { return (later = read()) > first; }, 10000);
    }
    std::vector<HWND> Boxes() const {
        return ProcessWindows(GetProcessId(app_.Process()), L"#32770", folder_.InstanceName());
    }

    CAppProcess app_;
};

TEST_F(Recovery, UnplugWaitsAndReplugBringsThePictureBack) {
    ASSERT_EQ(Plug(false), S_OK);
    ASSERT_TRUE(Shows(ShowsWaitingLine, 15000)) << "no waiting line after the unplug";
    // Still waiting a check later: the card is gone, so nothing is built.
    Sleep(2500);
    EXPECT_TRUE(ShowsWaitingLine(CScreenshot(app_.Window())));

    const auto replugged = std::chrono::steady_clock::now();
    ASSERT_EQ(Plug(true), S_OK);
    ASSERT_TRUE(Shows(ShowsBars, 30000)) << "the picture did not come back";
    std::printf("recovery after replug: picture in %.2f s\n", SecondsSince(replugged));
    EXPECT_TRUE(CounterAdvances());
    EXPECT_TRUE(Boxes().empty());
    CloseAndExpectCleanExit(app_);
}

TEST_F(Recovery, SignalLossRebuildsBacksOffAndStopEndsTheWait) {
    SetSignalLost(true);
    // The rebuild at once finds the signal still lost: the window waits for the next try.
    ASSERT_TRUE(Shows(ShowsWaitingLine, 15000)) << "no waiting line after the signal loss";
    const auto waiting = std::chrono::steady_clock::now();
    SetSignalLost(false);
    ASSERT_TRUE(Shows(ShowsBars, 30000)) << "no picture after the signal came back";
    const double back = SecondsSince(waiting);
    std::printf("recovery after signal loss: picture %.2f s after the waiting line\n", back);
    EXPECT_GE(back, 1.0) << "the try came without a back-off";
    EXPECT_TRUE(CounterAdvances());

    SetSignalLost(true);
    ASSERT_TRUE(Shows(ShowsWaitingLine, 15000));
    PostMessageW(app_.Window(), WM_COMMAND, ID_STOP, 0);
    ASSERT_TRUE(Shows(AllBlack, 10000)) << "the waiting line stayed after 停止";
    SetSignalLost(false);
    // The wait has ended: no try follows (the next would have come within 4 s).
    EXPECT_FALSE(Shows(ShowsBars, 10000)) << "a try after 停止";
    CloseAndExpectCleanExit(app_);
}

TEST_F(Recovery, FiveFailedTriesShowTheBoxOnce) {
    SetSignalLost(true);
    // Tries at once and after 2, 4, 8 and 16 s: the box comes after about 30 s.
    const auto lost = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return !Boxes().empty(); }, 120000)) << "no failure box";
    std::printf("failure box %.1f s after the signal loss\n", SecondsSince(lost));
    EXPECT_GE(SecondsSince(lost), 25.0);
    ASSERT_EQ(Boxes().size(), 1u);
    wchar_t text[512] = {};
    GetDlgItemTextW(Boxes()[0], 0xFFFF, text, 512);  // the message box's text control
    EXPECT_NE(std::wstring(text).find(L"キャプチャーデバイスを見失いました\n"
                                      L"フィルタグラフの構築に失敗しました"),
              std::wstring::npos)
        << Narrow(text);
    PostMessageW(Boxes()[0], WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return Boxes().empty(); }, 10000));
    EXPECT_FALSE(WaitUntil([&] { return !Boxes().empty(); }, 5000)) << "a second box";
    EXPECT_TRUE(AllBlack(CScreenshot(app_.Window())));
    CloseAndExpectCleanExit(app_);
}

}  // namespace
}  // namespace lumoka::testing
