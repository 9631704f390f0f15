// CTitleRefreshWorker: the detached thread that asks the main window to refresh its title once
// a second by posting WM_UPDATE_TITLE.
//
// Threads: Start and Stop run on the window's thread; the worker thread only reads the running
// flag and posts. Ownership: the flag is shared by the object and the thread, so a worker still
// asleep when the window and this object are gone reads a flag that is alive and cleared, never
// freed memory. The program never waits for the thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

class CTitleRefreshWorker {
public:
    explicit CTitleRefreshWorker(UINT message, DWORD intervalMs = 1000)
        : m_message(message), m_intervalMs(intervalMs) {}
    ~CTitleRefreshWorker() { Stop(); }
    CTitleRefreshWorker(const CTitleRefreshWorker&) = delete;
    CTitleRefreshWorker& operator=(const CTitleRefreshWorker&) = delete;

    // Starts posting to window (first post at once, then every interval) unless already running.
    // False when the thread could not be started.
    bool Start(HWND window);
    // Clears the running flag; the thread ends after its current sleep.
    void Stop();
    bool IsRunning() const { return m_running && m_running->load(); }

private:
    static void Run(HWND window, UINT message, DWORD intervalMs,
                    std::shared_ptr<std::atomic<bool>> running);

    UINT m_message;
    DWORD m_intervalMs;
    std::shared_ptr<std::atomic<bool>> m_running;
};
