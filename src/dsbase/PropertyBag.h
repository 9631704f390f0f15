// IPersistPropertyBag for device filters: the system device enumerator creates the filter and
// calls Load with the device's registry bag; the filter reads "FriendlyName", "Description"
// and "DevicePath" from it to know which device it stands for.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

// Reads a string value; S_FALSE (and an empty string) when the bag has no such value.
HRESULT ReadBagString(IPropertyBag* bag, const wchar_t* name, std::wstring* out);

// Mixin for a filter class that also derives from CUnknown: the derived class answers
// IID_IPersistPropertyBag in its NonDelegatingQueryInterface and supplies IUnknown through
// DECLARE_IUNKNOWN. Thread: Load runs on the creating thread before the filter is used.
class CPersistPropertyBag : public IPersistPropertyBag {
public:
    explicit CPersistPropertyBag(REFCLSID clsid) : clsid_(clsid) {}
    virtual ~CPersistPropertyBag() = default;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }
    // Reads the three values, then lets the derived class take what else it needs.
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

    const std::wstring& BagFriendlyName() const { return friendlyName_; }
    const std::wstring& BagDescription() const { return description_; }
    const std::wstring& BagDevicePath() const { return devicePath_; }

protected:
    virtual HRESULT OnLoad(IPropertyBag*) { return S_OK; }

private:
    CLSID clsid_;
    std::wstring friendlyName_;
    std::wstring description_;
    std::wstring devicePath_;
};
