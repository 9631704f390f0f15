// Runs a callable when the scope ends, unless dismissed: for platform calls that must be undone
// on every path (a hook removed, a state restored) where no owning handle type fits.
#pragma once

#include <utility>

namespace lumoka {

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ScopeExit(ScopeExit&& other) noexcept : f_(std::move(other.f_)), active_(other.active_) {
        other.active_ = false;
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (active_) f_();
    }
    void Dismiss() { active_ = false; }

private:
    F f_;
    bool active_ = true;
};

template <typename F>
ScopeExit<F> MakeScopeExit(F f) {
    return ScopeExit<F>(std::move(f));
}

}  // namespace lumoka
