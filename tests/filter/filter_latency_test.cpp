// The residence log of the transform filter: nothing recorded until started, then exactly the
// requested number of entries, each a plausible time; in Double mode the second output of an
// input stays at least as long as the first.
#include <gtest/gtest.h>

#include <vector>

#include "FilterTestSupport.h"
#include "filter/LumokaFilterLatency.h"
#include "filter/pipeline/FrameRate.h"

using Microsoft::WRL::ComPtr;

namespace {

std::vector<LONGLONG> ReadLog(ILumokaFilterLatency* latency) {
    std::vector<LONGLONG> ticks(64);
    DWORD count = 0;
    EXPECT_EQ(latency->GetResidenceLog(ticks.data(), static_cast<DWORD>(ticks.size()), &count),
              S_OK);
    ticks.resize(count);
    return ticks;
}

TEST(FilterResidence, RecordsOnlyWhileStartedAndUpToItsCapacity) {
    CComScope com;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (const int frameMode : {lumoka::kFrameModeSame, lumoka::kFrameModeDouble}) {
        CTransformGraph g(Yuy2Type(320, 240));
        g.Ctrl()->SetCopyMode(4);  // Blend
        g.Ctrl()->SetFrameMode(frameMode);
        ComPtr<ILumokaFilterLatency> latency;
        ASSERT_EQ(g.transform->QueryInterface(IID_PPV_ARGS(&latency)), S_OK);
        EXPECT_EQ(latency->StartResidenceLog(0), E_INVALIDARG);
        ASSERT_EQ(g.ConnectAll(), S_OK);
        ASSERT_TRUE(SUCCEEDED(g.Run()));
        ASSERT_TRUE(g.sink->WaitForSamples(4, 10000));
        EXPECT_TRUE(ReadLog(latency.Get()).empty()) << "recorded before it was started";

        ASSERT_EQ(latency->StartResidenceLog(6), S_OK);
        const size_t from = g.sink->SampleCount();
        ASSERT_TRUE(g.sink->WaitForSamples(from + 10, 10000));
        ASSERT_EQ(latency->StopResidenceLog(), S_OK);
        const std::vector<LONGLONG> log = ReadLog(latency.Get());
        ASSERT_EQ(log.size(), 6u) << "frame mode " << frameMode;
        for (size_t i = 0; i < log.size(); ++i) {
            EXPECT_GT(log[i], 0);
            EXPECT_LT(log[i], frequency.QuadPart) << "a residence of a second or more";
            if (frameMode == lumoka::kFrameModeDouble && i % 2 == 1) {
                EXPECT_GE(log[i], log[i - 1]) << "second output of an input, entry " << i;
            }
        }
        EXPECT_TRUE(SUCCEEDED(g.Stop()));
        latency.Reset();
        EXPECT_TRUE(g.ReleaseAll());
    }
}

}  // namespace
