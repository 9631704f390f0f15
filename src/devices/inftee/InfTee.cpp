#include "devices/inftee/InfTee.h"

#include <algorithm>
#include <cstring>
#include <new>

using Microsoft::WRL::ComPtr;

namespace lumoka {
namespace {
// The platform's class identifier of the Infinite Pin Tee.
constexpr GUID kClsidInfTee = {
    0xF8388A40, 0xD5BB, 0x11D0, {0xBE, 0x5A, 0x00, 0x80, 0xC7, 0x06, 0x56, 0x8E}};
}  // namespace

CTeeInputPin::CTeeInputPin(CInfTee* tee, CCritSec* lock)
    : CBaseInputPin(L"Tee input", tee, lock, L"Input"), tee_(tee) {}

HRESULT CTeeInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt || mt->majortype == GUID_NULL) return VFW_E_TYPE_NOT_ACCEPTED;
    // Outputs that stay connected must take the new type too.
    return tee_->ForEachConnectedOutput([mt](CTeeOutputPin* out) {
        return out->GetConnected()->QueryAccept(mt) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    });
}

HRESULT CTeeInputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr)) {
        for (int i = 1; i < tee_->GetPinCount(); ++i) tee_->GetPin(i)->IncrementTypeVersion();
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CTeeInputPin::Receive(IMediaSample* sample) {
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    // One downstream refusing a sample does not starve the others.
    bool anyConnected = false, anyDelivered = false;
    HRESULT last = S_OK;
    tee_->ForEachConnectedOutput([&](CTeeOutputPin* out) {
        anyConnected = true;
        const HRESULT r = out->DeliverCopy(sample);
        if (r == S_OK)
            anyDelivered = true;
        else
            last = r;
        return S_OK;
    });
    return !anyConnected || anyDelivered ? S_OK : last;
}

HRESULT STDMETHODCALLTYPE CTeeInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    tee_->ForEachConnectedOutput([](CTeeOutputPin* out) {
        out->DeliverEndOfStream();
        return S_OK;
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTeeInputPin::BeginFlush() {
    CBaseInputPin::BeginFlush();
    tee_->ForEachConnectedOutput([](CTeeOutputPin* out) {
        out->DeliverBeginFlush();
        return S_OK;
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTeeInputPin::EndFlush() {
    CBaseInputPin::EndFlush();
    tee_->ForEachConnectedOutput([](CTeeOutputPin* out) {
        out->DeliverEndFlush();
        return S_OK;
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTeeInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                   double rate) {
    CBaseInputPin::NewSegment(start, stop, rate);
    tee_->ForEachConnectedOutput([&](CTeeOutputPin* out) {
        out->DeliverNewSegment(start, stop, rate);
        return S_OK;
    });
    return S_OK;
}

CTeeOutputPin::CTeeOutputPin(CInfTee* tee, CCritSec* lock, const std::wstring& name)
    : CCopyOutputPin(L"Tee output", tee, lock, name.c_str()), tee_(tee) {}

CBaseInputPin* CTeeOutputPin::SourceInput() const { return tee_->Input(); }

HRESULT CTeeOutputPin::CheckMediaType(const CMediaType* mt) {
    CTeeInputPin* in = tee_->Input();
    if (!mt || !in->IsConnected()) return VFW_E_TYPE_NOT_ACCEPTED;
    return in->CurrentMediaType() == *mt ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTeeOutputPin::GetMediaType(int position, CMediaType* mt) {
    CTeeInputPin* in = tee_->Input();
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !in->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(in->CurrentMediaType());
}

HRESULT CTeeOutputPin::CompleteConnect(IPin* receivePin) {
    const HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr)) tee_->OutputConnected();
    return hr;
}

CInfTee::CInfTee() : CBaseFilter(L"Infinite Pin Tee stand-in", nullptr, &teeLock_, kClsidInfTee) {
    input_ = std::make_unique<CTeeInputPin>(this, &teeLock_);
    outputs_.push_back(std::make_unique<CTeeOutputPin>(this, &teeLock_, L"Output1"));
}

CInfTee::~CInfTee() = default;

HRESULT CInfTee::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* tee = new (std::nothrow) CInfTee();
    if (!tee) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(tee);
    return S_OK;
}

int CInfTee::GetPinCount() {
    CAutoLock lock(teeLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* CInfTee::GetPin(int n) {
    CAutoLock lock(teeLock_);
    if (n == 0) return input_.get();
    if (n < 1 || n > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[n - 1].get();
}

void CInfTee::OutputConnected() {
    CAutoLock lock(teeLock_);
    const bool spare = std::any_of(outputs_.begin(), outputs_.end(),
                                   [](const auto& o) { return !o->IsConnected(); });
    if (spare) return;
    const std::wstring name = L"Output" + std::to_wstring(outputs_.size() + 1);
    outputs_.push_back(std::make_unique<CTeeOutputPin>(this, &teeLock_, name));
    IncrementPinVersion();
}

}  // namespace lumoka
