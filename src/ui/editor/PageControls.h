// The control moves the editor's pages share: filling combo boxes from texts, setting up a
// scroll bar from its rule, telling a combo box's edit field from other controls, and the COM
// apartment a page opens around a catalogue call.
//
// Threads: the thread of the editor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/editor/PageRules.h"

namespace editor {

// Empties the combo box and adds the texts in order.
void FillCombo(HWND dialog, int id, const std::vector<std::wstring>& texts);
std::vector<std::wstring> DecimalTexts(const std::vector<int32_t>& values);
// The text of a combo box's list item (CB_GETLBTEXT); the edit field still shows the old text
// while the selection change is being reported.
std::wstring ComboItemText(HWND dialog, int id, int index);

void EnableItem(HWND dialog, int id, bool enabled);
// Clears a combo box and disables it.
void ClearAndDisableCombo(HWND dialog, int id);

// Range, page 1, position and enabled state from the rule; a disabled bar keeps no range.
void ApplyScroll(HWND dialog, int id, const ScrollSetup& setup);
int GetBarPosition(HWND dialog, int id);
void SetBarPosition(HWND dialog, int id, int position);

// True when control is the combo box or the edit field inside it.
bool IsComboOrItsEdit(HWND control, HWND combo);
// Right-aligns the edit field of an editable combo box.
void RightAlignComboEdit(HWND combo);
// Repaints a combo box and its edit field (after its validity changed).
void RepaintCombo(HWND dialog, int id);

// COM for the calling thread around a catalogue call; uninitialised again only when this
// object initialised it.
class CComScope {
public:
    CComScope() : m_initialised(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComScope() {
        if (m_initialised) ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    bool m_initialised;
};

}  // namespace editor
