#include "devices/VideoPin.h"

#include <cstdlib>

#include "devices/MediaFormats.h"
#include "devices/TestCardFilter.h"

namespace lumoka {
namespace {

// The first capability with a plain VIDEOINFOHEADER: the card's default format.
const VideoCapability& DefaultCapability() {
    for (const VideoCapability& c : TestCardCapabilities()) {
        if (!c.headerV2) return c;
    }
    return TestCardCapabilities().front();
}

}  // namespace

CVideoPin::CVideoPin(CTestCardFilter* card, const wchar_t* name, const GUID& category)
    : CDevicePushPin(L"Test card video pin", card, name, category), card_(card) {
    const VideoCapability& c = DefaultCapability();
    format_ = MakeVideoType(c, c.width, c.height, c.defaultInterval);
    interval_ = c.defaultInterval;
    SetMediaTypes(DefaultOffer());
}

std::vector<CMediaType> CVideoPin::DefaultOffer() const {
    std::vector<CMediaType> types{format_};
    for (const VideoCapability& c : TestCardCapabilities()) {
        if (c.headerV2) continue;
        CMediaType t = MakeVideoType(c, c.width, c.height, c.defaultInterval);
        if (t != format_) types.push_back(t);
    }
    return types;
}

HRESULT STDMETHODCALLTYPE CVideoPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMStreamConfig) return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    return CDevicePushPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CVideoPin::SetFormat(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    VideoRequest r;
    if (!ParseVideoRequest(*mt, &r) || r.headerV2) return VFW_E_INVALIDMEDIATYPE;
    // Packed YUV is always top-down; RGB may ask for top-down with a negative height.
    if (r.height < 0 && IsPackedYuv(r.format)) return VFW_E_INVALIDMEDIATYPE;
    const int index = FindVideoCapability(r.format, false, r.width, std::abs(r.height), r.interval);
    if (index < 0) return VFW_E_INVALIDMEDIATYPE;
    const CMediaType type =
        MakeVideoType(TestCardCapabilities()[index], r.width, r.height, r.interval);
    if (!type.IsValid()) return E_OUTOFMEMORY;

    return ChangeFormat(type, {type}, [&] {
        format_ = type;
        formatSet_ = true;
        interval_ = r.interval;
    });
}

HRESULT STDMETHODCALLTYPE CVideoPin::GetFormat(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    CAutoLock lock(*lock_);
    *mt = CreateMediaType(IsConnected() ? &CurrentMediaType() : &format_);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CVideoPin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = static_cast<int>(TestCardCapabilities().size());
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVideoPin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    const auto& all = TestCardCapabilities();
    if (index < 0) return E_INVALIDARG;
    if (index >= static_cast<int>(all.size())) return S_FALSE;
    const VideoCapability& c = all[index];
    const CMediaType type = MakeVideoType(c, c.width, c.height, c.defaultInterval);
    *mt = CreateMediaType(&type);
    if (!*mt) return E_OUTOFMEMORY;
    FillVideoConfigCaps(c, reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}

HRESULT CVideoPin::CheckMediaType(const CMediaType* mt) {
    VideoRequest r;
    if (!mt || !ParseVideoRequest(*mt, &r) || r.headerV2 || r.width <= 0 || r.height == 0) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (r.height < 0 && IsPackedYuv(r.format)) return VFW_E_TYPE_NOT_ACCEPTED;
    CAutoLock lock(*lock_);
    if (formatSet_) {
        // After SetFormat only that format (bottom-up or top-down) is delivered.
        VideoRequest set;
        ParseVideoRequest(format_, &set);
        return r.format == set.format && r.width == set.width &&
                       std::abs(r.height) == std::abs(set.height)
                   ? S_OK
                   : VFW_E_TYPE_NOT_ACCEPTED;
    }
    for (const VideoCapability& c : TestCardCapabilities()) {
        if (!c.headerV2 && c.format == r.format &&
            AcceptsVideoRequest(c, r.width, std::abs(r.height), c.defaultInterval)) {
            return S_OK;
        }
    }
    return VFW_E_TYPE_NOT_ACCEPTED;
}

REFERENCE_TIME CVideoPin::FrameInterval() const {
    const VIDEOINFOHEADER* vih = CurrentMediaType().VideoInfo();
    return vih && vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : interval_;
}

HRESULT CVideoPin::Active() {
    frame_ = 0;
    return CDevicePushPin::Active();
}

HRESULT CVideoPin::FillBuffer(IMediaSample* sample) {
    bool waited = false;
    if (!WaitForSignal(&waited)) return VFW_E_WRONG_STATE;
    if (waited) {
        // Stamp the first picture after a loss with the time it is really taken.
        REFERENCE_TIME now = 0;
        if (SUCCEEDED(card_->StreamTime(&now))) {
            REFERENCE_TIME stop = now + FrameInterval();
            sample->SetTime(&now, &stop);
        }
        sample->SetDiscontinuity(TRUE);
    }
    // The connected type is fixed while the pin is active.
    const PictureLayout layout = LayoutOf(CurrentMediaType());
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const long size = sample->GetSize();
    if (layout.width <= 0 || size < 0 || static_cast<size_t>(size) < layout.ImageSize()) {
        return VFW_E_BUFFER_OVERFLOW;
    }
    if (!picture_.Render(frame_, card_->CurrentInput(), card_->CurrentAdjust(), layout, data,
                         static_cast<size_t>(size))) {
        return E_UNEXPECTED;
    }
    card_->PublishFrameStamp(static_cast<uint32_t>(frame_));
    ++frame_;
    return sample->SetActualDataLength(static_cast<long>(layout.ImageSize()));
}

}  // namespace lumoka
