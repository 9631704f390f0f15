// The meeting point of a frame grab: one request at a time from the application thread, filled
// by the streaming thread with the next frame it produces. The streaming thread looks at one
// atomic flag per frame and copies nothing while no request waits; the request lives in the
// caller's frame and is withdrawn under the slot's lock when the wait ends without a frame, so
// the streaming thread never writes into a buffer that is gone.
//
// Portable (standard threads only). Request on the application thread, Offer on the streaming
// thread; the slot's own lock is the last one taken on the streaming path (after the filter's
// settings and receive locks) and the only one Request takes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "filter/GrabPicture.h"

namespace lumoka {

enum class GrabResult { kGrabbed, kTimedOut, kUnsupported, kBusy };

class CFrameGrabSlot {
public:
    // Waits at most timeout for the next offered frame; on kGrabbed picture holds the header
    // and pixels of MakeGrabPicture.
    GrabResult Request(std::chrono::milliseconds timeout, std::vector<uint8_t>& picture);

    // Cheap test for the streaming thread before it builds a GrabFrame.
    bool Pending() const { return pending_.load(std::memory_order_acquire); }
    // Fills the waiting request, if any, from the frame; true when it took the frame.
    bool Offer(const GrabFrame& frame);

private:
    struct Waiting {
        std::vector<uint8_t>* picture = nullptr;
        bool done = false;
        bool converted = false;
    };

    std::mutex lock_;
    std::condition_variable filled_;
    Waiting* waiting_ = nullptr;  // guarded by lock_
    std::atomic<bool> pending_{false};
};

}  // namespace lumoka
