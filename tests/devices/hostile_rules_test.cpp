// The portable rules that keep a misbehaving driver's answers harmless, as tables: which
// capability pictures are usable, how far a lying count is walked, the capability buffer, the
// crossbar pins described, the transform filter's input type and sample lengths, and the video
// page's size bar over absurd ranges. The hostile card's Windows tests show the same rules at
// work through the catalogue, the build, the filter and the page.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "filter/TransformRules.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/VideoPageRules.h"

namespace {

TEST(HostileRules, PicturesWithZeroNegativeOrHugeSizesAreUnusable) {
    struct Row {
        int32_t width, height, bits;
        bool usable;
    };
    const Row rows[] = {
        {320, 240, 32, true},       {320, -240, 32, true},  // top-down RGB
        {1, 1, 0, true},            {0, 240, 32, false},    {-320, 240, 32, false},
        {320, 0, 32, false},        {INT_MAX, INT_MAX, 32, false},
        {65536, 65536, 32, false},  // 16 GiB
        {16384, 32767, 32, true},   // 2 GiB minus one row: still fits a sample's size
        {16384, 32768, 32, false},  {2147483644, 1, 8, true},  {INT_MAX, 1, 8, false},
        {320, INT_MIN, 32, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(IsUsableVideoPicture(r.width, r.height, r.bits), r.usable)
            << r.width << "x" << r.height << " " << r.bits;
    }
}

TEST(HostileRules, LyingCountsAndSizesAreBounded) {
    struct Row {
        int32_t reported, walk, crossbar;
    };
    const Row rows[] = {{-5, 0, 0},        {0, 0, 0},         {14, 14, 14},
                        {256, 256, 256},   {257, 257, 256},   {1024, 1024, 256},
                        {1025, 1024, 256}, {INT_MAX, 1024, 256}, {INT_MIN, 0, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(CapabilityWalkLength(r.reported), r.walk) << r.reported;
        EXPECT_EQ(CrossbarPinsToRead(r.reported), r.crossbar) << r.reported;
    }
    struct Size {
        int32_t reported;
        size_t bytes;
    };
    const Size sizes[] = {{-1, 128}, {0, 128}, {36, 128}, {128, 128}, {200, 200},
                          {65536, 65536}, {65537, 0}, {INT_MAX, 0}};
    for (const Size& s : sizes) EXPECT_EQ(CapsBufferBytes(s.reported, 128), s.bytes) << s.reported;
}

lumoka::MediaTypeView VideoView(const std::vector<uint8_t>& block) {
    lumoka::MediaTypeView v;
    v.majorType = lumoka::kMediaTypeVideo;
    v.formatType = lumoka::kFormatVideoInfo;
    v.format = block.empty() ? nullptr : block.data();
    v.formatSize = static_cast<uint32_t>(block.size());
    return v;
}

TEST(HostileRules, InputTypeNeedsTheWholeHeader) {
    const std::vector<uint8_t> whole(88, 0), header(40, 0), oneShort(87, 0), none;
    EXPECT_TRUE(lumoka::IsAcceptedInputType(VideoView(whole)));
    EXPECT_FALSE(lumoka::IsAcceptedInputType(VideoView(header)));
    EXPECT_FALSE(lumoka::IsAcceptedInputType(VideoView(oneShort)));
    EXPECT_FALSE(lumoka::IsAcceptedInputType(VideoView(none)));
    lumoka::MediaTypeView claimed = VideoView(none);
    claimed.formatSize = 88;  // a size without a block
    EXPECT_FALSE(lumoka::IsAcceptedInputType(claimed));
}

TEST(HostileRules, ShortSamplesAreDroppedLongOnesCut) {
    lumoka::BitmapHeader rgb;  // 320 x 240 RGB32: 307200 bytes
    rgb.width = 320;
    rgb.height = -240;
    rgb.bitCount = 32;
    lumoka::BitmapHeader noRows = rgb;
    noRows.width = 0;
    lumoka::BitmapHeader odd = rgb;  // RGB24 322 x 10: rows of 966 bytes, 968 when padded
    odd.width = 322;
    odd.height = 10;
    odd.bitCount = 24;
    struct Row {
        const lumoka::BitmapHeader* header;
        bool fixed;
        int64_t actual, buffer;
        bool drop;
        size_t length;
    };
    const Row rows[] = {
        {&rgb, true, 307200, 307200, false, 307200},
        {&rgb, true, 153600, 307200, true, 0},       // half a picture
        {&rgb, true, 307199, 307200, true, 0},       // a byte short
        {&rgb, true, 311296, 311296, false, 307200}, // 4096 bytes longer: cut
        {&rgb, true, 307200, 153600, true, 0},       // claims more than its buffer holds
        {&rgb, true, -1, 307200, true, 0},
        {&rgb, false, 1000, 307200, false, 1000},    // variable-size samples keep their length
        {&rgb, false, 400000, 307200, false, 307200},
        {&noRows, true, 500, 600, false, 500},
        {&odd, true, 9680, 9680, false, 9680},   // padded rows
        {&odd, true, 9660, 9680, false, 9660},   // unpadded rows
        {&odd, true, 9659, 9680, true, 0},
        {&odd, true, 9780, 9780, false, 9680},
    };
    for (const Row& r : rows) {
        const lumoka::InputSample s =
            lumoka::ClassifyInputSample(*r.header, r.fixed, r.actual, r.buffer);
        EXPECT_EQ(s.drop, r.drop) << r.actual << " of " << r.buffer;
        EXPECT_EQ(s.length, r.length) << r.actual << " of " << r.buffer;
    }
}

TEST(HostileRules, SizeBarOverAbsurdRangesStaysOff) {
    struct Row {
        int32_t current, minimum, maximum, granularity;
        bool enabled;
        int32_t maximumPosition;
    };
    const Row rows[] = {
        {320, INT_MIN, INT_MAX, 1, false, 0},  // 2^32 - 1 steps
        {320, INT_MIN, INT_MAX, 2, true, INT_MAX},
        {240, -5, INT_MAX, -8, false, 0},
        {320, 160, 640, 8, true, 60},
    };
    for (const Row& r : rows) {
        const editor::ScrollSetup s =
            editor::SizeScroll(r.current, r.minimum, r.maximum, r.granularity);
        EXPECT_EQ(s.Enabled, r.enabled) << r.minimum << " " << r.granularity;
        if (s.Enabled) EXPECT_EQ(s.Maximum, r.maximumPosition);
    }
}

}  // namespace
