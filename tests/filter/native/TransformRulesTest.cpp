// The transform filter's type rules: input check, output check in its order, the proposal and
// the video-info-2 conversion, over plain format blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "filter/TransformRules.h"

namespace lumoka {
namespace {

constexpr int32_t kCopy = 0;
constexpr int32_t kLinear = 2;
constexpr int32_t kHardware = 6;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); }
void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v) { std::memcpy(&b[at], &v, 8); }

MediaTypeValue Video(uint32_t fourcc, int32_t width, int32_t height, uint16_t bits,
                     uint32_t compression) {
    MediaTypeValue t;
    t.majorType = kMediaTypeVideo;
    t.subtype = FourccSubtype(fourcc);
    t.formatType = kFormatVideoInfo;
    t.fixedSizeSamples = true;
    t.format.assign(kVideoInfoSize, 0);
    Put32(t.format, 32, 1234);    // bit rate
    Put64(t.format, 40, 333667);  // average time per frame
    BitmapHeader h;
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bits;
    h.compression = compression;
    h.sizeImage = static_cast<uint32_t>(width * bits / 8 * (height < 0 ? -height : height));
    WriteBitmapHeader(t.format.data(), kVideoInfoBitmapOffset, h);
    t.sampleSize = h.sizeImage;
    return t;
}

MediaTypeView View(const MediaTypeValue& v) {
    MediaTypeView t;
    t.majorType = v.majorType;
    t.subtype = v.subtype;
    t.formatType = v.formatType;
    t.fixedSizeSamples = v.fixedSizeSamples;
    t.temporalCompression = v.temporalCompression;
    t.sampleSize = v.sampleSize;
    t.format = v.format.empty() ? nullptr : v.format.data();
    t.formatSize = static_cast<uint32_t>(v.format.size());
    return t;
}

const uint32_t kRgb = 0;

TEST(TransformRules, InputNeedsVideoWithVideoInfo) {
    MediaTypeValue t = Video(kFourccYUY2, 8, 4, 16, kFourccYUY2);
    EXPECT_TRUE(IsAcceptedInputType(View(t)));
    t.subtype = Guid{};  // not examined
    EXPECT_TRUE(IsAcceptedInputType(View(t)));
    t.formatType = kFormatVideoInfo2;
    EXPECT_FALSE(IsAcceptedInputType(View(t)));
    t = Video(kFourccYUY2, 8, 4, 16, kFourccYUY2);
    t.majorType = FourccSubtype(MakeFourcc('a', 'u', 'd', 's'));
    EXPECT_FALSE(IsAcceptedInputType(View(t)));
}

TEST(TransformRules, SameTypeAndRgbAreAccepted) {
    const MediaTypeValue yuy2 = Video(kFourccYUY2, 720, 480, 16, kFourccYUY2);
    BitmapHeader out;
    EXPECT_TRUE(IsAcceptedTransform(View(yuy2), View(yuy2), kLinear, &out));
    EXPECT_EQ(720, out.width);
    const MediaTypeValue rgb = Video(MakeFourcc('x', 'x', 'x', 'x'), 64, -48, 32, kRgb);
    EXPECT_TRUE(IsAcceptedTransform(View(rgb), View(rgb), kCopy, nullptr));
}

TEST(TransformRules, EachOutputCheckRefuses) {
    const MediaTypeValue in = Video(kFourccYUY2, 64, 48, 16, kFourccYUY2);
    auto refused = [&](auto change, int32_t mode = kCopy) {
        MediaTypeValue out = in;
        change(out);
        return !IsAcceptedTransform(View(in), View(out), mode, nullptr);
    };
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.majorType = Guid{}; }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.formatType = kFormatVideoInfo2; }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) {}, kHardware));  // video-info under Hardware
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.subtype = FourccSubtype(kFourccUYVY); }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.fixedSizeSamples = false; }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.temporalCompression = true; }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.sampleSize -= 1; }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.format.resize(87); }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { o.format.clear(); }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { Put32(o.format, 32, 1); }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { Put32(o.format, 36, 1); }));
    EXPECT_TRUE(refused([](MediaTypeValue& o) { Put64(o.format, 40, 166833); }));
    auto header = [&](auto change) {
        return refused([&](MediaTypeValue& o) {
            BitmapHeader h = ReadBitmapHeader(o.format.data(), kVideoInfoBitmapOffset);
            change(h);
            WriteBitmapHeader(o.format.data(), kVideoInfoBitmapOffset, h);
        });
    };
    EXPECT_TRUE(header([](BitmapHeader& h) { h.width = 63; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.height = -47; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.planes = 2; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.bitCount = 24; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.compression = kFourccUYVY; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.sizeImage -= 1; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.xPelsPerMeter = 1; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.yPelsPerMeter = 1; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.clrUsed = 1; }));
    EXPECT_TRUE(header([](BitmapHeader& h) { h.clrImportant = 1; }));
    // A wider, taller or bottom-up/top-down flipped output is a padded buffer: accepted.
    EXPECT_FALSE(header([](BitmapHeader& h) {
        h.width = 128;
        h.height = -48;
        h.sizeImage *= 2;
    }));
}

TEST(TransformRules, HdycGoesOutAsUyvyOnly) {
    const MediaTypeValue in = Video(kFourccHDYC, 64, 48, 16, kFourccHDYC);
    int32_t mode = kLinear;
    MediaTypeValue out;
    ASSERT_EQ(ProposeResult::kOk, ProposeOutputType(in, &mode, &out));
    EXPECT_EQ(FourccSubtype(kFourccUYVY), out.subtype);
    const BitmapHeader h = ReadBitmapHeader(out.format.data(), kVideoInfoBitmapOffset);
    EXPECT_EQ(kFourccUYVY, h.compression);
    EXPECT_EQ(64, h.width);
    EXPECT_EQ(kLinear, mode);
    EXPECT_TRUE(IsAcceptedTransform(View(in), View(out), kLinear, nullptr));
    EXPECT_FALSE(IsAcceptedTransform(View(in), View(in), kLinear, nullptr));
}

TEST(TransformRules, HardwareProposesVideoInfo2ForPacked422) {
    const MediaTypeValue in = Video(kFourccYUY2, 720, -480, 16, kFourccYUY2);
    int32_t mode = kHardware;
    MediaTypeValue out;
    ASSERT_EQ(ProposeResult::kOk, ProposeOutputType(in, &mode, &out));
    EXPECT_EQ(kHardware, mode);
    EXPECT_EQ(kFormatVideoInfo2, out.formatType);
    ASSERT_EQ(kVideoInfo2Size, out.format.size());
    uint32_t flags, ax, ay;
    std::memcpy(&flags, &out.format[kVideoInfo2InterlaceOffset], 4);
    std::memcpy(&ax, &out.format[kVideoInfo2AspectXOffset], 4);
    std::memcpy(&ay, &out.format[kVideoInfo2AspectYOffset], 4);
    EXPECT_EQ(0xA1u, flags);
    EXPECT_EQ(720u, ax);
    EXPECT_EQ(480u, ay);
    EXPECT_EQ(0, std::memcmp(out.format.data(), in.format.data(), 48));
    EXPECT_EQ(0, std::memcmp(&out.format[72], &in.format[48], 40));
    EXPECT_TRUE(IsAcceptedTransform(View(in), View(out), kHardware, nullptr));
    // The video-info type is then refused, and the video-info-2 one outside Hardware.
    EXPECT_FALSE(IsAcceptedTransform(View(in), View(in), kHardware, nullptr));
    EXPECT_FALSE(IsAcceptedTransform(View(in), View(out), kCopy, nullptr));
}

TEST(TransformRules, HardwareWithRgbFallsBackToCopy) {
    const MediaTypeValue in = Video(MakeFourcc('r', 'g', 'b', '3'), 64, 48, 24, kRgb);
    int32_t mode = kHardware;
    MediaTypeValue out;
    ASSERT_EQ(ProposeResult::kOk, ProposeOutputType(in, &mode, &out));
    EXPECT_EQ(0, mode);
    EXPECT_EQ(kFormatVideoInfo, out.formatType);
    EXPECT_EQ(in.format, out.format);
}

TEST(TransformRules, ShortFormatIsProposedUnchanged) {
    MediaTypeValue in = Video(kFourccHDYC, 64, 48, 16, kFourccHDYC);
    in.format.resize(60);
    int32_t mode = kHardware;
    MediaTypeValue out;
    ASSERT_EQ(ProposeResult::kOk, ProposeOutputType(in, &mode, &out));
    EXPECT_EQ(FourccSubtype(kFourccHDYC), out.subtype);
    EXPECT_EQ(60u, out.format.size());
    EXPECT_EQ(kHardware, mode);
}

TEST(TransformRules, ConversionChecksSizeAndOverflow) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> small(87, 0);
    EXPECT_EQ(ConvertResult::kInvalidArgument, ConvertToVideoInfo2(small.data(), 87, &out));
    EXPECT_EQ(ConvertResult::kInvalidArgument, ConvertToVideoInfo2(nullptr, 88, &out));
    // Only the declared size is looked at: nothing is read for an overflowing size.
    EXPECT_EQ(ConvertResult::kOverflow, ConvertToVideoInfo2(small.data(), 0xFFFFFFE8u, &out));
    EXPECT_EQ(ConvertResult::kOverflow, ConvertToVideoInfo2(small.data(), 0xFFFFFFFFu, &out));
    // Colour data after the header follows it into the new block.
    MediaTypeValue in = Video(MakeFourcc('r', 'g', 'b', '8'), 16, 8, 8, kRgb);
    in.format.resize(88 + 16, 0x5A);
    ASSERT_EQ(ConvertResult::kOk,
              ConvertToVideoInfo2(in.format.data(), static_cast<uint32_t>(in.format.size()), &out));
    ASSERT_EQ(in.format.size() + 24, out.size());
    EXPECT_EQ(0x5A, out.back());
    for (size_t i = 48; i < 72; ++i) {
        if (i >= 56 && i < 64) continue;  // picture aspect
        EXPECT_EQ(0, out[i]) << i;
    }
}

}  // namespace
}  // namespace lumoka
