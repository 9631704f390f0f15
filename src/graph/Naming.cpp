#include "graph/Naming.h"

#include <cwctype>

namespace {

// Tails shared by families of identifiers.
#define FOURCC_TAIL \
    0x0000, 0x0010, { 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 }
#define E436_TAIL \
    0x524f, 0x11ce, { 0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70 }
#define PINCAT_TAIL \
    0x0353, 0x11d1, { 0x90, 0x5f, 0x00, 0x00, 0xc0, 0xcc, 0x16, 0xba }
#define ANALOG_TAIL \
    0x7817, 0x11cf, { 0x8a, 0x03, 0x00, 0xaa, 0x00, 0x6e, 0xcb, 0x65 }
#define MPEG2_TAIL \
    0xdb46, 0x11cf, { 0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea }

struct GuidName {
    Guid16 Key;
    const wchar_t* Text;
};

const GuidName kPinCategories[] = {
    {{0xfb6c4283, PINCAT_TAIL}, L"ANALOGVIDEOIN"},
    {{0xfb6c4281, PINCAT_TAIL}, L"CAPTURE"},
    {{0xfb6c4289, PINCAT_TAIL}, L"CC"},
    {{0xfb6c4287, PINCAT_TAIL}, L"EDS"},
    {{0xfb6c4286, PINCAT_TAIL}, L"NABTS"},
    {{0xfb6c4282, PINCAT_TAIL}, L"PREVIEW"},
    {{0xfb6c428a, PINCAT_TAIL}, L"STILL"},
    {{0xfb6c4288, PINCAT_TAIL}, L"TELETEXT"},
    {{0xfb6c428b, PINCAT_TAIL}, L"TIMECODE"},
    {{0xfb6c4284, PINCAT_TAIL}, L"VBI"},
    {{0xfb6c4285, PINCAT_TAIL}, L"VIDEOPORT"},
    {{0xfb6c428c, PINCAT_TAIL}, L"VIDEOPORT_VBI"},
};

const GuidName kMajorTypes[] = {
    {{0x0482dee1, ANALOG_TAIL}, L"AnalogAudio"},
    {{0x0482dde1, ANALOG_TAIL}, L"AnalogVideo"},
    {{0x73647561, FOURCC_TAIL}, L"Audio"},
    {{0x670aea80, 0x3a82, 0x11d0, {0xb7, 0x9b, 0x00, 0xaa, 0x00, 0x37, 0x67, 0xa7}},
     L"AUXLine21Data"},
    {{0x656c6966, FOURCC_TAIL}, L"File"},
    {{0x73766169, FOURCC_TAIL}, L"Interleaved"},
    {{0x74726c6d, FOURCC_TAIL}, L"LMRT"},
    {{0x7364696d, FOURCC_TAIL}, L"Midi"},
    {{0xe06d8020, MPEG2_TAIL}, L"MPEG2_PES"},
    {{0x73636d64, FOURCC_TAIL}, L"ScriptCommand"},
    {{0xe436eb83, E436_TAIL}, L"Stream"},
    {{0x73747874, FOURCC_TAIL}, L"Text"},
    {{0x0482dee3, ANALOG_TAIL}, L"Timecode"},
    {{0x736c7275, FOURCC_TAIL}, L"URL_STREAM"},
    {{0x73646976, FOURCC_TAIL}, L"Video"},
    {{0xe436eb8e, E436_TAIL}, L"None"},
};

const GuidName kAudioSubtypes[] = {
    {{0x00000001, FOURCC_TAIL}, L"PCM"},
    {{0xe436eb80, E436_TAIL}, L"MPEG1Packet"},
    {{0xe436eb81, E436_TAIL}, L"MPEG1Payload"},
    {{0xe06d802b, MPEG2_TAIL}, L"MPEG2_AUDIO"},
    {{0xe06d8032, MPEG2_TAIL}, L"DVD_LPCM_AUDIO"},
    {{0x00000009, FOURCC_TAIL}, L"DRM_Audio"},
    {{0x00000003, FOURCC_TAIL}, L"IEEE_FLOAT"},
    {{0xe06d802c, MPEG2_TAIL}, L"DOLBY_AC3"},
    {{0x00000092, FOURCC_TAIL}, L"DOLBY_AC3_SPDIF"},
    {{0x00000240, FOURCC_TAIL}, L"RAW_SPORT"},
    {{0x00000241, FOURCC_TAIL}, L"SPDIF_TAG_241h"},
};

const GuidName kVideoSubtypes[] = {
    {{0x56555941, FOURCC_TAIL}, L"AYUV"},
    {{0x59565955, FOURCC_TAIL}, L"UYVY"},
    {{0x31313459, FOURCC_TAIL}, L"Y411"},
    {{0x50313459, FOURCC_TAIL}, L"Y41P"},
    {{0x31313259, FOURCC_TAIL}, L"Y211"},
    {{0x32595559, FOURCC_TAIL}, L"YUY2"},
    {{0x55595659, FOURCC_TAIL}, L"YVYU"},
    {{0x56595559, FOURCC_TAIL}, L"YUYV"},
    {{0x39304649, FOURCC_TAIL}, L"IF09"},
    {{0x56555949, FOURCC_TAIL}, L"IYUV"},
    {{0x32315659, FOURCC_TAIL}, L"YV12"},
    {{0x39555659, FOURCC_TAIL}, L"YVU9"},
    {{0xe436eb78, E436_TAIL}, L"RGB1"},
    {{0xe436eb79, E436_TAIL}, L"RGB4"},
    {{0xe436eb7a, E436_TAIL}, L"RGB8"},
    {{0xe436eb7c, E436_TAIL}, L"RGB555"},
    {{0xe436eb7b, E436_TAIL}, L"RGB565"},
    {{0xe436eb7d, E436_TAIL}, L"RGB24"},
    {{0xe436eb7e, E436_TAIL}, L"RGB32"},
    {{0x773c9ac0, 0x3274, 0x11d0, {0xb7, 0x24, 0x00, 0xaa, 0x00, 0x6c, 0x1a, 0x01}}, L"ARGB32"},
};

const wchar_t* const kCompressionNames[] = {L"BI_RGB",       L"BI_RLE8", L"BI_RLE4",
                                            L"BI_BITFIELDS", L"BI_JPEG", L"BI_PNG"};

const VideoStandardName kStandards[] = {
    {0x1, L"NTSC_M"},       {0x2, L"NTSC_M_J"},         {0x4, L"NTSC_433"},
    {0x10, L"PAL_B"},       {0x20, L"PAL_D"},           {0x40, L"PAL_G"},
    {0x80, L"PAL_H"},       {0x100, L"PAL_I"},          {0x200, L"PAL_M"},
    {0x400, L"PAL_N"},      {0x800, L"PAL_60"},         {0x1000, L"SECAM_B"},
    {0x2000, L"SECAM_D"},   {0x4000, L"SECAM_G"},       {0x8000, L"SECAM_H"},
    {0x10000, L"SECAM_K"},  {0x20000, L"SECAM_K1"},     {0x40000, L"SECAM_L"},
    {0x80000, L"SECAM_L1"}, {0x100000, L"PAL_N_COMBO"},
};

template <size_t N>
const wchar_t* Lookup(const GuidName (&table)[N], const Guid16& key) {
    for (const GuidName& entry : table) {
        if (entry.Key == key) return entry.Text;
    }
    return nullptr;
}

}  // namespace

namespace guids {
const Guid16 kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const Guid16 kMediaTypeVideo = {0x73646976, FOURCC_TAIL};
const Guid16 kMediaTypeAudio = {0x73647561, FOURCC_TAIL};
const Guid16 kFormatVideoInfo = {
    0x05589f80, 0xc356, 0x11ce, {0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a}};
const Guid16 kFormatWaveFormatEx = {
    0x05589f81, 0xc356, 0x11ce, {0xbf, 0x01, 0x00, 0xaa, 0x00, 0x55, 0x59, 0x5a}};
const Guid16 kPinCategoryCapture = {0xfb6c4281, PINCAT_TAIL};
const Guid16 kPinCategoryPreview = {0xfb6c4282, PINCAT_TAIL};
const Guid16 kMediaSubtypeRgb565 = {0xe436eb7b, E436_TAIL};
const Guid16 kMediaSubtypeRgb555 = {0xe436eb7c, E436_TAIL};
const Guid16 kMediaSubtypeYuy2 = {0x32595559, FOURCC_TAIL};
const Guid16 kMediaSubtypePcm = {0x00000001, FOURCC_TAIL};
}  // namespace guids

Guid16 FourCcSubtype(uint32_t fourcc) { return Guid16{fourcc, FOURCC_TAIL}; }

std::wstring ConnectorName(int32_t type) {
    static const wchar_t* const kVideo[] = {L"Video Tuner",
                                            L"Video Composite",
                                            L"Video S-Video",
                                            L"Video RGB",
                                            L"Video YRYBY",
                                            L"Video Serial Digital",
                                            L"Video Parallel Digital",
                                            L"Video SCSI",
                                            L"Video AUX",
                                            L"Video 1394",
                                            L"Video USB",
                                            L"Video Decoder",
                                            L"Video Encoder"};
    static const wchar_t* const kAudio[] = {
        L"Audio Tuner",  L"Audio Line",   L"Audio Microphone", L"Audio AES/EBU Digital",
        L"Audio S/PDIF", L"Audio SCSI",   L"Audio AUX",        L"Audio 1394",
        L"Audio USB",    L"Audio Decoder"};
    if (type >= 1 && type <= 13) return kVideo[type - 1];
    if (type >= 4096 && type <= 4105) return kAudio[type - 4096];
    return L"Unknown Type";
}

std::wstring PinCategoryName(const Guid16& category) {
    if (const wchar_t* text = Lookup(kPinCategories, category)) return text;
    return category == guids::kNull ? L"NULL" : L"UNKNOWN";
}

std::wstring MajorTypeName(const Guid16& majorType) {
    if (const wchar_t* text = Lookup(kMajorTypes, majorType)) return text;
    return majorType == guids::kNull ? L"NULL" : L"Unknown";
}

std::wstring AudioSubtypeName(const Guid16& subtype) {
    if (const wchar_t* text = Lookup(kAudioSubtypes, subtype)) return text;
    return L"Unknown";
}

std::wstring DecodeFourCcLatin1(const std::string& bytes) {
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

std::wstring FourCcText(uint32_t compression, FourCcDecoder decode) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((compression >> (8 * i)) & 0xff);
        if (c == 0) break;
        bytes += c;
    }
    std::wstring text = (decode ? decode : DecodeFourCcLatin1)(bytes);
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

std::wstring VideoSubtypeName(const Guid16& subtype, uint32_t compression, FourCcDecoder decode) {
    if (const wchar_t* text = Lookup(kVideoSubtypes, subtype)) return text;
    if (compression < sizeof(kCompressionNames) / sizeof(kCompressionNames[0])) {
        return kCompressionNames[compression];
    }
    return FourCcText(compression, decode);
}

std::vector<VideoStandardName> VideoStandardNames(uint32_t mask) {
    std::vector<VideoStandardName> names;
    for (const VideoStandardName& standard : kStandards) {
        if (mask & standard.Bit) names.push_back(standard);
    }
    return names;
}

bool IsUsableVideoCapability(const Guid16& majorType, const Guid16& formatType, uint32_t formatSize,
                             bool hasFormat) {
    return majorType == guids::kMediaTypeVideo && formatType == guids::kFormatVideoInfo &&
           formatSize >= kVideoInfoHeaderSize && hasFormat;
}

bool IsUsableAudioCapability(const Guid16& majorType, const Guid16& formatType, uint32_t formatSize,
                             bool hasFormat) {
    return majorType == guids::kMediaTypeAudio && formatType == guids::kFormatWaveFormatEx &&
           formatSize >= kWaveFormatExSize && hasFormat;
}

bool IsPacked422(uint32_t compression) {
    return compression == MakeFourCc('Y', 'U', 'Y', '2') ||
           compression == MakeFourCc('U', 'Y', 'V', 'Y') ||
           compression == MakeFourCc('H', 'D', 'Y', 'C');
}
