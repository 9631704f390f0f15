#include "ui/editor/PageControls.h"

#include <vector>

#include "winfx/DataExchange.h"

namespace editor {

void FillCombo(HWND dialog, int id, const std::vector<std::wstring>& texts) {
    lumoka::ClearCombo(dialog, id);
    for (const std::wstring& t : texts) lumoka::AddComboItem(dialog, id, t);
}

std::vector<std::wstring> DecimalTexts(const std::vector<int32_t>& values) {
    std::vector<std::wstring> texts;
    for (int32_t v : values) texts.push_back(DecimalText(v));
    return texts;
}

std::wstring ComboItemText(HWND dialog, int id, int index) {
    const LRESULT length = ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return std::wstring();
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void EnableItem(HWND dialog, int id, bool enabled) {
    if (HWND item = ::GetDlgItem(dialog, id)) ::EnableWindow(item, enabled ? TRUE : FALSE);
}

void ClearAndDisableCombo(HWND dialog, int id) {
    lumoka::ClearCombo(dialog, id);
    lumoka::SetItemText(dialog, id, L"");
    EnableItem(dialog, id, false);
}

void ApplyScroll(HWND dialog, int id, const ScrollSetup& setup) {
    HWND bar = ::GetDlgItem(dialog, id);
    if (!bar) return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (setup.Enabled) {
        info.nMin = setup.Minimum;
        // With page size 1 the top position is nMax - nPage + 1 = nMax.
        info.nMax = setup.Maximum;
        info.nPage = 1;
        info.nPos = setup.Position;
    }
    ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
    ::EnableWindow(bar, setup.Enabled ? TRUE : FALSE);
}

int GetBarPosition(HWND dialog, int id) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    HWND bar = ::GetDlgItem(dialog, id);
    return bar && ::GetScrollInfo(bar, SB_CTL, &info) ? info.nPos : 0;
}

void SetBarPosition(HWND dialog, int id, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    if (HWND bar = ::GetDlgItem(dialog, id)) ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

bool IsComboOrItsEdit(HWND control, HWND combo) {
    return combo && control && (control == combo || ::GetParent(control) == combo);
}

void RightAlignComboEdit(HWND combo) {
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    if (!edit) return;
    const LONG_PTR style = ::GetWindowLongPtrW(edit, GWL_STYLE);
    ::SetWindowLongPtrW(edit, GWL_STYLE, (style & ~(ES_LEFT | ES_CENTER)) | ES_RIGHT);
}

void RepaintCombo(HWND dialog, int id) {
    HWND combo = ::GetDlgItem(dialog, id);
    if (!combo) return;
    ::InvalidateRect(combo, nullptr, TRUE);
    if (HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) {
        ::InvalidateRect(edit, nullptr, TRUE);
    }
}

}  // namespace editor
