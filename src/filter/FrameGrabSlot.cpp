#include "filter/FrameGrabSlot.h"

namespace lumoka {

GrabResult CFrameGrabSlot::Request(std::chrono::milliseconds timeout,
                                   std::vector<uint8_t>& picture) {
    std::unique_lock<std::mutex> lock(lock_);
    if (waiting_) return GrabResult::kBusy;
    Waiting request;
    request.picture = &picture;
    waiting_ = &request;
    pending_.store(true, std::memory_order_release);
    filled_.wait_for(lock, timeout, [&request] { return request.done; });
    if (!request.done) {
        // Withdrawn under the lock: an Offer that comes later finds nothing to fill.
        waiting_ = nullptr;
        pending_.store(false, std::memory_order_release);
        return GrabResult::kTimedOut;
    }
    return request.converted ? GrabResult::kGrabbed : GrabResult::kUnsupported;
}

bool CFrameGrabSlot::Offer(const GrabFrame& frame) {
    if (!Pending()) return false;
    {
        std::lock_guard<std::mutex> lock(lock_);
        if (!waiting_) return false;
        waiting_->converted = MakeGrabPicture(frame, *waiting_->picture);
        waiting_->done = true;
        waiting_ = nullptr;
        pending_.store(false, std::memory_order_release);
    }
    filled_.notify_all();
    return true;
}

}  // namespace lumoka
