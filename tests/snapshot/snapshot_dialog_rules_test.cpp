#include "ui/snapdlg/SnapshotDialogRules.h"

#include <gtest/gtest.h>

#include "config/Config.h"

namespace {

TEST(SnapshotDialogRules, StoredValuesShownInRange) {
    for (auto [type, radio] : {std::pair{0, 0}, {1, 1}, {2, 2}, {7, 2}, {-1, 2}}) {
        EXPECT_EQ(FormatRadioIndex(type), radio) << type;
    }
    for (auto [size, radio] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-4, 0}}) {
        EXPECT_EQ(SizeRadioIndex(size), radio) << size;
    }
    EXPECT_EQ(QualityInRange(150), 100);
    EXPECT_EQ(QualityInRange(-1), 0);
    EXPECT_EQ(QualityInRange(42), 42);
}

TEST(SnapshotDialogRules, QualityScrollSteps) {
    struct Case {
        int32_t code, thumb, position, next;
    };
    const Case cases[] = {
        {kScrollLineLeft, 0, 50, 49},      {kScrollPageLeft, 0, 50, 49},
        {kScrollLineRight, 0, 50, 51},     {kScrollPageRight, 0, 50, 51},
        {kScrollLineLeft, 0, 0, 0},        {kScrollLineRight, 0, 100, 100},
        {kScrollThumbTrack, 73, 50, 73},   {kScrollThumbPosition, 12, 50, 12},
        {kScrollThumbTrack, 300, 50, 100}, {8 /* SB_ENDSCROLL */, 9, 50, 50},
        {6 /* SB_LEFT */, 9, 50, 50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextQualityPosition(c.code, c.thumb, c.position), c.next)
            << c.code << " " << c.thumb << " " << c.position;
    }
}

TEST(SnapshotDialogRules, BrowsedFolderAndGuide) {
    EXPECT_EQ(BrowsedFolderText(L"C:\\"), L"C:\\");
    EXPECT_EQ(BrowsedFolderText(L"C:\\shots"), L"C:\\shots\\");
    EXPECT_EQ(BrowsedFolderText(L"C:\\shots\\"), L"C:\\shots\\");
    EXPECT_EQ(BrowsedFolderText(L"shots"), L"shots");
    EXPECT_EQ(UserGuidePath(L"C:\\Program Files\\Lumoka2\\"),
              L"C:\\Program Files\\Lumoka2\\Lumoka2-guide.html");
}

TEST(SnapshotDialogRules, SettingsCopiedBothWays) {
    CConfig config;
    config.Folder = L"D:\\shots\\";
    config.Type = 7;
    config.VideoSize = 2;
    config.Crop = 0;
    config.JpegQuality = 150;
    SnapshotSettings s = SnapshotSettingsOf(config);
    EXPECT_EQ(s.Folder, L"D:\\shots\\");
    EXPECT_EQ(s.Type, 7);
    EXPECT_EQ(s.VideoSize, 2);
    EXPECT_EQ(s.Crop, 0);
    EXPECT_EQ(s.JpegQuality, 150);
    s = SnapshotSettings{L"E:\\", 1, 0, 1, 80};
    StoreSnapshotSettings(s, config);
    EXPECT_EQ(config.Folder, L"E:\\");
    EXPECT_EQ(config.Type, 1);
    EXPECT_EQ(config.VideoSize, 0);
    EXPECT_EQ(config.Crop, 1);
    EXPECT_EQ(config.JpegQuality, 80);
}

}  // namespace
