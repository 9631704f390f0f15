#include "dsbase/LiveSource.h"

#include <evcode.h>
#include <ks.h>
#include <ksmedia.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

using Microsoft::WRL::ComPtr;

namespace {
constexpr REFERENCE_TIME kDefaultInterval = 333333;  // 30 frames a second

bool SameVideoShape(const CMediaType& a, const CMediaType& b) {
    const VIDEOINFOHEADER* va = a.VideoInfo();
    const VIDEOINFOHEADER* vb = b.VideoInfo();
    if (!va || !vb) return true;
    return va->bmiHeader.biWidth == vb->bmiHeader.biWidth &&
           std::labs(va->bmiHeader.biHeight) == std::labs(vb->bmiHeader.biHeight) &&
           va->bmiHeader.biBitCount == vb->bmiHeader.biBitCount;
}
}  // namespace

CLivePushPin::CLivePushPin(const wchar_t* objectName, CLiveSourceFilter* filter, CCritSec* lock,
                           const wchar_t* name, const GUID& category, const wchar_t* id)
    : CBaseOutputPin(objectName, filter, lock, name, id), source_(filter), category_(category) {}

CLivePushPin::~CLivePushPin() { StopThread(); }

HRESULT STDMETHODCALLTYPE CLivePushPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMPushSource || riid == IID_IAMLatency) {
        return GetInterface(static_cast<IAMPushSource*>(this), ppv);
    }
    if (riid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

REFERENCE_TIME CLivePushPin::FrameInterval() const {
    const VIDEOINFOHEADER* vih = mt_.VideoInfo();
    return vih && vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : kDefaultInterval;
}

HRESULT STDMETHODCALLTYPE CLivePushPin::GetLatency(REFERENCE_TIME* latency) {
    if (!latency) return E_POINTER;
    *latency = FrameInterval();
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CLivePushPin::GetPushSourceFlags(ULONG* flags) {
    if (!flags) return E_POINTER;
    *flags = 0;  // times come from the graph's reference clock
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CLivePushPin::SetPushSourceFlags(ULONG) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CLivePushPin::SetStreamOffset(REFERENCE_TIME offset) {
    streamOffset_ = offset;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CLivePushPin::GetStreamOffset(REFERENCE_TIME* offset) {
    if (!offset) return E_POINTER;
    *offset = streamOffset_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CLivePushPin::GetMaxStreamOffset(REFERENCE_TIME* offset) {
    if (!offset) return E_POINTER;
    *offset = maxStreamOffset_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CLivePushPin::SetMaxStreamOffset(REFERENCE_TIME offset) {
    maxStreamOffset_ = offset;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CLivePushPin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) {
    return E_PROP_SET_UNSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CLivePushPin::Get(REFGUID set, DWORD id, void*, DWORD, void* data,
                                            DWORD dataSize, DWORD* returned) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!data && !returned) return E_POINTER;
    if (returned) *returned = sizeof(GUID);
    if (!data) return S_OK;  // a size query
    if (dataSize < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = category_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CLivePushPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

void CLivePushPin::SetMediaTypes(std::vector<CMediaType> types) {
    CAutoLock lock(*lock_);
    types_ = std::move(types);
    IncrementTypeVersion();
}

HRESULT CLivePushPin::GetMediaType(int position, CMediaType* mt) {
    CAutoLock lock(*lock_);
    if (position < 0) return E_INVALIDARG;
    if (static_cast<size_t>(position) >= types_.size()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(types_[position]);
}

HRESULT CLivePushPin::CheckMediaType(const CMediaType* mt) {
    CAutoLock lock(*lock_);
    for (const CMediaType& t : types_) {
        if (t.majortype == mt->majortype && t.subtype == mt->subtype &&
            t.formattype == mt->formattype && SameVideoShape(t, *mt)) {
            return S_OK;
        }
    }
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CLivePushPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    long size = static_cast<long>(mt_.lSampleSize);
    if (const VIDEOINFOHEADER* vih = mt_.VideoInfo()) {
        size = std::max<long>(size, static_cast<long>(vih->bmiHeader.biSizeImage));
    }
    return RequestBuffers(allocator, *request, size, size);
}

HRESULT CLivePushPin::RequestBuffers(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request,
                                     long bufferSize, long leastUsable) {
    ALLOCATOR_PROPERTIES want = request;
    want.cBuffers = std::max<long>(want.cBuffers, 4);
    want.cbBuffer = std::max<long>(want.cbBuffer, bufferSize);
    if (want.cbAlign <= 0) want.cbAlign = 1;
    ALLOCATOR_PROPERTIES got{};
    const HRESULT hr = allocator->SetProperties(&want, &got);
    if (FAILED(hr)) return hr;
    return got.cBuffers >= 1 && got.cbBuffer >= leastUsable ? S_OK : E_FAIL;
}

HRESULT CLivePushPin::Active() {
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr)) return hr;
    StopThread();
    delivered_ = 0;
    lastResult_ = S_OK;
    stopRequested_ = false;
    thread_ = std::thread(&CLivePushPin::ThreadMain, this);
    return S_OK;
}

HRESULT CLivePushPin::Inactive() {
    // Decommit first: a GetBuffer blocked on a full pool returns at once, so the thread ends.
    const HRESULT hr = CBaseOutputPin::Inactive();
    StopThread();
    return hr;
}

HRESULT CLivePushPin::Run(REFERENCE_TIME) {
    std::lock_guard<std::mutex> guard(threadMutex_);
    wake_.notify_all();
    return S_OK;
}

void CLivePushPin::StopThread() {
    {
        std::lock_guard<std::mutex> guard(threadMutex_);
        stopRequested_ = true;
        wake_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

bool CLivePushPin::WaitUntilRunningOrStopped() {
    std::unique_lock<std::mutex> lock(threadMutex_);
    // The state is read without the filter lock; the short timeout covers a Run whose wake-up
    // came before we started waiting.
    while (!stopRequested_ && source_->State() != State_Running) {
        wake_.wait_for(lock, std::chrono::milliseconds(10));
    }
    return !stopRequested_;
}

void CLivePushPin::ThreadMain() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    REFERENCE_TIME frame = 0;
    auto next = std::chrono::steady_clock::now();
    while (WaitUntilRunningOrStopped()) {
        {
            std::unique_lock<std::mutex> lock(threadMutex_);
            if (wake_.wait_until(lock, next, [this] { return stopRequested_; })) break;
        }
        // A late frame is not made up for: the next one comes a whole interval later.
        const auto interval = std::chrono::microseconds(FrameInterval() / 10);
        next = std::max(next, std::chrono::steady_clock::now()) + interval;
        if (source_->State() != State_Running) continue;
        bool streamEnded = false;
        const HRESULT hr = ProduceOne(frame++, &streamEnded);
        lastResult_ = hr;
        if (hr == S_OK) continue;
        if (streamEnded) {
            DeliverEndOfStream();
        } else if (FAILED(hr) && hr != VFW_E_NOT_COMMITTED && hr != VFW_E_WRONG_STATE) {
            source_->NotifyEvent(EC_ERRORABORT, hr, 0);
        }
        // Downstream refused (S_FALSE from Receive) or the stream ended: push no more until
        // the next Stop/Pause restarts the thread.
        std::unique_lock<std::mutex> lock(threadMutex_);
        wake_.wait(lock, [this] { return stopRequested_; });
        break;
    }
    CoUninitialize();
}

HRESULT CLivePushPin::ProduceOne(REFERENCE_TIME frameIndex, bool* streamEnded) {
    ComPtr<IMediaSample> sample;
    HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    const REFERENCE_TIME interval = FrameInterval();
    REFERENCE_TIME start = frameIndex * interval;
    REFERENCE_TIME now = 0;
    if (SUCCEEDED(source_->StreamTime(&now))) start = now;
    // Never overlap the previous frame, even with a coarse clock.
    if (frameIndex > 0 && start < lastStop_) start = lastStop_;
    REFERENCE_TIME stop = start + interval;
    lastStop_ = stop;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(frameIndex == 0 ? TRUE : FALSE);
    sample->SetPreroll(FALSE);
    hr = FillBuffer(sample.Get());
    if (hr == S_FALSE) *streamEnded = true;
    if (hr != S_OK) return hr;
    hr = Deliver(sample.Get());
    if (hr == S_OK) ++delivered_;
    return hr;
}

CLiveSourceFilter::CLiveSourceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &filterLock_, clsid) {}

CLiveSourceFilter::~CLiveSourceFilter() = default;

HRESULT STDMETHODCALLTYPE CLiveSourceFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMPushSource || riid == IID_IAMLatency) {
        return GetInterface(static_cast<IAMPushSource*>(this), ppv);
    }
    if (riid == IID_IAMFilterMiscFlags) {
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

#define FORWARD_TO_FIRST_PIN(call)      \
    do {                                \
        CLivePushPin* pin = PushPin(0); \
        if (!pin) return E_UNEXPECTED;  \
        return pin->call;               \
    } while (0)

HRESULT STDMETHODCALLTYPE CLiveSourceFilter::GetLatency(REFERENCE_TIME* latency) {
    FORWARD_TO_FIRST_PIN(GetLatency(latency));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::GetPushSourceFlags(ULONG* flags) {
    FORWARD_TO_FIRST_PIN(GetPushSourceFlags(flags));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::SetPushSourceFlags(ULONG flags) {
    FORWARD_TO_FIRST_PIN(SetPushSourceFlags(flags));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::SetStreamOffset(REFERENCE_TIME offset) {
    FORWARD_TO_FIRST_PIN(SetStreamOffset(offset));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::GetStreamOffset(REFERENCE_TIME* offset) {
    FORWARD_TO_FIRST_PIN(GetStreamOffset(offset));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::GetMaxStreamOffset(REFERENCE_TIME* offset) {
    FORWARD_TO_FIRST_PIN(GetMaxStreamOffset(offset));
}
HRESULT STDMETHODCALLTYPE CLiveSourceFilter::SetMaxStreamOffset(REFERENCE_TIME offset) {
    FORWARD_TO_FIRST_PIN(SetMaxStreamOffset(offset));
}

HRESULT STDMETHODCALLTYPE CLiveSourceFilter::Pause() {
    const HRESULT hr = CBaseFilter::Pause();
    // A live source produces nothing while paused, so the graph must not wait for a cue.
    return SUCCEEDED(hr) ? VFW_S_CANT_CUE : hr;
}

HRESULT STDMETHODCALLTYPE CLiveSourceFilter::GetState(DWORD timeoutMs, FILTER_STATE* state) {
    const HRESULT hr = CBaseFilter::GetState(timeoutMs, state);
    if (FAILED(hr)) return hr;
    return *state == State_Paused ? VFW_S_CANT_CUE : hr;
}

int CLiveSourceFilter::GetPinCount() {
    CAutoLock lock(filterLock_);
    return static_cast<int>(pins_.size());
}

CBasePin* CLiveSourceFilter::GetPin(int n) { return PushPin(n); }

CLivePushPin* CLiveSourceFilter::PushPin(int n) const {
    if (n < 0 || static_cast<size_t>(n) >= pins_.size()) return nullptr;
    return pins_[n].get();
}

void CLiveSourceFilter::AddPin(std::unique_ptr<CLivePushPin> pin) {
    CAutoLock lock(filterLock_);
    pins_.push_back(std::move(pin));
    IncrementPinVersion();
}
