#include "devices/AudioPin.h"

#include <algorithm>

#include "devices/MediaFormats.h"

namespace lumoka {
namespace {
constexpr long kDefaultBuffers = 8;
constexpr long kDefaultBufferMs = 20;
}  // namespace

CAudioPin::CAudioPin(CTestDeviceFilter* device, const wchar_t* name, double toneHz)
    : CDevicePushPin(L"Test tone audio pin", device, name, PIN_CATEGORY_CAPTURE),
      tone_(toneHz, 0.5) {
    format_ = TestToneCapabilities().front().preferred;
    type_ = MakePcmType(format_);
    SetMediaTypes({type_});
}

HRESULT STDMETHODCALLTYPE CAudioPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMStreamConfig) return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    if (riid == IID_IAMBufferNegotiation) {
        return GetInterface(static_cast<IAMBufferNegotiation*>(this), ppv);
    }
    return CDevicePushPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CAudioPin::SetFormat(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    PcmFormat f;
    if (!ParsePcmRequest(*mt, &f)) return VFW_E_INVALIDMEDIATYPE;
    const auto& caps = TestToneCapabilities();
    if (std::none_of(caps.begin(), caps.end(),
                     [&](const AudioCapability& c) { return AcceptsAudioRequest(c, f); })) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    const CMediaType type = MakePcmType(f);
    if (!type.IsValid()) return E_OUTOFMEMORY;
    return ChangeFormat(type, {type}, [&] {
        format_ = f;
        type_ = type;
    });
}

HRESULT STDMETHODCALLTYPE CAudioPin::GetFormat(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    CAutoLock lock(*lock_);
    *mt = CreateMediaType(&type_);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CAudioPin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = static_cast<int>(TestToneCapabilities().size());
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioPin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    const auto& all = TestToneCapabilities();
    if (index < 0) return E_INVALIDARG;
    if (index >= static_cast<int>(all.size())) return S_FALSE;
    const CMediaType type = MakePcmType(all[index].preferred);
    *mt = CreateMediaType(&type);
    if (!*mt) return E_OUTOFMEMORY;
    FillAudioConfigCaps(all[index], reinterpret_cast<AUDIO_STREAM_CONFIG_CAPS*>(caps));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioPin::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    CAutoLock lock(*lock_);
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    suggested_ = *props;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CAudioPin::GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    CAutoLock lock(*lock_);
    if (!PinAllocator()) return VFW_E_NO_ALLOCATOR;
    return PinAllocator()->GetProperties(props);
}

HRESULT CAudioPin::CheckMediaType(const CMediaType* mt) {
    PcmFormat f;
    if (!mt || !ParsePcmRequest(*mt, &f)) return VFW_E_TYPE_NOT_ACCEPTED;
    CAutoLock lock(*lock_);
    return f.channels == format_.channels && f.bitsPerSample == format_.bitsPerSample &&
                   f.samplesPerSec == format_.samplesPerSec
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    const long block = format_.BlockAlign();
    const long perSecond = block * format_.samplesPerSec;
    long bytes =
        suggested_.cbBuffer > 0 ? suggested_.cbBuffer : perSecond * kDefaultBufferMs / 1000;
    bytes = std::max(block, bytes - bytes % block);
    ALLOCATOR_PROPERTIES want{};
    want.cBuffers = suggested_.cBuffers > 0 ? suggested_.cBuffers
                                            : std::max(request->cBuffers, kDefaultBuffers);
    want.cbBuffer = std::max(bytes, request->cbBuffer);
    want.cbAlign = suggested_.cbAlign > 0 ? suggested_.cbAlign : std::max(1L, request->cbAlign);
    want.cbPrefix = suggested_.cbPrefix > 0 ? suggested_.cbPrefix : std::max(0L, request->cbPrefix);
    ALLOCATOR_PROPERTIES got{};
    const HRESULT hr = allocator->SetProperties(&want, &got);
    if (FAILED(hr)) return hr;
    if (got.cBuffers < 1 || got.cbBuffer < bytes) return E_FAIL;
    bufferBytes_ = bytes;
    return S_OK;
}

REFERENCE_TIME CAudioPin::FrameInterval() const {
    const long perSecond = format_.BlockAlign() * format_.samplesPerSec;
    if (perSecond <= 0 || bufferBytes_ <= 0) return 200000;
    return static_cast<REFERENCE_TIME>(bufferBytes_) * 10000000 / perSecond;
}

HRESULT CAudioPin::Active() {
    tone_.SetFormat(format_);
    samplesOut_ = 0;
    return CDevicePushPin::Active();
}

HRESULT CAudioPin::FillBuffer(IMediaSample* sample) {
    bool waited = false;
    if (!WaitForSignal(&waited)) return VFW_E_WRONG_STATE;
    REFERENCE_TIME start = 0, stop = 0;
    if (samplesOut_ == 0 || waited) {
        // The first buffer (or the first after a loss) starts the count at its clock time.
        if (waited && SUCCEEDED(device_->StreamTime(&start))) {
            firstStart_ = start;
        } else if (sample->GetTime(&start, &stop) == S_OK) {
            firstStart_ = start;
        } else {
            firstStart_ = 0;
        }
        samplesOut_ = 0;
        sample->SetDiscontinuity(TRUE);
    }
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const long size = std::min<long>(sample->GetSize(), bufferBytes_);
    const size_t written = tone_.Fill(data, size > 0 ? static_cast<size_t>(size) : 0);
    if (written == 0) return VFW_E_BUFFER_OVERFLOW;
    const int64_t frames = static_cast<int64_t>(written) / format_.BlockAlign();
    start = firstStart_ + samplesOut_ * 10000000 / format_.samplesPerSec;
    samplesOut_ += frames;
    stop = firstStart_ + samplesOut_ * 10000000 / format_.samplesPerSec;
    sample->SetTime(&start, &stop);
    return sample->SetActualDataLength(static_cast<long>(written));
}

}  // namespace lumoka
