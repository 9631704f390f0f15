#include "ui/main/MainDlg.h"

#include "config/Config.h"
#include "config/PlacementWin.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainMessages.h"
#include "ui/main/MainWindowRules.h"

namespace {

constexpr wchar_t kCaption[] = L"Lumoka2";

HICON LoadIconOfSize(int cx, int cy) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, cx, cy,
                                           LR_DEFAULTCOLOR));
}

}  // namespace

CMainDlg::CMainDlg(std::unique_ptr<IGraphFactory> factory)
    : CDialog(IDD_MAIN), m_titleWorker(WM_UPDATE_TITLE), m_graph(std::move(factory)) {
    m_graph.SetWindowSide(&m_windowSide);
    SetSwallowEnterEscape(true);
}

CMainDlg::~CMainDlg() = default;

BOOL CMainDlg::OnInitDialog() {
    m_windowSide.Attach(GetHwnd());
    SetCaptionAndIcons();
    LoadConfiguration();
    ApplyPlacement();
    ApplyFrameStyles();
    ApplyTopMost();
    ApplyProcessPriority();
    InitVideoGeometry();
    m_titleWorker.Start(GetHwnd());
    return TRUE;
}

void CMainDlg::SetCaptionAndIcons() {
    ::SetWindowTextW(GetHwnd(), kCaption);
    m_bigIcon.Reset(LoadIconOfSize(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)));
    m_smallIcon.Reset(
        LoadIconOfSize(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)));
    ::SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    ::SendMessageW(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
}

void CMainDlg::LoadConfiguration() {
    CConfig& config = TheConfig();
    config.LoadSettings();
    config.LoadProfiles();
}

void CMainDlg::ApplyPlacement() {
    const WINDOWPLACEMENT placement = ToWin32Placement(TheConfig().Placement);
    ::SetWindowPlacement(GetHwnd(), &placement);
    m_savedPlacement = TheConfig().Placement;
}

// The stored placement is a window rectangle, so removing borders here grows the client area
// rather than moving the picture.
void CMainDlg::ApplyFrameStyles() {
    const CConfig& config = TheConfig();
    LONG_PTR style = ::GetWindowLongPtrW(GetHwnd(), GWL_STYLE);
    if (config.Frame == 0) {
        style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME);
    } else if (config.TitleBar == 0) {
        style &= ~static_cast<LONG_PTR>(WS_CAPTION);
    } else {
        return;
    }
    ::SetWindowLongPtrW(GetHwnd(), GWL_STYLE, style);
    ::SetWindowPos(GetHwnd(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CMainDlg::ApplyTopMost() {
    if (TheConfig().TopMost == 0) return;
    ::SetWindowPos(GetHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Until a graph reports its video size, the picture's "input ratio" is the client size.
void CMainDlg::InitVideoGeometry() {
    const SelectedProfileView profile = ViewOfSelectedProfile(TheConfig().SelectedProfile());
    m_graph.SetAspect(AspectPairFromSetting(profile.AspectRatio));
    RECT client{};
    ::GetClientRect(GetHwnd(), &client);
    m_graph.SetNativeSize(IntSize{client.right - client.left, client.bottom - client.top});
}

void CMainDlg::Paint() {
    if (!::IsIconic(GetHwnd()) && m_graph.PaintVideo()) return;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(GetHwnd(), &ps);
    if (!dc) return;
    RECT client{};
    ::GetClientRect(GetHwnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    PaintRecoveryLine(dc, client);
    if (::IsIconic(GetHwnd())) {
        const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_bigIcon.Get());
    }
    ::EndPaint(GetHwnd(), &ps);
}

// The close box, the system menu and "終了" (a posted WM_CLOSE) all end here.
void CMainDlg::OnClose() {
    StopPlayback();
    m_graph.TearDown();
    EndDialog(IDCANCEL);
}

void CMainDlg::OnDestroy() {
    m_titleWorker.Stop();
    // A worker must not post to a window that is gone.
    StopCursorWorker();
    // Normally nothing is read: closing has already torn the graph down.
    if (Profile* profile = TheConfig().SelectedProfile()) {
        m_graph.ReadProcAmpValues(profile->VideoProcAmp);
    }
    m_graph.TearDown();
    RecordPlacement();
    SaveConfiguration();
}

void CMainDlg::RecordPlacement() {
    CConfig& config = TheConfig();
    if (m_fullScreen) {
        config.Placement = m_savedPlacement;
        return;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (::GetWindowPlacement(GetHwnd(), &placement))
        config.Placement = FromWin32Placement(placement);
}

// A second instance works normally but never writes either file.
void CMainDlg::SaveConfiguration() {
    const CConfig& config = TheConfig();
    if (config.SecondInstance != 0) return;
    config.SaveSettings();
    config.SaveProfiles();
}

INT_PTR CMainDlg::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    if (HandleRecoveryMessage(msg, wParam, lParam, &result)) return result;
    if (HandleGeometryMessage(msg, wParam, lParam, &result)) return result;
    if (HandleServiceMessage(msg, wParam, lParam, &result)) return result;
    switch (msg) {
        case WM_RBUTTONUP:
            ShowContextMenu();
            // Default processing follows, as for any button release.
            return CDialog::DialogProc(msg, wParam, lParam);
        case WM_UPDATE_TITLE:
            UpdateTitle();
            return SetMsgResult(0);
        case WM_GRAPH_NOTIFY:
            m_graph.DrainEvents();
            return SetMsgResult(0);
        case WM_PAINT:
            Paint();
            return SetMsgResult(0);
        case WM_ERASEBKGND:
            // WM_PAINT covers every pixel; erasing first would only flicker.
            return SetMsgResult(1);
        case WM_QUERYDRAGICON:
            // One of the messages whose dialog-procedure result is returned as it is.
            return reinterpret_cast<INT_PTR>(m_bigIcon.Get());
        default:
            return CDialog::DialogProc(msg, wParam, lParam);
    }
}
