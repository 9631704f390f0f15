// The test card's own account of the pictures it drew, read in the test from the card's
// frame-stamp ring (devices/FrameStampRing.h) while the card runs in the program under test.
// A rate or a count the program shows is checked against what the card delivered over the
// same seconds: on a busy machine the card and the renderer really deliver fewer frames, so a
// fixed band around the card's nominal rate would fail a sound program there.
//
// Threads: the test's thread. Times are QueryPerformanceCounter ticks, as the ring holds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devices/FrameStampRing.h"

namespace lumoka::testing {

class CCardStamps {
public:
    // The ring of the card with this "DevicePath"; open it before the program starts playing
    // or while it plays (the mapping lives while either side holds it).
    explicit CCardStamps(const std::wstring& devicePath = L"lumoka-testcard-0");
    ~CCardStamps();
    CCardStamps(const CCardStamps&) = delete;
    CCardStamps& operator=(const CCardStamps&) = delete;

    bool IsOpen() const;
    static int64_t Now();
    static double Seconds(int64_t from, int64_t to);

    // The pictures drawn in (from, to] (the counter each carries and when it was drawn),
    // oldest first; empty also when part of the span has already been overwritten in the ring.
    std::vector<FrameStamp> DrawnBetween(int64_t from, int64_t to) const;
    // Pictures drawn in (from, to] per second.
    double RateBetween(int64_t from, int64_t to) const;
    // The time between consecutive pictures (seconds) that the given share of all such times
    // in drawn is at or below (0.5: the median); 0 for fewer than two pictures.
    static double GapQuantile(const std::vector<FrameStamp>& drawn, double share);
    // When the card started counting again from 0 after `since` (a new graph or a new run):
    // true with the last counter it drew before.
    bool FindRestart(int64_t since, long* lastBefore) const;

private:
    std::unique_ptr<CFrameStampRing> m_ring;
};

}  // namespace lumoka::testing
