// The portable rules of the application and its main window: the instance mutex name, the
// window title, the process priority a profile asks for, and what the window reads when no
// profile is selected.
#include <gtest/gtest.h>

#include "app/InstanceName.h"
#include "config/Profile.h"
#include "ui/main/MainWindowRules.h"

namespace {

TEST(InstanceMutexName, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ(InstanceMutexName(L"C:\\Tools\\Lumoka2.exe"), L"Lumoka2");
    EXPECT_EQ(InstanceMutexName(L"Z:\\tmp\\a.b\\Lumoka2 copy.exe"), L"Lumoka2 copy");
    EXPECT_EQ(InstanceMutexName(L"C:\\x.y\\Lumoka2"), L"Lumoka2") << "a dot in a folder";
    EXPECT_EQ(InstanceMutexName(L"C:\\dir\\viewer.test.exe"), L"viewer.test");
    EXPECT_EQ(InstanceMutexName(L"Lumoka2.exe"), L"Lumoka2");
    EXPECT_EQ(InstanceMutexName(L"/opt/app/Lumoka2.exe"), L"Lumoka2");
    EXPECT_EQ(InstanceMutexName(L""), L"");
}

TEST(WindowTitle, CarriesNameSizeFrameRateAndVolume) {
    EXPECT_EQ(FormatWindowTitle(L"プロファイル0", 640, 480, 0.0, 100),
              L"プロファイル0 [640x480 0.00fps]  (100) - Lumoka2");
    EXPECT_EQ(FormatWindowTitle(L"Cam", 1920, 1080, 29.97, 0),
              L"Cam [1920x1080 29.97fps]  (0) - Lumoka2");
    EXPECT_EQ(FormatWindowTitle(L"", 1, 2, 5.5, 35), L" [1x2 5.50fps]  (35) - Lumoka2");
    EXPECT_EQ(FormatWindowTitle(L"x", 0, 0, 59.999, -5), L"x [0x0 60.00fps]  (-5) - Lumoka2");
}

TEST(ProcessPriority, OnlyZeroToFiveChangeTheClass) {
    const ProcessPriority expected[] = {ProcessPriority::Normal, ProcessPriority::BelowNormal,
                                        ProcessPriority::Idle,   ProcessPriority::AboveNormal,
                                        ProcessPriority::High,   ProcessPriority::Realtime};
    for (int32_t stored = 0; stored <= 5; ++stored) {
        ProcessPriority priority = ProcessPriority::Normal;
        ASSERT_TRUE(ProcessPriorityFromSetting(stored, &priority)) << stored;
        EXPECT_EQ(priority, expected[stored]) << stored;
    }
    for (int32_t stored : {-1, 6, 100, INT32_MIN, INT32_MAX}) {
        ProcessPriority priority = ProcessPriority::High;
        EXPECT_FALSE(ProcessPriorityFromSetting(stored, &priority)) << stored;
        EXPECT_EQ(priority, ProcessPriority::High) << "left untouched";
    }
}

TEST(SelectedProfileView, NoProfileGivesEmptyNameAndTheDefaults) {
    const SelectedProfileView none = ViewOfSelectedProfile(nullptr);
    EXPECT_EQ(none.Name, L"");
    EXPECT_EQ(none.AudioVolume, 100);
    EXPECT_EQ(none.AspectRatio, 0);
    EXPECT_EQ(none.ProcessPriority, 3);

    Profile profile = MakeDefaultProfile(4);
    profile.PreviewAudioVolume = 30;
    profile.PreviewAspectRatio = 2;
    profile.PreviewProcessPriority = 9;
    const SelectedProfileView view = ViewOfSelectedProfile(&profile);
    EXPECT_EQ(view.Name, L"プロファイル4");
    EXPECT_EQ(view.AudioVolume, 30);
    EXPECT_EQ(view.AspectRatio, 2);
    EXPECT_EQ(view.ProcessPriority, 9);
}

}  // namespace
