// The resources built into Lumoka2.exe: the whole context-menu tree (ids, texts, separators,
// greyed items), the main window's dialog template, the icon, the manifest, and the GUI
// subsystem. Reads the built executable as a data file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/main/CommandIds.h"
#include "e2e/ProgramPath.h"
#include "winfx/Dialog.h"

namespace {

class AppResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryExW(lumoka::testing::ProgramPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load "
                                    << std::string(lumoka::testing::ProgramPath().begin(),
                                                   lumoka::testing::ProgramPath().end());
    }

    // The raw bytes of a resource.
    static std::string ResourceBytes(LPCWSTR type, LPCWSTR name) {
        HRSRC resource = FindResourceW(module_, name, type);
        if (!resource) return std::string();
        HGLOBAL loaded = LoadResource(module_, resource);
        const char* data = static_cast<const char*>(LockResource(loaded));
        return data ? std::string(data, SizeofResource(module_, resource)) : std::string();
    }

    static HMODULE module_;
};

HMODULE AppResourceTest::module_ = nullptr;

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

// One line per item: indentation by depth, then "-" for a separator, "> text" for a popup or
// "id text" for a command, and " (grey)" for a greyed item. Wine reports separators as greyed
// whatever the template says, so their state is not compared.
void DescribeMenu(HMENU menu, int depth, std::vector<std::string>& lines) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        std::string line(static_cast<size_t>(depth) * 2, ' ');
        if (info.fType & MFT_SEPARATOR) {
            line += "-";
        } else if (info.hSubMenu) {
            line += "> " + Utf8(text);
        } else {
            line += std::to_string(info.wID) + " " + Utf8(text);
        }
        if ((info.fState & MFS_GRAYED) && !(info.fType & MFT_SEPARATOR)) line += " (grey)";
        lines.push_back(line);
        if (info.hSubMenu) DescribeMenu(info.hSubMenu, depth + 1, lines);
    }
}

TEST_F(AppResourceTest, ContextMenuHoldsTheWholeStaticTree) {
    const std::vector<std::string> expected = {
        ">  ",  // the one top-level popup, whose text is a single blank
        "  > プロファイル",
        "    32777 プロファイル設定...",
        "  -",
        "  > フィルタグラフ",
        "    32951 フィルタグラフが構築されていません (grey)",
        "  32846 再生",
        "  32847 停止",
        "  32848 再構築",
        "  -",
        "  33046 映像拡大率100%",
        "  > 映像拡大率",
        "    33032 50%",
        "    33034 75%",
        "    33035 100%",
        "    33036 125%",
        "    33037 150%",
        "    33038 175%",
        "    33039 200%",
        "    33040 225%",
        "    33041 250%",
        "    33042 275%",
        "    33043 300%",
        "  > 映像サイズ(4:3)",
        "    33047 320x240",
        "    33048 480x360",
        "    33049 640x480",
        "    33050 800x600",
        "    33051 960x720",
        "    33052 1024x768",
        "    33053 1280x960",
        "    33054 1440x1080",
        "    33055 1600x1200",
        "    33066 1920x1440",
        "  > 映像サイズ(16:9)",
        "    33067 320x180",
        "    33056 480x270",
        "    33057 640x360",
        "    33075 800x450",
        "    33059 960x540",
        "    33060 1024x576",
        "    33061 1280x720",
        "    33062 1440x810",
        "    33063 1600x900",
        "    33064 1920x1080",
        "  -",
        "  > ウィンドウ設定",
        "    32971 ウィンドウアスペクト比維持",
        "    32891 ウィンドウスナップ",
        "    32892 画面ドラッグでウィンドウを移動する",
        "    -",
        "    32894 再生中スクリーンセイバー抑止",
        "    32998 再生中モニター電源オフ抑止",
        "    32996 再生中システムスタンバイ抑止",
        "  32881 タイトルバー表示",
        "  32882 ウィンドウフレーム表示",
        "  32888 常に手前に表示",
        "  -",
        "  33071 静止画保存",
        "  > 静止画保存設定",
        "    33072 静止画保存フォルダを開く",
        "    33073 静止画保存設定...",
        "  -",
        "  > *音量",
        "    32984 100%",
        "    32985 90%",
        "    32986 80%",
        "    32987 70%",
        "    32988 60%",
        "    32989 50%",
        "    32990 40%",
        "    32991 30%",
        "    32992 20%",
        "    32993 10%",
        "    32994 0%",
        "  > *アスペクト比",
        "    32930 4:3",
        "    32931 16:9",
        "    -",
        "    32934 入力比率",
        "    32935 ウィンドウに合わせる",
        "  33000 *クロッピング...",
        "  32944 *映像信号調整...",
        "  -",
        "  33110 *内部フィルタに接続する",
        "  > *デインターレース / FPS変更",
        "    32799 なし（コピー）",
        "    33094 シンプル",
        "    32820 線形補間",
        "    33113 線形補間＋シャープ",
        "    33079 ブレンド",
        "    33095 ブレンド＋シャープ",
        "    33115 ハードウェア",
        "    -",
        "    33096 FPS(1/2倍)",
        "    33097 FPS(等倍)",
        "    33098 FPS(2倍)",
        "    -",
        "    32876 フィールドオーダー（トップ→ボトム）",
        "    32877 フィールドオーダー（ボトム→トップ）",
        "  > *YC伸張",
        "    32800 なし",
        "    32826 UYVYバイト配列",
        "    32828 YUY2バイト配列",
        "  33081 *上下反転",
        "  -",
        "  > *ビデオレンダラ",
        "    32838 Video Mixing Renderer 7",
        "    32948 Video Mixing Renderer 7 （オーバーレイ無効）",
        "    32839 Video Mixing Renderer 9",
        "    32946 Enhanced Video Renderer",
        "  > *オーディオレンダラ",
        "    32840 DirectSound Renderer",
        "    32841 WaveOut Renderer（システム音量とリンク）",
        "  > *実行優先度",
        "    32868 リアルタイム",
        "    32869 高",
        "    32870 通常以上",
        "    32871 通常",
        "    32872 通常以下",
        "    32873 低",
        "  32867 *の設定はプロファイルに記憶されます (grey)",
        "  -",
        "  33002 バージョン情報...",
        "  32886 終了",
        "  32773 デバッグ01",
        "  32774 デバッグ02",
    };
    HMENU menu = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> actual;
    DescribeMenu(menu, 0, actual);
    DestroyMenu(menu);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "line " << i;
}

// The dialog template as stored: DLGTEMPLATEEX header, then menu, class and title.
TEST_F(AppResourceTest, MainDialogTemplateIsABarePopupOfTheRightSize) {
    const std::string bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEW(IDD_MAIN));
    ASSERT_GE(bytes.size(), 26u);
    auto word = [&](size_t offset) {
        return static_cast<WORD>(static_cast<unsigned char>(bytes[offset]) |
                                 (static_cast<unsigned char>(bytes[offset + 1]) << 8));
    };
    auto dword = [&](size_t offset) { return word(offset) | (DWORD{word(offset + 2)} << 16); };
    ASSERT_EQ(word(0), 1) << "extended template";
    ASSERT_EQ(word(2), 0xFFFF);
    EXPECT_EQ(dword(12), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                            WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN |
                                            WS_CLIPSIBLINGS));
    EXPECT_EQ(dword(8), static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(word(16), 0) << "no controls";
    EXPECT_EQ(word(22), 318);
    EXPECT_EQ(word(24), 201);
    EXPECT_EQ(word(26), 0) << "no menu";
    EXPECT_EQ(word(28), 0) << "standard dialog class";
    std::wstring title;
    for (size_t offset = 30; offset + 1 < bytes.size() && word(offset) != 0; offset += 2) {
        title.push_back(static_cast<wchar_t>(word(offset)));
    }
    EXPECT_EQ(title, L"Lumoka2");
}

// The framework makes the window from the executable's template; nothing is shown.
TEST_F(AppResourceTest, MainDialogTemplateMakesAWindowThroughTheFramework) {
    lumoka::CDialog dialog(IDD_MAIN, module_);
    ASSERT_TRUE(dialog.Create(nullptr));
    const LONG_PTR style = GetWindowLongPtrW(dialog.GetHwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongPtrW(dialog.GetHwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(dialog.GetHwnd(), GW_CHILD), nullptr);
    RECT client{};
    GetClientRect(dialog.GetHwnd(), &client);
    EXPECT_GT(client.right, 318) << "dialog units are larger than pixels";
    EXPECT_GT(client.bottom, 201);
}

TEST_F(AppResourceTest, IconHasSmallAndLargeImages) {
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(module_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    const std::string group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_GE(group.size(), 6u);
    EXPECT_GE(static_cast<unsigned char>(group[4]), 4) << "16, 24, 32 and 48 pixel images";
}

TEST_F(AppResourceTest, ManifestAsksForCommonControls6AndDpiAwareness) {
    const std::string manifest = ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
}

TEST_F(AppResourceTest, ExecutableIsAWindowsGuiProgram) {
    std::string bytes;
    if (FILE* file = _wfopen(lumoka::testing::ProgramPath().c_str(), L"rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, n);
        fclose(file);
    }
    ASSERT_GT(bytes.size(), 0x200u);
    const auto peOffset = *reinterpret_cast<const LONG*>(&bytes[0x3C]);
    ASSERT_LT(static_cast<size_t>(peOffset) + sizeof(IMAGE_NT_HEADERS64), bytes.size());
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS64*>(&bytes[peOffset]);
    ASSERT_EQ(headers->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(headers->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

}  // namespace
