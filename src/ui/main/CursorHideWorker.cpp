#include "ui/main/CursorHideWorker.h"

#include <system_error>
#include <thread>

bool CCursorHideWorker::Start(HWND window) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    if (m_state->running) return true;
    const uint64_t run = m_state->run + 1;
    try {
        std::thread(Run, window, m_message, m_tickMs, m_state, run).detach();
    } catch (const std::system_error&) {
        return false;
    }
    m_state->run = run;
    m_state->running = true;
    m_state->counter = 0;
    return true;
}

void CCursorHideWorker::Stop() {
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->running = false;
        m_state->counter = 0;
    }
    ShowCursorAgain();
}

void CCursorHideWorker::Reset() {
    {
        std::lock_guard<std::mutex> guard(m_state->lock);
        m_state->counter = 0;
    }
    ShowCursorAgain();
}

void CCursorHideWorker::OnHideMessage() {
    if (IsRunning()) {
        HideCursor();
    } else {
        ShowCursorAgain();
    }
}

bool CCursorHideWorker::IsRunning() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->running;
}

void CCursorHideWorker::HideCursor() {
    while (::ShowCursor(FALSE) >= 0) {
    }
}

void CCursorHideWorker::ShowCursorAgain() {
    while (::ShowCursor(TRUE) < 0) {
    }
}

// Start sets the flag and the run number under the lock before this thread can take it, so a
// Stop between the thread's creation and its first tick is seen at that tick.
void CCursorHideWorker::Run(HWND window, UINT message, DWORD tickMs, std::shared_ptr<State> state,
                            uint64_t run) {
    if (!::IsWindow(window)) {
        {
            std::lock_guard<std::mutex> guard(state->lock);
            if (state->run == run) {
                state->running = false;
                state->counter = 0;
            }
        }
        ShowCursorAgain();
        return;
    }
    {
        std::lock_guard<std::mutex> guard(state->lock);
        if (state->run == run) state->counter = 0;
    }
    for (;;) {
        ::Sleep(tickMs);
        std::lock_guard<std::mutex> guard(state->lock);
        if (!state->running || state->run != run) return;
        // The counter stops one past 20, so one idle period posts once.
        if (state->counter == kHideAtTick) ::PostMessageW(window, message, 0, 0);
        if (state->counter <= kHideAtTick) ++state->counter;
    }
}
