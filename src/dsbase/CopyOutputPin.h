// An output pin that delivers copies of the samples its filter receives on one input pin, in
// buffers of its own allocator, with the input sample's times and flags: what pass-through and
// tee filters need. The buffers are at least as many and as large as the input's.
//
// Thread: DeliverCopy runs on the upstream streaming thread; the rest on the application thread.
// Owned by its filter, like every pin.
#pragma once

#include "dsbase/InputPin.h"
#include "dsbase/OutputPin.h"

class CCopyOutputPin : public CBaseOutputPin {
public:
    using CBaseOutputPin::CBaseOutputPin;

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    // Copies one input sample into a buffer of ours and delivers it; S_OK when not connected.
    HRESULT DeliverCopy(IMediaSample* in);

protected:
    // The input pin whose samples this pin copies.
    virtual CBaseInputPin* SourceInput() const = 0;
};
