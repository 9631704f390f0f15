// The configuration files as Windows sees them: bytes in the ANSI code page (932 here), CR LF
// line ends, saves that leave the old file whole when the target cannot be replaced, and the
// program folder from the module path. Run under Wine with a Japanese locale.
#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "WinScratch.h"
#include "config/Config.h"
#include "config/TextFile.h"

namespace {

// The program runs with the C runtime locale taken from the environment (code page 932 here).
class ConfigWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "the Wine prefix must run with a Japanese locale";
        ASSERT_NE(setlocale(LC_ALL, ""), nullptr);
    }
    void TearDown() override { SetTextFileWriteFaultForTesting(-1); }

    CConfig DefaultProfiles() {
        CConfig config;
        config.ResetProfiles();
        return config;
    }

    // Checks that a save failed and left the old bytes and no temporary file behind.
    void ExpectFailedSaveKeeps(const CWinTempFolder& folder, const std::wstring& path,
                               const std::string& old) {
        EXPECT_FALSE(DefaultProfiles().SaveProfilesTo(path));
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Profile.ini"});
    }

    const std::string m_old = "[Profile]\r\nSelected=5\r\n\r\n";
};

// CP932 for 日本語.
const char kNihongo[] = "\x93\xfa\x96\x7b\x8c\xea";

}  // namespace

TEST_F(ConfigWineTest, FilesAreCp932WithCrLfAndRoundTripJapanese) {
    CWinTempFolder folder;
    CConfig config = DefaultProfiles();
    config.Profiles[0].Name = L"日本語";
    config.Profiles[4].Video.FriendlyName = L"キャプチャ ボード①";
    const std::wstring path = folder.File(L"Profile.ini");
    ASSERT_TRUE(config.SaveProfilesTo(path));

    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.rfind("[Common]\r\nFileVersion=4\r\n\r\n[Profile]\r\n", 0), 0u);  // no BOM
    EXPECT_NE(bytes.find(std::string("Name=") + kNihongo + "\r\n"), std::string::npos);
    // プロファイル1 in CP932.
    EXPECT_NE(bytes.find("Name=\x83\x76\x83\x8d\x83\x74\x83\x40\x83\x43\x83\x8b"
                         "1\r\n"),
              std::string::npos);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");

    CConfig loaded;
    ASSERT_TRUE(loaded.LoadProfilesFrom(path));
    ASSERT_EQ(loaded.Profiles.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(loaded.Profiles[i] == config.Profiles[i]) << i;
}

TEST_F(ConfigWineTest, BytesMatchTheRuntimesTextMode) {
    CWinTempFolder folder;
    const std::wstring text = L"[設定]\nフォルダ=C:\\写真\\表示\n\n[S]\nK=v\n\n";
    ASSERT_TRUE(ReplaceTextFile(folder.File(L"ours.ini"), text));
    FILE* file = _wfopen(folder.File(L"crt.ini").c_str(), L"wt");
    ASSERT_NE(file, nullptr);
    ASSERT_GE(fputws(text.c_str(), file), 0);
    fclose(file);
    EXPECT_EQ(ReadBytes(folder.File(L"ours.ini")), ReadBytes(folder.File(L"crt.ini")));

    // Reading: CR LF pairs, a lone CR, double-byte characters whose second byte is "\" or
    // "[", and a Ctrl-Z after which nothing counts.
    const std::string stored = std::string("[A]\r\nK=") + kNihongo +
                               "\r\nL=\x95\x5c\x83\x5b\rX\r\n" + "\x1a" + "M=after\r\n";
    WriteBytes(folder.File(L"in.ini"), stored);
    std::wstring ours;
    ASSERT_TRUE(ReadTextFile(folder.File(L"in.ini"), ours));
    std::wstring crt;
    file = _wfopen(folder.File(L"in.ini").c_str(), L"rt");
    ASSERT_NE(file, nullptr);
    wchar_t line[256];
    while (fgetws(line, 256, file)) crt += line;
    fclose(file);
    EXPECT_EQ(ours, crt);
    EXPECT_EQ(ours, L"[A]\nK=日本語\nL=表ゼ\rX\n");
}

TEST_F(ConfigWineTest, FailedSaveKeepsOpenFile) {
    // Replacing a file needs delete access to it: another handle opened without
    // FILE_SHARE_DELETE (an editor, a virus scanner) makes the save fail.
    CWinTempFolder folder;
    const std::wstring path = folder.File(L"Profile.ini");
    WriteBytes(path, m_old);
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ExpectFailedSaveKeeps(folder, path, m_old);
    CloseHandle(other);
    EXPECT_TRUE(DefaultProfiles().SaveProfilesTo(path));
    EXPECT_NE(ReadBytes(path), m_old);
}

TEST_F(ConfigWineTest, FailedSaveKeepsReadOnlyFile) {
    // Windows refuses to replace a read-only file; Wine 8's MoveFileExW replaces it, so the
    // save checks the attribute itself. Both then keep the old file.
    CWinTempFolder folder;
    const std::wstring path = folder.File(L"Profile.ini");
    WriteBytes(path, m_old);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectFailedSaveKeeps(folder, path, m_old);
    EXPECT_NE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DefaultProfiles().SaveProfilesTo(path));
}

TEST_F(ConfigWineTest, FailedSaveKeepsFileOnWriteFault) {
    CWinTempFolder folder;
    const std::wstring path = folder.File(L"Profile.ini");
    WriteBytes(path, m_old);
    SetTextFileWriteFaultForTesting(0);
    ExpectFailedSaveKeeps(folder, path, m_old);
    // And a first save that fails leaves no file at all.
    CConfig settings;
    settings.ResetSettings(DesktopMetrics{});
    SetTextFileWriteFaultForTesting(0);
    EXPECT_FALSE(settings.SaveSettingsTo(folder.File(L"Lumoka2.ini")));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"Profile.ini"});
}

TEST_F(ConfigWineTest, EmojiBecomesOneQuestionMark) {
    // Code page 932 has no emoji: the character is written as "?" and the rest is saved.
    CWinTempFolder folder;
    CConfig config = DefaultProfiles();
    config.Profiles[2].Name = L"A\U0001F600B";
    config.Profiles[3].Name = L"日本語";
    config.Profiles[3].PreviewAudioVolume = 42;
    const std::wstring path = folder.File(L"Profile.ini");
    ASSERT_TRUE(config.SaveProfilesTo(path));
    const std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("[Profile:02]\r\nName=A?B\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(std::string("[Profile:03]\r\nName=") + kNihongo + "\r\n"),
              std::string::npos);

    CConfig loaded;
    ASSERT_TRUE(loaded.LoadProfilesFrom(path));
    EXPECT_EQ(loaded.Profiles[2].Name, L"A?B");
    EXPECT_EQ(loaded.Profiles[3].Name, L"日本語");
    EXPECT_EQ(loaded.Profiles[3].PreviewAudioVolume, 42);

    CConfig settings;
    settings.ResetSettings(DesktopMetrics{});
    settings.Folder = L"C:\\\U0001F4F7\\写真";
    ASSERT_TRUE(settings.SaveSettingsTo(folder.File(L"Lumoka2.ini")));
    EXPECT_NE(ReadBytes(folder.File(L"Lumoka2.ini")).find("Folder=C:\\?\\\x8e\xca\x90\x5e\r\n"),
              std::string::npos);
}

TEST_F(ConfigWineTest, TypedNamesAreStoredAsCodePage932GivesThemBack) {
    // Hangul and the emoji are not in code page 932; "＝" and "①" are.
    const struct Row {
        const wchar_t* typed;
        const wchar_t* stored;
    } rows[] = {{L"한국 \U0001F600", L"?? ?"}, {L"a=b\r\nc①", L"a＝b c①"}, {L"日本語", L"日本語"}};
    CWinTempFolder folder;
    CConfig config = DefaultProfiles();
    for (size_t i = 0; i < 3; ++i) {
        config.Profiles[i].Name = StorableProfileName(rows[i].typed);
        EXPECT_EQ(config.Profiles[i].Name, rows[i].stored) << i;
    }
    const std::wstring path = folder.File(L"Profile.ini");
    ASSERT_TRUE(config.SaveProfilesTo(path));
    CConfig loaded;
    ASSERT_TRUE(loaded.LoadProfilesFrom(path));
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(loaded.Profiles[i] == config.Profiles[i]) << i;
}

TEST_F(ConfigWineTest, InitGivesTheProgramFolder) {
    wchar_t module[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
    const std::wstring path = module;
    CConfig config;
    ASSERT_TRUE(config.Init());
    EXPECT_EQ(config.Initialized, 1);
    ASSERT_FALSE(config.ProgramDir.empty());
    EXPECT_EQ(config.ProgramDir.back(), L'\\');
    EXPECT_EQ(config.ProgramDir + L"config_wine_test.exe", path);
    EXPECT_EQ(config.SettingsPath, config.ProgramDir + L"Lumoka2.ini");
    EXPECT_EQ(config.ProfilePath, config.ProgramDir + L"Profile.ini");
}

TEST_F(ConfigWineTest, MissingSettingsFileGivesTheCentredDefaultOfThisDesktop) {
    CWinTempFolder folder;
    CConfig config;
    config.ProgramDir = L"C:\\Lumoka\\";
    config.SettingsPath = folder.File(L"Lumoka2.ini");
    config.Placement.showCmd = 7;
    EXPECT_FALSE(config.LoadSettings());
    const DesktopMetrics desktop = QueryDesktopMetrics();
    EXPECT_GT(desktop.desktopWidth, 0);
    EXPECT_GT(desktop.cyCaption, 0);
    EXPECT_EQ(config.Placement, MakeDefaultPlacement(desktop));
    const PlacementRect& r = config.Placement.rcNormalPosition;
    EXPECT_EQ(r.right - r.left, 640 + 2 * GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(config.Folder, L"C:\\Lumoka\\");
    // And the member paths are what the program saves to.
    EXPECT_TRUE(config.SaveSettings());
    EXPECT_TRUE(config.LoadSettings());
}
