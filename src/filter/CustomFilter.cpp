#include "filter/CustomFilter.h"

#include <evcode.h>

#include <cstddef>
#include <cwchar>
#include <new>

#include "filter/pipeline/FrameRate.h"
#include "wincom/Result.h"

using Microsoft::WRL::ComPtr;

namespace {

// One counter for every instance in the process, never reset: the Half-mode rule drops the
// odd-numbered samples of this count.
std::atomic<uint64_t> g_sampleCounter{0};

constexpr int32_t kCopyModeHardware = 6;
constexpr int32_t kFieldOrderTopFirst = 0;
// dwTypeSpecificFlags of video samples.
constexpr DWORD kVideoFlagField1First = 0x4;  // AM_VIDEO_FLAG_FIELD1FIRST
constexpr DWORD kVideoFlagWeave = 0x8;        // AM_VIDEO_FLAG_WEAVE

}  // namespace

uint64_t CCustomFilter::SampleCount() { return g_sampleCounter.load(); }

uint64_t CCustomFilter::IncrementSampleCount() { return ++g_sampleCounter; }

CCustomFilter::CCustomFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &filterLock_, clsid) {}

CCustomFilter::~CCustomFilter() = default;

HRESULT STDMETHODCALLTYPE CCustomFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_ILumokaFilterCtrl) {
        return GetInterface(static_cast<ILumokaFilterCtrl*>(this), ppv);
    }
    if (riid == IID_ILumokaFrameGrab) {
        return GetInterface(static_cast<ILumokaFrameGrab*>(this), ppv);
    }
    if (riid == IID_ILumokaFilterLatency) {
        return GetInterface(static_cast<ILumokaFilterLatency*>(this), ppv);
    }
    if (riid == IID_ILumokaFilterStats) {
        return GetInterface(static_cast<ILumokaFilterStats*>(this), ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

bool CCustomFilter::CreatePins() {
    if (input_ && output_) return true;
    input_.reset(new (std::nothrow) CCostomInputPin(this, &filterLock_));
    if (!input_) return false;
    output_.reset(new (std::nothrow) CCostomOutputPin(this, &filterLock_));
    if (!output_) {
        input_.reset();
        return false;
    }
    IncrementPinVersion();
    return true;
}

CBasePin* CCustomFilter::GetPin(int n) {
    CAutoLock lock(filterLock_);
    if (!CreatePins()) return nullptr;
    if (n == 0) return input_.get();
    if (n == 1) return output_.get();
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::FindPin(LPCWSTR id, IPin** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!id) return VFW_E_NOT_FOUND;
    CAutoLock lock(filterLock_);
    CBasePin* pin = nullptr;
    if (std::wcscmp(id, L"In") == 0) {
        pin = GetPin(0);
    } else if (std::wcscmp(id, L"Out") == 0) {
        pin = GetPin(1);
    } else {
        return VFW_E_NOT_FOUND;
    }
    if (!pin) return E_OUTOFMEMORY;
    return GetInterface(static_cast<IPin*>(pin), reinterpret_cast<void**>(out));
}

HRESULT STDMETHODCALLTYPE CCustomFilter::Stop() {
    CAutoLock lock(filterLock_);
    if (state_ == State_Stopped) return S_OK;
    HRESULT hr = S_OK;
    if (input_ && output_ && input_->IsConnected() && output_->IsConnected()) {
        // The input first, so no new sample starts; then, once the sample in progress has
        // left (receive lock), the output's allocator.
        input_->Inactive();
        CAutoLock receive(receiveLock_);
        output_->Inactive();
        hr = StopStreaming();
        if (SUCCEEDED(hr)) state_ = State_Stopped;
    } else {
        state_ = State_Stopped;
    }
    eosDelivered_ = FALSE;
    return hr;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::Pause() {
    CAutoLock lock(filterLock_);
    HRESULT hr = S_OK;
    if (state_ != State_Paused) {
        CreatePins();
        if (!input_ || !input_->IsConnected()) {
            // Nothing can ever arrive: tell downstream at once that this stream is empty.
            if (output_ && !eosDelivered_) {
                output_->DeliverEndOfStream();
                eosDelivered_ = TRUE;
            }
            state_ = State_Paused;
        } else if (!output_ || !output_->IsConnected()) {
            state_ = State_Paused;
        } else if (state_ == State_Running) {
            hr = CBaseFilter::Pause();
        } else {
            {
                CAutoLock receive(receiveLock_);
                hr = StartStreaming();
            }
            if (SUCCEEDED(hr)) hr = CBaseFilter::Pause();
        }
    }
    sampleSkipped_ = FALSE;
    qualityChanged_ = FALSE;
    return hr;
}

HRESULT CCustomFilter::SetSetting(std::atomic<int32_t>& field, int value) {
    std::lock_guard<std::mutex> guard(settingsLock_);
    field = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::SetCopyMode(int mode) {
    return SetSetting(copyMode_, mode);
}
HRESULT STDMETHODCALLTYPE CCustomFilter::SetFrameMode(int mode) {
    return SetSetting(frameMode_, mode);
}
HRESULT STDMETHODCALLTYPE CCustomFilter::SetFieldOrder(int order) {
    return SetSetting(fieldOrder_, order);
}
HRESULT STDMETHODCALLTYPE CCustomFilter::SetYCExpand(int mode) {
    return SetSetting(ycExpand_, mode);
}
HRESULT STDMETHODCALLTYPE CCustomFilter::SetFlipVertical(int on) {
    return SetSetting(flipVertical_, on);
}

// The getters take no lock (a setting is one aligned word); a null pointer is refused rather
// than written through.
HRESULT STDMETHODCALLTYPE CCustomFilter::GetCopyMode(int* mode) {
    RETURN_IF_NULL_OUT(mode);
    *mode = copyMode_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CCustomFilter::GetFrameMode(int* mode) {
    RETURN_IF_NULL_OUT(mode);
    *mode = frameMode_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CCustomFilter::GetFieldOrder(int* order) {
    RETURN_IF_NULL_OUT(order);
    *order = fieldOrder_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CCustomFilter::GetYCExpand(int* mode) {
    RETURN_IF_NULL_OUT(mode);
    *mode = ycExpand_;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CCustomFilter::GetFlipVertical(int* on) {
    RETURN_IF_NULL_OUT(on);
    *on = flipVertical_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::GetDeliveredFrames(LONGLONG* count) {
    RETURN_IF_NULL_OUT(count);
    *count = deliveredFrames_.load();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCustomFilter::GetDroppedFrames(LONGLONG* count) {
    RETURN_IF_NULL_OUT(count);
    *count = droppedFrames_.load();
    return S_OK;
}

HRESULT CCustomFilter::Receive(IMediaSample* sample) {
    const AM_SAMPLE2_PROPERTIES& props = input_->SampleProps();
    // Control streams are not pictures: they pass untouched.
    if (props.dwStreamId != AM_STREAM_MEDIA) return output_->Deliver(sample);

    ComPtr<IMediaSample> out;
    RETURN_IF_FAILED(PrepareOutputSample(sample, &out));
    HRESULT hr = Transform(sample, out.Get());
    if (hr == S_OK) {
        if (grab_.Pending()) OfferFrameToGrab(out.Get());
        if (arrivalTicks_ != 0) RecordResidence();
        hr = output_->Deliver(out.Get());
        // Only a sample the downstream pin took counts (S_FALSE refuses it).
        if (hr == S_OK) ++deliveredFrames_;
        sampleSkipped_ = FALSE;
    } else if (hr == S_FALSE) {
        ++droppedFrames_;
        sampleSkipped_ = TRUE;
        if (!qualityChanged_) {
            NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
            qualityChanged_ = TRUE;
        }
        hr = S_OK;
    }
    return hr;
}

HRESULT CCustomFilter::PrepareOutputSample(IMediaSample* in, IMediaSample** out) {
    const AM_SAMPLE2_PROPERTIES& props = input_->SampleProps();
    const lumoka::SampleTimes times = lumoka::OutputTimes({props.tStart, props.tStop}, CopyMode(),
                                                          FrameMode(), input_->FirstField());
    REFERENCE_TIME start = times.start;
    REFERENCE_TIME stop = times.stop;
    const bool startValid = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    const bool stopValid = (props.dwSampleFlags & AM_SAMPLE_STOPVALID) != 0;
    const bool splicePoint = (props.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0;
    const bool discontinuity = (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0;
    const DWORD flags =
        (sampleSkipped_ ? AM_GBF_PREVFRAMESKIPPED : 0) | (splicePoint ? 0 : AM_GBF_NOTASYNCPOINT);

    ComPtr<IMediaSample> sample;
    RETURN_IF_FAILED(output_->GetDeliveryBuffer(&sample, startValid ? &start : nullptr,
                                                stopValid ? &stop : nullptr, flags));
    ComPtr<IMediaSample2> sample2;
    if (SUCCEEDED(sample.As(&sample2))) {
        AM_SAMPLE2_PROPERTIES p{};
        RETURN_IF_FAILED(sample2->GetProperties(offsetof(AM_SAMPLE2_PROPERTIES, tStart),
                                                reinterpret_cast<BYTE*>(&p)));
        p.dwTypeSpecificFlags = props.dwTypeSpecificFlags;
        if (CopyMode() == kCopyModeHardware) {
            // The renderer deinterlaces: tell it which field comes first, and not to weave.
            if (FieldOrder() == kFieldOrderTopFirst) {
                p.dwTypeSpecificFlags =
                    (p.dwTypeSpecificFlags | kVideoFlagField1First) & ~kVideoFlagWeave;
            } else {
                p.dwTypeSpecificFlags &= ~(kVideoFlagField1First | kVideoFlagWeave);
            }
        }
        // The buffer keeps its own type-change flag: a new downstream type is the allocator's.
        p.dwSampleFlags = (p.dwSampleFlags & AM_SAMPLE_TYPECHANGED) |
                          (props.dwSampleFlags & ~AM_SAMPLE_TYPECHANGED);
        p.tStart = start;
        p.tStop = stop;
        p.cbData = offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId);
        RETURN_IF_FAILED(sample2->SetProperties(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId),
                                                reinterpret_cast<BYTE*>(&p)));
        if (discontinuity) sampleSkipped_ = FALSE;
    } else {
        if (startValid) sample->SetTime(&start, stopValid ? &stop : nullptr);
        if (splicePoint) sample->SetSyncPoint(TRUE);
        if (discontinuity) {
            sample->SetDiscontinuity(TRUE);
            sampleSkipped_ = FALSE;
        }
        LONGLONG mediaStart = 0, mediaStop = 0;
        if (in->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
            sample->SetMediaTime(&mediaStart, &mediaStop);
        }
    }
    *out = sample.Detach();
    return S_OK;
}

HRESULT CCustomFilter::EndOfStream() { return output_->DeliverEndOfStream(); }
HRESULT CCustomFilter::BeginFlush() { return output_->DeliverBeginFlush(); }
HRESULT CCustomFilter::EndFlush() { return output_->DeliverEndFlush(); }
HRESULT CCustomFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return output_->DeliverNewSegment(start, stop, rate);
}
