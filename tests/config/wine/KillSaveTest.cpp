// Saves killed at each of their pause points (TerminateProcess, no chance to clean up): every
// file is afterwards byte for byte either its old or its complete new text, and the next
// start removes the temporary file the killed save left, and nothing else.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "WinScratch.h"

namespace {

std::wstring HelperPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"config_save_helper.exe";
}

class KillSaveTest : public ::testing::Test {
protected:
    void MakeFolder() {
        m_scratch = std::make_unique<CWinTempFolder>(L"lumoka-kill-");
        ASSERT_TRUE(m_scratch->Created());
        m_folder = m_scratch->Path();
    }
    void RemoveFolder() {
        SetEnvironmentVariableW(L"LUMOKA_SAVE_PAUSE", nullptr);
        m_scratch.reset();
    }

    // Starts the helper; with a pause point, waits until it stops there and kills it.
    void Run(const wchar_t* pausePoint, const wchar_t* extra = L"") {
        const std::wstring signal = m_folder + L"paused.signal";
        SetEnvironmentVariableW(L"LUMOKA_SAVE_PAUSE", pausePoint);
        SetEnvironmentVariableW(L"LUMOKA_SAVE_PAUSE_SIGNAL", signal.c_str());
        // Without the trailing backslash, which would escape the closing quote.
        const std::wstring folder = m_folder.substr(0, m_folder.size() - 1);
        std::wstring command = L"\"" + HelperPath() + L"\" \"" + folder + L"\" " + extra;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        CloseHandle(process.hThread);
        if (!pausePoint) {
            EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
            DWORD code = 1;
            GetExitCodeProcess(process.hProcess, &code);
            EXPECT_EQ(code, 0u);
        } else {
            const ULONGLONG deadline = GetTickCount64() + 30000;
            while (GetFileAttributesW(signal.c_str()) == INVALID_FILE_ATTRIBUTES &&
                   GetTickCount64() < deadline) {
                EXPECT_EQ(WaitForSingleObject(process.hProcess, 20), WAIT_TIMEOUT)
                    << "the save ended without reaching its pause point";
            }
            EXPECT_NE(GetFileAttributesW(signal.c_str()), INVALID_FILE_ATTRIBUTES);
            EXPECT_TRUE(TerminateProcess(process.hProcess, 9));
            EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
            DeleteFileW(signal.c_str());
        }
        CloseHandle(process.hProcess);
    }

    std::wstring File(const wchar_t* name) const { return m_folder + name; }

    std::unique_ptr<CWinTempFolder> m_scratch;
    std::wstring m_folder;
};

struct KillCase {
    const wchar_t* point;
    bool settingsSaved;  // the settings file holds its new text after the kill
};

}  // namespace

TEST_F(KillSaveTest, EveryFileIsOldOrCompleteNewAndLeftoversGoAtNextStart) {
    // Settings file first (passage 1), profile file second (passage 2).
    const KillCase cases[] = {
        {L"before-temp", false},      {L"mid-temp", false},      {L"before-replace", false},
        {L"before-temp@2", true},     {L"mid-temp@2", true},     {L"before-replace@2", true},
        {L"profiles", true},
    };
    for (const KillCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "killed at "
                                        << std::string(c.point, c.point + wcslen(c.point)));
        MakeFolder();
        Run(nullptr);  // the files of a first run: the old texts
        const std::string oldSettings = ReadBytes(File(L"Lumoka2.ini"));
        const std::string oldProfiles = ReadBytes(File(L"Profile.ini"));
        ASSERT_FALSE(oldSettings.empty());
        ASSERT_FALSE(oldProfiles.empty());
        // The complete new texts, from an uninterrupted save of the same change.
        Run(nullptr);
        const std::string newSettings = ReadBytes(File(L"Lumoka2.ini"));
        const std::string newProfiles = ReadBytes(File(L"Profile.ini"));
        ASSERT_NE(newSettings, oldSettings);
        ASSERT_NE(newProfiles, oldProfiles);
        WriteBytes(File(L"Lumoka2.ini"), oldSettings);
        WriteBytes(File(L"Profile.ini"), oldProfiles);

        Run(c.point);
        EXPECT_EQ(ReadBytes(File(L"Lumoka2.ini")), c.settingsSaved ? newSettings : oldSettings);
        EXPECT_EQ(ReadBytes(File(L"Profile.ini")), oldProfiles);

        // The next start removes the killed save's temporary file, but no file of another.
        WriteBytes(File(L"lmkdata.tmp"), "not ours");
        WriteBytes(File(L"notes.tmp"), "not ours");
        Run(nullptr, L"--start-only");
        std::vector<std::wstring> names = m_scratch->Names();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::wstring>{L"Lumoka2.ini", L"Profile.ini",
                                                    L"lmkdata.tmp", L"notes.tmp"}));
        RemoveFolder();
    }
}
