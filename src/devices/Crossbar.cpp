#include "devices/Crossbar.h"

#include <new>

namespace lumoka {
namespace {

struct PinSpec {
    const wchar_t* name;
    long type;
    long related;
};

// Related pins: each video input with the audio input that belongs to it, and the two outputs.
constexpr PinSpec kInputSpecs[CCrossbar::kInputs] = {
    {L"0: Video Tuner In", PhysConn_Video_Tuner, 3},
    {L"1: Video Composite In", PhysConn_Video_Composite, 4},
    {L"2: Video SVideo In", PhysConn_Video_SVideo, 4},
    {L"3: Audio Tuner In", PhysConn_Audio_Tuner, 0},
    {L"4: Audio Line In", PhysConn_Audio_Line, 1},
};
constexpr PinSpec kOutputSpecs[CCrossbar::kOutputs] = {
    {L"0: Video Decoder Out", PhysConn_Video_VideoDecoder, 1},
    {L"1: Audio Decoder Out", PhysConn_Audio_AudioDecoder, 0},
};

bool IsVideoType(long type) { return type < PhysConn_Audio_Tuner; }

}  // namespace

CCrossbar::CCrossbar()
    : CBaseFilter(L"Lumoka crossbar", nullptr, &crossbarLock_, CLSID_LumokaCrossbar) {
    for (const PinSpec& s : kInputSpecs) {
        const bool video = IsVideoType(s.type);
        pins_.push_back(std::make_unique<CAnalogPin>(
            this, &crossbarLock_, s.name, PINDIR_INPUT,
            video ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio,
            video ? MEDIASUBTYPE_AnalogVideo_NTSC_M : GUID_NULL, s.type));
    }
    for (const PinSpec& s : kOutputSpecs) {
        const bool video = IsVideoType(s.type);
        pins_.push_back(std::make_unique<CAnalogPin>(
            this, &crossbarLock_, s.name, PINDIR_OUTPUT,
            video ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio,
            video ? MEDIASUBTYPE_AnalogVideo_NTSC_M : GUID_NULL, s.type));
    }
    routed_[0] = 0;  // video tuner
    routed_[1] = 3;  // audio tuner
}

CCrossbar::~CCrossbar() = default;

HRESULT CCrossbar::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* x = new (std::nothrow) CCrossbar();
    if (!x) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(x);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMCrossbar) return GetInterface(static_cast<IAMCrossbar*>(this), ppv);
    if (riid == __uuidof(ILumokaVideoRouting)) {
        return GetInterface(static_cast<ILumokaVideoRouting*>(this), ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int CCrossbar::GetPinCount() { return static_cast<int>(pins_.size()); }

CBasePin* CCrossbar::GetPin(int n) {
    return n >= 0 && n < static_cast<int>(pins_.size()) ? pins_[n].get() : nullptr;
}

IPin* CCrossbar::VideoOutputPin() { return pins_[kInputs].get(); }
IPin* CCrossbar::TunerInputPin() { return pins_[0].get(); }

HRESULT STDMETHODCALLTYPE CCrossbar::get_PinCounts(long* outputs, long* inputs) {
    if (!outputs || !inputs) return E_POINTER;
    *outputs = kOutputs;
    *inputs = kInputs;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::CanRoute(long output, long input) {
    if (output < 0 || output >= kOutputs || input < 0 || input >= kInputs) return E_INVALIDARG;
    const bool videoOut = output == 0;
    return IsVideoType(kInputSpecs[input].type) == videoOut ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CCrossbar::Route(long output, long input) {
    const HRESULT can = CanRoute(output, input);
    if (FAILED(can)) return can;
    if (can != S_OK) return E_FAIL;
    const long before = routed_[output].exchange(input);
    if (output == 0 && before != input) NotifyDownstream();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::get_IsRoutedTo(long output, long* input) {
    if (!input) return E_POINTER;
    if (output < 0 || output >= kOutputs) return E_INVALIDARG;
    *input = routed_[output];
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::get_CrossbarPinInfo(BOOL isInput, long index, long* related,
                                                         long* physicalType) {
    if (!related || !physicalType) return E_POINTER;
    const long count = isInput ? kInputs : kOutputs;
    if (index < 0 || index >= count) return E_INVALIDARG;
    const PinSpec& s = isInput ? kInputSpecs[index] : kOutputSpecs[index];
    *related = s.related;
    *physicalType = s.type;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::GetRoutedVideoConnector(long* physicalType) {
    if (!physicalType) return E_POINTER;
    const long input = routed_[0];
    // An input fed by another crossbar carries whatever that one routes.
    Microsoft::WRL::ComPtr<IBaseFilter> upstream = PeerFilter(pins_[input]->GetConnected());
    Microsoft::WRL::ComPtr<ILumokaVideoRouting> routing;
    if (upstream && SUCCEEDED(upstream.As(&routing))) {
        return routing->GetRoutedVideoConnector(physicalType);
    }
    *physicalType = kInputSpecs[input].type;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CCrossbar::UpstreamRouteChanged() {
    NotifyDownstream();
    return S_OK;
}

void CCrossbar::NotifyDownstream() {
    Microsoft::WRL::ComPtr<IBaseFilter> downstream = PeerFilter(pins_[kInputs]->GetConnected());
    Microsoft::WRL::ComPtr<ILumokaVideoRouting> routing;
    if (downstream && SUCCEEDED(downstream.As(&routing))) routing->UpstreamRouteChanged();
}

}  // namespace lumoka
