// The transform filter's statistics interface: how many output samples the downstream pin has
// accepted since the filter was created, and how many input samples it dropped. The window reads it twice a title refresh apart to
// show a frame rate where the renderer keeps no statistics of its own. A separate interface
// with its own identifier, so the control interface stays as it is.
#pragma once

#include <windows.h>
#include <unknwn.h>

struct ILumokaFilterStats : public IUnknown {
    // Any thread; the count is read atomically and never goes back.
    virtual HRESULT STDMETHODCALLTYPE GetDeliveredFrames(LONGLONG* count) = 0;
    // Input samples dropped because they held no whole picture (shorter than the connected
    // type's picture); any thread, never goes back.
    virtual HRESULT STDMETHODCALLTYPE GetDroppedFrames(LONGLONG* count) = 0;
};

__CRT_UUID_DECL(ILumokaFilterStats, 0x01430a52, 0x0ce8, 0x48e4, 0x88, 0xfa, 0x3f, 0x1e, 0x0c, 0xb8,
                0xad, 0x67)

// {01430A52-0CE8-48E4-88FA-3F1E0CB8AD67}
inline constexpr IID IID_ILumokaFilterStats = {
    0x01430a52, 0x0ce8, 0x48e4, {0x88, 0xfa, 0x3f, 0x1e, 0x0c, 0xb8, 0xad, 0x67}};
