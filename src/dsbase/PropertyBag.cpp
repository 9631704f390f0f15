#include "dsbase/PropertyBag.h"

#include <oleauto.h>

HRESULT ReadBagString(IPropertyBag* bag, const wchar_t* name, std::wstring* out) {
    if (!bag || !name || !out) return E_POINTER;
    out->clear();
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    const HRESULT hr = bag->Read(name, &v, nullptr);
    if (FAILED(hr)) return S_FALSE;
    if (v.vt == VT_BSTR && v.bstrVal) out->assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPersistPropertyBag::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPersistPropertyBag::Load(IPropertyBag* bag, IErrorLog*) {
    if (!bag) return E_POINTER;
    ReadBagString(bag, L"FriendlyName", &friendlyName_);
    ReadBagString(bag, L"Description", &description_);
    ReadBagString(bag, L"DevicePath", &devicePath_);
    return OnLoad(bag);
}
