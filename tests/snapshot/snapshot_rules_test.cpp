#include "snapshot/SnapshotRules.h"

#include <set>

#include <gtest/gtest.h>

namespace {

TEST(SnapshotName, LocalTimeAndExtension) {
    const SnapshotTime t{2025, 2, 3, 10, 5, 7, 42};
    EXPECT_EQ(MakeSnapshotFileName(kSnapshotPng, t), L"2025_0203_100507_042.png");
    EXPECT_EQ(MakeSnapshotFileName(kSnapshotJpeg, t), L"2025_0203_100507_042.jpg");
    EXPECT_EQ(MakeSnapshotFileName(kSnapshotBmp, t), L"2025_0203_100507_042.bmp");
    EXPECT_EQ(MakeSnapshotFileName(7, t), L"2025_0203_100507_042.bmp");
    EXPECT_EQ(MakeSnapshotFileName(-1, SnapshotTime{999, 12, 31, 23, 59, 59, 999}),
              L"0999_1231_235959_999.bmp");
}

TEST(SnapshotName, MillisecondsCarry) {
    struct Case {
        SnapshotTime from;
        int64_t add;
        const wchar_t* name;
    };
    const Case cases[] = {
        {{2025, 2, 3, 10, 5, 7, 42}, 1, L"2025_0203_100507_043.png"},
        {{2025, 2, 3, 10, 5, 59, 999}, 1, L"2025_0203_100600_000.png"},
        {{2024, 12, 31, 23, 59, 59, 999}, 1, L"2025_0101_000000_000.png"},
        {{2024, 2, 28, 23, 59, 59, 999}, 1, L"2024_0229_000000_000.png"},
        {{2100, 2, 28, 23, 59, 59, 999}, 1, L"2100_0301_000000_000.png"},
        {{2000, 2, 28, 23, 59, 59, 500}, 600, L"2000_0229_000000_100.png"},
        {{2025, 1, 1, 0, 0, 0, 0}, -1, L"2024_1231_235959_999.png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeSnapshotFileName(kSnapshotPng, AddMilliseconds(c.from, c.add)), c.name);
    }
}

TEST(SnapshotPath, JoinRule) {
    const std::wstring name = L"2025_0203_100507_042.png";
    EXPECT_EQ(JoinSnapshotPath(L"C:\\shots\\", name), L"C:\\shots\\" + name);
    EXPECT_EQ(JoinSnapshotPath(L"D:\\shots", name), L"D:\\shots\\" + name);
    EXPECT_EQ(JoinSnapshotPath(L"C:\\", name), L"C:\\" + name);
    EXPECT_EQ(JoinSnapshotPath(L"shots", name), L"shots" + name);
    EXPECT_EQ(JoinSnapshotPath(L"", name), name);
}

TEST(SnapshotPath, MimeTypes) {
    EXPECT_STREQ(SnapshotMimeType(kSnapshotBmp), L"image/bmp");
    EXPECT_STREQ(SnapshotMimeType(kSnapshotJpeg), L"image/jpeg");
    EXPECT_STREQ(SnapshotMimeType(kSnapshotPng), L"image/png");
    EXPECT_STREQ(SnapshotMimeType(3), L"image/bmp");
}

TEST(SnapshotSize, Choices) {
    const IntSize native{720, 480};
    const IntSize client{800, 450};
    struct Case {
        int32_t videoSize;
        AspectPair aspect;
        std::optional<IntSize> native;
        int32_t cx, cy;
    };
    const Case cases[] = {
        {kSnapshotAspectSize, {16, 9}, native, 720, 405},
        {kSnapshotAspectSize, {4, 3}, native, 640, 480},
        {kSnapshotAspectSize, kAspectFit, native, 720, 480},
        {kSnapshotAspectSize, kAspectNative, native, 720, 480},
        {kSnapshotAspectSize, {16, 9}, std::nullopt, 0, 0},
        {kSnapshotInputSize, {16, 9}, native, 720, 480},
        {kSnapshotInputSize, {16, 9}, std::nullopt, 0, 0},
        {9, {16, 9}, native, 720, 480},
        {kSnapshotDisplaySize, {4, 3}, native, 600, 450},
        {kSnapshotDisplaySize, {16, 9}, std::nullopt, 800, 450},
        {kSnapshotDisplaySize, kAspectFit, native, 800, 450},
        // The input's own ratio comes from the controller's native size.
        {kSnapshotDisplaySize, kAspectNative, native, 675, 450},
    };
    for (const Case& c : cases) {
        const IntSize got = ChooseSnapshotSize(c.videoSize, c.native, client, c.aspect, native);
        EXPECT_EQ(got.cx, c.cx) << c.videoSize << " " << c.aspect.x << ":" << c.aspect.y;
        EXPECT_EQ(got.cy, c.cy) << c.videoSize << " " << c.aspect.x << ":" << c.aspect.y;
    }
}

TEST(SnapshotCrop, SourceRectangles) {
    struct Case {
        CropRect margins;
        IntRect source;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {0, 0, 720, 480}},
        {{8, 0, 8, 0}, {8, 0, 712, 480}},
        {{10, 20, 30, 40}, {10, 20, 690, 440}},
        {{-5, 10, -1, 0}, {0, 10, 720, 480}},
        // Nothing left: the whole picture.
        {{360, 0, 360, 0}, {0, 0, 720, 480}},
        {{0, 240, 0, 300}, {0, 0, 720, 480}},
        {{800, 0, 0, 0}, {0, 0, 720, 480}},
        {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {0, 0, 720, 480}},
        {{INT32_MIN, 0, INT32_MIN, 0}, {0, 0, 720, 480}},
        {{719, 479, 0, 0}, {719, 479, 720, 480}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SnapshotSourceRect(c.margins, 720, 480), c.source)
            << c.margins.left << "," << c.margins.top << "," << c.margins.right << ","
            << c.margins.bottom;
    }
    EXPECT_EQ(ClampJpegQuality(150), 100);
    EXPECT_EQ(ClampJpegQuality(-3), 0);
    EXPECT_EQ(ClampJpegQuality(75), 75);
}

TEST(SnapshotClaim, NeverReplacesAFile) {
    const SnapshotTime t{2025, 2, 3, 10, 5, 7, 998};
    std::set<std::wstring> existing = {L"D:\\s\\2025_0203_100507_998.png",
                                       L"D:\\s\\2025_0203_100507_999.png"};
    std::vector<std::wstring> tried;
    auto claim = [&](const std::wstring& path) {
        tried.push_back(path);
        return existing.insert(path).second ? ClaimResult::kClaimed : ClaimResult::kExists;
    };
    EXPECT_EQ(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, claim),
              std::optional<std::wstring>(L"D:\\s\\2025_0203_100508_000.png"));
    EXPECT_EQ(tried.size(), 3u);
    // The same moment again takes the next free name.
    EXPECT_EQ(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, claim),
              std::optional<std::wstring>(L"D:\\s\\2025_0203_100508_001.png"));

    int calls = 0;
    auto fails = [&](const std::wstring&) {
        ++calls;
        return ClaimResult::kFailed;
    };
    EXPECT_FALSE(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, fails));
    EXPECT_EQ(calls, 1);
    auto full = [](const std::wstring&) { return ClaimResult::kExists; };
    EXPECT_FALSE(ClaimSnapshotPath(L"D:\\s", kSnapshotPng, t, full, 5));
}

}  // namespace
