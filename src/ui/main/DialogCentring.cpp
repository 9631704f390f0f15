#include "ui/main/DialogCentring.h"

#include "ui/main/DialogPlacementRules.h"

namespace {

// One pending centring per thread: the owner and the hook waiting for its dialog.
thread_local HWND t_owner = nullptr;
thread_local HHOOK t_hook = nullptr;

const wchar_t kOldProcProperty[] = L"LumokaCentringOldProc";

void RemoveHook() {
    if (t_hook) {
        UnhookWindowsHookEx(t_hook);
        t_hook = nullptr;
    }
}

void CentreDialog(HWND dialog, HWND owner) {
    RECT ownerRect{};
    RECT dialogRect{};
    if (!GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &dialogRect)) return;
    const IntRect screen{
        GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const IntPoint p = CentreOver(
        {ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom},
        {dialogRect.right - dialogRect.left, dialogRect.bottom - dialogRect.top}, screen);
    SetWindowPos(dialog, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CentringProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProperty));
    if (!old) return DefWindowProcW(hwnd, msg, wp, lp);
    const LRESULT result = CallWindowProcW(old, hwnd, msg, wp, lp);
    if (msg == WM_INITDIALOG) {
        CentreDialog(hwnd, GetParent(hwnd));
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropW(hwnd, kOldProcProperty);
    } else if (msg == WM_NCDESTROY) {
        RemovePropW(hwnd, kOldProcProperty);
    }
    return result;
}

LRESULT CALLBACK CallWndRetProc(int code, WPARAM wp, LPARAM lp) {
    const HHOOK hook = t_hook;
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const CWPRETSTRUCT*>(lp);
        if (info->message == WM_NCCREATE && t_owner && GetParent(info->hwnd) == t_owner) {
            RemoveHook();
            const LONG_PTR old = GetWindowLongPtrW(info->hwnd, GWLP_WNDPROC);
            SetPropW(info->hwnd, kOldProcProperty, reinterpret_cast<HANDLE>(old));
            SetWindowLongPtrW(info->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CentringProc));
        }
    }
    return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

CDialogCentring::CDialogCentring(HWND owner) {
    RemoveHook();
    t_owner = owner;
    t_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, CallWndRetProc, nullptr, GetCurrentThreadId());
}

CDialogCentring::~CDialogCentring() {
    RemoveHook();
    t_owner = nullptr;
}

bool CDialogCentring::Installed() const { return t_hook != nullptr; }
