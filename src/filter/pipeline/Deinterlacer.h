// The deinterlacing modes, the vertical sharpen pass and the YC expansion staged around them,
// done row by row: each target row is produced while the source rows it needs are in cache,
// instead of whole-frame passes through the staging buffer.
//
// The field pictures of the blend modes are kept in compact form: a field picture's rows of its
// own field and its border rows are stored, packed; each other row is by definition the row
// average of its two neighbours, so it is computed when read instead of stored. A buffer whose
// compact form belongs to another geometry is expanded in full before the geometry changes, so what
// the buffers mean is always exactly the full field pictures.
#pragma once

#include <cstdint>

#include "filter/pipeline/FieldPictureForm.h"
#include "filter/pipeline/PixelKernels.h"
#include "filter/pipeline/PixelOps.h"

namespace lumoka {

// Which rows of a picture of `rows` rows a field picture of `parity` (0 even, 1 odd) stores:
// its own field's rows and the rows without a neighbour on both sides.
inline bool IsStoredRow(int64_t y, int parity, int64_t rows) {
    return (y & 1) == parity || y == 0 || y == rows - 1;
}

// Where a compact field picture keeps its stored row y: the stored rows are packed in order at
// the start of the buffer (row 0, the field's rows, the last row), so the rows a frame writes
// and reads form one run instead of every other row of the whole buffer.
inline int64_t PackedRowIndex(int64_t y, int parity, int64_t rows) {
    if (y == 0) return 0;
    const bool otherBorder = y == rows - 1 && (y & 1) != parity;
    return (y + parity + (otherBorder ? 1 : 0)) / 2;
}

// Expands a compact field picture in place into the full picture and marks it plain.
void ExpandFieldPicture(uint8_t* buffer, int parity, FieldPictureForm& form, const RowKernels& k);

struct DeinterlaceJob {
    FrameLayout frame;         // input and output; frame.height is the picture height
    int32_t mode = 0;          // 1..5 deinterlace; anything else copies
    int field = 0;             // current field: 0 even rows, 1 odd rows
    int32_t ycLayout = 0;      // 0 none, 1 UYVY, 2 YUY2
    uint8_t* stage = nullptr;  // buffer 0 (L bytes) when YC expansion or sharpening is on
    uint8_t* fieldPictures[2] = {nullptr, nullptr};  // buffers 1 and 2 for the blend modes
    FieldPictureForm* forms[2] = {nullptr, nullptr};
    bool keepOtherField = true;  // false in Double mode
    // The frame is too large to stay in the caches: target rows of the blend modes are written
    // around them, so the rows still to be read stay cached.
    bool streamTarget = false;
    uint8_t* scratch = nullptr;  // kScratchRows rows of scratchStride bytes
    int64_t scratchStride = 0;
    const RowKernels* kernels = nullptr;
};

constexpr int kScratchRows = 9;

// Frames of at least this many bytes are written around the caches (DeinterlaceJob::streamTarget):
// with its source and the field pictures such a frame no longer fits a core's own caches, and
// smaller ones are faster read back from them. Measured: 1280x720 YUY2 (1.8 MB) gains as much
// as 1920x1080; 720x480 (0.7 MB) loses.
constexpr size_t kStreamTargetBytes = size_t{1} << 20;

// Runs one deinterlace job; returns the bytes produced in the output.
size_t RunDeinterlace(const DeinterlaceJob& job);

}  // namespace lumoka
