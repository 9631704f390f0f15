// A 16-byte globally unique identifier as plain data, laid out like the platform's GUID, so the
// portable naming tables and format rules can be keyed and tested without Windows headers.
// The Windows side converts at the edge (GraphGuids.h).
#pragma once

#include <cstdint>

struct Guid16 {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

inline bool operator==(const Guid16& a, const Guid16& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) return false;
    }
    return true;
}
inline bool operator!=(const Guid16& a, const Guid16& b) { return !(a == b); }

// The media identifiers the catalogue and the build compare against.
namespace guids {
extern const Guid16 kNull;

extern const Guid16 kMediaTypeVideo;
extern const Guid16 kMediaTypeAudio;
extern const Guid16 kFormatVideoInfo;
extern const Guid16 kFormatWaveFormatEx;

extern const Guid16 kPinCategoryCapture;
extern const Guid16 kPinCategoryPreview;

extern const Guid16 kMediaSubtypeRgb565;
extern const Guid16 kMediaSubtypeRgb555;
extern const Guid16 kMediaSubtypeYuy2;
extern const Guid16 kMediaSubtypePcm;
}  // namespace guids

// A subtype of the FOURCC family: the code in Data1 with the fixed tail
// 0000-0010-8000-00AA00389B71.
Guid16 FourCcSubtype(uint32_t fourcc);
