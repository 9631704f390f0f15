// A plain, unfused implementation of the frame pipeline, written straight from the algorithm:
// whole-frame passes through the three work buffers, byte-at-a-time arithmetic, table lookups.
// The product's pipeline must give the same output bytes for every frame of every sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "filter/pipeline/FramePipeline.h"
#include "filter/pipeline/PixelKernels.h"

namespace lumoka::test {

class CReferencePipeline {
public:
    size_t Transform(const FrameBuffers& buffers, const PictureHeader& input,
                     const PictureHeader& output, const TransformSettings& settings,
                     int32_t firstField, const CpuFeatures& cpu);

    // Work buffer i as the algorithm leaves it (empty when never allocated).
    const std::vector<uint8_t>& WorkBuffer(int i) const { return buffers_[i]; }

private:
    uint8_t* Request(int i, size_t n);

    std::vector<uint8_t> buffers_[3];
};

// The two YC expansion tables written out independently of the product: luma from its closed
// formula, chroma entry by entry as it is defined.
uint8_t RefLuma(uint8_t x);
extern const uint8_t kRefChroma[256];

// Byte-at-a-time definitions the tests also use directly.
uint8_t RefAverage(uint8_t a, uint8_t b, size_t i, size_t n);
uint8_t RefSharpen(uint8_t a, uint8_t b);
void RefYcExpand(uint8_t* t, const uint8_t* s, size_t n, int32_t layout);

// A kernel set made of the definitions above, one byte at a time: what every set of the
// product, the scalar one included, must reproduce.
extern const RowKernels kDefinitionKernels;

}  // namespace lumoka::test
