#include "devices/AnalogPin.h"

namespace lumoka {

CAnalogPin::CAnalogPin(CBaseFilter* filter, CCritSec* lock, const wchar_t* name,
                       PIN_DIRECTION direction, const GUID& majorType, const GUID& subtype,
                       long physicalType)
    : CBasePin(L"Analog pin", filter, lock, name, direction),
      major_(majorType),
      subtype_(subtype),
      physicalType_(physicalType) {}

HRESULT CAnalogPin::CheckMediaType(const CMediaType* mt) {
    return mt && mt->majortype == major_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAnalogPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    CMediaType t(major_, subtype_);
    t.formattype = FORMAT_None;
    return mt->Set(t);
}

Microsoft::WRL::ComPtr<IBaseFilter> PeerFilter(IPin* connected) {
    Microsoft::WRL::ComPtr<IBaseFilter> filter;
    if (!connected) return filter;
    PIN_INFO info{};
    if (SUCCEEDED(connected->QueryPinInfo(&info)) && info.pFilter) {
        // QueryPinInfo added the reference we take over. Not ComPtr::Attach: MinGW's adds
        // another reference (the DllCanUnloadNow check after every graph test catches it).
        *filter.ReleaseAndGetAddressOf() = info.pFilter;
    }
    return filter;
}

}  // namespace lumoka
