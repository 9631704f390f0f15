#include "graph/Naming.h"

#include <gtest/gtest.h>

namespace {

// A subtype no table lists.
const Guid16 kUnlisted = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST(ConnectorName, NamesVideoAndAudioConnectorsAndFallsBack) {
    EXPECT_EQ(ConnectorName(1), L"Video Tuner");
    EXPECT_EQ(ConnectorName(3), L"Video S-Video");
    EXPECT_EQ(ConnectorName(7), L"Video Parallel Digital");
    EXPECT_EQ(ConnectorName(13), L"Video Encoder");
    EXPECT_EQ(ConnectorName(4096), L"Audio Tuner");
    EXPECT_EQ(ConnectorName(4099), L"Audio AES/EBU Digital");
    EXPECT_EQ(ConnectorName(4100), L"Audio S/PDIF");
    EXPECT_EQ(ConnectorName(4105), L"Audio Decoder");
    for (int32_t other : {-1, 0, 14, 15, 4095, 4106, 0x7fffffff}) {
        EXPECT_EQ(ConnectorName(other), L"Unknown Type") << other;
    }
}

TEST(PinCategoryName, NamesCategoriesNullAndUnknown) {
    EXPECT_EQ(PinCategoryName(guids::kPinCategoryCapture), L"CAPTURE");
    EXPECT_EQ(PinCategoryName(guids::kPinCategoryPreview), L"PREVIEW");
    Guid16 videoportVbi = guids::kPinCategoryCapture;
    videoportVbi.Data1 = 0xfb6c428c;
    EXPECT_EQ(PinCategoryName(videoportVbi), L"VIDEOPORT_VBI");
    EXPECT_EQ(PinCategoryName(guids::kNull), L"NULL");
    EXPECT_EQ(PinCategoryName(kUnlisted), L"UNKNOWN");
}

TEST(MajorTypeName, NamesMajorTypes) {
    EXPECT_EQ(MajorTypeName(guids::kMediaTypeVideo), L"Video");
    EXPECT_EQ(MajorTypeName(guids::kMediaTypeAudio), L"Audio");
    const Guid16 none = {
        0xe436eb8e, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
    EXPECT_EQ(MajorTypeName(none), L"None");
    const Guid16 pes = {
        0xe06d8020, 0xdb46, 0x11cf, {0xb4, 0xd1, 0x00, 0x80, 0x5f, 0x6c, 0xbb, 0xea}};
    EXPECT_EQ(MajorTypeName(pes), L"MPEG2_PES");
    EXPECT_EQ(MajorTypeName(guids::kNull), L"NULL");
    EXPECT_EQ(MajorTypeName(kUnlisted), L"Unknown");
}

TEST(AudioSubtypeName, NamesSubtypes) {
    EXPECT_EQ(AudioSubtypeName(guids::kMediaSubtypePcm), L"PCM");
    EXPECT_EQ(AudioSubtypeName(FourCcSubtype(3)), L"IEEE_FLOAT");
    EXPECT_EQ(AudioSubtypeName(FourCcSubtype(0x241)), L"SPDIF_TAG_241h");
    EXPECT_EQ(AudioSubtypeName(guids::kNull), L"Unknown");
    EXPECT_EQ(AudioSubtypeName(kUnlisted), L"Unknown");
}

TEST(VideoSubtypeName, ListedSubtypesWinOverTheCompressionCode) {
    EXPECT_EQ(VideoSubtypeName(guids::kMediaSubtypeRgb565, 3), L"RGB565");
    EXPECT_EQ(VideoSubtypeName(guids::kMediaSubtypeRgb555, 0), L"RGB555");
    EXPECT_EQ(VideoSubtypeName(guids::kMediaSubtypeYuy2, MakeFourCc('Y', 'U', 'Y', '2')), L"YUY2");
    EXPECT_EQ(VideoSubtypeName(FourCcSubtype(MakeFourCc('U', 'Y', 'V', 'Y')), 0), L"UYVY");
}

TEST(VideoSubtypeName, UnlistedSubtypeNamedByCompressionCode) {
    EXPECT_EQ(VideoSubtypeName(kUnlisted, 0), L"BI_RGB");
    EXPECT_EQ(VideoSubtypeName(kUnlisted, 2), L"BI_RLE4");
    EXPECT_EQ(VideoSubtypeName(kUnlisted, 3), L"BI_BITFIELDS");
    EXPECT_EQ(VideoSubtypeName(kUnlisted, 5), L"BI_PNG");
    EXPECT_EQ(VideoSubtypeName(kUnlisted, MakeFourCc('m', 'j', 'p', 'g')), L"MJPG");
    // HDYC has no platform constant: it is read from its code.
    EXPECT_EQ(VideoSubtypeName(FourCcSubtype(MakeFourCc('H', 'D', 'Y', 'C')),
                               MakeFourCc('H', 'D', 'Y', 'C')),
              L"HDYC");
    // A zero byte ends the text early.
    EXPECT_EQ(VideoSubtypeName(kUnlisted, MakeFourCc('a', 'b', 0, 'd')), L"AB");
}

TEST(VideoSubtypeName, UsesTheGivenDecoder) {
    auto decoder = [](const std::string& bytes) { return std::wstring(bytes.size(), L'x'); };
    EXPECT_EQ(VideoSubtypeName(kUnlisted, MakeFourCc('m', 'j', 'p', 'g'), decoder), L"XXXX");
}

TEST(VideoStandardNames, ListsNamedBitsLowestFirst) {
    const auto names = VideoStandardNames(0x101101);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0].Bit, 0x1u);
    EXPECT_EQ(names[0].Text, L"NTSC_M");
    EXPECT_EQ(names[1].Bit, 0x100u);
    EXPECT_EQ(names[1].Text, L"PAL_I");
    EXPECT_EQ(names[2].Bit, 0x1000u);
    EXPECT_EQ(names[2].Text, L"SECAM_B");
    EXPECT_EQ(names[3].Bit, 0x100000u);
    EXPECT_EQ(names[3].Text, L"PAL_N_COMBO");
    EXPECT_TRUE(VideoStandardNames(0x8).empty());
    EXPECT_TRUE(VideoStandardNames(0xFFE00008u).empty());
    EXPECT_EQ(VideoStandardNames(0xFFFFFFFFu).size(), 20u);
}

TEST(CapabilityRules, VideoNeedsVideoInfoBlockOfFullSize) {
    const Guid16& v = guids::kMediaTypeVideo;
    const Guid16& vi = guids::kFormatVideoInfo;
    EXPECT_TRUE(IsUsableVideoCapability(v, vi, 88, true));
    EXPECT_TRUE(IsUsableVideoCapability(v, vi, 1128, true));
    EXPECT_FALSE(IsUsableVideoCapability(v, vi, 87, true));
    EXPECT_FALSE(IsUsableVideoCapability(v, vi, 88, false));
    const Guid16 videoInfo2 = {
        0xf72a76a0, 0xeb0a, 0x11d0, {0xac, 0xe4, 0x00, 0x00, 0xc0, 0xcc, 0x16, 0xba}};
    EXPECT_FALSE(IsUsableVideoCapability(v, videoInfo2, 112, true));
    EXPECT_FALSE(IsUsableVideoCapability(guids::kMediaTypeAudio, vi, 88, true));
}

TEST(CapabilityRules, AudioNeedsWaveFormatEx) {
    const Guid16& a = guids::kMediaTypeAudio;
    const Guid16& wf = guids::kFormatWaveFormatEx;
    EXPECT_TRUE(IsUsableAudioCapability(a, wf, 18, true));
    EXPECT_FALSE(IsUsableAudioCapability(a, wf, 16, true));
    EXPECT_FALSE(IsUsableAudioCapability(a, wf, 18, false));
    EXPECT_FALSE(IsUsableAudioCapability(a, guids::kFormatVideoInfo, 18, true));
    EXPECT_FALSE(IsUsableAudioCapability(guids::kMediaTypeVideo, wf, 18, true));
}

TEST(CapabilityRules, Packed422Codes) {
    EXPECT_TRUE(IsPacked422(MakeFourCc('Y', 'U', 'Y', '2')));
    EXPECT_TRUE(IsPacked422(MakeFourCc('U', 'Y', 'V', 'Y')));
    EXPECT_TRUE(IsPacked422(MakeFourCc('H', 'D', 'Y', 'C')));
    EXPECT_FALSE(IsPacked422(MakeFourCc('Y', 'V', '1', '2')));
    EXPECT_FALSE(IsPacked422(0));
}

}  // namespace
