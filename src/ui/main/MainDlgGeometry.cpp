// The main window's geometry: sizing, zoom, fixed sizes, frame and title bar, snapping,
// dragging, fullscreen.
#include "ui/main/MainDlg.h"

bool CMainDlg::HandleGeometryMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

bool CMainDlg::OnGeometryCommand(UINT) { return false; }

void CMainDlg::RefitWindow() {}

void CMainDlg::UpdateTitle() { RefreshTitle(); }
