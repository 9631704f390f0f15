#include "BenchHarness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include <malloc.h>
#else
#include <time.h>
#include <unistd.h>
#endif

namespace lumoka::bench {

namespace {

double Nanoseconds() {
#ifdef _WIN32
    static const double perTick = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1e9 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * perTick;
#else
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
#endif
}

}  // namespace

const char* RegimeName(Regime r) { return r == Regime::kHot ? "hot" : "cold"; }

const char* ClockName() {
#ifdef _WIN32
    return "QueryPerformanceCounter (wall time)";
#else
    return "thread CPU time";
#endif
}

CAlignedBuffer::CAlignedBuffer(size_t size) : size_(size) {
    const size_t rounded = (size + 63) / 64 * 64;
#ifdef _WIN32
    data_.reset(static_cast<uint8_t*>(_aligned_malloc(rounded, 64)));
#else
    data_.reset(static_cast<uint8_t*>(std::aligned_alloc(64, rounded)));
#endif
    if (data_) std::memset(data_.get(), 0, rounded);
}

void CAlignedBuffer::Free::operator()(uint8_t* p) const {
#ifdef _WIN32
    _aligned_free(p);
#else
    std::free(p);
#endif
}

CTimer::CTimer(size_t evictBytes) : evict_(evictBytes) {
    for (size_t i = 0; i < evict_.Size(); i += 4096) evict_.Data()[i] = static_cast<uint8_t>(i);
}

void CTimer::Evict() {
    // One load per cache line; the hardware prefetchers stream the rest.
    const uint8_t* p = evict_.Data();
    uint64_t sum = 0;
    for (size_t i = 0; i < evict_.Size(); i += 64) sum += p[i];
    sink_ += sum;
}

double CTimer::Round(const std::function<void()>& frame, Regime regime, int perRound) {
    if (regime == Regime::kHot) {
        const double t0 = Nanoseconds();
        for (int i = 0; i < perRound; ++i) frame();
        return Nanoseconds() - t0;
    }
    double total = 0;
    for (int i = 0; i < perRound; ++i) {
        Evict();
        const double t0 = Nanoseconds();
        frame();
        total += Nanoseconds() - t0;
    }
    return total;
}

Timing CTimer::Run(const std::function<void()>& frame, Regime regime, int perRound, int rounds,
                   int units) {
    double last = Round(frame, regime, perRound);
    // Cold frames need no warming beyond the first round (page faults, work buffers).
    for (int i = 0; i < 12 && regime == Regime::kHot; ++i) {
        const double t = Round(frame, regime, perRound);
        const bool steady = std::fabs(t - last) <= 0.03 * std::min(t, last);
        last = t;
        if (steady && i >= 1) break;
    }
    std::vector<double> v;
    for (int r = 0; r < rounds; ++r) v.push_back(Round(frame, regime, perRound));
    std::sort(v.begin(), v.end());
    const double per = static_cast<double>(perRound) * units;
    return Timing{v[v.size() / 2] / per, v.front() / per, v.back() / per};
}

uint32_t Checksum(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    return h;
}

size_t LastLevelCacheBytes() {
#ifdef _WIN32
    DWORD bytes = 0;
    GetLogicalProcessorInformation(nullptr, &bytes);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> info(
        bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    size_t best = 0;
    if (!info.empty() && GetLogicalProcessorInformation(info.data(), &bytes)) {
        for (const auto& i : info) {
            if (i.Relationship == RelationCache && i.Cache.Level >= 2) {
                best = std::max<size_t>(best, i.Cache.Size);
            }
        }
    }
    return best;
#else
    const long l3 = sysconf(_SC_LEVEL3_CACHE_SIZE);
    const long l2 = sysconf(_SC_LEVEL2_CACHE_SIZE);
    return static_cast<size_t>(std::max({l3, l2, 0L}));
#endif
}

}  // namespace lumoka::bench
