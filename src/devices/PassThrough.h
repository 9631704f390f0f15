// "Lumoka Test Pass-Through": a filter with two lanes, input i to output i ("Input 1" ->
// "Output 1", "Input 2" -> "Output 2"), each passing video or audio through unchanged (every
// sample is copied into the output's own buffer with its times and flags). An output offers
// exactly its input's type, so a lane connects upstream first. It shows a property page of its
// own (CLSID_LumokaPassThroughPage) that lists the lanes.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <memory>

#include "devices/DeviceIds.h"
#include "dsbase/InputPin.h"
#include "dsbase/CopyOutputPin.h"

namespace lumoka {

class CPassThroughFilter;
class CPassOutputPin;

// Thread: Receive and the stream calls on the upstream streaming thread; the rest on the
// application thread. Owned by the filter.
class CPassInputPin : public CBaseInputPin {
public:
    CPassInputPin(CPassThroughFilter* filter, CCritSec* lock, const wchar_t* name);
    void SetOutput(CPassOutputPin* out) { output_ = out; }

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;

private:
    CPassOutputPin* output_ = nullptr;
};

class CPassOutputPin : public CCopyOutputPin {
public:
    CPassOutputPin(CPassThroughFilter* filter, CCritSec* lock, const wchar_t* name,
                   CPassInputPin* input);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;

protected:
    CBaseInputPin* SourceInput() const override;

private:
    CPassInputPin* input_;
};

// Thread: application thread (state, connection, pages); see the pins for streaming.
class CPassThroughFilter : public CBaseFilter, public ISpecifyPropertyPages {
public:
    CPassThroughFilter();
    ~CPassThroughFilter() override;
    static HRESULT Create(IUnknown* outer, IUnknown** out);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

    int GetPinCount() override { return 4; }
    CBasePin* GetPin(int n) override;

    // One line per lane for the property page, e.g. "Lane 1: Video -> connected".
    std::wstring LaneSummary();

private:
    CCritSec passLock_;
    std::unique_ptr<CPassInputPin> inputs_[2];
    std::unique_ptr<CPassOutputPin> outputs_[2];
};

}  // namespace lumoka
