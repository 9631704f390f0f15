#include "ui/main/VideoWindowSide.h"

#include "ui/main/DialogCentring.h"

void CVideoWindowSide::TakeFocus() { ::SetFocus(m_window); }

void CVideoWindowSide::ShowPropertyFrame(const std::wstring& caption, IUnknown* object,
                                         const CAUUID& pages) {
    CDialogCentring centring(m_window);
    IUnknown* objects[] = {object};
    // Its result tells nothing the user has not seen.
    (void)::OleCreatePropertyFrame(m_window, 0, 0, caption.c_str(), 1, objects, pages.cElems,
                                   pages.pElems, LOCALE_USER_DEFAULT, 0, nullptr);
}
