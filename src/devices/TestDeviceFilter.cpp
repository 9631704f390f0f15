#include "devices/TestDeviceFilter.h"

#include <evcode.h>

#include <chrono>
#include <thread>

namespace lumoka {
namespace {
constexpr ULONGLONG kPollIntervalMs = 500;
}

std::wstring SignalSwitchKey(const std::wstring& deviceName) {
    return L"Software\\Lumoka2\\TestDevices\\" + deviceName;
}

CTestDeviceFilter::CTestDeviceFilter(const wchar_t* name, REFCLSID clsid)
    : CLiveSourceFilter(name, nullptr, clsid), CPersistPropertyBag(clsid) {}

HRESULT STDMETHODCALLTYPE CTestDeviceFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == __uuidof(ILumokaTestDevice)) {
        return GetInterface(static_cast<ILumokaTestDevice*>(this), ppv);
    }
    if (riid == IID_IPersistPropertyBag) {
        return GetInterface(static_cast<IPersistPropertyBag*>(this), ppv);
    }
    return CLiveSourceFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTestDeviceFilter::OnLoad(IPropertyBag*) {
    std::lock_guard<std::mutex> guard(pollMutex_);
    switchKey_ = SignalSwitchKey(BagDevicePath().empty() ? BagFriendlyName() : BagDevicePath());
    return S_OK;
}

std::wstring CTestDeviceFilter::DeviceName() {
    return BagDevicePath().empty() ? BagFriendlyName() : BagDevicePath();
}

HRESULT STDMETHODCALLTYPE CTestDeviceFilter::SetSignalLost(BOOL lost) {
    ApplySignal(lost != FALSE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestDeviceFilter::GetSignalLost(BOOL* lost) {
    if (!lost) return E_POINTER;
    *lost = lost_.load() ? TRUE : FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestDeviceFilter::GetDelivered(long pin, long* count) {
    if (!count) return E_POINTER;
    CLivePushPin* p = PushPin(static_cast<int>(pin));
    if (!p) return E_INVALIDARG;
    *count = p->FramesDelivered();
    return S_OK;
}

void CTestDeviceFilter::ApplySignal(bool lost) {
    if (lost_.exchange(lost) == lost) return;
    // Param 1 is the device's IUnknown, uncounted as the event documents; 0 = removed, 1 = back.
    NotifyEvent(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)),
                lost ? 0 : 1);
}

void CTestDeviceFilter::PollRegistry() {
    std::wstring key;
    DWORD previous = 0;
    {
        std::lock_guard<std::mutex> guard(pollMutex_);
        const ULONGLONG now = GetTickCount64();
        if (switchKey_.empty() || now < nextPoll_) return;
        nextPoll_ = now + kPollIntervalMs;
        key = switchKey_;
        previous = lastRegistryValue_;
    }
    // An unplugged device (see DeviceIds.h) delivers nothing either.
    DWORD value = 0;
    for (const wchar_t* name : {L"SignalLost", L"Unplugged"}) {
        DWORD one = 0, size = sizeof(one);
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &one,
                         &size) == ERROR_SUCCESS && one != 0) {
            value = 1;
        }
    }
    {
        std::lock_guard<std::mutex> guard(pollMutex_);
        lastRegistryValue_ = value;
    }
    // Only a change of the value acts, so it does not undo the in-process switch.
    if ((value != 0) != (previous != 0)) ApplySignal(value != 0);
}

bool CTestDeviceFilter::WaitForSignal(const std::atomic<bool>& stopping, bool* waited) {
    *waited = false;
    for (;;) {
        PollRegistry();
        if (stopping.load()) return false;
        if (!lost_.load()) return true;
        *waited = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

CDevicePushPin::CDevicePushPin(const wchar_t* objectName, CTestDeviceFilter* device,
                               const wchar_t* name, const GUID& category)
    : CLivePushPin(objectName, device, device->FilterLock(), name, category), device_(device) {}

HRESULT CDevicePushPin::Active() {
    stopping_ = false;
    return CLivePushPin::Active();
}

HRESULT CDevicePushPin::Inactive() {
    // First release a streaming thread that waits for the signal, then stop it.
    stopping_ = true;
    return CLivePushPin::Inactive();
}

HRESULT CDevicePushPin::ChangeFormat(const CMediaType& newType, std::vector<CMediaType> offered,
                                     const std::function<void()>& commit) {
    Microsoft::WRL::ComPtr<IPin> peer;
    IFilterGraph* graph = nullptr;
    {
        CAutoLock lock(*lock_);
        if (!device_->IsStopped()) return VFW_E_NOT_STOPPED;
        if (IsConnected()) {
            // Only the graph can reconnect the pin; outside one the connection stays as it is.
            graph = device_->Graph();
            if (!graph) return VFW_E_NOT_IN_GRAPH;
            peer = GetConnected();
            if (peer->QueryAccept(&newType) != S_OK) return VFW_E_INVALIDMEDIATYPE;
        }
        SetMediaTypes(std::move(offered));
        commit();
    }
    // Reconnect outside our lock: the graph disconnects and connects both pins again.
    if (peer) return graph->Reconnect(static_cast<IPin*>(this));
    return S_OK;
}

}  // namespace lumoka
