#include "devices/HostileCrossbar.h"

#include "devices/DeviceIds.h"

namespace lumoka {
namespace {

// Connector types as a careless driver reports them: real ones, 0, negative, unknown.
constexpr long kTypes[] = {PhysConn_Video_Composite, 0, -5, 99999, 14, PhysConn_Audio_Line,
                           PhysConn_Video_SVideo};

bool InfoFails(long index) { return index % 7 == 3; }

}  // namespace

CHostileCrossbar::CHostileCrossbar(bool countLies)
    : CBaseFilter(L"Lumoka hostile crossbar", nullptr, &lock_, CLSID_LumokaCrossbar),
      countLies_(countLies) {
    for (long i = 0; i < kInputs + kOutputs; ++i) {
        const bool input = i < kInputs;
        const std::wstring name = (input ? L"In " : L"Out ") + std::to_wstring(input ? i : i - kInputs);
        pins_.push_back(std::make_unique<CAnalogPin>(
            this, &lock_, name.c_str(), input ? PINDIR_INPUT : PINDIR_OUTPUT,
            MEDIATYPE_AnalogVideo, MEDIASUBTYPE_AnalogVideo_NTSC_M, kTypes[i % 7]));
    }
}

CHostileCrossbar::~CHostileCrossbar() = default;

HRESULT STDMETHODCALLTYPE CHostileCrossbar::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMCrossbar) return GetInterface(static_cast<IAMCrossbar*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int CHostileCrossbar::GetPinCount() { return static_cast<int>(pins_.size()); }

CBasePin* CHostileCrossbar::GetPin(int n) {
    return n >= 0 && n < static_cast<int>(pins_.size()) ? pins_[n].get() : nullptr;
}

IPin* CHostileCrossbar::VideoOutputPin() { return pins_[kInputs].get(); }

HRESULT STDMETHODCALLTYPE CHostileCrossbar::get_PinCounts(long* outputs, long* inputs) {
    if (!outputs || !inputs) return E_POINTER;
    *outputs = kOutputs;
    *inputs = countLies_ ? kClaimedInputs : kInputs;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHostileCrossbar::CanRoute(long output, long input) {
    return output >= 0 && output < kOutputs && input >= 0 && input < kInputs ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CHostileCrossbar::Route(long, long) { return E_FAIL; }

HRESULT STDMETHODCALLTYPE CHostileCrossbar::get_IsRoutedTo(long output, long* input) {
    if (!input) return E_POINTER;
    if (output < 0 || output >= kOutputs) return E_INVALIDARG;
    if (output % 2 == 1) return E_FAIL;
    *input = output % 4 == 2 ? 999 : output % kInputs;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CHostileCrossbar::get_CrossbarPinInfo(BOOL isInput, long index,
                                                                long* related, long* physicalType) {
    if (!related || !physicalType) return E_POINTER;
    if (index < 0 || index >= (isInput ? kInputs : kOutputs)) return E_INVALIDARG;
    if (InfoFails(index)) return E_FAIL;
    *related = index + 1000;
    *physicalType = kTypes[index % 7];
    return S_OK;
}

}  // namespace lumoka
