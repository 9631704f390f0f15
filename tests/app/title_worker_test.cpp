// The title refresh worker under Wine: it posts at once and then once a second, a second Start
// does not add a thread, Stop and a vanished window both end it. Every wait is for the event
// itself with a deadline far above its expected time.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/main/TitleRefreshWorker.h"

namespace {

constexpr UINT kTick = WM_APP + 10;

class TitleWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
    }

    // Waits up to ms for the next tick; its arrival time, or 0 when none came.
    ULONGLONG NextTick(DWORD ms) {
        const ULONGLONG end = GetTickCount64() + ms;
        for (;;) {
            MSG msg;
            if (PeekMessageW(&msg, window_, kTick, kTick, PM_REMOVE)) return GetTickCount64();
            const ULONGLONG now = GetTickCount64();
            if (now >= end) return 0;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now),
                                      QS_POSTMESSAGE);
        }
    }
    // The ticks that arrive within ms. Used only to show that nothing more comes: a busy
    // machine can make such a window miss a fault, never fail a sound worker.
    int CountTicks(DWORD ms) {
        int count = 0;
        const ULONGLONG end = GetTickCount64() + ms;
        for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
            if (NextTick(static_cast<DWORD>(end - now)) == 0) break;
            ++count;
        }
        return count;
    }

    HWND window_ = nullptr;
};

// A first tick is expected within milliseconds; ten seconds allow for a loaded machine.
constexpr DWORD kTickDeadline = 10000;

TEST_F(TitleWorkerTest, PostsAtOnceAndASecondStartAddsNoThread) {
    CTitleRefreshWorker worker(kTick, 60000);
    ASSERT_TRUE(worker.Start(window_));
    ASSERT_TRUE(worker.Start(window_));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_NE(NextTick(kTickDeadline), 0u) << "the first post comes without waiting an interval";
    EXPECT_EQ(CountTicks(500), 0) << "a second thread would post at once too";
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

// The title's one-second rhythm. Sleep never returns early (less the timer's 16 ms grain), so
// no interval is shorter than 980 ms; the upper margin of one more second per interval holds
// for a thread woken late on a loaded 2-core machine.
TEST_F(TitleWorkerTest, PostsOnceASecondUntilStopped) {
    CTitleRefreshWorker worker(kTick);
    ASSERT_TRUE(worker.Start(window_));
    ULONGLONG last = NextTick(kTickDeadline);
    ASSERT_NE(last, 0u);
    for (int i = 0; i < 2; ++i) {
        const ULONGLONG next = NextTick(kTickDeadline);
        ASSERT_NE(next, 0u) << "tick " << i + 2;
        EXPECT_GE(next - last, 980u);
        EXPECT_LE(next - last, 2000u);
        last = next;
    }
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

// After Stop at most the one post already under way arrives (a worker that went on would post
// every 20 ms).
TEST_F(TitleWorkerTest, StopEndsThePosting) {
    CTitleRefreshWorker worker(kTick, 20);
    ASSERT_TRUE(worker.Start(window_));
    ASSERT_NE(NextTick(kTickDeadline), 0u);
    worker.Stop();
    EXPECT_LE(CountTicks(500), 1);
}

TEST_F(TitleWorkerTest, EndsWhenTheWindowIsGone) {
    CTitleRefreshWorker worker(kTick, 20);
    ASSERT_TRUE(worker.Start(window_));
    DestroyWindow(window_);
    const ULONGLONG end = GetTickCount64() + kTickDeadline;
    while (worker.IsRunning() && GetTickCount64() < end) Sleep(10);
    EXPECT_FALSE(worker.IsRunning());
}

// The detached thread outlives the worker object; it must find its flag cleared, not freed.
TEST_F(TitleWorkerTest, DestroyingTheWorkerStopsItsThread) {
    {
        CTitleRefreshWorker worker(kTick, 20);
        ASSERT_TRUE(worker.Start(window_));
        ASSERT_NE(NextTick(kTickDeadline), 0u);
    }
    EXPECT_LE(CountTicks(500), 1);
}

// Restarting after a stop starts a fresh thread even while the old one still sleeps.
TEST_F(TitleWorkerTest, RestartAfterStopPostsAgain) {
    CTitleRefreshWorker worker(kTick, 60000);
    ASSERT_TRUE(worker.Start(window_));
    ASSERT_NE(NextTick(kTickDeadline), 0u);
    worker.Stop();
    ASSERT_TRUE(worker.Start(window_));
    EXPECT_NE(NextTick(kTickDeadline), 0u) << "the old thread sleeps for a minute";
    worker.Stop();
}

}  // namespace
