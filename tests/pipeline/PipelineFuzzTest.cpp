// A randomised run over hostile geometry, lengths, settings and output sizes. The input lives in
// a heap block of exactly its stated size (the address sanitizer sees any read past it); the
// output sits between two canary zones, checked after every call, so a stray write shows in
// the Windows build too, where no sanitizer runs. Every frame is also compared with the plain
// reference. The seed and the number of sequences are fixed, so every machine does the same
// work; PIPELINE_FUZZ_SEED and PIPELINE_FUZZ_SEQUENCES run other or longer searches by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "ReferencePipeline.h"
#include "TestSupport.h"
#include "filter/pipeline/FramePipeline.h"

namespace lumoka::test {
namespace {

int32_t PickWidth(std::mt19937& rng) {
    switch (rng() % 8) {
        case 0:
            return static_cast<int32_t>(rng());  // anything, negative included
        case 1:
            return INT_MAX;
        case 2:
            return -static_cast<int32_t>(rng() % 50);
        default:
            return static_cast<int32_t>(rng() % 60);
    }
}

int32_t PickHeight(std::mt19937& rng) {
    switch (rng() % 8) {
        case 0:
            return INT_MIN;
        case 1:
            return static_cast<int32_t>(rng());
        default:
            return static_cast<int32_t>(rng() % 24) - 8;
    }
}

uint16_t PickBits(std::mt19937& rng) {
    static const uint16_t common[] = {8, 12, 16, 24, 32, 0, 1, 4, 48};
    return rng() % 10 == 0 ? static_cast<uint16_t>(rng()) : common[rng() % 9];
}

unsigned long EnvOr(const char* name, unsigned long fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::strtoul(v, nullptr, 10) : fallback;
}

// An output block with canary zones on both sides, wider than the widest store.
class CGuardedBlock {
public:
    explicit CGuardedBlock(size_t size) : size_(size), block_(new uint8_t[size + 2 * kZone]) {
        std::fill(block_.get(), block_.get() + kZone, kCanary);
        std::fill(Data() + size_, Data() + size_ + kZone, kCanary);
    }
    uint8_t* Data() { return block_.get() + kZone; }
    bool CanariesIntact() const {
        const uint8_t* end = block_.get() + kZone + size_;
        auto isCanary = [](uint8_t b) { return b == kCanary; };
        return std::all_of(block_.get(), block_.get() + kZone, isCanary) &&
               std::all_of(end, end + kZone, isCanary);
    }

private:
    static constexpr size_t kZone = 128;
    static constexpr uint8_t kCanary = 0xA5;
    size_t size_;
    std::unique_ptr<uint8_t[]> block_;
};

TEST(PipelineFuzz, NoAccessOutsideTheBuffersAndSameBytesAsTheReference) {
    const unsigned long seed = EnvOr("PIPELINE_FUZZ_SEED", 20240601);
    const unsigned long sequences = EnvOr("PIPELINE_FUZZ_SEQUENCES", 30000);
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    std::vector<SimdLevel> levels;
    for (SimdLevel l : kAllLevels) {
        if (Supported(l)) levels.push_back(l);
    }
    unsigned long produced = 0;
    for (unsigned long seq = 0; seq < sequences; ++seq) {
        const SimdLevel level = levels[rng() % levels.size()];
        const CpuFeatures cpu = FeaturesFor(level);
        CFramePipeline fast;
        CReferencePipeline ref;
        PictureHeader in{PickWidth(rng), PickHeight(rng), PickBits(rng),
                         rng() % 2 ? 0u : 0x59565955u};
        for (int frame = 0; frame < 6; ++frame) {
            if (rng() % 4 == 0)
                in = {PickWidth(rng), PickHeight(rng), PickBits(rng), in.compression};
            PictureHeader out = in;
            if (rng() % 3 == 0)
                out.width = rng() % 4 == 0 ? PickWidth(rng)
                                           : static_cast<int32_t>(int64_t{in.width} + rng() % 9);
            if (rng() % 3 == 0 && out.height != INT_MIN) out.height = -out.height;
            if (rng() % 5 == 0) out.compression = rng() % 2 ? 0u : 0x32595559u;
            TransformSettings s{static_cast<int32_t>(rng() % 10) - 2,
                                static_cast<int32_t>(rng() % 4), static_cast<int32_t>(rng() % 3),
                                static_cast<int32_t>(rng() % 5) - 1,
                                static_cast<int32_t>(rng() % 3)};
            const int32_t firstField = static_cast<int32_t>(rng() % 2);
            const int64_t r = int64_t{in.width} * in.bitCount / 8;
            const int64_t h =
                in.height == INT_MIN ? 64 : std::min<int64_t>(std::llabs(in.height), 64);
            int64_t length = (r > 0 && r < 4096) ? r * h : static_cast<int64_t>(rng() % 512);
            if (rng() % 3 == 0) length = static_cast<int64_t>(rng() % (length + 64));
            size_t outSize = static_cast<size_t>(length);
            if (rng() % 3 == 0) outSize = rng() % (outSize + 200);

            // The exact-size input: one byte too far is a heap overflow for the sanitizer.
            std::unique_ptr<uint8_t[]> input(new uint8_t[length > 0 ? length : 1]);
            for (int64_t i = 0; i < length; ++i) input[i] = static_cast<uint8_t>(rng());
            // The output's bytes start as a pattern the reference keeps where it writes nothing.
            std::vector<uint8_t> want(std::max<size_t>(outSize, 1));
            for (size_t i = 0; i < want.size(); ++i) want[i] = static_cast<uint8_t>(i * 7);
            CGuardedBlock output(outSize);
            std::copy(want.begin(), want.begin() + outSize, output.Data());

            const FrameBuffers buffers{input.get(), static_cast<size_t>(length), output.Data(),
                                       outSize};
            const size_t n = fast.Transform(buffers, in, out, s, firstField, cpu);
            ASSERT_TRUE(output.CanariesIntact())
                << "seed " << seed << " seq " << seq << " frame " << frame << " size " << outSize;
            ASSERT_LE(n, outSize);
            const FrameBuffers refBuffers{input.get(), static_cast<size_t>(length), want.data(),
                                          outSize};
            const size_t wantN = ref.Transform(refBuffers, in, out, s, firstField, cpu);
            ASSERT_EQ(n, wantN) << "seq " << seq << " frame " << frame;
            produced += n > 0;
            ASSERT_TRUE(std::equal(want.begin(), want.begin() + outSize, output.Data()))
                << "seed " << seed << " seq " << seq << " frame " << frame << " mode " << s.copyMode
                << " R " << r;
        }
    }
    // The generator keeps finding work: many frames pass the checks and make a picture.
    EXPECT_GT(produced, sequences);
}

}  // namespace
}  // namespace lumoka::test
