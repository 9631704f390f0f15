// "Lumoka Test Card (Hostile)": a capture card whose driver misbehaves in the ways real drivers
// do, listed only while a test has registered it (see the top of DeviceIds.h). Which
// misbehaviours it shows is the "Hostile" mask of hostile:: bits, read from the card's switch
// key when the filter object is created, so one bit shows one behaviour alone and the whole
// mask combines them.
//
// Pins in order: the video capture pin "Capture" (RGB32, IAMStreamConfig over the hostile
// capability list), then, with hostile::kCrossbar, the analogue video input its crossbar feeds.
// Always offered, whatever the mask: RGB32 320 x 240 as the first capability and RGB24 640 x 480
// as the last one, both sound, so a build at either index can run. The other capabilities
// (HostileCard.cpp, kCapabilities) appear only with their bit.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <memory>

#include "devices/AnalogPin.h"
#include "devices/TestDeviceFilter.h"

namespace lumoka {

// Thread: interfaces on the application thread; the pin's FillBuffer on its streaming thread.
class CHostileCardFilter : public CTestDeviceFilter {
public:
    explicit CHostileCardFilter(DWORD behaviours);
    ~CHostileCardFilter() override;
    static HRESULT Create(IUnknown* outer, IUnknown** out);
    // The "Hostile" mask under the card's switch key; 0 when it is not set.
    static DWORD ReadBehaviours();

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

    DWORD Behaviours() const { return behaviours_; }

private:
    DWORD behaviours_;
    std::unique_ptr<CAnalogPin> analogIn_;  // with hostile::kCrossbar only
};

// GetStreamCaps calls the card's pins answered with S_FALSE (an index past their list) since
// the DLL was loaded: how far a caller believed a lying GetNumberOfCapabilities.
long HostileCapsQueriesBeyondList();

// Writes a pin name as a broken driver does when it is too long: every character of achName
// used, no terminator.
void FillPinNameWithoutTerminator(PIN_INFO* info, const std::wstring& name);

}  // namespace lumoka
