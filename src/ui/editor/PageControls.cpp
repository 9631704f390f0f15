#include "ui/editor/PageControls.h"

#include <vector>

#include "winfx/DataExchange.h"

using lumoka::GetComboSelection;
using lumoka::SetComboSelection;

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

CSourcePage::CSourcePage(UINT templateId, const wchar_t* noneEntry, int device, int format,
                         const int (&combos)[kValueCount], const int (&bars)[kValueCount])
    : CDialog(templateId),
      m_controls{
          device, format, {{combos[0], combos[1], combos[2]}}, {{bars[0], bars[1], bars[2]}}},
      m_noneEntry(noneEntry),
      m_invalidBrush(::CreateSolidBrush(kInvalidBackground)) {}

void CSourcePage::FillDevices(const std::vector<DeviceEntry>& devices) {
    m_devices = devices;
    lumoka::ClearCombo(GetHwnd(), m_controls.Device);
    lumoka::AddComboItem(GetHwnd(), m_controls.Device, m_noneEntry);
    for (const DeviceEntry& d : m_devices) {
        lumoka::AddComboItem(GetHwnd(), m_controls.Device, d.FriendlyName);
    }
    SetComboSelection(GetHwnd(), m_controls.Device, 0);
}

void CSourcePage::SetLists(lumoka::CVirtualListView* pins, lumoka::CVirtualListView* info) {
    m_pinList = pins;
    m_infoList = info;
}

void CSourcePage::SetUpPinList(lumoka::CVirtualListView& list, HWND control,
                               const std::vector<PinEntry>& pins) {
    list.Attach(control);
    list.AddColumn(L"方向", 50);
    list.AddColumn(L"ピン名", 100);
    list.AddColumn(L"ピンカテゴリ", 100);
    list.AddColumn(L"メディアタイプ", 95);
    const std::vector<PinEntry>* shown = &pins;
    list.SetCellText([shown](int row, int column) {
        return row < static_cast<int>(shown->size()) ? PinCellText((*shown)[row], column)
                                                     : std::wstring();
    });
    list.SetRowColours([shown](int row, COLORREF& text, COLORREF& background) {
        text = kBlack;
        background = row < static_cast<int>(shown->size()) ? PinRowColour((*shown)[row]) : kWhite;
    });
}

int CSourcePage::SelectDevice(const std::wstring& friendlyName, const std::wstring& devicePath) {
    const int index = FindDeviceEntry(m_devices, friendlyName, devicePath);
    SetComboSelection(GetHwnd(), m_controls.Device, index + 1);
    // Always describe the device afresh, so nothing of the profile shown before stays.
    m_lastDevice = kNoneHandled;
    OnDeviceChange();
    return index;
}

void CSourcePage::ShowLoadedValue(int which, const std::wstring& text) {
    lumoka::SetItemText(GetHwnd(), m_controls.Combos[which], text);
    Validate(which, text);
}

void CSourcePage::MarkValid(int which, bool valid) {
    m_valid[which] = valid;
    RepaintCombo(GetHwnd(), m_controls.Combos[which]);
}

void CSourcePage::Validate(int which, const std::wstring& text) {
    const Validation v = ValidateValue(which, text);
    if (v.Valid && v.Position >= 0 && m_scroll[which].Enabled) {
        SetBarPosition(GetHwnd(), m_controls.Bars[which], v.Position);
    }
    MarkValid(which, v.Valid);
}

void CSourcePage::OnValueChosen(int which) {
    const int id = m_controls.Combos[which];
    const int selection = GetComboSelection(GetHwnd(), id);
    if (selection < 0) return;
    if (m_scroll[which].Enabled) {
        const int32_t position = ChosenPosition(which, ComboItemText(GetHwnd(), id, selection));
        if (position >= 0) SetBarPosition(GetHwnd(), m_controls.Bars[which], position);
    }
    MarkValid(which, true);
}

bool CSourcePage::OnOtherCommand(int, int) { return false; }

bool CSourcePage::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == m_controls.Device && code == CBN_SELCHANGE) {
        OnDeviceChange();
        return true;
    }
    if (id == m_controls.Format && code == CBN_SELCHANGE) {
        OnFormatChange();
        return true;
    }
    for (int which = 0; which < kValueCount; ++which) {
        if (id != m_controls.Combos[which]) continue;
        if (code == CBN_EDITCHANGE) Validate(which, lumoka::GetItemText(GetHwnd(), id));
        if (code == CBN_SELCHANGE) OnValueChosen(which);
        return code == CBN_EDITCHANGE || code == CBN_SELCHANGE;
    }
    return OnOtherCommand(id, code);
}

LRESULT CSourcePage::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
    LRESULT result = 0;
    for (lumoka::CVirtualListView* list : {m_pinList, m_infoList}) {
        if (list && list->HandleNotify(header, result)) return result;
    }
    return 0;
}

HBRUSH CSourcePage::OnCtlColor(UINT msg, HDC dc, HWND control) {
    if (msg != WM_CTLCOLOREDIT) return nullptr;
    for (int which = 0; which < kValueCount; ++which) {
        if (!m_valid[which] && IsComboOrItsEdit(control, GetItem(m_controls.Combos[which]))) {
            ::SetTextColor(dc, kBlack);
            ::SetBkColor(dc, kInvalidBackground);
            return static_cast<HBRUSH>(m_invalidBrush.Get());
        }
    }
    return nullptr;
}

bool CSourcePage::OnHScroll(HWND scrollBar, int code, int position) {
    for (int which = 0; which < kValueCount; ++which) {
        if (scrollBar != GetItem(m_controls.Bars[which])) continue;
        std::wstring text;
        const int32_t next = Step(which, ScrollCodeFrom(code), position,
                                  GetBarPosition(GetHwnd(), m_controls.Bars[which]), text);
        SetBarPosition(GetHwnd(), m_controls.Bars[which], next);
        lumoka::SetItemText(GetHwnd(), m_controls.Combos[which], text);
        MarkValid(which, true);
        return true;
    }
    return false;
}

}  // namespace editor
