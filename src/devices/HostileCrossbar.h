// The hostile card's crossbar (hostile::kCrossbar): 60 input pins and 40 output pins, as a
// card with many connectors shows them, whose driver answers badly. Route always fails although
// CanRoute says yes; the pin information of every seventh index (3, 10, ...) and the routing
// query of odd outputs fail; physical types include 0, negative and unknown values; related
// indexes point past the pins; some outputs report a routed input that does not exist. With
// countLies (hostile::kCountMismatch) get_PinCounts claims a million inputs.
//
// The card adds it to its graph and connects output 0 to its analogue input; the graph owns it.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <memory>
#include <vector>

#include "devices/AnalogPin.h"
#include "dsbase/BaseFilter.h"

namespace lumoka {

// Thread: application thread (the graph's caller).
class CHostileCrossbar : public CBaseFilter, public IAMCrossbar {
public:
    explicit CHostileCrossbar(bool countLies);
    ~CHostileCrossbar() override;

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    HRESULT STDMETHODCALLTYPE get_PinCounts(long* outputs, long* inputs) override;
    HRESULT STDMETHODCALLTYPE CanRoute(long output, long input) override;
    HRESULT STDMETHODCALLTYPE Route(long output, long input) override;
    HRESULT STDMETHODCALLTYPE get_IsRoutedTo(long output, long* input) override;
    HRESULT STDMETHODCALLTYPE get_CrossbarPinInfo(BOOL isInput, long index, long* related,
                                                  long* physicalType) override;

    // Output 0, which the card connects to its analogue input.
    IPin* VideoOutputPin();

    static constexpr long kInputs = 60;
    static constexpr long kOutputs = 40;
    static constexpr long kClaimedInputs = 1000000;

private:
    CCritSec lock_;
    bool countLies_;
    std::vector<std::unique_ptr<CAnalogPin>> pins_;  // inputs, then outputs
};

}  // namespace lumoka
