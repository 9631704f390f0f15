#include "ui/main/TitleRefreshWorker.h"

#include <system_error>
#include <thread>

bool CTitleRefreshWorker::Start(HWND window) {
    if (IsRunning()) return true;
    // A fresh flag for every run: a thread of an earlier run that has not woken up yet keeps
    // reading its own cleared flag and ends.
    auto running = std::make_shared<std::atomic<bool>>(true);
    try {
        std::thread(Run, window, m_message, m_intervalMs, running).detach();
    } catch (const std::system_error&) {
        return false;
    }
    m_running = std::move(running);
    return true;
}

void CTitleRefreshWorker::Stop() {
    if (m_running) m_running->store(false);
}

void CTitleRefreshWorker::Run(HWND window, UINT message, DWORD intervalMs,
                              std::shared_ptr<std::atomic<bool>> running) {
    while (running->load()) {
        // A window that is gone (or whose queue refuses the post) ends the worker.
        if (!IsWindow(window) || !PostMessageW(window, message, 0, 0)) break;
        Sleep(intervalMs);
    }
    running->store(false);
}
