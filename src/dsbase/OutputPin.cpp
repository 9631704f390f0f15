#include "dsbase/OutputPin.h"

#include <uuids.h>

using Microsoft::WRL::ComPtr;

CBaseOutputPin::CBaseOutputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                               const wchar_t* name, const wchar_t* id)
    : CBasePin(objectName, filter, lock, name, PINDIR_OUTPUT, id) {}

CBaseOutputPin::~CBaseOutputPin() = default;

HRESULT CBaseOutputPin::CheckConnect(IPin* pin) {
    const HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    input_.Reset();
    return pin->QueryInterface(IID_PPV_ARGS(&input_)) == S_OK ? S_OK : E_NOINTERFACE;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*) {
    if (!input_) return E_UNEXPECTED;
    allocator_.Reset();
    return DecideAllocator(input_.Get(), &allocator_);
}

HRESULT CBaseOutputPin::BreakConnect() {
    if (allocator_) {
        allocator_->Decommit();
        allocator_.Reset();
    }
    input_.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** out) {
    return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                            reinterpret_cast<void**>(out));
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** out) {
    *out = nullptr;
    ALLOCATOR_PROPERTIES request{};
    // The input pin's wishes are optional; E_NOTIMPL leaves the request zeroed.
    pin->GetAllocatorRequirements(&request);
    if (request.cbAlign == 0) request.cbAlign = 1;

    ComPtr<IMemAllocator> allocator;
    if (SUCCEEDED(pin->GetAllocator(&allocator))) {
        if (SUCCEEDED(DecideBufferSize(allocator.Get(), &request)) &&
            SUCCEEDED(pin->NotifyAllocator(allocator.Get(), FALSE))) {
            *out = allocator.Detach();
            return S_OK;
        }
    }
    allocator.Reset();
    HRESULT hr = InitAllocator(&allocator);
    if (FAILED(hr)) return hr;
    hr = DecideBufferSize(allocator.Get(), &request);
    if (FAILED(hr)) return hr;
    hr = pin->NotifyAllocator(allocator.Get(), FALSE);
    if (FAILED(hr)) return hr;
    *out = allocator.Detach();
    return S_OK;
}

HRESULT CBaseOutputPin::Active() {
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Commit();
}

HRESULT CBaseOutputPin::Inactive() {
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Decommit();
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                          REFERENCE_TIME* stop, DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample) {
    if (!input_) return VFW_E_NOT_CONNECTED;
    return input_->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    IPin* peer = connected_.Get();
    return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverBeginFlush() {
    IPin* peer = connected_.Get();
    return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverEndFlush() {
    IPin* peer = connected_.Get();
    return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    IPin* peer = connected_.Get();
    return peer ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}
