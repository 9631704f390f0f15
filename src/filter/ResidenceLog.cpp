// The transform filter's residence log (ILumokaFilterLatency). The log is written on the
// streaming thread under the settings lock, which the input pin holds for the whole of each
// input sample; start, stop and reading take the same lock, so they never meet a write. The
// flag that says whether to stamp is read at the sample's arrival, before that lock.
#include <algorithm>
#include <new>

#include "filter/CustomFilter.h"

HRESULT STDMETHODCALLTYPE CCustomFilter::StartResidenceLog(DWORD capacity) {
    if (capacity == 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> settings(settingsLock_);
    residenceLogging_ = false;
    residenceCount_ = 0;
    try {
        residence_.assign(capacity, 0);
    } catch (const std::bad_alloc&) {
        residence_.clear();
        return E_OUTOFMEMORY;
    }
    arrivalTicks_ = 0;
    residenceLogging_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::StopResidenceLog() {
    std::lock_guard<std::mutex> settings(settingsLock_);
    residenceLogging_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::GetResidenceLog(LONGLONG* ticks, DWORD max, DWORD* count) {
    if (!count || (!ticks && max > 0)) return E_POINTER;
    std::lock_guard<std::mutex> settings(settingsLock_);
    const size_t n = std::min<size_t>(max, residenceCount_);
    for (size_t i = 0; i < n; ++i) ticks[i] = residence_[i];
    *count = static_cast<DWORD>(n);
    return S_OK;
}

void CCustomFilter::SetArrival(int64_t ticks) { arrivalTicks_ = ticks; }

void CCustomFilter::RecordResidence() {
    if (arrivalTicks_ == 0 || residenceCount_ >= residence_.size()) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    residence_[residenceCount_++] = now.QuadPart - arrivalTicks_;
}
