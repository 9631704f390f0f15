// The main window's services in process under Wine, around a real graph of the virtual test
// card: the screen saver and monitor power-off are held off only while a graph exists, and the
// system-standby requirement is requested by a build and cleared by "停止".
#include <windows.h>

#include <gtest/gtest.h>

#include "app/ProgramGraphFactory.h"
#include "config/Config.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainDlg.h"

namespace {

// Records what the window's procedure answered to the last system command: TRUE swallowed it,
// FALSE left it to default processing.
class CObservedMainDlg : public CMainDlg {
public:
    CObservedMainDlg() : CMainDlg(MakeProgramGraphFactory()) {}
    INT_PTR SysCommand(WPARAM command) {
        m_answer = -1;
        ::SendMessageW(GetHwnd(), WM_SYSCOMMAND, command, 0);
        return m_answer;
    }

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const INT_PTR answer = CMainDlg::DialogProc(msg, wParam, lParam);
        if (msg == WM_SYSCOMMAND) m_answer = answer;
        return answer;
    }

private:
    INT_PTR m_answer = -1;
};

// The thread's execution state, read with the one call that reports it and then put back.
EXECUTION_STATE ExecutionState() {
    const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
    SetThreadExecutionState(state);
    return state;
}

TEST(MainWindowServices, ScreenSaverAndStandbyFollowTheGraph) {
    CConfig& config = TheConfig();
    ASSERT_TRUE(config.Init());
    config.SecondInstance = 1;  // nothing is written beside the test program
    SetThreadExecutionState(ES_CONTINUOUS);
    CObservedMainDlg window;
    ASSERT_TRUE(window.Create());
    Profile& card = config.Profiles[0];
    card.Video.FriendlyName = L"Lumoka Test Card";
    card.Video.DevicePath = L"lumoka-testcard-0";
    card.VideoFormatIndex = 7;  // RGB32 720 x 480
    card.VideoFormatWidth = 720;
    card.VideoFormatHeight = 480;
    card.VideoFormatAvgTimePerFrame = 333667;
    config.Selected = 0;

    EXPECT_EQ(window.SysCommand(SC_SCREENSAVE), FALSE) << "no graph: the screen saver may start";
    EXPECT_EQ(window.SysCommand(SC_MONITORPOWER), FALSE);

    window.Rebuild();
    ASSERT_TRUE(window.Graph().IsBuilt()) << "the test card's graph";
    EXPECT_EQ(ExecutionState(), ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    EXPECT_EQ(window.SysCommand(SC_SCREENSAVE), TRUE);
    EXPECT_EQ(window.SysCommand(SC_MONITORPOWER), TRUE);
    EXPECT_EQ(window.SysCommand(SC_MAXIMIZE), FALSE) << "other commands go on as usual";
    config.ScreenSaverStop = 0;
    EXPECT_EQ(window.SysCommand(SC_SCREENSAVE), FALSE);

    ::SendMessageW(window.GetHwnd(), WM_COMMAND, ID_STOP, 0);
    EXPECT_FALSE(window.Graph().IsBuilt());
    EXPECT_EQ(ExecutionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    EXPECT_EQ(window.SysCommand(SC_MONITORPOWER), FALSE);
    window.DestroyWindow();
}

}  // namespace
