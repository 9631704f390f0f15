#include "devices/TestToneFilter.h"

#include <new>

#include "devices/AudioPin.h"

namespace lumoka {

CTestToneFilter::CTestToneFilter() : CTestDeviceFilter(L"Lumoka test tone", CLSID_LumokaTestTone) {
    AddPin(std::make_unique<CAudioPin>(this, L"Capture", 440.0));
}

HRESULT CTestToneFilter::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* f = new (std::nothrow) CTestToneFilter();
    if (!f) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(f);
    return S_OK;
}

}  // namespace lumoka
