// CSnapShotDlg: the snapshot settings dialog. The controls show a copy of the five settings;
// when the dialog closes (OK and Cancel alike) they are read back into the copy, which the
// command stores only after OK.
#include <string>  // before the shell headers (see devices/DeviceIds.h)

#include <windows.h>
#include <shlobj.h>

#include "config/Config.h"
#include "ui/snapdlg/SnapshotDialogRules.h"
#include "ui/snapdlg/SnapshotDialogs.h"
#include "ui/snapdlg/res/SnapshotDialogIds.h"
#include "winfx/DataExchange.h"
#include "winfx/Dialog.h"

namespace {

const int kFormatRadios[] = {IDC_SNAPSHOT_BMP, IDC_SNAPSHOT_JPEG, IDC_SNAPSHOT_PNG};
const int kSizeRadios[] = {IDC_SNAPSHOT_INPUT_SIZE, IDC_SNAPSHOT_ASPECT_SIZE,
                           IDC_SNAPSHOT_DISPLAY_SIZE};

// The index of the checked radio of a group; fallback when none is checked.
int32_t CheckedIndex(HWND dialog, const int (&ids)[3], int32_t fallback) {
    for (int32_t i = 0; i < 3; ++i) {
        if (lumoka::IsItemChecked(dialog, ids[i])) return i;
    }
    return fallback;
}

// The browser starts at the folder it is given (lpData).
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

class CSnapShotDlg : public lumoka::CDialog {
public:
    explicit CSnapShotDlg(const SnapshotSettings& settings)
        : CDialog(IDD_SNAPSHOT_SETTINGS), m_settings(settings) {}

    const SnapshotSettings& Settings() const { return m_settings; }

protected:
    BOOL OnInitDialog() override {
        HWND dialog = GetHwnd();
        lumoka::SetItemText(dialog, IDC_SNAPSHOT_FOLDER, m_settings.Folder);
        lumoka::SetItemChecked(dialog, kFormatRadios[FormatRadioIndex(m_settings.Type)], true);
        lumoka::SetItemChecked(dialog, kSizeRadios[SizeRadioIndex(m_settings.VideoSize)], true);
        lumoka::SetItemChecked(dialog, IDC_SNAPSHOT_CROP, m_settings.Crop != 0);
        m_settings.JpegQuality = QualityInRange(m_settings.JpegQuality);
        HWND bar = GetItem(IDC_SNAPSHOT_QUALITY_BAR);
        SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
        ShowQuality(m_settings.JpegQuality);
        return TRUE;
    }

    bool OnCommand(WPARAM wParam, LPARAM) override {
        if (LOWORD(wParam) != IDC_SNAPSHOT_BROWSE || HIWORD(wParam) != BN_CLICKED) return false;
        Browse();
        return true;
    }

    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        HWND bar = GetItem(IDC_SNAPSHOT_QUALITY_BAR);
        if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == bar) {
            ShowQuality(
                NextQualityPosition(LOWORD(wParam), HIWORD(wParam), GetScrollPos(bar, SB_CTL)));
            return TRUE;
        }
        return CDialog::DialogProc(msg, wParam, lParam);
    }

    void OnDestroy() override {
        HWND dialog = GetHwnd();
        m_settings.Folder = FolderFromField(lumoka::GetItemText(dialog, IDC_SNAPSHOT_FOLDER));
        m_settings.Type = CheckedIndex(dialog, kFormatRadios, 2);
        m_settings.VideoSize = CheckedIndex(dialog, kSizeRadios, 0);
        m_settings.Crop = lumoka::IsItemChecked(dialog, IDC_SNAPSHOT_CROP) ? 1 : 0;
        m_settings.JpegQuality = GetScrollPos(GetItem(IDC_SNAPSHOT_QUALITY_BAR), SB_CTL);
        CDialog::OnDestroy();
    }

private:
    void ShowQuality(int32_t position) {
        SetScrollPos(GetItem(IDC_SNAPSHOT_QUALITY_BAR), SB_CTL, position, TRUE);
        lumoka::SetItemText(GetHwnd(), IDC_SNAPSHOT_QUALITY_TEXT, std::to_wstring(position));
    }

    // The shell's folder browser, starting at the folder the dialog holds (not what has been
    // typed into the edit since).
    void Browse() {
        // The browser needs COM on this thread; balanced whether or not it was already there.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        wchar_t display[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = GetHwnd();
        info.pszDisplayName = display;
        info.lpszTitle = L"フォルダの選択";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = BrowseCallback;
        // The shell's paths are shorter than MAX_PATH: a longer folder is none it can select.
        if (BrowserCanStartAt(m_settings.Folder))
            info.lParam = reinterpret_cast<LPARAM>(m_settings.Folder.c_str());
        PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
        if (chosen) {
            wchar_t path[MAX_PATH] = {};
            if (SHGetPathFromIDListW(chosen, path) && path[0] != L'\0') {
                m_settings.Folder = BrowsedFolderText(path);
                lumoka::SetItemText(GetHwnd(), IDC_SNAPSHOT_FOLDER, m_settings.Folder);
            }
            CoTaskMemFree(chosen);
        }
        if (SUCCEEDED(com)) CoUninitialize();
    }

    SnapshotSettings m_settings;
};

}  // namespace

bool EditSnapshotSettings(HWND owner, CConfig& config) {
    CSnapShotDlg dialog(SnapshotSettingsOf(config));
    if (dialog.DoModal(owner) != IDOK) return false;
    StoreSnapshotSettings(dialog.Settings(), config);
    return true;
}
