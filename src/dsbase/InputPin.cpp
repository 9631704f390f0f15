#include "dsbase/InputPin.h"

#include <uuids.h>

using Microsoft::WRL::ComPtr;

CBaseInputPin::CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                             const wchar_t* name, const wchar_t* id)
    : CBasePin(objectName, filter, lock, name, PINDIR_INPUT, id) {}

CBaseInputPin::~CBaseInputPin() = default;

HRESULT STDMETHODCALLTYPE CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

ComPtr<IMemAllocator> CBaseInputPin::Allocator() {
    CAutoLock lock(*lock_);
    return allocator_;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocator(IMemAllocator** out) {
    if (!out) return E_POINTER;
    CAutoLock lock(*lock_);
    if (!allocator_) {
        const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_PPV_ARGS(&allocator_));
        if (FAILED(hr)) {
            *out = nullptr;
            return hr;
        }
    }
    *out = ComPtr<IMemAllocator>(allocator_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (!allocator) return E_POINTER;
    CAutoLock lock(*lock_);
    allocator_ = allocator;
    readOnly_ = readOnly != FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    return E_NOTIMPL;
}

HRESULT CBaseInputPin::CheckStreaming() {
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (flushing_) return S_FALSE;
    if (filter_->IsStopped()) return VFW_E_WRONG_STATE;
    if (runtimeError_) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::RecordProperties(IMediaSample* sample) {
    sampleProps_ = AM_SAMPLE2_PROPERTIES{};
    ComPtr<IMediaSample2> sample2;
    if (SUCCEEDED(sample->QueryInterface(IID_PPV_ARGS(&sample2)))) {
        const HRESULT hr =
            sample2->GetProperties(sizeof(sampleProps_), reinterpret_cast<BYTE*>(&sampleProps_));
        if (SUCCEEDED(hr)) return hr;
    }
    // No IMediaSample2 (or it failed): rebuild the same record from the basic interface.
    AM_SAMPLE2_PROPERTIES& p = sampleProps_;
    p.cbData = sizeof(p);
    const HRESULT times = sample->GetTime(&p.tStart, &p.tStop);
    if (SUCCEEDED(times)) {
        p.dwSampleFlags |= AM_SAMPLE_TIMEVALID;
        // VFW_S_NO_STOP_TIME: only the start time is valid.
        if (times != VFW_S_NO_STOP_TIME) p.dwSampleFlags |= AM_SAMPLE_STOPVALID;
    }
    if (sample->IsSyncPoint() == S_OK) p.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
    if (sample->IsPreroll() == S_OK) p.dwSampleFlags |= AM_SAMPLE_PREROLL;
    if (sample->IsDiscontinuity() == S_OK) p.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        p.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
        // The record would point into the sample's copy; callers that need the type read it
        // from the sample itself, so the copy is freed here.
        DeleteMediaType(changed);
    }
    p.lActual = sample->GetActualDataLength();
    p.cbBuffer = sample->GetSize();
    sample->GetPointer(&p.pbBuffer);
    p.dwStreamId = AM_STREAM_MEDIA;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    hr = RecordProperties(sample);
    if (FAILED(hr)) return hr;
    if (sampleProps_.dwSampleFlags & AM_SAMPLE_TYPECHANGED) {
        AM_MEDIA_TYPE* changed = nullptr;
        if (sample->GetMediaType(&changed) == S_OK && changed) {
            const CMediaType type(*changed);
            DeleteMediaType(changed);
            // A type we cannot take ends the stream for us, as upstream cannot know.
            if (CheckMediaType(&type) != S_OK) {
                EndOfStream();
                return VFW_E_INVALIDMEDIATYPE;
            }
        }
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count,
                                                         long* processed) {
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    for (long i = 0; i < count; ++i) {
        hr = Receive(samples[i]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::ReceiveCanBlock() {
    // We may block when any connected output pin's peer may block.
    int outputs = 0;
    int nonBlocking = 0;
    for (int i = 0; i < filter_->GetPinCount(); ++i) {
        CBasePin* pin = filter_->GetPin(i);
        if (!pin || pin->Direction() != PINDIR_OUTPUT || !pin->IsConnected()) continue;
        ++outputs;
        ComPtr<IMemInputPin> peer;
        if (SUCCEEDED(pin->GetConnected()->QueryInterface(IID_PPV_ARGS(&peer)))) {
            if (peer->ReceiveCanBlock() == S_OK) return S_OK;
            ++nonBlocking;
        }
    }
    return outputs == nonBlocking ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::EndOfStream() { return S_OK; }

HRESULT STDMETHODCALLTYPE CBaseInputPin::BeginFlush() {
    flushing_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::EndFlush() {
    flushing_ = false;
    runtimeError_ = false;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive() {
    runtimeError_ = false;
    flushing_ = false;
    // Decommitting releases an upstream thread blocked in GetBuffer, so it can see the stop.
    ComPtr<IMemAllocator> allocator = Allocator();
    if (allocator) allocator->Decommit();
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect() {
    CAutoLock lock(*lock_);
    if (allocator_) {
        allocator_->Decommit();
        allocator_.Reset();
    }
    return S_OK;
}
