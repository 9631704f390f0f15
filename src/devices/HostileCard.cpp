#include "devices/HostileCard.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "devices/DeviceNames.h"
#include "devices/HostileCrossbar.h"
#include "wincom/ComAdopt.h"

using Microsoft::WRL::ComPtr;

namespace lumoka {
namespace {

// How a capability's format block comes back from GetStreamCaps.
enum class Block {
    kWhole,              // a complete VIDEOINFOHEADER
    kHeaderOnly,         // 40 bytes: shorter than the header
    kOneShort,           // 87 bytes
    kSizeWithoutBlock,   // cbFormat 88, no block
    kNone,               // cbFormat 0, no block
};

struct HostileCapability {
    DWORD behaviour;  // 0: always offered
    Block block;
    WORD bits;  // 32: RGB32, 24: RGB24
    LONG width, height;
    REFERENCE_TIME avg, minInterval, maxInterval;
    LONG minWidth, minHeight, maxWidth, maxHeight, granularityX, granularityY;
};

constexpr REFERENCE_TIME kNtsc = 333667;

// In GetStreamCaps order. Only the first (RGB32) and the last (RGB24) entry are sound; the
// last one's own subtype shows whether a build counted the usable capabilities as the
// catalogue does.
const HostileCapability kCapabilities[] = {
    {0, Block::kWhole, 32, 320, 240, kNtsc, 166833, 2000000, 160, 120, 640, 480, 8, 8},
    {hostile::kBadSizes, Block::kWhole, 32, 0, 240, kNtsc, 166833, 2000000, 0, 0, 0, 0, 0, 0},
    {hostile::kBadSizes, Block::kWhole, 32, -320, 240, kNtsc, 166833, 2000000, -320, 240, -320, 240,
     8, 8},
    {hostile::kBadSizes, Block::kWhole, 32, 320, 0, kNtsc, 166833, 2000000, 320, 0, 320, 0, 8, 8},
    {hostile::kBadSizes, Block::kWhole, 32, INT_MAX, INT_MAX, kNtsc, 166833, 2000000, INT_MAX,
     INT_MAX, INT_MAX, INT_MAX, 1, 1},
    {hostile::kBadSizes, Block::kWhole, 32, 65536, 65536, kNtsc, 166833, 2000000, 65536, 65536,
     65536, 65536, 16, 16},
    // A sound picture whose output ranges are absurd: listed, the page must cope.
    {hostile::kBadSizes, Block::kWhole, 32, 320, 240, kNtsc, 166833, 2000000, INT_MIN, -5, INT_MAX,
     INT_MAX, 1, -8},
    {hostile::kBadBlocks, Block::kHeaderOnly, 32, 320, 240, kNtsc, 166833, 2000000, 160, 120, 640,
     480, 8, 8},
    {hostile::kBadBlocks, Block::kOneShort, 32, 320, 240, kNtsc, 166833, 2000000, 160, 120, 640, 480,
     8, 8},
    {hostile::kBadBlocks, Block::kSizeWithoutBlock, 32, 320, 240, kNtsc, 166833, 2000000, 160, 120,
     640, 480, 8, 8},
    {hostile::kBadBlocks, Block::kNone, 32, 320, 240, kNtsc, 166833, 2000000, 160, 120, 640, 480, 8,
     8},
    {hostile::kBadIntervals, Block::kWhole, 32, 320, 240, 0, 0, 0, 160, 120, 640, 480, 8, 8},
    {hostile::kBadIntervals, Block::kWhole, 32, 320, 240, -kNtsc, -1, -100, 160, 120, 640, 480, 8, 8},
    {hostile::kBadIntervals, Block::kWhole, 32, 320, 240, kNtsc, 2000000, 166833, 160, 120, 640, 480,
     8, 8},
    {0, Block::kWhole, 24, 640, 480, kNtsc, 166833, 2000000, 160, 120, 640, 480, 8, 8},
};

constexpr long kLongSampleExtra = 4096;
std::atomic<long> g_queriesBeyondList{0};
constexpr wchar_t kSwitchValue[] = L"Hostile";

uint32_t ImageBytes(LONG width, LONG height, WORD bits) {
    const long long stride = (std::llabs(static_cast<long long>(width)) * bits + 31) / 32 * 4;
    const long long bytes = stride * std::llabs(static_cast<long long>(height));
    return bytes > UINT_MAX ? UINT_MAX : static_cast<uint32_t>(bytes);
}

VIDEOINFOHEADER MakeHeader(LONG width, LONG height, REFERENCE_TIME avg, WORD bits) {
    VIDEOINFOHEADER v{};
    v.AvgTimePerFrame = avg;
    v.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    v.bmiHeader.biWidth = width;
    v.bmiHeader.biHeight = height;
    v.bmiHeader.biPlanes = 1;
    v.bmiHeader.biBitCount = bits;
    v.bmiHeader.biCompression = BI_RGB;
    v.bmiHeader.biSizeImage = ImageBytes(width, height, bits);
    return v;
}

// The type the pin connects with; with kShortBlockType its block holds only 40 bytes.
const GUID& SubtypeOf(WORD bits) { return bits == 24 ? MEDIASUBTYPE_RGB24 : MEDIASUBTYPE_RGB32; }

CMediaType MakeConnectionType(LONG width, LONG height, REFERENCE_TIME avg, WORD bits,
                              bool shortBlock) {
    CMediaType mt(MEDIATYPE_Video, SubtypeOf(bits));
    mt.formattype = FORMAT_VideoInfo;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = ImageBytes(width, height, bits);
    const VIDEOINFOHEADER v = MakeHeader(width, height, avg, bits);
    mt.SetFormat(&v, shortBlock ? 40 : sizeof(v));
    return mt;
}

// A capability's type in task memory, with its block exactly as the entry says.
AM_MEDIA_TYPE* NewCapabilityType(const HostileCapability& c) {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return nullptr;
    std::memset(mt, 0, sizeof(*mt));
    mt->majortype = MEDIATYPE_Video;
    mt->subtype = SubtypeOf(c.bits);
    mt->formattype = FORMAT_VideoInfo;
    mt->bFixedSizeSamples = TRUE;
    mt->lSampleSize = ImageBytes(c.width, c.height, c.bits);
    ULONG size = sizeof(VIDEOINFOHEADER);
    bool withBlock = true;
    switch (c.block) {
        case Block::kWhole:
            break;
        case Block::kHeaderOnly:
            size = 40;
            break;
        case Block::kOneShort:
            size = sizeof(VIDEOINFOHEADER) - 1;
            break;
        case Block::kSizeWithoutBlock:
            withBlock = false;
            break;
        case Block::kNone:
            size = 0;
            withBlock = false;
            break;
    }
    mt->cbFormat = size;
    if (withBlock) {
        mt->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
        if (!mt->pbFormat) {
            CoTaskMemFree(mt);
            return nullptr;
        }
        const VIDEOINFOHEADER v = MakeHeader(c.width, c.height, c.avg, c.bits);
        std::memcpy(mt->pbFormat, &v, size);
    }
    return mt;
}

void FillCaps(const HostileCapability& c, VIDEO_STREAM_CONFIG_CAPS* out) {
    std::memset(out, 0, sizeof(*out));
    out->guid = FORMAT_VideoInfo;
    out->InputSize = {c.width, c.height};
    out->MinCroppingSize = out->MinOutputSize = {c.minWidth, c.minHeight};
    out->MaxCroppingSize = out->MaxOutputSize = {c.maxWidth, c.maxHeight};
    out->CropGranularityX = out->OutputGranularityX = c.granularityX;
    out->CropGranularityY = out->OutputGranularityY = c.granularityY;
    out->MinFrameInterval = c.minInterval;
    out->MaxFrameInterval = c.maxInterval;
    out->MinBitsPerSecond = -1;
    out->MaxBitsPerSecond = INT_MAX;
}

bool OnGrid(LONG v, LONG lo, LONG hi, LONG step) {
    return v >= lo && v <= hi && step > 0 && (v - lo) % step == 0;
}

std::wstring LongName(const wchar_t* stem) {
    std::wstring name = stem;
    while (name.size() < 3000) name += L" and a very long pin name";
    name.resize(3000);
    return name;
}

// Thread: IAMStreamConfig on the application thread under the filter lock; FillBuffer on the
// pin's streaming thread (the frame number is its own).
class CHostileVideoPin : public CDevicePushPin, public IAMStreamConfig {
public:
    CHostileVideoPin(CHostileCardFilter* card, DWORD behaviours)
        : CDevicePushPin(L"Hostile card video pin",
                         card,
                         (behaviours & hostile::kLongPinNames) ? LongName(L"Capture").c_str()
                                                               : L"Capture",
                         PIN_CATEGORY_CAPTURE),
          behaviours_(behaviours) {
        for (const HostileCapability& c : kCapabilities) {
            if (c.behaviour == 0 || (c.behaviour & behaviours)) offered_.push_back(&c);
        }
        format_ = MakeConnectionType(320, 240, kNtsc, 32, Has(hostile::kShortBlockType));
        SetMediaTypes({format_});
    }

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IAMStreamConfig) {
            return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
        }
        return CDevicePushPin::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override {
        const HRESULT hr = CDevicePushPin::QueryPinInfo(info);
        if (SUCCEEDED(hr) && Has(hostile::kLongPinNames)) {
            FillPinNameWithoutTerminator(info, Name());
        }
        return hr;
    }

    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        LONG width = 0, height = 0;
        WORD bits = 32;
        REFERENCE_TIME avg = kNtsc;
        bool parsed = mt->majortype == MEDIATYPE_Video && mt->formattype == FORMAT_VideoInfo &&
                      mt->pbFormat && mt->cbFormat >= sizeof(VIDEOINFOHEADER);
        if (parsed) {
            const auto* v = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
            width = v->bmiHeader.biWidth;
            height = std::abs(v->bmiHeader.biHeight);
            avg = v->AvgTimePerFrame;
            bits = v->bmiHeader.biBitCount;
            parsed = (bits == 32 || bits == 24) && mt->subtype == SubtypeOf(bits);
        }
        if (Has(hostile::kOtherSize)) {
            // Says yes to anything and keeps a size of its own.
            const bool asked = width == 352 && height == 288;
            width = asked ? 320 : 352;
            height = asked ? 240 : 288;
            if (avg <= 0) avg = kNtsc;
            bits = 32;
        } else if (!parsed || !OnGrid(width, 160, 640, 8) || !OnGrid(height, 120, 480, 8) ||
                   avg < 166833 || avg > 2000000) {
            return VFW_E_INVALIDMEDIATYPE;
        }
        const CMediaType type =
            MakeConnectionType(width, height, avg, bits, Has(hostile::kShortBlockType));
        return ChangeFormat(type, {type}, [&] { format_ = type; });
    }

    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** mt) override {
        if (!mt) return E_POINTER;
        CAutoLock lock(*lock_);
        *mt = CreateMediaType(IsConnected() ? &CurrentMediaType() : &format_);
        return *mt ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* count, int* size) override {
        if (!count || !size) return E_POINTER;
        *count = Has(hostile::kCountMismatch) ? INT_MAX : static_cast<int>(offered_.size());
        *size = Has(hostile::kHugeCapsStructure) ? INT_MAX
                : Has(hostile::kCountMismatch)   ? 0
                                                 : static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override {
        if (!mt || !caps) return E_POINTER;
        *mt = nullptr;
        if (index < 0) return E_INVALIDARG;
        if (index >= static_cast<int>(offered_.size())) {
            ++g_queriesBeyondList;
            return S_FALSE;
        }
        const HostileCapability& c = *offered_[static_cast<size_t>(index)];
        *mt = NewCapabilityType(c);
        if (!*mt) return E_OUTOFMEMORY;
        FillCaps(c, reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps));
        return S_OK;
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        const long image = static_cast<long>(mt_.lSampleSize);
        const long size = image + (Has(hostile::kLongSamples) ? kLongSampleExtra : 0);
        return RequestBuffers(allocator, *request, size, image);
    }

    HRESULT Active() override {
        frame_ = 0;
        return CDevicePushPin::Active();
    }

protected:
    HRESULT FillBuffer(IMediaSample* sample) override {
        bool waited = false;
        if (!WaitForSignal(&waited)) return VFW_E_WRONG_STATE;
        BYTE* data = nullptr;
        const HRESULT hr = sample->GetPointer(&data);
        if (FAILED(hr)) return hr;
        const long size = sample->GetSize();
        const long image = static_cast<long>(CurrentMediaType().lSampleSize);
        if (image <= 0 || size < image) return VFW_E_BUFFER_OVERFLOW;
        std::memset(data, 0x40 + static_cast<int>(frame_ % 64), static_cast<size_t>(image));
        long actual = image;
        // One sample in four shorter by half, one in four a byte short, one in four longer.
        switch (frame_ % 4) {
            case 1:
                if (Has(hostile::kShortSamples)) actual = image / 2;
                break;
            case 2:
                if (Has(hostile::kLongSamples)) {
                    actual = std::min(size, image + kLongSampleExtra);
                    std::memset(data + image, 0xEE, static_cast<size_t>(actual - image));
                }
                break;
            case 3:
                if (Has(hostile::kShortSamples)) actual = image - 1;
                break;
            default:
                break;
        }
        ++frame_;
        return sample->SetActualDataLength(actual);
    }

private:
    bool Has(DWORD bit) const { return (behaviours_ & bit) != 0; }

    DWORD behaviours_;
    std::vector<const HostileCapability*> offered_;
    CMediaType format_;  // the format set (or the default), under the filter lock
    uint64_t frame_ = 0;
};

// The analogue input the hostile crossbar feeds; a long name like the capture pin's.
class CHostileAnalogPin : public CAnalogPin {
public:
    CHostileAnalogPin(CBaseFilter* filter, CCritSec* lock, bool longName)
        : CAnalogPin(filter, lock,
                     longName ? LongName(L"Analog Video In").c_str() : L"Analog Video In",
                     PINDIR_INPUT, MEDIATYPE_AnalogVideo, MEDIASUBTYPE_AnalogVideo_NTSC_M,
                     PhysConn_Video_VideoDecoder),
          longName_(longName) {}

    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override {
        const HRESULT hr = CAnalogPin::QueryPinInfo(info);
        if (SUCCEEDED(hr) && longName_) FillPinNameWithoutTerminator(info, Name());
        return hr;
    }

private:
    bool longName_;
};

}  // namespace

long HostileCapsQueriesBeyondList() { return g_queriesBeyondList.load(); }

void FillPinNameWithoutTerminator(PIN_INFO* info, const std::wstring& name) {
    for (size_t i = 0; i < MAX_PIN_NAME; ++i) {
        info->achName[i] = i < name.size() ? name[i] : L'x';
    }
}

CHostileCardFilter::CHostileCardFilter(DWORD behaviours)
    : CTestDeviceFilter(L"Lumoka hostile card", CLSID_LumokaHostileCard), behaviours_(behaviours) {
    AddPin(std::make_unique<CHostileVideoPin>(this, behaviours));
    if (behaviours & hostile::kCrossbar) {
        analogIn_ = std::make_unique<CHostileAnalogPin>(this, FilterLock(),
                                                        (behaviours & hostile::kLongPinNames) != 0);
    }
}

CHostileCardFilter::~CHostileCardFilter() = default;

HRESULT CHostileCardFilter::Create(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* card = new (std::nothrow) CHostileCardFilter(ReadBehaviours());
    if (!card) return E_OUTOFMEMORY;
    *out = static_cast<IBaseFilter*>(card);
    return S_OK;
}

DWORD CHostileCardFilter::ReadBehaviours() {
    const std::string path = devicenames::kHostileCardPath;
    const std::wstring key = SignalSwitchKey(std::wstring(path.begin(), path.end()));
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), kSwitchValue, RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value & hostile::kAll;
}

int CHostileCardFilter::GetPinCount() {
    return CTestDeviceFilter::GetPinCount() + (analogIn_ ? 1 : 0);
}

CBasePin* CHostileCardFilter::GetPin(int n) {
    if (analogIn_ && n == CTestDeviceFilter::GetPinCount()) return analogIn_.get();
    return CTestDeviceFilter::GetPin(n);
}

HRESULT STDMETHODCALLTYPE CHostileCardFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    const HRESULT hr = CTestDeviceFilter::JoinFilterGraph(graph, name);
    if (FAILED(hr) || !graph || !analogIn_ || analogIn_->IsConnected()) return hr;
    // As the test card does: the crossbar joins the graph with the card (TestCardFilter.h).
    auto* bar = new (std::nothrow) CHostileCrossbar((behaviours_ & hostile::kCountMismatch) != 0);
    if (!bar) return S_OK;
    ComPtr<IBaseFilter> crossbar = Adopt(static_cast<IBaseFilter*>(bar));  // created counted
    if (FAILED(graph->AddFilter(crossbar.Get(), L"Lumoka Hostile Crossbar"))) return S_OK;
    CMediaType analog(MEDIATYPE_AnalogVideo, MEDIASUBTYPE_AnalogVideo_NTSC_M);
    analog.formattype = FORMAT_None;
    bar->VideoOutputPin()->Connect(analogIn_.get(), &analog);
    return S_OK;
}

}  // namespace lumoka
