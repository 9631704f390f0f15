// The test card's crossbar: the analogue input switch in front of its capture filter, as a
// real card's driver exposes it. Inputs 0-4: Video Tuner, Video Composite, Video S-Video,
// Audio Tuner, Audio Line; outputs 0-1: Video Decoder, Audio Decoder. Video inputs route only
// to the video output, audio inputs only to the audio output. Routing the video output changes
// the pattern the capture filter delivers (the filter behind the video decoder output is told
// through ILumokaVideoRouting).
//
// The capture filter creates its crossbar(s) and adds them to its graph; the graph owns them.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <atomic>
#include <memory>
#include <vector>

#include "devices/AnalogPin.h"
#include "devices/DeviceIds.h"
#include "dsbase/BaseFilter.h"

namespace lumoka {

// Thread: application thread (the graph's caller); routes are atomics so the routing query
// may come from any thread.
class CCrossbar : public CBaseFilter, public IAMCrossbar, public ILumokaVideoRouting {
public:
    CCrossbar();
    ~CCrossbar() override;
    static HRESULT Create(IUnknown* outer, IUnknown** out);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // IAMCrossbar
    HRESULT STDMETHODCALLTYPE get_PinCounts(long* outputs, long* inputs) override;
    HRESULT STDMETHODCALLTYPE CanRoute(long output, long input) override;
    HRESULT STDMETHODCALLTYPE Route(long output, long input) override;
    HRESULT STDMETHODCALLTYPE get_IsRoutedTo(long output, long* input) override;
    HRESULT STDMETHODCALLTYPE get_CrossbarPinInfo(BOOL isInput, long index, long* related,
                                                  long* physicalType) override;

    // ILumokaVideoRouting
    HRESULT STDMETHODCALLTYPE GetRoutedVideoConnector(long* physicalType) override;
    HRESULT STDMETHODCALLTYPE UpstreamRouteChanged() override;

    // The pins the capture filter connects: the video decoder output and the tuner input.
    IPin* VideoOutputPin();
    IPin* TunerInputPin();

    static constexpr long kInputs = 5;
    static constexpr long kOutputs = 2;

private:
    void NotifyDownstream();

    CCritSec crossbarLock_;
    std::vector<std::unique_ptr<CAnalogPin>> pins_;  // inputs 0-4, then outputs 0-1
    std::atomic<long> routed_[kOutputs];
};

}  // namespace lumoka
