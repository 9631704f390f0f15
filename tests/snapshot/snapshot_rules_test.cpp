#include "snapshot/SnapshotRules.h"

#include <set>

#include <gtest/gtest.h>

#include "ui/snapdlg/SnapshotDialogRules.h"

namespace {

TEST(SnapshotRules, NamesFromTheLocalTime) {
    const SnapshotTime t{2025, 2, 3, 10, 5, 7, 42};
    EXPECT_EQ(MakeSnapshotFileName(kSnapshotPng, t), L"2025_0203_100507_042.png");
    EXPECT_EQ(MakeSnapshotFileName(kSnapshotJpeg, t), L"2025_0203_100507_042.jpg");
    EXPECT_EQ(MakeSnapshotFileName(7, t), L"2025_0203_100507_042.bmp");
    // The next names carry through seconds, days, leap days and years.
    const std::pair<SnapshotTime, const wchar_t*> next[] = {
        {{2025, 2, 3, 10, 5, 59, 999}, L"2025_0203_100600_000.bmp"},
        {{2024, 12, 31, 23, 59, 59, 999}, L"2025_0101_000000_000.bmp"},
        {{2024, 2, 28, 23, 59, 59, 999}, L"2024_0229_000000_000.bmp"},
        {{2100, 2, 28, 23, 59, 59, 999}, L"2100_0301_000000_000.bmp"},
    };
    for (const auto& [from, name] : next) {
        EXPECT_EQ(MakeSnapshotFileName(kSnapshotBmp, AddMilliseconds(from, 1)), name);
    }
}

TEST(SnapshotRules, PathsAndEncoders) {
    const std::wstring n = L"x.png";
    EXPECT_EQ(JoinSnapshotPath(L"C:\\shots\\", n), L"C:\\shots\\x.png");
    EXPECT_EQ(JoinSnapshotPath(L"D:\\shots", n), L"D:\\shots\\x.png");
    EXPECT_EQ(JoinSnapshotPath(L"shots", n), L"shotsx.png");
    EXPECT_STREQ(SnapshotMimeType(kSnapshotJpeg), L"image/jpeg");
    EXPECT_STREQ(SnapshotMimeType(kSnapshotPng), L"image/png");
    EXPECT_STREQ(SnapshotMimeType(5), L"image/bmp");
    // A browsed drive root stays as it is; a browsed folder gets one backslash.
    EXPECT_EQ(BrowsedFolderText(L"C:\\"), L"C:\\");
    EXPECT_EQ(BrowsedFolderText(L"C:\\shots"), L"C:\\shots\\");
    // Typed folders: on one line, otherwise as typed; the browser only starts at a short one.
    const std::wstring deep = L"C:\\" + std::wstring(996, L'd');
    EXPECT_EQ(FolderFromField(L"D:\\shots\\\r\n"), L"D:\\shots\\");
    EXPECT_EQ(FolderFromField(L"D:\\a\nb=c"), L"D:\\a b=c");
    EXPECT_EQ(FolderFromField(L""), L"");
    EXPECT_EQ(FolderFromField(deep), deep);
    EXPECT_TRUE(BrowserCanStartAt(L"C:\\" + std::wstring(256, L'd')));
    EXPECT_FALSE(BrowserCanStartAt(L"C:\\" + std::wstring(257, L'd')));
    EXPECT_FALSE(BrowserCanStartAt(deep));
}

TEST(SnapshotRules, SizeChoices) {
    const IntSize native{720, 480};
    struct Case {
        int32_t videoSize;
        AspectPair aspect;
        bool haveNative;
        int32_t cx, cy;
    } const cases[] = {
        {kSnapshotAspectSize, {16, 9}, true, 720, 405},
        {kSnapshotAspectSize, {4, 3}, true, 640, 480},
        {kSnapshotAspectSize, kAspectFit, true, 720, 480},
        {kSnapshotAspectSize, {16, 9}, false, 0, 0},
        {kSnapshotInputSize, {16, 9}, true, 720, 480},
        {9, {16, 9}, true, 720, 480},
        {kSnapshotInputSize, {16, 9}, false, 0, 0},
        {kSnapshotDisplaySize, {4, 3}, false, 600, 450},
        {kSnapshotDisplaySize, kAspectFit, true, 800, 450},
        {kSnapshotDisplaySize, kAspectNative, true, 675, 450},
    };
    for (const Case& c : cases) {
        const std::optional<IntSize> n =
            c.haveNative ? std::optional<IntSize>(native) : std::nullopt;
        const IntSize got = ChooseSnapshotSize(c.videoSize, n, {800, 450}, c.aspect, native);
        EXPECT_EQ(got.cx, c.cx) << c.videoSize << " " << c.aspect.x << ":" << c.aspect.y;
        EXPECT_EQ(got.cy, c.cy) << c.videoSize << " " << c.aspect.x << ":" << c.aspect.y;
    }
}

TEST(SnapshotRules, CropSourceRectangles) {
    const std::pair<CropRect, IntRect> cases[] = {
        {{8, 0, 8, 0}, {8, 0, 712, 480}},         {{10, 20, 30, 40}, {10, 20, 690, 440}},
        {{-5, 10, -1, 0}, {0, 10, 720, 480}},  // a negative margin counts as 0
        {{360, 0, 360, 0}, {0, 0, 720, 480}},  // nothing left: the whole picture
        {{0, 240, 0, 300}, {0, 0, 720, 480}},     {{INT32_MAX, 0, INT32_MAX, 0}, {0, 0, 720, 480}},
        {{719, 479, 0, 0}, {719, 479, 720, 480}},
    };
    for (const auto& [margins, source] : cases) {
        EXPECT_EQ(SnapshotSourceRect(margins, 720, 480), source)
            << margins.left << "," << margins.top;
    }
    EXPECT_EQ(ClampJpegQuality(150), 100);
    EXPECT_EQ(ClampJpegQuality(-3), 0);
}

TEST(SnapshotRules, ClaimingNeverReplacesAFile) {
    std::set<std::wstring> files = {L"D:\\s\\2025_0203_100507_999.png"};
    auto claim = [&](const std::wstring& p) {
        return files.insert(p).second ? ClaimResult::kClaimed : ClaimResult::kExists;
    };
    const SnapshotTime t{2025, 2, 3, 10, 5, 7, 999};
    EXPECT_EQ(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, claim),
              L"D:\\s\\2025_0203_100508_000.png");
    EXPECT_EQ(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, claim),
              L"D:\\s\\2025_0203_100508_001.png");
    int calls = 0;
    auto fails = [&](const std::wstring&) { return ++calls, ClaimResult::kFailed; };
    EXPECT_FALSE(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, fails));
    EXPECT_EQ(calls, 1);
    auto taken = [](const std::wstring&) { return ClaimResult::kExists; };
    EXPECT_FALSE(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, taken, 5));
}

}  // namespace
