// CDeliveredRateMeter: the frame rate the title shows when the renderer keeps no statistics,
// from the transform filter's count of delivered frames read at two title refreshes: the
// change in count over the change in time, with time in performance-counter ticks.
//
// Portable: plain values. Thread: the window's thread only (no locks).
#pragma once

#include <cstdint>

class CDeliveredRateMeter {
public:
    // Refreshes closer together than this keep the last rate: a title refresh right after
    // another (a resize, a volume step) would otherwise show the noise of a few milliseconds.
    static constexpr double kMinimumSeconds = 0.5;

    // The rate up to this reading of count at ticks (frequency ticks a second). The first
    // reading, a count that went back (another filter) or a clock that did not advance give 0
    // and start afresh.
    double Update(uint64_t count, int64_t ticks, int64_t frequency);
    // Forgets the previous reading, for a graph that is gone.
    void Reset();

private:
    bool m_haveReading = false;
    uint64_t m_count = 0;
    int64_t m_ticks = 0;
    double m_rate = 0.0;
};
