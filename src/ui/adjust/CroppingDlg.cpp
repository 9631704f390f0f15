#include "ui/adjust/CroppingDlg.h"

#include <string>

#include "config/Profile.h"
#include "graph/GraphController.h"
#include "ui/adjust/CroppingRules.h"
#include "ui/adjust/ScrollRules.h"
#include "ui/adjust/res/AdjustmentIds.h"
#include "winfx/DataExchange.h"
#include "winfx/Dialog.h"

namespace {

// In row order: top, left, right, bottom.
constexpr int kScrollIds[kCropRowCount] = {IDC_CROP_SCROLL_TOP, IDC_CROP_SCROLL_LEFT,
                                           IDC_CROP_SCROLL_RIGHT, IDC_CROP_SCROLL_BOTTOM};
constexpr int kValueIds[kCropRowCount] = {IDC_CROP_VALUE_TOP, IDC_CROP_VALUE_LEFT,
                                          IDC_CROP_VALUE_RIGHT, IDC_CROP_VALUE_BOTTOM};

int RowOfScrollBar(int id) {
    for (int row = 0; row < kCropRowCount; ++row) {
        if (kScrollIds[row] == id) return row;
    }
    return -1;
}

void ShowCrop(CGraphController& graph, const CropRect& crop) {
    graph.SetCrop(crop);
    graph.UpdateVideoPosition();
}

// CCroppingDlg: the four margins and, when given, the controller that previews them.
// Threads: the main window's thread. Ownership: the caller owns the dialog and the controller.
class CCroppingDlg : public lumoka::CDialog {
public:
    CCroppingDlg(const CropRect& crop, CGraphController* graph)
        : lumoka::CDialog(IDD_CROPPING), m_crop(crop), m_graph(graph) {
        SetSwallowEnterEscape(true);
    }

    const CropRect& Crop() const { return m_crop; }

protected:
    BOOL OnInitDialog() override {
        m_margins = MarginsInRowOrder(m_crop);
        for (int row = 0; row < kCropRowCount; ++row) {
            const HWND bar = GetItem(kScrollIds[row]);
            ::SetScrollRange(bar, SB_CTL, 0, kCropMarginLast, TRUE);
            ::SetScrollPos(bar, SB_CTL, CropThumbPosition(m_margins[row]), TRUE);
            lumoka::SetItemText(GetHwnd(), kValueIds[row], std::to_wstring(m_margins[row]));
        }
        return TRUE;
    }

    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_HSCROLL) {
            const HWND bar = reinterpret_cast<HWND>(lParam);
            const int row = bar ? RowOfScrollBar(::GetDlgCtrlID(bar)) : -1;
            if (row >= 0) {
                Scroll(row, bar, LOWORD(wParam), HIWORD(wParam));
                return SetMsgResult(0);
            }
        }
        return lumoka::CDialog::DialogProc(msg, wParam, lParam);
    }

private:
    // The preview follows the thumb. The margins change with or without a preview, so OK
    // always keeps what the bars show.
    void Scroll(int row, HWND bar, int code, int thumb) {
        const int32_t position =
            NextScrollPosition(code, ::GetScrollPos(bar, SB_CTL), thumb, kCropMarginLast);
        ::SetScrollPos(bar, SB_CTL, position, TRUE);
        const bool changed = m_margins[row] != position;
        m_margins[row] = position;
        m_crop = CropFromMargins(m_margins);
        if (m_graph && changed) ShowCrop(*m_graph, m_crop);
        lumoka::SetItemText(GetHwnd(), kValueIds[row], std::to_wstring(position));
    }

    CropRect m_crop;
    CropMargins m_margins{};
    CGraphController* m_graph;
};

}  // namespace

bool EditCropping(HWND owner, CropRect& margins, CGraphController* preview) {
    CCroppingDlg dialog(margins, preview);
    const bool ok = dialog.DoModal(owner) == IDOK;
    if (ok) margins = dialog.Crop();
    if (preview) ShowCrop(*preview, margins);
    return ok;
}
