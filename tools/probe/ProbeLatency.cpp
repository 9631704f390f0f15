#include "ProbeLatency.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "ProbeBuild.h"
#include "ProbeOutput.h"
#include "app/ProgramGraphFactory.h"
#include "config/Config.h"
#include "devices/FrameStampRing.h"
#include "devices/signal/FrameCounter.h"
#include "graph/GraphController.h"

namespace {

struct ScreenSample {
    int64_t qpc;
    long counter;  // -1: not readable
};

// Reads the screen's copy of the counter band: only the band's rows are copied (the rest of the
// buffer stays black), which keeps a sample short.
class CBandReader {
public:
    CBandReader(const RECT& screenRect)
        : m_rect(screenRect), m_width(screenRect.right - screenRect.left),
          m_height(screenRect.bottom - screenRect.top),
          m_band(std::max(1, lumoka::CounterBandHeight(m_height))) {
        m_screen = GetDC(nullptr);
        m_memory = CreateCompatibleDC(m_screen);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = m_width;
        bi.bmiHeader.biHeight = -m_height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_bitmap = CreateDIBSection(m_memory, &bi, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_memory, m_bitmap);
        m_layout.format = lumoka::PixelFormat::kRGB32;
        m_layout.width = m_width;
        m_layout.height = m_height;
        m_layout.stride = static_cast<size_t>(m_width) * 4;
    }
    ~CBandReader() {
        SelectObject(m_memory, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_memory);
        ReleaseDC(nullptr, m_screen);
    }
    long Read() {
        if (!m_bits) return -1;
        BitBlt(m_memory, 0, 0, m_width, m_band, m_screen, m_rect.left, m_rect.top, SRCCOPY);
        GdiFlush();
        const auto value = lumoka::DecodeFrameCounter(static_cast<const uint8_t*>(m_bits),
                                                      m_layout.ImageSize(), m_layout);
        return value ? static_cast<long>(*value) : -1;
    }

private:
    RECT m_rect;
    int m_width, m_height, m_band;
    HDC m_screen = nullptr, m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
    lumoka::PictureLayout m_layout;
};

int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t rank = static_cast<size_t>(p / 100.0 * v.size() + 0.999999);
    return v[std::min(std::max<size_t>(rank, 1), v.size()) - 1];
}

// Two decimals, as the probe writes its other figures.
std::wstring Milliseconds(double ms) {
    return Hundredths(static_cast<int32_t>(ms * 100.0 + 0.5));
}

// Sizes the client area to the video's native size, so the band is read unscaled.
void FitClientToVideo(HWND hwnd, CGraphController& graph) {
    const IntSize native = graph.NativeSize();
    RECT r{0, 0, native.cx, native.cy};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    graph.UpdateVideoPosition();
}

struct Figures {
    size_t produced = 0, shown = 0, twice = 0;
    std::vector<double> latencies;
    double fps = 0, sampleMs = 0;
};

Figures Evaluate(const std::vector<ScreenSample>& samples, const lumoka::CFrameStampRing& ring,
                 int64_t firstStamp, double frameMs) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const double toMs = 1000.0 / static_cast<double>(f.QuadPart);
    Figures r;
    const int64_t begin = samples.front().qpc, end = samples.back().qpc;
    // First and last appearance of each counter on the screen.
    std::map<long, std::pair<int64_t, int64_t>> seen;
    for (const ScreenSample& s : samples) {
        if (s.counter < 0) continue;
        auto it = seen.find(s.counter);
        if (it == seen.end()) seen[s.counter] = {s.qpc, s.qpc};
        else it->second.second = s.qpc;
    }
    // Frames stamped while the screen was watched (and early enough to be shown before the end).
    std::map<long, int64_t> stamped;
    for (int64_t i = firstStamp; i < ring.Written(); ++i) {
        lumoka::FrameStamp st{};
        if (!ring.Read(i, &st) || st.qpc < begin || st.qpc > end - int64_t(0.2 * f.QuadPart)) {
            continue;
        }
        stamped.emplace(static_cast<long>(st.counter), st.qpc);  // the earliest pin's stamp
    }
    r.produced = stamped.size();
    for (const auto& [counter, qpc] : stamped) {
        auto it = seen.find(counter);
        if (it == seen.end() || it->second.first < qpc) continue;
        ++r.shown;
        r.latencies.push_back((it->second.first - qpc) * toMs);
        if ((it->second.second - it->second.first) * toMs >= 2 * frameMs) ++r.twice;
    }
    const double seconds = (end - begin) * toMs / 1000.0;
    r.fps = seconds > 0 ? seen.size() / seconds : 0;
    r.sampleMs = samples.size() > 1 ? (end - begin) * toMs / (samples.size() - 1) : 0;
    return r;
}

}  // namespace

int RunLatencyCommand(const std::wstring& profilePath, int index, int seconds) {
    CConfig config;
    if (GetFileAttributesW(profilePath.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !config.LoadProfilesFrom(profilePath)) {
        WriteError(L"LumokaProbe: cannot read " + profilePath);
        return 2;
    }
    const Profile profile = config.Profiles.at(static_cast<size_t>(index));
    const std::wstring device =
        profile.Video.DevicePath.empty() ? profile.Video.FriendlyName : profile.Video.DevicePath;
    lumoka::CFrameStampRing ring(device);

    CGraphController graph(MakeProgramGraphFactory());
    CProbeVideoWindow window(&graph);
    if (!window.Hwnd()) return 2;
    if (!window.Build(profile)) {
        WriteLine(L"result: failed");
        return 1;
    }
    FitClientToVideo(window.Hwnd(), graph);
    RECT client{};
    GetClientRect(window.Hwnd(), &client);
    POINT origin{0, 0};
    ClientToScreen(window.Hwnd(), &origin);
    const RECT rect{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};

    // The renderer's first frame takes seconds under Wine: wait for a readable counter.
    {
        CBandReader reader(rect);
        const DWORD start = GetTickCount();
        while (reader.Read() < 0 && GetTickCount() - start < 20000) PumpProbeMessages(20);
    }
    std::vector<ScreenSample> samples;
    std::atomic<bool> stop{false};
    const int64_t firstStamp = ring.Written();
    std::thread sampler([&] {
        CBandReader reader(rect);
        while (!stop.load()) {
            const int64_t t = Now();
            samples.push_back({t, reader.Read()});
            // About a millisecond between the starts of two samples.
            while (Now() - t < 10000 && !stop.load()) std::this_thread::yield();
        }
    });
    PumpProbeMessages(static_cast<DWORD>(std::max(1, seconds)) * 1000);
    stop = true;
    sampler.join();
    graph.TearDown();

    const double frameMs = profile.VideoFormatAvgTimePerFrame > 0
                               ? profile.VideoFormatAvgTimePerFrame / 10000.0
                               : 1000.0 / 30;
    if (samples.size() < 2 || !ring.IsOpen()) {
        WriteLine(L"result: nothing measured");
        return 1;
    }
    const Figures r = Evaluate(samples, ring, firstStamp, frameMs);
    WriteLine(L"result: ok");
    WriteLine(L"frames produced: " + std::to_wstring(r.produced));
    WriteLine(L"frames shown: " + std::to_wstring(r.shown));
    WriteLine(L"frames never shown: " + std::to_wstring(r.produced - r.shown));
    WriteLine(L"frames shown twice: " + std::to_wstring(r.twice));
    WriteLine(L"latency p50 ms: " + Milliseconds(Percentile(r.latencies, 50)));
    WriteLine(L"latency p95 ms: " + Milliseconds(Percentile(r.latencies, 95)));
    WriteLine(L"latency max ms: " +
              Milliseconds(r.latencies.empty() ? 0 : *std::max_element(r.latencies.begin(),
                                                                       r.latencies.end())));
    WriteLine(L"displayed fps: " + Milliseconds(r.fps));
    WriteLine(L"sample interval ms: " + Milliseconds(r.sampleMs));
    return r.shown > 0 ? 0 : 1;
}
