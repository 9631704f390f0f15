// The snapshot settings and version dialogs in process, driven while they run modally: the
// folder browser starting at the dialog's folder, Cancel after browsing and changing every
// control, a typed folder, and the version dialog's line and link. (What stored values show and
// what OK stores is checked in the running program, e2e_snapshot_test.)
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "SnapshotTestSupport.h"
#include "config/Config.h"
#include "ui/snapdlg/SnapshotDialogs.h"
#include "ui/snapdlg/res/SnapshotDialogIds.h"
#include "winfx/DataExchange.h"

namespace {

using lumoka::test::FindShownWindow;

// Steps run one after the other from a timer of the test thread, which the dialogs' modal
// loops dispatch. A step returns false to be tried again at the next tick (a window it waits
// for is not there yet); the last step must end the dialog.
std::vector<std::function<bool()>> g_steps;
size_t g_next = 0;
HWND g_dialog = nullptr;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    static DWORD deadline = 0;
    if (g_next == 0 && deadline == 0) deadline = GetTickCount() + 20000;
    if (g_next < g_steps.size() && g_steps[g_next]()) ++g_next;
    if (g_next == g_steps.size() || GetTickCount() > deadline) {
        KillTimer(nullptr, id);
        deadline = 0;
        // Out of time: end whatever modal loop runs so the test can report.
        if (g_next != g_steps.size()) PostQuitMessage(0);
    }
}

void RunWith(const wchar_t* caption, std::vector<std::function<bool()>> steps,
             const std::function<void()>& body) {
    g_steps = std::move(steps);
    g_steps.insert(g_steps.begin(), [caption] {
        return (g_dialog = FindShownWindow(GetCurrentThreadId(), caption)) != nullptr;
    });
    g_next = 0;
    SetTimer(nullptr, 0, 50, RunStep);
    body();
    EXPECT_EQ(g_next, g_steps.size()) << "steps done";
    MSG msg;  // a WM_QUIT posted on time-out must not reach the next test's loop
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void Click(int id) { PostMessageW(GetDlgItem(g_dialog, id), BM_CLICK, 0, 0); }

TEST(SnapshotSettingsDialog, BrowsingStartsAtTheFolderAndCancelKeepsEverything) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring name = L"lumoka-browse-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring folder = temp + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    CConfig config;
    config.Folder = folder;
    config.Type = config.VideoSize = config.Crop = 1;
    config.JpegQuality = 40;
    std::wstring afterBrowse;
    auto browser = [] { return FindShownWindow(GetCurrentThreadId(), L"", g_dialog); };
    const std::vector<std::function<bool()>> steps = {
        [] {
            // Typed text is not where the browser starts.
            lumoka::SetItemText(g_dialog, IDC_SNAPSHOT_FOLDER, L"X:\\typed");
            Click(IDC_SNAPSHOT_BROWSE);
            return true;
        },
        // Once the browser shows the folder selected, take it with the browser's OK. Wine
        // selects it after showing the window and now and then loses the selection when its
        // tree is refreshed; the test then browses again, as a person would.
        [&, ticks = 0, reopen = false]() mutable {
            HWND b = browser();
            if (!b && reopen) Click(IDC_SNAPSHOT_BROWSE);
            reopen = reopen && b;
            if (!b) return false;
            HWND tree = FindWindowExW(b, nullptr, WC_TREEVIEWW, nullptr);
            wchar_t text[MAX_PATH] = {};
            TVITEMW item{};
            item.mask = TVIF_TEXT;
            item.hItem = TreeView_GetSelection(tree);
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            if (item.hItem && TreeView_GetItem(tree, &item) && name == text) {
                return PostMessageW(b, WM_COMMAND, IDOK, 0) != FALSE;
            }
            if (++ticks % 60 == 0 && !item.hItem) reopen = PostMessageW(b, WM_COMMAND, IDCANCEL, 0);
            return false;
        },
        [&] {
            // The browser has closed and put its folder into the edit.
            afterBrowse = lumoka::GetItemText(g_dialog, IDC_SNAPSHOT_FOLDER);
            if (browser() || afterBrowse == L"X:\\typed") return false;
            Click(IDC_SNAPSHOT_BMP);
            Click(IDC_SNAPSHOT_INPUT_SIZE);
            Click(IDC_SNAPSHOT_CROP);
            SendMessageW(g_dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 90),
                         reinterpret_cast<LPARAM>(GetDlgItem(g_dialog, IDC_SNAPSHOT_QUALITY_BAR)));
            Click(IDCANCEL);
            return true;
        }};
    RunWith(L"静止画保存設定", steps, [&] { EXPECT_FALSE(EditSnapshotSettings(nullptr, config)); });
    EXPECT_EQ(afterBrowse, folder + L"\\");
    EXPECT_EQ(config.Folder, folder);
    EXPECT_EQ(std::vector<int>({config.Type, config.VideoSize, config.Crop, config.JpegQuality}),
              std::vector<int>({1, 1, 1, 40}));
    RemoveDirectoryW(folder.c_str());
}

TEST(SnapshotSettingsDialog, ATypedFolderIsStoredOnOneLine) {
    // 1000 characters with a tab and a Ctrl-Z, which the edit keeps and a line cannot hold.
    const std::wstring deep = L"C:\\" + std::wstring(996, L'd');
    CConfig config;
    RunWith(L"静止画保存設定", {[&] {
                lumoka::SetItemText(g_dialog, IDC_SNAPSHOT_FOLDER, L"\t" + deep + L"\x1a");
                Click(IDOK);
                return true;
            }},
            [&] { EXPECT_TRUE(EditSnapshotSettings(nullptr, config)); });
    EXPECT_EQ(config.Folder, deep);
}

struct ShellCall {
    HWND owner = nullptr;
    std::wstring verb, file;
    int show = -1;
    int count = 0;
} g_shell;

void RecordShell(HWND owner, const wchar_t* verb, const wchar_t* file, int show) {
    g_shell = ShellCall{owner, verb, file, show, g_shell.count + 1};
}

TEST(VersionDialog, ShowsItsLineAndOpensTheGuide) {
    const ShellOpenFunction previous = SetShellOpenFunction(RecordShell);
    std::wstring line;
    RunWith(L"バージョン情報",
            {[&] {
                 line = lumoka::GetItemText(g_dialog, IDC_VERSION_NAME);
                 // A click on the link's text, as the mouse makes it.
                 HWND link = GetDlgItem(g_dialog, IDC_VERSION_LINK);
                 RECT r{};
                 GetClientRect(link, &r);
                 PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, r.bottom / 2));
                 PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(8, r.bottom / 2));
                 return true;
             },
             [] { return g_shell.count > 0 && PostMessageW(g_dialog, WM_COMMAND, IDOK, 0); }},
            [] { ShowVersionDialog(nullptr); });
    SetShellOpenFunction(previous);
    EXPECT_EQ(line, L"Lumoka2 ver0.05 (2010/03/12)");
    ASSERT_EQ(g_shell.count, 1);
    EXPECT_EQ(g_shell.owner, g_dialog);
    EXPECT_EQ(g_shell.verb, L"open");
    EXPECT_EQ(g_shell.show, SW_SHOWNORMAL);
    // The guide's full path beside the program, and the guide is there.
    wchar_t module[MAX_PATH] = {};
    const std::wstring exe(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    EXPECT_EQ(g_shell.file, exe.substr(0, exe.rfind(L'\\') + 1) + L"Lumoka2-guide.html");
    EXPECT_NE(GetFileAttributesW(g_shell.file.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
