// The editor's frame and pages in process, over the catalogue and the virtual devices: what
// the video and audio pages show of the test card and the test tone (cells read in process,
// pin row colours as pixels), storing a chosen format, size and rate, a profile whose device
// is absent, out-of-range opening values, the filter page's list operations, and hostile
// typing into every value and the profile name.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../graph/win/TestSupport.h"
#include "PageReading.h"
#include "PumpMessages.h"
#include "ui/editor/ProfileMainDlg.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

namespace {

const wchar_t kCard[] = L"Lumoka Test Card";
const wchar_t kCardPath[] = L"lumoka-testcard-0";
const wchar_t kPass[] = L"Lumoka Test Pass-Through";

COLORREF RowPixel(HWND list, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return ScreenPixel(list, r.left + 150, (r.top + r.bottom) / 2);
}

class EditorPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registered = SUCCEEDED(RegisterDllBesideProgram(L"LumokaTestDevices.dll"));
        CoUninitialize();
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void SetUp() override {
        ASSERT_TRUE(registered) << "LumokaTestDevices.dll could not be registered";
        for (int i = 0; i < kProfileCount; ++i) model.Profiles.push_back(MakeDefaultProfile(i));
    }
    // Opens the editor modelessly and shows it.
    void Open() {
        ASSERT_TRUE(frame.Create(nullptr));
        SetWindowPos(frame.GetHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        PumpUntil([] { return false; }, 100);
    }
    void PressOk() { SendMessageW(frame.GetHwnd(), WM_COMMAND, IDOK, 0); }

    static bool registered;
    ProfileEditorModel model;
    CProfileMainDlg frame{model};
};
bool EditorPages::registered = false;

TEST_F(EditorPages, VideoPageShowsTheCardAndStoresTheChosenFormat) {
    Profile& p = model.Profiles[3];
    p.Video = {kCard, L"", kCardPath};
    p.VideoCrossbar = {{0, 2}};
    p.VideoFormatIndex = 0;
    p.VideoFormatWidth = 640;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 400000;
    p.VideoFormatStandard = 0x2;
    model.Selected = 3;
    Open();
    CProfileVideoDlg& page = frame.VideoPage();

    const std::vector<std::wstring> devices = ComboTexts(page, IDC_VIDEO_DEVICE);
    ASSERT_GE(devices.size(), 5u);
    EXPECT_EQ(devices[0], L"ビデオを出力しない");
    EXPECT_NE(std::find(devices.begin(), devices.end(), L"Lumoka Test Card (Preview)"),
              devices.end());

    // The card's pins with their row colours.
    ASSERT_EQ(Rows(page, IDC_VIDEO_PINS), 4);
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 0, 0), L"OUT");
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 0, 1), L"Capture");
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 1, 2), L"PREVIEW");
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 3, 0), L"IN");
    EXPECT_EQ(Cell(page, IDC_VIDEO_PINS, 3, 3), L"AnalogVideo");
    HWND pins = page.GetItem(IDC_VIDEO_PINS);
    EXPECT_TRUE(PumpUntil([&] {
        return RowPixel(pins, 0) == RGB(200, 200, 255) && RowPixel(pins, 1) == RGB(255, 255, 200) &&
               RowPixel(pins, 2) == RGB(255, 200, 200) && RowPixel(pins, 3) == RGB(255, 255, 255);
    })) << std::hex
        << RowPixel(pins, 0) << " " << RowPixel(pins, 1) << " " << RowPixel(pins, 2);

    // Index 0 is the first usable capability; the profile's values and standard are shown.
    const std::vector<std::wstring> formats = ComboTexts(page, IDC_VIDEO_FORMAT);
    ASSERT_EQ(formats.size(), 9u);
    EXPECT_EQ(formats[0], L"00: YUY2 (16bit) 720x480 29.97fps");
    EXPECT_EQ(formats[7], L"07: RGB32 (32bit) 720x480 29.97fps");
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_WIDTH), L"640");
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_RATE), L"25.00");
    EXPECT_EQ(ComboTexts(page, IDC_VIDEO_STANDARD)[0], L"NTSC_M");
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_VIDEO_STANDARD), 1);
    EXPECT_EQ(Rows(page, IDC_VIDEO_INFO), 9);
    EXPECT_EQ(Cell(page, IDC_VIDEO_INFO, 2, 1), L"320x240");

    // The crossbar rows: the routed input selected, the stored route applied; rows 3-4 unused.
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_XBAR_OUT1), L"0:Video Decoder");
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_VIDEO_XBAR_IN1), 2);
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_XBAR_OUT2), L"1:Audio Decoder");
    EXPECT_GE(lumoka::GetComboSelection(page.GetHwnd(), IDC_VIDEO_XBAR_IN2), 0);
    EXPECT_FALSE(Enabled(page, IDC_VIDEO_XBAR_IN3));

    // Choose RGB24 640x480, one width step right, a typed height off the grid and 30 fps.
    Choose(page, IDC_VIDEO_FORMAT, 6);
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_WIDTH), L"640");
    SendMessageW(page.GetHwnd(), WM_HSCROLL, SB_LINERIGHT,
                 reinterpret_cast<LPARAM>(page.GetItem(IDC_VIDEO_WIDTH_BAR)));
    EXPECT_EQ(lumoka::GetItemText(page.GetHwnd(), IDC_VIDEO_WIDTH), L"656");
    lumoka::SetItemText(page.GetHwnd(), IDC_VIDEO_HEIGHT, L"481");
    Notify(page, IDC_VIDEO_HEIGHT, CBN_EDITCHANGE);
    const std::vector<std::wstring> rates = ComboTexts(page, IDC_VIDEO_RATE);
    const auto thirty = std::find(rates.begin(), rates.end(), L"30.00");
    ASSERT_NE(thirty, rates.end());
    Choose(page, IDC_VIDEO_RATE, static_cast<int>(thirty - rates.begin()));
    Choose(page, IDC_VIDEO_XBAR_IN1, 1);
    PressOk();

    EXPECT_EQ(model.Selected, 3);
    EXPECT_EQ(p.VideoFormatIndex, 6);
    EXPECT_EQ(p.VideoFormatWidth, 656);
    EXPECT_EQ(p.VideoFormatHeight, 481);  // invalid, stored all the same
    EXPECT_EQ(p.VideoFormatAvgTimePerFrame, 333333);
    EXPECT_EQ(p.VideoFormatStandard, 0x1);  // the format's current standard
    ASSERT_GE(p.VideoCrossbar.size(), 1u);
    EXPECT_EQ(p.VideoCrossbar[0], (CrossbarRoute{0, 1}));
    EXPECT_EQ(p.Video.DevicePath, kCardPath);
}

TEST_F(EditorPages, AbsentDevicesOutOfRangeOpeningAndTheAudioPage) {
    Profile& p = model.Profiles[0];
    p.Video = {L"Unplugged Card", L"gone", L"gone-0"};
    p.VideoFormatIndex = 4;
    p.VideoFormatWidth = 1920;
    p.Audio = {L"Lumoka Test Tone", L"", L"lumoka-testtone-0"};
    p.AudioFormatIndex = 1;
    p.AudioFormatChannels = 1;
    p.AudioFormatBitsPerSample = 16;
    p.AudioFormatSamplesPerSec = 44101;  // off the 25 Hz grid
    p.AudioUseBufferSize = 1;
    p.AudioBufferSize = 120;
    model.Selected = 12;
    model.LastTab = 7;
    Open();
    EXPECT_EQ(frame.CurrentProfile(), 0);
    EXPECT_EQ(frame.Tabs().Selected(), 0);
    EXPECT_EQ(lumoka::GetComboSelection(frame.GetHwnd(), IDC_MAIN_PROFILE), 0);

    CProfileVideoDlg& video = frame.VideoPage();
    EXPECT_EQ(lumoka::GetComboSelection(video.GetHwnd(), IDC_VIDEO_DEVICE), 0);
    EXPECT_FALSE(Enabled(video, IDC_VIDEO_FORMAT));
    EXPECT_FALSE(Enabled(video, IDC_VIDEO_WIDTH_BAR));

    CProfileAudioDlg& audio = frame.AudioPage();
    EXPECT_EQ(audio.Formats().size(), 3u);
    EXPECT_EQ(ComboTexts(audio, IDC_AUDIO_FORMAT)[0], L"00: PCM 2ch 16bit 48000Hz");
    EXPECT_EQ(lumoka::GetItemText(audio.GetHwnd(), IDC_AUDIO_RATE), L"44101");
    EXPECT_EQ(Cell(audio, IDC_AUDIO_INFO, 9, 1), L"25");
    EXPECT_TRUE(lumoka::IsItemChecked(audio.GetHwnd(), IDC_AUDIO_USE_BUFFER));
    EXPECT_TRUE(Enabled(audio, IDC_AUDIO_BUFFER));
    EXPECT_EQ(ComboTexts(audio, IDC_AUDIO_CHANNELS), (std::vector<std::wstring>{L"1", L"2"}));
    // The card in the lower part of the list has an audio capture pin; the preview-only card
    // shows its pins but no formats. Either change resets the buffer setting.
    const std::vector<std::wstring> devices = ComboTexts(audio, IDC_AUDIO_DEVICE);
    const auto index = [&](const wchar_t* name) {
        return static_cast<int>(std::find(devices.begin(), devices.end(), name) - devices.begin());
    };
    Choose(audio, IDC_AUDIO_DEVICE, index(kCard));
    EXPECT_FALSE(audio.Formats().empty());
    EXPECT_FALSE(lumoka::IsItemChecked(audio.GetHwnd(), IDC_AUDIO_USE_BUFFER));
    EXPECT_EQ(SendDlgItemMessageW(audio.GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_GETPOS32, 0, 0), 50);
    Choose(audio, IDC_AUDIO_DEVICE, index(L"Lumoka Test Card (Preview)"));
    EXPECT_EQ(Rows(audio, IDC_AUDIO_PINS), 2);
    EXPECT_EQ(ComboTexts(audio, IDC_AUDIO_FORMAT),
              (std::vector<std::wstring>{L"フィルタからフォーマットを取得できませんでした"}));
    EXPECT_FALSE(Enabled(audio, IDC_AUDIO_FORMAT));
    Choose(audio, IDC_AUDIO_DEVICE, index(L"Lumoka Test Tone"));
    Choose(audio, IDC_AUDIO_FORMAT, 2);
    SendMessageW(audio.GetHwnd(), WM_HSCROLL, SB_LINERIGHT,
                 reinterpret_cast<LPARAM>(audio.GetItem(IDC_AUDIO_RATE_BAR)));
    EXPECT_EQ(lumoka::GetItemText(audio.GetHwnd(), IDC_AUDIO_RATE), L"8025");
    PressOk();

    EXPECT_TRUE(p.Video.IsEmpty());
    EXPECT_EQ(p.VideoFormatIndex, 4);
    EXPECT_EQ(p.VideoFormatWidth, 1920);
    EXPECT_EQ(p.Audio.DevicePath, L"lumoka-testtone-0");
    EXPECT_EQ(p.AudioFormatIndex, 2);
    EXPECT_EQ(p.AudioFormatSamplesPerSec, 8025);
    EXPECT_EQ(p.AudioUseBufferSize, 0);
    EXPECT_EQ(model.Selected, 0);
    EXPECT_EQ(model.LastTab, 0);
}

TEST_F(EditorPages, FilterPageAddsReordersRemovesAndStoresAPinChoice) {
    Open();
    CProfileFilterDlg& page = frame.FilterPage();
    const std::vector<std::wstring> filters = ComboTexts(page, IDC_FILTER_VIDEO_CHOICE);
    const auto pass = std::find(filters.begin(), filters.end(), kPass);
    ASSERT_NE(pass, filters.end());
    Choose(page, IDC_FILTER_VIDEO_CHOICE, static_cast<int>(pass - filters.begin()));
    Notify(page, IDC_FILTER_VIDEO_ADD, BN_CLICKED);
    Notify(page, IDC_FILTER_VIDEO_ADD, BN_CLICKED);
    ASSERT_EQ(Rows(page, IDC_FILTER_VIDEO_LIST), 2);
    EXPECT_EQ(Cell(page, IDC_FILTER_VIDEO_LIST, 1, 1), kPass);
    EXPECT_EQ(SendDlgItemMessageW(page.GetHwnd(), IDC_FILTER_VIDEO_LIST, LVM_GETITEMSTATE, 1,
                                  LVIS_STATEIMAGEMASK) >>
                  12,
              2)
        << "a new entry is checked";

    // The new last row is selected and its pins are read: both combos start on "自動接続".
    EXPECT_EQ(ComboTexts(page, IDC_FILTER_VIDEO_INPUT),
              (std::vector<std::wstring>{L"自動接続", L"0: Input 1", L"1: Input 2"}));
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_FILTER_VIDEO_INPUT), 0);
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_FILTER_VIDEO_OUTPUT), 0);
    EXPECT_EQ(Rows(page, IDC_FILTER_VIDEO_PINS), 4);
    Choose(page, IDC_FILTER_VIDEO_INPUT, 2);

    // Up moves the entry with its choice and its pins; up at the first row does nothing.
    Notify(page, IDC_FILTER_VIDEO_UP, BN_CLICKED);
    EXPECT_EQ(page.Chain(CProfileFilterDlg::kVideo).At(0).Entry.Input, 1);
    EXPECT_TRUE(page.Chain(CProfileFilterDlg::kVideo).At(0).Pins.Inspected);
    EXPECT_EQ(lumoka::GetComboSelection(page.GetHwnd(), IDC_FILTER_VIDEO_INPUT), 2);
    Notify(page, IDC_FILTER_VIDEO_UP, BN_CLICKED);
    EXPECT_EQ(page.Chain(CProfileFilterDlg::kVideo).At(0).Entry.Input, 1);

    // Delete the other entry: the remaining one is selected with its pins shown.
    ListView_SetItemState(page.GetItem(IDC_FILTER_VIDEO_LIST), 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    Notify(page, IDC_FILTER_VIDEO_DELETE, BN_CLICKED);
    ASSERT_EQ(Rows(page, IDC_FILTER_VIDEO_LIST), 1);
    EXPECT_TRUE(Enabled(page, IDC_FILTER_VIDEO_INPUT));
    Notify(page, IDC_FILTER_VIDEO_DELETE, BN_CLICKED);
    Notify(page, IDC_FILTER_VIDEO_DELETE, BN_CLICKED);
    EXPECT_EQ(Rows(page, IDC_FILTER_VIDEO_LIST), 0);
    EXPECT_FALSE(Enabled(page, IDC_FILTER_VIDEO_INPUT));
    EXPECT_FALSE(Enabled(page, IDC_FILTER_VIDEO_PINS));
    Notify(page, IDC_FILTER_VIDEO_ADD, BN_CLICKED);
    Choose(page, IDC_FILTER_VIDEO_OUTPUT, 1);
    PressOk();

    ASSERT_EQ(model.Profiles[0].FilterVideo.size(), 1u);
    const FilterEntry& stored = model.Profiles[0].FilterVideo[0];
    EXPECT_EQ(stored.Device.FriendlyName, kPass);
    EXPECT_EQ(stored.Check, 1);
    EXPECT_EQ(stored.Input, -1);
    EXPECT_EQ(stored.Output, 0);
    EXPECT_TRUE(model.Profiles[0].FilterAudio.empty());
}

// Whether a value combo is painted as invalid: the page's answer to its edit's colour request
// puts the light red into the device context.
bool PaintedInvalid(lumoka::CDialog& page, int id) {
    HWND edit = FindWindowExW(page.GetItem(id), nullptr, L"Edit", nullptr);
    HDC dc = GetDC(edit);
    SetBkColor(dc, RGB(1, 2, 3));
    SendMessageW(page.GetHwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(edit));
    const COLORREF background = GetBkColor(dc);
    ReleaseDC(edit, dc);
    return background == RGB(255, 200, 200);
}

void Type(lumoka::CDialog& page, int id, const std::wstring& text, int code = CBN_EDITCHANGE) {
    lumoka::SetItemText(page.GetHwnd(), id, text);
    Notify(page, id, code);
}

TEST_F(EditorPages, HostileTypingStoresSafeValuesAndNamesTheFileCanHold) {
    Profile& p = model.Profiles[0];
    p.Video = {kCard, L"", kCardPath};
    p.Audio = {L"Lumoka Test Tone", L"", L"lumoka-testtone-0"};
    p.AudioUseBufferSize = 1;
    Open();
    CProfileVideoDlg& video = frame.VideoPage();
    CProfileAudioDlg& audio = frame.AudioPage();
    const int videoValues[] = {IDC_VIDEO_WIDTH, IDC_VIDEO_HEIGHT, IDC_VIDEO_RATE};
    const int audioValues[] = {IDC_AUDIO_CHANNELS, IDC_AUDIO_BITS, IDC_AUDIO_RATE};
    const std::wstring thirty = L"123456789012345678901234567890";
    // What each typed text stores: sizes and the sampling rate as read (held at 32 bits), the
    // 16-bit channels and bits their low bits; no rate gives a duration, so the stored one stays.
    const struct Case {
        std::wstring text;
        int32_t value;
        uint16_t sixteen;
    } cases[] = {{L"abc", 0, 0}, {L"", 0, 0}, {thirty, INT32_MAX, 65535}, {L"-5", -5, 65531}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        for (int id : videoValues) Type(video, id, c.text);
        for (int id : audioValues) Type(audio, id, c.text);
        Type(audio, IDC_AUDIO_BUFFER, c.text, EN_CHANGE);
        for (int id : videoValues) EXPECT_TRUE(PaintedInvalid(video, id)) << id;
        for (int id : audioValues) EXPECT_TRUE(PaintedInvalid(audio, id)) << id;
        Profile stored = p;
        stored.VideoFormatAvgTimePerFrame = 333667;
        video.Store(stored);
        audio.Store(stored);
        EXPECT_EQ(stored.VideoFormatWidth, c.value);
        EXPECT_EQ(stored.VideoFormatHeight, c.value);
        EXPECT_EQ(stored.VideoFormatAvgTimePerFrame, 333667);
        EXPECT_EQ(stored.AudioFormatChannels, c.sixteen);
        EXPECT_EQ(stored.AudioFormatBitsPerSample, c.sixteen);
        EXPECT_EQ(stored.AudioFormatSamplesPerSec, c.value);
        EXPECT_GE(stored.AudioBufferSize, 0);
        EXPECT_LE(stored.AudioBufferSize, 1000);
    }
    // A valid value typed afterwards is taken and painted normally again.
    Type(video, IDC_VIDEO_RATE, L"29.97");
    EXPECT_FALSE(PaintedInvalid(video, IDC_VIDEO_RATE));

    // Names the profile file cannot hold as typed, on the way out of the name edit: while
    // typing (the combo entry), on switching profiles and on OK.
    Type(frame, IDC_MAIN_NAME, L"a=b\t[c]\x1a", EN_CHANGE);
    EXPECT_EQ(ComboTexts(frame, IDC_MAIN_PROFILE)[0], L"00: a＝b [c]");
    Choose(frame, IDC_MAIN_PROFILE, 1);
    Type(frame, IDC_MAIN_NAME, L"]x[ Name=y\r\nz", EN_CHANGE);
    PressOk();
    EXPECT_EQ(model.Profiles[0].Name, L"a＝b [c]");
    EXPECT_EQ(model.Profiles[1].Name, L"]x[ Name＝y z");
    EXPECT_EQ(model.Profiles[0].VideoFormatWidth, -5);
}

}  // namespace
