// Build: turns a capture profile into a running filter graph. Every step that fails appends its
// fixed line to the log and ends the build; what was created stays for the caller's TearDown.
#include <algorithm>
#include <cstdlib>

#include "graph/GraphController.h"
#include "graph/Naming.h"
#include "wincom/Result.h"

namespace {

bool NamesDevice(const DeviceInfo& device) {
    return !device.FriendlyName.empty() || !device.DevicePath.empty();
}

int32_t CountChecked(const std::vector<FilterEntry>& filters) {
    return static_cast<int32_t>(std::count_if(filters.begin(), filters.end(),
                                              [](const FilterEntry& f) { return f.Check != 0; }));
}

constexpr int32_t kCopyHardwareMode = 6;

// A connection's media type as ConnectionMediaType fills it: the format block and the extra
// object belong to the caller and are freed with it.
struct ConnectionType {
    AM_MEDIA_TYPE mt{};
    ~ConnectionType() {
        if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
        if (mt.pUnk) mt.pUnk->Release();
    }
};

constexpr DWORD kHardwareMixingPrefs =
    MixerPref_NoDecimation | MixerPref_BiLinearFiltering | MixerPref_RenderTargetYUV;  // 0x1011

}  // namespace

bool CGraphController::AddToGraph(IBaseFilter* filter, const std::wstring& name) {
    return filter && SUCCEEDED(m_graph->AddFilter(filter, name.c_str()));
}

bool CGraphController::Build(HWND window, const Profile& profile) {
    m_log.Clear();
    m_filterList.clear();
    // The code describes the format this build sets; a format left to the device sets none.
    m_subtypeCode = 0;
    m_formatSet = false;
    m_window = window;
    m_rendererKind = profile.PreviewVideoRenderer;
    if (!IsWindow(window)) return false;

    const bool hasVideo = NamesDevice(profile.Video);
    const bool hasAudio = NamesDevice(profile.Audio);
    if (!hasVideo && !hasAudio) {
        AppendLog(L"プロファイルが設定されていません");
        return false;
    }
    if (!CreateGraph()) return false;
    if (FAILED(m_mediaEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(window), WM_GRAPH_NOTIFY,
                                             0))) {
        return false;
    }

    if (hasVideo) {
        const VideoBranchPlan plan = PlanVideoBranch(
            CountChecked(profile.FilterVideo), profile.PreviewTransform,
            profile.PreviewTransformCopy, profile.PreviewTransformFrame, profile.PreviewVideoSync);
        if (!CreateVideoTee(plan.Tee)) return false;
        if (!CreateVideoRenderer(window)) return false;

        if (!m_factory->FindDevice(DeviceKind::VideoCapture, profile.Video.FriendlyName,
                                   profile.Video.DevicePath, m_videoCapture)) {
            AppendLog(L"ビデオキャプチャーフィルタ取得失敗");
            return false;
        }
        if (!AddToGraph(m_videoCapture.Get(), profile.Video.FriendlyName)) return false;

        if (profile.VideoFormatIndex >= 0) {
            if (!SetVideoFormat(m_videoCapture.Get(), profile)) {
                AppendLog(L"ビデオキャプチャーフィルタのフォーマット変更失敗");
                return false;
            }
        }
        if ((m_rendererKind == kRendererVmr7 || m_rendererKind == kRendererVmr7NoOverlay) &&
            profile.PreviewTransform != 0 && profile.PreviewTransformCopy == kCopyHardwareMode &&
            IsPacked422(m_subtypeCode)) {
            if (!SetUpHardwareDeinterlacing()) return false;
        }

        bool connected = false;
        if (!plan.UseTransform) {
            connected =
                ConnectChain(profile.FilterVideo, m_videoCapture.Get(), Branch::Video,
                             profile.PreviewVideoSync, m_videoTee.Get(), m_videoRenderer.Get());
        } else {
            if (m_transform) return false;
            if (!BuildTransformBranch(profile, plan.TeeOutput)) return false;
            connected = ConnectThroughTransform(m_videoCapture.Get(), plan.TeeOutput);
        }
        if (!connected) {
            AppendLog(L"ビデオキャプチャーフィルタ接続失敗");
            return false;
        }
        if (m_formatSet) NoteDeliveredSize(profile);
    }

    if (hasAudio && !BuildAudioBranch(profile)) return false;

    ComPtr<IAMGraphStreams> streams;
    if (SUCCEEDED(m_graph.As(&streams))) IGNORE_RESULT(streams->SyncUsingStreamOffset(TRUE));

    int32_t nw = 0, nh = 0;
    if (!GetNativeVideoSize(nw, nh) || nw < 1 || nh < 1) {
        nw = 640;
        nh = 480;
    }
    m_nativeSize = {nw, nh};
    m_aspect = AspectPairFromSetting(profile.PreviewAspectRatio);
    if (m_windowSide) m_windowSide->TakeFocus();
    RouteCrossbar(profile);
    SetVolume(profile.PreviewAudioVolume);
    RefreshFilterList();
    Run();
    ApplyProcAmpValues(profile.VideoProcAmp);
    return true;
}

bool CGraphController::CreateGraph() {
    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(m_factory->CreateFilterGraph(graph)) || !graph ||
        FAILED(m_factory->CreateCaptureBuilder(builder)) || !builder ||
        FAILED(builder->SetFiltergraph(graph.Get()))) {
        AppendLog(L"IGraphBuilder/ICaptureGraphBuilder2の初期化失敗");
        return false;
    }
    m_graph = graph;
    m_builder = builder;
    if (FAILED(m_graph.As(&m_mediaControl))) {
        AppendLog(L"IMediaControlの取得失敗");
        return false;
    }
    if (FAILED(m_graph.As(&m_mediaEvent))) {
        AppendLog(L"IMediaEventExの取得失敗");
        return false;
    }
    return true;
}

bool CGraphController::CreateVideoTee(TeeKind kind) {
    const bool smart = kind == TeeKind::SmartTee;
    if (FAILED(m_factory->CreateFilter(smart ? CLSID_SmartTee : CLSID_InfTee, m_videoTee)) ||
        !m_videoTee) {
        AppendLog(smart ? L"ビデオスマートティー取得失敗"
                        : L"ビデオインフィニットピンティー取得失敗");
        return false;
    }
    return AddToGraph(m_videoTee.Get(), smart ? L"Video SmartTee" : L"Video InfTee");
}

bool CGraphController::CreateVideoRenderer(HWND window) {
    const GUID* clsid = &CLSID_VideoMixingRenderer;
    const wchar_t* name = L"Video Mixing Renderer 7";
    const wchar_t* failure = L"VMR7取得失敗";
    if (m_rendererKind == kRendererVmr9) {
        clsid = &CLSID_VideoMixingRenderer9;
        name = L"Video Mixing Renderer9";
        failure = L"VMR9取得失敗";
    } else if (m_rendererKind == kRendererEvr) {
        clsid = &kClsidEnhancedVideoRenderer;
        name = L"Enhanced Video Renderer";
        failure = L"EVR取得失敗";
    }
    if (FAILED(m_factory->CreateFilter(*clsid, m_videoRenderer)) || !m_videoRenderer) {
        AppendLog(L"%ls", failure);
        return false;
    }
    if (!AddToGraph(m_videoRenderer.Get(), name)) return false;
    if (m_rendererKind == kRendererVmr9) return ConfigureVmr9(window);
    if (m_rendererKind == kRendererEvr) return ConfigureEvr(window);
    return ConfigureVmr7(window);
}

bool CGraphController::ConfigureVmr7(HWND window) {
    ComPtr<IVMRFilterConfig> config;
    ComPtr<IVMRWindowlessControl> control;
    if (FAILED(m_videoRenderer.As(&config)) ||
        FAILED(config->SetRenderingMode(VMRMode_Windowless))) {
        return false;
    }
    // Wine 8 answers E_NOTIMPL here, so "without overlay" cannot be built there
    // (BuildFailure.RendererThatCannotBeConfiguredFailsSilently records it).
    if (m_rendererKind == kRendererVmr7NoOverlay &&
        FAILED(config->SetRenderingPrefs(RenderPrefs_ForceOffscreen))) {
        return false;
    }
    if (FAILED(m_videoRenderer.As(&control)) || FAILED(control->SetVideoClippingWindow(window))) {
        return false;
    }
    // No aspect correction is the renderer's initial mode. Wine 8 does not implement the call
    // (E_NOTIMPL) and never corrects, so that answer leaves the mode we ask for in place
    // (WineRenderers.Vmr7AspectModeIsNotImplemented).
    const HRESULT hr = control->SetAspectRatioMode(VMR_ARMODE_NONE);
    return SUCCEEDED(hr) || hr == E_NOTIMPL;
}

bool CGraphController::ConfigureVmr9(HWND window) {
    ComPtr<IVMRFilterConfig9> config;
    ComPtr<IVMRWindowlessControl9> control;
    return SUCCEEDED(m_videoRenderer.As(&config)) &&
           SUCCEEDED(config->SetRenderingMode(VMR9Mode_Windowless)) &&
           SUCCEEDED(m_videoRenderer.As(&control)) &&
           SUCCEEDED(control->SetVideoClippingWindow(window)) &&
           SUCCEEDED(control->SetAspectRatioMode(VMR9ARMode_None));
}

bool CGraphController::ConfigureEvr(HWND window) {
    ComPtr<IMFGetService> service;
    ComPtr<IMFVideoDisplayControl> display;
    return SUCCEEDED(m_videoRenderer.As(&service)) &&
           SUCCEEDED(service->GetService(MR_VIDEO_RENDER_SERVICE, IID_PPV_ARGS(&display))) &&
           SUCCEEDED(display->SetVideoWindow(window)) &&
           SUCCEEDED(display->SetAspectRatioMode(MFVideoARMode_None));
}

bool CGraphController::SetUpHardwareDeinterlacing() {
    // The mixer must be in mixing mode before it takes mixing preferences. Wine 8 implements
    // neither SetNumberOfStreams (E_NOTIMPL) nor IVMRMixerControl, so this step fails there
    // (WineRenderers.Vmr7MixingIsNotImplemented).
    ComPtr<IVMRFilterConfig> config;
    ComPtr<IVMRMixerControl> mixer;
    return SUCCEEDED(m_videoRenderer.As(&config)) && SUCCEEDED(config->SetNumberOfStreams(1)) &&
           SUCCEEDED(m_videoRenderer.As(&mixer)) &&
           SUCCEEDED(mixer->SetMixingPrefs(kHardwareMixingPrefs));
}

bool CGraphController::BuildTransformBranch(const Profile& profile, int32_t teeOutput) {
    if (FAILED(m_factory->CreateTransform(m_transform)) || !m_transform) return false;
    if (!AddToGraph(m_transform.Get(), L"Lumoka Transform")) return false;
    SetCopyMode(profile.PreviewTransformCopy);
    SetFrameMode(profile.PreviewTransformFrame);
    SetFieldOrder(profile.PreviewTransformFieldOrder);
    SetFlipVertical(profile.PreviewTransformFlipVertical);
    SetYCExpand(profile.PreviewTransformYCExpand);
    return true;
}

bool CGraphController::BuildAudioBranch(const Profile& profile) {
    const bool smart = AudioTeeFor(profile.PreviewAudioSync) == TeeKind::SmartTee;
    if (FAILED(m_factory->CreateFilter(smart ? CLSID_SmartTee : CLSID_InfTee, m_audioTee)) ||
        !m_audioTee) {
        AppendLog(smart ? L"オーディオスマートティー取得失敗"
                        : L"オーディオインフィニットピンティー取得失敗");
        return false;
    }
    if (!AddToGraph(m_audioTee.Get(), smart ? L"Audio SmartTee" : L"Audio InfTee")) return false;

    const bool waveOut = profile.PreviewAudioRenderer == 1;
    if (FAILED(m_factory->CreateFilter(waveOut ? CLSID_AudioRender : CLSID_DSoundRender,
                                       m_audioRenderer)) ||
        !m_audioRenderer) {
        AppendLog(waveOut ? L"WaveOut Renderer取得失敗" : L"DirectSound Renderer取得失敗");
        return false;
    }
    if (!AddToGraph(m_audioRenderer.Get(),
                    waveOut ? L"WaveOut Renderer" : L"DirectSound Renderer")) {
        return false;
    }
    if (!FindAudioCapture(profile)) return false;
    if (profile.AudioFormatIndex >= 0 && !SetAudioFormat(m_audioCapture.Get(), profile)) {
        AppendLog(L"オーディオキャプチャーフィルタ設定変更失敗");
        return false;
    }
    if (!ConnectChain(profile.FilterAudio, m_audioCapture.Get(), Branch::Audio,
                      profile.PreviewAudioSync, m_audioTee.Get(), m_audioRenderer.Get())) {
        AppendLog(L"オーディオキャプチャーフィルタ接続失敗");
        return false;
    }
    return true;
}

bool CGraphController::FindAudioCapture(const Profile& profile) {
    if (profile.Audio.FriendlyName == profile.Video.FriendlyName &&
        profile.Audio.DevicePath == profile.Video.DevicePath) {
        // The sound comes from the video device's own audio pin; the filter is in the graph.
        if (!m_videoCapture) {
            AppendLog(L"オーディオキャプチャー用ビデオキャプチャーフィルタ取得失敗");
            return false;
        }
        m_audioCapture = m_videoCapture;
        return true;
    }
    // A video device that also delivers sound may be listed only under the video category.
    if (!m_factory->FindDevice(DeviceKind::AudioCapture, profile.Audio.FriendlyName,
                               profile.Audio.DevicePath, m_audioCapture) &&
        !m_factory->FindDevice(DeviceKind::VideoCapture, profile.Audio.FriendlyName,
                               profile.Audio.DevicePath, m_audioCapture)) {
        AppendLog(L"オーディオキャプチャーフィルタ取得失敗");
        return false;
    }
    return AddToGraph(m_audioCapture.Get(), profile.Audio.FriendlyName);
}

void CGraphController::RouteCrossbar(const Profile& profile) {
    if (!m_videoCapture || profile.VideoCrossbar.empty()) return;
    ComPtr<IAMCrossbar> crossbar;
    if (FAILED(m_builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, m_videoCapture.Get(),
                                        IID_IAMCrossbar, &crossbar)) ||
        !crossbar) {
        return;
    }
    for (const CrossbarRoute& route : profile.VideoCrossbar) {
        // A refused route does not end the build (the picture comes from whatever input the
        // crossbar keeps); the log says which one failed.
        if (route.Output >= 0 && route.Input >= 0 &&
            FAILED(crossbar->Route(route.Output, route.Input))) {
            AppendLog(L"クロスバーの経路設定失敗 (出力 %d ← 入力 %d)", route.Output, route.Input);
        }
    }
}

void CGraphController::NoteDeliveredSize(const Profile& profile) {
    // A driver may accept a format and still connect with another size; the picture then has
    // the size it really delivers (the renderer's native size), and the log says so.
    ComPtr<IPin> pin;
    if (FAILED(m_builder->FindPin(m_videoCapture.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                  &MEDIATYPE_Video, FALSE, 0, &pin)) &&
        FAILED(m_builder->FindPin(m_videoCapture.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW,
                                  &MEDIATYPE_Video, FALSE, 0, &pin))) {
        return;
    }
    ConnectionType connection;
    if (FAILED(pin->ConnectionMediaType(&connection.mt))) return;
    const AM_MEDIA_TYPE& mt = connection.mt;
    if (!IsUsableVideoCapability(ToGuid16(mt.majortype), ToGuid16(mt.formattype), mt.cbFormat,
                                 mt.pbFormat != nullptr)) {
        return;
    }
    const BITMAPINFOHEADER& bmi = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
    if (bmi.biWidth != profile.VideoFormatWidth ||
        std::llabs(static_cast<int64_t>(bmi.biHeight)) !=
            std::llabs(static_cast<int64_t>(profile.VideoFormatHeight))) {
        AppendLog(L"ビデオキャプチャーフィルタが要求と異なるサイズで接続 (%dx%d → %dx%d)",
                  profile.VideoFormatWidth, profile.VideoFormatHeight,
                  static_cast<int>(bmi.biWidth), static_cast<int>(bmi.biHeight));
    }
}
