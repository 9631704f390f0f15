// CMainDlg: the program's main window, a bare picture area made from dialog template 102 and
// run modally by the application; its modal loop is the program's message loop.
//
// At initialisation it loads the settings and the profiles, restores the stored placement,
// applies the frame, title-bar and topmost settings and the selected profile's process priority
// and aspect ratio, and starts the title refresh worker. Everything the user does goes through
// the context menu on the picture; the commands change the settings, the selected profile and
// the graph, which the window reaches only through its one CGraphController.
//
// The code lives in files by concern:
//   MainDlg.cpp           lifecycle and the dialog procedure
//   MainDlgMenu.cpp       the context menu and the command dispatch
//   MainDlgGraph.cpp      play, stop, rebuild, profile choice, transform and renderer commands
//   MainDlgDialogs.cpp    the commands that open dialogs
//   MainDlgGeometry.cpp   sizing, zoom, fullscreen, painting, the title
//   MainDlgServices.cpp   workers, screen saver and power, priority, volume
//
// Threads: the main thread only, except the workers, which only post messages.
// Ownership: the application owns the object; the object owns its window, its icons, the
// workers' flags and the graph controller; the configuration is the process-wide TheConfig().
#pragma once

#include <windows.h>

#include <memory>

#include "config/Placement.h"
#include "graph/GraphController.h"
#include "ui/main/CommandRules.h"
#include "ui/main/CursorHideWorker.h"
#include "ui/main/DeliveredRateMeter.h"
#include "ui/main/MainMessages.h"
#include "ui/main/RecoveryRules.h"
#include "ui/main/TitleRefreshWorker.h"
#include "ui/main/VideoWindowSide.h"
#include "wincom/UniqueHandle.h"
#include "winfx/Dialog.h"

class CMainDlg : public lumoka::CDialog {
public:
    // The factory creates the graph's platform objects and the transform filter; without one
    // the controller creates platform objects itself and has no transform filter.
    explicit CMainDlg(std::unique_ptr<IGraphFactory> factory = nullptr);
    ~CMainDlg() override;

    // The window's one graph controller: owner of the aspect pair, the native size and the
    // crop rectangle.
    CGraphController& Graph() { return m_graph; }
    const CGraphController& Graph() const { return m_graph; }

    bool IsFullScreen() const { return m_fullScreen; }

    // The "停止" command's work: stop and tear down the graph, paint black.
    void StopPlayback();
    // Tear down, build the selected profile's graph and set the window up for it; a failure
    // shows the build log in one message box.
    void Rebuild();

    // In fullscreen mode stops the cursor auto-hide worker for its lifetime (while a menu, a
    // property frame or a dialog is open); nothing otherwise.
    class CFullScreenCursorPause {
    public:
        explicit CFullScreenCursorPause(CMainDlg& window);
        ~CFullScreenCursorPause();
        CFullScreenCursorPause(const CFullScreenCursorPause&) = delete;
        CFullScreenCursorPause& operator=(const CFullScreenCursorPause&) = delete;

    private:
        CMainDlg& m_window;
        bool m_paused;
    };

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnDestroy() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // --- dialog seams (MainDlgDialogs.cpp), each filled by the area that owns the dialog ---
    void OnProfileSettings();
    void OnVideoProcAmp();
    void OnCropping();
    void OnSnapshot();
    void OnOpenSnapshotFolder();
    void OnSnapshotSettings();
    void OnVersion();

    // --- geometry and services (MainDlgGeometry.cpp, MainDlgServices.cpp) ---
    // A true return means handled, with *result as the dialog-procedure result.
    bool HandleGeometryMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    bool HandleServiceMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    bool OnGeometryCommand(UINT id);
    bool OnServiceCommand(UINT id);
    // The re-fit of the window width to the aspect ratio (after a build, on the aspect commands).
    void RefitWindow();
    void UpdateTitle();
    void StartCursorWorker();
    void StopCursorWorker();
    // A graph was built and runs / the graph was torn down: execution state and services.
    void OnGraphBuilt();
    void OnGraphTornDown();

    // --- recovery from a lost device (MainDlgRecovery.cpp) ---
    // Graph events, the recovery timer, device arrivals, closing; true means handled.
    bool HandleRecoveryMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    // Before the dispatch: "再生"/"再構築" while waiting try at once (true: handled); "停止",
    // a profile and the editor end the wait and go on to their own work.
    bool OnRecoveryCommand(UINT id);
    // On the black client area while waiting with no graph: the waiting line.
    void PaintRecoveryLine(HDC dc, const RECT& client);

private:
    void OnGraphEvents(const std::vector<GraphEvent>& events);
    void ApplyRecovery(RecoveryAction action);
    void TryRecoveryBuild();
    void ShowRecoveryFailure();
    void ArmRecovery();
    void EndRecovery();
    bool ProfileDevicesListed() const;

    CRecoveryRules m_recovery;
    HDEVNOTIFY m_deviceNotify = nullptr;
    bool m_quietRebuild = false;  // a try of the wait: no failure box

    // Start-up, in the order OnInitDialog runs them.
    void SetCaptionAndIcons();
    void LoadConfiguration();
    void ApplyPlacement();
    void ApplyFrameStyles();
    void ApplyTopMost();
    void ApplyProcessPriority();
    void InitVideoGeometry();

    void Paint();

    // Shut-down.
    void RecordPlacement();
    void SaveConfiguration();

    // The context menu and the command dispatch (MainDlgMenu.cpp).
    void ShowContextMenu();
    void DispatchCommand(UINT id);

    // Graph commands (MainDlgGraph.cpp); true when id is one of them.
    bool OnGraphCommand(UINT id);
    void ChooseProfile(size_t index);
    void ForwardTransformSetting(ProfileSetting setting, const Profile& profile);

    // Geometry (MainDlgGeometry.cpp): sizing, moving, snapping, fullscreen mode.
    bool CanResize() const;
    IntRect ClientRectOnScreen() const;
    void ResizeClient(int32_t width, int32_t height);
    bool OnSizing(UINT edge, RECT* rect);
    void Zoom(double factor);
    void SetFixedClientSize(int32_t width, int32_t height);
    void SetAspectRatio(int32_t stored);
    void SetStyleAndRect(LONG_PTR style, const IntRect& window);
    void ToggleTitleBar();
    void ToggleFrame();
    void ToggleTopMost();
    void OnLeftButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLeftButtonUp();
    void SnapWindow();
    void EnterFullScreen();
    void LeaveFullScreen();

    // Services (MainDlgServices.cpp): title, cursor, power, priority, volume.
    double FrameRate();
    bool SwallowsSystemCommand(WPARAM command) const;
    void SetVolume(int32_t percent);
    void OnWheel(int delta);
    void ResetCursorIdle();

    lumoka::UniqueIcon m_bigIcon;
    lumoka::UniqueIcon m_smallIcon;
    CTitleRefreshWorker m_titleWorker;
    CVideoWindowSide m_windowSide;
    CGraphController m_graph;

    // Fullscreen mode and the placement from before it: closing in fullscreen mode stores that
    // placement rather than the screen-filling one.
    bool m_fullScreen = false;
    WindowPlacement m_savedPlacement;

    // Moving by dragging the picture: the cursor's offset from the window's top-left corner.
    bool m_dragging = false;
    POINT m_dragOffset{};
    // The last mouse position in client coordinates, to tell movement from repeated moves.
    POINT m_lastMouse{-1, -1};
    CCursorHideWorker m_cursorWorker{WM_HIDE_CURSOR};
    CDeliveredRateMeter m_rateMeter;
};
