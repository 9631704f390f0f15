#include "ui/main/RecoveryRules.h"

#include <algorithm>

bool IsDeviceLossEvent(long code, long param2) {
    if (code == kEventDeviceLost) return param2 == 0;
    return code == kEventErrorAbort || code == kEventStreamErrorStopped;
}

int64_t CRecoveryRules::DelayAfter(int failures) {
    if (failures < 1) return 0;
    // 2^failures seconds; the cap is reached long before the shift could overflow.
    if (failures >= 6) return kMaxDelayMs;
    return std::min<int64_t>(kMaxDelayMs, int64_t{1000} << failures);
}

RecoveryAction CRecoveryRules::OnDeviceLost(bool listed, int64_t nowMs) {
    if (Waiting()) return RecoveryAction::None;  // no graph to lose
    if (m_state == RecoveryState::Settling && nowMs - m_builtAtMs < kSettleMs) {
        return Fail(listed, nowMs);
    }
    // A new loss after a graph that ran: a wait of its own.
    m_failures = 0;
    if (listed) {
        m_state = RecoveryState::BackingOff;
        m_nextTryMs = nowMs;
        return RecoveryAction::Rebuild;
    }
    m_state = RecoveryState::WaitingForDevice;
    return RecoveryAction::TearDown;
}

RecoveryAction CRecoveryRules::OnCheck(bool listed, int64_t nowMs) {
    switch (m_state) {
        case RecoveryState::WaitingForDevice:
            return listed ? RecoveryAction::Rebuild : RecoveryAction::None;
        case RecoveryState::BackingOff:
            if (!listed) {
                m_state = RecoveryState::WaitingForDevice;
                return RecoveryAction::None;
            }
            return nowMs >= m_nextTryMs ? RecoveryAction::Rebuild : RecoveryAction::None;
        case RecoveryState::Settling:
            if (nowMs - m_builtAtMs >= kSettleMs) End();
            return RecoveryAction::None;
        case RecoveryState::Idle:
            break;
    }
    return RecoveryAction::None;
}

RecoveryAction CRecoveryRules::OnBuildResult(bool built, bool listed, int64_t nowMs) {
    if (m_state == RecoveryState::Idle || m_state == RecoveryState::Settling) {
        return RecoveryAction::None;  // not a try of ours
    }
    if (built) {
        m_state = RecoveryState::Settling;
        m_builtAtMs = nowMs;
        return RecoveryAction::None;
    }
    return Fail(listed, nowMs);
}

RecoveryAction CRecoveryRules::OnUserRebuild() {
    return Waiting() ? RecoveryAction::Rebuild : RecoveryAction::None;
}

void CRecoveryRules::End() {
    m_state = RecoveryState::Idle;
    m_failures = 0;
    m_nextTryMs = 0;
    m_builtAtMs = 0;
}

int64_t CRecoveryRules::NextCheckDelayMs(int64_t nowMs) const {
    int64_t due = kCheckIntervalMs;
    if (m_state == RecoveryState::BackingOff) due = m_nextTryMs - nowMs;
    if (m_state == RecoveryState::Settling) due = m_builtAtMs + kSettleMs - nowMs;
    return std::clamp<int64_t>(due, 1, kCheckIntervalMs);
}

RecoveryAction CRecoveryRules::Fail(bool listed, int64_t nowMs) {
    ++m_failures;
    if (m_failures >= kMaxFailures) {
        End();
        return RecoveryAction::ShowFailure;
    }
    m_state = listed ? RecoveryState::BackingOff : RecoveryState::WaitingForDevice;
    m_nextTryMs = nowMs + DelayAfter(m_failures);
    return RecoveryAction::TearDown;
}
