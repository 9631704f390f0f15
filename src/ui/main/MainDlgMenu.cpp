// The main window's context menu and command dispatch. The menu is loaded afresh from its
// template at every right-button release; the commands are offered to the geometry and service
// handlers first, then to the graph commands and the dialog seams.
#include "config/Config.h"
#include "ui/main/CommandIds.h"
#include "ui/main/ContextMenu.h"
#include "ui/main/MainDlg.h"
#include "wincom/UniqueHandle.h"

CMainDlg::CFullScreenCursorPause::CFullScreenCursorPause(CMainDlg& window)
    : m_window(window), m_paused(window.IsFullScreen()) {
    if (m_paused) m_window.StopCursorWorker();
}

CMainDlg::CFullScreenCursorPause::~CFullScreenCursorPause() {
    if (m_paused) m_window.StartCursorWorker();
}

void CMainDlg::ShowContextMenu() {
    // In fullscreen mode the cursor shows while the menu is open and hides again afterwards.
    CFullScreenCursorPause pause(*this);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CContextMenu menu;
    const MenuSnapshot snapshot =
        TakeMenuSnapshot(TheConfig(), m_graph, ::IsZoomed(GetHwnd()) != FALSE, IsFullScreen());
    if (!menu.Load(nullptr, ComputeContextMenu(snapshot))) return;
    // The choice arrives as WM_COMMAND once the menu has closed.
    ::TrackPopupMenu(menu.Popup(), TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, GetHwnd(),
                     nullptr);
}

bool CMainDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menu commands only: controls would send a notification code and a window, and OK and
    // Cancel keep the dialog's own handling.
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) != 0 || lParam != 0 || id == IDOK || id == IDCANCEL) {
        return CDialog::OnCommand(wParam, lParam);
    }
    DispatchCommand(id);
    return true;
}

void CMainDlg::DispatchCommand(UINT id) {
    if (OnRecoveryCommand(id)) return;
    if (OnGeometryCommand(id) || OnServiceCommand(id) || OnGraphCommand(id)) return;
    switch (id) {
        case ID_PROFILE_SETTINGS:
            OnProfileSettings();
            break;
        case ID_VIDEO_PROC_AMP:
            OnVideoProcAmp();
            break;
        case ID_CROPPING:
            OnCropping();
            break;
        case ID_SNAPSHOT:
            OnSnapshot();
            break;
        case ID_SNAPSHOT_OPEN_FOLDER:
            OnOpenSnapshotFolder();
            break;
        case ID_SNAPSHOT_SETTINGS:
            OnSnapshotSettings();
            break;
        case ID_VERSION:
            OnVersion();
            break;
        case ID_EXIT:
            // Closes exactly as the close box does.
            ::PostMessageW(GetHwnd(), WM_CLOSE, 0, 0);
            break;
        default:
            if (id >= ID_FILTER_FIRST && id <= ID_FILTER_LAST) {
                CFullScreenCursorPause pause(*this);
                m_graph.ShowFilterProperties(id - ID_FILTER_FIRST);
            }
            // The debug items and unknown ids do nothing.
            break;
    }
}
