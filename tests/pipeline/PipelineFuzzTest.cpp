// A long randomised run over hostile geometry, lengths, settings and output sizes. Input and
// output live in heap blocks of exactly the stated sizes (so the address sanitizer sees any
// access past them) and the output is followed by canary bytes in a second check. Every frame
// is also compared with the plain reference.
#include <gtest/gtest.h>

#include <chrono>
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

// PIPELINE_FUZZ_SEED and PIPELINE_FUZZ_SECONDS run other or longer searches by hand.
unsigned long EnvOr(const char* name, unsigned long fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::strtoul(v, nullptr, 10) : fallback;
}

TEST(PipelineFuzz, NoAccessOutsideTheBuffersAndSameBytesAsTheReference) {
    const unsigned long seed = EnvOr("PIPELINE_FUZZ_SEED", 20240601);
    const unsigned long seconds = EnvOr("PIPELINE_FUZZ_SECONDS", 40);
    const int maxSequences = std::getenv("PIPELINE_FUZZ_SECONDS") != nullptr ? INT_MAX : 30000;
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    std::vector<SimdLevel> levels;
    for (SimdLevel l : kAllLevels) {
        if (Supported(l)) levels.push_back(l);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int frames = 0;
    for (int seq = 0; seq < maxSequences && std::chrono::steady_clock::now() < deadline; ++seq) {
        const SimdLevel level = levels[rng() % levels.size()];
        const CpuFeatures cpu = FeaturesFor(level);
        CFramePipeline fast;
        CReferencePipeline ref;
        PictureHeader in{PickWidth(rng), PickHeight(rng), PickBits(rng),
                         rng() % 2 ? 0u : 0x59565955u};
        for (int frame = 0; frame < 6; ++frame, ++frames) {
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

            // Exact-size blocks: one byte too far is a heap overflow for the sanitizer.
            std::unique_ptr<uint8_t[]> input(new uint8_t[length > 0 ? length : 1]);
            for (int64_t i = 0; i < length; ++i) input[i] = static_cast<uint8_t>(rng());
            std::unique_ptr<uint8_t[]> output(new uint8_t[outSize + 16]);
            std::vector<uint8_t> want(outSize + 16);
            for (size_t i = 0; i < outSize + 16; ++i)
                want[i] = output[i] = static_cast<uint8_t>(i * 7);
            std::unique_ptr<uint8_t[]> exact(new uint8_t[outSize > 0 ? outSize : 1]);
            std::copy(output.get(), output.get() + outSize, exact.get());

            const FrameBuffers exactBuffers{input.get(), static_cast<size_t>(length), exact.get(),
                                            outSize};
            const size_t n = fast.Transform(exactBuffers, in, out, s, firstField, cpu);
            ASSERT_LE(n, outSize);
            const FrameBuffers refBuffers{input.get(), static_cast<size_t>(length), want.data(),
                                          outSize};
            const size_t wantN = ref.Transform(refBuffers, in, out, s, firstField, cpu);
            ASSERT_EQ(n, wantN) << "seq " << seq << " frame " << frame;
            ASSERT_TRUE(std::equal(exact.get(), exact.get() + outSize, want.begin()))
                << "seed " << seed << " seq " << seq << " frame " << frame << " mode " << s.copyMode
                << " R " << r;
        }
    }
    EXPECT_GT(frames, 1000);
}

}  // namespace
}  // namespace lumoka::test
