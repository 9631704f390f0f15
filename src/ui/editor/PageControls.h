// The control moves the editor's pages share: filling combo boxes from texts, setting up a
// scroll bar from its rule, telling a combo box's edit field from other controls, the COM
// apartment a page opens around a catalogue call, and CSourcePage, what the video and the
// audio source pages have in common.
//
// Threads: the thread of the editor.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "graph/CatalogueRecords.h"
#include "ui/editor/PageRules.h"
#include "wincom/UniqueHandle.h"
#include "winfx/Dialog.h"
#include "winfx/VirtualListView.h"

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

// A source page (video or audio): a device combo headed by its "none" entry, a format combo,
// three value combos each with a scroll bar, a validity flag and the light red of an invalid
// text, a pin list and a format information list. This class routes the controls' commands,
// scroll bars, colours and list notifications; the page gives the rules of its values.
class CSourcePage : public lumoka::CDialog {
public:
    static constexpr int kValueCount = 3;
    struct Controls {
        int Device;
        int Format;
        std::array<int, kValueCount> Combos;
        std::array<int, kValueCount> Bars;
    };

    // The "none" entry and then every device's FriendlyName; the first entry selected.
    void FillDevices(const std::vector<DeviceEntry>& devices);

protected:
    static constexpr int kNoneHandled = 2147483647;  // the next selection always counts

    CSourcePage(UINT templateId, const wchar_t* noneEntry, int device, int format,
                const int (&combos)[kValueCount], const int (&bars)[kValueCount]);

    // The lists whose notifications the page answers.
    void SetLists(lumoka::CVirtualListView* pins, lumoka::CVirtualListView* info);
    // The pin list's columns, cells and row colours over the page's pins.
    static void SetUpPinList(lumoka::CVirtualListView& list, HWND control,
                             const std::vector<PinEntry>& pins);

    // Selects the device of a profile (or "none") and describes it afresh; its list index or -1.
    int SelectDevice(const std::wstring& friendlyName, const std::wstring& devicePath);
    // Shows a value of a loaded profile and validates it as if typed.
    void ShowLoadedValue(int which, const std::wstring& text);
    // Validates a value's text: its flag, and its bar moved to a valid value's position.
    void Validate(int which, const std::wstring& text);

    // The page's rules for its values.
    virtual void OnDeviceChange() = 0;
    virtual void OnFormatChange() = 0;
    virtual Validation ValidateValue(int which, const std::wstring& text) const = 0;
    // The bar position of an entry chosen from a value's list; -1 leaves the bar.
    virtual int32_t ChosenPosition(int which, const std::wstring& entry) const = 0;
    // The bar position a scroll code leads to, and the text it stands for.
    virtual int32_t Step(int which, ScrollCode code, int32_t thumb, int32_t position,
                         std::wstring& text) const = 0;
    // Commands of other controls than the device, format and value combos.
    virtual bool OnOtherCommand(int id, int code);

    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam) override;
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND control) override;
    bool OnHScroll(HWND scrollBar, int code, int position) override;

    const Controls m_controls;
    std::vector<DeviceEntry> m_devices;
    int m_lastDevice = -1;
    std::array<bool, kValueCount> m_valid{{true, true, true}};
    std::array<ScrollSetup, kValueCount> m_scroll{};

private:
    void OnValueChosen(int which);
    void MarkValid(int which, bool valid);

    const wchar_t* m_noneEntry;
    lumoka::UniqueGdiObject m_invalidBrush;
    lumoka::CVirtualListView* m_pinList = nullptr;
    lumoka::CVirtualListView* m_infoList = nullptr;
};

}  // namespace editor
