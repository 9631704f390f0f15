#include "ui/editor/ProfileFilterDlg.h"

#include <exception>

#include "graph/Catalogue.h"
#include "ui/editor/PageControls.h"
#include "ui/editor/PageRules.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

using namespace editor;

const CProfileFilterDlg::Ids CProfileFilterDlg::kIds[2] = {
    {IDC_FILTER_VIDEO_CHOICE, IDC_FILTER_VIDEO_ADD, IDC_FILTER_VIDEO_DELETE, IDC_FILTER_VIDEO_UP,
     IDC_FILTER_VIDEO_DOWN, IDC_FILTER_VIDEO_LIST, IDC_FILTER_VIDEO_INPUT, IDC_FILTER_VIDEO_OUTPUT,
     IDC_FILTER_VIDEO_PINS},
    {IDC_FILTER_AUDIO_CHOICE, IDC_FILTER_AUDIO_ADD, IDC_FILTER_AUDIO_DELETE, IDC_FILTER_AUDIO_UP,
     IDC_FILTER_AUDIO_DOWN, IDC_FILTER_AUDIO_LIST, IDC_FILTER_AUDIO_INPUT, IDC_FILTER_AUDIO_OUTPUT,
     IDC_FILTER_AUDIO_PINS},
};

CProfileFilterDlg::CProfileFilterDlg() : CDialog(IDD_PROFILE_FILTER) {}

BOOL CProfileFilterDlg::OnInitDialog() {
    SetUpSide(kVideo);
    SetUpSide(kAudio);
    return TRUE;
}

void CProfileFilterDlg::SetUpSide(Side side) {
    SideState& s = m_sides[side];
    const Ids& ids = kIds[side];
    s.list.Attach(GetItem(ids.list), LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    s.list.AddColumn(L"", 30);
    s.list.AddColumn(L"追加するフィルタ", 275);
    s.list.SetCellText([&s](int row, int column) {
        return s.chain.Has(row) ? FilterCellText(s.chain.At(row), column) : std::wstring();
    });
    s.list.SetRowChecked([&s](int row) { return s.chain.Has(row) && s.chain.At(row).Entry.Check; });
    s.pinList.Attach(GetItem(ids.pins), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    s.pinList.AddColumn(L"方向", 50);
    s.pinList.AddColumn(L"ピン名", 100);
    s.pinList.AddColumn(L"ピンカテゴリ", 75);
    s.pinList.AddColumn(L"メディアタイプ", 80);
    s.pinList.SetCellText([this, side](int row, int column) {
        const std::vector<PinEntry>& pins = PinsShown(side);
        return row < static_cast<int>(pins.size()) ? PinCellText(pins[row], column)
                                                   : std::wstring();
    });
    ClearPins(side);
}

void CProfileFilterDlg::FillFilters(const std::vector<DeviceEntry>& filters) {
    m_filters = filters;
    for (const Ids& ids : kIds) {
        lumoka::ClearCombo(GetHwnd(), ids.choice);
        for (const DeviceEntry& f : m_filters)
            lumoka::AddComboItem(GetHwnd(), ids.choice, f.FriendlyName);
        lumoka::SetComboSelection(GetHwnd(), ids.choice, 0);
        EnableItem(GetHwnd(), ids.choice, true);
    }
}

void CProfileFilterDlg::Load(const Profile& profile) {
    const std::vector<FilterEntry>* lists[2] = {&profile.FilterVideo, &profile.FilterAudio};
    for (Side side : {kVideo, kAudio}) {
        SideState& s = m_sides[side];
        s.chain.Load(*lists[side]);
        s.list.Select(-1);
        s.list.SetCount(s.chain.Count());
        s.list.Enable(true);
        ClearPins(side);
    }
}

void CProfileFilterDlg::Store(Profile& profile) const {
    profile.FilterVideo = m_sides[kVideo].chain.Stored();
    profile.FilterAudio = m_sides[kAudio].chain.Stored();
}

const std::vector<PinEntry>& CProfileFilterDlg::PinsShown(Side side) const {
    static const std::vector<PinEntry> kNone;
    const SideState& s = m_sides[side];
    return s.chain.Has(s.shownPins) ? s.chain.At(s.shownPins).Pins.Pins : kNone;
}

void CProfileFilterDlg::ClearPins(Side side) {
    SideState& s = m_sides[side];
    s.shownPins = -1;
    ClearAndDisableCombo(GetHwnd(), kIds[side].input);
    ClearAndDisableCombo(GetHwnd(), kIds[side].output);
    s.pinList.SetCount(0);
    s.pinList.Enable(false);
}

void CProfileFilterDlg::ShowPins(Side side, int row) {
    SideState& s = m_sides[side];
    if (!s.chain.Has(row)) {
        ClearPins(side);
        return;
    }
    FilterChainEntry& entry = s.chain.At(row);
    if (!entry.Pins.Inspected) {
        CComScope com;
        InspectFilter(s.chain.IdentityOf(row), entry.Pins);
        // Marked even when the filter could not be created: it is not asked again until the
        // page is loaded anew.
        entry.Pins.Inspected = true;
    }
    if (entry.Pins.Pins.empty()) {
        ClearPins(side);
        return;
    }
    s.shownPins = row;
    const std::vector<PinEntry>& pins = entry.Pins.Pins;
    const int combos[2] = {kIds[side].input, kIds[side].output};
    const int32_t chosen[2] = {entry.Entry.Input, entry.Entry.Output};
    for (int i = 0; i < 2; ++i) {
        const std::vector<std::wstring> items = PinComboItems(pins, i == 0);
        FillCombo(GetHwnd(), combos[i], items);
        EnableItem(GetHwnd(), combos[i], !items.empty());
        lumoka::SetComboSelection(GetHwnd(), combos[i], PinComboSelection(chosen[i]));
    }
    s.pinList.SetCount(static_cast<int>(pins.size()));
    s.pinList.Enable(true);
}

void CProfileFilterDlg::SelectRow(Side side, int row) {
    SideState& s = m_sides[side];
    s.list.SetCount(s.chain.Count());
    s.list.Select(row);
    ShowPins(side, row);
}

void CProfileFilterDlg::Add(Side side) {
    const int choice = lumoka::GetComboSelection(GetHwnd(), kIds[side].choice);
    if (choice < 0 || choice >= static_cast<int>(m_filters.size())) return;
    SelectRow(side, m_sides[side].chain.Add(m_filters[static_cast<size_t>(choice)]));
}

void CProfileFilterDlg::Delete(Side side) {
    SideState& s = m_sides[side];
    const int row = s.list.Selected();
    if (!s.chain.Has(row)) return;
    SelectRow(side, s.chain.Delete(row));
}

void CProfileFilterDlg::Move(Side side, bool up) {
    SideState& s = m_sides[side];
    const int row = s.list.Selected();
    const int moved = up ? s.chain.MoveUp(row) : s.chain.MoveDown(row);
    if (moved < 0) return;
    SelectRow(side, moved);
    s.list.RedrawRow(row);
    s.list.RedrawRow(moved);
}

void CProfileFilterDlg::OnPinChosen(Side side, bool input) {
    SideState& s = m_sides[side];
    const int row = s.list.Selected();
    if (!s.chain.Has(row)) return;
    const int32_t pin = PinIndexFromCombo(
        lumoka::GetComboSelection(GetHwnd(), input ? kIds[side].input : kIds[side].output));
    (input ? s.chain.At(row).Entry.Input : s.chain.At(row).Entry.Output) = pin;
}

bool CProfileFilterDlg::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    for (Side side : {kVideo, kAudio}) {
        const Ids& ids = kIds[side];
        // A failure inside an operation (memory) leaves the list as it is, redrawn, and the
        // pin view empty.
        try {
            if (code == BN_CLICKED && id == ids.add)
                Add(side);
            else if (code == BN_CLICKED && id == ids.remove)
                Delete(side);
            else if (code == BN_CLICKED && id == ids.up)
                Move(side, true);
            else if (code == BN_CLICKED && id == ids.down)
                Move(side, false);
            else if (code == CBN_SELCHANGE && (id == ids.input || id == ids.output)) {
                OnPinChosen(side, id == ids.input);
            } else {
                continue;
            }
        } catch (const std::exception&) {
            m_sides[side].list.SetCount(m_sides[side].chain.Count());
            ClearPins(side);
        }
        return true;
    }
    return false;
}

LRESULT CProfileFilterDlg::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
    for (Side side : {kVideo, kAudio}) {
        SideState& s = m_sides[side];
        LRESULT result = 0;
        if (s.list.HandleNotify(header, result) || s.pinList.HandleNotify(header, result)) {
            return result;
        }
        if (header.hwndFrom != s.list.GetHwnd()) continue;
        const int checkRow = s.list.CheckBoxHit(header);
        if (checkRow >= 0) {
            s.chain.ToggleCheck(checkRow);
            s.list.RedrawRow(checkRow);
        }
        if (header.code == LVN_ITEMCHANGED || header.code == LVN_ODSTATECHANGED) {
            const int selected = s.list.Selected();
            if (selected != s.shownPins) {
                try {
                    ShowPins(side, selected);
                } catch (const std::exception&) {
                    ClearPins(side);
                }
            }
        }
        return 0;
    }
    return 0;
}
