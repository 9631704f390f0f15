#include "devices/PassThroughPage.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "devices/PassThrough.h"

namespace lumoka {
namespace {

wchar_t* CoTaskString(const wchar_t* s) {
    const size_t bytes = (wcslen(s) + 1) * sizeof(wchar_t);
    auto* p = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (p) std::memcpy(p, s, bytes);
    return p;
}

}  // namespace

HRESULT CPassThroughPage::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* page = new (std::nothrow) CPassThroughPage();
    if (!page) return E_OUTOFMEMORY;
    *out = static_cast<IPropertyPage*>(page);
    return S_OK;
}

CPassThroughPage::~CPassThroughPage() {
    if (window_) DestroyWindow(window_);
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::SetPageSite(IPropertyPageSite* site) {
    site_ = site;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    std::wstring text = L"Lumoka Test Pass-Through";
    Microsoft::WRL::ComPtr<IBaseFilter> filter;
    if (object_ && SUCCEEDED(object_.As(&filter))) {
        // The page only knows its own filter class, so the summary comes straight from it.
        CLSID clsid{};
        if (SUCCEEDED(filter->GetClassID(&clsid)) && clsid == CLSID_LumokaPassThrough) {
            text = static_cast<CPassThroughFilter*>(filter.Get())->LaneSummary();
        }
    }
    window_ = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | SS_LEFT, rect->left, rect->top,
                              rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                              nullptr, nullptr);
    if (!window_) return HRESULT_FROM_WIN32(GetLastError());
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::Deactivate() {
    if (!window_) return E_UNEXPECTED;
    DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = CoTaskString(L"Lanes");
    info->size = {260, 90};
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::SetObjects(ULONG count, IUnknown** objects) {
    object_.Reset();
    if (count == 0) return S_OK;
    if (!objects) return E_POINTER;
    object_ = objects[0];
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::Show(UINT cmdShow) {
    if (!window_) return E_UNEXPECTED;
    ShowWindow(window_, static_cast<int>(cmdShow));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CPassThroughPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!window_) return E_UNEXPECTED;
    MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

}  // namespace lumoka
