// A live push source: CLiveSourceFilter is a filter of push pins that behaves as every live
// capture filter must (VFW_S_CANT_CUE from Pause and from GetState while paused, so the graph
// does not wait for data that only comes while running). CLivePushPin runs its own streaming
// thread from Pause to Stop; while the filter runs it asks the derived FillBuffer for a frame
// every frame interval and stamps it with times from the graph's reference clock.
//
// A device filter derives a pin from CLivePushPin (FillBuffer writes one frame and sets the
// actual length; SetMediaTypes lists the formats; CheckMediaType and DecideBufferSize may be
// overridden), derives its filter from CLiveSourceFilter (and CPersistPropertyBag to learn its
// "DevicePath"), adds its pins with AddPin in the constructor, and is served through a
// CFactoryTemplate table (ClassFactory.h) and registered with Registration.h.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "dsbase/OutputPin.h"

class CLiveSourceFilter;

// Thread: the streaming thread runs FillBuffer and the deliveries; the application thread runs
// connection and state changes. The streaming thread never takes the filter lock (Stop holds
// it while it waits for the thread to end). Owned by its CLiveSourceFilter.
class CLivePushPin : public CBaseOutputPin, public IAMPushSource, public IKsPropertySet {
public:
    CLivePushPin(const wchar_t* objectName, CLiveSourceFilter* filter, CCritSec* lock,
                 const wchar_t* name, const GUID& category = PIN_CATEGORY_CAPTURE,
                 const wchar_t* id = nullptr);
    ~CLivePushPin() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMLatency / IAMPushSource: the latency is one frame interval; offsets are recorded.
    HRESULT STDMETHODCALLTYPE GetLatency(REFERENCE_TIME* latency) override;
    HRESULT STDMETHODCALLTYPE GetPushSourceFlags(ULONG* flags) override;
    HRESULT STDMETHODCALLTYPE SetPushSourceFlags(ULONG flags) override;
    HRESULT STDMETHODCALLTYPE SetStreamOffset(REFERENCE_TIME offset) override;
    HRESULT STDMETHODCALLTYPE GetStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE GetMaxStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE SetMaxStreamOffset(REFERENCE_TIME offset) override;
    // IKsPropertySet: answers the pin category (AMPROPERTY_PIN_CATEGORY), read-only.
    HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, void* instance, DWORD instanceSize,
                                  void* data, DWORD dataSize) override;
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, void* instance, DWORD instanceSize,
                                  void* data, DWORD dataSize, DWORD* returned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    // The types offered, in order of preference; CheckMediaType accepts a type equal to one of
    // them in major type, subtype, format type and (for video info) picture size and depth.
    void SetMediaTypes(std::vector<CMediaType> types);
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME start) override;

    // Frames delivered since the pin became active, and the last delivery result.
    long FramesDelivered() const { return delivered_.load(); }
    HRESULT LastDeliverResult() const { return lastResult_.load(); }
    // The interval between frames: the connected type's average time per frame, else 1/30 s.
    virtual REFERENCE_TIME FrameInterval() const;

protected:
    // Asks the allocator for at least four buffers of `bufferSize` bytes (or what the request
    // already asks, when more); S_OK when it gave one or more of at least `leastUsable` bytes.
    static HRESULT RequestBuffers(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& request,
                                  long bufferSize, long leastUsable);

    // Fills one sample on the streaming thread. Times, sync point and discontinuity are set
    // before the call and may be changed. S_OK delivers it; S_FALSE ends the stream (end of
    // stream is delivered); an error aborts the stream with EC_ERRORABORT.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;

private:
    void ThreadMain();
    bool WaitUntilRunningOrStopped();
    void StopThread();
    // Fills and delivers one frame; *streamEnded when FillBuffer ended the stream.
    HRESULT ProduceOne(REFERENCE_TIME frameIndex, bool* streamEnded);

    CLiveSourceFilter* source_;
    GUID category_;
    std::vector<CMediaType> types_;
    std::thread thread_;
    std::mutex threadMutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    std::atomic<long> delivered_{0};
    std::atomic<HRESULT> lastResult_{S_OK};
    REFERENCE_TIME lastStop_ = 0;  // streaming thread only
    REFERENCE_TIME streamOffset_ = 0;
    REFERENCE_TIME maxStreamOffset_ = 0;
};

// Thread: application thread for state changes; see CLivePushPin for streaming. The derived
// class creates its pins with AddPin (this filter owns them and its lock). The filter itself
// also answers IAMPushSource (for its first pin) and IAMFilterMiscFlags (a source), which is
// how callers tell a live source from a file source.
class CLiveSourceFilter : public CBaseFilter, public IAMPushSource, public IAMFilterMiscFlags {
public:
    CLiveSourceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);
    ~CLiveSourceFilter() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMPushSource / IAMLatency of the first pin (E_UNEXPECTED without pins).
    HRESULT STDMETHODCALLTYPE GetLatency(REFERENCE_TIME* latency) override;
    HRESULT STDMETHODCALLTYPE GetPushSourceFlags(ULONG* flags) override;
    HRESULT STDMETHODCALLTYPE SetPushSourceFlags(ULONG flags) override;
    HRESULT STDMETHODCALLTYPE SetStreamOffset(REFERENCE_TIME offset) override;
    HRESULT STDMETHODCALLTYPE GetStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE GetMaxStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE SetMaxStreamOffset(REFERENCE_TIME offset) override;
    // IAMFilterMiscFlags
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    CLivePushPin* PushPin(int n) const;

protected:
    void AddPin(std::unique_ptr<CLivePushPin> pin);
    CCritSec filterLock_;

private:
    std::vector<std::unique_ptr<CLivePushPin>> pins_;
};
