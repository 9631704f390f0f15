// The transform filter's control interface as the graph controller calls it: the binary layout
// (IUnknown, then five setter/getter pairs) and the interface identifier the filter answers.
// The controller only queries for it and calls the setters.
#pragma once

#include <unknwn.h>

// {14F7A42C-CA71-489F-8B9E-4322FB87A560}
constexpr GUID kIidLumokaFilterCtrl = {
    0x14f7a42c, 0xca71, 0x489f, {0x8b, 0x9e, 0x43, 0x22, 0xfb, 0x87, 0xa5, 0x60}};

struct ITransformControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetCopyMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCopyMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFrameMode(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFrameMode(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFieldOrder(int order) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFieldOrder(int* order) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetYCExpand(int mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetYCExpand(int* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFlipVertical(int on) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFlipVertical(int* on) = 0;
};
