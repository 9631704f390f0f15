// The main window's parts in process under Wine: the computed context menu applied to the
// program's own template and read back item by item (without a graph, and while a graph with
// an extra filter plays in a maximised window), and the centring hook that places a filter's
// property frame over the window.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Config.h"
#include "e2e/ProgramPath.h"
#include "graph/win/TestSupport.h"
#include "ui/main/CommandIds.h"
#include "ui/main/ContextMenu.h"
#include "ui/main/DialogCentring.h"

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(std::max(n, 0)));
    return out;
}

// One line per item as a person reads the menu: indentation by depth, "-" for a separator,
// "> text" for a popup, "id text" for a command, then " [v]" for a check mark, " [o]" for a
// radio bullet and " (grey)". Wine reports every separator as greyed, so theirs is left out.
void Describe(HMENU menu, int depth, std::vector<std::string>& lines) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        std::string line(static_cast<size_t>(depth) * 2, ' ');
        if (info.fType & MFT_SEPARATOR) {
            lines.push_back(line + "-");
            continue;
        }
        line += info.hSubMenu ? "> " + Utf8(text) : std::to_string(info.wID) + " " + Utf8(text);
        if (info.fState & MFS_CHECKED) line += (info.fType & MFT_RADIOCHECK) ? " [o]" : " [v]";
        if (info.fState & MFS_GRAYED) line += " (grey)";
        lines.push_back(line);
        if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, lines);
    }
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines from the one equal to first, count of them.
std::vector<std::string> Slice(const std::vector<std::string>& lines, const std::string& first,
                               size_t count) {
    auto at = std::find(lines.begin(), lines.end(), first);
    std::vector<std::string> out;
    for (; at != lines.end() && out.size() < count; ++at) out.push_back(*at);
    return out;
}

class MainWindowParts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        program = LoadLibraryExW(lumoka::testing::ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (program) FreeLibrary(program);
    }
    void SetUp() override {
        ASSERT_NE(program, nullptr);
        config.ResetProfiles();
    }
    // The menu for the configuration with a graph of these filters (none: no graph).
    std::vector<std::string> MenuLines(std::vector<FilterListEntry> filters, bool maximized) {
        MenuSnapshot snapshot = TakeMenuSnapshot(config, graph, maximized, false);
        snapshot.GraphBuilt = !filters.empty();
        for (const FilterListEntry& f : filters) snapshot.Filters.push_back({f.Name, f.HasPages});
        CContextMenu menu;
        std::vector<std::string> lines;
        EXPECT_TRUE(menu.Load(program, ComputeContextMenu(snapshot)));
        if (menu.Popup()) Describe(menu.Popup(), 0, lines);
        return lines;
    }

    static HMODULE program;
    CConfig config;
    CGraphController graph;
};
HMODULE MainWindowParts::program = nullptr;

TEST_F(MainWindowParts, MenuOfTheDefaultProfileWithoutAGraph) {
    const std::vector<std::string> lines = MenuLines({}, false);
    std::vector<std::string> top = {"> プロファイル", "  50000 00: プロファイル0 [v]"};
    for (int i = 1; i < 10; ++i) {
        top.push_back("  " + std::to_string(50000 + i) + " 0" + std::to_string(i) +
                      ": プロファイル" + std::to_string(i));
    }
    const std::vector<std::string> rest = {"  -",
                                           "  32777 プロファイル設定...",
                                           "-",
                                           "> フィルタグラフ",
                                           "  32951 フィルタグラフが構築されていません (grey)",
                                           "32846 再生",
                                           "32847 停止",
                                           "32848 再構築",
                                           "-",
                                           "33046 映像拡大率100% (grey)",
                                           "> 映像拡大率",
                                           "  33032 50% (grey)"};
    top.insert(top.end(), rest.begin(), rest.end());
    EXPECT_EQ(Slice(lines, top.front(), top.size()), top);
    // A check mark, a radio bullet, greyed items and the greyed note, as applied.
    for (const char* line :
         {"32881 タイトルバー表示 [v]", "32888 常に手前に表示", "  32934 入力比率 [o]",
          "33071 静止画保存 (grey)", "  32838 Video Mixing Renderer 7 [o]",
          "32867 *の設定はプロファイルに記憶されます (grey)"}) {
        EXPECT_TRUE(Has(lines, line)) << line;
    }
    // The menu ends with the version and exit items; the debug items are gone.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "33002 バージョン情報...");
    EXPECT_EQ(lines.back(), "32886 終了");
}

TEST_F(MainWindowParts, MenuWhilePlayingMaximisedWithAnExtraFilter) {
    Profile& p = config.Profiles[2];
    p.Name = L"カード";
    p.PreviewVideoRenderer = 2;
    p.PreviewTransformCopy = 4;
    p.PreviewAspectRatio = 3;
    p.FilterVideo = {FilterEntry{}};
    config.Selected = 2;
    config.Frame = 0;
    const std::vector<std::string> lines =
        MenuLines({{L"Video SmartTee", 0}, {L"Lumoka Test Pass-Through", 1}}, true);
    const std::vector<std::string> submenu = {"> フィルタグラフ", "  50100 Video SmartTee (grey)",
                                              "  50101 Lumoka Test Pass-Through", "32846 再生"};
    EXPECT_EQ(Slice(lines, submenu.front(), submenu.size()), submenu);
    for (const char* line :
         {"  50002 02: カード [v]", "  33049 640x480 (grey)", "32881 タイトルバー表示 [v] (grey)",
          // A checked extra video filter takes the transform filter's place.
          "33110 *内部フィルタに接続する [v] (grey)", "  33079 ブレンド [o] (grey)",
          // 40:33 has no item: nothing in the aspect submenu is marked.
          "  32930 4:3", "  32934 入力比率"}) {
        EXPECT_TRUE(Has(lines, line)) << line;
    }
}

TEST(DialogCentring, CentresTheNextDialogOfTheOwnerOnce) {
    CTestWindow owner(600, 400);
    // A dialog template of 100 x 50 dialog units, owned by the window.
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tmpl{};
    tmpl.t.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    tmpl.t.cx = 100;
    tmpl.t.cy = 50;
    auto proc = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_INITDIALOG; };
    {
        CDialogCentring centring(owner.Get());
        EXPECT_TRUE(centring.Installed());
        HWND dlg =
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tmpl.t, owner.Get(), proc, 0);
        ASSERT_NE(dlg, nullptr) << "error " << GetLastError();
        EXPECT_FALSE(centring.Installed());
        RECT o{}, d{};
        GetWindowRect(owner.Get(), &o);
        GetWindowRect(dlg, &d);
        EXPECT_EQ(d.left, o.left + ((o.right - o.left) / 2 - (d.right - d.left) / 2));
        EXPECT_EQ(d.top, o.top + ((o.bottom - o.top) / 2 - (d.bottom - d.top) / 2));
        // The dialog has its own procedure back.
        EXPECT_NE(GetWindowLongPtrW(dlg, DWLP_DLGPROC), 0);
        DestroyWindow(dlg);
    }
    // No dialog opened: the hook goes with the object, and a dialog opened later stays where
    // it is created.
    {
        CDialogCentring centring(owner.Get());
        EXPECT_TRUE(centring.Installed());
    }
    tmpl.t.x = 5;
    tmpl.t.y = 5;
    HWND later =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tmpl.t, owner.Get(), proc, 0);
    ASSERT_NE(later, nullptr) << "error " << GetLastError();
    RECT r{}, o{};
    GetWindowRect(later, &r);
    GetWindowRect(owner.Get(), &o);
    EXPECT_GT(std::abs((r.left + r.right) / 2 - (o.left + o.right) / 2), 10);
    DestroyWindow(later);
    CDialogCentring again(nullptr);
    EXPECT_TRUE(again.Installed());
}

}  // namespace
