// The deinterlacing modes, the vertical sharpen pass and the YC expansion staged around them,
// done row by row: each target row is produced while the source rows it needs are in cache,
// instead of whole-frame passes through the staging buffer.
//
// The field pictures of the blend modes are kept in compact form: a field picture's rows of its
// own field and its border rows are stored; each other row is by definition the row average of
// its two neighbours, so it is computed when read instead of stored. A buffer whose compact
// form belongs to another geometry is expanded in full before the geometry changes, so what
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
    uint8_t* scratch = nullptr;  // kScratchRows rows of scratchStride bytes
    int64_t scratchStride = 0;
    const RowKernels* kernels = nullptr;
};

constexpr int kScratchRows = 9;

// Runs one deinterlace job; returns the bytes produced in the output.
size_t RunDeinterlace(const DeinterlaceJob& job);

}  // namespace lumoka
