// CVersionDlg: the program's name and version, a line about it, and a link to the user guide
// that lies beside the executable (written for the people who use the program, so the link
// never leads nowhere).
#include <string>  // before the shell headers (see devices/DeviceIds.h)

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "config/Config.h"
#include "ui/snapdlg/SnapshotDialogRules.h"
#include "ui/snapdlg/SnapshotDialogs.h"
#include "ui/snapdlg/res/SnapshotDialogIds.h"
#include "winfx/Dialog.h"

namespace {

void ShellExecuteOpen(HWND owner, const wchar_t* verb, const wchar_t* file, int show) {
    ShellExecuteW(owner, verb, file, nullptr, nullptr, show);
}

ShellOpenFunction g_shellOpen = ShellExecuteOpen;

// The folder of the executable with its trailing backslash: the configuration's, or the
// module's when the configuration was not initialised (a test program).
std::wstring ProgramFolder() {
    if (!TheConfig().ProgramDir.empty()) return TheConfig().ProgramDir;
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring module(path, length < MAX_PATH ? length : 0);
    const size_t slash = module.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : module.substr(0, slash + 1);
}

class CVersionDlg : public lumoka::CDialog {
public:
    explicit CVersionDlg(std::wstring guide) : CDialog(IDD_VERSION), m_guide(std::move(guide)) {}

protected:
    BOOL OnInitDialog() override {
        // The link's address is the guide's full path, for the link and for what it reports.
        LITEM item{};
        item.mask = LIF_ITEMINDEX | LIF_URL;
        item.iLink = 0;
        const size_t count = std::min(m_guide.size(), static_cast<size_t>(L_MAX_URL_LENGTH - 1));
        std::copy_n(m_guide.c_str(), count, item.szUrl);
        SendDlgItemMessageW(GetHwnd(), IDC_VERSION_LINK, LM_SETITEM, 0,
                            reinterpret_cast<LPARAM>(&item));
        return TRUE;
    }

    LRESULT OnNotify(WPARAM, LPARAM lParam) override {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        // A click, or Enter while the link has the focus.
        if (header->idFrom != IDC_VERSION_LINK ||
            (header->code != NM_CLICK && header->code != NM_RETURN)) {
            return 0;
        }
        const auto* link = reinterpret_cast<const NMLINK*>(lParam);
        const wchar_t* address = link->item.szUrl[0] != L'\0' ? link->item.szUrl : m_guide.c_str();
        g_shellOpen(GetHwnd(), L"open", address, SW_SHOWNORMAL);
        return 0;
    }

private:
    std::wstring m_guide;
};

}  // namespace

void ShowVersionDialog(HWND owner) {
    // The link control's class is registered only on request (not by the program's start-up
    // set of classes).
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    CVersionDlg dialog(UserGuidePath(ProgramFolder()));
    dialog.DoModal(owner);
}

ShellOpenFunction SetShellOpenFunction(ShellOpenFunction function) {
    const ShellOpenFunction previous = g_shellOpen;
    g_shellOpen = function ? function : ShellExecuteOpen;
    return previous;
}
