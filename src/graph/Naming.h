// The naming tables: the short texts shown for platform identifiers (crossbar connector types,
// pin categories, major types, audio and video subtypes, compression codes, analogue video
// standards), plus the rules that decide which device capabilities are usable. Every other
// part of the program takes its names from here.
//
// Portable: keyed by plain values; no platform header. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/Guid16.h"

// Name of a crossbar pin's physical connector type; "Unknown Type" for anything unlisted.
std::wstring ConnectorName(int32_t physicalType);

// Pin category without its "PIN_CATEGORY_" prefix; "NULL" for the zero GUID, else "UNKNOWN".
std::wstring PinCategoryName(const Guid16& category);

// Major type without its "MEDIATYPE_" prefix; "NULL" for the zero GUID, else "Unknown".
std::wstring MajorTypeName(const Guid16& majorType);

// Audio subtype without its "MEDIASUBTYPE_" prefix, else "Unknown".
std::wstring AudioSubtypeName(const Guid16& subtype);

// Turns the bytes of a compression code (up to four, lowest first, no terminator) into upper-case
// text. The Windows side decodes them in the ANSI code page; the default reads them as Latin-1.
using FourCcDecoder = std::wstring (*)(const std::string& bytes);
std::wstring DecodeFourCcLatin1(const std::string& bytes);

// Video subtype without its "MEDIASUBTYPE_" prefix; an unlisted subtype is named by its
// compression code: "BI_RGB" ... "BI_PNG" for 0-5, otherwise the code read as four characters.
std::wstring VideoSubtypeName(const Guid16& subtype, uint32_t compression,
                              FourCcDecoder decode = DecodeFourCcLatin1);

// The four characters of a compression code as text (a zero byte ends it early), upper case.
std::wstring FourCcText(uint32_t compression, FourCcDecoder decode = DecodeFourCcLatin1);

struct VideoStandardName {
    uint32_t Bit;
    std::wstring Text;
};

// The named standards set in a mask, lowest bit first, names without "AnalogVideo_".
std::vector<VideoStandardName> VideoStandardNames(uint32_t mask);

// A video capability is usable when it is video in a VIDEOINFOHEADER format block (present and
// at least 88 bytes); an audio one when it is audio in a WAVEFORMATEX block (at least 18 bytes).
constexpr uint32_t kVideoInfoHeaderSize = 88;
constexpr uint32_t kWaveFormatExSize = 18;
bool IsUsableVideoCapability(const Guid16& majorType, const Guid16& formatType, uint32_t formatSize,
                             bool hasFormat);
bool IsUsableAudioCapability(const Guid16& majorType, const Guid16& formatType, uint32_t formatSize,
                             bool hasFormat);

constexpr uint32_t MakeFourCc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

// Packed 4:2:2 codes that the renderer can deinterlace itself: "YUY2", "UYVY", "HDYC".
bool IsPacked422(uint32_t compression);
