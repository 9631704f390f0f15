// A renderer-like sink that records everything it receives: each sample's bytes, times, flags
// and AM_SAMPLE2_PROPERTIES, plus end-of-stream, flush and segment calls. The accepted types,
// the result Receive returns and the allocator requirements are configurable, and a caller can
// wait for a number of samples. Used by tests and by anything that needs to see a stream.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "dsbase/InputPin.h"

struct CRecordedSample {
    std::vector<uint8_t> data;  // the first lActual bytes
    long bufferSize = 0;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool startValid = false;
    bool stopValid = false;
    bool syncPoint = false;
    bool discontinuity = false;
    bool preroll = false;
    bool typeChanged = false;
    CMediaType newType;             // valid when typeChanged
    AM_SAMPLE2_PROPERTIES props{};  // pointers cleared: they die with the sample
};

class CRecordingSink;

// Thread: Receive and the stream calls on the upstream streaming thread; the accessors on any
// thread (the record has its own mutex). Owned by CRecordingSink.
class CRecordingSinkPin : public CBaseInputPin {
public:
    CRecordingSinkPin(CRecordingSink* filter, CCritSec* lock, const wchar_t* name);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** out) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;

private:
    CRecordingSink* sink_;
};

// Thread: configure before connecting; read the record from any thread. Owns its pin.
// It says it is a renderer (IAMFilterMiscFlags), so the graph waits for its end of stream
// before it reports EC_COMPLETE.
class CRecordingSink : public CBaseFilter, public IAMFilterMiscFlags {
public:
    explicit CRecordingSink(const wchar_t* pinName = L"In");
    ~CRecordingSink() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    CRecordingSinkPin* InputPin() { return pin_.get(); }

    // Accepted types: a type matching any pattern (GUID_NULL fields match anything) is taken.
    // No patterns: every type is accepted.
    void SetAcceptedTypes(std::vector<CMediaType> patterns);
    // Types the pin proposes during connection (none by default).
    void SetOfferedTypes(std::vector<CMediaType> types);
    // The result Receive returns after recording an accepted sample (S_OK by default).
    void SetReceiveResult(HRESULT hr);
    // Returned by GetAllocatorRequirements; E_NOTIMPL until set.
    void SetAllocatorRequirements(const ALLOCATOR_PROPERTIES& props);
    // An allocator of the caller's to offer from GetAllocator instead of the standard one.
    void SetAllocator(IMemAllocator* allocator);
    // Keep only the data of the first n samples (times and flags are always kept).
    void SetMaxDataSamples(size_t n);
    // Called on the streaming thread after each sample is recorded, before Receive returns
    // (for example to hold the upstream filter in the middle of a sample).
    void SetReceiveHook(std::function<void(size_t sampleIndex)> hook);

    std::vector<CRecordedSample> Samples() const;
    size_t SampleCount() const;
    // Waits until at least n samples arrived; false on timeout.
    bool WaitForSamples(size_t n, DWORD timeoutMs) const;
    int EndOfStreamCount() const;
    int BeginFlushCount() const;
    int EndFlushCount() const;
    int NewSegmentCount() const;
    void ClearRecord();

private:
    friend class CRecordingSinkPin;
    size_t Record(IMediaSample* sample, const AM_SAMPLE2_PROPERTIES& props);
    bool Accepts(const CMediaType& mt) const;

    CCritSec filterLock_;
    std::unique_ptr<CRecordingSinkPin> pin_;
    mutable std::mutex recordMutex_;
    mutable std::condition_variable arrived_;
    std::vector<CRecordedSample> samples_;
    std::vector<CMediaType> accepted_;
    std::vector<CMediaType> offered_;
    HRESULT receiveResult_ = S_OK;
    bool hasRequirements_ = false;
    ALLOCATOR_PROPERTIES requirements_{};
    Microsoft::WRL::ComPtr<IMemAllocator> ownAllocator_;
    size_t maxDataSamples_ = SIZE_MAX;
    std::function<void(size_t)> receiveHook_;
    int endOfStream_ = 0;
    int beginFlush_ = 0;
    int endFlush_ = 0;
    int newSegment_ = 0;
};
