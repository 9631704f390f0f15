// What the virtual capture devices have in common: a live source filter that knows which
// device it stands for (from the enumerator's property bag), the signal-loss switch described
// in DeviceIds.h, and push pins that wait while the signal is lost and change their format on
// request (reconnecting when connected).
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "devices/DeviceIds.h"
#include "dsbase/LiveSource.h"
#include "dsbase/PropertyBag.h"

namespace lumoka {

// Thread: state changes and the test switch on the application thread (or a test's thread);
// WaitForSignal on streaming threads. The switch is atomic; the registry poll has its mutex.
class CTestDeviceFilter : public CLiveSourceFilter,
                          public ILumokaTestDevice,
                          public CPersistPropertyBag {
public:
    CTestDeviceFilter(const wchar_t* name, REFCLSID clsid);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ILumokaTestDevice
    HRESULT STDMETHODCALLTYPE SetSignalLost(BOOL lost) override;
    HRESULT STDMETHODCALLTYPE GetSignalLost(BOOL* lost) override;
    HRESULT STDMETHODCALLTYPE GetDelivered(long pin, long* count) override;

    // Called by a pin's streaming thread before each delivery: reads the registry switch when
    // due and blocks while the signal is lost. Returns false when the pin is stopping (then
    // nothing may be delivered); *waited tells whether it had to wait.
    bool WaitForSignal(const std::atomic<bool>& stopping, bool* waited);
    bool SignalLost() const { return lost_.load(); }
    // The name the device is listed under: its "DevicePath", else its "FriendlyName".
    std::wstring DeviceName();

protected:
    HRESULT OnLoad(IPropertyBag* bag) override;

private:
    void ApplySignal(bool lost);
    void PollRegistry();

    std::atomic<bool> lost_{false};
    std::mutex pollMutex_;
    std::wstring switchKey_;
    ULONGLONG nextPoll_ = 0;
    DWORD lastRegistryValue_ = 0;
};

// Thread: see CLivePushPin. Owned by its CTestDeviceFilter.
class CDevicePushPin : public CLivePushPin {
public:
    CDevicePushPin(const wchar_t* objectName, CTestDeviceFilter* device, const wchar_t* name,
                   const GUID& category);

    HRESULT Active() override;
    HRESULT Inactive() override;

protected:
    // Makes newType the pin's format and offers `offered` from now on; commit records the new
    // format in the derived pin (called under the filter lock). A connected pin asks its peer
    // first (VFW_E_INVALIDMEDIATYPE when refused) and then reconnects through the graph.
    HRESULT ChangeFormat(const CMediaType& newType, std::vector<CMediaType> offered,
                         const std::function<void()>& commit);
    bool WaitForSignal(bool* waited) { return device_->WaitForSignal(stopping_, waited); }

    CTestDeviceFilter* device_;
    std::atomic<bool> stopping_{false};
};

// The registry key of the switch for a device name (see DeviceIds.h).
std::wstring SignalSwitchKey(const std::wstring& deviceName);

}  // namespace lumoka
