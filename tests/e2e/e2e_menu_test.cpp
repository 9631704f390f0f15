// Lumoka2.exe played end to end from its context menu under Wine with the virtual test card:
// a right-click and the keyboard choose "再生" and "停止", the picture and its frame counter are
// read back from the screen, the deinterlace mode changes live or with a rebuild, a missing
// device gives one message box with the build log, the filter-graph submenu opens a filter's
// property page, and "終了" writes both files.
#include <windows.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "CardStamps.h"
#include "Desktop.h"
#include "E2eFixture.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

const wchar_t kCard[] = L"Lumoka Test Card";
const wchar_t kPass[] = L"Lumoka Test Pass-Through";
constexpr DWORD kPictureWaitMs = 30000;  // Wine's renderers take seconds for a first frame

// The card's picture in a 640 x 480 client at its own ratio 720:480: 640 x 426 at y 27 to 453.
constexpr RECT kVideo{0, 27, 640, 453};
const Rgb kBlack{0, 0, 0};
const Rgb kBars[] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                     {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};

// The seven bars across the picture's middle, whatever the borders show.
bool ShowsBarsOnly(const CScreenshot& shot) {
    const int y = 27 + 426 * 200 / 480;
    bool all = true;
    for (int i = 0; i < 7; ++i) all = all && Near(shot.At((2 * i + 1) * 640 / 14, y), kBars[i]);
    return all;
}

// The bars between the black borders above and below the picture.
bool ShowsBars(const CScreenshot& shot) {
    return ShowsBarsOnly(shot) && Near(shot.At(320, 10), kBlack) &&
           Near(shot.At(320, 470), kBlack);
}

// What ShowsBars looked at, for a failure's message.
std::string BarsSeen(const CScreenshot& shot) {
    const int y = 27 + 426 * 200 / 480;
    std::string seen = "client " + std::to_string(shot.Width()) + "x" +
                       std::to_string(shot.Height()) + ", above " + Text(shot.At(320, 10)) +
                       ", bars";
    for (int i = 0; i < 7; ++i) seen += " " + Text(shot.At((2 * i + 1) * 640 / 14, y));
    return seen + ", below " + Text(shot.At(320, 470));
}

bool AllBlack(const CScreenshot& shot) {
    for (int i = 0; i < 7; ++i) {
        if (!Near(shot.At((2 * i + 1) * 640 / 14, 240), kBlack, 8)) return false;
    }
    return true;
}

// Pixels between black and white along a line of the motion strip: the blended edges of a bar
// that stands in two places in the two fields.
int GreyInMotionStrip(const CScreenshot& shot) {
    int grey = 0;
    for (int x = 0; x < 640; ++x) grey += shot.At(x, 27 + 426 * 7 / 8).g / 50 == 2;
    return grey;
}

Profile CardProfile(int32_t renderer) {
    Profile p = MakeDefaultProfile(0);
    p.Video.FriendlyName = kCard;
    p.Video.DevicePath = L"lumoka-testcard-0";
    p.VideoFormatIndex = 7;  // RGB32 720 x 480, which Wine's VMR-7 and VMR-9 draw correctly
    p.VideoFormatWidth = 720;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 333667;
    p.PreviewVideoRenderer = renderer;
    return p;
}

class E2eMenu : public E2eTest {
protected:
    void Start(const Profile& profile) {
        CConfig config;
        config.ResetProfiles();
        config.Profiles[0] = profile;
        ASSERT_TRUE(config.SaveProfilesTo(folder_.File(kProfiles)));
        StartAndWait(app_, profile.Name, profile.PreviewAudioVolume);
    }
    DWORD Pid() const { return GetProcessId(app_.Process()); }
    // Opens the context menu with a right-click and presses keys in it.
    void Choose(const std::string& keys) {
        ASSERT_TRUE(RightClickClient(app_.Window()));
        ASSERT_TRUE(WaitUntil([&] { return !ProcessWindows(Pid(), L"#32768").empty(); }, 10000))
            << "no menu";
        ASSERT_TRUE(Xdotool("key " + keys));
    }
    void Command(UINT id) { PostMessageW(app_.Window(), WM_COMMAND, id, 0); }
    bool WaitForPicture(bool (*shows)(const CScreenshot&), DWORD ms = kPictureWaitMs) {
        return WaitUntil([&] { return shows(CScreenshot(app_.Window())); }, ms);
    }
    // Waits for the card's bars between black borders. Wine's VMR-9 draws the frames that
    // come before the window has placed the video at the video's own size from the client's
    // top left, over the borders (Windows' renderer draws nothing until then: its destination
    // starts empty). Its first frame takes seconds to reach the screen, so on a busy machine
    // it can land after the window painted its borders black, and nothing paints them again.
    // While the bars show and the borders do not, the window is asked to paint again; the
    // borders are then the program's own painting.
    bool WaitForBars() {
        return WaitUntil(
            [&] {
                const CScreenshot shot(app_.Window());
                if (ShowsBars(shot)) return true;
                if (ShowsBarsOnly(shot)) {
                    RedrawWindow(app_.Window(), nullptr, nullptr, RDW_INVALIDATE);
                }
                return false;
            },
            kPictureWaitMs);
    }
    long Counter() const { return CScreenshot(app_.Window()).FrameCounter(kVideo); }
    // The build failure boxes, captioned with the copy's name without its extension.
    std::vector<HWND> Boxes() const {
        const std::wstring caption = folder_.InstanceName();
        std::vector<HWND> boxes;
        for (HWND box : ProcessWindows(Pid(), L"#32770", caption)) {
            wchar_t title[256] = {};
            GetWindowTextW(box, title, 256);
            if (caption == title) boxes.push_back(box);
        }
        return boxes;
    }

    CCardStamps stamps_;
    CAppProcess app_;
};

class E2eMenuRenderer : public E2eMenu, public ::testing::WithParamInterface<int32_t> {};

TEST_P(E2eMenuRenderer, PlayFromTheMenuShowsTheCardAndStopTurnsBlack) {
    Start(CardProfile(GetParam()));
    Choose("Down Down Down Return");  // プロファイル, フィルタグラフ, 再生
    ASSERT_TRUE(WaitForBars()) << BarsSeen(CScreenshot(app_.Window()));
    long first = -1, later = -1;
    EXPECT_TRUE(WaitUntil([&] { return (first = Counter()) >= 0; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return (later = Counter()) > first; }, 10000))
        << first << " then " << later;

    Choose("Down Down Down Down Return");  // ... 停止
    EXPECT_TRUE(WaitForPicture(AllBlack, 10000));
    CloseAndExpectCleanExit(app_);
}

INSTANTIATE_TEST_SUITE_P(MixingRenderers, E2eMenuRenderer, ::testing::Values(0, 2));

TEST_F(E2eMenu, DeinterlaceChangesLiveAndHardwareRebuilds) {
    Profile p = CardProfile(2);
    p.PreviewTransformCopy = 4;  // ブレンド
    Start(p);
    Command(ID_PLAY);
    ASSERT_TRUE(WaitForBars()) << BarsSeen(CScreenshot(app_.Window()));
    ASSERT_TRUE(
        WaitUntil([&] { return GreyInMotionStrip(CScreenshot(app_.Window())) >= 20; }, 10000))
        << "blended fields: " << GreyInMotionStrip(CScreenshot(app_.Window()));
    long before = -1;
    ASSERT_TRUE(WaitUntil([&] { return (before = Counter()) >= 0; }, 10000));

    // シンプル: the same graph doubles one field's lines, so the bar's edges turn sharp while the
    // counter goes on from where it was.
    Command(ID_DEINTERLACE_SIMPLE);
    long after = -1;
    bool restarted = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const CScreenshot shot(app_.Window());
            after = shot.FrameCounter(kVideo);
            restarted = restarted || (after >= 0 && after < before);
            return after > before && GreyInMotionStrip(shot) <= 8;
        },
        10000))
        << before << " then " << after;
    EXPECT_FALSE(restarted);

    // ハードウェア rebuilds: a new capture filter counts from 0 again, and the screen shows the
    // new graph's pictures. Until then it shows the old graph's, which count on from the
    // counter seen before the command up to the last the old graph drew (the card's own
    // record); a counter below the first or above the last is the new graph's, however long
    // its first picture takes.
    ASSERT_TRUE(WaitUntil([&] { return (before = Counter()) >= 0; }, 10000));
    const int64_t command = CCardStamps::Now();
    Command(ID_DEINTERLACE_HARDWARE);
    long lastOld = -1;
    EXPECT_TRUE(WaitUntil(
        [&] {
            after = Counter();
            return after >= 0 && stamps_.FindRestart(command, &lastOld) &&
                   (after < before || after > lastOld);
        },
        kPictureWaitMs))
        << before << " then " << after << "; the old graph's last " << lastOld;
    CloseAndExpectCleanExit(app_);
    EXPECT_EQ(ReadBack().Profiles[0].PreviewTransformCopy, 6);
}

TEST_F(E2eMenu, MissingDeviceShowsOneBoxWithTheLog) {
    Profile p = CardProfile(2);
    p.Video.FriendlyName = L"Lumoka Missing Device";
    Start(p);
    Command(ID_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return !Boxes().empty(); }, 15000)) << "no message box";
    const std::vector<HWND> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    wchar_t text[512] = {};
    GetDlgItemTextW(boxes[0], 0xFFFF, text, 512);  // the message box's text control
    EXPECT_EQ(std::wstring(text),
              L"ビデオキャプチャーフィルタ取得失敗\nフィルタグラフの構築に失敗しました\n")
        << Narrow(text);
    PostMessageW(boxes[0], WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return Boxes().empty(); }, 10000));
    // The failure is reported once: no second box follows, and the window stays black.
    EXPECT_FALSE(WaitUntil([&] { return !Boxes().empty(); }, 2000));
    EXPECT_TRUE(AllBlack(CScreenshot(app_.Window())));
    CloseAndExpectCleanExit(app_);
}

TEST_F(E2eMenu, FilterGraphSubmenuOpensThePassThroughsPage) {
    Profile p = CardProfile(2);
    p.FilterVideo = {FilterEntry{}};
    p.FilterVideo[0].Device.FriendlyName = kPass;
    Start(p);
    Command(ID_PLAY);
    ASSERT_TRUE(WaitForBars()) << BarsSeen(CScreenshot(app_.Window()));
    // The graph's filters in the order they were added: the tee, the renderer, the card's
    // crossbar, the card and the pass-through. Wine's menus move over greyed entries too.
    Choose("Down Down Right");  // フィルタグラフ, its first entry
    ASSERT_TRUE(WaitUntil([&] { return ProcessWindows(Pid(), L"#32768").size() >= 2; }, 10000))
        << "no submenu";
    ASSERT_TRUE(Xdotool("key Down Down Down Down Return"));
    std::vector<HWND> frames;
    ASSERT_TRUE(WaitUntil(
        [&] { return !(frames = ProcessWindows(Pid(), L"#32770", kPass)).empty(); }, 15000))
        << "no property frame";
    PostMessageW(frames[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessWindows(Pid(), L"#32770", kPass).empty(); }, 10000));
    CloseAndExpectCleanExit(app_);
}

// Wine 8's EVR takes no YUY2, so the rebuild for it fails and says so; the choice is stored.
TEST_F(E2eMenu, EnhancedRendererIsStoredAndRebuildsAndExitWritesBothFiles) {
    Profile p = CardProfile(2);
    p.VideoFormatIndex = 0;  // YUY2 720 x 480
    Start(p);
    Command(ID_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return Counter() >= 0 || !Boxes().empty(); }, kPictureWaitMs));
    ASSERT_TRUE(Boxes().empty());
    Command(ID_RENDERER_EVR);
    ASSERT_TRUE(WaitUntil([&] { return !Boxes().empty(); }, 15000)) << "no rebuild failure";
    wchar_t text[512] = {};
    GetDlgItemTextW(Boxes()[0], 0xFFFF, text, 512);
    EXPECT_NE(std::wstring(text).find(L"ビデオキャプチャーフィルタ接続失敗\n"), std::wstring::npos)
        << Narrow(text);
    PostMessageW(Boxes()[0], WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return Boxes().empty(); }, 10000));

    Command(ID_FLIP_VERTICAL);
    ASSERT_TRUE(SetWindowPos(app_.Window(), nullptr, 40, 30, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    app_.WaitUntilIdle();
    const RECT moved = app_.WindowRect();
    Choose("Up Return");  // 終了, the last item
    ASSERT_TRUE(WaitUntil([&] { return !app_.IsRunning(); }, 15000)) << "still running";
    EXPECT_EQ(app_.ExitCode(), 0u);
    const CConfig config = ReadBack();
    EXPECT_TRUE(SameRect(NormalRect(config.Placement), moved)) << Describe(moved);
    EXPECT_EQ(config.Profiles[0].PreviewVideoRenderer, 3);
    EXPECT_EQ(config.Profiles[0].PreviewTransformFlipVertical, 1);
}

}  // namespace
}  // namespace lumoka::testing
