// Data exchange between a dialog's controls and plain values: the few moves every dialog makes
// when it copies its model into the controls (OnInitDialog) and back (OnOK). Each function
// takes the dialog window and the control id; a missing control reads as empty, unchecked or
// no selection, and writes to it do nothing (they return false where a result is given).
//
// Threads: the thread that owns the dialog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace lumoka {

// Text of any control (edit, static, button, combo box edit part).
std::wstring GetItemText(HWND dialog, int id);
bool SetItemText(HWND dialog, int id, const std::wstring& text);

// Signed decimal integers. GetItemInt returns false, leaving out untouched, when the text is
// not a number or does not fit in 32 bits.
bool GetItemInt(HWND dialog, int id, int32_t& out);
bool SetItemInt(HWND dialog, int id, int32_t value);

// Check boxes and radio buttons; a third (indeterminate) state reads as unchecked.
bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);

// Combo boxes (drop-down lists). The selection is an index, -1 for none.
int AddComboItem(HWND dialog, int id, const std::wstring& text, LPARAM data = 0);
void ClearCombo(HWND dialog, int id);
int GetComboCount(HWND dialog, int id);
int GetComboSelection(HWND dialog, int id);
// False when index is out of range (the selection is then cleared) or the control is missing.
bool SetComboSelection(HWND dialog, int id, int index);
// The data given to AddComboItem; 0 for an index out of range.
LPARAM GetComboItemData(HWND dialog, int id, int index);

}  // namespace lumoka
