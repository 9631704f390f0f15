// Helpers shared by the pipeline tests: feature records that force each instruction-set path,
// and random buffers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "filter/pipeline/CpuFeatures.h"

namespace lumoka::test {

inline const char* LevelName(SimdLevel level) {
    switch (level) {
        case SimdLevel::kScalar:
            return "Scalar";
        case SimdLevel::kSse2:
            return "Sse2";
        case SimdLevel::kAvx2:
            return "Avx2";
        case SimdLevel::kAvx512:
            return "Avx512";
    }
    return "?";
}

// A feature record whose best path is `level`: what a processor with just that much offers.
inline CpuFeatures FeaturesFor(SimdLevel level) {
    CpuFeatures f;
    f.mmx = f.sse = f.sse2 = level != SimdLevel::kScalar;
    f.avx2 = level == SimdLevel::kAvx2 || level == SimdLevel::kAvx512;
    f.avx512bw = f.avx512vbmi = level == SimdLevel::kAvx512;
    return f;
}

// True when this processor can run the path.
inline bool Supported(SimdLevel level) {
    const CpuFeatures f = DetectCpuFeatures();
    switch (level) {
        case SimdLevel::kScalar:
            return true;
        case SimdLevel::kSse2:
            return f.sse2;
        case SimdLevel::kAvx2:
            return f.avx2;
        case SimdLevel::kAvx512:
            return f.avx2 && f.avx512bw && f.avx512vbmi;
    }
    return false;
}

#define SKIP_UNLESS_SUPPORTED(level)                                                \
    do {                                                                            \
        if (!::lumoka::test::Supported(level))                                      \
            GTEST_SKIP() << "processor lacks " << ::lumoka::test::LevelName(level); \
    } while (0)

inline const SimdLevel kAllLevels[] = {SimdLevel::kScalar, SimdLevel::kSse2, SimdLevel::kAvx2,
                                       SimdLevel::kAvx512};
// The levels that process pixels (the pipeline only copies without SSE2).
inline const SimdLevel kPixelLevels[] = {SimdLevel::kSse2, SimdLevel::kAvx2, SimdLevel::kAvx512};

inline std::string LevelParamName(const testing::TestParamInfo<SimdLevel>& info) {
    return LevelName(info.param);
}

inline std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

}  // namespace lumoka::test
