#include "winfx/Dialog.h"

namespace lumoka {

namespace {

// The window property that ties a dialog window to its object. A property rather than
// DWLP_USER or GWLP_USERDATA, so derived dialogs keep those, and so RouteDialogMessage can tell
// our dialogs from any other window.
constexpr wchar_t kObjectProperty[] = L"lumoka.CDialog";

// The object whose window is being created on this thread: the dialog procedure adopts it at
// the first message, which may come before WM_INITDIALOG (WM_SETFONT).
thread_local CDialog* t_creating = nullptr;

}  // namespace

CDialog::CDialog(UINT templateId, HINSTANCE module) : m_templateId(templateId), m_module(module) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, HINSTANCE module)
    : m_template(dialogTemplate), m_module(module) {}

CDialog::~CDialog() {
    if (m_hwnd) {
        // Virtual handlers no longer reach the derived class here; detach first so the window's
        // last messages go to the system's default handling only.
        const HWND hwnd = m_hwnd;
        Detach();
        ::DestroyWindow(hwnd);
    }
}

CDialog* CDialog::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<CDialog*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void CDialog::Detach() {
    if (m_hwnd) ::RemovePropW(m_hwnd, kObjectProperty);
    m_hwnd = nullptr;
}

HWND CDialog::CreateFromTemplate(HWND owner) {
    HINSTANCE module = m_module ? m_module : ::GetModuleHandleW(nullptr);
    const DLGTEMPLATE* dialogTemplate = m_template;
    if (!dialogTemplate) {
        HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(m_templateId), RT_DIALOG);
        HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
        dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
        if (!dialogTemplate) return nullptr;
    }
    CDialog* const outer = t_creating;
    t_creating = this;
    HWND hwnd = ::CreateDialogIndirectParamW(module, dialogTemplate, owner, StaticDialogProc,
                                             reinterpret_cast<LPARAM>(this));
    t_creating = outer;
    // A dialog destroyed during its initialisation is reported as a failure.
    if (!hwnd || !::IsWindow(hwnd)) {
        Detach();
        return nullptr;
    }
    return hwnd;
}

INT_PTR CDialog::DoModal(HWND owner) {
    if (m_hwnd) return -1;
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    m_modal = true;
    m_ending = false;
    m_result = IDCANCEL;
    if (!CreateFromTemplate(owner)) {
        m_modal = false;
        return -1;
    }
    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    // Like the system's modal dialogs, show the dialog whether or not its template asks for
    // WS_VISIBLE (unless the initialisation already ended it).
    if (!m_ending && m_hwnd && !::IsWindowVisible(m_hwnd)) ::ShowWindow(m_hwnd, SW_SHOW);

    RunModalLoop();

    // The owner must be enabled before the dialog goes, or the system activates another
    // application's window.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (m_hwnd) ::DestroyWindow(m_hwnd);
    m_modal = false;
    m_ending = false;
    return m_result;
}

INT_PTR CDialog::RunModalLoop() {
    while (!m_ending && m_hwnd) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            m_result = -1;
            break;
        }
        if (got == 0) {
            // WM_QUIT belongs to the loop outside ours: leave, and hand it on.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_result = IDCANCEL;
            break;
        }
        if (!RouteDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return m_result;
}

bool CDialog::RouteDialogMessage(MSG& msg) {
    if (!msg.hwnd) return false;
    // The dialogs around the message's window, innermost first; the outermost one runs the
    // keyboard handling. Handles, not objects: a PreTranslateMessage may close any of them.
    HWND dialogs[16];
    int count = 0;
    for (HWND w = msg.hwnd; w && count < 16; w = ::GetAncestor(w, GA_PARENT)) {
        if (FromHandle(w)) dialogs[count++] = w;
        if (!(::GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
    }
    for (int i = 0; i < count; ++i) {
        CDialog* dialog = FromHandle(dialogs[i]);
        if (dialog && dialog->PreTranslateMessage(msg)) return true;
    }
    if (count == 0) return false;
    CDialog* outer = FromHandle(dialogs[count - 1]);
    return outer && outer->m_hwnd && ::IsDialogMessageW(outer->m_hwnd, &msg);
}

bool CDialog::Create(HWND owner) {
    if (m_hwnd) return false;
    m_modal = false;
    m_ending = false;
    return CreateFromTemplate(owner) != nullptr;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hwnd) return;
    if (m_modal) {
        m_result = result;
        m_ending = true;
        // The loop checks the flag between messages; this wakes it when EndDialog ran inside
        // a nested loop (a menu, another modal dialog) whose end brings no message of its own.
        ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    } else {
        DestroyWindow();
    }
}

void CDialog::DestroyWindow() {
    if (!m_hwnd) return;
    if (m_modal) m_ending = true;
    ::DestroyWindow(m_hwnd);
}

INT_PTR CDialog::SetMsgResult(LRESULT result) {
    if (m_hwnd) ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self = FromHandle(hwnd);
    if (!self) {
        if (!t_creating) return FALSE;
        self = t_creating;
        t_creating = nullptr;
        self->m_hwnd = hwnd;
        ::SetPropW(hwnd, kObjectProperty, self);
    }
    const INT_PTR result = self->DialogProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) self->Detach();
    return result;
}

INT_PTR CDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            // The one message whose result is the return value itself (focus handling).
            return OnInitDialog();
        case WM_COMMAND:
            if (OnCommand(wParam, lParam)) return SetMsgResult(0);
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return SetMsgResult(0);
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return SetMsgResult(0);
            }
            return FALSE;
        case WM_NOTIFY:
            return SetMsgResult(OnNotify(wParam, lParam));
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(
                OnCtlColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
        case WM_HSCROLL:
            return DispatchHScroll(wParam, lParam) ? SetMsgResult(0) : FALSE;
        case WM_CLOSE:
            OnClose();
            return SetMsgResult(0);
        case WM_DESTROY:
            OnDestroy();
            // FALSE: the system's own clean-up of the dialog still runs.
            return FALSE;
        default:
            return FALSE;
    }
}

bool CDialog::DispatchHScroll(WPARAM wParam, LPARAM lParam) {
    HWND bar = reinterpret_cast<HWND>(lParam);
    if (!bar) return false;  // the dialog's own scroll bar, not a control
    const int code = LOWORD(wParam);
    int position = HIWORD(wParam);
    if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        // The message carries 16 bits; a wider range needs the bar's own tracking position.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_TRACKPOS;
        if (::GetScrollInfo(bar, SB_CTL, &info) && (info.nMax > 0xFFFF || info.nMin < 0)) {
            position = info.nTrackPos;
        }
    }
    return OnHScroll(bar, code, position);
}

BOOL CDialog::OnInitDialog() { return TRUE; }

bool CDialog::OnCommand(WPARAM, LPARAM) { return false; }

LRESULT CDialog::OnNotify(WPARAM, LPARAM) { return 0; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnClose() { OnCancel(); }

void CDialog::OnDestroy() {}

HBRUSH CDialog::OnCtlColor(UINT, HDC, HWND) { return nullptr; }

bool CDialog::OnHScroll(HWND, int, int) { return false; }

bool CDialog::PreTranslateMessage(MSG& msg) {
    return m_swallowEnterEscape && msg.message == WM_KEYDOWN &&
           (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

}  // namespace lumoka
