// The native file layer: text-mode bytes on disk and saves that never destroy the old file.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "config/Config.h"
#include "config/IniFile.h"
#include "config/TextFile.h"

namespace {

// Turns the write fault off again however the test ends.
struct CWriteFault {
    explicit CWriteFault(int64_t failingWrite) { SetTextFileWriteFaultForTesting(failingWrite); }
    ~CWriteFault() { SetTextFileWriteFaultForTesting(-1); }
};

}  // namespace

TEST(TextFileTest, WritesCrLfAndUtf8WithoutByteOrderMark) {
    CTempFolder folder;
    ASSERT_TRUE(ReplaceTextFile(folder.WideFile("a.ini"), L"[S]\nName=日本\n\n"));
    EXPECT_EQ(ReadBytes(folder.File("a.ini")), "[S]\r\nName=\xE6\x97\xA5\xE6\x9C\xAC\r\n\r\n");
}

TEST(TextFileTest, ReadsLikeTextMode) {
    CTempFolder folder;
    WriteBytes(folder.File("a.ini"), std::string("A=1\r\nB=2\rC\nD=\xE3\x81\x82\r\n\x1A"
                                                 "E=5\r\n"));
    std::wstring text = L"stale";
    ASSERT_TRUE(ReadTextFile(folder.WideFile("a.ini"), text));
    // CR LF becomes LF, a lone CR stays, reading stops at Ctrl-Z.
    EXPECT_EQ(text, L"A=1\nB=2\rC\nD=あ\n");
}

TEST(TextFileTest, MalformedBytesBecomeReplacementCharacters) {
    CTempFolder folder;
    WriteBytes(folder.File("a.ini"), std::string("K=\xFF\xC3(\xE6\x97\n"));
    std::wstring text;
    ASSERT_TRUE(ReadTextFile(folder.WideFile("a.ini"), text));
    EXPECT_EQ(text, L"K=\xFFFD\xFFFD(\xFFFD\xFFFD\n");
}

TEST(TextFileTest, MissingFileOrFolder) {
    CTempFolder folder;
    std::wstring text = L"stale";
    EXPECT_FALSE(ReadTextFile(folder.WideFile("none.ini"), text));
    CIniFile ini;
    ini.SetString(L"S", L"K", L"v");
    EXPECT_FALSE(ini.Load(folder.WideFile("none.ini")));
    EXPECT_TRUE(ini.RawText().empty());
    EXPECT_TRUE(ini.Sections().empty());
    EXPECT_FALSE(ini.Save(folder.WideFile("no-such-folder/a.ini")));
    EXPECT_TRUE(folder.Names().empty());
}

TEST(TextFileTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    CTempFolder folder;
    const std::string old = "[Profile]\r\nSelected=3\r\n\r\n";
    WriteBytes(folder.File("Profile.ini"), old);
    CConfig config;
    config.ResetProfiles();
    {
        CWriteFault fault(0);
        EXPECT_FALSE(config.SaveProfilesTo(folder.WideFile("Profile.ini")));
    }
    EXPECT_EQ(ReadBytes(folder.File("Profile.ini")), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Profile.ini"});
    // The fault is spent: the next save goes through.
    EXPECT_TRUE(config.SaveProfilesTo(folder.WideFile("Profile.ini")));
    EXPECT_NE(ReadBytes(folder.File("Profile.ini")), old);
}

TEST(TextFileTest, FailedFirstSaveLeavesNoFile) {
    CTempFolder folder;
    CConfig config;
    config.ResetSettings(DesktopMetrics{});
    CWriteFault fault(0);
    EXPECT_FALSE(config.SaveSettingsTo(folder.WideFile("Lumoka2.ini")));
    EXPECT_TRUE(folder.Names().empty());
}

TEST(TextFileTest, SaveKeepsPermissionsAndReadsBackThroughTheDocument) {
    CTempFolder folder;
    WriteBytes(folder.File("a.ini"), "old");
    ASSERT_EQ(::chmod(folder.File("a.ini").c_str(), 0600), 0);
    CIniFile ini;
    ini.SetString(L"S", L"K", L"値");
    ASSERT_TRUE(ini.Save(folder.WideFile("a.ini")));
    struct stat st {};
    ASSERT_EQ(::stat(folder.File("a.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    CIniFile back;
    ASSERT_TRUE(back.Load(folder.WideFile("a.ini")));
    back.Parse();
    EXPECT_EQ(back.Serialize(), ini.Serialize());
    EXPECT_EQ(back.Path(), folder.WideFile("a.ini"));
}
