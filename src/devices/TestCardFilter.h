// The virtual capture card: "Lumoka Test Card" and its variants. Pins in order: video capture
// ("Capture", category CAPTURE), video preview ("Preview", PREVIEW), audio ("Audio", CAPTURE,
// MEDIATYPE_Audio), then the analogue video input ("Analog Video In") that its crossbar feeds.
// The preview-only variant has just the preview pin and the analogue input.
//
// When the filter joins a graph it adds its crossbar (two in series for the two-crossbar
// variant) to the graph and connects the crossbar's video decoder output to its analogue input,
// so the capture builder finds the crossbar upstream as it finds a real card's. The graph then
// owns the crossbars. The filter manager calls JoinFilterGraph from inside AddFilter, with its
// lock held on the calling thread; Wine 8 lets the same thread add filters and connect pins
// there (Crossbar.IsFoundUpstreamAndDescribesItsPins and Crossbar.CardLeavesAndJoinsAnotherGraph
// in tests/devices show it), so nothing is deferred. The crossbars stay in the graph when the
// card leaves it (the graph removes them itself); the card then brings new ones to its next
// graph. No reference runs from the card to its crossbars, only the pin connection, so
// releasing the graph frees everything.
//
// The card also offers IAMVideoProcAmp (ten properties, see ProcAmpTable.h),
// IAMAnalogVideoDecoder (525- and 625-line standards) and the test switch ILumokaTestDevice.
// Mediums (IKsPin, KSPROPERTY_PIN_MEDIUMS) are not published: a builder inserts a card's
// crossbar by matching mediums only while the capture filter's analogue input is unconnected,
// and this filter connects its own crossbar as it joins the graph, on Windows as under Wine.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <atomic>
#include <memory>
#include <mutex>

#include "devices/AnalogPin.h"
#include "devices/FrameStampRing.h"
#include "devices/TestDeviceFilter.h"
#include "devices/signal/ProcAmpTable.h"
#include "devices/signal/TestPicture.h"

namespace lumoka {

enum class CardVariant { kMain, kPreviewOnly, kTwoCrossbars, kHotPlug };

// Thread: interfaces on the application thread; CurrentInput and CurrentAdjust are read by the
// streaming threads (atomics and the settings mutex).
class CTestCardFilter : public CTestDeviceFilter,
                        public IAMVideoProcAmp,
                        public IAMAnalogVideoDecoder,
                        public ILumokaVideoRouting {
public:
    explicit CTestCardFilter(CardVariant variant);
    ~CTestCardFilter() override;

    static HRESULT CreateMain(IUnknown* outer, IUnknown** out);
    static HRESULT CreatePreviewOnly(IUnknown* outer, IUnknown** out);
    static HRESULT CreateTwoCrossbars(IUnknown* outer, IUnknown** out);
    static HRESULT CreateHotPlug(IUnknown* outer, IUnknown** out);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    // IAMVideoProcAmp
    HRESULT STDMETHODCALLTYPE GetRange(LONG property, LONG* min, LONG* max, LONG* step,
                                       LONG* defaultValue, LONG* capsFlags) override;
    HRESULT STDMETHODCALLTYPE Set(LONG property, LONG value, LONG flags) override;
    HRESULT STDMETHODCALLTYPE Get(LONG property, LONG* value, LONG* flags) override;

    // IAMAnalogVideoDecoder
    HRESULT STDMETHODCALLTYPE get_AvailableTVFormats(LONG* standards) override;
    HRESULT STDMETHODCALLTYPE put_TVFormat(LONG standard) override;
    HRESULT STDMETHODCALLTYPE get_TVFormat(LONG* standard) override;
    HRESULT STDMETHODCALLTYPE get_HorizontalLocked(LONG* locked) override;
    HRESULT STDMETHODCALLTYPE put_VCRHorizontalLocking(LONG locking) override;
    HRESULT STDMETHODCALLTYPE get_VCRHorizontalLocking(LONG* locking) override;
    HRESULT STDMETHODCALLTYPE get_NumberOfLines(LONG* lines) override;
    HRESULT STDMETHODCALLTYPE put_OutputEnable(LONG enable) override;
    HRESULT STDMETHODCALLTYPE get_OutputEnable(LONG* enable) override;

    // ILumokaVideoRouting: the connector behind the crossbar(s), and the notice of a new route.
    HRESULT STDMETHODCALLTYPE GetRoutedVideoConnector(long* physicalType) override;
    HRESULT STDMETHODCALLTYPE UpstreamRouteChanged() override;

    VideoInput CurrentInput() const { return input_.load(); }
    // A video pin drew `counter` into a picture: publishes it with the time (FrameStampRing.h).
    void PublishFrameStamp(uint32_t counter);
    PictureAdjust CurrentAdjust();

private:
    void AddCrossbars(IFilterGraph* graph);

    CardVariant variant_;
    std::unique_ptr<CAnalogPin> analogIn_;
    std::mutex settingsMutex_;
    CProcAmpState procAmp_;
    std::atomic<VideoInput> input_{VideoInput::kTuner};
    std::atomic<long> standard_;
    std::atomic<long> vcrLocking_{0};
    std::atomic<long> outputEnable_{1};
    std::mutex stampMutex_;
    std::unique_ptr<CFrameStampRing> stamps_;  // opened at the first picture
};

}  // namespace lumoka
