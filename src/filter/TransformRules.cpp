#include "filter/TransformRules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace lumoka {

namespace {

constexpr int32_t kCopyModeHardwareValue = 6;
constexpr uint32_t kBitmapHeaderSize = 40;

uint32_t Read32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
uint64_t Read64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
void Write32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

bool HasVideoInfo(const MediaTypeView& t) {
    return t.formatType == kFormatVideoInfo && t.format && t.formatSize >= kVideoInfoSize;
}

// Offset of the bitmap header in a block of the type's format.
size_t BitmapOffset(const Guid& formatType) {
    return formatType == kFormatVideoInfo2 ? kVideoInfo2BitmapOffset : kVideoInfoBitmapOffset;
}

}  // namespace

bool operator==(const Guid& a, const Guid& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::memcmp(a.data4, b.data4, 8) == 0;
}

Guid FourccSubtype(uint32_t fourcc) {
    return Guid{fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

const Guid kMediaTypeVideo = FourccSubtype(MakeFourcc('v', 'i', 'd', 's'));
const Guid kFormatVideoInfo = {
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
const Guid kFormatVideoInfo2 = {
    0xF72A76A0, 0xEB0A, 0x11D0, {0xAC, 0xE4, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};

BitmapHeader ReadBitmapHeader(const uint8_t* block, size_t offset) {
    BitmapHeader h;
    const uint8_t* p = block + offset;
    std::memcpy(&h.size, p, 4);
    std::memcpy(&h.width, p + 4, 4);
    std::memcpy(&h.height, p + 8, 4);
    std::memcpy(&h.planes, p + 12, 2);
    std::memcpy(&h.bitCount, p + 14, 2);
    std::memcpy(&h.compression, p + 16, 4);
    std::memcpy(&h.sizeImage, p + 20, 4);
    std::memcpy(&h.xPelsPerMeter, p + 24, 4);
    std::memcpy(&h.yPelsPerMeter, p + 28, 4);
    std::memcpy(&h.clrUsed, p + 32, 4);
    std::memcpy(&h.clrImportant, p + 36, 4);
    return h;
}

void WriteBitmapHeader(uint8_t* block, size_t offset, const BitmapHeader& h) {
    uint8_t* p = block + offset;
    std::memcpy(p, &h.size, 4);
    std::memcpy(p + 4, &h.width, 4);
    std::memcpy(p + 8, &h.height, 4);
    std::memcpy(p + 12, &h.planes, 2);
    std::memcpy(p + 14, &h.bitCount, 2);
    std::memcpy(p + 16, &h.compression, 4);
    std::memcpy(p + 20, &h.sizeImage, 4);
    std::memcpy(p + 24, &h.xPelsPerMeter, 4);
    std::memcpy(p + 28, &h.yPelsPerMeter, 4);
    std::memcpy(p + 32, &h.clrUsed, 4);
    std::memcpy(p + 36, &h.clrImportant, 4);
}

bool IsAcceptedInputType(const MediaTypeView& input) {
    return input.majorType == kMediaTypeVideo && HasVideoInfo(input);
}

InputSample ClassifyInputSample(const BitmapHeader& input, bool fixedSizeSamples, int64_t actual,
                                int64_t bufferSize) {
    InputSample s;
    const int64_t length = std::max<int64_t>(std::min(actual, bufferSize), 0);
    s.length = static_cast<size_t>(length);
    const int64_t rows = std::llabs(static_cast<int64_t>(input.height));
    const int64_t rowBytes = static_cast<int64_t>(input.width) * input.bitCount / 8;
    // Rows padded to 32 bits, as a bitmap's are: the longest picture a sample may hold.
    const int64_t paddedRow = (static_cast<int64_t>(input.width) * input.bitCount + 31) / 32 * 4;
    if (!fixedSizeSamples || rowBytes <= 0 || rows == 0) return s;
    if (length < rowBytes * rows) {
        s.drop = true;
        s.length = 0;
    } else {
        s.length = static_cast<size_t>(std::min(length, paddedRow * rows));
    }
    return s;
}

bool IsAcceptedTransform(const MediaTypeView& in, const MediaTypeView& out, int32_t copyMode,
                         BitmapHeader* outputHeader) {
    // 1. Video, and the same major type.
    if (out.majorType != kMediaTypeVideo || out.majorType != in.majorType) return false;
    // 2. Hardware deinterlacing needs the interlace flags of a video-info-2 block.
    const Guid& wantFormat =
        copyMode == kCopyModeHardwareValue ? kFormatVideoInfo2 : kFormatVideoInfo;
    if (out.formatType != wantFormat) return false;
    // 3. HDYC goes out as UYVY (the same bytes, a subtype renderers know); else unchanged.
    const bool hdyc = in.subtype == FourccSubtype(kFourccHDYC);
    if (hdyc ? out.subtype != FourccSubtype(kFourccUYVY) : out.subtype != in.subtype) return false;
    // 4. Sample flags equal; room for a whole input frame.
    if (out.fixedSizeSamples != in.fixedSizeSamples ||
        out.temporalCompression != in.temporalCompression || out.sampleSize < in.sampleSize) {
        return false;
    }
    // 5. Both blocks present and long enough for what is read below.
    const uint32_t outMin = out.formatType == kFormatVideoInfo2 ? kVideoInfo2Size : kVideoInfoSize;
    if (!HasVideoInfo(in) || !out.format || out.formatSize < outMin) return false;
    // 6. Same rates; the frame mode never changes the declared frame time.
    if (Read32(in.format + 32) != Read32(out.format + 32) ||
        Read32(in.format + 36) != Read32(out.format + 36) ||
        Read64(in.format + 40) != Read64(out.format + 40)) {
        return false;
    }
    // 7. The pictures: the output may be larger (a padded buffer), never smaller.
    const BitmapHeader bi = ReadBitmapHeader(in.format, kVideoInfoBitmapOffset);
    const BitmapHeader bo = ReadBitmapHeader(out.format, BitmapOffset(out.formatType));
    if (std::llabs(bo.width) < std::llabs(bi.width) ||
        std::llabs(bo.height) < std::llabs(bi.height) || bo.planes != bi.planes ||
        bo.bitCount != bi.bitCount) {
        return false;
    }
    if (bo.compression != (hdyc ? kFourccUYVY : bi.compression)) return false;
    if (bo.sizeImage < bi.sizeImage || bo.xPelsPerMeter != bi.xPelsPerMeter ||
        bo.yPelsPerMeter != bi.yPelsPerMeter || bo.clrUsed != bi.clrUsed ||
        bo.clrImportant != bi.clrImportant) {
        return false;
    }
    if (outputHeader) *outputHeader = bo;
    return true;
}

ConvertResult ConvertToVideoInfo2(const uint8_t* block, uint32_t size, std::vector<uint8_t>* out) {
    if (size >= 0xFFFFFFE8u) return ConvertResult::kOverflow;
    if (!block || size < kVideoInfoSize) return ConvertResult::kInvalidArgument;
    try {
        out->assign(static_cast<size_t>(size) + 24, 0);
    } catch (const std::bad_alloc&) {
        return ConvertResult::kOutOfMemory;
    }
    uint8_t* p = out->data();
    std::memcpy(p, block, 48);
    std::memcpy(p + 72, block + 48, size - 48);
    const BitmapHeader bmi = ReadBitmapHeader(block, kVideoInfoBitmapOffset);
    Write32(p + kVideoInfo2AspectXOffset, static_cast<uint32_t>(bmi.width));
    Write32(p + kVideoInfo2AspectYOffset, static_cast<uint32_t>(std::llabs(bmi.height)));
    return ConvertResult::kOk;
}

ProposeResult ProposeOutputType(const MediaTypeValue& input, int32_t* copyMode,
                                MediaTypeValue* output) {
    *output = input;
    if (output->format.size() < kVideoInfoSize) return ProposeResult::kOk;
    const size_t bmiOffset = BitmapOffset(output->formatType);
    if (output->format.size() < bmiOffset + kBitmapHeaderSize) return ProposeResult::kOk;
    BitmapHeader bmi = ReadBitmapHeader(output->format.data(), bmiOffset);
    if (output->subtype == FourccSubtype(kFourccHDYC)) {
        output->subtype = FourccSubtype(kFourccUYVY);
        bmi.compression = kFourccUYVY;
        WriteBitmapHeader(output->format.data(), bmiOffset, bmi);
    }
    if (*copyMode != kCopyModeHardwareValue) return ProposeResult::kOk;
    if (bmi.compression != kFourccYUY2 && bmi.compression != kFourccHDYC &&
        bmi.compression != kFourccUYVY) {
        // Renderers deinterlace only packed 4:2:2 here; anything else is passed as it is.
        *copyMode = 0;
        return ProposeResult::kOk;
    }
    if (output->formatType != kFormatVideoInfo) return ProposeResult::kInvalidArgument;
    std::vector<uint8_t> block;
    switch (ConvertToVideoInfo2(output->format.data(), static_cast<uint32_t>(output->format.size()),
                                &block)) {
        case ConvertResult::kOk:
            break;
        case ConvertResult::kInvalidArgument:
            return ProposeResult::kInvalidArgument;
        case ConvertResult::kOverflow:
            return ProposeResult::kOverflow;
        case ConvertResult::kOutOfMemory:
            return ProposeResult::kOutOfMemory;
    }
    if (block.size() < kVideoInfo2Size) return ProposeResult::kNoMoreItems;
    Write32(block.data() + kVideoInfo2InterlaceOffset, kInterlaceFlagsHardware);
    output->format = std::move(block);
    output->formatType = kFormatVideoInfo2;
    return ProposeResult::kOk;
}

PictureHeader ToPictureHeader(const BitmapHeader& header) {
    PictureHeader p;
    p.width = header.width;
    p.height = header.height;
    p.bitCount = header.bitCount;
    p.compression = header.compression;
    return p;
}

}  // namespace lumoka
