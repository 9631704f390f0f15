// How the pipeline benchmark times an operation, the same way for the pipeline, for memcpy and
// for the floor loops: in a block of its own, warmed up until steady, in timed rounds of whole
// frames, in one of two regimes:
//  - hot: the operation repeated on the same buffers, so they stay in the caches as far as
//    they fit;
//  - cold: before every frame the caches are filled with other data by reading a buffer
//    several times the last-level cache (not timed), so input, output and work buffers all
//    come from memory, as between the frames of a live stream.
// Times are the thread's CPU time natively (other processes on the shared machine do not
// count) and the performance counter under Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumoka::bench {

enum class Regime { kHot, kCold };

const char* RegimeName(Regime r);
const char* ClockName();

// A 64-byte aligned block, as a video allocator hands frames out.
class CAlignedBuffer {
public:
    CAlignedBuffer() = default;
    explicit CAlignedBuffer(size_t size);
    uint8_t* Data() const { return data_.get(); }
    size_t Size() const { return size_; }

private:
    struct Free {
        void operator()(uint8_t* p) const;
    };
    size_t size_ = 0;
    std::unique_ptr<uint8_t, Free> data_;
};

// Per-frame figures of one block: median, min and max over its rounds, in nanoseconds.
struct Timing {
    double median = 0, min = 0, max = 0;
};

class CTimer {
public:
    // evictBytes: the size of the buffer read before each cold frame.
    explicit CTimer(size_t evictBytes);

    // Runs `frame` (one frame's work; `units` frames counted per call) in one block: a warm-up
    // round (hot: further ones until two agree within 3 %, at most 12 more), then `rounds`
    // timed rounds of `perRound` calls. The time per unit.
    Timing Run(const std::function<void()>& frame, Regime regime, int perRound, int rounds,
               int units = 1);
    size_t EvictBytes() const { return evict_.Size(); }

private:
    double Round(const std::function<void()>& frame, Regime regime, int perRound);
    void Evict();

    CAlignedBuffer evict_;
    uint64_t sink_ = 0;
};

// FNV-1a over a buffer: printed beside each row, so no build can optimise the work away and
// the two builds can be seen to produce the same bytes.
uint32_t Checksum(const uint8_t* data, size_t size);

// The size of the last-level cache (0 when unknown).
size_t LastLevelCacheBytes();

}  // namespace lumoka::bench
