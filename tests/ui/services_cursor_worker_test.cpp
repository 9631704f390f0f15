// The cursor auto-hide worker under Wine: one hide message at the 20th tick of an idle period,
// mouse movement postpones it, Stop ends the run, a restart never doubles the ticks, and the
// message hides the cursor only while running.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/main/CursorHideWorker.h"

namespace {

constexpr UINT kHide = WM_APP + 15;

class CursorWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
        CCursorHideWorker::ShowCursorAgain();
    }

    // Milliseconds until the next hide message, or -1 when none came within ms.
    LONG WaitForHide(DWORD ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            MSG msg;
            if (PeekMessageW(&msg, window_, kHide, kHide, PM_REMOVE)) {
                return static_cast<LONG>(GetTickCount() - start);
            }
            Sleep(2);
        }
        return -1;
    }

    static int DisplayCount() {
        const int count = ShowCursor(TRUE) - 1;
        ShowCursor(FALSE);
        return count;
    }

    HWND window_ = nullptr;
};

// Stopped and started again within one tick, the worker runs one thread: the first message
// comes no sooner than 20 ticks and only once.
TEST_F(CursorWorkerTest, OneMessageAtTheTwentiethTick) {
    CCursorHideWorker worker(kHide, 20);
    ASSERT_TRUE(worker.Start(window_));
    Sleep(5);
    worker.Stop();
    ASSERT_TRUE(worker.Start(window_));
    ASSERT_TRUE(worker.Start(window_));
    const LONG first = WaitForHide(10000);
    ASSERT_GE(first, 0);
    EXPECT_GE(first, 20 * 20 - 25) << "not before 20 ticks of 20 ms";
    EXPECT_EQ(WaitForHide(800), -1) << "the counter runs on without a second message";
    // A mouse movement starts a new idle period with one more message.
    worker.Reset();
    EXPECT_GE(WaitForHide(10000), 0);
    worker.Stop();
}

TEST_F(CursorWorkerTest, MovementPostponesAndStopEnds) {
    CCursorHideWorker worker(kHide);  // the product's 50 ms ticks: hidden after about a second
    ASSERT_TRUE(worker.Start(window_));
    for (int i = 0; i < 15; ++i) {  // 1.5 s of movement every 100 ms
        EXPECT_EQ(WaitForHide(100), -1);
        worker.Reset();
    }
    EXPECT_GE(WaitForHide(10000), 800);
    worker.Reset();
    worker.Stop();
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(WaitForHide(1500), -1);
}

TEST_F(CursorWorkerTest, HideMessageHidesOnlyWhileRunning) {
    CCursorHideWorker worker(kHide, 1000);
    ASSERT_TRUE(worker.Start(window_));
    ShowCursor(TRUE);  // an earlier caller's extra count does not keep the cursor shown
    worker.OnHideMessage();
    EXPECT_LT(DisplayCount(), 0);
    worker.Reset();
    EXPECT_GE(DisplayCount(), 0);
    worker.OnHideMessage();
    worker.Stop();
    EXPECT_GE(DisplayCount(), 0);
    worker.OnHideMessage();
    EXPECT_GE(DisplayCount(), 0) << "a late message after Stop shows the cursor";
}

}  // namespace
