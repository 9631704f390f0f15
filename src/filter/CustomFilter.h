// The transform base: one input and one output pin, the three locks, the five transform
// settings and the control interface. Frames go input pin → Receive → Transform → output pin;
// the derived class supplies the type rules and the per-frame work.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "dsbase/BaseFilter.h"
#include "filter/FrameGrabSlot.h"
#include "filter/LumokaFilterCtrl.h"
#include "filter/LumokaFilterLatency.h"
#include "filter/LumokaFilterStats.h"
#include "filter/LumokaFrameGrab.h"
#include "filter/TransformPins.h"

// Locks, always taken in this order: settings lock, then receive lock (streaming path);
// filter lock, then receive lock (Stop, Pause). The setters take only the settings lock,
// which the input pin holds for the whole of each input sample, so a new setting waits for
// the sample in progress (both outputs of Double mode) and never applies in the middle of one.
// Thread: state changes and setters on the application thread; Receive and Transform on the
// upstream streaming thread. Owns its pins (created together on first request).
// The frame grab (FrameGrab.cpp) is asked on the application thread and filled on the
// streaming thread just before an output frame is delivered.
class CCustomFilter : public CBaseFilter,
                      public ILumokaFilterCtrl,
                      public ILumokaFilterStats,
                      public ILumokaFrameGrab,
                      public ILumokaFilterLatency {
public:
    CCustomFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);
    ~CCustomFilter() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** out) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    // ILumokaFilterCtrl: values are stored as passed; the pipeline defines out-of-range ones.
    HRESULT STDMETHODCALLTYPE SetCopyMode(int mode) override;
    HRESULT STDMETHODCALLTYPE GetCopyMode(int* mode) override;
    HRESULT STDMETHODCALLTYPE SetFrameMode(int mode) override;
    HRESULT STDMETHODCALLTYPE GetFrameMode(int* mode) override;
    HRESULT STDMETHODCALLTYPE SetFieldOrder(int order) override;
    HRESULT STDMETHODCALLTYPE GetFieldOrder(int* order) override;
    HRESULT STDMETHODCALLTYPE SetYCExpand(int mode) override;
    HRESULT STDMETHODCALLTYPE GetYCExpand(int* mode) override;
    HRESULT STDMETHODCALLTYPE SetFlipVertical(int on) override;
    HRESULT STDMETHODCALLTYPE GetFlipVertical(int* on) override;

    // ILumokaFilterStats: picture samples this filter delivered and downstream accepted.
    HRESULT STDMETHODCALLTYPE GetDeliveredFrames(LONGLONG* count) override;
    HRESULT STDMETHODCALLTYPE GetDroppedFrames(LONGLONG* count) override;

    // ILumokaFrameGrab.
    HRESULT STDMETHODCALLTYPE GrabNextFrame(DWORD timeoutMs, BYTE** image, DWORD* size) override;

    // ILumokaFilterLatency (ResidenceLog.cpp).
    HRESULT STDMETHODCALLTYPE StartResidenceLog(DWORD capacity) override;
    HRESULT STDMETHODCALLTYPE StopResidenceLog() override;
    HRESULT STDMETHODCALLTYPE GetResidenceLog(LONGLONG* ticks, DWORD max, DWORD* count) override;

    // The per-frame work and the type rules, supplied by the derived filter.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out) = 0;
    virtual HRESULT CheckInputType(const CMediaType* mt) = 0;
    virtual HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* mt) = 0;
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    // S_FALSE: the quality message goes upstream.
    virtual HRESULT AlterQuality(const Quality&) { return S_FALSE; }
    virtual HRESULT SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }
    virtual HRESULT CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT BreakConnect(PIN_DIRECTION) { return S_OK; }
    virtual HRESULT CompleteConnect(PIN_DIRECTION, IPin*) = 0;
    // One delivery of an input sample (under the receive lock, after the streaming check).
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Samples received by every instance in the process; the Half-mode rule counts on it.
    static uint64_t SampleCount();

protected:
    friend class CCostomInputPin;
    friend class CCostomOutputPin;

    CCostomInputPin* InputPin() { return input_.get(); }
    CCostomOutputPin* OutputPin() { return output_.get(); }
    // The settings as one consistent record (the caller holds the settings lock on the
    // streaming path).
    int32_t CopyMode() const { return copyMode_.load(); }
    int32_t FrameMode() const { return frameMode_.load(); }
    int32_t FieldOrder() const { return fieldOrder_.load(); }
    int32_t YCExpandMode() const { return ycExpand_.load(); }
    int32_t FlipVertical() const { return flipVertical_.load(); }
    // Used when proposing a type the renderer cannot deinterlace.
    void FallBackToCopy() { copyMode_ = 0; }
    static uint64_t IncrementSampleCount();
    // The residence log's stamps (streaming thread, settings lock held): whether to stamp at
    // all (read before the lock), the arrival of the input sample, and the entry just before
    // a delivery.
    bool ResidenceLogging() const { return residenceLogging_.load(std::memory_order_relaxed); }
    void SetArrival(int64_t ticks);
    void RecordResidence();

    BOOL eosDelivered_ = FALSE;
    std::atomic<BOOL> sampleSkipped_{FALSE};
    std::atomic<BOOL> qualityChanged_{FALSE};
    CCritSec filterLock_;
    CCritSec receiveLock_;
    std::unique_ptr<CCostomInputPin> input_;
    std::unique_ptr<CCostomOutputPin> output_;
    std::mutex settingsLock_;

private:
    HRESULT PrepareOutputSample(IMediaSample* in, IMediaSample** out);
    HRESULT SetSetting(std::atomic<int32_t>& field, int value);
    void OfferFrameToGrab(IMediaSample* out);
    bool CreatePins();

    std::atomic<int32_t> copyMode_{0};
    std::atomic<int32_t> frameMode_{0};
    std::atomic<int32_t> fieldOrder_{0};
    std::atomic<int32_t> ycExpand_{0};
    std::atomic<int32_t> flipVertical_{0};
    std::atomic<int64_t> deliveredFrames_{0};
    std::atomic<int64_t> droppedFrames_{0};
    lumoka::CFrameGrabSlot grab_;
    std::atomic<bool> residenceLogging_{false};
    int64_t arrivalTicks_ = 0;           // 0: the sample in progress is not stamped
    std::vector<int64_t> residence_;     // reserved by StartResidenceLog
    size_t residenceCount_ = 0;
};
