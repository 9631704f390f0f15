// The transform filter's private control interface and identity. Graph control sets the five
// transform settings through it while the graph runs; each setter waits for the sample in
// progress, so a new value applies from the next input sample.
#pragma once

#include <windows.h>
#include <unknwn.h>

struct ILumokaFilterCtrl : public IUnknown {
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

__CRT_UUID_DECL(ILumokaFilterCtrl, 0x14f7a42c, 0xca71, 0x489f, 0x8b, 0x9e, 0x43, 0x22, 0xfb, 0x87,
                0xa5, 0x60)

// {14F7A42C-CA71-489F-8B9E-4322FB87A560}
inline constexpr IID IID_ILumokaFilterCtrl = {
    0x14f7a42c, 0xca71, 0x489f, {0x8b, 0x9e, 0x43, 0x22, 0xfb, 0x87, 0xa5, 0x60}};
// {7574EC5F-2B11-4E38-AC85-38F8C0D29D09}: answers IPersist::GetClassID; not registered.
inline constexpr CLSID CLSID_LumokaTransform = {
    0x7574ec5f, 0x2b11, 0x4e38, {0xac, 0x85, 0x38, 0xf8, 0xc0, 0xd2, 0x9d, 0x09}};
