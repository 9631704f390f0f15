// The pass-through filter's property page: a read-only text that lists its two lanes. It is a
// plain child window created by Activate, so the DLL needs no dialog resource.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "dsbase/Unknown.h"

namespace lumoka {

// Thread: the property frame's thread (the caller's UI thread) only.
class CPassThroughPage : public CComObject<IPropertyPage> {
public:
    static HRESULT Create(IUnknown* outer, IUnknown** out);
    ~CPassThroughPage() override;

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT cmdShow) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

private:
    Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
    Microsoft::WRL::ComPtr<IUnknown> object_;
    HWND window_ = nullptr;
};

}  // namespace lumoka
