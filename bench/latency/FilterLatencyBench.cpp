// Residence time of a frame in the transform filter: a live source feeds YUY2 frames at 60
// frames a second through the filter into a recording sink (no renderer, so nothing downstream
// waits); the filter's residence log (ILumokaFilterLatency) gives, for each output frame, the
// time from the input sample's arrival in the input pin to just before delivery. Every copy
// mode in Same frame mode and the field modes in Double, at 720 x 480 and 1920 x 1080, the
// whole process on one processor (the source's thread and the filter's work share it).
//
//   filter_latency_bench [--json FILE] [--frames N] [--all-cores]
// Prints a table of p50, p95 and max in milliseconds per case and writes it as JSON.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FilterTestSupport.h"
#include "filter/LumokaFilterLatency.h"
#include "filter/pipeline/FramePipeline.h"

namespace {

constexpr REFERENCE_TIME kFrameTime60 = 166667;
constexpr int kWarmUpFrames = 30;
const char* const kModeNames[] = {"Copy",  "Simple",     "Linear",  "LinearSharp",
                                  "Blend", "BlendSharp", "Hardware"};

struct Case {
    std::string name;
    int32_t copyMode = 0;
    int32_t frameMode = lumoka::kFrameModeSame;
};

struct Row {
    std::string name;
    int width = 0, height = 0;
    size_t frames = 0;
    double p50 = 0, p95 = 0, max = 0;
    bool ok = false;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (int32_t mode = 0; mode <= 6; ++mode) cases.push_back({kModeNames[mode], mode});
    for (int32_t mode = 1; mode <= 5; ++mode) {
        cases.push_back({std::string(kModeNames[mode]) + " Double", mode, lumoka::kFrameModeDouble});
    }
    return cases;
}

// Nearest-rank percentile of sorted values (p in 0..100).
double Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    size_t rank = static_cast<size_t>(p / 100.0 * sorted.size() + 0.999999);
    rank = std::min(std::max<size_t>(rank, 1), sorted.size());
    return sorted[rank - 1];
}

Row Measure(const Case& c, int width, int height, size_t frames) {
    Row row;
    row.name = c.name;
    row.width = width;
    row.height = height;
    CTransformGraph g(Yuy2Type(width, height, kFrameTime60));
    // A frame of one byte value per frame: the source's own work stays small.
    g.source->SetFill([](IMediaSample* sample, long index) {
        BYTE* data = nullptr;
        if (FAILED(sample->GetPointer(&data))) return E_FAIL;
        std::memset(data, 0x40 + (index & 0x3F), sample->GetSize());
        sample->SetActualDataLength(sample->GetSize());
        return S_OK;
    });
    g.sink->SetMaxDataSamples(0);
    g.Ctrl()->SetCopyMode(c.copyMode);
    g.Ctrl()->SetFrameMode(c.frameMode);
    Microsoft::WRL::ComPtr<ILumokaFilterLatency> latency;
    const size_t outputs = c.frameMode == lumoka::kFrameModeDouble ? 2 : 1;
    if (SUCCEEDED(g.ConnectAll()) &&
        SUCCEEDED(g.transform->QueryInterface(IID_PPV_ARGS(&latency))) && SUCCEEDED(g.Run()) &&
        g.sink->WaitForSamples(kWarmUpFrames, 20000) &&
        SUCCEEDED(latency->StartResidenceLog(static_cast<DWORD>(frames)))) {
        const size_t from = g.sink->SampleCount();
        // Twice the stream's time, and ten seconds more for a busy machine.
        const DWORD timeout = static_cast<DWORD>(frames * 2 * 1000 / 60 / outputs + 10000);
        g.sink->WaitForSamples(from + frames, timeout);
        latency->StopResidenceLog();
        std::vector<LONGLONG> ticks(frames);
        DWORD count = 0;
        latency->GetResidenceLog(ticks.data(), static_cast<DWORD>(ticks.size()), &count);
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        std::vector<double> ms;
        for (DWORD i = 0; i < count; ++i) ms.push_back(ticks[i] * 1000.0 / frequency.QuadPart);
        std::sort(ms.begin(), ms.end());
        row.frames = ms.size();
        row.p50 = Percentile(ms, 50);
        row.p95 = Percentile(ms, 95);
        row.max = ms.empty() ? 0 : ms.back();
        row.ok = row.frames == frames;
    }
    g.Stop();
    latency.Reset();
    g.ReleaseAll();
    return row;
}

bool WriteJson(const std::string& path, const std::vector<Row>& rows, bool oneCore) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "{\n  \"what\": \"filter residence, Receive to delivery\",\n");
    std::fprintf(f, "  \"unit\": \"ms\",\n  \"one_core\": %s,\n  \"rows\": [\n",
                 oneCore ? "true" : "false");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        std::fprintf(f,
                     "    {\"mode\": \"%s\", \"width\": %d, \"height\": %d, \"frames\": %zu, "
                     "\"p50\": %.4f, \"p95\": %.4f, \"max\": %.4f, \"complete\": %s}%s\n",
                     r.name.c_str(), r.width, r.height, r.frames, r.p50, r.p95, r.max,
                     r.ok ? "true" : "false", i + 1 < rows.size() ? "," : "");
    }
    std::fprintf(f, "  ]\n}\n");
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string json;
    size_t frames = 300;
    bool oneCore = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json" && i + 1 < argc) {
            json = argv[++i];
        } else if (a == "--frames" && i + 1 < argc) {
            frames = std::max(10, std::atoi(argv[++i]));
        } else if (a == "--all-cores") {
            oneCore = false;
        } else {
            std::fprintf(stderr, "usage: filter_latency_bench [--json FILE] [--frames N] [--all-cores]\n");
            return 2;
        }
    }
    if (oneCore) SetProcessAffinityMask(GetCurrentProcess(), 1);
    CComScope com;
    std::vector<Row> rows;
    std::printf("%-18s %10s %7s %9s %9s %9s\n", "mode", "size", "frames", "p50 ms", "p95 ms",
                "max ms");
    bool complete = true;
    for (const auto& size : {std::make_pair(720, 480), std::make_pair(1920, 1080)}) {
        for (const Case& c : Cases()) {
            const Row r = Measure(c, size.first, size.second, frames);
            std::printf("%-18s %4dx%-5d %7zu %9.3f %9.3f %9.3f%s\n", r.name.c_str(), r.width,
                        r.height, r.frames, r.p50, r.p95, r.max, r.ok ? "" : "  (incomplete)");
            std::fflush(stdout);
            complete = complete && r.ok;
            rows.push_back(r);
        }
    }
    if (!json.empty() && !WriteJson(json, rows, oneCore)) {
        std::fprintf(stderr, "cannot write %s\n", json.c_str());
        return 1;
    }
    return complete ? 0 : 1;
}
