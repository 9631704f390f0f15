#include "ProbeBuild.h"

#include <memory>

#include "ProbeOutput.h"
#include "app/ProgramGraphFactory.h"
#include "config/Config.h"
#include "graph/GraphController.h"

namespace {

const wchar_t kWindowClass[] = L"LumokaProbeVideo";

// The window procedure of the probe's video window: paint through the renderer, place the
// video on resize, drain graph events, as the main window does.
LRESULT CALLBACK VideoWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* graph = reinterpret_cast<CGraphController*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_PAINT:
            if (!graph || !graph->PaintVideo()) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                RECT rc;
                GetClientRect(hwnd, &rc);
                FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                EndPaint(hwnd, &ps);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            if (graph) graph->UpdateVideoPosition();
            return 0;
        case WM_DISPLAYCHANGE:
            if (graph) graph->NotifyDisplayChange();
            return 0;
        case WM_GRAPH_NOTIFY:
            if (graph) graph->DrainEvents();
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

// The build's focus step lands on the probe's window, as on the main window.
class CProbeWindowSide : public IGraphWindowSide {
public:
    explicit CProbeWindowSide(HWND window) : m_window(window) {}
    void TakeFocus() override { SetFocus(m_window); }
    void ShowPropertyFrame(const std::wstring&, IUnknown*, const CAUUID&) override {}

private:
    HWND m_window;
};

namespace {

HWND CreateVideoWindow(CGraphController* graph) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = VideoWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    RECT r{0, 0, 640, 480};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowExW(0, kWindowClass, L"LumokaProbe", WS_OVERLAPPEDWINDOW, 60, 60,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graph));
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

}  // namespace

void PumpProbeMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

CProbeVideoWindow::CProbeVideoWindow(CGraphController* graph)
    : m_graph(graph), m_hwnd(CreateVideoWindow(graph)) {
    if (!m_hwnd) {
        WriteError(L"LumokaProbe: cannot create the video window");
        return;
    }
    m_side = std::make_unique<CProbeWindowSide>(m_hwnd);
    m_graph->SetWindowSide(m_side.get());
    // Before any build the native size is the client size, as in the main window.
    RECT client{};
    GetClientRect(m_hwnd, &client);
    m_graph->SetNativeSize({client.right, client.bottom});
}

CProbeVideoWindow::~CProbeVideoWindow() {
    m_graph->TearDown();
    m_graph->SetWindowSide(nullptr);
    if (!m_hwnd) return;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
}

bool CProbeVideoWindow::Build(const Profile& profile) {
    PumpProbeMessages(100);
    if (!m_graph->Build(m_hwnd, profile)) return false;
    // As the main window does after a build: the profile's crop, then the video's place.
    m_graph->SetCrop(profile.PreviewCropping);
    m_graph->UpdateVideoPosition();
    return true;
}

namespace {

void WriteReport(CGraphController& graph, HWND hwnd, bool built) {
    const std::wstring& log = graph.LogText();
    size_t start = 0;
    for (size_t nl; (nl = log.find(L'\n', start)) != std::wstring::npos; start = nl + 1) {
        WriteLine(L"log: " + log.substr(start, nl - start));
    }
    if (!built) WriteLine(L"log: フィルタグラフの構築に失敗しました");
    WriteLine(built ? L"result: ok" : L"result: failed");
    const IntSize native = graph.NativeSize();
    WriteLine(L"native: " + std::to_wstring(native.cx) + L"x" + std::to_wstring(native.cy));
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    WriteLine(L"client: " + std::to_wstring(origin.x) + L"," + std::to_wstring(origin.y) + L"," +
              std::to_wstring(client.right) + L"," + std::to_wstring(client.bottom));
    int32_t rate = 0, dropped = 0;
    if (graph.GetRenderStats(rate, dropped)) {
        WriteLine(L"fps: " + Hundredths(rate));
    } else {
        WriteLine(L"fps: none");
    }
    const auto& list = graph.FilterList();
    for (size_t i = 0; i < list.size(); ++i) {
        WriteLine(L"filter: " + std::to_wstring(i) + L"\t" + list[i].Name + L"\t" +
                  std::to_wstring(list[i].HasPages));
    }
}

}  // namespace

int RunBuildCommand(const std::wstring& profilePath, int index, int seconds) {
    CConfig config;
    if (GetFileAttributesW(profilePath.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !config.LoadProfilesFrom(profilePath)) {
        WriteError(L"LumokaProbe: cannot read " + profilePath);
        return 2;
    }
    const Profile profile = config.Profiles.at(static_cast<size_t>(index));

    CGraphController graph(MakeProgramGraphFactory());
    CProbeVideoWindow window(&graph);
    if (!window.Hwnd()) return 2;
    const bool built = window.Build(profile);
    if (built) PumpProbeMessages(static_cast<DWORD>(seconds) * 1000);
    WriteReport(graph, window.Hwnd(), built);
    return built ? 0 : 1;
}
