#include "devices/PassThrough.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

using Microsoft::WRL::ComPtr;

namespace lumoka {

CPassInputPin::CPassInputPin(CPassThroughFilter* filter, CCritSec* lock, const wchar_t* name)
    : CBaseInputPin(L"Pass-through input", filter, lock, name) {}

HRESULT CPassInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt || (mt->majortype != MEDIATYPE_Video && mt->majortype != MEDIATYPE_Audio)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    // With the lane's output already connected, only a type its peer takes will do.
    if (output_ && output_->GetConnected()) {
        return output_->GetConnected()->QueryAccept(mt) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CPassInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr) && output_) output_->IncrementTypeVersion();
    return hr;
}

HRESULT STDMETHODCALLTYPE CPassInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return output_->DeliverCopy(sample);
}

HRESULT STDMETHODCALLTYPE CPassInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return output_->IsConnected() ? output_->DeliverEndOfStream() : S_OK;
}

HRESULT STDMETHODCALLTYPE CPassInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    return output_->IsConnected() ? output_->DeliverBeginFlush() : S_OK;
}

HRESULT STDMETHODCALLTYPE CPassInputPin::EndFlush() {
    CBaseInputPin::EndFlush();
    return output_->IsConnected() ? output_->DeliverEndFlush() : S_OK;
}

HRESULT STDMETHODCALLTYPE CPassInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                    double rate) {
    CBaseInputPin::NewSegment(start, stop, rate);
    return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
}

CPassOutputPin::CPassOutputPin(CPassThroughFilter* filter, CCritSec* lock, const wchar_t* name,
                               CPassInputPin* input)
    : CCopyOutputPin(L"Pass-through output", filter, lock, name), input_(input) {}

CBaseInputPin* CPassOutputPin::SourceInput() const { return input_; }

HRESULT CPassOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt || !input_->IsConnected()) return VFW_E_TYPE_NOT_ACCEPTED;
    return input_->CurrentMediaType() == *mt ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPassOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !input_->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(input_->CurrentMediaType());
}

CPassThroughFilter::CPassThroughFilter()
    : CBaseFilter(L"Lumoka pass-through", nullptr, &passLock_, CLSID_LumokaPassThrough) {
    const wchar_t* inNames[2] = {L"Input 1", L"Input 2"};
    const wchar_t* outNames[2] = {L"Output 1", L"Output 2"};
    for (int i = 0; i < 2; ++i) {
        inputs_[i] = std::make_unique<CPassInputPin>(this, &passLock_, inNames[i]);
        outputs_[i] =
            std::make_unique<CPassOutputPin>(this, &passLock_, outNames[i], inputs_[i].get());
        inputs_[i]->SetOutput(outputs_[i].get());
    }
}

CPassThroughFilter::~CPassThroughFilter() = default;

HRESULT CPassThroughFilter::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* f = new (std::nothrow) CPassThroughFilter();
    if (!f) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(f);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_ISpecifyPropertyPages) {
        return GetInterface(static_cast<ISpecifyPropertyPages*>(this), ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CPassThroughFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_LumokaPassThroughPage;
    return S_OK;
}

CBasePin* CPassThroughFilter::GetPin(int n) {
    if (n < 0 || n >= 4) return nullptr;
    return n < 2 ? static_cast<CBasePin*>(inputs_[n].get()) : outputs_[n - 2].get();
}

std::wstring CPassThroughFilter::LaneSummary() {
    CAutoLock lock(passLock_);
    std::wstring text = L"Lumoka Test Pass-Through";
    for (int i = 0; i < 2; ++i) {
        text += L"\r\nLane ";
        text += static_cast<wchar_t>(L'1' + i);
        text += L": ";
        if (!inputs_[i]->IsConnected()) {
            text += L"input not connected";
            continue;
        }
        const GUID& major = inputs_[i]->CurrentMediaType().majortype;
        text += major == MEDIATYPE_Video   ? L"Video"
                : major == MEDIATYPE_Audio ? L"Audio"
                                           : L"Other";
        text += outputs_[i]->IsConnected() ? L" -> connected" : L" -> output not connected";
    }
    return text;
}

}  // namespace lumoka
