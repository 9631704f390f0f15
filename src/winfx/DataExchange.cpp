#include "winfx/DataExchange.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <vector>

namespace lumoka {

std::wstring GetItemText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item) return std::wstring();
    const int length = ::GetWindowTextLengthW(item);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextW(item, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

bool SetItemText(HWND dialog, int id, const std::wstring& text) {
    return ::SetDlgItemTextW(dialog, id, text.c_str()) != FALSE;
}

bool GetItemInt(HWND dialog, int id, int32_t& out) {
    if (!::GetDlgItem(dialog, id)) return false;
    const std::wstring text = GetItemText(dialog, id);
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
    // Trailing blanks are forgiven, anything else is not a number.
    while (*end == L' ' || *end == L'\t') ++end;
    if (*end != L'\0') return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool SetItemInt(HWND dialog, int id, int32_t value) {
    return SetItemText(dialog, id, std::to_wstring(value));
}

bool IsItemChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetItemChecked(HWND dialog, int id, bool checked) {
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int AddComboItem(HWND dialog, int id, const std::wstring& text, LPARAM data) {
    HWND combo = ::GetDlgItem(dialog, id);
    if (!combo) return CB_ERR;
    const LRESULT index =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

void ClearCombo(HWND dialog, int id) { ::SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0); }

int GetComboCount(HWND dialog, int id) {
    if (!::GetDlgItem(dialog, id)) return 0;
    const LRESULT count = ::SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

int GetComboSelection(HWND dialog, int id) {
    if (!::GetDlgItem(dialog, id)) return -1;
    const LRESULT selection = ::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

bool SetComboSelection(HWND dialog, int id, int index) {
    if (!::GetDlgItem(dialog, id)) return false;
    if (index < 0 || index >= GetComboCount(dialog, id)) {
        ::SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return false;
    }
    return ::SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
}

LPARAM GetComboItemData(HWND dialog, int id, int index) {
    if (index < 0 || index >= GetComboCount(dialog, id)) return 0;
    const LRESULT data =
        ::SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? 0 : static_cast<LPARAM>(data);
}

}  // namespace lumoka
