// The transform filter's two pins. Each forwards its connection hooks to the filter with its
// direction (0 input, 1 output); the input pin runs the frame-rate rules in Receive, the
// output pin answers seeking through a pass-through bound to the input pin.
#pragma once

#include <atomic>

#include "dsbase/InputPin.h"
#include "dsbase/OutputPin.h"
#include "dsbase/PosPassThru.h"

class CCustomFilter;

// Thread: Receive, EndOfStream and NewSegment on the upstream streaming thread; connection and
// flushing on the application thread. Owned by CCustomFilter.
class CCostomInputPin : public CBaseInputPin {
public:
    CCostomInputPin(CCustomFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckStreaming() override;

    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;
    // Under the settings lock: counts the sample and delivers it zero, one or two times.
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;

    // Passes a quality message upstream: to the sink set with SetSink, else to the upstream
    // output pin.
    HRESULT PassNotify(const Quality& q);

    // 1 for the first or only output of an input sample, 0 for the second in Double mode.
    int32_t FirstField() const { return firstField_.load(); }

private:
    HRESULT DeliverOnce(IMediaSample* sample, int32_t firstField);

    CCustomFilter* owner_;
    std::atomic<int32_t> firstField_{1};
};

// Thread: application thread except quality notifications (renderer thread). Owns the seeking
// pass-through (aggregated with this pin as its outer object) once asked for.
class CCostomOutputPin : public CBaseOutputPin {
public:
    CCostomOutputPin(CCustomFilter* filter, CCritSec* lock);
    ~CCostomOutputPin() override;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* self, Quality q) override;

private:
    CCustomFilter* owner_;
    CPosPassThru* passThru_ = nullptr;  // one reference of ours, released in the destructor
};
