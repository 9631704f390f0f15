// The profile editor driven as a person would, in Lumoka2.exe under Wine with the virtual test
// card: opened from the context menu, a format, size and rate chosen with the mouse and the
// keyboard and confirmed with OK (then in "Profile.ini" and in the picture the rebuilt graph
// plays), the tab it opens on, profile switching that keeps each profile's edits, Cancel that
// drops them, and Enter in the name edit that leaves the editor open.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/CardStamps.h"
#include "e2e/Desktop.h"
#include "e2e/E2eFixture.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

const wchar_t kCaption[] = L"プロファイル設定";
constexpr DWORD kWaitMs = 15000;

// The text a control holds; WM_GETTEXT, since GetWindowText of another process's control
// gives only its creation text.
std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ComboEntry(HWND combo, int index) {
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// Moves the mouse to the middle of a control, or to a point that far from its top left
// corner, and clicks.
bool Click(HWND control, int fromLeft = -1, int fromTop = -1) {
    RECT r{};
    GetWindowRect(control, &r);
    const int x = fromLeft >= 0 ? r.left + fromLeft : (r.left + r.right) / 2;
    const int y = fromTop >= 0 ? r.top + fromTop : (r.top + r.bottom) / 2;
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

// Replaces the text of an edit field (or an editable combo box) by typing.
bool TypeInto(HWND control, const std::string& text) {
    return Click(control) && Xdotool("key End shift+Home BackSpace") &&
           Xdotool("type --delay 30 '" + text + "'");
}

class E2eEditor : public E2eTest {
protected:
    void Start(const CConfig& config) {
        ASSERT_TRUE(config.SaveProfilesTo(folder_.File(kProfiles)));
        StartAndWait(app_, config.Profiles[0].Name);
    }
    HWND WaitForEditor() {
        HWND editor = nullptr;
        WaitUntil(
            [&] {
                const auto found =
                    ProcessWindows(GetProcessId(app_.Process()), L"#32770", kCaption);
                editor = found.empty() ? nullptr : found[0];
                return editor != nullptr;
            },
            kWaitMs);
        return editor;
    }
    bool EditorOpen() {
        return !ProcessWindows(GetProcessId(app_.Process()), L"#32770", kCaption).empty();
    }
    // The page of the tab control holding the control id (one no other page has).
    static HWND Page(HWND editor, int id) {
        for (HWND p = FindWindowExW(GetDlgItem(editor, IDC_MAIN_TAB), nullptr, L"#32770", nullptr);
             p; p = FindWindowExW(GetDlgItem(editor, IDC_MAIN_TAB), p, L"#32770", nullptr)) {
            if (GetDlgItem(p, id)) return p;
        }
        return nullptr;
    }
    static Profile CardProfile(const std::wstring& name) {
        Profile p = MakeDefaultProfile(0);
        p.Name = name;
        p.Video = {L"Lumoka Test Card", L"", L"lumoka-testcard-0"};
        p.PreviewVideoRenderer = 2;  // VMR-9, which draws RGB32 correctly under Wine
        return p;
    }

    CCardStamps stamps_;
    CAppProcess app_;
};

TEST_F(E2eEditor, ChosenFormatSizeAndRateAreStoredAndPlayed) {
    CConfig config;
    config.ResetProfiles();
    config.Profiles[0] = CardProfile(L"カード");  // format 0: YUY2 720 x 480 at 29.97
    Start(config);

    // "プロファイル" > "プロファイル設定...", the submenu's last item, after the ten profiles.
    ASSERT_TRUE(RightClickClient(app_.Window()));
    ASSERT_TRUE(WaitUntil(
        [&] { return !ProcessWindows(GetProcessId(app_.Process()), L"#32768").empty(); }, kWaitMs));
    ASSERT_TRUE(Xdotool("key Down Right Up Return"));
    HWND editor = WaitForEditor();
    ASSERT_NE(editor, nullptr) << "no editor";
    HWND video = Page(editor, IDC_VIDEO_WIDTH_BAR);
    ASSERT_TRUE(video && IsWindowVisible(video));

    // RGB32 720 x 480 (the eighth format), then 640 x 360 at 15 frames per second.
    HWND format = GetDlgItem(video, IDC_VIDEO_FORMAT);
    ASSERT_TRUE(Click(format));
    ASSERT_TRUE(Xdotool("key Down Down Down Down Down Down Down Return"));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(format, CB_GETCURSEL, 0, 0) == 7; }, kWaitMs));
    ASSERT_TRUE(TypeInto(GetDlgItem(video, IDC_VIDEO_WIDTH), "640"));
    ASSERT_TRUE(TypeInto(GetDlgItem(video, IDC_VIDEO_HEIGHT), "360"));
    ASSERT_TRUE(TypeInto(GetDlgItem(video, IDC_VIDEO_RATE), "15"));
    ASSERT_TRUE(
        WaitUntil([&] { return TextOf(GetDlgItem(video, IDC_VIDEO_RATE)) == L"15"; }, kWaitMs));
    ASSERT_TRUE(Click(GetDlgItem(editor, IDOK)));
    ASSERT_TRUE(WaitUntil([&] { return !EditorOpen(); }, kWaitMs));

    // The rebuilt graph plays 640 x 360: at the input's ratio it fills the 640 x 480 client
    // between black bands of 60 rows, where the card's frame counter reads.
    const RECT picture{0, 60, 640, 420};
    long first = -1, later = -1;
    int64_t from = 0, to = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            first = CScreenshot(app_.Window()).FrameCounter(picture);
            from = CCardStamps::Now();
            return first >= 0;
        },
        30000))
        << "no 640 x 360 picture";

    // OK wrote the file at once, before the program closes. The program writes it before it
    // builds the graph again, so with the new picture shown the file is read once: a test
    // polling the file would hold it open, and a save's replacing of the file then fails.
    CConfig read;
    ASSERT_TRUE(read.LoadProfilesFrom(folder_.File(kProfiles)));
    const Profile& stored = read.Profiles[0];
    EXPECT_EQ(stored.VideoFormatIndex, 7);
    EXPECT_EQ(stored.VideoFormatWidth, 640);
    EXPECT_EQ(stored.VideoFormatHeight, 360);
    EXPECT_EQ(stored.VideoFormatAvgTimePerFrame, 666666);
    EXPECT_EQ(stored.VideoProcAmp[0].Value, kNotSet);

    ASSERT_TRUE(WaitUntil(
        [&] {
            later = CScreenshot(app_.Window()).FrameCounter(picture);
            to = CCardStamps::Now();
            return CCardStamps::Seconds(from, to) >= 3.0 && later > first;
        },
        kWaitMs));
    // The card was asked for 15 frames a second. It never starts a picture sooner than a
    // whole interval (66.7 ms) after the one before, so over 3 s it draws at most 15 a second
    // and a little (a picture is stamped a little after its start); a busy machine only
    // delays pictures, and a tenth of them still come within one and a half intervals
    // (100 ms) of the one before. At 29.97 the card would draw more than 16.5 a second; at
    // 7.5 no picture would come within 133 ms of another. The picture on screen counts on as
    // the card drew: its counter advances by the pictures the card drew over the same
    // seconds, give or take what the renderer held back at either end.
    const std::vector<FrameStamp> drawn = stamps_.DrawnBetween(from, to);
    const double rate = stamps_.RateBetween(from, to);
    const double shortGap = CCardStamps::GapQuantile(drawn, 0.1);
    EXPECT_LE(rate, 16.5) << drawn.size() << " pictures drawn";
    EXPECT_LE(shortGap, 1.5 / 15) << "the card's pictures came no sooner than this";
    EXPECT_GT(shortGap, 0.0);
    const double card = static_cast<double>(drawn.size());
    EXPECT_NEAR(static_cast<double>(later - first), card, 0.25 * card + 3.0)
        << "the screen showed " << first << " then " << later << "; the card drew " << card
        << " at " << rate << " a second, a tenth of them within " << shortGap * 1000 << " ms";
    CloseAndExpectCleanExit(app_);
}

TEST_F(E2eEditor, OpensOnLastTabKeepsEditsWhenSwitchingAndCancelDropsThem) {
    CConfig config;
    config.ResetProfiles();
    config.Profiles[0] = CardProfile(L"一番");
    config.Profiles[1].Name = L"二番";
    config.LastTab = 2;
    Start(config);
    PostMessageW(app_.Window(), WM_COMMAND, ID_PROFILE_SETTINGS, 0);
    HWND editor = WaitForEditor();
    ASSERT_NE(editor, nullptr) << "no editor";
    HWND tab = GetDlgItem(editor, IDC_MAIN_TAB);
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 2);
    HWND filters = Page(editor, IDC_FILTER_VIDEO_LIST);
    EXPECT_TRUE(filters && IsWindowVisible(filters));
    EXPECT_FALSE(IsWindowVisible(Page(editor, IDC_VIDEO_WIDTH_BAR)));

    // Enter in the name edit goes to the edit: the editor stays open and the next key still
    // lands in the name, which renames the combo entry as it is typed.
    HWND name = GetDlgItem(editor, IDC_MAIN_NAME);
    HWND profiles = GetDlgItem(editor, IDC_MAIN_PROFILE);
    ASSERT_TRUE(Click(name) && Xdotool("key End") && Xdotool("type A"));
    ASSERT_TRUE(Xdotool("key Return") && Xdotool("type B"));
    EXPECT_TRUE(WaitUntil([&] { return ComboEntry(profiles, 0) == L"00: 一番AB"; }, kWaitMs))
        << Narrow(ComboEntry(profiles, 0));
    EXPECT_TRUE(EditorOpen());

    // Profile 1 gets a name of its own; back on profile 0 its edit is still there.
    ASSERT_TRUE(Click(profiles) && Xdotool("key Down Return"));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == L"二番"; }, kWaitMs))
        << Narrow(TextOf(name));
    ASSERT_TRUE(Click(name) && Xdotool("key End") && Xdotool("type C"));
    ASSERT_TRUE(WaitUntil([&] { return ComboEntry(profiles, 1) == L"01: 二番C"; }, kWaitMs));
    ASSERT_TRUE(Click(profiles) && Xdotool("key Up Return"));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(name) == L"一番AB"; }, kWaitMs))
        << Narrow(TextOf(name));
    EXPECT_EQ(ComboEntry(profiles, 1), L"01: 二番C");

    // The first tab, then three to the right: "プレビュー設定"; Cancel keeps only that.
    ASSERT_TRUE(Click(tab, 20, 8));
    ASSERT_TRUE(Xdotool("key Right Right Right"));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == 3; }, kWaitMs));
    EXPECT_TRUE(IsWindowVisible(Page(editor, IDC_PREVIEW_VIDEO_SYNC)));
    ASSERT_TRUE(Click(GetDlgItem(editor, IDCANCEL)));
    ASSERT_TRUE(WaitUntil([&] { return !EditorOpen(); }, kWaitMs));
    CloseAndExpectCleanExit(app_);
    const CConfig after = ReadBack();
    EXPECT_EQ(after.LastTab, 3);
    EXPECT_EQ(after.Profiles[0].Name, L"一番");
    EXPECT_EQ(after.Profiles[1].Name, L"二番");
}

}  // namespace
}  // namespace lumoka::testing
