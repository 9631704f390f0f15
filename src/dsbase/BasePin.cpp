#include "dsbase/BasePin.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dsbase/Enumerators.h"

using Microsoft::WRL::ComPtr;

CBasePin::CBasePin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                   const wchar_t* name, PIN_DIRECTION direction, const wchar_t* id)
    : CUnknown(objectName, nullptr),
      filter_(filter),
      lock_(lock),
      name_(name ? name : L""),
      id_(id ? id : (name ? name : L"")),
      direction_(direction) {}

CBasePin::~CBasePin() = default;

HRESULT STDMETHODCALLTYPE CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IPin) return GetInterface(static_cast<IPin*>(this), ppv);
    if (riid == IID_IQualityControl) return GetInterface(static_cast<IQualityControl*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ULONG STDMETHODCALLTYPE CBasePin::NonDelegatingAddRef() { return filter_->AddRef(); }

ULONG STDMETHODCALLTYPE CBasePin::NonDelegatingRelease() { return filter_->Release(); }

HRESULT STDMETHODCALLTYPE CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    if (!receivePin) return E_POINTER;
    CAutoLock lock(*lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION other;
    if (FAILED(receivePin->QueryDirection(&other)) || other == direction_) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (mt) {
        CMediaType partial(*mt);
        return AgreeMediaType(receivePin, &partial);
    }
    return AgreeMediaType(receivePin, nullptr);
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const CMediaType* partial) {
    if (partial && !partial->IsPartiallySpecified()) return AttemptConnection(receivePin, *partial);
    ComPtr<IEnumMediaTypes> theirs;
    HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
    if (SUCCEEDED(receivePin->EnumMediaTypes(&theirs))) {
        hr = TryTypes(theirs.Get(), receivePin, partial);
        if (hr == S_OK) return S_OK;
    }
    const HRESULT own = TryOwnTypes(receivePin, partial);
    if (own == S_OK) return S_OK;
    // Report the more specific of the two failures.
    return own != VFW_E_NO_ACCEPTABLE_TYPES ? own : hr;
}

HRESULT CBasePin::TryTypes(IEnumMediaTypes* types, IPin* receivePin, const CMediaType* partial) {
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* next = nullptr;
    while (types->Next(1, &next, nullptr) == S_OK) {
        CMediaType mt(*next);
        DeleteMediaType(next);
        if (partial && !mt.MatchesPartial(*partial)) continue;
        const HRESULT hr = AttemptConnection(receivePin, mt);
        if (hr == S_OK) return S_OK;
        if (FAILED(hr) && hr != E_FAIL) result = hr;
    }
    return result;
}

HRESULT CBasePin::TryOwnTypes(IPin* receivePin, const CMediaType* partial) {
    HRESULT result = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int i = 0;; ++i) {
        CMediaType mt;
        if (GetMediaType(i, &mt) != S_OK) break;
        if (partial && !mt.MatchesPartial(*partial)) continue;
        const HRESULT hr = AttemptConnection(receivePin, mt);
        if (hr == S_OK) return S_OK;
        if (FAILED(hr) && hr != E_FAIL) result = hr;
    }
    return result;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType& mt) {
    HRESULT hr = CheckConnect(receivePin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    hr = CheckMediaType(&mt);
    if (hr != S_OK) {
        BreakConnect();
        return FAILED(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
    }
    connected_ = receivePin;
    hr = SetMediaType(&mt);
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(static_cast<IPin*>(this), &mt);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr)) return S_OK;
            receivePin->Disconnect();
        }
    }
    connected_.Reset();
    mt_.Clear();
    BreakConnect();
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    CAutoLock lock(*lock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION other;
    if (FAILED(connector->QueryDirection(&other)) || other == direction_) {
        return VFW_E_INVALID_DIRECTION;
    }
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    const CMediaType type(*mt);
    if (CheckMediaType(&type) != S_OK) {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    connected_ = connector;
    hr = SetMediaType(&type);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        connected_.Reset();
        mt_.Clear();
        BreakConnect();
        return hr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::Disconnect() {
    CAutoLock lock(*lock_);
    if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (!connected_) return S_FALSE;
    BreakConnect();
    connected_.Reset();
    mt_.Clear();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(*lock_);
    *pin = connected_.Get();
    if (!*pin) return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    CAutoLock lock(*lock_);
    if (!connected_) {
        *mt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &mt_);
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    const size_t n = std::min<size_t>(name_.size(), MAX_PIN_NAME - 1);
    name_.copy(info->achName, n);
    info->achName[n] = L'\0';
    info->dir = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    const size_t bytes = (id_.size() + 1) * sizeof(wchar_t);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, id_.c_str(), bytes);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    const CMediaType type(*mt);
    // Only S_OK and S_FALSE are allowed here, whatever the check returned.
    return CheckMediaType(&type) == S_OK ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CBasePin::EnumMediaTypes(IEnumMediaTypes** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) CEnumMediaTypes(this);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                               double rate) {
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::Notify(IBaseFilter*, Quality) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBasePin::SetSink(IQualityControl* sink) {
    CAutoLock lock(*lock_);
    qualitySink_ = sink;
    return S_OK;
}

HRESULT CBasePin::GetMediaType(int position, CMediaType*) {
    return position < 0 ? E_INVALIDARG : VFW_S_NO_MORE_ITEMS;
}

HRESULT CBasePin::SetMediaType(const CMediaType* mt) { return mt_.Set(*mt); }

HRESULT CBasePin::CheckConnect(IPin*) { return S_OK; }

HRESULT CBasePin::BreakConnect() { return S_OK; }

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }
