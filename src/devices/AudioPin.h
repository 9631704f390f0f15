// The PCM capture pin of the test tone microphone and of the test card's audio: a sine tone
// in the configured format, IAMStreamConfig over the PCM capabilities and IAMBufferNegotiation
// for the buffer size. Each buffer is stamped with the time of its first sample, counted from
// the stream's first buffer, so consecutive buffers join without gaps.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include "devices/TestDeviceFilter.h"
#include "devices/signal/ToneGenerator.h"

namespace lumoka {

// Thread: configuration on the application thread under the filter lock; FillBuffer on the
// streaming thread (the tone generator and sample count are its own).
class CAudioPin : public CDevicePushPin, public IAMStreamConfig, public IAMBufferNegotiation {
public:
    CAudioPin(CTestDeviceFilter* device, const wchar_t* name, double toneHz);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMStreamConfig: any PCM format inside one of the capabilities.
    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** mt) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* count, int* size) override;
    HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;
    // IAMBufferNegotiation: a suggestion counts for the next connection; -1 or 0 fields keep the
    // pin's own choice (8 buffers of 20 ms).
    HRESULT STDMETHODCALLTYPE
    SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Active() override;
    REFERENCE_TIME FrameInterval() const override;

protected:
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    PcmFormat format_;  // under the filter lock; fixed while active
    CMediaType type_;
    ALLOCATOR_PROPERTIES suggested_{-1, -1, -1, -1};
    long bufferBytes_ = 0;  // bytes delivered per buffer, fixed while active
    CToneGenerator tone_;
    REFERENCE_TIME firstStart_ = 0;
    int64_t samplesOut_ = 0;
};

}  // namespace lumoka
