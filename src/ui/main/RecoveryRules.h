// The main window's recovery from a lost capture device: when the running graph reports that
// its video or audio device was lost, the window tears the graph down and waits, and these
// rules say when to try building again.
//  - Device gone from the catalogue: wait until it is listed again (the window checks on every
//    device arrival and every 2 seconds), then try at once.
//  - Device still listed (the driver reset or the signal went): try at once, then after 2, 4,
//    8 ... up to 60 s; five failed tries in a row end the wait with the normal failure box.
// A try fails when the build fails or when the graph it built reports the loss again within
// kSettleMs (a device that keeps losing its signal is not recovered). A failed try while waiting
// shows nothing; "再生" / "再構築" try at once; "停止", another profile, the editor or closing
// end the wait.
//
// Portable: plain values; times are milliseconds of any monotonic clock the caller supplies.
// Thread: the window's thread (the object is not locked).
#pragma once

#include <cstdint>

// Event codes of the graph's event queue that report a lost device (values of evcode.h).
inline constexpr long kEventErrorAbort = 0x03;          // EC_ERRORABORT
inline constexpr long kEventStreamErrorStopped = 0x06;  // EC_STREAM_ERROR_STOPPED
inline constexpr long kEventDeviceLost = 0x1F;          // EC_DEVICE_LOST

// True for an event that means the graph lost its device: EC_ERRORABORT,
// EC_STREAM_ERROR_STOPPED, and EC_DEVICE_LOST with param2 0 (removed; 1 means it came back).
bool IsDeviceLossEvent(long code, long param2);

// What the window does next.
enum class RecoveryAction {
    None,        // keep the current state
    TearDown,    // tear the graph down, paint the waiting line, keep checking
    Rebuild,     // build the selected profile now, without a failure box
    ShowFailure  // the wait has ended: show the normal build-failure box once
};

enum class RecoveryState {
    Idle,             // no wait (a graph plays, or the user stopped it)
    WaitingForDevice, // the device is not listed
    BackingOff,       // the device is listed; the next try is due at NextTryMs()
    Settling          // a try built a graph; it counts as failed if it loses the device soon
};

class CRecoveryRules {
public:
    static constexpr int kMaxFailures = 5;
    static constexpr int64_t kCheckIntervalMs = 2000;
    static constexpr int64_t kMaxDelayMs = 60000;
    static constexpr int64_t kSettleMs = 10000;

    // The pause after `failures` failed tries in a row (1 → 2 s, 2 → 4 s, ... at most 60 s).
    static int64_t DelayAfter(int failures);

    // The running graph reported a loss; listed: whether the profile's devices are listed now.
    RecoveryAction OnDeviceLost(bool listed, int64_t nowMs);
    // A device arrival or the periodic check.
    RecoveryAction OnCheck(bool listed, int64_t nowMs);
    // The result of a try that the rules asked for (Rebuild).
    RecoveryAction OnBuildResult(bool built, bool listed, int64_t nowMs);
    // "再生" or "再構築" while waiting: Rebuild when waiting, None otherwise.
    RecoveryAction OnUserRebuild();
    // "停止", another profile, the editor, closing.
    void End();

    RecoveryState State() const { return m_state; }
    // Waiting with no graph: the window paints the waiting line and keeps its checks running.
    bool Waiting() const {
        return m_state == RecoveryState::WaitingForDevice || m_state == RecoveryState::BackingOff;
    }
    // Timer work is needed (waiting, or a recovered graph still settling).
    bool Active() const { return m_state != RecoveryState::Idle; }
    int Failures() const { return m_failures; }
    int64_t NextTryMs() const { return m_nextTryMs; }
    // How long the window's timer should wait before the next OnCheck.
    int64_t NextCheckDelayMs(int64_t nowMs) const;

private:
    RecoveryAction Fail(bool listed, int64_t nowMs);

    RecoveryState m_state = RecoveryState::Idle;
    int m_failures = 0;
    int64_t m_nextTryMs = 0;
    int64_t m_builtAtMs = 0;
};
