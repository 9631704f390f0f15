// The names under which the virtual devices are listed by the system device enumerator: the
// "FriendlyName", "Description" and "DevicePath" values of their property bags. ASCII only,
// so the same text serves the DLL, the tests and the first-profile script.
#pragma once

namespace lumoka::devicenames {

constexpr char kTestCard[] = "Lumoka Test Card";
constexpr char kTestCardPreview[] = "Lumoka Test Card (Preview)";
constexpr char kTestCardNoPath[] = "Lumoka Test Card (No Path)";
constexpr char kTestCardTwoCrossbars[] = "Lumoka Test Card (Two Crossbars)";
constexpr char kTestCardDescription[] = "Lumoka virtual capture card (test signal)";
constexpr char kTestCardPath0[] = "lumoka-testcard-0";
constexpr char kTestCardPath1[] = "lumoka-testcard-1";
constexpr char kTestCardPreviewPath[] = "lumoka-testcard-preview";
constexpr char kTestCardTwoCrossbarsPath[] = "lumoka-testcard-2xbar";
// The card that tests unplug and replug (HotPlug in DeviceIds.h); no other test uses it.
constexpr char kTestCardHotPlug[] = "Lumoka Test Card (Hot-Plug)";
constexpr char kTestCardHotPlugPath[] = "lumoka-testcard-hotplug";

// The misbehaving card (DeviceIds.h); listed only while a test has registered it.
constexpr char kHostileCard[] = "Lumoka Test Card (Hostile)";
constexpr char kHostileCardPath[] = "lumoka-testcard-hostile";

constexpr char kTestTone[] = "Lumoka Test Tone";
constexpr char kTestToneDescription[] = "Lumoka virtual microphone (sine tone)";
constexpr char kTestTonePath[] = "lumoka-testtone-0";

constexpr char kPassThrough[] = "Lumoka Test Pass-Through";
constexpr char kPassThroughDescription[] = "Lumoka two-lane pass-through filter";

}  // namespace lumoka::devicenames
