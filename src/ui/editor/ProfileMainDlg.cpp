#include "ui/editor/ProfileMainDlg.h"

#include "graph/Catalogue.h"
#include "ui/editor/PageControls.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

using namespace editor;

namespace {

// The platform's case-insensitive, locale-aware comparison for the filter catalogue's order.
int CompareNames(const wchar_t* a, const wchar_t* b) { return ::lstrcmpiW(a, b); }

bool IsComboBoxClass(HWND window) {
    wchar_t name[16] = {};
    return window && ::GetClassNameW(window, name, 16) && ::lstrcmpiW(name, L"ComboBox") == 0;
}

// The combo box itself, or the edit field inside an editable one.
bool IsInComboBox(HWND window) {
    return IsComboBoxClass(window) || (window && IsComboBoxClass(::GetParent(window)));
}

}  // namespace

CProfileMainDlg::CProfileMainDlg(ProfileEditorModel& model)
    : CDialog(IDD_PROFILE_MAIN), m_model(model) {}

bool RunProfileEditor(HWND owner, ProfileEditorModel& model) {
    CProfileMainDlg editor(model);
    return editor.DoModal(owner) == IDOK;
}

BOOL CProfileMainDlg::OnInitDialog() {
    // Out-of-range values from the profile file open the first profile and the first tab;
    // what the user then chooses is handed back.
    m_current = OpeningProfile(m_model.Selected, m_model.Profiles.size());
    m_model.LastTab = OpeningTab(m_model.LastTab);
    CreatePages();
    m_tabs.Select(m_model.LastTab);
    FillDeviceLists();
    for (size_t i = 0; i < m_model.Profiles.size(); ++i) {
        lumoka::AddComboItem(GetHwnd(), IDC_MAIN_PROFILE,
                             ProfileEntryText(static_cast<int>(i), m_model.Profiles[i].Name));
    }
    if (m_current < static_cast<int>(m_model.Profiles.size())) {
        const Profile& profile = m_model.Profiles[static_cast<size_t>(m_current)];
        lumoka::SetItemText(GetHwnd(), IDC_MAIN_NAME, profile.Name);
        lumoka::SetComboSelection(GetHwnd(), IDC_MAIN_PROFILE, m_current);
        LoadPages(profile);
    }
    return TRUE;
}

void CProfileMainDlg::CreatePages() {
    m_tabs.Attach(GetItem(IDC_MAIN_TAB));
    // A page that cannot be created ends the page creation; the editor still opens.
    m_tabs.AddPage(L"ビデオ出力", m_video) && m_tabs.AddPage(L"オーディオ出力", m_audio) &&
        m_tabs.AddPage(L"フィルタ追加", m_filter) && m_tabs.AddPage(L"プレビュー設定", m_preview);
}

void CProfileMainDlg::FillDeviceLists() {
    std::vector<DeviceEntry> video;
    std::vector<DeviceEntry> audio;
    std::vector<DeviceEntry> filters;
    {
        CComScope com;
        EnumDevices(DeviceKind::VideoCapture, video);
        EnumDevices(DeviceKind::AudioCapture, audio);
        EnumDevices(DeviceKind::OtherFilter, filters);
    }
    // A video capture device with an audio capture pin can be the audio source too.
    audio.insert(audio.end(), video.begin(), video.end());
    SortFilterCatalogue(filters, CompareNames);
    if (m_video.IsOpen()) m_video.FillDevices(video);
    if (m_audio.IsOpen()) m_audio.FillDevices(audio);
    if (m_filter.IsOpen()) m_filter.FillFilters(filters);
}

void CProfileMainDlg::LoadPages(const Profile& profile) {
    if (m_video.IsOpen()) m_video.Load(profile);
    if (m_audio.IsOpen()) m_audio.Load(profile);
    if (m_filter.IsOpen()) m_filter.Load(profile);
    m_preview.VideoRadio = SyncRadioFromProfile(profile.PreviewVideoSync);
    m_preview.AudioRadio = SyncRadioFromProfile(profile.PreviewAudioSync);
    if (m_preview.IsOpen()) m_preview.ShowValues();
}

void CProfileMainDlg::StorePages(Profile& profile) {
    if (m_video.IsOpen()) m_video.Store(profile);
    if (m_audio.IsOpen()) m_audio.Store(profile);
    if (m_filter.IsOpen()) m_filter.Store(profile);
    if (m_preview.IsOpen()) m_preview.ReadValues();
    profile.PreviewVideoSync = SyncProfileFromRadio(m_preview.VideoRadio);
    profile.PreviewAudioSync = SyncProfileFromRadio(m_preview.AudioRadio);
}

void CProfileMainDlg::SetEntry(int index, const std::wstring& name) {
    HWND combo = GetItem(IDC_MAIN_PROFILE);
    ::SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    const std::wstring text = ProfileEntryText(index, name);
    ::SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CProfileMainDlg::TypedName() const {
    // What the profile file can give back; the combo entry shows it while the user types.
    return StorableProfileName(lumoka::GetItemText(GetHwnd(), IDC_MAIN_NAME));
}

void CProfileMainDlg::OnNameChange() {
    const int selection = lumoka::GetComboSelection(GetHwnd(), IDC_MAIN_PROFILE);
    if (selection < 0) return;
    SetEntry(selection, TypedName());
    lumoka::SetComboSelection(GetHwnd(), IDC_MAIN_PROFILE, selection);
}

void CProfileMainDlg::SwitchProfile() {
    const int next = lumoka::GetComboSelection(GetHwnd(), IDC_MAIN_PROFILE);
    if (next < 0 || next == m_current || next >= static_cast<int>(m_model.Profiles.size())) return;
    Profile& old = m_model.Profiles[static_cast<size_t>(m_current)];
    old.Name = TypedName();
    SetEntry(m_current, old.Name);
    lumoka::SetComboSelection(GetHwnd(), IDC_MAIN_PROFILE, next);
    const Profile& profile = m_model.Profiles[static_cast<size_t>(next)];
    lumoka::SetItemText(GetHwnd(), IDC_MAIN_NAME, profile.Name);
    StorePages(old);
    LoadPages(profile);
    m_current = next;
}

bool CProfileMainDlg::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_MAIN_PROFILE && code == CBN_SELCHANGE) {
        SwitchProfile();
        return true;
    }
    if (id == IDC_MAIN_NAME && code == EN_CHANGE) {
        OnNameChange();
        return true;
    }
    return false;
}

LRESULT CProfileMainDlg::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (m_tabs.OnNotify(header) && header.code == TCN_SELCHANGE) {
        m_model.LastTab = m_tabs.Selected();
    }
    return 0;
}

void CProfileMainDlg::OnOK() {
    if (m_current < static_cast<int>(m_model.Profiles.size())) {
        Profile& profile = m_model.Profiles[static_cast<size_t>(m_current)];
        profile.Name = TypedName();
        StorePages(profile);
    }
    m_model.Selected = m_current;
    EndDialog(IDOK);
}

bool CProfileMainDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) {
        return false;
    }
    // Enter and Escape never reach the dialog manager, which would turn them into OK and
    // Cancel. A combo box gets them (they close its list); other controls have no use for
    // them, and an edit control would hand Enter on to the default button, taking the focus
    // with it (Wine does; editor_e2e_test shows the name edit keeping it).
    if (IsInComboBox(msg.hwnd)) ::DispatchMessageW(&msg);
    return true;
}
