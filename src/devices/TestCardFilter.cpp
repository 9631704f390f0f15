#include "devices/TestCardFilter.h"

#include <new>

#include "devices/AudioPin.h"
#include "devices/Crossbar.h"
#include "devices/VideoPin.h"
#include "devices/signal/DeviceCaps.h"

using Microsoft::WRL::ComPtr;

namespace lumoka {
namespace {

HRESULT ToHResult(ProcAmpResult r) {
    switch (r) {
        case ProcAmpResult::kOk:
            return S_OK;
        case ProcAmpResult::kUnsupported:
            return E_PROP_ID_UNSUPPORTED;
        case ProcAmpResult::kInvalidArg:
            return E_INVALIDARG;
    }
    return E_FAIL;
}

constexpr long kAvailableStandards = standard::kLines525 | standard::kLines625;

const GUID& ClassOf(CardVariant v) {
    switch (v) {
        case CardVariant::kPreviewOnly:
            return CLSID_LumokaTestCardPreview;
        case CardVariant::kTwoCrossbars:
            return CLSID_LumokaTestCardTwoCrossbars;
        case CardVariant::kHotPlug:
            return CLSID_LumokaTestCardHotPlug;
        case CardVariant::kMain:
            break;
    }
    return CLSID_LumokaTestCard;
}

HRESULT CreateVariant(CardVariant v, IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* card = new (std::nothrow) CTestCardFilter(v);
    if (!card) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(card);
    return S_OK;
}

}  // namespace

CTestCardFilter::CTestCardFilter(CardVariant variant)
    : CTestDeviceFilter(L"Lumoka test card", ClassOf(variant)),
      variant_(variant),
      standard_(standard::kNTSC_M) {
    if (variant != CardVariant::kPreviewOnly) {
        AddPin(std::make_unique<CVideoPin>(this, L"Capture", PIN_CATEGORY_CAPTURE));
    }
    AddPin(std::make_unique<CVideoPin>(this, L"Preview", PIN_CATEGORY_PREVIEW));
    if (variant != CardVariant::kPreviewOnly) {
        AddPin(std::make_unique<CAudioPin>(this, L"Audio", 1000.0));
    }
    analogIn_ = std::make_unique<CAnalogPin>(this, FilterLock(), L"Analog Video In", PINDIR_INPUT,
                                             MEDIATYPE_AnalogVideo, MEDIASUBTYPE_AnalogVideo_NTSC_M,
                                             PhysConn_Video_VideoDecoder);
}

CTestCardFilter::~CTestCardFilter() = default;

HRESULT CTestCardFilter::CreateMain(IUnknown* outer, IUnknown** out) {
    return CreateVariant(CardVariant::kMain, outer, out);
}
HRESULT CTestCardFilter::CreatePreviewOnly(IUnknown* outer, IUnknown** out) {
    return CreateVariant(CardVariant::kPreviewOnly, outer, out);
}
HRESULT CTestCardFilter::CreateTwoCrossbars(IUnknown* outer, IUnknown** out) {
    return CreateVariant(CardVariant::kTwoCrossbars, outer, out);
}
HRESULT CTestCardFilter::CreateHotPlug(IUnknown* outer, IUnknown** out) {
    return CreateVariant(CardVariant::kHotPlug, outer, out);
}

void CTestCardFilter::PublishFrameStamp(uint32_t counter) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::lock_guard<std::mutex> guard(stampMutex_);
    if (!stamps_) stamps_ = std::make_unique<CFrameStampRing>(DeviceName());
    stamps_->Publish(counter & 0xFFFF, now.QuadPart);
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMVideoProcAmp) return GetInterface(static_cast<IAMVideoProcAmp*>(this), ppv);
    if (riid == IID_IAMAnalogVideoDecoder) {
        return GetInterface(static_cast<IAMAnalogVideoDecoder*>(this), ppv);
    }
    if (riid == __uuidof(ILumokaVideoRouting)) {
        return GetInterface(static_cast<ILumokaVideoRouting*>(this), ppv);
    }
    return CTestDeviceFilter::NonDelegatingQueryInterface(riid, ppv);
}

int CTestCardFilter::GetPinCount() { return CTestDeviceFilter::GetPinCount() + 1; }

CBasePin* CTestCardFilter::GetPin(int n) {
    const int pushPins = CTestDeviceFilter::GetPinCount();
    if (n == pushPins) return analogIn_.get();
    return CTestDeviceFilter::GetPin(n);
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    const HRESULT hr = CTestDeviceFilter::JoinFilterGraph(graph, name);
    if (FAILED(hr)) return hr;
    if (graph && !analogIn_->IsConnected()) AddCrossbars(graph);
    return S_OK;
}

void CTestCardFilter::AddCrossbars(IFilterGraph* graph) {
    // A card without its crossbar still captures (the tuner pattern), so failures here only
    // leave the crossbar out.
    ComPtr<IUnknown> unk;
    if (FAILED(CCrossbar::Create(nullptr, &unk))) return;
    ComPtr<IBaseFilter> nearFilter;
    unk.As(&nearFilter);
    auto* nearBar = static_cast<CCrossbar*>(nearFilter.Get());
    if (FAILED(graph->AddFilter(nearFilter.Get(), L"Lumoka Test Card Crossbar"))) return;
    CMediaType analog(MEDIATYPE_AnalogVideo, MEDIASUBTYPE_AnalogVideo_NTSC_M);
    analog.formattype = FORMAT_None;
    if (FAILED(nearBar->VideoOutputPin()->Connect(analogIn_.get(), &analog))) return;

    if (variant_ == CardVariant::kTwoCrossbars) {
        unk.Reset();
        if (FAILED(CCrossbar::Create(nullptr, &unk))) return;
        ComPtr<IBaseFilter> farFilter;
        unk.As(&farFilter);
        auto* farBar = static_cast<CCrossbar*>(farFilter.Get());
        if (SUCCEEDED(graph->AddFilter(farFilter.Get(), L"Lumoka Test Card Crossbar 2"))) {
            farBar->VideoOutputPin()->Connect(nearBar->TunerInputPin(), &analog);
        }
    }
    UpstreamRouteChanged();
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::GetRoutedVideoConnector(long* physicalType) {
    if (!physicalType) return E_POINTER;
    ComPtr<IBaseFilter> upstream = PeerFilter(analogIn_->GetConnected());
    ComPtr<ILumokaVideoRouting> routing;
    if (upstream && SUCCEEDED(upstream.As(&routing))) {
        return routing->GetRoutedVideoConnector(physicalType);
    }
    *physicalType = PhysConn_Video_Tuner;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::UpstreamRouteChanged() {
    long type = PhysConn_Video_Tuner;
    GetRoutedVideoConnector(&type);
    input_ = type == PhysConn_Video_Composite ? VideoInput::kComposite
             : type == PhysConn_Video_SVideo  ? VideoInput::kSVideo
                                              : VideoInput::kTuner;
    return S_OK;
}

PictureAdjust CTestCardFilter::CurrentAdjust() {
    std::lock_guard<std::mutex> guard(settingsMutex_);
    return procAmp_.Adjust();
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::GetRange(LONG property, LONG* min, LONG* max, LONG* step,
                                                    LONG* defaultValue, LONG* capsFlags) {
    if (!min || !max || !step || !defaultValue || !capsFlags) return E_POINTER;
    const ProcAmpRange r = CProcAmpState::Range(property);
    if (!r.supported) return E_PROP_ID_UNSUPPORTED;
    *min = r.min;
    *max = r.max;
    *step = r.step;
    *defaultValue = r.defaultValue;
    *capsFlags = r.capsFlags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::Set(LONG property, LONG value, LONG flags) {
    std::lock_guard<std::mutex> guard(settingsMutex_);
    return ToHResult(procAmp_.Set(property, value, flags));
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::Get(LONG property, LONG* value, LONG* flags) {
    if (!value || !flags) return E_POINTER;
    std::lock_guard<std::mutex> guard(settingsMutex_);
    long v = 0, f = 0;
    const HRESULT hr = ToHResult(procAmp_.Get(property, &v, &f));
    if (SUCCEEDED(hr)) {
        *value = v;
        *flags = f;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_AvailableTVFormats(LONG* standards) {
    if (!standards) return E_POINTER;
    *standards = kAvailableStandards;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::put_TVFormat(LONG value) {
    // Exactly one available standard.
    const unsigned long bits = static_cast<unsigned long>(value);
    if (bits == 0 || (bits & (bits - 1)) != 0 || (bits & kAvailableStandards) != bits) {
        return E_INVALIDARG;
    }
    standard_ = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_TVFormat(LONG* value) {
    if (!value) return E_POINTER;
    *value = standard_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_HorizontalLocked(LONG* locked) {
    if (!locked) return E_POINTER;
    *locked = SignalLost() ? 0 : 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::put_VCRHorizontalLocking(LONG locking) {
    vcrLocking_ = locking ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_VCRHorizontalLocking(LONG* locking) {
    if (!locking) return E_POINTER;
    *locking = vcrLocking_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_NumberOfLines(LONG* lines) {
    if (!lines) return E_POINTER;
    *lines = (standard_ & standard::kLines525) ? 525 : 625;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::put_OutputEnable(LONG enable) {
    outputEnable_ = enable ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestCardFilter::get_OutputEnable(LONG* enable) {
    if (!enable) return E_POINTER;
    *enable = outputEnable_;
    return S_OK;
}

}  // namespace lumoka
