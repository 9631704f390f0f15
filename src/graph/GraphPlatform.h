// The platform headers of the capture graph in the order they need each other, the identifiers
// no MinGW header declares, and the conversion of identifiers to the portable Guid16.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <d3d9.h>
#include <vmr9.h>
#include <evr.h>
#include <mfidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "graph/CatalogueRecords.h"
#include "graph/Guid16.h"

// Interfaces whose identifiers MinGW's headers do not attach to the type (so __uuidof and
// IID_PPV_ARGS work); GraphPlatformTest.InterfaceIdsMatchThePlatformLibraries checks them.
__CRT_UUID_DECL(IAMAnalogVideoDecoder, 0xc6e13350, 0x30ac, 0x11d0, 0xa1, 0x8c, 0x00, 0xa0, 0xc9,
                0x11, 0x89, 0x56)
__CRT_UUID_DECL(IMediaEventEx, 0x56a868c0, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7,
                0x70)
__CRT_UUID_DECL(IBasicAudio, 0x56a868b3, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00, 0x20, 0xaf, 0x0b, 0xa7,
                0x70)
__CRT_UUID_DECL(IVMRFilterConfig, 0x9e5530c5, 0x7034, 0x48b4, 0xbb, 0x46, 0x0b, 0x8a, 0x6e, 0xfc,
                0x8e, 0x36)
__CRT_UUID_DECL(IVMRWindowlessControl, 0x0eb1088c, 0x4dcd, 0x46f0, 0x87, 0x8f, 0x39, 0xda, 0xe8,
                0x6a, 0x51, 0xb7)
__CRT_UUID_DECL(IVMRMixerControl, 0x1c1a17b0, 0xbed0, 0x415d, 0x97, 0x4b, 0xdc, 0x66, 0x96, 0x13,
                0x15, 0x99)
__CRT_UUID_DECL(IAMGraphStreams, 0x632105fa, 0x072e, 0x11d3, 0x8a, 0xf9, 0x00, 0xc0, 0x4f, 0xb6,
                0xbd, 0x3d)
__CRT_UUID_DECL(IQualProp, 0x1bd0ecb0, 0xf8e2, 0x11ce, 0xaa, 0xc6, 0x00, 0x20, 0xaf, 0x0b, 0x99,
                0xa3)

// A buffer for IAMStreamConfig::GetStreamCaps of the size the device names, never smaller than
// the capability structure the caller reads (a device reporting less cannot make us read past
// the buffer). False when the memory cannot be had.
// A device naming an absurd size is not asked at all (CapsBufferBytes).
inline bool AllocateCapsBuffer(int size, size_t minimum, std::vector<BYTE>& buffer) {
    const size_t bytes = CapsBufferBytes(size, minimum);
    if (bytes == 0) return false;
    try {
        buffer.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// The Enhanced Video Renderer's class; declared by no MinGW header.
constexpr GUID kClsidEnhancedVideoRenderer = {
    0xfa10746c, 0x9b63, 0x4b6c, {0xbc, 0x49, 0xfc, 0x30, 0x0e, 0xa5, 0xf2, 0x56}};

inline Guid16 ToGuid16(const GUID& g) {
    Guid16 out;
    static_assert(sizeof(out) == sizeof(g), "Guid16 must match GUID");
    std::memcpy(&out, &g, sizeof(out));
    return out;
}

inline GUID ToGuid(const Guid16& g) {
    GUID out;
    std::memcpy(&out, &g, sizeof(out));
    return out;
}

using Microsoft::WRL::ComPtr;

// An AM_MEDIA_TYPE the platform allocated (GetStreamCaps, IEnumMediaTypes::Next): the format
// block, the extra object and the structure itself are freed together.
class CUniqueMediaType {
public:
    CUniqueMediaType() = default;
    CUniqueMediaType(const CUniqueMediaType&) = delete;
    CUniqueMediaType& operator=(const CUniqueMediaType&) = delete;
    ~CUniqueMediaType() { Reset(); }

    AM_MEDIA_TYPE* Get() const { return m_mt; }
    AM_MEDIA_TYPE* operator->() const { return m_mt; }
    AM_MEDIA_TYPE** Put() {
        Reset();
        return &m_mt;
    }
    void Reset() {
        if (!m_mt) return;
        if (m_mt->pbFormat) CoTaskMemFree(m_mt->pbFormat);
        if (m_mt->pUnk) m_mt->pUnk->Release();
        CoTaskMemFree(m_mt);
        m_mt = nullptr;
    }

private:
    AM_MEDIA_TYPE* m_mt = nullptr;
};
