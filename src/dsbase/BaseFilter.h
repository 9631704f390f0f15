// The base filter: IBaseFilter, IMediaFilter and IPersist over a set of pins supplied by the
// derived class. It owns the Stop/Pause/Run state machine (each transition calls the connected
// pins' Active/Inactive/Run and records the new state only when they succeeded), the reference
// clock, and the filter's place in a graph.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <mutex>
#include <string>

#include "dsbase/Unknown.h"

class CBasePin;

// A critical section as the filter and its pins share it. Recursive, as DirectShow calls
// re-enter: Stop holds the filter lock while a pin's Inactive takes it again.
using CCritSec = std::recursive_mutex;
using CAutoLock = std::lock_guard<std::recursive_mutex>;

// Thread: the state methods run on the application thread (the graph manager's caller) under
// the filter lock; State() and Clock() are read by streaming threads. The derived class owns
// the pins and the lock passed in (the lock must outlive the filter's use of it).
class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(const wchar_t* name, IUnknown* outer, CCritSec* lock, REFCLSID clsid);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** out) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** out) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    // The stream time now (reference clock minus the run start); VFW_E_NO_CLOCK without one.
    virtual HRESULT StreamTime(REFERENCE_TIME* t);
    // Changes whenever the pin set changes, so pin enumerators notice.
    virtual LONG GetPinVersion() { return pinVersion_.load(); }
    virtual int GetPinCount() = 0;
    // Pin n without a reference added, or null.
    virtual CBasePin* GetPin(int n) = 0;

    void IncrementPinVersion() { ++pinVersion_; }
    FILTER_STATE State() const { return state_.load(); }
    bool IsStopped() const { return State() == State_Stopped; }
    bool IsActive() const { return State() != State_Stopped; }
    REFERENCE_TIME RunStartTime() const { return start_; }
    CCritSec* FilterLock() const { return lock_; }
    // The graph the filter belongs to (not counted; valid while the filter is in the graph).
    IFilterGraph* Graph() const { return graph_; }
    // A counted reference to the reference clock, or null.
    Microsoft::WRL::ComPtr<IReferenceClock> Clock();
    // Sends an event to the graph's event sink; E_NOTIMPL outside a graph. For EC_COMPLETE the
    // second parameter is replaced by this filter, as the graph manager expects.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

protected:
    // Applies pin hooks to every connected pin; the first failure is returned, all are called.
    HRESULT ForEachConnectedPin(HRESULT (CBasePin::*hook)());

    CCritSec* lock_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    REFERENCE_TIME start_ = 0;

private:
    CLSID clsid_;
    std::wstring graphName_;
    Microsoft::WRL::ComPtr<IReferenceClock> clock_;
    std::mutex clockMutex_;
    // Neither pointer is counted: the graph holds a counted reference to every filter in it,
    // so a counted reference back would be a cycle that keeps both alive forever. The graph
    // calls JoinFilterGraph(nullptr) before it releases us, which clears both.
    IFilterGraph* graph_ = nullptr;
    IMediaEventSink* sink_ = nullptr;
    std::atomic<LONG> pinVersion_{1};
};
