// CGraphController: the main window's one graph object. It holds the filter graph and every
// platform object in it, the log of the last build, the list of the graph's filters for the
// property-page menu, and the video placement state (aspect pair, native size, crop margins)
// from which the picture's place in the window is computed.
//
// Threads: the main window's thread only; no locks. The graph's streaming threads never touch
// the controller; graph events reach the window as posted messages.
// Ownership: the window owns the controller; the controller owns every COM reference (released
// by TearDown in a fixed order) and the platform factory it creates objects with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/Profile.h"
#include "graph/BuildLog.h"
#include "graph/BuildRules.h"
#include "graph/Geometry.h"
#include "graph/GraphFactory.h"
#include "graph/GraphNotify.h"
#include "graph/GraphWindowSide.h"
#include "graph/GraphPlatform.h"
#include "graph/ProcAmpInfo.h"


enum RendererKind : int32_t {
    kRendererVmr7 = 0,
    kRendererVmr7NoOverlay = 1,
    kRendererVmr9 = 2,
    kRendererEvr = 3,
};

// One event of the graph's queue.
struct GraphEvent {
    long Code = 0;
    LONG_PTR Param1 = 0;
    LONG_PTR Param2 = 0;
};

struct FilterListEntry {
    std::wstring Name;  // at most 127 characters
    int32_t HasPages = 0;
};

class CGraphController {
public:
    // Without a factory the controller creates platform objects itself, without a transform
    // filter; the program passes a CPlatformGraphFactory that knows how to create it.
    explicit CGraphController(std::unique_ptr<IGraphFactory> factory = nullptr);
    ~CGraphController();
    CGraphController(const CGraphController&) = delete;
    CGraphController& operator=(const CGraphController&) = delete;

    // The window's share of a build (focus) and of the property pages (the frame); may be null.
    void SetWindowSide(IGraphWindowSide* side) { m_windowSide = side; }

    // --- construction ---
    bool Build(HWND window, const Profile& profile);
    void AppendLog(const wchar_t* format, ...);
    const std::wstring& LogText() const { return m_log.Text(); }

    // --- control ---
    bool IsBuilt() const { return m_graph != nullptr; }
    bool Run();
    // Stops the graph's media control (the first step of stopping playback); false without one.
    bool Stop();
    void TearDown();
    bool SetVolume(int32_t percent);
    IntSize FitSize(int32_t width, int32_t height, bool corner, bool heightDrives);
    bool UpdateVideoPosition();
    bool PaintVideo();
    bool NotifyDisplayChange();
    bool GetNativeVideoSize(int32_t& width, int32_t& height);
    // The current picture: its 40-byte header and a copy of its pixels.
    bool GetCurrentImage(BITMAPINFOHEADER& header, std::vector<uint8_t>& pixels);
    bool GetRenderStats(int32_t& avgFrameRate, int32_t& framesDropped);

    bool SetCopyMode(int32_t mode);
    bool SetFrameMode(int32_t mode);
    bool SetFieldOrder(int32_t order);
    bool SetYCExpand(int32_t mode);
    bool SetFlipVertical(int32_t on);

    bool GetProcAmpInfo(ProcAmpInfos& infos);
    bool SetProcAmp(int32_t property, int32_t value, int32_t flags);
    bool ReadProcAmpValues(ProcAmpSettings& settings);
    bool ApplyProcAmpValues(const ProcAmpSettings& settings);

    bool RefreshFilterList();
    const std::vector<FilterListEntry>& FilterList() const { return m_filterList; }
    void ClearFilterList() { m_filterList.clear(); }
    bool ShowFilterProperties(size_t index);

    // The answer to WM_GRAPH_NOTIFY: fetches and frees queued events until none is left and
    // returns their codes and parameters (pointer parameters no longer to be dereferenced);
    // the controller acts on none of them.
    std::vector<GraphEvent> DrainEvents();
    IMediaEventEx* MediaEvent() const { return m_mediaEvent.Get(); }

    // --- video window state ---
    AspectPair Aspect() const { return m_aspect; }
    void SetAspect(AspectPair aspect) { m_aspect = aspect; }
    IntSize NativeSize() const { return m_nativeSize; }
    void SetNativeSize(IntSize size) { m_nativeSize = size; }
    CropRect Crop() const { return m_crop; }
    void SetCrop(const CropRect& crop) { m_crop = crop; }
    HWND Window() const { return m_window; }
    int32_t RendererKindValue() const { return m_rendererKind; }
    uint32_t SubtypeCode() const { return m_subtypeCode; }
    // Set by the window when it initialised COM for the graph; TearDown uninitialises it.
    void SetComInitialized(bool on) { m_comInitialized = on ? 1 : 0; }
    bool ComInitialized() const { return m_comInitialized != 0; }

    // The graph's objects, for the window's dialogs and for tests.
    IGraphBuilder* Graph() const { return m_graph.Get(); }
    IBaseFilter* VideoCaptureFilter() const { return m_videoCapture.Get(); }
    IBaseFilter* AudioCaptureFilter() const { return m_audioCapture.Get(); }
    IBaseFilter* VideoRenderer() const { return m_videoRenderer.Get(); }
    IBaseFilter* AudioRenderer() const { return m_audioRenderer.Get(); }
    IBaseFilter* VideoTee() const { return m_videoTee.Get(); }
    IBaseFilter* AudioTee() const { return m_audioTee.Get(); }
    IBaseFilter* TransformFilter() const { return m_transform.Get(); }

private:
    enum class Branch { Video, Audio };

    // Build steps (GraphBuild.cpp).
    bool CreateGraph();
    bool CreateVideoTee(TeeKind kind);
    bool CreateVideoRenderer(HWND window);
    bool ConfigureVmr7(HWND window);
    bool ConfigureVmr9(HWND window);
    bool ConfigureEvr(HWND window);
    bool SetUpHardwareDeinterlacing();
    bool BuildTransformBranch(const Profile& profile, int32_t teeOutput);
    bool BuildAudioBranch(const Profile& profile);
    bool FindAudioCapture(const Profile& profile);
    void RouteCrossbar(const Profile& profile);
    void NoteDeliveredSize(const Profile& profile);
    bool AddToGraph(IBaseFilter* filter, const std::wstring& name);

    // Connections and formats (GraphConnect.cpp).
    bool SetVideoFormat(IBaseFilter* capture, const Profile& profile);
    bool SetAudioFormat(IBaseFilter* capture, const Profile& profile);
    bool ConnectByIndex(IBaseFilter* source, int32_t output, IBaseFilter* dest, int32_t input);
    bool ConnectChain(const std::vector<FilterEntry>& filters, IBaseFilter* source, Branch branch,
                      int32_t sync, IBaseFilter* tee, IBaseFilter* renderer);
    bool ConnectThroughTransform(IBaseFilter* capture, int32_t teeOutput);
    ComPtr<IPin> CaptureOutputPin(IBaseFilter* source, Branch branch);
    ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION dir, bool unconnected, int32_t n);
    bool ConnectPins(IPin* out, IPin* in);

    // Transform forwarders share one query.
    template <typename Call>
    bool ForwardToTransform(Call call);

    std::unique_ptr<IGraphFactory> m_factory;
    IGraphWindowSide* m_windowSide = nullptr;

    std::vector<FilterListEntry> m_filterList;
    CBuildLog m_log;
    int32_t m_comInitialized = 0;
    uint32_t m_subtypeCode = 0;
    bool m_formatSet = false;  // this build set the profile's video format

    ComPtr<IGraphBuilder> m_graph;
    ComPtr<ICaptureGraphBuilder2> m_builder;
    ComPtr<IMediaControl> m_mediaControl;
    ComPtr<IMediaEventEx> m_mediaEvent;
    ComPtr<IBaseFilter> m_videoCapture;
    ComPtr<IBaseFilter> m_audioCapture;
    ComPtr<IBaseFilter> m_audioRenderer;
    ComPtr<IBaseFilter> m_videoRenderer;
    ComPtr<IBaseFilter> m_videoTee;
    ComPtr<IBaseFilter> m_audioTee;
    ComPtr<IBaseFilter> m_transform;

    HWND m_window = nullptr;
    int32_t m_rendererKind = kRendererVmr7;
    AspectPair m_aspect{16, 9};
    IntSize m_nativeSize;
    CropRect m_crop;
};
