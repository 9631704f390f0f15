#include "dsbase/BaseFilter.h"

#include <evcode.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "dsbase/BasePin.h"
#include "dsbase/Enumerators.h"

using Microsoft::WRL::ComPtr;

CBaseFilter::CBaseFilter(const wchar_t* name, IUnknown* outer, CCritSec* lock, REFCLSID clsid)
    : CUnknown(name, outer), lock_(lock), clsid_(clsid) {}

CBaseFilter::~CBaseFilter() = default;

HRESULT STDMETHODCALLTYPE CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist) {
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT CBaseFilter::ForEachConnectedPin(HRESULT (CBasePin::*hook)()) {
    HRESULT result = S_OK;
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin || !pin->IsConnected()) continue;
        const HRESULT hr = (pin->*hook)();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Stop() {
    CAutoLock lock(*lock_);
    if (state_ == State_Stopped) return S_OK;
    const HRESULT hr = ForEachConnectedPin(&CBasePin::Inactive);
    if (SUCCEEDED(hr)) state_ = State_Stopped;
    return hr;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Pause() {
    CAutoLock lock(*lock_);
    if (state_ == State_Stopped) {
        const HRESULT hr = ForEachConnectedPin(&CBasePin::Active);
        if (FAILED(hr)) return hr;
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Run(REFERENCE_TIME start) {
    CAutoLock lock(*lock_);
    if (state_ == State_Stopped) {
        // Run from stopped passes through paused, as the graph manager may skip the pause.
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    start_ = start;
    if (state_ == State_Running) return S_OK;
    HRESULT result = S_OK;
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (!pin || !pin->IsConnected()) continue;
        const HRESULT hr = pin->Run(start);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    if (SUCCEEDED(result)) state_ = State_Running;
    return result;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(*lock_);
    std::lock_guard<std::mutex> guard(clockMutex_);
    clock_ = clock;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    *clock = Clock().Detach();
    return S_OK;
}

ComPtr<IReferenceClock> CBaseFilter::Clock() {
    std::lock_guard<std::mutex> guard(clockMutex_);
    return clock_;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME* t) {
    if (!t) return E_POINTER;
    ComPtr<IReferenceClock> clock = Clock();
    if (!clock) return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    const HRESULT hr = clock->GetTime(&now);
    if (FAILED(hr)) return hr;
    *t = now - start_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::EnumPins(IEnumPins** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) CEnumPins(this);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::FindPin(LPCWSTR id, IPin** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!id) return E_POINTER;
    CAutoLock lock(*lock_);
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (pin && std::wcscmp(pin->Id(), id) == 0) {
            return GetInterface(static_cast<IPin*>(pin), reinterpret_cast<void**>(out));
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    CAutoLock lock(*lock_);
    const size_t n = std::min<size_t>(graphName_.size(), MAX_FILTER_NAME - 1);
    graphName_.copy(info->achName, n);
    info->achName[n] = L'\0';
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CAutoLock lock(*lock_);
    graph_ = graph;
    sink_ = nullptr;
    if (graph) {
        // Keep the sink uncounted like the graph itself (it is the graph's own object).
        IMediaEventSink* sink = nullptr;
        if (SUCCEEDED(
                graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink)))) {
            sink_ = sink;
            sink->Release();
        }
    }
    graphName_ = name ? name : L"";
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryVendorInfo(LPWSTR* info) {
    if (!info) return E_POINTER;
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = sink_;
    if (!sink) return E_NOTIMPL;
    if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}
