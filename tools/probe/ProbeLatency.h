// "LumokaProbe latency <Profile.ini> <index> [seconds]": builds the profile's graph in the
// probe's window (client sized to the video), samples the screen inside the video rectangle
// about every millisecond on a thread of its own, decodes the test card's frame counter there,
// and matches each first appearance with the time the card stamped that frame
// (src/devices/FrameStampRing.h). Prints, as "name: value" lines: frames produced, shown, never
// shown, shown twice (held for two frame intervals or more), latency from stamping to the
// first appearance (p50, p95, max in ms), the displayed frame rate and the mean sample interval.
#pragma once

#include <string>

// Exit status: 0 measured, 1 the build failed or nothing was seen, 2 the file could not be read.
int RunLatencyCommand(const std::wstring& profilePath, int index, int seconds);
