// CCursorHideWorker: in fullscreen mode, hides the mouse cursor after about a second without
// movement. A detached thread counts 50 ms ticks and posts the hide message to the window once,
// when the count reaches 20; mouse movement resets the count; the window hides or shows the
// cursor when the message arrives.
//
// Threads: Start, Stop, Reset and OnHideMessage run on the window's thread; the worker thread
// reads the running flag and the counter and posts. Both values are read and written only under
// the cursor lock, so a reset by a mouse movement is never lost between a test and an increment.
// Ownership: the lock, flag and counter live in a block shared by the object and the thread,
// so a worker still asleep after the window and this object are gone finds its flag cleared,
// never freed memory. The program never waits for the thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>

class CCursorHideWorker {
public:
    static constexpr int32_t kHideAtTick = 20;

    explicit CCursorHideWorker(UINT message, DWORD tickMs = 50)
        : m_message(message), m_tickMs(tickMs) {}
    ~CCursorHideWorker() { Stop(); }
    CCursorHideWorker(const CCursorHideWorker&) = delete;
    CCursorHideWorker& operator=(const CCursorHideWorker&) = delete;

    // Starts counting for window unless already running. False when no thread could be started.
    bool Start(HWND window);
    // Clears the flag and the counter and shows the cursor; the thread ends at its next tick.
    void Stop();
    // A mouse movement: the count starts again and the cursor shows.
    void Reset();
    // The hide message arrived: hide the cursor while running, else show it.
    void OnHideMessage();
    bool IsRunning() const;

    // The cursor's display count made negative (hidden) or non-negative (shown), whatever the
    // earlier calls were.
    static void HideCursor();
    static void ShowCursorAgain();

private:
    struct State {
        std::mutex lock;
        bool running = false;
        int32_t counter = 0;
        // Each start is a new run: a thread of an earlier run still asleep when the worker is
        // started again sees another run's number and ends, so ticks never double.
        uint64_t run = 0;
    };

    static void Run(HWND window, UINT message, DWORD tickMs, std::shared_ptr<State> state,
                    uint64_t run);

    UINT m_message;
    DWORD m_tickMs;
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
