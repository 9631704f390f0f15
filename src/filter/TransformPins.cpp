#include "filter/TransformPins.h"

#include "filter/CustomFilter.h"
#include "filter/pipeline/FrameRate.h"

using Microsoft::WRL::ComPtr;

CCostomInputPin::CCostomInputPin(CCustomFilter* filter, CCritSec* lock)
    : CBaseInputPin(L"transform input pin", filter, lock, L"XForm In", L"In"), owner_(filter) {}

HRESULT CCostomInputPin::CheckMediaType(const CMediaType* mt) {
    const HRESULT hr = owner_->CheckInputType(mt);
    if (FAILED(hr)) return hr;
    CCostomOutputPin* output = owner_->OutputPin();
    if (output && output->IsConnected()) {
        return owner_->CheckTransform(mt, &output->CurrentMediaType());
    }
    return hr;
}

HRESULT CCostomInputPin::SetMediaType(const CMediaType* mt) {
    const HRESULT hr = CBaseInputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return owner_->SetMediaType(PINDIR_INPUT, mt);
}

HRESULT CCostomInputPin::CheckConnect(IPin* pin) {
    const HRESULT hr = owner_->CheckConnect(PINDIR_INPUT, pin);
    if (FAILED(hr)) return hr;
    return CBaseInputPin::CheckConnect(pin);
}

HRESULT CCostomInputPin::BreakConnect() {
    owner_->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CCostomInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = owner_->CompleteConnect(PINDIR_INPUT, receivePin);
    if (FAILED(hr)) return hr;
    return CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT CCostomInputPin::CheckStreaming() {
    CCostomOutputPin* output = owner_->OutputPin();
    if (!output || !output->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsFlushing()) return S_FALSE;
    if (owner_->IsStopped()) return VFW_E_WRONG_STATE;
    // The base check reports a recorded run-time error (its connection test passes here).
    const HRESULT hr = CBaseInputPin::CheckStreaming();
    return hr == VFW_E_RUNTIME_ERROR ? hr : S_OK;
}

HRESULT STDMETHODCALLTYPE CCostomInputPin::EndOfStream() {
    CAutoLock receive(owner_->receiveLock_);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return owner_->EndOfStream();
}

HRESULT STDMETHODCALLTYPE CCostomInputPin::BeginFlush() {
    CAutoLock lock(*lock_);
    HRESULT hr = CBaseInputPin::BeginFlush();
    if (FAILED(hr)) return hr;
    return owner_->BeginFlush();
}

HRESULT STDMETHODCALLTYPE CCostomInputPin::EndFlush() {
    CAutoLock lock(*lock_);
    HRESULT hr = CBaseInputPin::EndFlush();
    if (FAILED(hr)) return hr;
    return owner_->EndFlush();
}

HRESULT STDMETHODCALLTYPE CCostomInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                      double rate) {
    CBaseInputPin::NewSegment(start, stop, rate);
    return owner_->NewSegment(start, stop, rate);
}

HRESULT CCostomInputPin::DeliverOnce(IMediaSample* sample, int32_t firstField) {
    firstField_ = firstField;
    CAutoLock receive(owner_->receiveLock_);
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr == S_OK) hr = owner_->Receive(sample);
    return hr;
}

HRESULT STDMETHODCALLTYPE CCostomInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    // The arrival, for the residence log; no clock is read while it is off.
    LARGE_INTEGER arrival{};
    if (owner_->ResidenceLogging()) QueryPerformanceCounter(&arrival);
    std::lock_guard<std::mutex> settings(owner_->settingsLock_);
    owner_->SetArrival(arrival.QuadPart);
    const uint64_t count = CCustomFilter::IncrementSampleCount();
    const lumoka::FrameRatePlan plan =
        lumoka::PlanFrameRate(count, owner_->CopyMode(), owner_->FrameMode());
    return lumoka::RunFrameRatePlan(
        plan, [&](int32_t firstField) { return DeliverOnce(sample, firstField); });
}

HRESULT CCostomInputPin::PassNotify(const Quality& q) {
    if (qualitySink_) return qualitySink_->Notify(owner_, q);
    IPin* upstream = GetConnected();
    if (!upstream) return VFW_E_NOT_FOUND;
    ComPtr<IQualityControl> control;
    if (FAILED(upstream->QueryInterface(IID_PPV_ARGS(&control)))) return VFW_E_NOT_FOUND;
    return control->Notify(owner_, q);
}

CCostomOutputPin::CCostomOutputPin(CCustomFilter* filter, CCritSec* lock)
    : CBaseOutputPin(L"transform output pin", filter, lock, L"XForm Out", L"Out"), owner_(filter) {}

CCostomOutputPin::~CCostomOutputPin() {
    if (passThru_) passThru_->NonDelegatingRelease();
}

HRESULT STDMETHODCALLTYPE CCostomOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking || riid == IID_IMediaPosition) {
        CAutoLock lock(*lock_);
        if (!passThru_) {
            CCostomInputPin* input = owner_->InputPin();
            passThru_ = new (std::nothrow)
                CPosPassThru(L"transform seeking", GetOwner(), static_cast<IPin*>(input));
            if (!passThru_) {
                *ppv = nullptr;
                return E_OUTOFMEMORY;
            }
        }
        return passThru_->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CCostomOutputPin::CheckMediaType(const CMediaType* mt) {
    CCostomInputPin* input = owner_->InputPin();
    if (!input || !input->IsConnected()) return E_INVALIDARG;
    return owner_->CheckTransform(&input->CurrentMediaType(), mt);
}

HRESULT CCostomOutputPin::GetMediaType(int position, CMediaType* mt) {
    CCostomInputPin* input = owner_->InputPin();
    if (!input || !input->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return owner_->GetMediaType(position, mt);
}

HRESULT CCostomOutputPin::SetMediaType(const CMediaType* mt) {
    const HRESULT hr = CBaseOutputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    return owner_->SetMediaType(PINDIR_OUTPUT, mt);
}

HRESULT CCostomOutputPin::CheckConnect(IPin* pin) {
    CCostomInputPin* input = owner_->InputPin();
    if (!input || !input->IsConnected()) return E_UNEXPECTED;
    const HRESULT hr = owner_->CheckConnect(PINDIR_OUTPUT, pin);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CCostomOutputPin::BreakConnect() {
    owner_->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CCostomOutputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = owner_->CompleteConnect(PINDIR_OUTPUT, receivePin);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::CompleteConnect(receivePin);
}

HRESULT CCostomOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                           ALLOCATOR_PROPERTIES* request) {
    return owner_->DecideBufferSize(allocator, request);
}

HRESULT STDMETHODCALLTYPE CCostomOutputPin::Notify(IBaseFilter*, Quality q) {
    const HRESULT hr = owner_->AlterQuality(q);
    if (hr != S_FALSE) return hr;
    CCostomInputPin* input = owner_->InputPin();
    return input ? input->PassNotify(q) : VFW_E_NOT_FOUND;
}
