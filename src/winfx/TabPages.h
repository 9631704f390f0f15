// CTabPages: a tab control of a dialog that holds modeless child pages, one per tab, and shows
// the page of the selected tab. Used instead of the system's property sheet, whose own modal
// loop would bypass ours.
//
// How to use it:
//   - In the holding dialog's OnInitDialog: Attach(GetItem(tabId)); AddPage(title, page) for
//     each page (a CDialog made from a template with WS_CHILD | DS_CONTROL, no caption), then
//     Select(index). Pages become children of the tab control and fill its display area.
//   - From the holding dialog's OnNotify: OnNotify(header) shows the newly chosen page after
//     TCN_SELCHANGE and returns true for the tab control's notifications.
//   - Keyboard: the tab control is made a control parent, so the holding dialog's keyboard
//     handling (tab order, mnemonics) reaches the controls of the shown page, and
//     CDialog::RouteDialogMessage gives the page's PreTranslateMessage the messages of its
//     controls before the holding dialog's.
//
// Threads: the thread of the holding dialog. Ownership: the pages belong to the caller and
// must outlive the tab control's window; their windows go with it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "winfx/Dialog.h"

namespace lumoka {

class CTabPages {
public:
    // Takes over a tab control: clip-children and clip-siblings styles, control parent.
    void Attach(HWND tabControl);
    HWND GetHwnd() const { return m_tab; }

    // Adds a tab and creates its page as a hidden child of the tab control, laid into the
    // display area. False (and no tab) when the page cannot be created.
    bool AddPage(const std::wstring& title, CDialog& page);
    int Count() const { return static_cast<int>(m_pages.size()); }

    // Selects a tab and shows its page, hiding the others; an index outside the tabs selects
    // none and hides every page.
    void Select(int index);
    int Selected() const;

    // Lays every page into the tab control's display area (after the control was resized).
    void Layout();

    // True for the tab control's notifications; after a selection change the new page shows.
    bool OnNotify(const NMHDR& header);

private:
    void ShowOnly(int index);

    HWND m_tab = nullptr;
    std::vector<CDialog*> m_pages;
};

}  // namespace lumoka
