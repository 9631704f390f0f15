// Snapshots end to end: Lumoka2.exe plays the test card (RGB32 720 x 480, 16:9, in a 640 x 480
// client area) and "静止画保存" writes the picture the window shows. Under Wine the renderers
// give no picture, so every file here comes from the transform filter's frame grab.
#include <algorithm>

#include <gtest/gtest.h>

#include "SnapshotTestSupport.h"
#include "e2e/E2eFixture.h"
#include "ui/main/CommandIds.h"

namespace lumoka::testing {
namespace {

using test::CImageFile;
using test::kBars;
using test::Near;
using test::Text;

struct Shot {
    const char* name;
    int type, videoSize, crop;
    const wchar_t* extension;
    int width, height;  // of the file
    int tolerance;
    // The profile always cuts 120 pixels off the left; the snapshot only with Crop set.
    int CropLeft() const { return crop ? kProfileCropLeft : 0; }
    static constexpr int kProfileCropLeft = 120;
};

class SnapshotE2e : public E2eTest, public ::testing::WithParamInterface<Shot> {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(gdiplus_); }

    // The card in profile 0 with aspect 16:9 and the crop margin; the snapshot settings.
    void WriteFiles(const std::wstring& folder, int type, int videoSize, int crop, int quality) {
        const std::wstring profiles =
            L"[Common]\r\nFileVersion=4\r\n\r\n[Profile]\r\nSelected=0\r\n\r\n[Profile:00]\r\n"
            L"Video.FriendlyName=Lumoka Test Card\r\nVideo.DevicePath=lumoka-testcard-0\r\n"
            L"Video.Format.Index=7\r\nVideo.Format.Width=720\r\nVideo.Format.Height=480\r\n"
            L"Video.Format.AvgTimePerFrame=333667\r\nPreview.AspectRatio=2\r\n"
            L"Preview.Cropping.Left=" +
            std::to_wstring(Shot::kProfileCropLeft) + L"\r\n";
        const std::wstring settings =
            L"[SnapShot]\r\nFolder=" + folder + L"\r\nType=" + std::to_wstring(type) +
            L"\r\nVideoSize=" + std::to_wstring(videoSize) + L"\r\nCrop=" + std::to_wstring(crop) +
            L"\r\nJpegQuality=" + std::to_wstring(quality) + L"\r\n";
        ASSERT_TRUE(folder_.WriteBytes(kProfiles, Encode(profiles, 932)));
        ASSERT_TRUE(folder_.WriteBytes(kSettings, Encode(settings, 932)));
    }

    static LRESULT Command(CAppProcess& app, UINT id) {
        DWORD_PTR result = 0;
        // Sent, not posted: the snapshot is taken when the call returns.
        SendMessageTimeoutW(app.Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 10000,
                            &result);
        return static_cast<LRESULT>(result);
    }

    // "再生", then "静止画保存" until the first picture is saved: a snapshot taken while the
    // graph is still starting finds no frame in time and saves nothing.
    static void PlayUntilFirstShot(CAppProcess& app, const std::wstring& folder) {
        PostMessageW(app.Window(), WM_COMMAND, MAKEWPARAM(ID_PLAY, 0), 0);
        const DWORD start = GetTickCount();
        while (Files(folder).empty()) {
            ASSERT_LT(GetTickCount() - start, 30000u) << "no snapshot while playing";
            Command(app, ID_SNAPSHOT);
        }
        ASSERT_EQ(Files(folder).size(), 1u);
    }

    static std::vector<std::wstring> Files(const std::wstring& folder) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    // The bars in the file where a 720-pixel source, cut by cropLeft, puts them.
    static void ExpectBars(const std::wstring& path, const Shot& s) {
        CImageFile image(path);
        ASSERT_EQ(image.Width(), s.width) << Narrow(path);
        ASSERT_EQ(image.Height(), s.height);
        const int y = s.height / 6;
        for (int i = 1; i < 7; ++i) {
            const int edge =
                static_cast<int>((i * 720 / 7.0 - s.CropLeft()) * s.width / (720.0 - s.CropLeft()));
            if (edge < 8) continue;
            EXPECT_TRUE(Near(image.At(edge + 6, y), kBars[i], s.tolerance))
                << "right of edge " << i << " at " << edge << ": " << Text(image.At(edge + 6, y));
            EXPECT_TRUE(Near(image.At(edge - 6, y), kBars[i - 1], s.tolerance))
                << "left of edge " << i << " at " << edge << ": " << Text(image.At(edge - 6, y));
        }
    }

    ULONG_PTR gdiplus_ = 0;
};

// Each size choice, with and without cropping, and BMP; two snapshots in quick succession
// give two files.
TEST_P(SnapshotE2e, SavesWhatTheWindowShows) {
    const Shot& s = GetParam();
    // A folder that does not exist yet, two levels deep.
    const std::wstring shots =
        folder_.Path() + L"shots\\" + std::wstring(s.name, s.name + strlen(s.name)) + L"\\";
    WriteFiles(shots, s.type, s.videoSize, s.crop, 90);
    CAppProcess app;
    StartAndWait(app);
    // No graph yet: the command (greyed in the menu) creates nothing, not even the folder.
    Command(app, ID_SNAPSHOT);
    EXPECT_EQ(GetFileAttributesW(shots.c_str()), INVALID_FILE_ATTRIBUTES);
    PlayUntilFirstShot(app, shots);
    Command(app, ID_SNAPSHOT);
    const std::vector<std::wstring> files = Files(shots);
    ASSERT_EQ(files.size(), 2u);
    for (const std::wstring& f : files) {
        EXPECT_EQ(f.size(), 24u) << Narrow(f);
        EXPECT_EQ(f.substr(20), s.extension);
        ExpectBars(shots + f, s);
    }
    CloseAndExpectCleanExit(app);
}

INSTANTIATE_TEST_SUITE_P(Choices, SnapshotE2e,
                         ::testing::Values(Shot{"input", 2, 0, 0, L".png", 720, 480, 6},
                                           Shot{"aspect", 2, 1, 0, L".png", 720, 405, 6},
                                           Shot{"display", 2, 2, 0, L".png", 640, 360, 6},
                                           Shot{"cropped", 2, 0, 1, L".png", 720, 480, 6},
                                           Shot{"bitmap", 0, 1, 1, L".bmp", 720, 405, 6},
                                           // Wine's encoder ignores the quality.
                                           Shot{"jpeg", 1, 2, 1, L".jpg", 640, 360, 24}),
                         [](const ::testing::TestParamInfo<Shot>& info) {
                             return std::string(info.param.name);
                         });

// The settings dialog in the running program: a stored Type 7 and quality 150 come up as PNG
// and 100, OK stores 2 and 100, the next snapshot is a PNG, and the values reach the file.
TEST_F(SnapshotE2e, SettingsDialogMendsStoredValues) {
    const std::wstring shots = folder_.Path() + L"mended\\";
    WriteFiles(shots, 7, 0, 0, 150);
    CAppProcess app;
    StartAndWait(app);
    PlayUntilFirstShot(app, shots);  // a stored 7 saves as BMP
    PostMessageW(app.Window(), WM_COMMAND, MAKEWPARAM(ID_SNAPSHOT_SETTINGS, 0), 0);
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < 10000; Sleep(50)) {
        dialog = test::FindShownWindow(GetWindowThreadProcessId(app.Window(), nullptr),
                                       L"静止画保存設定");
    }
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, 1099), BM_GETCHECK, 0, 0), BST_CHECKED);  // PNG
    EXPECT_EQ(GetScrollPos(GetDlgItem(dialog, 1105), SB_CTL), 100);
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    for (DWORD start = GetTickCount(); IsWindow(dialog) && GetTickCount() - start < 10000;) {
        Sleep(50);
    }
    Command(app, ID_SNAPSHOT);
    std::vector<std::wstring> files = Files(shots);
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files[0].substr(20), L".bmp");
    EXPECT_EQ(files[1].substr(20), L".png");
    CloseAndExpectCleanExit(app);
    const CConfig config = ReadBack();
    EXPECT_EQ(config.Type, 2);
    EXPECT_EQ(config.JpegQuality, 100);
}

}  // namespace
}  // namespace lumoka::testing
