#include "graph/BuildLog.h"
#include "graph/BuildRules.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(PlanVideoBranch, TeeAndOutputChoice) {
    // Smart Tee's preview output when not synchronised, Infinite Pin Tee's first when it is.
    VideoBranchPlan p = PlanVideoBranch(0, 1, 0, 0, 1);
    EXPECT_EQ(p.Tee, TeeKind::SmartTee);
    EXPECT_TRUE(p.UseTransform);
    EXPECT_EQ(p.TeeOutput, 1);
    p = PlanVideoBranch(0, 1, 0, 0, 0);
    EXPECT_EQ(p.Tee, TeeKind::InfTee);
    EXPECT_EQ(p.TeeOutput, 0);
    // Hardware + double: Infinite Pin Tee, first output, whatever the sync says.
    p = PlanVideoBranch(0, 1, 6, 2, 1);
    EXPECT_EQ(p.Tee, TeeKind::InfTee);
    EXPECT_TRUE(p.UseTransform);
    EXPECT_EQ(p.TeeOutput, 0);
    // Not with a checked extra filter, nor without the transform.
    p = PlanVideoBranch(1, 1, 6, 2, 1);
    EXPECT_EQ(p.Tee, TeeKind::SmartTee);
    EXPECT_FALSE(p.UseTransform);
    EXPECT_EQ(p.TeeOutput, 1);
    p = PlanVideoBranch(0, 0, 6, 2, 1);
    EXPECT_EQ(p.Tee, TeeKind::SmartTee);
    EXPECT_FALSE(p.UseTransform);
    // Hardware at the same rate follows the sync setting.
    p = PlanVideoBranch(0, 1, 6, 0, 1);
    EXPECT_EQ(p.Tee, TeeKind::SmartTee);
    EXPECT_EQ(AudioTeeFor(1), TeeKind::SmartTee);
    EXPECT_EQ(AudioTeeFor(0), TeeKind::InfTee);
}

// Pins of a fake filter pair: outputs 0..outs-1, inputs 0..ins-1; only listed pairs connect.
struct FakePins {
    int32_t outs;
    int32_t ins;
    std::vector<std::pair<int32_t, int32_t>> accepted;
    std::vector<std::pair<int32_t, int32_t>> tried;

    PinPairCallbacks Callbacks() {
        return {[this](int32_t o) { return o < outs; }, [this](int32_t i) { return i < ins; },
                [this](int32_t o, int32_t i) {
                    tried.emplace_back(o, i);
                    for (auto& a : accepted) {
                        if (a.first == o && a.second == i) return true;
                    }
                    return false;
                }};
    }
};

using Pairs = std::vector<std::pair<int32_t, int32_t>>;

TEST(ConnectPinPairs, AnyToAnyTriesOutputsInOrderAndEachInput) {
    FakePins pins{2, 2, {{1, 1}}, {}};
    EXPECT_TRUE(ConnectPinPairs(-1, -1, pins.Callbacks()));
    EXPECT_EQ(pins.tried, (Pairs{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
}

TEST(ConnectPinPairs, FixedNumbersTryOnePair) {
    FakePins pins{2, 2, {{1, 0}}, {}};
    EXPECT_FALSE(ConnectPinPairs(0, 1, pins.Callbacks()));
    EXPECT_EQ(pins.tried, (Pairs{{0, 1}}));
    pins.tried.clear();
    EXPECT_TRUE(ConnectPinPairs(1, 0, pins.Callbacks()));
    EXPECT_EQ(pins.tried, (Pairs{{1, 0}}));
}

TEST(ConnectPinPairs, FixedOutputAnyInput) {
    FakePins pins{2, 3, {{1, 2}}, {}};
    EXPECT_FALSE(ConnectPinPairs(0, -1, pins.Callbacks()));
    EXPECT_EQ(pins.tried, (Pairs{{0, 0}, {0, 1}, {0, 2}}));
    pins.tried.clear();
    EXPECT_TRUE(ConnectPinPairs(1, -1, pins.Callbacks()));
}

TEST(ConnectPinPairs, AnyOutputFixedInput) {
    FakePins pins{3, 2, {{2, 1}}, {}};
    EXPECT_TRUE(ConnectPinPairs(-1, 1, pins.Callbacks()));
    EXPECT_EQ(pins.tried, (Pairs{{0, 1}, {1, 1}, {2, 1}}));
}

TEST(ConnectPinPairs, MissingPinsFail) {
    FakePins none{0, 2, {{0, 0}}, {}};
    EXPECT_FALSE(ConnectPinPairs(-1, -1, none.Callbacks()));
    EXPECT_TRUE(none.tried.empty());
    FakePins noInput{1, 1, {{0, 0}}, {}};
    EXPECT_FALSE(ConnectPinPairs(0, 3, noInput.Callbacks()));
    EXPECT_TRUE(noInput.tried.empty());
    FakePins noOutput{1, 1, {{0, 0}}, {}};
    EXPECT_FALSE(ConnectPinPairs(4, 0, noOutput.Callbacks()));
}

TEST(FormatMath, StrideAndImageSize) {
    EXPECT_EQ(StrideBytes(16, 720), 1440);
    EXPECT_EQ(StrideBytes(24, 641), 1924);  // 1923 bytes padded to 32 bits
    EXPECT_EQ(ImageSizeBytes(24, 640, 480), 640u * 3 * 480);
    EXPECT_EQ(ImageSizeBytes(32, 720, -480), 720u * 4 * 480);
    EXPECT_EQ(ImageSizeBytes(32, 0x7fffffff, 0x7fffffff), 0u);
}

TEST(FormatMath, RequestedWaveAndBuffer) {
    WaveFields pcm;
    pcm.FormatTag = 1;
    ApplyRequestedWave(pcm, 2, 16, 48000);
    EXPECT_EQ(pcm.BlockAlign, 4);
    EXPECT_EQ(pcm.AvgBytesPerSec, 192000u);
    EXPECT_EQ(AudioBufferBytes(pcm), 3840);
    WaveFields ext;
    ext.FormatTag = 0xFFFE;
    ApplyRequestedWave(ext, 1, 8, 11025);
    EXPECT_EQ(ext.BlockAlign, 1);
    EXPECT_EQ(AudioBufferBytes(ext), 220);  // 220.5 truncated
    WaveFields other;
    other.FormatTag = 0x55;
    other.Channels = 2;
    ApplyRequestedWave(other, 1, 16, 8000);
    EXPECT_EQ(other.Channels, 2);
    EXPECT_EQ(other.SamplesPerSec, 0u);
}

TEST(BuildLog, AppendsFormattedLinesAndReplacesOverLongOnes) {
    CBuildLog log;
    log.Append(L"%ls 取得失敗", L"Lumoka Test Pass-Through");
    log.Append(L"%ls → %ls 接続失敗", L"A", L"B");
    EXPECT_EQ(log.Text(), L"Lumoka Test Pass-Through 取得失敗\nA → B 接続失敗\n");
    log.Clear();
    const std::wstring fits(CBuildLog::kMaxMessage, L'x');
    log.Append(L"%ls", fits.c_str());
    EXPECT_EQ(log.Text(), fits + L"\n");
    log.Clear();
    const std::wstring tooLong(CBuildLog::kMaxMessage + 1, L'y');
    log.Append(L"%ls", tooLong.c_str());
    log.Append(L"次");
    EXPECT_EQ(log.Text(), L"ログ書き込みエラー\n次\n");
    log.Clear();
    log.Append(nullptr);
    EXPECT_EQ(log.Text(), L"ログ書き込みエラー\n");
}

}  // namespace
