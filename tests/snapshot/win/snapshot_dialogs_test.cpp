// The snapshot settings and version dialogs in process, driven while they run modally: what a
// stored value shows and what OK stores, Cancel after browsing and changing every control, the
// folder browser starting at the dialog's folder, and the version dialog's line and link.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Config.h"
#include "ui/snapdlg/SnapshotDialogs.h"
#include "ui/snapdlg/res/SnapshotDialogIds.h"
#include "winfx/DataExchange.h"

namespace {

// Steps run one after the other from a timer of the test thread, which the dialogs' modal
// loops dispatch. A step returns false to be tried again at the next tick (a window it waits
// for is not there yet); the last step must end the dialog.
std::vector<std::function<bool()>> g_steps;
size_t g_next = 0;
DWORD g_deadline = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_next < g_steps.size() && g_steps[g_next]()) ++g_next;
    if (g_next == g_steps.size() || GetTickCount() > g_deadline) {
        KillTimer(nullptr, id);
        // Out of time: end whatever modal loop runs so the test can report.
        if (g_next != g_steps.size()) PostQuitMessage(0);
    }
}

void RunWith(std::vector<std::function<bool()>> steps, const std::function<void()>& body) {
    g_steps = std::move(steps);
    g_next = 0;
    g_deadline = GetTickCount() + 20000;
    SetTimer(nullptr, 0, 50, RunStep);
    body();
    EXPECT_EQ(g_next, g_steps.size()) << "steps done";
    // A WM_QUIT posted on time-out must not reach the next test's loop.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// The shown top-level window of this thread with the given caption, or (owner given) the
// shown window that owner owns.
HWND FindThreadWindow(const std::wstring& caption, HWND owner = nullptr) {
    struct Search {
        std::wstring caption;
        HWND owner;
        HWND found;
    } search{caption, owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t text[256] = {};
            GetWindowTextW(hwnd, text, 256);
            const bool match =
                s->owner ? GetWindow(hwnd, GW_OWNER) == s->owner : s->caption == text;
            if (match && IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND g_dialog = nullptr;

std::function<bool()> WaitForDialog(const wchar_t* caption) {
    return [caption] { return (g_dialog = FindThreadWindow(caption)) != nullptr; };
}

std::function<bool()> Do(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

void Click(int id) { PostMessageW(GetDlgItem(g_dialog, id), BM_CLICK, 0, 0); }

bool Checked(int id) { return lumoka::IsItemChecked(g_dialog, id); }

int Quality() { return GetScrollPos(GetDlgItem(g_dialog, IDC_SNAPSHOT_QUALITY_BAR), SB_CTL); }

void SetSnapshot(CConfig& c, std::wstring folder, int type, int size, int crop, int quality) {
    c.Folder = std::move(folder);
    c.Type = type;
    c.VideoSize = size;
    c.Crop = crop;
    c.JpegQuality = quality;
}

constexpr wchar_t kSettingsCaption[] = L"静止画保存設定";

TEST(SnapshotSettingsDialog, OutOfRangeValuesShownAndStoredInRange) {
    CConfig config;
    SetSnapshot(config, L"D:\\shots", 7, 2, 0, 150);
    bool shown = false;
    RunWith({WaitForDialog(kSettingsCaption), Do([&] {
                 shown = Checked(IDC_SNAPSHOT_PNG) && !Checked(IDC_SNAPSHOT_BMP) &&
                         !Checked(IDC_SNAPSHOT_JPEG) && Checked(IDC_SNAPSHOT_DISPLAY_SIZE) &&
                         !Checked(IDC_SNAPSHOT_CROP) && Quality() == 100 &&
                         lumoka::GetItemText(g_dialog, IDC_SNAPSHOT_QUALITY_TEXT) == L"100" &&
                         lumoka::GetItemText(g_dialog, IDC_SNAPSHOT_FOLDER) == L"D:\\shots";
                 Click(IDOK);
             })},
            [&] { EXPECT_TRUE(EditSnapshotSettings(nullptr, config)); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(config.Type, 2);
    EXPECT_EQ(config.JpegQuality, 100);
    EXPECT_EQ(config.Folder, L"D:\\shots");
    EXPECT_EQ(config.VideoSize, 2);
    EXPECT_EQ(config.Crop, 0);
}

// A folder of the test's own, which the browser can show and select.
std::wstring MakeBrowseFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + L"lumoka-browse-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

TEST(SnapshotSettingsDialog, BrowsingStartsAtTheFolderAndCancelKeepsEverything) {
    const std::wstring folder = MakeBrowseFolder();
    CConfig config;
    SetSnapshot(config, folder, 1, 1, 1, 40);
    std::wstring afterBrowse;
    auto browser = [] { return FindThreadWindow(L"", g_dialog); };
    RunWith({WaitForDialog(kSettingsCaption), Do([] {
                 // Typed text is not where the browser starts.
                 lumoka::SetItemText(g_dialog, IDC_SNAPSHOT_FOLDER, L"X:\\typed");
                 Click(IDC_SNAPSHOT_BROWSE);
             }),
             // Once the browser shows the folder selected, take it with the browser's OK.
             // Wine selects it after showing the window and now and then loses the selection
             // when its tree is refreshed; the test then browses again, as a person would.
             [&, ticks = 0, reopen = false]() mutable {
                 HWND b = browser();
                 if (!b) {
                     if (reopen) Click(IDC_SNAPSHOT_BROWSE);
                     reopen = false;
                     return false;
                 }
                 HWND tree = FindWindowExW(b, nullptr, WC_TREEVIEWW, nullptr);
                 wchar_t text[MAX_PATH] = {};
                 TVITEMW item{TVIF_TEXT, TreeView_GetSelection(tree)};
                 item.pszText = text;
                 item.cchTextMax = MAX_PATH;
                 if (item.hItem && TreeView_GetItem(tree, &item) &&
                     folder.substr(folder.rfind(L'\\') + 1) == text) {
                     return PostMessageW(b, WM_COMMAND, IDOK, 0) != FALSE;
                 }
                 if (++ticks % 60 == 0 && !item.hItem) {
                     reopen = PostMessageW(b, WM_COMMAND, IDCANCEL, 0) != FALSE;
                 }
                 return false;
             },
             [&] {
                 // The browser has closed and its folder is in the edit.
                 afterBrowse = lumoka::GetItemText(g_dialog, IDC_SNAPSHOT_FOLDER);
                 if (browser() || afterBrowse == L"X:\\typed") return false;
                 Click(IDC_SNAPSHOT_BMP);
                 Click(IDC_SNAPSHOT_INPUT_SIZE);
                 Click(IDC_SNAPSHOT_CROP);
                 HWND bar = GetDlgItem(g_dialog, IDC_SNAPSHOT_QUALITY_BAR);
                 SendMessageW(g_dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 90),
                              reinterpret_cast<LPARAM>(bar));
                 Click(IDCANCEL);
                 return true;
             }},
            [&] { EXPECT_FALSE(EditSnapshotSettings(nullptr, config)); });
    EXPECT_EQ(afterBrowse, folder + L"\\");
    EXPECT_EQ(config.Folder, folder);
    EXPECT_EQ(config.Type, 1);
    EXPECT_EQ(config.VideoSize, 1);
    EXPECT_EQ(config.Crop, 1);
    EXPECT_EQ(config.JpegQuality, 40);
    RemoveDirectoryW(folder.c_str());
}

struct ShellCall {
    HWND owner = nullptr;
    std::wstring verb, file;
    int show = -1;
    int count = 0;
};
ShellCall g_shell;

void RecordShell(HWND owner, const wchar_t* verb, const wchar_t* file, int show) {
    g_shell = ShellCall{owner, verb, file, show, g_shell.count + 1};
}

TEST(VersionDialog, ShowsItsLineAndOpensTheGuide) {
    const ShellOpenFunction previous = SetShellOpenFunction(RecordShell);
    std::wstring line;
    HWND shown = nullptr;
    RunWith({WaitForDialog(L"バージョン情報"), Do([&] {
                 shown = g_dialog;
                 line = lumoka::GetItemText(g_dialog, IDC_VERSION_NAME);
                 // A click on the link's text, as the mouse makes it.
                 HWND link = GetDlgItem(g_dialog, IDC_VERSION_LINK);
                 RECT r{};
                 GetClientRect(link, &r);
                 const LPARAM at = MAKELPARAM(8, r.bottom / 2);
                 PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
                 PostMessageW(link, WM_LBUTTONUP, 0, at);
             }),
             [] { return g_shell.count > 0; }, Do([] { Click(IDOK); })},
            [] { ShowVersionDialog(nullptr); });
    SetShellOpenFunction(previous);
    EXPECT_EQ(line, L"Lumoka2 ver0.05 (2010/03/12)");
    ASSERT_EQ(g_shell.count, 1);
    EXPECT_EQ(g_shell.owner, shown);
    EXPECT_EQ(g_shell.verb, L"open");
    EXPECT_EQ(g_shell.show, SW_SHOWNORMAL);
    // The guide's full path beside the program, and the guide is there.
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring expected(module);
    expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"Lumoka2-guide.html";
    EXPECT_EQ(g_shell.file, expected);
    EXPECT_NE(GetFileAttributesW(g_shell.file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
