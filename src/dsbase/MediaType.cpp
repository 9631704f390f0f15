#include "dsbase/MediaType.h"

#include <cstring>

void FreeMediaType(AM_MEDIA_TYPE& mt) {
    if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    if (mt.pUnk) mt.pUnk->Release();
    mt.pUnk = nullptr;
}

void DeleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
}

HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src) {
    *dst = *src;
    if (src->cbFormat && src->pbFormat) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (!dst->pbFormat) {
            dst->cbFormat = 0;
            dst->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
    } else {
        dst->pbFormat = nullptr;
        dst->cbFormat = 0;
    }
    if (dst->pUnk) dst->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    if (FAILED(CopyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

CMediaType::CMediaType() : AM_MEDIA_TYPE{} {
    bFixedSizeSamples = TRUE;
    lSampleSize = 1;
}

CMediaType::CMediaType(const GUID& major, const GUID& sub) : CMediaType() {
    majortype = major;
    subtype = sub;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& other) : AM_MEDIA_TYPE{} { Set(other); }

CMediaType::CMediaType(const CMediaType& other) : AM_MEDIA_TYPE{} { Set(other); }

CMediaType::CMediaType(CMediaType&& other) noexcept : AM_MEDIA_TYPE(other) {
    other.pbFormat = nullptr;
    other.cbFormat = 0;
    other.pUnk = nullptr;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& other) {
    if (&other != this) Set(other);
    return *this;
}

CMediaType& CMediaType::operator=(const CMediaType& other) {
    return *this = static_cast<const AM_MEDIA_TYPE&>(other);
}

CMediaType& CMediaType::operator=(CMediaType&& other) noexcept {
    if (&other != this) {
        FreeMediaType(*this);
        static_cast<AM_MEDIA_TYPE&>(*this) = other;
        other.pbFormat = nullptr;
        other.cbFormat = 0;
        other.pUnk = nullptr;
    }
    return *this;
}

CMediaType::~CMediaType() { FreeMediaType(*this); }

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& other) {
    FreeMediaType(*this);
    const HRESULT hr = CopyMediaType(this, &other);
    if (FAILED(hr)) Clear();
    return hr;
}

void CMediaType::Clear() {
    FreeMediaType(*this);
    static_cast<AM_MEDIA_TYPE&>(*this) = AM_MEDIA_TYPE{};
}

BYTE* CMediaType::AllocFormat(ULONG size) {
    BYTE* block = size ? static_cast<BYTE*>(CoTaskMemAlloc(size)) : nullptr;
    if (size && !block) return nullptr;
    if (block) std::memset(block, 0, size);
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = block;
    cbFormat = size;
    return block;
}

bool CMediaType::SetFormat(const void* data, ULONG size) {
    BYTE* block = AllocFormat(size);
    if (size && !block) return false;
    if (size) std::memcpy(block, data, size);
    return true;
}

VIDEOINFOHEADER* CMediaType::VideoInfo() const {
    if (formattype != FORMAT_VideoInfo || !pbFormat || cbFormat < sizeof(VIDEOINFOHEADER)) {
        return nullptr;
    }
    return reinterpret_cast<VIDEOINFOHEADER*>(pbFormat);
}

bool CMediaType::MatchesPartial(const AM_MEDIA_TYPE& partial) const {
    if (partial.majortype != GUID_NULL && partial.majortype != majortype) return false;
    if (partial.subtype != GUID_NULL && partial.subtype != subtype) return false;
    if (partial.formattype != GUID_NULL) {
        if (partial.formattype != formattype) return false;
        // A format block in the pattern must match exactly.
        if (partial.cbFormat && (partial.cbFormat != cbFormat || !pbFormat ||
                                 std::memcmp(partial.pbFormat, pbFormat, cbFormat) != 0)) {
            return false;
        }
    }
    return true;
}

bool CMediaType::IsPartiallySpecified() const {
    return majortype == GUID_NULL || subtype == GUID_NULL || formattype == GUID_NULL;
}

bool CMediaType::operator==(const AM_MEDIA_TYPE& other) const {
    if (majortype != other.majortype || subtype != other.subtype ||
        formattype != other.formattype || cbFormat != other.cbFormat) {
        return false;
    }
    return cbFormat == 0 ||
           (pbFormat && other.pbFormat && std::memcmp(pbFormat, other.pbFormat, cbFormat) == 0);
}
