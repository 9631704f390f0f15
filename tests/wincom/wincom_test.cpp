// The owning handles close exactly once, on every path, and the HRESULT helpers keep the
// platform's encoding.
#include "wincom/Result.h"
#include "wincom/ScopeExit.h"
#include "wincom/UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

bool HandleIsOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

HRESULT FailsAtStep(int failing, int* reached) {
    for (int step = 1; step <= 3; ++step) {
        *reached = step;
        RETURN_IF_FAILED(step == failing ? E_ACCESSDENIED : S_OK);
    }
    return S_OK;
}

}  // namespace

TEST(UniqueHandle, ClosesOnResetMoveAndScopeEnd) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(raw, nullptr);
    {
        lumoka::UniqueHandle a(raw);
        lumoka::UniqueHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.Get(), raw);
        EXPECT_TRUE(HandleIsOpen(raw));
    }
    EXPECT_FALSE(HandleIsOpen(raw));

    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    lumoka::UniqueHandle c(second);
    HANDLE released = c.Release();
    EXPECT_FALSE(c);
    EXPECT_TRUE(HandleIsOpen(released));
    CloseHandle(released);
}

TEST(Result, ReturnIfFailedStopsAtTheFailingStep) {
    int reached = 0;
    EXPECT_EQ(FailsAtStep(2, &reached), E_ACCESSDENIED);
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(FailsAtStep(0, &reached), S_OK);
    EXPECT_EQ(reached, 3);
    EXPECT_EQ(lumoka::HResultFromWin32(ERROR_ARITHMETIC_OVERFLOW),
              HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW));
    EXPECT_EQ(lumoka::HResultFromWin32(0), S_OK);
}

TEST(ScopeExit, RunsUnlessDismissed) {
    int runs = 0;
    {
        auto guard = lumoka::MakeScopeExit([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    {
        auto guard = lumoka::MakeScopeExit([&] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(runs, 1);
}
