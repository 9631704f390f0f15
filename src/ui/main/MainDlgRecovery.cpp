// The main window's recovery from a lost capture device (the rules are RecoveryRules.h). When
// the running graph reports the loss, the window either rebuilds at once (the device is still
// listed) or tears the graph down and waits with one line painted on the black client area;
// while it waits it checks the catalogue on every device arrival (WM_DEVICECHANGE, registered
// for all device interface classes while waiting) and every 2 seconds, since not every system
// sends the arrival. Tries made by the wait show no failure box; after five failed tries in a
// row the normal box is shown once.
#include "ui/main/MainDlg.h"

#include <dbt.h>

#include "config/Config.h"
#include "graph/Catalogue.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainMessages.h"
#include "winfx/Application.h"

namespace {

// One timer for the checks and the back-off; re-armed after each tick.
constexpr UINT_PTR kRecoveryTimerId = 0x4C52;
constexpr wchar_t kWaitingLine[] = L"信号がありません — 再接続を待っています";
constexpr wchar_t kLostLine[] = L"キャプチャーデバイスを見失いました";
constexpr wchar_t kBuildFailedLine[] = L"フィルタグラフの構築に失敗しました";

int64_t NowMs() { return static_cast<int64_t>(::GetTickCount64()); }

bool Listed(DeviceKind kind, const DeviceInfo& device) {
    ComPtr<IBaseFilter> filter;
    return ::FindDevice(kind, device.FriendlyName, device.DevicePath, FindVariant::GraphBuild,
                        filter);
}

}  // namespace

bool CMainDlg::HandleRecoveryMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR* result) {
    switch (msg) {
        case WM_GRAPH_NOTIFY:
            // Drained here only: a rebuild in answer may already have queued the new graph's
            // first events, which a second drain would lose.
            OnGraphEvents(m_graph.DrainEvents());
            *result = SetMsgResult(0);
            return true;
        case WM_TIMER:
            if (wParam != kRecoveryTimerId) return false;
            ::KillTimer(GetHwnd(), kRecoveryTimerId);
            ApplyRecovery(m_recovery.OnCheck(ProfileDevicesListed(), NowMs()));
            *result = SetMsgResult(0);
            return true;
        case WM_DEVICECHANGE:
            if (m_recovery.Waiting() &&
                (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED)) {
                ApplyRecovery(m_recovery.OnCheck(ProfileDevicesListed(), NowMs()));
            }
            *result = SetMsgResult(TRUE);
            return true;
        case WM_CLOSE:
            EndRecovery();
            return false;
        case WM_DESTROY:
            EndRecovery();
            return false;
        default:
            return false;
    }
}

bool CMainDlg::OnRecoveryCommand(UINT id) {
    if (!m_recovery.Active()) return false;
    if (id == ID_PLAY || id == ID_REBUILD) {
        if (m_recovery.Waiting()) {
            ApplyRecovery(m_recovery.OnUserRebuild());
            return true;
        }
        EndRecovery();  // a graph plays: the user's rebuild is an ordinary one
        return false;
    }
    const bool ends = id == ID_STOP || id == ID_PROFILE_SETTINGS ||
                      (id >= ID_PROFILE_FIRST && id <= ID_PROFILE_LAST);
    if (ends) EndRecovery();
    return false;
}

void CMainDlg::OnGraphEvents(const std::vector<GraphEvent>& events) {
    bool lost = false;
    for (const GraphEvent& e : events) {
        lost = lost || IsDeviceLossEvent(e.Code, static_cast<long>(e.Param2));
    }
    if (!lost || !m_graph.IsBuilt()) return;
    ApplyRecovery(m_recovery.OnDeviceLost(ProfileDevicesListed(), NowMs()));
}

void CMainDlg::PaintRecoveryLine(HDC dc, const RECT& client) {
    if (!m_recovery.Waiting() || m_graph.IsBuilt()) return;
    const int saved = ::SaveDC(dc);
    ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT area = client;
    ::DrawTextW(dc, kWaitingLine, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::RestoreDC(dc, saved);
}

void CMainDlg::ApplyRecovery(RecoveryAction action) {
    switch (action) {
        case RecoveryAction::None:
            break;
        case RecoveryAction::TearDown:
            // Nothing is read into the profile and nothing is written.
            StopPlayback();
            ::InvalidateRect(GetHwnd(), nullptr, TRUE);
            break;
        case RecoveryAction::Rebuild:
            TryRecoveryBuild();
            return;  // the result's action has been applied and the timer armed
        case RecoveryAction::ShowFailure:
            ShowRecoveryFailure();
            break;
    }
    ArmRecovery();
}

void CMainDlg::TryRecoveryBuild() {
    m_quietRebuild = true;
    Rebuild();
    m_quietRebuild = false;
    const bool built = m_graph.IsBuilt();
    ApplyRecovery(m_recovery.OnBuildResult(built, built || ProfileDevicesListed(), NowMs()));
}

void CMainDlg::ShowRecoveryFailure() {
    const bool wasBuilt = m_graph.IsBuilt();
    StopPlayback();
    ::InvalidateRect(GetHwnd(), nullptr, TRUE);
    // A graph that was built and lost its device again has a log without a failure in it.
    if (wasBuilt) m_graph.AppendLog(L"%ls", kLostLine);
    if (wasBuilt) m_graph.AppendLog(L"%ls", kBuildFailedLine);
    const std::wstring caption = lumoka::ApplicationName();
    ::MessageBoxW(GetHwnd(), m_graph.LogText().c_str(), caption.c_str(),
                  MB_ICONEXCLAMATION | MB_OK);
}

// Keeps the timer and the arrival notice while the rules need them, and drops both otherwise.
void CMainDlg::ArmRecovery() {
    if (!m_recovery.Active()) {
        EndRecovery();
        return;
    }
    const int64_t delay = m_recovery.NextCheckDelayMs(NowMs());
    ::SetTimer(GetHwnd(), kRecoveryTimerId, static_cast<UINT>(delay), nullptr);
    if (!m_deviceNotify) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        m_deviceNotify = ::RegisterDeviceNotificationW(
            GetHwnd(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
    }
}

void CMainDlg::EndRecovery() {
    const bool waited = m_recovery.Waiting();
    m_recovery.End();
    ::KillTimer(GetHwnd(), kRecoveryTimerId);
    if (m_deviceNotify) {
        ::UnregisterDeviceNotification(m_deviceNotify);
        m_deviceNotify = nullptr;
    }
    if (waited) ::InvalidateRect(GetHwnd(), nullptr, TRUE);  // the waiting line goes
}

// The selected profile's capture devices are all listed (the audio device also under the
// video category, as the build looks for it).
bool CMainDlg::ProfileDevicesListed() const {
    const Profile* profile = TheConfig().SelectedProfile();
    if (!profile) return false;
    const bool needsCom = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    bool listed = true;
    if (!profile->Video.FriendlyName.empty()) {
        listed = Listed(DeviceKind::VideoCapture, profile->Video);
    }
    if (listed && !profile->Audio.FriendlyName.empty()) {
        listed = Listed(DeviceKind::AudioCapture, profile->Audio) ||
                 Listed(DeviceKind::VideoCapture, profile->Audio);
    }
    if (needsCom) ::CoUninitialize();
    return listed;
}
