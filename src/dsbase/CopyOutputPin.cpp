#include "dsbase/CopyOutputPin.h"

#include <algorithm>
#include <cstring>

using Microsoft::WRL::ComPtr;

HRESULT CCopyOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                         ALLOCATOR_PROPERTIES* request) {
    long size = static_cast<long>(mt_.lSampleSize);
    if (const VIDEOINFOHEADER* vih = mt_.VideoInfo()) {
        size = std::max<long>(size, static_cast<long>(vih->bmiHeader.biSizeImage));
    }
    ALLOCATOR_PROPERTIES upstream{};
    if (CBaseInputPin* input = SourceInput()) {
        if (ComPtr<IMemAllocator> a = input->Allocator();
            a && SUCCEEDED(a->GetProperties(&upstream))) {
            size = std::max(size, upstream.cbBuffer);
        }
    }
    ALLOCATOR_PROPERTIES want = *request;
    want.cBuffers = std::max<long>(want.cBuffers, std::max<long>(upstream.cBuffers, 2));
    want.cbBuffer = std::max<long>(want.cbBuffer, std::max<long>(size, 1));
    if (want.cbAlign <= 0) want.cbAlign = 1;
    ALLOCATOR_PROPERTIES got{};
    const HRESULT hr = allocator->SetProperties(&want, &got);
    if (FAILED(hr)) return hr;
    return got.cBuffers >= 1 && got.cbBuffer >= want.cbBuffer ? S_OK : E_FAIL;
}

HRESULT CCopyOutputPin::DeliverCopy(IMediaSample* in) {
    if (!IsConnected() || !PinAllocator()) return S_OK;
    ComPtr<IMediaSample> out;
    HRESULT hr = GetDeliveryBuffer(&out, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    if (FAILED(in->GetPointer(&src)) || FAILED(out->GetPointer(&dst))) return E_UNEXPECTED;
    const long length = std::min(in->GetActualDataLength(), out->GetSize());
    if (length > 0) std::memcpy(dst, src, static_cast<size_t>(length));
    out->SetActualDataLength(std::max(length, 0L));
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timeHr = in->GetTime(&start, &stop);
    if (timeHr == S_OK) {
        out->SetTime(&start, &stop);
    } else if (timeHr == VFW_S_NO_STOP_TIME) {
        out->SetTime(&start, nullptr);
    }
    LONGLONG mstart = 0, mstop = 0;
    if (in->GetMediaTime(&mstart, &mstop) == S_OK) out->SetMediaTime(&mstart, &mstop);
    out->SetSyncPoint(in->IsSyncPoint() == S_OK);
    out->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    out->SetPreroll(in->IsPreroll() == S_OK);
    return Deliver(out.Get());
}
