// CDialog: the base of every dialog in the program, modal or modeless, made from a dialog
// template (a resource id or a DLGTEMPLATE/DLGTEMPLATEEX in memory).
//
// How to use it:
//   - Derive, and override only the handlers you need:
//       OnInitDialog   WM_INITDIALOG; copy your model into the controls. Return TRUE to let the
//                      system focus the first control, FALSE when you set the focus yourself.
//       OnCommand      every WM_COMMAND first; return true when handled. IDOK and IDCANCEL
//                      that it leaves go on to OnOK/OnCancel.
//       OnOK/OnCancel  IDOK/IDCANCEL (buttons, Enter, Escape); the defaults end the dialog
//                      with IDOK/IDCANCEL. Read the controls back in OnOK before ending.
//       OnNotify       WM_NOTIFY; the value returned reaches the control that sent the
//                      notification (it is stored in DWLP_MSGRESULT for you).
//       OnClose        WM_CLOSE (close button, system menu); the default behaves like Cancel.
//       OnDestroy      WM_DESTROY, while the controls still exist; default processing follows.
//       OnCtlColor     WM_CTLCOLOR* (edit, list box, button, static, scroll bar, dialog, message
//                      box): return a brush the dialog owns (set the DC's colours too) to paint
//                      that control, null for the system's colours. The brush itself is the
//                      dialog procedure's result, as Windows expects for these messages.
//       OnHScroll      WM_HSCROLL from a scroll bar control: its window, the SB_* code and the
//                      thumb position for SB_THUMBPOSITION/SB_THUMBTRACK. The position is the
//                      full 32-bit one (the message carries only 16 bits). True when handled.
//       DialogProc     every message; override it for messages without a handler of their
//                      own and call CDialog::DialogProc for the rest. Its result follows the
//                      dialog procedure convention: TRUE = handled. Use SetMsgResult for
//                      messages whose result matters (it returns TRUE for you).
//       PreTranslateMessage  every queued message for this dialog or its controls before the
//                      dialog's keyboard handling; return true to swallow the message. A
//                      dialog nested inside another one (a modeless child page) is asked first
//                      for the messages of its own controls, then each dialog around it.
//   - Modal: DoModal(owner) runs the dialog and returns the value given to EndDialog, or -1 when
//     the dialog could not be created. The loop is our own: the owner is disabled, each message
//     goes through PreTranslateMessage and IsDialogMessage of the dialog it belongs to (so
//     modeless dialogs opened meanwhile keep their keyboard handling), and WM_QUIT ends the
//     dialog with IDCANCEL and is posted again for the next loop out.
//   - Modeless: Create(owner) creates the dialog and returns at once; as with the system's
//     modeless dialogs it is shown when its template has WS_VISIBLE (else call ShowWindow). It
//     lives until EndDialog or DestroyWindow, or until the object is destroyed.
//   - SetSwallowEnterEscape(true) makes the default PreTranslateMessage drop Enter and Escape
//     key presses, so neither closes the dialog.
//
// Threads: a dialog belongs to the thread that created its window; every member runs there.
// Ownership: the object owns its window (the destructor destroys a window still open); the
// caller owns the object. The template memory must outlive DoModal/Create.
#pragma once

#include <windows.h>

namespace lumoka {

class CDialog {
public:
    // From a dialog resource of module (null: the executable).
    explicit CDialog(UINT templateId, HINSTANCE module = nullptr);
    // From a template in memory (DLGTEMPLATE or DLGTEMPLATEEX).
    explicit CDialog(const DLGTEMPLATE* dialogTemplate, HINSTANCE module = nullptr);
    virtual ~CDialog();

    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the EndDialog result, or -1 when creation failed.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modelessly; false when creation failed or it is already open.
    bool Create(HWND owner = nullptr);
    // Ends the dialog: a modal dialog returns result from DoModal, a modeless one is destroyed.
    void EndDialog(INT_PTR result);
    // Destroys the window now (modeless dialogs; a modal one should use EndDialog).
    void DestroyWindow();

    HWND GetHwnd() const { return m_hwnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hwnd, id); }
    bool IsModal() const { return m_modal; }
    bool IsOpen() const { return m_hwnd != nullptr; }

    void SetSwallowEnterEscape(bool swallow) { m_swallowEnterEscape = swallow; }

    // Gives a queued message to the dialogs of this thread it belongs to, as the modal loop
    // does: PreTranslateMessage of each dialog from the message's window outwards (a child page,
    // then the dialog holding it), then IsDialogMessage of the outermost one, whose keyboard
    // handling reaches into child pages made with DS_CONTROL. True when the message was
    // consumed. A thread running a message loop of its own calls this for modeless dialogs.
    static bool RouteDialogMessage(MSG& msg);

protected:
    virtual BOOL OnInitDialog();
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnClose();
    virtual void OnDestroy();
    virtual HBRUSH OnCtlColor(UINT msg, HDC dc, HWND control);
    virtual bool OnHScroll(HWND scrollBar, int code, int position);
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual bool PreTranslateMessage(MSG& msg);

    // Sets the message's result for the sender (DWLP_MSGRESULT) and returns TRUE, so a
    // DialogProc override can write `return SetMsgResult(value);`.
    INT_PTR SetMsgResult(LRESULT result);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static CDialog* FromHandle(HWND hwnd);
    HWND CreateFromTemplate(HWND owner);
    INT_PTR RunModalLoop();
    bool DispatchHScroll(WPARAM wParam, LPARAM lParam);
    void Detach();

    UINT m_templateId = 0;
    const DLGTEMPLATE* m_template = nullptr;
    HINSTANCE m_module = nullptr;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    bool m_ending = false;
    INT_PTR m_result = 0;
    bool m_swallowEnterEscape = false;
};

}  // namespace lumoka
