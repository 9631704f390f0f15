// The wait-state rules as scripts of events: each step gives the event, the time, whether the
// device is listed, and the action and state the window must see.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/RecoveryRules.h"

namespace {

enum class Ev { Lost, Check, Built, Failed, User, End };
using A = RecoveryAction;
using S = RecoveryState;

struct Step {
    Ev event;
    int64_t at;
    bool listed;
    A action;
    S state;
};

struct Script {
    const char* name;
    std::vector<Step> steps;
};

A Apply(CRecoveryRules& r, const Step& s) {
    switch (s.event) {
        case Ev::Lost: return r.OnDeviceLost(s.listed, s.at);
        case Ev::Check: return r.OnCheck(s.listed, s.at);
        case Ev::Built: return r.OnBuildResult(true, s.listed, s.at);
        case Ev::Failed: return r.OnBuildResult(false, s.listed, s.at);
        case Ev::User: return r.OnUserRebuild();
        case Ev::End: r.End(); return A::None;
    }
    return A::None;
}

const Script kScripts[] = {
    {"unplugged, replugged, recovered and settled",
     {{Ev::Lost, 0, false, A::TearDown, S::WaitingForDevice},
      {Ev::Check, 2000, false, A::None, S::WaitingForDevice},
      {Ev::Check, 4000, true, A::Rebuild, S::WaitingForDevice},
      {Ev::Built, 4100, true, A::None, S::Settling},
      {Ev::Check, 14099, true, A::None, S::Settling},
      {Ev::Check, 14100, true, A::None, S::Idle}}},
    {"signal lost: at once, then 2, 4, 8, 16 s, then the box once",
     {{Ev::Lost, 0, true, A::Rebuild, S::BackingOff},
      {Ev::Built, 100, true, A::None, S::Settling},
      {Ev::Lost, 600, true, A::TearDown, S::BackingOff},  // lost again while settling: 1
      {Ev::Check, 2599, true, A::None, S::BackingOff},
      {Ev::Check, 2600, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 2700, true, A::TearDown, S::BackingOff},  // 2: next at +4 s
      {Ev::Check, 6699, true, A::None, S::BackingOff},
      {Ev::Check, 6700, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 6700, true, A::TearDown, S::BackingOff},  // 3: +8 s
      {Ev::Check, 14700, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 14700, true, A::TearDown, S::BackingOff},  // 4: +16 s
      {Ev::Check, 30699, true, A::None, S::BackingOff},
      {Ev::Check, 30700, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 30700, true, A::ShowFailure, S::Idle},
      {Ev::Check, 40000, true, A::None, S::Idle}}},
    {"a graph that ran past settling starts a new count",
     {{Ev::Lost, 0, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 0, true, A::TearDown, S::BackingOff},
      {Ev::Check, 2000, true, A::Rebuild, S::BackingOff},
      {Ev::Built, 2000, true, A::None, S::Settling},
      {Ev::Lost, 12000, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 12000, true, A::TearDown, S::BackingOff},
      {Ev::Check, 13999, true, A::None, S::BackingOff}}},
    {"the device leaves during the back-off and comes back",
     {{Ev::Lost, 0, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 0, true, A::TearDown, S::BackingOff},
      {Ev::Check, 1000, false, A::None, S::WaitingForDevice},
      {Ev::Check, 1500, true, A::Rebuild, S::WaitingForDevice},
      {Ev::Failed, 1500, false, A::TearDown, S::WaitingForDevice}}},
    {"the user's rebuild tries at once; a failure keeps waiting",
     {{Ev::User, 0, true, A::None, S::Idle},
      {Ev::Lost, 0, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 0, true, A::TearDown, S::BackingOff},
      {Ev::User, 500, true, A::Rebuild, S::BackingOff},
      {Ev::Failed, 500, true, A::TearDown, S::BackingOff},
      {Ev::Check, 4499, true, A::None, S::BackingOff}}},
    {"stop ends the wait; nothing is tried afterwards",
     {{Ev::Lost, 0, false, A::TearDown, S::WaitingForDevice},
      {Ev::End, 100, false, A::None, S::Idle},
      {Ev::Check, 2000, true, A::None, S::Idle},
      {Ev::Failed, 2000, true, A::None, S::Idle}}},
};

TEST(RecoveryRules, Scripts) {
    for (const Script& script : kScripts) {
        CRecoveryRules rules;
        for (size_t i = 0; i < script.steps.size(); ++i) {
            const Step& s = script.steps[i];
            EXPECT_EQ(Apply(rules, s), s.action) << script.name << ", step " << i;
            EXPECT_EQ(rules.State(), s.state) << script.name << ", step " << i;
        }
    }
}

TEST(RecoveryRules, DelaysAndLossEvents) {
    const int64_t delays[][2] = {{0, 0}, {1, 2000}, {2, 4000}, {3, 8000}, {5, 32000},
                                 {6, 60000}, {40, 60000}};
    for (const auto& d : delays) EXPECT_EQ(CRecoveryRules::DelayAfter(int(d[0])), d[1]) << d[0];

    EXPECT_TRUE(IsDeviceLossEvent(kEventDeviceLost, 0));
    EXPECT_FALSE(IsDeviceLossEvent(kEventDeviceLost, 1));  // the device came back
    EXPECT_TRUE(IsDeviceLossEvent(kEventErrorAbort, 0x80004005));
    EXPECT_TRUE(IsDeviceLossEvent(kEventStreamErrorStopped, 0));
    EXPECT_FALSE(IsDeviceLossEvent(0x01, 0));  // EC_COMPLETE

    // The timer never waits past a due try nor longer than the periodic check.
    CRecoveryRules rules;
    rules.OnDeviceLost(true, 0);
    rules.OnBuildResult(false, true, 0);
    EXPECT_EQ(rules.NextCheckDelayMs(500), 1500);
    EXPECT_EQ(rules.NextCheckDelayMs(5000), 1);
}

}  // namespace
