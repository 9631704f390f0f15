// The main window's geometry: aspect keeping while sizing, zoom and fixed sizes, the title bar,
// frame and topmost toggles, sizing without a frame, moving by dragging the picture, snapping
// to the monitor, fullscreen mode, the aspect commands and the display change. The rules
// themselves are in WindowGeometryRules; this file moves rectangles between them and the
// window.
#include "config/Config.h"
#include "config/PlacementWin.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainDlg.h"
#include "ui/main/WindowGeometryRules.h"

#include <windowsx.h>

namespace {

IntRect ToIntRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

FrameMetrics SystemFrameMetrics() {
    return {::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CXFRAME),
            ::GetSystemMetrics(SM_CYFRAME), ::GetSystemMetrics(SM_CXBORDER),
            ::GetSystemMetrics(SM_CYBORDER)};
}

WindowChrome CurrentChrome() {
    const CConfig& config = TheConfig();
    return {config.TitleBar, config.Frame};
}

// Flips a 0/1 setting (any non-zero value counts as set) and returns the new state.
bool Toggle(int32_t& value) {
    value = value != 0 ? 0 : 1;
    return value != 0;
}

struct ZoomCommand {
    UINT id;
    double factor;
};
constexpr ZoomCommand kZoomCommands[] = {
    {ID_ZOOM_RESET, 1.0}, {ID_ZOOM_50, 0.5},  {ID_ZOOM_75, 0.75},  {ID_ZOOM_100, 1.0},
    {ID_ZOOM_125, 1.25},  {ID_ZOOM_150, 1.5}, {ID_ZOOM_175, 1.75}, {ID_ZOOM_200, 2.0},
    {ID_ZOOM_225, 2.25},  {ID_ZOOM_250, 2.5}, {ID_ZOOM_275, 2.75}, {ID_ZOOM_300, 3.0},
};

struct SizeCommand {
    UINT id;
    int32_t cx;
    int32_t cy;
};
constexpr SizeCommand kSizeCommands[] = {
    {ID_SIZE_320X240, 320, 240},     {ID_SIZE_480X360, 480, 360},
    {ID_SIZE_640X480, 640, 480},     {ID_SIZE_800X600, 800, 600},
    {ID_SIZE_960X720, 960, 720},     {ID_SIZE_1024X768, 1024, 768},
    {ID_SIZE_1280X960, 1280, 960},   {ID_SIZE_1440X1080, 1440, 1080},
    {ID_SIZE_1600X1200, 1600, 1200}, {ID_SIZE_1920X1440, 1920, 1440},
    {ID_SIZE_320X180, 320, 180},     {ID_SIZE_480X270, 480, 270},
    {ID_SIZE_640X360, 640, 360},     {ID_SIZE_800X450, 800, 450},
    {ID_SIZE_960X540, 960, 540},     {ID_SIZE_1024X576, 1024, 576},
    {ID_SIZE_1280X720, 1280, 720},   {ID_SIZE_1440X810, 1440, 810},
    {ID_SIZE_1600X900, 1600, 900},   {ID_SIZE_1920X1080, 1920, 1080},
};

// The stored "Preview.AspectRatio" of each aspect command; the pair follows from it.
struct AspectCommand {
    UINT id;
    int32_t stored;
};
constexpr AspectCommand kAspectCommands[] = {
    {ID_ASPECT_4_3, 1},   {ID_ASPECT_16_9, 2},  {ID_ASPECT_INPUT, 0},
    {ID_ASPECT_40_33, 3}, {ID_ASPECT_10_11, 4}, {ID_ASPECT_FIT_WINDOW, 100},
};

LPCWSTR CursorOfEdge(SizingEdge edge) {
    switch (edge) {
        case SizingEdge::Top:
        case SizingEdge::Bottom:
            return IDC_SIZENS;
        case SizingEdge::Left:
        case SizingEdge::Right:
            return IDC_SIZEWE;
        case SizingEdge::TopLeft:
        case SizingEdge::BottomRight:
            return IDC_SIZENWSE;
        case SizingEdge::TopRight:
        case SizingEdge::BottomLeft:
            return IDC_SIZENESW;
        case SizingEdge::None:
            break;
    }
    return nullptr;
}

}  // namespace

bool CMainDlg::HandleGeometryMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    switch (msg) {
        case WM_SIZE:
            m_graph.UpdateVideoPosition();
            UpdateTitle();
            return false;
        case WM_SIZING:
            if (!OnSizing(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam))) return false;
            *result = SetMsgResult(TRUE);
            return true;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return false;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return false;
        case WM_LBUTTONUP:
            OnLeftButtonUp();
            return false;
        case WM_LBUTTONDBLCLK:
            if (m_fullScreen) {
                LeaveFullScreen();
            } else {
                EnterFullScreen();
            }
            return false;
        case WM_DISPLAYCHANGE:
            m_graph.NotifyDisplayChange();
            return false;
        default:
            return false;
    }
}

bool CMainDlg::OnGeometryCommand(UINT id) {
    for (const ZoomCommand& zoom : kZoomCommands) {
        if (zoom.id == id) {
            Zoom(zoom.factor);
            return true;
        }
    }
    for (const SizeCommand& size : kSizeCommands) {
        if (size.id == id) {
            SetFixedClientSize(size.cx, size.cy);
            return true;
        }
    }
    for (const AspectCommand& aspect : kAspectCommands) {
        if (aspect.id == id) {
            SetAspectRatio(aspect.stored);
            return true;
        }
    }
    CConfig& config = TheConfig();
    switch (id) {
        case ID_KEEP_ASPECT:
            if (Toggle(config.AspectRatio)) RefitWindow();
            return true;
        case ID_SNAP:
            Toggle(config.Snap);
            return true;
        case ID_DRAG_MOVE:
            Toggle(config.Drag);
            return true;
        case ID_TITLE_BAR:
            ToggleTitleBar();
            return true;
        case ID_FRAME:
            ToggleFrame();
            return true;
        case ID_TOPMOST:
            ToggleTopMost();
            return true;
        default:
            return false;
    }
}

bool CMainDlg::CanResize() const { return !m_fullScreen && !::IsZoomed(GetHwnd()); }

IntRect CMainDlg::ClientRectOnScreen() const {
    RECT client{};
    ::GetClientRect(GetHwnd(), &client);
    ::MapWindowPoints(GetHwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return ToIntRect(client);
}

void CMainDlg::ResizeClient(int32_t width, int32_t height) {
    const IntRect origin = ClientRectOnScreen();
    const IntRect client{origin.left, origin.top, origin.left + width, origin.top + height};
    const IntRect window = ClientToWindow(client, CurrentChrome(), SystemFrameMetrics());
    ::SetWindowPos(GetHwnd(), nullptr, 0, 0, window.Width(), window.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CMainDlg::OnSizing(UINT edge, RECT* rect) {
    if (!rect || TheConfig().AspectRatio == 0 || !CanResize()) return false;
    IntSize native = m_graph.NativeSize();
    const IntRect kept =
        ::KeepAspectWhileSizing(ToIntRect(*rect), static_cast<SizingEdge>(edge), m_graph.Aspect(),
                                native, CurrentChrome(), SystemFrameMetrics());
    m_graph.SetNativeSize(native);
    *rect = ToRect(kept);
    return true;
}

void CMainDlg::RefitWindow() {
    if (TheConfig().AspectRatio == 0 || !CanResize()) return;
    const IntRect client = ClientRectOnScreen();
    IntSize native = m_graph.NativeSize();
    const int32_t width =
        RefitClientWidth(client.Width(), client.Height(), m_graph.Aspect(), native);
    m_graph.SetNativeSize(native);
    ResizeClient(width, client.Height());
}

void CMainDlg::Zoom(double factor) {
    if (!CanResize()) return;
    int32_t width = 0;
    int32_t height = 0;
    if (!m_graph.GetNativeVideoSize(width, height)) return;
    IntSize native = m_graph.NativeSize();
    const IntSize size = ZoomClientSize({width, height}, factor, m_graph.Aspect(), native);
    m_graph.SetNativeSize(native);
    ResizeClient(size.cx, size.cy);
}

void CMainDlg::SetFixedClientSize(int32_t width, int32_t height) {
    if (!CanResize()) return;
    ResizeClient(width, height);
    RefitWindow();
}

// Every aspect command stores its value in the profile (when one is selected) and sets the
// pair in any case, then re-fits the window and places the picture.
void CMainDlg::SetAspectRatio(int32_t stored) {
    if (Profile* profile = TheConfig().SelectedProfile()) profile->PreviewAspectRatio = stored;
    m_graph.SetAspect(AspectPairFromSetting(stored));
    RefitWindow();
    m_graph.UpdateVideoPosition();
    UpdateTitle();
}

void CMainDlg::SetStyleAndRect(LONG_PTR style, const IntRect& window) {
    ::SetWindowLongPtrW(GetHwnd(), GWL_STYLE, style);
    ::SetWindowPos(GetHwnd(), nullptr, window.left, window.top, window.Width(), window.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The menu offers the toggles only with a frame, outside fullscreen and when not maximized;
// a command that arrives otherwise changes the setting alone, which the frame and fullscreen
// switches then apply.
void CMainDlg::ToggleTitleBar() {
    CConfig& config = TheConfig();
    if (config.Frame != 1 || !CanResize()) {
        Toggle(config.TitleBar);
        return;
    }
    RECT window{};
    ::GetWindowRect(GetHwnd(), &window);
    const IntRect next =
        TitleBarToggledRect(ToIntRect(window), CurrentChrome(), SystemFrameMetrics());
    LONG_PTR style = ::GetWindowLongPtrW(GetHwnd(), GWL_STYLE);
    if (config.TitleBar == 1) {
        style &= ~static_cast<LONG_PTR>(WS_CAPTION);
        config.TitleBar = 0;
    } else {
        style |= WS_CAPTION;
        config.TitleBar = 1;
    }
    SetStyleAndRect(style, next);
}

void CMainDlg::ToggleFrame() {
    CConfig& config = TheConfig();
    if (!CanResize()) {
        Toggle(config.Frame);
        return;
    }
    RECT window{};
    ::GetWindowRect(GetHwnd(), &window);
    const IntRect next = FrameToggledRect(ToIntRect(window), CurrentChrome(), SystemFrameMetrics());
    LONG_PTR style = ::GetWindowLongPtrW(GetHwnd(), GWL_STYLE);
    if (config.Frame == 1) {
        style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME);
        config.Frame = 0;
    } else if (config.TitleBar == 1) {
        style |= WS_CAPTION | WS_THICKFRAME;
        config.Frame = 1;
    } else {
        style = (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_THICKFRAME;
        config.Frame = 1;
    }
    SetStyleAndRect(style, next);
}

// In fullscreen mode the window stays topmost; leaving it applies the new setting.
void CMainDlg::ToggleTopMost() {
    const bool topMost = Toggle(TheConfig().TopMost);
    if (m_fullScreen) return;
    ::SetWindowPos(GetHwnd(), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainDlg::OnLeftButtonDown(int x, int y) {
    if (!CanResize()) return;
    if (TheConfig().Frame == 0) {
        RECT client{};
        ::GetClientRect(GetHwnd(), &client);
        const SizingEdge edge = HitTestSizingBand(ToIntRect(client), x, y);
        if (edge != SizingEdge::None) {
            ::SetCursor(::LoadCursorW(nullptr, CursorOfEdge(edge)));
            // The system's own sizing loop then runs, with WM_SIZING as for a framed window.
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::PostMessageW(GetHwnd(), WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(edge),
                           MAKELPARAM(cursor.x, cursor.y));
            return;
        }
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT window{};
    ::GetWindowRect(GetHwnd(), &window);
    m_dragOffset = POINT{cursor.x - window.left, cursor.y - window.top};
    m_dragging = true;
    ::SetCapture(GetHwnd());
}

void CMainDlg::OnMouseMove(int x, int y) {
    // The system also sends a move when nothing moved (a window changed under the cursor, the
    // cursor was hidden); only a real movement brings the hidden cursor back.
    const POINT at{x, y};
    if (m_fullScreen && (at.x != m_lastMouse.x || at.y != m_lastMouse.y)) ResetCursorIdle();
    m_lastMouse = at;
    if (!CanResize()) return;
    if (m_dragging && TheConfig().Drag != 0) {
        POINT corner{x, y};
        ::ClientToScreen(GetHwnd(), &corner);
        ::SetWindowPos(GetHwnd(), nullptr, corner.x - m_dragOffset.x, corner.y - m_dragOffset.y, 0,
                       0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (TheConfig().Frame == 0) {
        RECT client{};
        ::GetClientRect(GetHwnd(), &client);
        const SizingEdge edge = HitTestSizingBand(ToIntRect(client), x, y);
        if (edge != SizingEdge::None) ::SetCursor(::LoadCursorW(nullptr, CursorOfEdge(edge)));
    }
}

void CMainDlg::OnLeftButtonUp() {
    m_dragging = false;
    if (::GetCapture() == GetHwnd()) ::ReleaseCapture();
    if (TheConfig().Snap != 0 && CanResize()) SnapWindow();
}

// The monitor's full rectangle, not its work area: the window may snap under the taskbar.
void CMainDlg::SnapWindow() {
    HMONITOR monitor = ::MonitorFromWindow(GetHwnd(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) return;
    RECT window{};
    ::GetWindowRect(GetHwnd(), &window);
    const IntRect snapped = ::SnapToMonitor(ToIntRect(window), ToIntRect(info.rcMonitor));
    if (snapped == ToIntRect(window)) return;
    ::SetWindowPos(GetHwnd(), nullptr, snapped.left, snapped.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::EnterFullScreen() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(GetHwnd(), &placement)) return;
    m_savedPlacement = FromWin32Placement(placement);
    m_dragging = false;
    const CConfig& config = TheConfig();
    if (config.Frame == 1) {
        const LONG_PTR removed =
            config.TitleBar == 1 ? (WS_CAPTION | WS_THICKFRAME) : WS_THICKFRAME;
        ::SetWindowLongPtrW(GetHwnd(), GWL_STYLE,
                            ::GetWindowLongPtrW(GetHwnd(), GWL_STYLE) & ~removed);
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) {
        info.rcMonitor =
            RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    const RECT& r = info.rcMonitor;
    ::SetWindowPos(GetHwnd(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_FRAMECHANGED);
    ::UpdateWindow(GetHwnd());
    m_fullScreen = true;
    StartCursorWorker();
}

void CMainDlg::LeaveFullScreen() {
    const CConfig& config = TheConfig();
    if (config.Frame == 1) {
        const LONG_PTR added = config.TitleBar == 1 ? (WS_CAPTION | WS_THICKFRAME) : WS_THICKFRAME;
        ::SetWindowLongPtrW(GetHwnd(), GWL_STYLE,
                            ::GetWindowLongPtrW(GetHwnd(), GWL_STYLE) | added);
    }
    const WINDOWPLACEMENT placement = ToWin32Placement(m_savedPlacement);
    ::SetWindowPlacement(GetHwnd(), &placement);
    ::SetWindowPos(GetHwnd(), config.TopMost != 0 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    ::UpdateWindow(GetHwnd());
    m_fullScreen = false;
    RefitWindow();
    StopCursorWorker();
}
