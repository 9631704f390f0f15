#include "ui/adjust/VideoProcAmpDlg.h"

#include <string>

#include "config/Profile.h"
#include "graph/GraphController.h"
#include "ui/adjust/ScrollRules.h"
#include "ui/adjust/VideoProcAmpRules.h"
#include "ui/adjust/res/AdjustmentIds.h"
#include "winfx/DataExchange.h"
#include "winfx/Dialog.h"

namespace {

struct RowIds {
    int scroll;
    int value;
    int automatic;
    int reset;
};

// In the order of the property numbers 0-9.
constexpr RowIds kRows[kVideoProcAmpCount] = {
    {IDC_PROCAMP_SCROLL_BRIGHTNESS, IDC_PROCAMP_VALUE_BRIGHTNESS, IDC_PROCAMP_AUTO_BRIGHTNESS,
     IDC_PROCAMP_DEFAULT_BRIGHTNESS},
    {IDC_PROCAMP_SCROLL_CONTRAST, IDC_PROCAMP_VALUE_CONTRAST, IDC_PROCAMP_AUTO_CONTRAST,
     IDC_PROCAMP_DEFAULT_CONTRAST},
    {IDC_PROCAMP_SCROLL_HUE, IDC_PROCAMP_VALUE_HUE, IDC_PROCAMP_AUTO_HUE, IDC_PROCAMP_DEFAULT_HUE},
    {IDC_PROCAMP_SCROLL_SATURATION, IDC_PROCAMP_VALUE_SATURATION, IDC_PROCAMP_AUTO_SATURATION,
     IDC_PROCAMP_DEFAULT_SATURATION},
    {IDC_PROCAMP_SCROLL_SHARPNESS, IDC_PROCAMP_VALUE_SHARPNESS, IDC_PROCAMP_AUTO_SHARPNESS,
     IDC_PROCAMP_DEFAULT_SHARPNESS},
    {IDC_PROCAMP_SCROLL_GAMMA, IDC_PROCAMP_VALUE_GAMMA, IDC_PROCAMP_AUTO_GAMMA,
     IDC_PROCAMP_DEFAULT_GAMMA},
    {IDC_PROCAMP_SCROLL_COLOR_ENABLE, IDC_PROCAMP_VALUE_COLOR_ENABLE, IDC_PROCAMP_AUTO_COLOR_ENABLE,
     IDC_PROCAMP_DEFAULT_COLOR_ENABLE},
    {IDC_PROCAMP_SCROLL_WHITE_BALANCE, IDC_PROCAMP_VALUE_WHITE_BALANCE,
     IDC_PROCAMP_AUTO_WHITE_BALANCE, IDC_PROCAMP_DEFAULT_WHITE_BALANCE},
    {IDC_PROCAMP_SCROLL_BACKLIGHT, IDC_PROCAMP_VALUE_BACKLIGHT, IDC_PROCAMP_AUTO_BACKLIGHT,
     IDC_PROCAMP_DEFAULT_BACKLIGHT},
    {IDC_PROCAMP_SCROLL_GAIN, IDC_PROCAMP_VALUE_GAIN, IDC_PROCAMP_AUTO_GAIN,
     IDC_PROCAMP_DEFAULT_GAIN},
};

// The row whose control `member` has the id; -1 for none.
int RowOf(int id, int RowIds::*member) {
    for (int row = 0; row < kVideoProcAmpCount; ++row) {
        if (kRows[row].*member == id) return row;
    }
    return -1;
}

// CVideoProcAmpDlg: the dialog over the ten records read from the device. Every change the
// user makes goes to the device at once through the controller and into the row's record; the
// caller copies the records into the profile.
// Threads: the main window's thread. Ownership: the caller owns the dialog and the controller.
class CVideoProcAmpDlg : public lumoka::CDialog {
public:
    explicit CVideoProcAmpDlg(CGraphController* graph)
        : lumoka::CDialog(IDD_VIDEO_PROC_AMP), m_graph(graph) {
        SetSwallowEnterEscape(true);
    }

    // Reads ranges, values and modes from the device; the result is the ranges-read flag.
    bool ReadRanges() {
        m_rangesRead = m_graph && m_graph->GetProcAmpInfo(m_infos) ? 1 : 0;
        return m_rangesRead != 0;
    }

    // The records' values and modes into the profile's pairs; nothing when nothing was read.
    void CopyToProfile(Profile& profile) const {
        if (!m_rangesRead) return;
        for (int row = 0; row < kVideoProcAmpCount; ++row) {
            profile.VideoProcAmp[row].Value = m_infos[row].Value;
            profile.VideoProcAmp[row].Flags = m_infos[row].Flags;
        }
    }

protected:
    BOOL OnInitDialog() override {
        for (int row = 0; row < kVideoProcAmpCount; ++row) ShowRow(row);
        ShowAllDefaultsButton();
        return TRUE;
    }

    bool OnCommand(WPARAM wParam, LPARAM) override {
        if (HIWORD(wParam) != BN_CLICKED) return false;
        const int id = LOWORD(wParam);
        if (id == IDC_PROCAMP_ALL_DEFAULTS) {
            for (int row = 0; row < kVideoProcAmpCount; ++row) ResetRow(row);
        } else if (const int row = RowOf(id, &RowIds::reset); row >= 0) {
            ResetRow(row);
        } else if (const int row = RowOf(id, &RowIds::automatic); row >= 0) {
            SwitchMode(row);
        } else {
            return false;
        }
        ShowAllDefaultsButton();
        return true;
    }

    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_HSCROLL) {
            const HWND bar = reinterpret_cast<HWND>(lParam);
            const int row = bar ? RowOf(::GetDlgCtrlID(bar), &RowIds::scroll) : -1;
            if (row >= 0) {
                Scroll(row, bar, LOWORD(wParam), HIWORD(wParam));
                return SetMsgResult(0);
            }
        }
        return lumoka::CDialog::DialogProc(msg, wParam, lParam);
    }

private:
    bool Usable() const { return m_graph && m_rangesRead; }

    void ShowRow(int row) {
        const ProcAmpInfo& info = m_infos[row];
        const ProcAmpRowView view = RowView(info, Usable());
        const HWND dialog = GetHwnd();
        lumoka::SetItemChecked(dialog, kRows[row].automatic, view.Checked);
        ::EnableWindow(GetItem(kRows[row].automatic), view.CheckEnabled);
        lumoka::SetItemText(dialog, kRows[row].value,
                            view.ShowValue ? std::to_wstring(info.Value) : std::wstring());
        const HWND bar = GetItem(kRows[row].scroll);
        if (view.SetRange) {
            ::SetScrollRange(bar, SB_CTL, 0, view.LastPosition, TRUE);
            ::SetScrollPos(bar, SB_CTL, view.Position, TRUE);
        }
        ::EnableWindow(bar, view.ScrollEnabled);
        ::EnableWindow(GetItem(kRows[row].reset), view.DefaultEnabled);
    }

    void ShowAllDefaultsButton() {
        bool any = false;
        for (const ProcAmpInfo& info : m_infos) any = any || RowView(info, Usable()).DefaultEnabled;
        ::EnableWindow(GetItem(IDC_PROCAMP_ALL_DEFAULTS), any);
    }

    // The device follows the thumb while it is dragged: every position is sent at once.
    void Scroll(int row, HWND bar, int code, int thumb) {
        ProcAmpInfo& info = m_infos[row];
        if (!Usable() || info.Value == kNotSet) return;
        const int32_t last = LastProcAmpPosition(info);
        // The message carries 16 bits of the thumb; a longer range needs the tracking position.
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        if (last > 0xFFFF && ::GetScrollInfo(bar, SB_CTL, &si)) thumb = si.nTrackPos;
        const int32_t position = NextScrollPosition(code, ::GetScrollPos(bar, SB_CTL), thumb, last);
        ::SetScrollPos(bar, SB_CTL, position, TRUE);
        const int32_t value = ProcAmpValueAt(info, position);
        if (value != info.Value) {
            m_graph->SetProcAmp(info.Property, value, info.Flags);
            info.Value = value;
        }
        lumoka::SetItemText(GetHwnd(), kRows[row].value, std::to_wstring(value));
    }

    // "既定値": the device's default in the row's current mode.
    void ResetRow(int row) {
        ProcAmpInfo& info = m_infos[row];
        if (!Usable() || !CanResetToDefault(info)) return;
        m_graph->SetProcAmp(info.Property, info.Default, info.Flags);
        info.Value = info.Default;
        ShowRow(row);
    }

    // The "自動" box, usable when the device offers both modes. Automatic: the device chooses,
    // the value is not shown. Manual: the value the device chose is read back and kept. A mode
    // the device refuses leaves the row as it was.
    void SwitchMode(int row) {
        ProcAmpInfo& info = m_infos[row];
        if (!Usable()) return;
        const ProcAmpInfo before = info;
        const bool automatic = lumoka::IsItemChecked(GetHwnd(), kRows[row].automatic);
        info.Flags = automatic ? kProcAmpAutomatic : kProcAmpManual;
        ProcAmpInfos now;
        if (!automatic && m_graph->GetProcAmpInfo(now) && now[row].Value != kNotSet) {
            info.Value = now[row].Value;
        }
        if (info.Value != kNotSet && !m_graph->SetProcAmp(info.Property, info.Value, info.Flags)) {
            info = before;
        }
        ShowRow(row);
    }

    CGraphController* m_graph;
    ProcAmpInfos m_infos{};
    int32_t m_rangesRead = 0;
};

}  // namespace

bool EditVideoProcAmp(HWND owner, CGraphController& graph, Profile& profile) {
    CVideoProcAmpDlg dialog(&graph);
    dialog.ReadRanges();
    dialog.CopyToProfile(profile);
    const bool ok = dialog.DoModal(owner) == IDOK;
    if (ok) dialog.CopyToProfile(profile);
    graph.ApplyProcAmpValues(profile.VideoProcAmp);
    return ok;
}
