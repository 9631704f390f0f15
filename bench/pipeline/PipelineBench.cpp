// Frame pipeline speed against memcpy of the same frame, one core, warm cache. Each case is
// timed in rounds interleaved with memcpy rounds, so both see the same machine load; the table
// and the JSON give medians and their ratio. Times are the thread's CPU time, so that other
// processes taking the core away (the build machine is shared) do not count.
//
//   pipeline_bench [--json FILE] [--level sse2|avx2|avx512] [--rounds N] [--only CASE]
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "filter/pipeline/FramePipeline.h"

namespace {

using lumoka::CFramePipeline;
using lumoka::CpuFeatures;

double ThreadNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

struct Case {
    std::string name;
    lumoka::TransformSettings settings;
    bool memcpyOnly = false;
};

struct Row {
    std::string name;
    int width = 0, height = 0;
    double ns = 0, memcpyNs = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::vector<Case> Cases() {
    static const char* modeNames[] = {"Copy",  "Simple",     "Linear",  "LinearSharp",
                                      "Blend", "BlendSharp", "Hardware"};
    std::vector<Case> cases;
    for (int32_t mode = 0; mode <= 6; ++mode) {
        for (int32_t yc : {0, 2}) {
            for (int32_t flip : {0, 1}) {
                Case c;
                c.name = std::string(modeNames[mode]) + (yc ? "+YUY2" : "") + (flip ? "+flip" : "");
                c.settings = {mode, lumoka::kFrameModeSame, lumoka::kFieldOrderTopFirst, yc, flip};
                cases.push_back(c);
            }
        }
    }
    for (int32_t mode = 1; mode <= 5; ++mode) {
        Case c;
        c.name = std::string(modeNames[mode]) + " Double";
        c.settings = {mode, lumoka::kFrameModeDouble, lumoka::kFieldOrderTopFirst, 0, 0};
        cases.push_back(c);
    }
    return cases;
}

class CBench {
public:
    CBench(int width, int height, const CpuFeatures& cpu, int rounds)
        : width_(width), height_(height), cpu_(cpu), rounds_(rounds) {
        const size_t n = static_cast<size_t>(width) * 2 * height;
        std::mt19937 rng(1);
        input_ = Frame(n);
        output_ = Frame(n);
        for (size_t i = 0; i < n; ++i) input_.data()[i] = static_cast<uint8_t>(16 + rng() % 220);
        // Enough frames per round to last about a millisecond or more.
        perRound_ = std::max(2, static_cast<int>(8000000 / n));
    }

    Row Measure(const Case& c) {
        CFramePipeline pipeline;
        const lumoka::PictureHeader header{width_, height_, 16, 0x32595559};
        const lumoka::FrameBuffers buffers{input_.data(), input_.size(), output_.data(),
                                           output_.size()};
        const bool twice = c.settings.frameMode == lumoka::kFrameModeDouble;
        auto frame = [&] {
            pipeline.Transform(buffers, header, header, c.settings, 1, cpu_);
            if (twice) pipeline.Transform(buffers, header, header, c.settings, 0, cpu_);
        };
        auto copy = [&] { std::memcpy(output_.data(), input_.data(), input_.size()); };
        for (int i = 0; i < perRound_; ++i) frame();  // warm up caches and work buffers
        std::vector<double> mine, base;
        for (int r = 0; r < rounds_; ++r) {
            base.push_back(Time(copy));
            mine.push_back(Time(frame));
        }
        return Row{c.name, width_, height_, Median(mine), Median(base)};
    }

private:
    template <typename F>
    double Time(F f) {
        const double t0 = ThreadNanoseconds();
        for (int i = 0; i < perRound_; ++i) f();
        return (ThreadNanoseconds() - t0) / perRound_;
    }

    int width_, height_;
    CpuFeatures cpu_;
    int rounds_;
    int perRound_ = 1;
    // Frames aligned as a video allocator hands them out (whole cache lines).
    struct Frame {
        Frame() = default;
        explicit Frame(size_t n)
            : size_(n),
              p_(static_cast<uint8_t*>(std::aligned_alloc(64, (n + 63) / 64 * 64)), std::free) {
            std::memset(p_.get(), 0, n);
        }
        uint8_t* data() const { return p_.get(); }
        size_t size() const { return size_; }
        size_t size_ = 0;
        std::unique_ptr<uint8_t, void (*)(void*)> p_{nullptr, std::free};
    };
    Frame input_, output_;
};

const char* LevelName(lumoka::SimdLevel l) {
    switch (l) {
        case lumoka::SimdLevel::kAvx512:
            return "avx512";
        case lumoka::SimdLevel::kAvx2:
            return "avx2";
        case lumoka::SimdLevel::kSse2:
            return "sse2";
        default:
            return "scalar";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string json;
    std::string level;
    std::string only;
    int rounds = 15;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--json") json = argv[i + 1];
        if (a == "--level") level = argv[i + 1];
        if (a == "--only") only = argv[i + 1];
        if (a == "--rounds") rounds = std::max(3, std::atoi(argv[i + 1]));
    }
    CpuFeatures cpu = lumoka::DetectCpuFeatures();
    if (level == "sse2") cpu.avx2 = cpu.avx512bw = cpu.avx512vbmi = false;
    if (level == "avx2") cpu.avx512bw = cpu.avx512vbmi = false;
    std::printf("path: %s\n", LevelName(lumoka::BestSimdLevel(cpu)));

    std::vector<Row> rows;
    for (auto [w, h] : {std::pair{720, 480}, std::pair{1920, 1080}}) {
        CBench bench(w, h, cpu, rounds);
        Row m = bench.Measure(Case{"Copy", {}, false});
        m.name = "memcpy";
        m.ns = m.memcpyNs;
        rows.push_back(m);
        for (const Case& c : Cases()) {
            if (only.empty() || c.name == only) rows.push_back(bench.Measure(c));
        }
    }

    std::printf("%-22s %10s %14s %14s %7s\n", "case", "frame", "ns/frame", "memcpy ns", "ratio");
    for (const Row& r : rows) {
        std::printf("%-22s %4dx%-5d %14.0f %14.0f %7.2f\n", r.name.c_str(), r.width, r.height, r.ns,
                    r.memcpyNs, r.ns / r.memcpyNs);
    }
    if (!json.empty()) {
        FILE* f = std::fopen(json.c_str(), "w");
        if (f == nullptr) {
            std::perror(json.c_str());
            return 1;
        }
        std::fprintf(f, "[\n");
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            std::fprintf(
                f,
                "  {\"case\": \"%s\", \"width\": %d, \"height\": %d, \"ns_per_frame\": "
                "%.1f, \"memcpy_ns_per_frame\": %.1f, \"ratio\": %.4f, \"path\": \"%s\"}%s\n",
                r.name.c_str(), r.width, r.height, r.ns, r.memcpyNs, r.ns / r.memcpyNs,
                LevelName(lumoka::BestSimdLevel(cpu)), i + 1 < rows.size() ? "," : "");
        }
        std::fprintf(f, "]\n");
        std::fclose(f);
        std::printf("written %s\n", json.c_str());
    }
    return 0;
}
