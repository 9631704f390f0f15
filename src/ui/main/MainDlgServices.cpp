// The main window's playback services: the title and its frame rate, the cursor auto-hide
// worker, screen saver and monitor power-off held off while a graph exists, the system-standby
// execution state, the process priority and the volume (menu steps and the mouse wheel).
#include <windowsx.h>

#include "config/Config.h"
#include "filter/LumokaFilterStats.h"
#include "ui/main/CommandIds.h"
#include "ui/main/MainDlg.h"
#include "ui/main/MainMessages.h"
#include "ui/main/MainWindowRules.h"
#include "ui/main/WindowGeometryRules.h"

namespace {

bool Toggle(int32_t& value) {
    value = value != 0 ? 0 : 1;
    return value != 0;
}

struct VolumeCommand {
    UINT id;
    int32_t percent;
};
constexpr VolumeCommand kVolumeCommands[] = {
    {ID_VOLUME_100, 100}, {ID_VOLUME_90, 90}, {ID_VOLUME_80, 80}, {ID_VOLUME_70, 70},
    {ID_VOLUME_60, 60},   {ID_VOLUME_50, 50}, {ID_VOLUME_40, 40}, {ID_VOLUME_30, 30},
    {ID_VOLUME_20, 20},   {ID_VOLUME_10, 10}, {ID_VOLUME_0, 0},
};

struct PriorityCommand {
    UINT id;
    int32_t stored;
};
constexpr PriorityCommand kPriorityCommands[] = {
    {ID_PRIORITY_REALTIME, 5}, {ID_PRIORITY_HIGH, 4},         {ID_PRIORITY_ABOVE_NORMAL, 3},
    {ID_PRIORITY_NORMAL, 0},   {ID_PRIORITY_BELOW_NORMAL, 1}, {ID_PRIORITY_IDLE, 2},
};

DWORD PriorityClassOf(ProcessPriority priority) {
    switch (priority) {
        case ProcessPriority::Normal:
            return NORMAL_PRIORITY_CLASS;
        case ProcessPriority::BelowNormal:
            return BELOW_NORMAL_PRIORITY_CLASS;
        case ProcessPriority::Idle:
            return IDLE_PRIORITY_CLASS;
        case ProcessPriority::AboveNormal:
            return ABOVE_NORMAL_PRIORITY_CLASS;
        case ProcessPriority::High:
            return HIGH_PRIORITY_CLASS;
        case ProcessPriority::Realtime:
            return REALTIME_PRIORITY_CLASS;
    }
    return NORMAL_PRIORITY_CLASS;
}

// Only the stored values 0-5 name a class; any other leaves the process's class unchanged.
void ApplyPriorityClass(int32_t stored) {
    ProcessPriority priority;
    if (ProcessPriorityFromSetting(stored, &priority)) {
        ::SetPriorityClass(::GetCurrentProcess(), PriorityClassOf(priority));
    }
}

}  // namespace

bool CMainDlg::HandleServiceMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR* result) {
    switch (msg) {
        case WM_HIDE_CURSOR:
            m_cursorWorker.OnHideMessage();
            *result = SetMsgResult(0);
            return true;
        case WM_SYSCOMMAND:
            if (!SwallowsSystemCommand(wParam)) return false;
            *result = SetMsgResult(0);
            return true;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return false;
        default:
            return false;
    }
}

// The low four bits of a system command are the system's own; the command is the rest.
bool CMainDlg::SwallowsSystemCommand(WPARAM command) const {
    if (!m_graph.IsBuilt()) return false;
    const CConfig& config = TheConfig();
    switch (command & 0xFFF0) {
        case SC_SCREENSAVE:
            return config.ScreenSaverStop != 0;
        case SC_MONITORPOWER:
            return config.MonitorPowerOffStop != 0;
        default:
            return false;
    }
}

bool CMainDlg::OnServiceCommand(UINT id) {
    for (const VolumeCommand& volume : kVolumeCommands) {
        if (volume.id == id) {
            SetVolume(volume.percent);
            return true;
        }
    }
    for (const PriorityCommand& priority : kPriorityCommands) {
        if (priority.id == id) {
            if (Profile* profile = TheConfig().SelectedProfile()) {
                profile->PreviewProcessPriority = priority.stored;
            }
            ApplyPriorityClass(priority.stored);
            return true;
        }
    }
    CConfig& config = TheConfig();
    switch (id) {
        case ID_SCREENSAVER_STOP:
            Toggle(config.ScreenSaverStop);
            return true;
        case ID_MONITOR_POWER_OFF_STOP:
            Toggle(config.MonitorPowerOffStop);
            return true;
        case ID_SYSTEM_STANDBY_STOP: {
            const bool on = Toggle(config.SystemStanbyStop);
            if (m_graph.IsBuilt()) {
                ::SetThreadExecutionState(on ? (ES_CONTINUOUS | ES_SYSTEM_REQUIRED)
                                             : ES_CONTINUOUS);
            }
            return true;
        }
        default:
            return false;
    }
}

void CMainDlg::SetVolume(int32_t percent) {
    if (Profile* profile = TheConfig().SelectedProfile()) profile->PreviewAudioVolume = percent;
    m_graph.SetVolume(percent);
    UpdateTitle();
}

// Only while a graph is built, and only with a profile whose volume it changes.
void CMainDlg::OnWheel(int delta) {
    if (!m_graph.IsBuilt() || delta == 0) return;
    Profile* profile = TheConfig().SelectedProfile();
    if (!profile) return;
    SetVolume(WheelVolume(profile->PreviewAudioVolume, delta));
}

// With no profile selected the profile's default (above normal) applies.
void CMainDlg::ApplyProcessPriority() {
    ApplyPriorityClass(ViewOfSelectedProfile(TheConfig().SelectedProfile()).ProcessPriority);
}

void CMainDlg::StartCursorWorker() { m_cursorWorker.Start(GetHwnd()); }

void CMainDlg::StopCursorWorker() { m_cursorWorker.Stop(); }

void CMainDlg::ResetCursorIdle() { m_cursorWorker.Reset(); }

void CMainDlg::OnGraphBuilt() {
    m_rateMeter.Reset();
    if (TheConfig().SystemStanbyStop != 0 && m_graph.IsBuilt()) {
        ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    }
}

void CMainDlg::OnGraphTornDown() {
    m_rateMeter.Reset();
    if (TheConfig().SystemStanbyStop != 0) ::SetThreadExecutionState(ES_CONTINUOUS);
}

void CMainDlg::UpdateTitle() {
    const SelectedProfileView profile = ViewOfSelectedProfile(TheConfig().SelectedProfile());
    RECT client{};
    ::GetClientRect(GetHwnd(), &client);
    const std::wstring title =
        FormatWindowTitle(profile.Name, client.right - client.left, client.bottom - client.top,
                          FrameRate(), profile.AudioVolume);
    ::SetWindowTextW(GetHwnd(), title.c_str());
}

// The renderer's own average where it keeps one; otherwise the rate at which our transform
// filter delivered frames since the last refresh; 0 without either.
double CMainDlg::FrameRate() {
    int32_t average = 0;
    int32_t dropped = 0;
    if (m_graph.GetRenderStats(average, dropped)) {
        m_rateMeter.Reset();
        return average / 100.0;
    }
    IBaseFilter* transform = m_graph.TransformFilter();
    Microsoft::WRL::ComPtr<ILumokaFilterStats> stats;
    LONGLONG delivered = 0;
    if (!transform || FAILED(transform->QueryInterface(IID_PPV_ARGS(&stats))) ||
        FAILED(stats->GetDeliveredFrames(&delivered)) || delivered < 0) {
        m_rateMeter.Reset();
        return 0.0;
    }
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return m_rateMeter.Update(static_cast<uint64_t>(delivered), now.QuadPart, frequency.QuadPart);
}
