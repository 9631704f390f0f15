// Lumoka2.exe end to end under Wine: the first-instance test. Only the first running copy of a
// program name writes the settings and profile files; a mutex left abandoned does not count.
#include <windows.h>

#include <thread>

#include <gtest/gtest.h>

#include "E2eFixture.h"

namespace lumoka::testing {
namespace {

TEST_F(E2eTest, SecondInstanceWritesNeitherFile) {
    const std::string settings = "[Window]\r\nTopMost=0\r\n";
    const std::string profiles = "[Profile]\r\nSelected=0\r\n";
    ASSERT_TRUE(folder_.WriteBytes(kSettings, settings));
    ASSERT_TRUE(folder_.WriteBytes(kProfiles, profiles));

    CAppProcess first;
    StartAndWait(first);
    ASSERT_TRUE(SetWindowPos(first.Window(), nullptr, 40, 50, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    first.WaitUntilIdle();
    const RECT firstRect = first.WindowRect();

    CAppProcess second;
    StartAndWait(second);
    ASSERT_NE(second.Window(), first.Window());
    CloseAndExpectCleanExit(second);
    EXPECT_EQ(folder_.ReadBytes(kSettings), settings) << "the second instance wrote settings";
    EXPECT_EQ(folder_.ReadBytes(kProfiles), profiles) << "the second instance wrote profiles";

    CloseAndExpectCleanExit(first);
    EXPECT_NE(folder_.ReadBytes(kSettings), settings);
    EXPECT_NE(folder_.ReadBytes(kProfiles), profiles);
    EXPECT_TRUE(SameRect(NormalRect(ReadBack().Placement), firstRect));
}

TEST_F(E2eTest, CopyUnderAnotherNameIsAFirstInstance) {
    const std::wstring copyName = folder_.InstanceName() + L"-copy.exe";
    ASSERT_TRUE(folder_.CopyProgram(copyName));
    CAppProcess original;
    StartAndWait(original);
    CAppProcess copy;
    StartAndWait(copy, L"プロファイル0", 100, copyName);
    CloseAndExpectCleanExit(copy);
    EXPECT_TRUE(folder_.Exists(kSettings)) << "the renamed copy is a first instance and writes";
    EXPECT_TRUE(folder_.Exists(kProfiles));
    CloseAndExpectCleanExit(original);
}

// A running copy is recognised by the mutex alone: held by this process, the program is a
// second instance and writes nothing.
TEST_F(E2eTest, MutexHeldElsewhereMakesASecondInstance) {
    UniqueHandle held(CreateMutexW(nullptr, TRUE, folder_.InstanceName().c_str()));
    ASSERT_TRUE(held);
    CAppProcess app;
    StartAndWait(app);
    CloseAndExpectCleanExit(app);
    EXPECT_FALSE(folder_.Exists(kSettings));
    EXPECT_FALSE(folder_.Exists(kProfiles));
    ReleaseMutex(held.Get());
}

// A copy that ended without releasing the mutex leaves it abandoned; the next copy takes it
// over and is the first instance.
TEST_F(E2eTest, MutexLeftAbandonedMakesAFirstInstance) {
    UniqueHandle abandoned;
    std::thread([&] {
        abandoned.Reset(CreateMutexW(nullptr, TRUE, folder_.InstanceName().c_str()));
    }).join();
    ASSERT_TRUE(abandoned);
    CAppProcess app;
    StartAndWait(app);
    CloseAndExpectCleanExit(app);
    EXPECT_TRUE(folder_.Exists(kSettings));
    EXPECT_TRUE(folder_.Exists(kProfiles));
}

}  // namespace
}  // namespace lumoka::testing
