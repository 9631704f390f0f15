#include "filter/pipeline/CpuFeatures.h"

#include <cpuid.h>

#include <cstdint>

namespace lumoka {

namespace {

bool Bit(unsigned value, int bit) { return ((value >> bit) & 1u) != 0; }

// The register state the operating system saves on a context switch (XCR0).
uint64_t ReadXcr0() {
    uint32_t lo = 0;
    uint32_t hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<uint64_t>(hi) << 32) | lo;
}

}  // namespace

CpuFeatures DetectCpuFeatures() {
    CpuFeatures f;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    f.mmx = Bit(d, 23);
    f.sse = Bit(d, 25);
    f.sse2 = Bit(d, 26);
    f.sse3 = Bit(c, 0);
    f.sse41 = Bit(c, 19);
    f.sse42 = Bit(c, 20);

    const bool osxsave = Bit(c, 27);
    const bool avx = Bit(c, 28);
    if (!osxsave || !avx) return f;
    const uint64_t xcr0 = ReadXcr0();
    const bool ymmSaved = (xcr0 & 0x6) == 0x6;
    const bool zmmSaved = (xcr0 & 0xE6) == 0xE6;

    unsigned a7 = 0, b7 = 0, c7 = 0, d7 = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return f;
    __cpuid_count(7, 0, a7, b7, c7, d7);
    f.avx2 = ymmSaved && Bit(b7, 5);
    const bool avx512f = zmmSaved && Bit(b7, 16);
    f.avx512bw = avx512f && Bit(b7, 30);
    f.avx512vbmi = avx512f && Bit(c7, 1);
    return f;
}

SimdLevel BestSimdLevel(const CpuFeatures& cpu) {
    if (!cpu.sse2) return SimdLevel::kScalar;
#ifdef LUMOKA_HAVE_AVX512
    if (cpu.avx2 && cpu.avx512bw && cpu.avx512vbmi) return SimdLevel::kAvx512;
#endif
#ifdef LUMOKA_HAVE_AVX2
    if (cpu.avx2) return SimdLevel::kAvx2;
#endif
    return SimdLevel::kSse2;
}

}  // namespace lumoka
