#include "winfx/VirtualListView.h"

#include <cwchar>

namespace lumoka {

void CVirtualListView::Attach(HWND list, DWORD extraStyles) {
    m_list = list;
    m_columns = 0;
    m_checkBoxes = (extraStyles & LVS_EX_CHECKBOXES) != 0;
    if (!m_list) return;
    ::SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, extraStyles, extraStyles);
    // In virtual mode the control keeps no item state of its own: the check box image is
    // asked for with each item, so the state image is a callback.
    if (m_checkBoxes) ::SendMessageW(m_list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
}

void CVirtualListView::AddColumn(const std::wstring& title, int width) {
    if (!m_list) return;
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title.c_str());
    column.cx = width;
    column.iSubItem = m_columns;
    ::SendMessageW(m_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(m_columns),
                   reinterpret_cast<LPARAM>(&column));
    ++m_columns;
}

void CVirtualListView::SetCount(int rows) {
    if (!m_list) return;
    ::SendMessageW(m_list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows < 0 ? 0 : rows), 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
}

int CVirtualListView::Count() const {
    return m_list ? static_cast<int>(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void CVirtualListView::RedrawRow(int row) {
    if (m_list) ::SendMessageW(m_list, LVM_REDRAWITEMS, row, row);
}

void CVirtualListView::Enable(bool enabled) {
    if (m_list) ::EnableWindow(m_list, enabled ? TRUE : FALSE);
}

int CVirtualListView::Selected() const {
    if (!m_list) return -1;
    return static_cast<int>(
        ::SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CVirtualListView::Select(int row) {
    if (!m_list) return;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&clear));
    if (row < 0 || row >= Count()) return;
    LVITEMW set{};
    set.state = LVIS_SELECTED | LVIS_FOCUSED;
    set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&set));
    ::SendMessageW(m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool CVirtualListView::HandleNotify(const NMHDR& header, LRESULT& result) {
    if (!m_list || header.hwndFrom != m_list) return false;
    if (header.code == LVN_GETDISPINFOW) {
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        result = 0;
        return true;
    }
    if (header.code == NM_CUSTOMDRAW && m_colours) {
        result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        return true;
    }
    return false;
}

void CVirtualListView::FillDisplayInfo(NMLVDISPINFOW& info) const {
    LVITEMW& item = info.item;
    const int row = item.iItem;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring text = m_text ? m_text(row, item.iSubItem) : std::wstring();
        const size_t room = static_cast<size_t>(item.cchTextMax) - 1;
        const size_t n = text.size() < room ? text.size() : room;
        std::wmemcpy(item.pszText, text.data(), n);
        item.pszText[n] = L'\0';
    }
    if ((item.mask & LVIF_STATE) && m_checkBoxes && item.iSubItem == 0) {
        const bool checked = m_checked && m_checked(row);
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

LRESULT CVirtualListView::CustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            COLORREF text = RGB(0, 0, 0);
            COLORREF background = RGB(255, 255, 255);
            m_colours(static_cast<int>(draw.nmcd.dwItemSpec), text, background);
            draw.clrText = text;
            draw.clrTextBk = background;
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

int CVirtualListView::CheckBoxHit(const NMHDR& header) const {
    if (!m_list || !m_checkBoxes || header.hwndFrom != m_list || header.code != NM_CLICK) {
        return -1;
    }
    // The click's point, rather than the item the notification names: older controls leave
    // that empty for clicks on the state image.
    LVHITTESTINFO hit{};
    hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
    const int row =
        static_cast<int>(::SendMessageW(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) ? row : -1;
}

}  // namespace lumoka
