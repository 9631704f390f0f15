#include "winfx/TabPages.h"

#include <commctrl.h>

namespace lumoka {

void CTabPages::Attach(HWND tabControl) {
    m_tab = tabControl;
    m_pages.clear();
    if (!m_tab) return;
    const LONG_PTR style = ::GetWindowLongPtrW(m_tab, GWL_STYLE);
    ::SetWindowLongPtrW(m_tab, GWL_STYLE, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    // Without it the dialog manager's tab order stops at the tab control and never reaches
    // the controls of the page inside it.
    const LONG_PTR exStyle = ::GetWindowLongPtrW(m_tab, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_tab, GWL_EXSTYLE, exStyle | WS_EX_CONTROLPARENT);
}

bool CTabPages::AddPage(const std::wstring& title, CDialog& page) {
    if (!m_tab || !page.Create(m_tab)) return false;
    ::ShowWindow(page.GetHwnd(), SW_HIDE);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    const int index = Count();
    if (::SendMessageW(m_tab, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item)) != index) {
        page.DestroyWindow();
        return false;
    }
    m_pages.push_back(&page);
    Layout();
    return true;
}

void CTabPages::Select(int index) {
    if (!m_tab) return;
    if (index < 0 || index >= Count()) index = -1;
    ::SendMessageW(m_tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowOnly(index);
}

int CTabPages::Selected() const {
    if (!m_tab) return -1;
    return static_cast<int>(::SendMessageW(m_tab, TCM_GETCURSEL, 0, 0));
}

void CTabPages::Layout() {
    if (!m_tab) return;
    // The display area in the tab control's own coordinates, since the pages are its children.
    RECT area{};
    ::GetClientRect(m_tab, &area);
    ::SendMessageW(m_tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (CDialog* page : m_pages) {
        if (!page->GetHwnd()) continue;
        ::SetWindowPos(page->GetHwnd(), HWND_TOP, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, SWP_NOACTIVATE);
    }
}

bool CTabPages::OnNotify(const NMHDR& header) {
    if (!m_tab || header.hwndFrom != m_tab) return false;
    if (header.code == TCN_SELCHANGE) ShowOnly(Selected());
    return true;
}

void CTabPages::ShowOnly(int index) {
    // Show the new page before hiding the old one, so the focus never falls outside the dialog.
    if (index >= 0 && index < Count() && m_pages[static_cast<size_t>(index)]->GetHwnd()) {
        ::ShowWindow(m_pages[static_cast<size_t>(index)]->GetHwnd(), SW_SHOW);
    }
    for (int i = 0; i < Count(); ++i) {
        HWND page = m_pages[static_cast<size_t>(i)]->GetHwnd();
        if (i != index && page) ::ShowWindow(page, SW_HIDE);
    }
}

}  // namespace lumoka
