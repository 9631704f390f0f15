// The base output pin: connects only to pins offering IMemInputPin, negotiates the allocator
// on connection (the input pin's own allocator first, else a new CLSID_MemoryAllocator; the
// derived pin sizes it in DecideBufferSize), commits it while the filter is active, and
// delivers samples, end of stream, flushes and segments to the connected input pin.
#pragma once

#include "dsbase/BasePin.h"

// Thread: Deliver* run on the streaming thread; connection and Active/Inactive on the
// application thread. Owns counted references to the connected IMemInputPin and the allocator.
class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                   const wchar_t* name, const wchar_t* id = nullptr);
    ~CBaseOutputPin() override;

    // An output pin receives no stream calls.
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Chooses and sizes the allocator, then tells the input pin.
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** out);
    // Asks the allocator for the buffers this pin needs; request holds the input pin's wishes.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    // A new CLSID_MemoryAllocator; derived pins may supply their own.
    virtual HRESULT InitAllocator(IMemAllocator** out);

    HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                              DWORD flags);
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    IMemInputPin* ConnectedInput() const { return input_.Get(); }
    IMemAllocator* PinAllocator() const { return allocator_.Get(); }

protected:
    Microsoft::WRL::ComPtr<IMemInputPin> input_;
    Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
};
