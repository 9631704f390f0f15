// The main window's playback services: the workers, screen saver, monitor power and standby,
// process priority, volume.
#include "ui/main/MainDlg.h"

bool CMainDlg::HandleServiceMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

bool CMainDlg::OnServiceCommand(UINT) { return false; }

void CMainDlg::StartCursorWorker() {}

void CMainDlg::StopCursorWorker() {}

void CMainDlg::OnGraphBuilt() {}

void CMainDlg::OnGraphTornDown() {}
