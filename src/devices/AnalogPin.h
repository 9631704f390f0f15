// A pin that stands for an analogue connection (a crossbar's connectors, the capture filter's
// analogue video input). It carries no samples: the connection only shows the graph, and the
// program's capture builder, how the card's filters hang together.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include "dsbase/BasePin.h"

namespace lumoka {

// Thread: application thread only (connection); owned by its filter.
class CAnalogPin : public CBasePin {
public:
    CAnalogPin(CBaseFilter* filter, CCritSec* lock, const wchar_t* name, PIN_DIRECTION direction,
               const GUID& majorType, const GUID& subtype, long physicalType);

    HRESULT STDMETHODCALLTYPE EndOfStream() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return S_OK; }

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;

    long PhysicalType() const { return physicalType_; }
    bool IsVideo() const { return major_ == MEDIATYPE_AnalogVideo; }

private:
    GUID major_;
    GUID subtype_;
    long physicalType_;
};

// The filter a connected pin belongs to (counted), or null.
Microsoft::WRL::ComPtr<IBaseFilter> PeerFilter(IPin* connected);

}  // namespace lumoka
