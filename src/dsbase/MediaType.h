// AM_MEDIA_TYPE as a value: CMediaType deep-copies and frees its format block (and the
// reference in pUnk), so types can live in containers and members without leaks. The free
// functions handle plain AM_MEDIA_TYPE structures handed across COM boundaries.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <amvideo.h>

#include <cstddef>

// Frees the format block and releases pUnk; the structure itself stays (its fields are reset).
void FreeMediaType(AM_MEDIA_TYPE& mt);
// Frees a structure allocated with CoTaskMemAlloc (as returned by enumerators) and its contents.
void DeleteMediaType(AM_MEDIA_TYPE* mt);
// Deep copy into *dst (whose previous contents are NOT freed). E_OUTOFMEMORY leaves *dst empty.
HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);
// A deep copy in task memory, for IEnumMediaTypes::Next and ConnectionMediaType callers.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src);

// Thread: a plain value; no locking of its own. Owns pbFormat and a reference to pUnk.
class CMediaType : public AM_MEDIA_TYPE {
public:
    CMediaType();
    explicit CMediaType(const GUID& major, const GUID& sub = GUID_NULL);
    CMediaType(const AM_MEDIA_TYPE& other);  // NOLINT: implicit copies are the point
    CMediaType(const CMediaType& other);
    CMediaType(CMediaType&& other) noexcept;
    CMediaType& operator=(const AM_MEDIA_TYPE& other);
    CMediaType& operator=(const CMediaType& other);
    CMediaType& operator=(CMediaType&& other) noexcept;
    ~CMediaType();

    // Replaces the contents by a deep copy; E_OUTOFMEMORY leaves the type empty.
    HRESULT Set(const AM_MEDIA_TYPE& other);
    void Clear();
    bool IsValid() const { return majortype != GUID_NULL; }

    // Replaces the format block by size zeroed bytes; returns the block or null on failure.
    BYTE* AllocFormat(ULONG size);
    // Replaces the format block by a copy of size bytes from data.
    bool SetFormat(const void* data, ULONG size);
    // The format block as a video-info header when the format type and size allow, else null.
    VIDEOINFOHEADER* VideoInfo() const;

    // True when every non-GUID_NULL major/sub/format type of partial equals ours.
    bool MatchesPartial(const AM_MEDIA_TYPE& partial) const;
    bool IsPartiallySpecified() const;
    // Equal major, sub and format types and identical format blocks.
    bool operator==(const AM_MEDIA_TYPE& other) const;
    bool operator!=(const AM_MEDIA_TYPE& other) const { return !(*this == other); }
};
