#include "graph/Catalogue.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "wincom/Result.h"

namespace {

constexpr DWORD kPageFilterFlags = CDEF_DEVMON_DMO | CDEF_DEVMON_FILTER;  // 0xA0

// Reads a string value of a device's property bag; false when it is missing or not a string.
bool ReadBagString(IPropertyBag* bag, const wchar_t* name, std::wstring& out) {
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = bag->Read(name, &value, nullptr);
    const bool ok = SUCCEEDED(hr) && value.vt == VT_BSTR;
    if (ok) out.assign(value.bstrVal ? value.bstrVal : L"");
    VariantClear(&value);
    return ok;
}

std::wstring ReadBagStringOrEmpty(IPropertyBag* bag, const wchar_t* name) {
    std::wstring out;
    ReadBagString(bag, name, out);
    return out;
}

// The monikers of one category; null when the category cannot be enumerated or is empty (the
// enumerator then answers S_FALSE and gives no object).
ComPtr<IEnumMoniker> EnumerateCategory(DeviceKind kind, DWORD flags) {
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&devices)))) {
        return nullptr;
    }
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(devices->CreateClassEnumerator(DeviceCategory(kind), &monikers, flags))) {
        return nullptr;
    }
    return monikers;
}

void CopyMediaTypeFields(const AM_MEDIA_TYPE& mt, MediaTypeFields& out) {
    out.majortype = mt.majortype;
    out.subtype = mt.subtype;
    out.bFixedSizeSamples = mt.bFixedSizeSamples;
    out.bTemporalCompression = mt.bTemporalCompression;
    out.lSampleSize = mt.lSampleSize;
    out.formattype = mt.formattype;
    out.cbFormat = mt.cbFormat;
}

std::wstring FirstMajorTypeName(IPin* pin) {
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(&types)) || !types) return L"-";
    types->Reset();
    for (;;) {
        AM_MEDIA_TYPE* raw = nullptr;
        if (types->Next(1, &raw, nullptr) != S_OK) return L"-";
        CUniqueMediaType mt;
        *mt.Put() = raw;
        if (mt.Get()) return MajorTypeName(ToGuid16(mt->majortype));
    }
}

std::wstring PinCategoryText(IPin* pin) {
    ComPtr<IKsPropertySet> props;
    if (FAILED(pin->QueryInterface(IID_PPV_ARGS(&props)))) return L"-";
    GUID category = GUID_NULL;
    DWORD returned = 0;
    if (FAILED(props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                          sizeof(category), &returned))) {
        return L"-";
    }
    return PinCategoryName(ToGuid16(category));
}

}  // namespace

const GUID& DeviceCategory(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::OtherFilter:
            return CLSID_LegacyAmFilterCategory;
        case DeviceKind::AudioCapture:
            return CLSID_AudioInputDeviceCategory;
        case DeviceKind::VideoCapture:
            break;
    }
    return CLSID_VideoInputDeviceCategory;
}

std::wstring DecodeFourCcAnsi(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    wchar_t wide[8] = {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 8);
    return std::wstring(wide, n > 0 ? static_cast<size_t>(n) : 0);
}

bool EnumDevices(DeviceKind kind, std::vector<DeviceEntry>& list) {
    list.clear();
    ComPtr<IEnumMoniker> monikers = EnumerateCategory(kind, 0);
    if (!monikers) return false;
    monikers->Reset();
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK && moniker) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)))) continue;
        DeviceEntry entry;
        if (!ReadBagString(bag.Get(), L"FriendlyName", entry.FriendlyName) ||
            entry.FriendlyName.empty()) {
            continue;
        }
        entry.Description = ReadBagStringOrEmpty(bag.Get(), L"Description");
        entry.DevicePath = ReadBagStringOrEmpty(bag.Get(), L"DevicePath");
        entry.Kind = kind;
        list.push_back(std::move(entry));
    }
    return true;
}

bool FindDevice(DeviceKind kind, const std::wstring& friendlyName, const std::wstring& devicePath,
                FindVariant variant, ComPtr<IBaseFilter>& filter) {
    filter.Reset();
    const DWORD flags =
        (variant == FindVariant::Page && kind == DeviceKind::OtherFilter) ? kPageFilterFlags : 0;
    ComPtr<IEnumMoniker> monikers = EnumerateCategory(kind, flags);
    if (!monikers) return false;
    monikers->Reset();
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK && moniker) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)))) continue;
        std::wstring name;
        const bool hasName = ReadBagString(bag.Get(), L"FriendlyName", name);
        if (variant == FindVariant::GraphBuild ? !hasName : name.empty()) continue;
        if (name != friendlyName) continue;
        if (ReadBagStringOrEmpty(bag.Get(), L"DevicePath") != devicePath) continue;
        // A device that is listed but cannot be opened still counts as found; the caller's next
        // step fails on the empty filter.
        moniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter));
        return true;
    }
    return false;
}

bool ListPins(IBaseFilter* filter, std::vector<PinEntry>& list) {
    if (!filter) return false;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(&pins)) || !pins) return false;
    list.clear();
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK && pin) {
        PIN_INFO info{};
        if (FAILED(pin->QueryPinInfo(&info))) continue;
        if (info.pFilter) info.pFilter->Release();
        info.achName[MAX_PIN_NAME - 1] = L'\0';
        PinEntry entry;
        entry.IsInput = info.dir == PINDIR_INPUT ? 1 : 0;
        entry.Name = info.achName;
        entry.Category = PinCategoryText(pin.Get());
        entry.MajorType = FirstMajorTypeName(pin.Get());
        list.push_back(std::move(entry));
    }
    return !list.empty();
}

VideoFormatRecord MakeVideoFormatRecord(const VIDEO_STREAM_CONFIG_CAPS& caps,
                                        const VIDEOINFOHEADER& header) {
    VideoFormatRecord r;
    r.BitCount = header.bmiHeader.biBitCount;
    r.InputWidth = caps.InputSize.cx;
    r.InputHeight = caps.InputSize.cy;
    r.MinOutputWidth = caps.MinOutputSize.cx;
    r.MinOutputHeight = caps.MinOutputSize.cy;
    r.MaxOutputWidth = caps.MaxOutputSize.cx;
    r.MaxOutputHeight = caps.MaxOutputSize.cy;
    r.OutputGranularityX = caps.OutputGranularityX;
    r.OutputGranularityY = caps.OutputGranularityY;
    r.MinFrameInterval = caps.MinFrameInterval;
    r.MaxFrameInterval = caps.MaxFrameInterval;
    r.MinBitsPerSecond = caps.MinBitsPerSecond;
    r.MaxBitsPerSecond = caps.MaxBitsPerSecond;
    r.AvgTimePerFrame = header.AvgTimePerFrame;
    r.Standards = VideoStandardNames(caps.VideoStandard);
    return r;
}

AudioFormatRecord MakeAudioFormatRecord(const AUDIO_STREAM_CONFIG_CAPS& caps,
                                        const WAVEFORMATEX& wave) {
    AudioFormatRecord r;
    r.FormatTag = wave.wFormatTag;
    r.Channels = wave.nChannels;
    r.BitsPerSample = wave.wBitsPerSample;
    r.SamplesPerSec = static_cast<int32_t>(wave.nSamplesPerSec);
    r.MinimumChannels = static_cast<int32_t>(caps.MinimumChannels);
    r.MaximumChannels = static_cast<int32_t>(caps.MaximumChannels);
    r.ChannelsGranularity = static_cast<int32_t>(caps.ChannelsGranularity);
    r.MinimumBitsPerSample = static_cast<int32_t>(caps.MinimumBitsPerSample);
    r.MaximumBitsPerSample = static_cast<int32_t>(caps.MaximumBitsPerSample);
    r.BitsPerSampleGranularity = static_cast<int32_t>(caps.BitsPerSampleGranularity);
    r.MinimumSampleFrequency = static_cast<int32_t>(caps.MinimumSampleFrequency);
    r.MaximumSampleFrequency = static_cast<int32_t>(caps.MaximumSampleFrequency);
    r.SampleFrequencyGranularity = static_cast<int32_t>(caps.SampleFrequencyGranularity);
    return r;
}

HRESULT FindVideoStreamConfig(IBaseFilter* filter, ComPtr<IAMStreamConfig>& config) {
    config.Reset();
    ComPtr<ICaptureGraphBuilder2> builder;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&builder)));
    HRESULT hr = builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, filter,
                                        IID_IAMStreamConfig, &config);
    if (FAILED(hr)) {
        hr = builder->FindInterface(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, filter,
                                    IID_IAMStreamConfig, &config);
    }
    if (SUCCEEDED(hr) && !config) hr = E_NOINTERFACE;
    return hr;
}

bool IsUsableVideoType(const AM_MEDIA_TYPE& mt) {
    if (!IsUsableVideoCapability(ToGuid16(mt.majortype), ToGuid16(mt.formattype), mt.cbFormat,
                                 mt.pbFormat != nullptr)) {
        return false;
    }
    const BITMAPINFOHEADER& bmi = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
    return IsUsableVideoPicture(bmi.biWidth, bmi.biHeight, bmi.biBitCount);
}

bool ListVideoFormats(IBaseFilter* filter, std::vector<VideoFormatEntry>& list) {
    list.clear();
    if (!filter) return false;
    ComPtr<IAMStreamConfig> config;
    if (FAILED(FindVideoStreamConfig(filter, config))) return false;
    int count = 0;
    int size = 0;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size))) return false;
    std::vector<BYTE> caps;
    if (!AllocateCapsBuffer(size, sizeof(VIDEO_STREAM_CONFIG_CAPS), caps)) return false;
    ComPtr<IAMAnalogVideoDecoder> decoder;
    filter->QueryInterface(IID_PPV_ARGS(&decoder));
    for (int i = 0; i < CapabilityWalkLength(count); ++i) {
        CUniqueMediaType mt;
        if (FAILED(config->GetStreamCaps(i, mt.Put(), caps.data())) || !mt.Get()) continue;
        if (!IsUsableVideoType(*mt.Get())) continue;
        VideoFormatEntry entry;
        std::memcpy(&entry.Caps, caps.data(), sizeof(entry.Caps));
        CopyMediaTypeFields(*mt.Get(), entry.MediaType);
        std::memcpy(&entry.Header, mt->pbFormat, sizeof(entry.Header));
        entry.Record = MakeVideoFormatRecord(entry.Caps, entry.Header);
        entry.Record.SubtypeName = VideoSubtypeName(
            ToGuid16(mt->subtype), entry.Header.bmiHeader.biCompression, DecodeFourCcAnsi);
        long standard = 0;
        if (decoder && SUCCEEDED(decoder->get_TVFormat(&standard))) {
            entry.Record.CurrentStandard = static_cast<int32_t>(standard);
        }
        list.push_back(std::move(entry));
    }
    return !list.empty();
}

bool ListAudioFormats(IBaseFilter* filter, std::vector<AudioFormatEntry>& list) {
    list.clear();
    if (!filter) return false;
    ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&builder)))) {
        return false;
    }
    // Audio devices are only asked through their capture pin.
    ComPtr<IAMStreamConfig> config;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, filter,
                                      IID_IAMStreamConfig, &config)) ||
        !config) {
        return false;
    }
    int count = 0;
    int size = 0;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size))) return false;
    std::vector<BYTE> caps;
    if (!AllocateCapsBuffer(size, sizeof(AUDIO_STREAM_CONFIG_CAPS), caps)) return false;
    for (int i = 0; i < CapabilityWalkLength(count); ++i) {
        CUniqueMediaType mt;
        if (FAILED(config->GetStreamCaps(i, mt.Put(), caps.data())) || !mt.Get()) continue;
        if (!IsUsableAudioCapability(ToGuid16(mt->majortype), ToGuid16(mt->formattype),
                                     mt->cbFormat, mt->pbFormat != nullptr)) {
            continue;
        }
        AudioFormatEntry entry;
        std::memcpy(&entry.Caps, caps.data(), sizeof(entry.Caps));
        CopyMediaTypeFields(*mt.Get(), entry.MediaType);
        std::memcpy(&entry.Wave, mt->pbFormat, sizeof(WAVEFORMATEX));
        entry.Record = MakeAudioFormatRecord(entry.Caps, entry.Wave);
        entry.Record.SubtypeName = AudioSubtypeName(ToGuid16(mt->subtype));
        list.push_back(std::move(entry));
    }
    return !list.empty();
}

bool InspectVideoDevice(const DeviceEntry& entry, VideoDeviceRecord& record) {
    ComPtr<IBaseFilter> filter;
    if (!FindDevice(entry.Kind, entry.FriendlyName, entry.DevicePath, FindVariant::Page, filter)) {
        return false;
    }
    if (!ListPins(filter.Get(), record.Pins)) return false;
    ListVideoFormats(filter.Get(), record.Formats);
    DescribeCrossbars(filter.Get(), record.FirstCrossbar, record.SecondCrossbar);
    return true;
}

bool InspectAudioDevice(const DeviceEntry& entry, AudioDeviceRecord& record) {
    ComPtr<IBaseFilter> filter;
    if (!FindDevice(entry.Kind, entry.FriendlyName, entry.DevicePath, FindVariant::Page, filter)) {
        return false;
    }
    if (!ListPins(filter.Get(), record.Pins)) return false;
    if (!HasAudioCapturePin(record.Pins)) return false;
    ListAudioFormats(filter.Get(), record.Formats);
    return true;
}

bool InspectFilter(const DeviceEntry& entry, FilterRecord& record) {
    if (record.Inspected) return true;
    ComPtr<IBaseFilter> filter;
    if (!FindDevice(entry.Kind, entry.FriendlyName, entry.DevicePath, FindVariant::Page, filter)) {
        return false;
    }
    record.FriendlyName = entry.FriendlyName;
    record.DevicePath = entry.DevicePath;
    record.Description = entry.Description;
    return ListPins(filter.Get(), record.Pins);
}
