// The transform filter's media-type rules over plain values: which input types it takes, which
// output types it accepts for an input, the output type it proposes, and the conversion of a
// video-info format block into a video-info-2 block. Free of platform headers, so the rules
// are unit-tested natively; the filter translates AM_MEDIA_TYPE to and from these structures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/pipeline/FramePipeline.h"

namespace lumoka {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};
bool operator==(const Guid& a, const Guid& b);
inline bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }

// The media subtype of a FOURCC ({fourcc-0000-0010-8000-00AA00389B71}).
Guid FourccSubtype(uint32_t fourcc);
constexpr uint32_t MakeFourcc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
constexpr uint32_t kFourccYUY2 = MakeFourcc('Y', 'U', 'Y', '2');
constexpr uint32_t kFourccUYVY = MakeFourcc('U', 'Y', 'V', 'Y');
constexpr uint32_t kFourccHDYC = MakeFourcc('H', 'D', 'Y', 'C');

extern const Guid kMediaTypeVideo;
extern const Guid kFormatVideoInfo;
extern const Guid kFormatVideoInfo2;

// Layout of the two format blocks: both start with the source and target rectangles, bit rate,
// bit error rate and average time per frame (48 bytes); video-info then has the bitmap header,
// video-info-2 six 32-bit words first.
constexpr size_t kVideoInfoSize = 88;
constexpr size_t kVideoInfo2Size = 112;
constexpr size_t kVideoInfoBitmapOffset = 48;
constexpr size_t kVideoInfo2BitmapOffset = 72;
constexpr size_t kVideoInfo2InterlaceOffset = 48;
constexpr size_t kVideoInfo2AspectXOffset = 56;
constexpr size_t kVideoInfo2AspectYOffset = 60;
constexpr uint32_t kInterlaceFlagsHardware = 0xA1;

// The 40-byte bitmap header.
struct BitmapHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};
BitmapHeader ReadBitmapHeader(const uint8_t* block, size_t offset);
void WriteBitmapHeader(uint8_t* block, size_t offset, const BitmapHeader& header);
// The part of a bitmap header the frame pipeline works from.
PictureHeader ToPictureHeader(const BitmapHeader& header);

// A media type as the rules see it. format points at formatSize bytes (or is null).
struct MediaTypeView {
    Guid majorType;
    Guid subtype;
    Guid formatType;
    bool fixedSizeSamples = false;
    bool temporalCompression = false;
    uint32_t sampleSize = 0;
    const uint8_t* format = nullptr;
    uint32_t formatSize = 0;
};

// An owned media type for the proposal.
struct MediaTypeValue {
    Guid majorType;
    Guid subtype;
    Guid formatType;
    bool fixedSizeSamples = false;
    bool temporalCompression = false;
    uint32_t sampleSize = 0;
    std::vector<uint8_t> format;
};

// Video major type with a video-info format type whose block is present and holds the whole
// header (88 bytes), which every later step reads; the subtype is not examined.
bool IsAcceptedInputType(const MediaTypeView& input);

// What Transform does with one input sample: drop it, or process `length` bytes of it.
struct InputSample {
    bool drop = false;
    size_t length = 0;
};
// actual: the sample's actual data length; bufferSize: the size of its buffer, which the length
// never passes (a sample claiming more is read only that far). For fixed-size samples the
// picture takes at least H x R bytes (H = |height|, R = width x bit count / 8, as the pipeline
// counts) and at most H rows padded to 32 bits, as a bitmap's: a shorter sample holds no whole
// picture and is dropped; a longer one is cut to the padded picture. Other types (and pictures
// with no rows) keep the sample's own length.
InputSample ClassifyInputSample(const BitmapHeader& input, bool fixedSizeSamples, int64_t actual,
                                int64_t bufferSize);

// The output type check for a given copy mode. On success the output bitmap header is written
// to *outputHeader (when not null).
bool IsAcceptedTransform(const MediaTypeView& input, const MediaTypeView& output, int32_t copyMode,
                         BitmapHeader* outputHeader);

enum class ConvertResult { kOk, kInvalidArgument, kOverflow, kOutOfMemory };

// Builds a video-info-2 block from a video-info block of size bytes: the first 48 bytes, six
// zeroed words, then the rest; picture aspect = width : |height|. A size of 0xFFFFFFE8 or more
// is an overflow (the new block would not fit in 32 bits), checked before anything is read.
ConvertResult ConvertToVideoInfo2(const uint8_t* block, uint32_t size, std::vector<uint8_t>* out);

enum class ProposeResult { kOk, kNoMoreItems, kInvalidArgument, kOverflow, kOutOfMemory };

// The output type proposed at position 0 for the connected input type. copyMode may be changed
// to Copy (0) when Hardware is set for a type that is not packed 4:2:2.
ProposeResult ProposeOutputType(const MediaTypeValue& input, int32_t* copyMode,
                                MediaTypeValue* output);

}  // namespace lumoka
