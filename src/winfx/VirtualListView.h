// CVirtualListView: a report list view in virtual mode (LVS_OWNERDATA) whose rows live in the
// dialog's model. The control keeps only the row count; it asks for each cell's text through
// LVN_GETDISPINFOW, which this class answers from the model's CellText, bounded by the
// control's buffer. Optional: row colours by custom draw, and a check box per row whose state
// comes from the model (the control cannot keep it in virtual mode).
//
// How to use it: Attach to the list control in OnInitDialog, add columns, give it the model's
// functions and SetCount; in the dialog's OnNotify call HandleNotify first and return its
// result when it answers true. CheckBoxHit tells whether a click landed on a row's check box.
//
// Threads: the thread of the dialog. Ownership: the control belongs to the dialog; the
// functions given here must stay valid while the control lives.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace lumoka {

class CVirtualListView {
public:
    using CellText = std::function<std::wstring(int row, int column)>;
    // Text and background colour of a row (COLORREF).
    using RowColours = std::function<void(int row, COLORREF& text, COLORREF& background)>;
    using RowChecked = std::function<bool(int row)>;

    // Takes over a list control; extraStyles are LVS_EX_* styles (with LVS_EX_CHECKBOXES the
    // check box state is asked from RowChecked).
    void Attach(HWND list, DWORD extraStyles = LVS_EX_FULLROWSELECT);
    HWND GetHwnd() const { return m_list; }

    void AddColumn(const std::wstring& title, int width);
    void SetCellText(CellText text) { m_text = std::move(text); }
    void SetRowColours(RowColours colours) { m_colours = std::move(colours); }
    void SetRowChecked(RowChecked checked) { m_checked = std::move(checked); }

    // The number of rows; the control asks for their cells again.
    void SetCount(int rows);
    int Count() const;
    void RedrawRow(int row);
    void Enable(bool enabled);

    // The selected row (single selection), -1 for none.
    int Selected() const;
    // Selects one row (or none for -1), gives it the focus mark and scrolls it into view.
    void Select(int row);

    // Answers the list's display requests and custom drawing; true when the notification
    // was one of them, with result the value for the sender.
    bool HandleNotify(const NMHDR& header, LRESULT& result);

    // For a click notification (NM_CLICK) of this list: the row whose check box was hit, or -1.
    int CheckBoxHit(const NMHDR& header) const;

private:
    void FillDisplayInfo(NMLVDISPINFOW& info) const;
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;

    HWND m_list = nullptr;
    int m_columns = 0;
    bool m_checkBoxes = false;
    CellText m_text;
    RowColours m_colours;
    RowChecked m_checked;
};

}  // namespace lumoka
