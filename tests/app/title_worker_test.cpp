// The title refresh worker under Wine: it posts at once and then once per interval, a second
// Start does not add a thread, Stop and a vanished window both end it.
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

    // Counts the ticks that arrive for the window within ms milliseconds.
    int CountTicks(DWORD ms) {
        int count = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MSG msg;
            while (PeekMessageW(&msg, window_, kTick, kTick, PM_REMOVE)) ++count;
            Sleep(5);
        }
        return count;
    }

    HWND window_ = nullptr;
};

TEST_F(TitleWorkerTest, PostsAtOnceAndASecondStartAddsNoThread) {
    CTitleRefreshWorker worker(kTick, 60000);
    ASSERT_TRUE(worker.Start(window_));
    ASSERT_TRUE(worker.Start(window_));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_EQ(CountTicks(500), 1) << "one thread, first post without waiting an interval";
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
}

TEST_F(TitleWorkerTest, PostsOncePerIntervalUntilStopped) {
    CTitleRefreshWorker worker(kTick, 50);
    ASSERT_TRUE(worker.Start(window_));
    const int ticks = CountTicks(600);
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 14);
    worker.Stop();
    CountTicks(150);  // a post made just before Stop may still be queued
    EXPECT_EQ(CountTicks(300), 0);
}

TEST_F(TitleWorkerTest, EndsWhenTheWindowIsGone) {
    CTitleRefreshWorker worker(kTick, 20);
    ASSERT_TRUE(worker.Start(window_));
    DestroyWindow(window_);
    Sleep(200);
    EXPECT_FALSE(worker.IsRunning());
}

// The detached thread outlives the worker object; it must find its flag cleared, not freed.
TEST_F(TitleWorkerTest, DestroyingTheWorkerStopsItsThread) {
    {
        CTitleRefreshWorker worker(kTick, 100);
        ASSERT_TRUE(worker.Start(window_));
    }
    CountTicks(250);
    EXPECT_EQ(CountTicks(300), 0);
}

// Restarting after a stop starts a fresh thread even while the old one still sleeps.
TEST_F(TitleWorkerTest, RestartAfterStopPostsAgain) {
    CTitleRefreshWorker worker(kTick, 60000);
    ASSERT_TRUE(worker.Start(window_));
    EXPECT_EQ(CountTicks(300), 1);
    worker.Stop();
    ASSERT_TRUE(worker.Start(window_));
    EXPECT_EQ(CountTicks(300), 1);
    worker.Stop();
}

}  // namespace
