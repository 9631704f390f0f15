// Frame pipeline speed against memcpy of the same frame, one core, in two regimes (hot and cold,
// see BenchHarness.h). Every operation, memcpy included, is timed in a block of its own after
// its own warm-up; each case's ratio is to the memcpy block run just before it. Rows give the
// median, min and max per output frame (Double: also per input frame), the memory traffic the
// mode must move as a multiple of memcpy's (read the frame once, write it once), the target
// and, for the blend modes, the floor: the least loop with the same loads, stores and
// arithmetic (Floors.cpp). The checksum of the last output shows the work was done and lets
// the two builds be compared.
//
//   pipeline_bench [--json FILE] [--level sse2|avx2|avx512] [--rounds N] [--only CASE]
//                  [--regime hot|cold|both] [--evict-mb N]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "Floors.h"
#include "filter/pipeline/FramePipeline.h"

namespace {

using lumoka::bench::CAlignedBuffer;
using lumoka::bench::CTimer;
using lumoka::bench::Regime;
using lumoka::bench::Timing;

constexpr double kNoTarget = 0;

// Natively the times are the thread's CPU time and the medians are compared. Under Windows they
// are wall time (Wine has no finer thread time), where other processes on a shared machine
// lengthen some rounds: there the ratio of the minima is compared with the target.
#ifdef _WIN32
constexpr bool kJudgeMinima = true;
#else
constexpr bool kJudgeMinima = false;
#endif

struct Case {
    std::string name;
    lumoka::TransformSettings settings;
    double traffic = 1;            // bytes the mode must move per output frame / memcpy's 2N
    double hotTarget = kNoTarget;  // ratio bound; for +YUY2 added to the base mode's ratio
    double coldTarget = kNoTarget;
    std::string base;  // the mode a +YUY2 case adds to
};

struct Row {
    std::string regime, name;
    int width = 0, height = 0;
    Timing t;
    double perInput = 0, memcpyNs = 0, ratio = 0, minRatio = 0, traffic = 0, target = kNoTarget;
    double floor = 0;
    uint32_t checksum = 0;
};

const char* const kModeNames[] = {"Copy",  "Simple",     "Linear",  "LinearSharp",
                                  "Blend", "BlendSharp", "Hardware"};

// Same mode: Copy moves the frame in and out (1); the single-field modes read one field and
// write the frame (0.75); the blend modes also read the other field's picture and write both
// pictures (1.75). Double, per output: the single-field modes 0.75; the blend modes read the
// frame, the previous field picture, write both pictures and two frames per input (1.125).
double Traffic(int mode, bool twice) {
    if (mode == 0 || mode == 6) return 1.0;
    if (mode <= 3) return 0.75;
    return twice ? 1.125 : 1.75;
}

double HotTarget(int mode) {
    static const double t[] = {1.1, 1.1, 1.2, 2.2, 1.8, 2.2, 1.1};
    return t[mode];
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (int32_t mode = 0; mode <= 6; ++mode) {
        for (int32_t yc : {0, 2}) {
            for (int32_t flip : {0, 1}) {
                Case c;
                c.name =
                    std::string(kModeNames[mode]) + (yc ? "+YUY2" : "") + (flip ? "+flip" : "");
                c.settings = {mode, lumoka::kFrameModeSame, lumoka::kFieldOrderTopFirst, yc, flip};
                c.traffic = Traffic(mode, false);
                c.hotTarget = yc ? 0.5 : HotTarget(mode);
                c.base = yc ? std::string(kModeNames[mode]) + (flip ? "+flip" : "") : "";
                const bool single = mode <= 2 || mode == 6;
                if (!yc) c.coldTarget = single ? 1.15 : 1.15 * c.traffic;
                cases.push_back(c);
            }
        }
    }
    for (int32_t mode = 1; mode <= 5; ++mode) {
        Case c;
        c.name = std::string(kModeNames[mode]) + " Double";
        c.settings = {mode, lumoka::kFrameModeDouble, lumoka::kFieldOrderTopFirst, 0, 0};
        c.traffic = Traffic(mode, true);
        c.coldTarget = 1.15 * c.traffic;
        cases.push_back(c);
    }
    return cases;
}

// The cold regime is measured at 1080p for the modes without flip (which only reverses the
// row order).
bool InColdSet(const Case& c) { return c.name.find("+flip") == std::string::npos; }

class CBench {
public:
    CBench(int width, int height, const lumoka::CpuFeatures& cpu, int rounds, CTimer& timer)
        : width_(width),
          height_(height),
          cpu_(cpu),
          rounds_(rounds),
          timer_(timer),
          n_(static_cast<size_t>(width) * 2 * height),
          input_(n_),
          output_(n_) {
        std::mt19937 rng(1);
        for (size_t i = 0; i < n_; ++i) input_.Data()[i] = static_cast<uint8_t>(16 + rng() % 220);
        // At least 8 frames, and about 8 MB of frames, per timed round.
        perRound_ = std::max(8, static_cast<int>(8000000 / n_));
    }

    Timing Memcpy(Regime regime) {
        return timer_.Run([&] { std::memcpy(output_.Data(), input_.Data(), n_); }, regime,
                          perRound_, rounds_);
    }
    uint32_t OutputChecksum() const { return lumoka::bench::Checksum(output_.Data(), n_); }

    Row Measure(const Case& c, Regime regime) {
        lumoka::CFramePipeline pipeline;
        const lumoka::PictureHeader header{width_, height_, 16, 0x32595559};
        const lumoka::FrameBuffers buffers{input_.Data(), n_, output_.Data(), n_};
        const bool twice = c.settings.frameMode == lumoka::kFrameModeDouble;
        auto frame = [&] {
            pipeline.Transform(buffers, header, header, c.settings, 1, cpu_);
            if (twice) pipeline.Transform(buffers, header, header, c.settings, 0, cpu_);
        };
        Row r = Start(c.name, regime);
        r.t = timer_.Run(frame, regime, perRound_, rounds_, twice ? 2 : 1);
        r.perInput = r.t.median * (twice ? 2 : 1);
        r.traffic = c.traffic;
        r.checksum = lumoka::bench::Checksum(output_.Data(), n_);
        return r;
    }

    Row MeasureFloor(const lumoka::FloorLoop& f, Regime regime, uint32_t checksum, double traffic) {
        Row r = Start(f.name, regime);
        r.traffic = traffic;
        r.t = timer_.Run(f.frame, regime, perRound_, rounds_, f.outputs);
        r.perInput = r.t.median * f.outputs;
        r.checksum = checksum;
        return r;
    }

    Row Start(const std::string& name, Regime regime) {
        Row r;
        r.regime = lumoka::bench::RegimeName(regime);
        r.name = name;
        r.width = width_;
        r.height = height_;
        return r;
    }

private:
    int width_, height_;
    lumoka::CpuFeatures cpu_;
    int rounds_;
    CTimer& timer_;
    size_t n_;
    int perRound_ = 8;
    CAlignedBuffer input_, output_;
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

struct Options {
    std::string json, level, only, regime = "both";
    int rounds = 15;
    size_t evictBytes = 0;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--json") o.json = argv[i + 1];
        if (a == "--level") o.level = argv[i + 1];
        if (a == "--only") o.only = argv[i + 1];
        if (a == "--regime") o.regime = argv[i + 1];
        if (a == "--rounds") o.rounds = std::max(3, std::atoi(argv[i + 1]));
        if (a == "--evict-mb") o.evictBytes = std::strtoull(argv[i + 1], nullptr, 10) << 20;
    }
    if (o.evictBytes == 0) {
        // Twice the last-level cache, within 64 MB .. 1 GB (a shared cache larger than that
        // is mostly other tenants' anyway).
        const size_t llc = lumoka::bench::LastLevelCacheBytes();
        o.evictBytes = std::clamp<size_t>(2 * llc, size_t{64} << 20, size_t{1} << 30);
    }
    return o;
}

// The memcpy row of a regime and size: the medians of its blocks, and their extremes.
Row MemcpyRow(const std::vector<Timing>& blocks, const Row& like) {
    Row m = like;
    m.name = "memcpy";
    std::vector<double> medians;
    m.t.min = blocks.front().min;
    for (const Timing& t : blocks) {
        medians.push_back(t.median);
        m.t.min = std::min(m.t.min, t.min);
        m.t.max = std::max(m.t.max, t.max);
    }
    std::sort(medians.begin(), medians.end());
    m.t.median = m.perInput = m.memcpyNs = medians[medians.size() / 2];
    m.ratio = m.minRatio = m.traffic = 1;
    return m;
}

void Print(const std::vector<Row>& rows) {
    std::printf("%-6s %-24s %9s %10s %10s %10s %10s %10s %6s %6s %7s %7s %6s %4s %8s\n", "regime",
                "case", "frame", "ns/out", "min", "max", "ns/in", "memcpy", "ratio", "minrat",
                "traffic", "target", "floor", "ok", "checksum");
    for (const Row& r : rows) {
        char target[16] = "-", floor[16] = "-";
        if (r.target != kNoTarget) std::snprintf(target, sizeof(target), "%.2f", r.target);
        if (r.floor != 0) std::snprintf(floor, sizeof(floor), "%.2f", r.floor);
        const double judged = kJudgeMinima ? r.minRatio : r.ratio;
        const char* ok = r.target == kNoTarget ? "-" : (judged <= r.target ? "yes" : "NO");
        std::printf(
            "%-6s %-24s %4dx%-4d %10.0f %10.0f %10.0f %10.0f %10.0f %6.2f %6.2f %7.2f %7s %6s "
            "%4s %08x\n",
            r.regime.c_str(), r.name.c_str(), r.width, r.height, r.t.median, r.t.min, r.t.max,
            r.perInput, r.memcpyNs, r.ratio, r.minRatio, r.traffic, target, floor, ok, r.checksum);
    }
}

bool WriteJson(const std::string& path, const std::vector<Row>& rows, const char* level) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    std::fprintf(f, "[\n");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        std::fprintf(
            f,
            "  {\"regime\": \"%s\", \"case\": \"%s\", \"width\": %d, \"height\": %d, "
            "\"ns_per_output\": %.1f, \"min\": %.1f, \"max\": %.1f, "
            "\"ns_per_input\": %.1f, \"memcpy_ns\": %.1f, \"ratio\": %.4f, \"min_ratio\": %.4f, "
            "\"traffic\": %.3f, \"target\": %.3f, \"floor\": %.4f, "
            "\"checksum\": \"%08x\", \"path\": \"%s\"}%s\n",
            r.regime.c_str(), r.name.c_str(), r.width, r.height, r.t.median, r.t.min, r.t.max,
            r.perInput, r.memcpyNs, r.ratio, r.minRatio, r.traffic, r.target, r.floor, r.checksum,
            level, i + 1 < rows.size() ? "," : "");
    }
    std::fprintf(f, "]\n");
    std::fclose(f);
    std::printf("written %s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = Parse(argc, argv);
    lumoka::CpuFeatures cpu = lumoka::DetectCpuFeatures();
    if (o.level == "sse2") cpu.avx2 = cpu.avx512bw = cpu.avx512vbmi = false;
    if (o.level == "avx2") cpu.avx512bw = cpu.avx512vbmi = false;
    const char* level = LevelName(lumoka::BestSimdLevel(cpu));
    CTimer timer(o.evictBytes);
    std::printf(
        "path: %s; clock: %s; cold eviction: %zu MB read before each frame; targets "
        "judged on the %s\n",
        level, lumoka::bench::ClockName(), timer.EvictBytes() >> 20,
        kJudgeMinima ? "ratio of the minima (minrat)" : "ratio of the medians");

    lumoka::CFloors floors;
    std::vector<Row> rows;
    for (Regime regime : {Regime::kHot, Regime::kCold}) {
        if (o.regime != "both" && o.regime != lumoka::bench::RegimeName(regime)) continue;
        for (auto [w, h] : {std::pair{720, 480}, std::pair{1920, 1080}}) {
            if (regime == Regime::kCold && w != 1920) continue;
            CBench bench(w, h, cpu, regime == Regime::kHot ? o.rounds : (o.rounds + 2) / 3, timer);
            std::vector<Timing> memcpyBlocks;
            std::vector<Row> measured;
            std::map<std::string, double> ratios;
            auto add = [&](Row r, double target) {
                const Timing m = bench.Memcpy(regime);
                memcpyBlocks.push_back(m);
                r.memcpyNs = m.median;
                r.ratio = r.t.median / m.median;
                r.minRatio = r.t.min / m.min;
                r.target = target;
                ratios[r.name] = kJudgeMinima ? r.minRatio : r.ratio;
                measured.push_back(r);
            };
            for (const Case& c : Cases()) {
                if (!o.only.empty() && c.name != o.only) continue;
                if (regime == Regime::kCold && !InColdSet(c)) continue;
                Row r = bench.Measure(c, regime);
                // The targets are set for 1920x1080 (a 720x480 frame fits a core's own cache,
                // where memcpy is bound by nothing else).
                double target = regime == Regime::kHot ? c.hotTarget : c.coldTarget;
                if (regime == Regime::kHot && !c.base.empty()) {
                    target = ratios.count(c.base) ? ratios[c.base] + c.hotTarget : kNoTarget;
                }
                if (w != 1920) target = kNoTarget;
                add(r, target);
            }
            if (w == 1920) {
                for (const lumoka::FloorLoop& f : floors.Loops()) {
                    if (!o.only.empty() && o.only != f.mode) continue;
                    const std::string mode = f.mode;
                    const double traffic = mode.find("Linear") == 0                   ? 0.75
                                           : mode.find("Double") != std::string::npos ? 1.125
                                                                                      : 1.75;
                    add(bench.MeasureFloor(f, regime, floors.OutputChecksum(), traffic), kNoTarget);
                    for (Row& r : measured) {
                        if (r.name == f.mode) r.floor = ratios[measured.back().name];
                    }
                }
            }
            if (memcpyBlocks.empty()) continue;
            Row copy = MemcpyRow(memcpyBlocks, bench.Start("memcpy", regime));
            copy.checksum = bench.OutputChecksum();
            rows.push_back(copy);
            rows.insert(rows.end(), measured.begin(), measured.end());
        }
    }
    Print(rows);
    return o.json.empty() || WriteJson(o.json, rows, level) ? 0 : 1;
}
