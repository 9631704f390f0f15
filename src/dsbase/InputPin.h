// The base input pin: the base pin plus IMemInputPin. Receive checks the streaming state and
// records the sample's properties (AM_SAMPLE2_PROPERTIES) for the derived pin; flushing sets
// the flag that makes Receive refuse samples with S_FALSE.
#pragma once

#include "dsbase/BasePin.h"

// Thread: Receive, ReceiveMultiple and EndOfStream run on the upstream streaming thread; the
// rest on the application thread. The recorded properties are valid during one Receive only.
// Owns a counted reference to the allocator chosen by the upstream pin.
class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                  const wchar_t* name, const wchar_t* id = nullptr);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** out) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    // Checks the streaming state and records the sample's properties; S_OK means the derived
    // pin may process the sample.
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count,
                                              long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // IPin streaming: the base only tracks the flushing flag; derived pins forward downstream.
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

    // Refuses in this order: VFW_E_NOT_CONNECTED, S_FALSE while flushing, VFW_E_WRONG_STATE
    // when stopped, VFW_E_RUNTIME_ERROR after a run-time error.
    virtual HRESULT CheckStreaming();
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;

    bool IsFlushing() const { return flushing_; }
    bool IsReadOnly() const { return readOnly_; }
    void SetRuntimeError() { runtimeError_ = true; }
    const AM_SAMPLE2_PROPERTIES& SampleProps() const { return sampleProps_; }
    Microsoft::WRL::ComPtr<IMemAllocator> Allocator();

protected:
    // Fills sampleProps_ from IMediaSample2 when offered, else from IMediaSample's methods.
    HRESULT RecordProperties(IMediaSample* sample);

    AM_SAMPLE2_PROPERTIES sampleProps_{};

private:
    Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
    std::atomic<bool> flushing_{false};
    std::atomic<bool> runtimeError_{false};
    bool readOnly_ = false;
};
