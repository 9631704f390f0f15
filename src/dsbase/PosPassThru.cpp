#include "dsbase/PosPassThru.h"

using Microsoft::WRL::ComPtr;

CPosPassThru::CPosPassThru(const wchar_t* name, IUnknown* outer, IPin* inputPin)
    : CUnknown(name, outer), inputPin_(inputPin) {}

HRESULT STDMETHODCALLTYPE CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaPosition || riid == IID_IDispatch) {
        return GetInterface(static_cast<IMediaPosition*>(this), ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

template <class I>
HRESULT CPosPassThru::Upstream(I** out, REFIID iid) {
    ComPtr<IPin> peer;
    if (FAILED(inputPin_->ConnectedTo(&peer)) || !peer) return VFW_E_NOT_CONNECTED;
    if (FAILED(peer->QueryInterface(iid, reinterpret_cast<void**>(out)))) {
        return E_NOTIMPL;
    }
    return S_OK;
}

#define FORWARD(Iface, call)                                          \
    do {                                                              \
        ComPtr<Iface> up;                                             \
        const HRESULT hr_ = Upstream(up.GetAddressOf(), IID_##Iface); \
        if (FAILED(hr_)) return hr_;                                  \
        return up->call;                                              \
    } while (0)

HRESULT STDMETHODCALLTYPE CPosPassThru::GetCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    FORWARD(IMediaSeeking, GetCapabilities(caps));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::CheckCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    FORWARD(IMediaSeeking, CheckCapabilities(caps));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    FORWARD(IMediaSeeking, IsFormatSupported(format));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::QueryPreferredFormat(GUID* format) {
    if (!format) return E_POINTER;
    FORWARD(IMediaSeeking, QueryPreferredFormat(format));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    FORWARD(IMediaSeeking, GetTimeFormat(format));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    FORWARD(IMediaSeeking, IsUsingTimeFormat(format));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::SetTimeFormat(const GUID* format) {
    FORWARD(IMediaSeeking, SetTimeFormat(format));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetDuration(LONGLONG* duration) {
    if (!duration) return E_POINTER;
    FORWARD(IMediaSeeking, GetDuration(duration));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetStopPosition(LONGLONG* stop) {
    if (!stop) return E_POINTER;
    FORWARD(IMediaSeeking, GetStopPosition(stop));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    FORWARD(IMediaSeeking, GetCurrentPosition(current));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::ConvertTimeFormat(LONGLONG* target,
                                                          const GUID* targetFormat, LONGLONG source,
                                                          const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    FORWARD(IMediaSeeking, ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags,
                                                     LONGLONG* stop, DWORD stopFlags) {
    FORWARD(IMediaSeeking, SetPositions(current, currentFlags, stop, stopFlags));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    FORWARD(IMediaSeeking, GetPositions(current, stop));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    FORWARD(IMediaSeeking, GetAvailable(earliest, latest));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::SetRate(double rate) {
    FORWARD(IMediaSeeking, SetRate(rate));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    FORWARD(IMediaSeeking, GetRate(rate));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    FORWARD(IMediaSeeking, GetPreroll(preroll));
}

HRESULT STDMETHODCALLTYPE CPosPassThru::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CPosPassThru::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CPosPassThru::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE CPosPassThru::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                               EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CPosPassThru::get_Duration(REFTIME* length) {
    if (!length) return E_POINTER;
    FORWARD(IMediaPosition, get_Duration(length));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::put_CurrentPosition(REFTIME time) {
    FORWARD(IMediaPosition, put_CurrentPosition(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::get_CurrentPosition(REFTIME* time) {
    if (!time) return E_POINTER;
    FORWARD(IMediaPosition, get_CurrentPosition(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::get_StopTime(REFTIME* time) {
    if (!time) return E_POINTER;
    FORWARD(IMediaPosition, get_StopTime(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::put_StopTime(REFTIME time) {
    FORWARD(IMediaPosition, put_StopTime(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::get_PrerollTime(REFTIME* time) {
    if (!time) return E_POINTER;
    FORWARD(IMediaPosition, get_PrerollTime(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::put_PrerollTime(REFTIME time) {
    FORWARD(IMediaPosition, put_PrerollTime(time));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::put_Rate(double rate) {
    FORWARD(IMediaPosition, put_Rate(rate));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::get_Rate(double* rate) {
    if (!rate) return E_POINTER;
    FORWARD(IMediaPosition, get_Rate(rate));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::CanSeekForward(LONG* can) {
    if (!can) return E_POINTER;
    FORWARD(IMediaPosition, CanSeekForward(can));
}
HRESULT STDMETHODCALLTYPE CPosPassThru::CanSeekBackward(LONG* can) {
    if (!can) return E_POINTER;
    FORWARD(IMediaPosition, CanSeekBackward(can));
}
