// The transform filter's frame grab: the picture for a still image when the video renderer
// cannot give its own (Wine's mixing renderers, a renderer drawing on overlay surfaces). The
// caller asks for the next frame the filter produces; the streaming thread copies that one
// output frame before delivering it. Nothing is copied while no request is waiting.
#pragma once

#include <windows.h>
#include <unknwn.h>

struct ILumokaFrameGrab : public IUnknown {
    // Waits at most timeoutMs for the next output frame. S_OK: *image is a block from
    // CoTaskMemAlloc (the caller frees it) of *size bytes, a 40-byte BITMAPINFOHEADER followed
    // by 32-bit RGB pixels, bottom-up, without colour table. VFW_E_TIMEOUT when no frame came
    // in time (the request is withdrawn before the call returns), VFW_E_INVALIDMEDIATYPE when
    // the output format cannot be turned into such a picture, VFW_E_WRONG_STATE when another
    // request is already waiting.
    virtual HRESULT STDMETHODCALLTYPE GrabNextFrame(DWORD timeoutMs, BYTE** image, DWORD* size) = 0;
};

__CRT_UUID_DECL(ILumokaFrameGrab, 0x3b0e9d52, 0x6c1a, 0x4f7e, 0x9a, 0x43, 0x5e, 0x21, 0xd8, 0x7c,
                0x0b, 0x96)

// {3B0E9D52-6C1A-4F7E-9A43-5E21D87C0B96}
inline constexpr IID IID_ILumokaFrameGrab = {
    0x3b0e9d52, 0x6c1a, 0x4f7e, {0x9a, 0x43, 0x5e, 0x21, 0xd8, 0x7c, 0x0b, 0x96}};
