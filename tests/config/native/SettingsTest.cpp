// The settings file "Lumoka2.ini": defaults, the text written, reading rules and round trips.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "config/Config.h"
#include "config/TextFile.h"

namespace {

const DesktopMetrics kDesktop{4, 4, 19, 1280, 1024};

CConfig MakeConfig() {
    CConfig config;
    config.ProgramDir = L"C:\\Lumoka\\";
    return config;
}

std::wstring ReadText(const std::wstring& path) {
    std::wstring text;
    EXPECT_TRUE(ReadTextFile(path, text));
    return text;
}

}  // namespace

TEST(SettingsTest, MissingFileGivesEveryDefault) {
    CTempFolder folder;
    CConfig config = MakeConfig();
    config.Type = 7;
    config.TopMost = 1;
    EXPECT_FALSE(config.LoadSettingsFrom(folder.WideFile("none.ini"), kDesktop));
    EXPECT_EQ(config.Placement, MakeDefaultPlacement(kDesktop));
    EXPECT_EQ(config.AspectRatio, 0);
    EXPECT_EQ(config.TitleBar, 1);
    EXPECT_EQ(config.Frame, 1);
    EXPECT_EQ(config.TopMost, 0);
    EXPECT_EQ(config.Snap, 1);
    EXPECT_EQ(config.Drag, 1);
    EXPECT_EQ(config.ScreenSaverStop, 1);
    EXPECT_EQ(config.MonitorPowerOffStop, 1);
    EXPECT_EQ(config.SystemStanbyStop, 1);
    EXPECT_EQ(config.Folder, L"C:\\Lumoka\\");
    EXPECT_EQ(config.Type, 2);
    EXPECT_EQ(config.VideoSize, 1);
    EXPECT_EQ(config.Crop, 1);
    EXPECT_EQ(config.JpegQuality, 100);
}

TEST(SettingsTest, DefaultFileTextLineByLine) {
    CTempFolder folder;
    CConfig config = MakeConfig();
    config.ResetSettings(kDesktop);
    const std::wstring path = folder.WideFile("Lumoka2.ini");
    ASSERT_TRUE(config.SaveSettingsTo(path));
    const std::vector<std::wstring> expected = {
        L"[Common]",
        L"FileVersion=4",
        L"",
        L"[Window]",
        L"Placement="
        L"2C0000000000000000000000000000000000000000000000000000003C01000003010000C4030000"
        L"FE02000034",
        L"AspectRatio=0",
        L"TitleBar=1",
        L"Frame=1",
        L"TopMost=0",
        L"Snap=1",
        L"Drag=1",
        L"ScreenSaverStop=1",
        L"MonitorPowerOffStop=1",
        L"SystemStanbyStop=1",
        L"",
        L"[SnapShot]",
        L"Folder=C:\\Lumoka\\",
        L"Type=2",
        L"VideoSize=1",
        L"Crop=1",
        L"JpegQuality=100",
        L"",
    };
    const std::wstring text = ReadText(path);
    const std::vector<std::wstring> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), expected.size()) << std::string(text.begin(), text.end());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
    EXPECT_EQ(text.back(), L'\n');
}

TEST(SettingsTest, SaveThenLoadGivesTheSameValues) {
    CTempFolder folder;
    CConfig config = MakeConfig();
    config.Placement.flags = 2;
    config.Placement.showCmd = 3;
    config.Placement.ptMinPosition = PlacementPoint{-32000, -32000};
    config.Placement.rcNormalPosition = PlacementRect{-10, 20, 1900, 1060};
    config.AspectRatio = 1;
    config.TitleBar = 0;
    config.Frame = 0;
    config.TopMost = 1;
    config.Snap = 0;
    config.Drag = 0;
    config.ScreenSaverStop = 0;
    config.MonitorPowerOffStop = 0;
    config.SystemStanbyStop = 0;
    config.Folder = L"D:\\写真\\スナップ";
    config.Type = 1;
    config.VideoSize = 2;
    config.Crop = 0;
    config.JpegQuality = -5;  // nothing is range-checked
    const std::wstring path = folder.WideFile("Lumoka2.ini");
    ASSERT_TRUE(config.SaveSettingsTo(path));

    CConfig loaded = MakeConfig();
    ASSERT_TRUE(loaded.LoadSettingsFrom(path, kDesktop));
    EXPECT_EQ(loaded.Placement, config.Placement);
    EXPECT_EQ(loaded.AspectRatio, 1);
    EXPECT_EQ(loaded.TitleBar, 0);
    EXPECT_EQ(loaded.Frame, 0);
    EXPECT_EQ(loaded.TopMost, 1);
    EXPECT_EQ(loaded.Snap, 0);
    EXPECT_EQ(loaded.Drag, 0);
    EXPECT_EQ(loaded.ScreenSaverStop, 0);
    EXPECT_EQ(loaded.MonitorPowerOffStop, 0);
    EXPECT_EQ(loaded.SystemStanbyStop, 0);
    EXPECT_EQ(loaded.Folder, config.Folder);
    EXPECT_EQ(loaded.Type, 1);
    EXPECT_EQ(loaded.VideoSize, 2);
    EXPECT_EQ(loaded.Crop, 0);
    EXPECT_EQ(loaded.JpegQuality, -5);
}

TEST(SettingsTest, ReadingRulesOnAHandWrittenFile) {
    CTempFolder folder;
    WriteBytes(folder.File("Lumoka2.ini"),
               "; comment\r\n"
               "[Window\r\n"
               "  AspectRatio=1\r\n"
               "TopMost = 1\r\n"
               "snap=0\r\n"
               "Drag=yes\r\n"
               "Frame=0\r\n"
               "Placement=2C0000000000000000000000000000000000000000000000000000003C01000003010000"
               "C4030000FE02000035\r\n"
               "[]\r\n"
               "TitleBar=0\r\n"
               "[SnapShot]\r\n"
               "Type=x\r\n"
               "Folder=E:\\shots\r\n");
    CConfig config = MakeConfig();
    ASSERT_TRUE(config.LoadSettingsFrom(folder.WideFile("Lumoka2.ini"), DesktopMetrics{}));
    EXPECT_EQ(config.AspectRatio, 0);  // the line began with spaces
    EXPECT_EQ(config.TopMost, 0);      // the key was "TopMost "
    EXPECT_EQ(config.Snap, 1);         // keys are case-sensitive
    EXPECT_EQ(config.Drag, 0);         // not a number: 0, not the default
    EXPECT_EQ(config.Frame, 0);
    EXPECT_EQ(config.TitleBar, 0);  // "[]" kept section Window
    // The checksum is off by one: the default placement of this (empty) desktop instead.
    EXPECT_EQ(config.Placement, MakeDefaultPlacement(DesktopMetrics{}));
    EXPECT_EQ(config.Type, 0);
    EXPECT_EQ(config.Folder, L"E:\\shots");
    EXPECT_EQ(config.JpegQuality, 100);
}

TEST(SettingsTest, SaveStartsFromAnEmptyDocument) {
    CTempFolder folder;
    const std::string file = folder.File("Lumoka2.ini");
    WriteBytes(file, "; keep me?\r\n[Extra]\r\nKey=1\r\n[Window]\r\nUnknown=5\r\nTopMost=1\r\n");
    CConfig config = MakeConfig();
    ASSERT_TRUE(config.LoadSettingsFrom(folder.WideFile("Lumoka2.ini"), kDesktop));
    EXPECT_EQ(config.TopMost, 1);
    ASSERT_TRUE(config.SaveSettingsTo(folder.WideFile("Lumoka2.ini")));
    const std::string bytes = ReadBytes(file);
    EXPECT_EQ(bytes.find("Extra"), std::string::npos);
    EXPECT_EQ(bytes.find("Unknown"), std::string::npos);
    EXPECT_EQ(bytes.find("keep me"), std::string::npos);
    EXPECT_NE(bytes.find("TopMost=1\r\n"), std::string::npos);
}

TEST(SettingsTest, ModulePathGivesTheProgramFolderAndFiles) {
    CConfig config;
    EXPECT_FALSE(config.InitFromModulePath(L"Lumoka2.exe"));
    EXPECT_EQ(config.Initialized, 0);
    EXPECT_TRUE(config.ProgramDir.empty());
    ASSERT_TRUE(config.InitFromModulePath(L"C:\\Program Files\\Lumoka2\\Lumoka2.exe"));
    EXPECT_EQ(config.Initialized, 1);
    EXPECT_EQ(config.ProgramDir, L"C:\\Program Files\\Lumoka2\\");
    EXPECT_EQ(config.SettingsPath, L"C:\\Program Files\\Lumoka2\\Lumoka2.ini");
    EXPECT_EQ(config.ProfilePath, L"C:\\Program Files\\Lumoka2\\Profile.ini");
}

TEST(SettingsTest, NativeInitFindsTheTestProgram) {
    CConfig config;
    ASSERT_TRUE(config.Init());
    EXPECT_EQ(config.ProgramDir.back(), L'/');
    EXPECT_EQ(config.SettingsPath, config.ProgramDir + L"Lumoka2.ini");
    // The process's shared configuration starts uninitialised and keeps what it is given.
    EXPECT_EQ(TheConfig().Initialized, 0);
    ASSERT_TRUE(TheConfig().Init());
    EXPECT_EQ(TheConfig().SettingsPath, config.SettingsPath);
}
