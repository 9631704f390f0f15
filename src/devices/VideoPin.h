// A video output pin of the test card (capture or preview category): IAMStreamConfig over the
// card's capability list, and the test picture rendered into every sample in the connected
// format at the configured frame interval.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include "devices/TestDeviceFilter.h"
#include "devices/signal/TestPicture.h"

namespace lumoka {

class CTestCardFilter;

// Thread: IAMStreamConfig on the application thread under the filter lock; FillBuffer on the
// pin's streaming thread (the picture generator and frame number are its own).
class CVideoPin : public CDevicePushPin, public IAMStreamConfig {
public:
    CVideoPin(CTestCardFilter* card, const wchar_t* name, const GUID& category);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMStreamConfig. SetFormat takes a capability's type with its size and frame interval
    // changed inside the capability's ranges; the image size and bit rate are recomputed. The
    // VIDEOINFOHEADER2 capability is listed but cannot be set (VFW_E_INVALIDMEDIATYPE).
    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** mt) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* count, int* size) override;
    HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Active() override;
    REFERENCE_TIME FrameInterval() const override;

protected:
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    std::vector<CMediaType> DefaultOffer() const;

    CTestCardFilter* card_;
    CMediaType format_;  // the format set (or the default), under the filter lock
    bool formatSet_ = false;
    REFERENCE_TIME interval_;  // of format_, read by the streaming thread
    CTestPicture picture_;
    uint64_t frame_ = 0;
};

}  // namespace lumoka
