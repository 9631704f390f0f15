// The virtual microphone "Lumoka Test Tone": one PCM capture pin ("Capture") delivering a
// 440 Hz sine tone; the test switch of ILumokaTestDevice works on it as on the test card.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include "devices/TestDeviceFilter.h"

namespace lumoka {

// Thread: see CTestDeviceFilter.
class CTestToneFilter : public CTestDeviceFilter {
public:
    CTestToneFilter();
    static HRESULT Create(IUnknown* outer, IUnknown** out);
};

}  // namespace lumoka
