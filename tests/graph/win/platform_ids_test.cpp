// The identifiers written out by hand (portable naming tables, interface declarations) against
// the platform's own headers and libraries.
#include "TestSupport.h"
#include "graph/Naming.h"

// The MPEG-2 identifiers come as a list of entries without declarations.
#ifdef OUR_GUID_ENTRY
#undef OUR_GUID_ENTRY
#endif
#define OUR_GUID_ENTRY(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    static const GUID name##_ = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};
#include <ksuuids.h>
#undef OUR_GUID_ENTRY

namespace {

struct Named {
    GUID id;
    const wchar_t* text;
};

TEST(PlatformIds, PinCategoriesMatchThePlatform) {
    const Named cases[] = {{PIN_CATEGORY_ANALOGVIDEOIN, L"ANALOGVIDEOIN"},
                           {PIN_CATEGORY_CAPTURE, L"CAPTURE"},
                           {PIN_CATEGORY_CC, L"CC"},
                           {PIN_CATEGORY_EDS, L"EDS"},
                           {PIN_CATEGORY_NABTS, L"NABTS"},
                           {PIN_CATEGORY_PREVIEW, L"PREVIEW"},
                           {PIN_CATEGORY_STILL, L"STILL"},
                           {PIN_CATEGORY_TELETEXT, L"TELETEXT"},
                           {PIN_CATEGORY_TIMECODE, L"TIMECODE"},
                           {PIN_CATEGORY_VBI, L"VBI"},
                           {PIN_CATEGORY_VIDEOPORT, L"VIDEOPORT"},
                           {PIN_CATEGORY_VIDEOPORT_VBI, L"VIDEOPORT_VBI"},
                           {GUID_NULL, L"NULL"},
                           {MEDIATYPE_Video, L"UNKNOWN"}};
    for (const Named& c : cases) EXPECT_EQ(PinCategoryName(ToGuid16(c.id)), c.text);
}

TEST(PlatformIds, MajorTypesMatchThePlatform) {
    const Named cases[] = {{MEDIATYPE_AnalogAudio, L"AnalogAudio"},
                           {MEDIATYPE_AnalogVideo, L"AnalogVideo"},
                           {MEDIATYPE_Audio, L"Audio"},
                           {MEDIATYPE_AUXLine21Data, L"AUXLine21Data"},
                           {MEDIATYPE_File, L"File"},
                           {MEDIATYPE_Interleaved, L"Interleaved"},
                           {MEDIATYPE_LMRT, L"LMRT"},
                           {MEDIATYPE_Midi, L"Midi"},
                           {MEDIATYPE_MPEG2_PES_, L"MPEG2_PES"},
                           {MEDIATYPE_ScriptCommand, L"ScriptCommand"},
                           {MEDIATYPE_Stream, L"Stream"},
                           {MEDIATYPE_Text, L"Text"},
                           {MEDIATYPE_Timecode, L"Timecode"},
                           {MEDIATYPE_Video, L"Video"},
                           {MEDIASUBTYPE_None, L"None"},
                           {GUID_NULL, L"NULL"},
                           {MEDIASUBTYPE_YUY2, L"Unknown"}};
    for (const Named& c : cases) EXPECT_EQ(MajorTypeName(ToGuid16(c.id)), c.text);
    // MinGW's library gives MEDIATYPE_URL_STREAM the value of MEDIATYPE_LMRT; the header has the
    // platform's value ('urls').
    const GUID urlStream = {
        0x736c7275, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    EXPECT_EQ(MajorTypeName(ToGuid16(urlStream)), L"URL_STREAM");
}

TEST(PlatformIds, SubtypesMatchThePlatform) {
    const Named audio[] = {{MEDIASUBTYPE_PCM, L"PCM"},
                           {MEDIASUBTYPE_MPEG1Packet, L"MPEG1Packet"},
                           {MEDIASUBTYPE_MPEG1Payload, L"MPEG1Payload"},
                           {MEDIASUBTYPE_MPEG2_AUDIO_, L"MPEG2_AUDIO"},
                           {MEDIASUBTYPE_DVD_LPCM_AUDIO_, L"DVD_LPCM_AUDIO"},
                           {MEDIASUBTYPE_DRM_Audio, L"DRM_Audio"},
                           {MEDIASUBTYPE_IEEE_FLOAT, L"IEEE_FLOAT"},
                           {MEDIASUBTYPE_DOLBY_AC3_, L"DOLBY_AC3"},
                           {MEDIASUBTYPE_DOLBY_AC3_SPDIF, L"DOLBY_AC3_SPDIF"},
                           {MEDIASUBTYPE_RAW_SPORT, L"RAW_SPORT"},
                           {MEDIASUBTYPE_SPDIF_TAG_241h, L"SPDIF_TAG_241h"}};
    for (const Named& c : audio) EXPECT_EQ(AudioSubtypeName(ToGuid16(c.id)), c.text);
    const Named video[] = {{MEDIASUBTYPE_AYUV, L"AYUV"},     {MEDIASUBTYPE_UYVY, L"UYVY"},
                           {MEDIASUBTYPE_Y411, L"Y411"},     {MEDIASUBTYPE_Y41P, L"Y41P"},
                           {MEDIASUBTYPE_Y211, L"Y211"},     {MEDIASUBTYPE_YUY2, L"YUY2"},
                           {MEDIASUBTYPE_YVYU, L"YVYU"},     {MEDIASUBTYPE_YUYV, L"YUYV"},
                           {MEDIASUBTYPE_IF09, L"IF09"},     {MEDIASUBTYPE_IYUV, L"IYUV"},
                           {MEDIASUBTYPE_YV12, L"YV12"},     {MEDIASUBTYPE_YVU9, L"YVU9"},
                           {MEDIASUBTYPE_RGB1, L"RGB1"},     {MEDIASUBTYPE_RGB4, L"RGB4"},
                           {MEDIASUBTYPE_RGB8, L"RGB8"},     {MEDIASUBTYPE_RGB555, L"RGB555"},
                           {MEDIASUBTYPE_RGB565, L"RGB565"}, {MEDIASUBTYPE_RGB24, L"RGB24"},
                           {MEDIASUBTYPE_RGB32, L"RGB32"},   {MEDIASUBTYPE_ARGB32, L"ARGB32"}};
    for (const Named& c : video) EXPECT_EQ(VideoSubtypeName(ToGuid16(c.id), 0x12345678), c.text);
    EXPECT_EQ(ToGuid16(FORMAT_VideoInfo), guids::kFormatVideoInfo);
    EXPECT_EQ(ToGuid16(FORMAT_WaveFormatEx), guids::kFormatWaveFormatEx);
    EXPECT_EQ(ToGuid16(MEDIASUBTYPE_YUY2), FourCcSubtype(MAKEFOURCC('Y', 'U', 'Y', '2')));
}

TEST(PlatformIds, InterfaceIdsMatchThePlatformLibraries) {
    EXPECT_EQ(__uuidof(IAMAnalogVideoDecoder), IID_IAMAnalogVideoDecoder);
    EXPECT_EQ(__uuidof(IMediaEventEx), IID_IMediaEventEx);
    EXPECT_EQ(__uuidof(IBasicAudio), IID_IBasicAudio);
    EXPECT_EQ(__uuidof(IVMRFilterConfig), IID_IVMRFilterConfig);
    EXPECT_EQ(__uuidof(IVMRWindowlessControl), IID_IVMRWindowlessControl);
    EXPECT_EQ(__uuidof(IVMRMixerControl), IID_IVMRMixerControl);
    EXPECT_EQ(__uuidof(IAMGraphStreams), IID_IAMGraphStreams);
    EXPECT_EQ(__uuidof(IQualProp), IID_IQualProp);
}

TEST(PlatformIds, CompressionCodesDecodeInTheAnsiCodePage) {
    // 0x83 0x65 is a katakana letter in code page 932.
    ASSERT_EQ(GetACP(), 932u);
    const uint32_t code = 0x83u | (0x65u << 8) | ('x' << 16) | ('y' << 24);
    EXPECT_EQ(VideoSubtypeName(guids::kNull, code, DecodeFourCcAnsi), L"\u30c6XY");
    EXPECT_EQ(VideoSubtypeName(guids::kNull, MAKEFOURCC('m', 'j', 'p', 'g'), DecodeFourCcAnsi),
              L"MJPG");
}

}  // namespace
