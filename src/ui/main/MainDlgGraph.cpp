// The main window's graph commands: rebuild, play, stop, profile choice, the transform settings
// and the renderers. The decisions (which command sets what, when a change needs a rebuild) are
// the portable CommandRules; this file only carries them out on the controller and the profile.
#include <objbase.h>

#include "config/Config.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainDlg.h"
#include "ui/main/MainWindowRules.h"
#include "winfx/Application.h"

namespace {

constexpr wchar_t kBuildFailedLine[] = L"フィルタグラフの構築に失敗しました";

}  // namespace

void CMainDlg::Rebuild() {
    // The second tear-down finds nothing to do; both are part of the rebuild's fixed order.
    m_graph.TearDown();
    m_graph.TearDown();
    m_graph.ClearFilterList();
    if (SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        m_graph.SetComInitialized(true);
    }

    // Without a selected profile an empty one is built, so the failure box says that no
    // profile is set rather than showing the last build's log.
    static const Profile kNoProfile;
    const Profile* profile = TheConfig().SelectedProfile();
    const bool built = m_graph.Build(GetHwnd(), profile ? *profile : kNoProfile) && profile;
    if (!built) {
        m_graph.TearDown();
        ::InvalidateRect(GetHwnd(), nullptr, TRUE);
        m_graph.AppendLog(L"%ls", kBuildFailedLine);
        if (m_quietRebuild) return;  // the recovery wait reports its failures itself
        const std::wstring caption = lumoka::ApplicationName();
        ::MessageBoxW(GetHwnd(), m_graph.LogText().c_str(), caption.c_str(),
                      MB_ICONEXCLAMATION | MB_OK);
        return;
    }

    OnGraphBuilt();
    ApplyProcessPriority();
    m_graph.SetCrop(profile->PreviewCropping);
    if (TheConfig().AspectRatio != 0 && !::IsZoomed(GetHwnd()) && !IsFullScreen()) {
        RefitWindow();
    }
    m_graph.UpdateVideoPosition();
    UpdateTitle();
}

void CMainDlg::StopPlayback() {
    if (!m_graph.IsBuilt()) return;
    OnGraphTornDown();
    m_graph.Stop();
    m_graph.TearDown();
    ::InvalidateRect(GetHwnd(), nullptr, TRUE);
}

// The device's current video signal values go into the profile being left, so a profile keeps
// what the user last saw; choosing the selected profile again rebuilds it.
// Ids past the profile list come from no menu item and do nothing.
void CMainDlg::ChooseProfile(size_t index) {
    CConfig& config = TheConfig();
    if (index >= config.Profiles.size()) return;
    if (Profile* current = config.SelectedProfile()) {
        m_graph.ReadProcAmpValues(current->VideoProcAmp);
    }
    config.Selected = static_cast<int32_t>(index);
    Rebuild();
}

// The transform commands store their value even with no graph or no transform filter; the
// value then takes effect at the next build.
bool CMainDlg::OnGraphCommand(UINT id) {
    if (id == ID_PLAY) {
        if (!m_graph.IsBuilt()) Rebuild();
        return true;
    }
    if (id == ID_STOP) {
        StopPlayback();
        return true;
    }
    if (id == ID_REBUILD) {
        Rebuild();
        return true;
    }
    if (id >= ID_PROFILE_FIRST && id <= ID_PROFILE_LAST) {
        ChooseProfile(id - ID_PROFILE_FIRST);
        return true;
    }
    ProfileCommand command;
    if (!ProfileCommandOf(id, &command)) return false;
    Profile* profile = TheConfig().SelectedProfile();
    if (!profile) return true;
    const bool rebuild = ApplyProfileCommand(command, *profile, m_graph.IsBuilt());
    ForwardTransformSetting(command.Setting, *profile);
    if (rebuild) Rebuild();
    return true;
}

void CMainDlg::ForwardTransformSetting(ProfileSetting setting, const Profile& profile) {
    switch (setting) {
        case ProfileSetting::CopyMode:
            m_graph.SetCopyMode(profile.PreviewTransformCopy);
            break;
        case ProfileSetting::FrameMode:
            m_graph.SetFrameMode(profile.PreviewTransformFrame);
            break;
        case ProfileSetting::FieldOrder:
            m_graph.SetFieldOrder(profile.PreviewTransformFieldOrder);
            break;
        case ProfileSetting::YCExpand:
            m_graph.SetYCExpand(profile.PreviewTransformYCExpand);
            break;
        case ProfileSetting::FlipVertical:
            m_graph.SetFlipVertical(profile.PreviewTransformFlipVertical);
            break;
        default:
            break;
    }
}
