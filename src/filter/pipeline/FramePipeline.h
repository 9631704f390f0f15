// The per-frame work of the transform filter, free of any platform header: the picture
// geometry, the deinterlacing modes, the vertical sharpen pass, YC expansion, flip and row
// padding, plus the frame-rate rules that decide how many outputs an input sample gives.
//
// The DirectShow filter only translates: it copies the two bitmap headers into PictureHeader,
// its five settings into TransformSettings, calls CFramePipeline::Transform once per delivery
// and sets the returned count as the output sample's actual data length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/pipeline/CpuFeatures.h"
#include "filter/pipeline/FieldPictureForm.h"
#include "filter/pipeline/FrameRate.h"
#include "filter/pipeline/WorkBuffer.h"

namespace lumoka {

// The fields of a BITMAPINFOHEADER the pipeline reads.
struct PictureHeader {
    int32_t width = 0;
    int32_t height = 0;  // negative with compression 0: a top-down buffer
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // biCompression (0 = BI_RGB, otherwise a FOURCC)
};

enum CopyMode : int32_t {
    kCopyModeCopy = 0,
    kCopyModeSimple = 1,
    kCopyModeLinear = 2,
    kCopyModeLinearSharp = 3,
    kCopyModeBlend = 4,
    kCopyModeBlendSharp = 5,
    kCopyModeHardware = 6,
};

enum FieldOrder : int32_t {
    kFieldOrderTopFirst = 0,
    kFieldOrderBottomFirst = 1,
};

// Byte layouts of packed 4:2:2 video for YC expansion.
enum YCExpandMode : int32_t {
    kYCExpandOff = 0,
    kYCExpandUYVY = 1,  // chroma in bytes 0 and 2 of each 4-byte group, luma in 1 and 3
    kYCExpandYUY2 = 2,  // luma in bytes 0 and 2, chroma in 1 and 3
};

// The five transform settings as the filter holds them; values out of range are allowed and
// behave as documented at CFramePipeline::Transform.
struct TransformSettings {
    int32_t copyMode = kCopyModeCopy;
    int32_t frameMode = kFrameModeSame;  // FrameMode, see FrameRate.h
    int32_t fieldOrder = kFieldOrderTopFirst;
    int32_t ycExpand = kYCExpandOff;
    int32_t flipVertical = 0;  // nonzero: flip
};

// One delivery's buffers. inputLength is the input sample's actual data length; outputSize is
// the real size of the output buffer (nothing is ever written at or beyond it).
struct FrameBuffers {
    const uint8_t* input = nullptr;
    size_t inputLength = 0;
    uint8_t* output = nullptr;
    size_t outputSize = 0;
};

// Turns input samples into output pictures. Owns the three work buffers: buffer 0 stages a
// frame for YC expansion and the sharpen pass; buffers 1 and 2 keep the last even-field and
// odd-field pictures of the blend modes from one frame to the next.
//
// Thread: used only by the filter's streaming thread, under the filter's settings and receive
// locks; it has no lock of its own. Owned by the filter object (one per filter instance).
class CFramePipeline {
public:
    CFramePipeline() = default;
    CFramePipeline(const CFramePipeline&) = delete;
    CFramePipeline& operator=(const CFramePipeline&) = delete;

    // Produces one output picture. firstField is the input pin's first-field flag (1 for the
    // first or only output of an input sample, 0 for the second output in Double mode).
    // Returns the number of bytes produced in the output buffer, to be set as the output
    // sample's actual data length; 0 when nothing was written (missing buffer, row length
    // <= 0, work-buffer allocation failure).
    //
    // Out-of-range settings: a YC expansion other than 0, 1 and 2 is Off; a copy mode outside
    // 0..6 is a frame copy; a frame mode other than Half and Double is Same.
    size_t Transform(const FrameBuffers& buffers, const PictureHeader& input,
                     const PictureHeader& output, const TransformSettings& settings,
                     int32_t firstField, const CpuFeatures& cpu);

    // The contents of work buffer i (0..2) as full pictures (empty when not allocated). The
    // field pictures of buffers 1 and 2 are kept in a compact form between frames (see
    // Deinterlacer.h); this expands them. Buffer 0 is only staging: of it, only the bytes past
    // the last whole 4-byte group are kept, the only ones a later frame reads.
    void CopyWorkBuffer(int i, std::vector<uint8_t>& out) const;

private:
    CWorkBuffer buffers_[3];
    FieldPictureForm forms_[2];  // how buffers 1 and 2 are stored
    CWorkBuffer scratch_;        // a few rows for the row-by-row passes
};

}  // namespace lumoka
