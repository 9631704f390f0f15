#include "ui/editor/ProfilePreviewDlg.h"

#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

CProfilePreviewDlg::CProfilePreviewDlg() : CDialog(IDD_PROFILE_PREVIEW) {}

void CProfilePreviewDlg::ShowValues() {
    ::CheckRadioButton(GetHwnd(), IDC_PREVIEW_VIDEO_NOSYNC, IDC_PREVIEW_VIDEO_SYNC,
                       VideoRadio == 1 ? IDC_PREVIEW_VIDEO_SYNC : IDC_PREVIEW_VIDEO_NOSYNC);
    ::CheckRadioButton(GetHwnd(), IDC_PREVIEW_AUDIO_NOSYNC, IDC_PREVIEW_AUDIO_SYNC,
                       AudioRadio == 1 ? IDC_PREVIEW_AUDIO_SYNC : IDC_PREVIEW_AUDIO_NOSYNC);
}

void CProfilePreviewDlg::ReadValues() {
    VideoRadio = lumoka::IsItemChecked(GetHwnd(), IDC_PREVIEW_VIDEO_SYNC) ? 1 : 0;
    AudioRadio = lumoka::IsItemChecked(GetHwnd(), IDC_PREVIEW_AUDIO_SYNC) ? 1 : 0;
}
