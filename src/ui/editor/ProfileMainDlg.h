// CProfileMainDlg: the modal "プロファイル設定" dialog (template 132) in which the user edits all
// ten capture profiles: a combo box to choose the profile, an edit box for its name, and a tab
// control with the video, audio, filter and preview pages. The frame moves data between the
// model's working copy and the pages; the pages know the fields.
//
// Only the page showing the current profile holds edits not yet in the working copy; they
// reach it when the profile is switched or OK is pressed. Enter and Escape go to the focused
// control and never confirm or cancel the editor.
//
// Threads: the main thread. Ownership: the caller owns the model (a copy of the
// configuration's profiles); the frame owns its four pages.
#pragma once

#include "ui/editor/EditorRules.h"
#include "ui/editor/ProfileAudioDlg.h"
#include "ui/editor/ProfileFilterDlg.h"
#include "ui/editor/ProfilePreviewDlg.h"
#include "ui/editor/ProfileVideoDlg.h"
#include "winfx/Dialog.h"
#include "winfx/TabPages.h"

class CProfileMainDlg : public lumoka::CDialog {
public:
    explicit CProfileMainDlg(ProfileEditorModel& model);

    int CurrentProfile() const { return m_current; }
    CProfileVideoDlg& VideoPage() { return m_video; }
    CProfileAudioDlg& AudioPage() { return m_audio; }
    CProfileFilterDlg& FilterPage() { return m_filter; }
    CProfilePreviewDlg& PreviewPage() { return m_preview; }
    lumoka::CTabPages& Tabs() { return m_tabs; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void CreatePages();
    void FillDeviceLists();
    void SetEntry(int index, const std::wstring& name);
    void OnNameChange();
    // The name edit's text as the profile stores it (StorableProfileName).
    std::wstring TypedName() const;
    void SwitchProfile();
    void LoadPages(const Profile& profile);
    void StorePages(Profile& profile);

    ProfileEditorModel& m_model;
    int m_current = 0;
    CProfileVideoDlg m_video;
    CProfileAudioDlg m_audio;
    CProfileFilterDlg m_filter;
    CProfilePreviewDlg m_preview;
    lumoka::CTabPages m_tabs;
};
