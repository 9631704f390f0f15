// Checks that the Wine harness gives Windows programs the environment the product expects:
// a Japanese user's ANSI code page, the matching C runtime locale, and no crash dialog.
#include <windows.h>

#include <clocale>
#include <string>

#include <gtest/gtest.h>

TEST(WineHarness, AnsiCodePageIsJapanese) {
    EXPECT_EQ(GetACP(), 932u);
    const char* name = setlocale(LC_ALL, "");
    ASSERT_NE(name, nullptr);
    EXPECT_NE(std::string(name).find("932"), std::string::npos) << name;
    setlocale(LC_ALL, "C");
}

TEST(WineHarness, CrashDialogIsOff) {
    DWORD value = 1, size = sizeof(value);
    LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", L"ShowCrashDialog",
                              RRF_RT_REG_DWORD, nullptr, &value, &size);
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(value, 0u);
}
