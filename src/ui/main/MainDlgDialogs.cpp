// The commands that open dialogs. Each body belongs to the area that owns its dialog; until it
// is filled the command does nothing at all.
#include "ui/main/MainDlg.h"

#include "config/Config.h"
#include "snapshot/Snapshot.h"
#include "ui/adjust/CroppingDlg.h"
#include "ui/adjust/VideoProcAmpDlg.h"
#include "ui/editor/ProfileEditor.h"
#include "ui/snapdlg/SnapshotDialogs.h"

// "プロファイル設定..." (32777): the profile editor, on copies of the ten profiles. After OK the
// edited profiles replace the configuration's (their video signal values forgotten, since the
// devices may have changed), the profile file is written unless this is a second instance, and
// the graph is built again; after Cancel only the last tab is kept and the graph stays stopped.
void CMainDlg::OnProfileSettings() {
    CFullScreenCursorPause pause(*this);
    StopPlayback();
    CConfig& config = TheConfig();
    ProfileEditorModel model = editor::MakeEditorModel(config);
    const bool accepted = RunProfileEditor(GetHwnd(), model);
    editor::TakeEditorResult(config, model, accepted);
    if (!accepted) return;
    if (config.SecondInstance == 0) config.SaveProfiles();
    Rebuild();
}

// "*映像信号調整..." (32944): the video adjustment dialog over the graph's capture device. The
// selected profile takes the device's values when it opens and the user's after OK; they are
// applied again in every case, so Cancel puts the device back. Without a selected profile a
// scratch profile plays that part.
void CMainDlg::OnVideoProcAmp() {
    CFullScreenCursorPause pause(*this);
    Profile scratch;
    Profile* selected = TheConfig().SelectedProfile();
    EditVideoProcAmp(GetHwnd(), Graph(), selected ? *selected : scratch);
}

// "*クロッピング..." (33000): the cropping dialog over the selected profile's margins, previewed
// live in this window; afterwards the window shows the profile's margins (the new ones after
// OK). Without a selected profile it edits the crop the window shows, which nothing stores.
void CMainDlg::OnCropping() {
    CFullScreenCursorPause pause(*this);
    CropRect scratch = Graph().Crop();
    Profile* selected = TheConfig().SelectedProfile();
    EditCropping(GetHwnd(), selected ? selected->PreviewCropping : scratch, &Graph());
}

// "静止画保存" (33071): save a still image of the current picture. Silent, as every snapshot
// outcome is; without a graph nothing is saved and no folder is created.
void CMainDlg::OnSnapshot() { TakeSnapshot(GetHwnd(), Graph(), TheConfig()); }

// "静止画保存フォルダを開く" (33072): open the snapshot folder in the shell.
void CMainDlg::OnOpenSnapshotFolder() { OpenSnapshotFolder(TheConfig()); }

// "静止画保存設定..." (33073): the snapshot settings dialog; OK changes the settings record,
// which reaches the settings file when the window closes.
void CMainDlg::OnSnapshotSettings() {
    CFullScreenCursorPause pause(*this);
    EditSnapshotSettings(GetHwnd(), TheConfig());
}

// "バージョン情報..." (33002): the version dialog.
void CMainDlg::OnVersion() {
    CFullScreenCursorPause pause(*this);
    ShowVersionDialog(GetHwnd());
}
