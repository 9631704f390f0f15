#include "dsbase/RecordingSink.h"

#include <evcode.h>

#include <chrono>

using Microsoft::WRL::ComPtr;

// {D5C3A8E1-5B0F-4C52-9E21-7A4B0C9E6D13}: only answers IPersist; the sink is never registered.
static const GUID CLSID_LumokaRecordingSink = {
    0xd5c3a8e1, 0x5b0f, 0x4c52, {0x9e, 0x21, 0x7a, 0x4b, 0x0c, 0x9e, 0x6d, 0x13}};

CRecordingSinkPin::CRecordingSinkPin(CRecordingSink* filter, CCritSec* lock, const wchar_t* name)
    : CBaseInputPin(L"recording sink input", filter, lock, name), sink_(filter) {}

HRESULT CRecordingSinkPin::CheckMediaType(const CMediaType* mt) {
    return sink_->Accepts(*mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CRecordingSinkPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(sink_->recordMutex_);
    if (static_cast<size_t>(position) >= sink_->offered_.size()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(sink_->offered_[position]);
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::GetAllocator(IMemAllocator** out) {
    if (!out) return E_POINTER;
    ComPtr<IMemAllocator> own;
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        own = sink_->ownAllocator_;
    }
    if (own) {
        *out = own.Detach();
        return S_OK;
    }
    return CBaseInputPin::GetAllocator(out);
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    std::lock_guard<std::mutex> guard(sink_->recordMutex_);
    if (!sink_->hasRequirements_) return E_NOTIMPL;
    *props = sink_->requirements_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    const size_t index = sink_->Record(sample, sampleProps_);
    std::function<void(size_t)> hook;
    HRESULT result;
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        hook = sink_->receiveHook_;
        result = sink_->receiveResult_;
    }
    if (hook) hook(index);
    return result;
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::EndOfStream() {
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        ++sink_->endOfStream_;
    }
    sink_->arrived_.notify_all();
    // As a renderer: the graph completes when every renderer has reported its stream's end.
    if (sink_->State() == State_Running) sink_->NotifyEvent(EC_COMPLETE, S_OK, 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::BeginFlush() {
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        ++sink_->beginFlush_;
    }
    return CBaseInputPin::BeginFlush();
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::EndFlush() {
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        ++sink_->endFlush_;
    }
    return CBaseInputPin::EndFlush();
}

HRESULT STDMETHODCALLTYPE CRecordingSinkPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                        double rate) {
    {
        std::lock_guard<std::mutex> guard(sink_->recordMutex_);
        ++sink_->newSegment_;
    }
    return CBaseInputPin::NewSegment(start, stop, rate);
}

CRecordingSink::CRecordingSink(const wchar_t* pinName)
    : CBaseFilter(L"recording sink", nullptr, &filterLock_, CLSID_LumokaRecordingSink),
      pin_(new CRecordingSinkPin(this, &filterLock_, pinName)) {}

CRecordingSink::~CRecordingSink() = default;

HRESULT STDMETHODCALLTYPE CRecordingSink::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMFilterMiscFlags) {
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CRecordingSink::GetPin(int n) { return n == 0 ? pin_.get() : nullptr; }

void CRecordingSink::SetAcceptedTypes(std::vector<CMediaType> patterns) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    accepted_ = std::move(patterns);
}

void CRecordingSink::SetOfferedTypes(std::vector<CMediaType> types) {
    {
        std::lock_guard<std::mutex> guard(recordMutex_);
        offered_ = std::move(types);
    }
    pin_->IncrementTypeVersion();
}

void CRecordingSink::SetReceiveResult(HRESULT hr) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    receiveResult_ = hr;
}

void CRecordingSink::SetAllocatorRequirements(const ALLOCATOR_PROPERTIES& props) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    requirements_ = props;
    hasRequirements_ = true;
}

void CRecordingSink::SetAllocator(IMemAllocator* allocator) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    ownAllocator_ = allocator;
}

void CRecordingSink::SetMaxDataSamples(size_t n) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    maxDataSamples_ = n;
}

bool CRecordingSink::Accepts(const CMediaType& mt) const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    if (accepted_.empty()) return true;
    for (const CMediaType& pattern : accepted_) {
        if (mt.MatchesPartial(pattern)) return true;
    }
    return false;
}

size_t CRecordingSink::Record(IMediaSample* sample, const AM_SAMPLE2_PROPERTIES& props) {
    CRecordedSample r;
    r.props = props;
    r.props.pbBuffer = nullptr;
    r.props.pMediaType = nullptr;
    r.bufferSize = sample->GetSize();
    r.startValid = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    r.stopValid = (props.dwSampleFlags & AM_SAMPLE_STOPVALID) != 0;
    r.start = props.tStart;
    r.stop = props.tStop;
    r.syncPoint = (props.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0;
    r.discontinuity = (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0;
    r.preroll = (props.dwSampleFlags & AM_SAMPLE_PREROLL) != 0;
    r.typeChanged = (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) != 0;
    if (r.typeChanged) {
        AM_MEDIA_TYPE* changed = nullptr;
        if (sample->GetMediaType(&changed) == S_OK && changed) {
            r.newType = *changed;
            DeleteMediaType(changed);
        }
    }
    std::lock_guard<std::mutex> guard(recordMutex_);
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    if (samples_.size() < maxDataSamples_ && SUCCEEDED(sample->GetPointer(&data)) && data &&
        length > 0) {
        r.data.assign(data, data + length);
    }
    samples_.push_back(std::move(r));
    arrived_.notify_all();
    return samples_.size() - 1;
}

void CRecordingSink::SetReceiveHook(std::function<void(size_t)> hook) {
    std::lock_guard<std::mutex> guard(recordMutex_);
    receiveHook_ = std::move(hook);
}

std::vector<CRecordedSample> CRecordingSink::Samples() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return samples_;
}

size_t CRecordingSink::SampleCount() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return samples_.size();
}

bool CRecordingSink::WaitForSamples(size_t n, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(recordMutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return samples_.size() >= n; });
}

int CRecordingSink::EndOfStreamCount() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return endOfStream_;
}
int CRecordingSink::BeginFlushCount() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return beginFlush_;
}
int CRecordingSink::EndFlushCount() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return endFlush_;
}
int CRecordingSink::NewSegmentCount() const {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return newSegment_;
}

void CRecordingSink::ClearRecord() {
    std::lock_guard<std::mutex> guard(recordMutex_);
    samples_.clear();
    endOfStream_ = beginFlush_ = endFlush_ = newSegment_ = 0;
}
