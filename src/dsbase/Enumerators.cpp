#include "dsbase/Enumerators.h"

#include <new>

#include "dsbase/BaseFilter.h"
#include "dsbase/BasePin.h"

CEnumPins::CEnumPins(CBaseFilter* filter, int position)
    : filter_(filter), position_(position), version_(filter->GetPinVersion()) {
    filter_->AddRef();
}

CEnumPins::~CEnumPins() { filter_->Release(); }

bool CEnumPins::OutOfSync() const { return version_ != filter_->GetPinVersion(); }

HRESULT STDMETHODCALLTYPE CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (!pins) return E_POINTER;
    // Without a place to say how many came back, only one may be asked for.
    if (count > 1 && !fetched) return E_POINTER;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count && position_ < filter_->GetPinCount()) {
        CBasePin* pin = filter_->GetPin(position_++);
        if (!pin) continue;
        pins[got] = pin;
        pins[got]->AddRef();
        ++got;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    const int total = filter_->GetPinCount();
    if (static_cast<ULONG>(total - position_) < count) {
        position_ = total;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Reset() {
    version_ = filter_->GetPinVersion();
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Clone(IEnumPins** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* copy = new (std::nothrow) CEnumPins(filter_, position_);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, int position)
    : pin_(pin), position_(position), version_(pin->GetMediaTypeVersion()) {
    pin_->AddRef();
}

CEnumMediaTypes::~CEnumMediaTypes() { pin_->Release(); }

bool CEnumMediaTypes::OutOfSync() const { return version_ != pin_->GetMediaTypeVersion(); }

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types,
                                                ULONG* fetched) {
    if (!types) return E_POINTER;
    if (count > 1 && !fetched) return E_POINTER;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) break;
        ++position_;
        types[got] = CreateMediaType(&mt);
        if (!types[got]) {
            for (ULONG i = 0; i < got; ++i) DeleteMediaType(types[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        ++got;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    for (ULONG i = 0; i < count; ++i) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Reset() {
    version_ = pin_->GetMediaTypeVersion();
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Clone(IEnumMediaTypes** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    auto* copy = new (std::nothrow) CEnumMediaTypes(pin_, position_);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}
