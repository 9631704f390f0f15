// How a blend-mode field-picture buffer is stored between frames.
#pragma once

#include <cstdint>

namespace lumoka {

// Compact for a geometry (rowBytes > 0): the picture's own field rows and its border rows are
// stored, every other row is the row average of its two neighbours and is computed when read.
// Plain (rowBytes == 0): every byte is the picture's, e.g. right after allocation.
struct FieldPictureForm {
    int64_t rowBytes = 0;
    int64_t rows = 0;
};

}  // namespace lumoka
