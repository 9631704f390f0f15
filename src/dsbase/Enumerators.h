// IEnumPins over a filter's pins and IEnumMediaTypes over a pin's preferred types. Each keeps
// the version of the list it was made for; once the filter's pin set or the pin's type list
// changes, Next, Skip and Clone fail with VFW_E_ENUM_OUT_OF_SYNC until Reset.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include "dsbase/Unknown.h"

class CBaseFilter;
class CBasePin;

// Thread: any one thread at a time (enumerators are not shared). Holds a counted reference to
// its filter (or pin, which counts on its filter).
class CEnumPins : public CComObject<IEnumPins> {
public:
    explicit CEnumPins(CBaseFilter* filter, int position = 0);
    ~CEnumPins() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** out) override;

private:
    bool OutOfSync() const;

    CBaseFilter* filter_;
    int position_;
    LONG version_;
};

class CEnumMediaTypes : public CComObject<IEnumMediaTypes> {
public:
    explicit CEnumMediaTypes(CBasePin* pin, int position = 0);
    ~CEnumMediaTypes() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** out) override;

private:
    bool OutOfSync() const;

    CBasePin* pin_;
    int position_;
    LONG version_;
};
