#include "graph/GraphController.h"
#include "wincom/ComAdopt.h"

#include <algorithm>
#include <cstdarg>

#include "filter/LumokaFilterCtrl.h"
#include "graph/Volume.h"
#include "wincom/Result.h"
#include "wincom/UniqueHandle.h"

CGraphController::CGraphController(std::unique_ptr<IGraphFactory> factory)
    : m_factory(factory ? std::move(factory) : std::make_unique<CPlatformGraphFactory>()) {}

CGraphController::~CGraphController() { TearDown(); }

void CGraphController::AppendLog(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    m_log.AppendV(format, args);
    va_end(args);
}

bool CGraphController::Run() {
    if (!m_mediaControl) return false;
    if (m_mediaControl->Pause() == S_FALSE) {
        // A live source stays in transition until it runs; the wait only gives it time.
        OAFilterState state = State_Stopped;
        IGNORE_RESULT(m_mediaControl->GetState(5000, &state));
    }
    IGNORE_RESULT(m_mediaControl->Run());
    return true;
}

bool CGraphController::Stop() {
    if (!m_mediaControl) return false;
    // A live graph answers VFW_S_CANT_CUE rather than S_OK.
    return SUCCEEDED(m_mediaControl->Stop());
}

std::vector<GraphEvent> CGraphController::DrainEvents() {
    std::vector<GraphEvent> events;
    GraphEvent e;
    while (m_mediaEvent && SUCCEEDED(m_mediaEvent->GetEvent(&e.Code, &e.Param1, &e.Param2, 0))) {
        m_mediaEvent->FreeEventParams(e.Code, e.Param1, e.Param2);
        events.push_back(e);
    }
    return events;
}

void CGraphController::TearDown() {
    if (m_mediaControl) IGNORE_RESULT(m_mediaControl->Stop());
    m_transform.Reset();
    m_audioTee.Reset();
    m_videoTee.Reset();
    m_audioRenderer.Reset();
    m_videoRenderer.Reset();
    m_audioCapture.Reset();
    m_videoCapture.Reset();
    m_mediaEvent.Reset();
    m_mediaControl.Reset();
    m_builder.Reset();
    m_graph.Reset();
    m_filterList.clear();
    if (m_comInitialized) {
        m_comInitialized = 0;
        CoUninitialize();
    }
}

bool CGraphController::SetVolume(int32_t percent) {
    if (!m_graph) return false;
    ComPtr<IBasicAudio> audio;
    if (FAILED(m_graph.As(&audio))) return false;
    IGNORE_RESULT(audio->put_Volume(VolumeFromPercent(percent)));
    return true;
}

IntSize CGraphController::FitSize(int32_t width, int32_t height, bool corner, bool heightDrives) {
    return ::FitSize(m_aspect, m_nativeSize, width, height, corner, heightDrives);
}

template <typename Call>
bool CGraphController::ForwardToTransform(Call call) {
    if (!m_transform) return false;
    // Asked afresh at every call: the filter may have been replaced by a rebuild.
    ComPtr<ILumokaFilterCtrl> control;
    if (FAILED(m_transform.As(&control)) || !control) return false;
    call(control.Get());
    return true;
}

bool CGraphController::SetCopyMode(int32_t mode) {
    return ForwardToTransform([mode](ILumokaFilterCtrl* c) { c->SetCopyMode(mode); });
}
bool CGraphController::SetFrameMode(int32_t mode) {
    return ForwardToTransform([mode](ILumokaFilterCtrl* c) { c->SetFrameMode(mode); });
}
bool CGraphController::SetFieldOrder(int32_t order) {
    return ForwardToTransform([order](ILumokaFilterCtrl* c) { c->SetFieldOrder(order); });
}
bool CGraphController::SetYCExpand(int32_t mode) {
    return ForwardToTransform([mode](ILumokaFilterCtrl* c) { c->SetYCExpand(mode); });
}
bool CGraphController::SetFlipVertical(int32_t on) {
    return ForwardToTransform([on](ILumokaFilterCtrl* c) { c->SetFlipVertical(on); });
}

bool CGraphController::GetProcAmpInfo(ProcAmpInfos& infos) {
    if (!m_videoCapture) return false;
    ComPtr<IAMVideoProcAmp> procAmp;
    if (FAILED(m_videoCapture.As(&procAmp))) return false;
    for (int32_t p = 0; p < kVideoProcAmpCount; ++p) {
        ProcAmpInfo info;
        info.Property = p;
        long min = kNotSet, max = kNotSet, step = kNotSet, def = kNotSet, caps = kNotSet;
        if (SUCCEEDED(procAmp->GetRange(p, &min, &max, &step, &def, &caps))) {
            info.Min = min;
            info.Max = max;
            info.Step = step;
            info.Default = def;
            info.CapsFlags = caps;
        }
        long value = kNotSet, flags = kNotSet;
        if (SUCCEEDED(procAmp->Get(p, &value, &flags))) {
            info.Value = value;
            info.Flags = flags;
        }
        infos[p] = info;
    }
    return true;
}

bool CGraphController::SetProcAmp(int32_t property, int32_t value, int32_t flags) {
    if (!m_videoCapture) return false;
    ComPtr<IAMVideoProcAmp> procAmp;
    if (FAILED(m_videoCapture.As(&procAmp))) return false;
    return SUCCEEDED(procAmp->Set(property, value, flags));
}

bool CGraphController::ReadProcAmpValues(ProcAmpSettings& settings) {
    if (!m_videoCapture) return false;
    ComPtr<IAMVideoProcAmp> procAmp;
    if (FAILED(m_videoCapture.As(&procAmp))) return false;
    for (int32_t p = 0; p < kVideoProcAmpCount; ++p) {
        long value = settings[p].Value;
        long flags = settings[p].Flags;
        IGNORE_RESULT(procAmp->Get(p, &value, &flags));
        settings[p].Value = value;
        settings[p].Flags = flags;
    }
    return true;
}

bool CGraphController::ApplyProcAmpValues(const ProcAmpSettings& settings) {
    for (int32_t p = 0; p < kVideoProcAmpCount; ++p) {
        if (settings[p].Value != kNotSet) SetProcAmp(p, settings[p].Value, settings[p].Flags);
    }
    return true;
}

namespace {

// Whether a filter can show property pages; the page array is freed whenever one came back.
int32_t HasPropertyPages(IBaseFilter* filter) {
    ComPtr<ISpecifyPropertyPages> pages;
    if (FAILED(filter->QueryInterface(IID_PPV_ARGS(&pages)))) return 0;
    CAUUID uuids{};
    const HRESULT hr = pages->GetPages(&uuids);
    const bool has = SUCCEEDED(hr) && uuids.cElems > 0 && uuids.pElems != nullptr;
    if (uuids.pElems) CoTaskMemFree(uuids.pElems);
    return has ? 1 : 0;
}

}  // namespace

bool CGraphController::RefreshFilterList() {
    m_filterList.clear();
    if (!m_graph) return false;
    ComPtr<IEnumFilters> filters;
    if (FAILED(m_graph->EnumFilters(&filters)) || !filters) return false;
    filters->Reset();
    for (;;) {
        IBaseFilter* raw = nullptr;
        if (filters->Next(1, &raw, nullptr) != S_OK) break;
        ComPtr<IBaseFilter> filter;
        filter = lumoka::Adopt(raw);
        if (!filter) {
            m_filterList.push_back({L"ERROR: pFilter == NULL", 0});
            continue;
        }
        FILTER_INFO info{};
        if (FAILED(filter->QueryFilterInfo(&info))) {
            m_filterList.push_back({L"ERROR: QueryFilterInfo", 0});
            continue;
        }
        if (info.pGraph) info.pGraph->Release();
        info.achName[MAX_FILTER_NAME - 1] = L'\0';
        m_filterList.push_back({info.achName, HasPropertyPages(filter.Get())});
    }
    // The graph enumerates its filters newest first; the menu lists them in the order added.
    std::reverse(m_filterList.begin(), m_filterList.end());
    return true;
}

bool CGraphController::ShowFilterProperties(size_t index) {
    if (!m_graph || !m_windowSide || index >= m_filterList.size() ||
        m_filterList[index].HasPages != 1) {
        return false;
    }
    const std::wstring name = m_filterList[index].Name;
    ComPtr<IBaseFilter> filter;
    if (FAILED(m_graph->FindFilterByName(name.c_str(), &filter)) || !filter) return false;
    ComPtr<ISpecifyPropertyPages> pages;
    if (FAILED(filter.As(&pages))) return false;
    CAUUID uuids{};
    const HRESULT hr = pages->GetPages(&uuids);
    lumoka::UniqueCoTaskMem<GUID> pageArray(uuids.pElems);
    if (FAILED(hr) || uuids.cElems == 0 || !uuids.pElems) return false;
    ComPtr<IUnknown> object;
    if (FAILED(filter.As(&object))) return false;

    m_windowSide->ShowPropertyFrame(name, object.Get(), uuids);
    return true;
}
