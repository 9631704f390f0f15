// What the processor offers the pixel routines. The first six flags are those of the
// identification instruction's function 1; the pipeline processes pixels only when MMX, SSE and
// SSE2 are all present. The AVX flags choose the wider fast paths, which give the same bytes.
#pragma once

namespace lumoka {

struct CpuFeatures {
    bool mmx = false;    // function 1, EDX bit 23
    bool sse = false;    // EDX bit 25
    bool sse2 = false;   // EDX bit 26
    bool sse3 = false;   // ECX bit 0
    bool sse41 = false;  // ECX bit 19
    bool sse42 = false;  // ECX bit 20
    // Only set when the operating system saves the wider registers (XGETBV).
    bool avx2 = false;
    bool avx512bw = false;
    bool avx512vbmi = false;
};

// Reads the running processor's features. Cheap enough to call at each connection.
CpuFeatures DetectCpuFeatures();

// The fast path the row routines take for a feature record.
enum class SimdLevel { kScalar, kSse2, kAvx2, kAvx512 };

// The widest path both the record and this build allow. kScalar when SSE2 is missing.
SimdLevel BestSimdLevel(const CpuFeatures& cpu);

}  // namespace lumoka
