// The base pin: IPin and IQualityControl with the connection protocol (agreeing a media type,
// attempting it, the receiving side's checks, disconnection) and the hooks a concrete pin
// overrides: CheckMediaType, GetMediaType, SetMediaType, CheckConnect, CompleteConnect,
// BreakConnect and the Active/Inactive/Run state hooks the filter calls.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <string>

#include "dsbase/BaseFilter.h"
#include "dsbase/MediaType.h"

// A pin is a separate COM identity whose reference count is its filter's: AddRef/Release go
// to the filter, so a held pin keeps its filter alive and the filter owns (and deletes) its
// pins without a reference cycle.
// Thread: connection methods run on the application thread under the filter lock; the
// streaming methods (EndOfStream, flushing, NewSegment) run on the streaming thread.
class CBasePin : public CUnknown, public IPin, public IQualityControl {
public:
    // id defaults to the name.
    CBasePin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock, const wchar_t* name,
             PIN_DIRECTION direction, const wchar_t* id = nullptr);
    ~CBasePin() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** out) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override = 0;
    HRESULT STDMETHODCALLTYPE BeginFlush() override = 0;
    HRESULT STDMETHODCALLTYPE EndFlush() override = 0;
    // Records the segment; derived pins forward it.
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;
    // IQualityControl: the base refuses quality messages; SetSink records an uncounted sink.
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* self, Quality q) override;
    HRESULT STDMETHODCALLTYPE SetSink(IQualityControl* sink) override;

    // Hooks. CheckMediaType returns S_OK only for an acceptable type.
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    // Preferred type at position (0-based): S_OK, VFW_S_NO_MORE_ITEMS past the end,
    // E_INVALIDARG below 0.
    virtual HRESULT GetMediaType(int position, CMediaType* mt);
    // Changes when the list GetMediaType gives changes, so type enumerators notice.
    virtual LONG GetMediaTypeVersion() { return typeVersion_.load(); }
    virtual HRESULT SetMediaType(const CMediaType* mt);
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // State hooks called by the filter for connected pins.
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME) { return S_OK; }

    bool IsConnected() const { return connected_ != nullptr; }
    IPin* GetConnected() const { return connected_.Get(); }
    const CMediaType& CurrentMediaType() const { return mt_; }
    PIN_DIRECTION Direction() const { return direction_; }
    const wchar_t* Id() const { return id_.c_str(); }
    const wchar_t* Name() const { return name_.c_str(); }
    CBaseFilter* Filter() const { return filter_; }
    void IncrementTypeVersion() { ++typeVersion_; }
    REFERENCE_TIME SegmentStart() const { return segmentStart_; }
    REFERENCE_TIME SegmentStop() const { return segmentStop_; }
    double SegmentRate() const { return segmentRate_; }

protected:
    // Tries the receiving pin's types first, then ours, each filtered by the partial type.
    virtual HRESULT AgreeMediaType(IPin* receivePin, const CMediaType* partial);
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType& mt);
    HRESULT TryTypes(IEnumMediaTypes* types, IPin* receivePin, const CMediaType* partial);
    HRESULT TryOwnTypes(IPin* receivePin, const CMediaType* partial);

    CBaseFilter* filter_;
    CCritSec* lock_;
    Microsoft::WRL::ComPtr<IPin> connected_;
    CMediaType mt_;
    IQualityControl* qualitySink_ = nullptr;  // not counted, as the interface documents

private:
    std::wstring name_;
    std::wstring id_;
    PIN_DIRECTION direction_;
    std::atomic<LONG> typeVersion_{1};
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0;
    double segmentRate_ = 1.0;
};
