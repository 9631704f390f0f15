// A stand-in for the platform's Infinite Pin Tee, for systems that lack it (Wine): one input
// that accepts any type its upstream offers, and output pins that multiply: whenever the last
// unconnected output gets connected, a new one appears. Every sample reaches every connected
// output (copied into that output's own buffer, with its times and flags); end of stream,
// flushes and segments go to all of them. Outputs offer exactly the input's type.
#pragma once

#include <string>  // before platform headers: strsafe.h renames what <string> needs

#include <memory>
#include <vector>

#include "dsbase/InputPin.h"
#include "dsbase/CopyOutputPin.h"

namespace lumoka {

class CInfTee;

// Thread: Receive and the stream calls on the upstream streaming thread; connection on the
// application thread. Owned by the tee.
class CTeeInputPin : public CBaseInputPin {
public:
    CTeeInputPin(CInfTee* tee, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;

private:
    CInfTee* tee_;
};

class CTeeOutputPin : public CCopyOutputPin {
public:
    CTeeOutputPin(CInfTee* tee, CCritSec* lock, const std::wstring& name);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;

protected:
    CBaseInputPin* SourceInput() const override;

private:
    CInfTee* tee_;
};

// Thread: application thread for state and connection (new outputs are only added then, while
// the graph is stopped); the streaming thread walks the outputs. Pins live as long as the tee:
// a client may hold any of them.
class CInfTee : public CBaseFilter {
public:
    CInfTee();
    ~CInfTee() override;
    static HRESULT Create(IUnknown* outer, IUnknown** out);

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    CTeeInputPin* Input() { return input_.get(); }
    // Adds an output when none is left unconnected.
    void OutputConnected();
    // Calls fn for every connected output; stops at the first fn result that fails.
    template <class Fn>
    HRESULT ForEachConnectedOutput(Fn fn);

private:
    CCritSec teeLock_;
    std::unique_ptr<CTeeInputPin> input_;
    std::vector<std::unique_ptr<CTeeOutputPin>> outputs_;
};

template <class Fn>
HRESULT CInfTee::ForEachConnectedOutput(Fn fn) {
    for (const auto& out : outputs_) {
        if (!out->IsConnected()) continue;
        const HRESULT hr = fn(out.get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace lumoka
