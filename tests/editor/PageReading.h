// Reading and driving an editor page in process as its user would see it: combo entries, list
// view cells and rows, enabled states, and a combo choice with the notification the combo sends.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "winfx/DataExchange.h"
#include "winfx/Dialog.h"

// A control's notification to its page, as the control itself sends it.
inline void Notify(lumoka::CDialog& page, int id, int code) {
    SendMessageW(page.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(page.GetItem(id)));
}

inline void Choose(lumoka::CDialog& page, int id, int index) {
    ASSERT_TRUE(lumoka::SetComboSelection(page.GetHwnd(), id, index)) << id << " " << index;
    Notify(page, id, CBN_SELCHANGE);
}

inline std::vector<std::wstring> ComboTexts(lumoka::CDialog& page, int id) {
    std::vector<std::wstring> texts;
    const int count = lumoka::GetComboCount(page.GetHwnd(), id);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(page.GetHwnd(), id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// One list view cell; a longer text than the buffer shows cut, as the list itself cuts it.
inline std::wstring Cell(lumoka::CDialog& page, int id, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendDlgItemMessageW(page.GetHwnd(), id, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

inline int Rows(lumoka::CDialog& page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page.GetHwnd(), id, LVM_GETITEMCOUNT, 0, 0));
}

inline bool Enabled(lumoka::CDialog& page, int id) {
    return IsWindowEnabled(page.GetItem(id)) != FALSE;
}
