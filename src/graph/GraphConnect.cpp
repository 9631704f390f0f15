// The build's connections (capture pin → tee → transform or extra filters → renderer) and the
// formats it asks of the capture devices.
#include <algorithm>
#include <cstring>
#include <new>

#include "graph/Catalogue.h"
#include "graph/GraphController.h"
#include "graph/Naming.h"
#include "wincom/Result.h"

namespace {

WaveFields ReadWave(const WAVEFORMATEX& w) {
    WaveFields f;
    f.FormatTag = w.wFormatTag;
    f.Channels = w.nChannels;
    f.SamplesPerSec = w.nSamplesPerSec;
    f.AvgBytesPerSec = w.nAvgBytesPerSec;
    f.BlockAlign = w.nBlockAlign;
    f.BitsPerSample = w.wBitsPerSample;
    return f;
}

void WriteWave(const WaveFields& f, WAVEFORMATEX& w) {
    w.nChannels = f.Channels;
    w.nSamplesPerSec = f.SamplesPerSec;
    w.nAvgBytesPerSec = f.AvgBytesPerSec;
    w.nBlockAlign = f.BlockAlign;
    w.wBitsPerSample = f.BitsPerSample;
}

}  // namespace

bool CGraphController::SetVideoFormat(IBaseFilter* capture, const Profile& profile) {
    ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(m_factory->CreateCaptureBuilder(builder)) || !builder) return false;
    ComPtr<IAMStreamConfig> config;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, capture,
                                      IID_IAMStreamConfig, &config)) &&
        FAILED(builder->FindInterface(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, capture,
                                      IID_IAMStreamConfig, &config))) {
        return false;
    }
    if (!config) return false;
    int count = 0, size = 0;
    std::vector<BYTE> caps;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size)) ||
        !AllocateCapsBuffer(size, sizeof(VIDEO_STREAM_CONFIG_CAPS), caps)) {
        return false;
    }
    int32_t usable = 0;
    for (int i = 0; i < CapabilityWalkLength(count); ++i) {
        CUniqueMediaType mt;
        if (FAILED(config->GetStreamCaps(i, mt.Put(), caps.data())) || !mt.Get()) continue;
        if (!IsUsableVideoType(*mt.Get())) continue;
        if (usable++ != profile.VideoFormatIndex) continue;
        auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
        BITMAPINFOHEADER& bmi = vih->bmiHeader;
        bmi.biWidth = profile.VideoFormatWidth;
        bmi.biHeight = profile.VideoFormatHeight;
        bmi.biSizeImage = ImageSizeBytes(bmi.biBitCount, bmi.biWidth, bmi.biHeight);
        vih->AvgTimePerFrame = profile.VideoFormatAvgTimePerFrame;
        ComPtr<IAMAnalogVideoDecoder> decoder;
        if (SUCCEEDED(capture->QueryInterface(IID_PPV_ARGS(&decoder)))) {
            IGNORE_RESULT(decoder->put_TVFormat(profile.VideoFormatStandard));
        }
        if (FAILED(config->SetFormat(mt.Get()))) return false;
        m_subtypeCode = bmi.biCompression;
        m_formatSet = true;
        break;
    }
    return true;
}

bool CGraphController::SetAudioFormat(IBaseFilter* capture, const Profile& profile) {
    ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(m_factory->CreateCaptureBuilder(builder)) || !builder) return false;
    ComPtr<IAMBufferNegotiation> negotiation;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture,
                                      IID_IAMBufferNegotiation, &negotiation))) {
        negotiation.Reset();
    }
    ComPtr<IAMStreamConfig> config;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture,
                                      IID_IAMStreamConfig, &config)) ||
        !config) {
        return false;
    }
    int count = 0, size = 0;
    std::vector<BYTE> caps;
    if (FAILED(config->GetNumberOfCapabilities(&count, &size)) ||
        !AllocateCapsBuffer(size, sizeof(AUDIO_STREAM_CONFIG_CAPS), caps)) {
        return false;
    }
    int32_t usable = 0;
    for (int i = 0; i < CapabilityWalkLength(count); ++i) {
        CUniqueMediaType mt;
        if (FAILED(config->GetStreamCaps(i, mt.Put(), caps.data())) || !mt.Get()) continue;
        if (!IsUsableAudioCapability(ToGuid16(mt->majortype), ToGuid16(mt->formattype),
                                     mt->cbFormat, mt->pbFormat != nullptr)) {
            continue;
        }
        if (usable++ != profile.AudioFormatIndex) continue;
        auto* wave = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
        WaveFields fields = ReadWave(*wave);
        ApplyRequestedWave(fields, profile.AudioFormatChannels, profile.AudioFormatBitsPerSample,
                           profile.AudioFormatSamplesPerSec);
        WriteWave(fields, *wave);
        if (FAILED(config->SetFormat(mt.Get()))) return false;
        if (negotiation) {
            // A 20 ms capture buffer keeps the live sound close to the picture.
            ALLOCATOR_PROPERTIES props{-1, AudioBufferBytes(fields), -1, -1};
            IGNORE_RESULT(negotiation->SuggestAllocatorProperties(&props));
        }
        break;
    }
    return true;
}

ComPtr<IPin> CGraphController::FindPin(IBaseFilter* filter, PIN_DIRECTION dir, bool unconnected,
                                       int32_t n) {
    ComPtr<IPin> pin;
    if (FAILED(m_builder->FindPin(filter, dir, nullptr, nullptr, unconnected ? TRUE : FALSE, n,
                                  &pin))) {
        return nullptr;
    }
    return pin;
}

bool CGraphController::ConnectPins(IPin* out, IPin* in) {
    return out && in && SUCCEEDED(m_graph->Connect(out, in));
}

ComPtr<IPin> CGraphController::CaptureOutputPin(IBaseFilter* source, Branch branch) {
    ComPtr<IPin> pin;
    if (branch == Branch::Audio) {
        if (FAILED(m_builder->FindPin(source, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                                      &MEDIATYPE_Audio, TRUE, 0, &pin))) {
            return nullptr;
        }
        return pin;
    }
    if (FAILED(m_builder->FindPin(source, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video,
                                  TRUE, 0, &pin)) &&
        FAILED(m_builder->FindPin(source, PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video,
                                  TRUE, 0, &pin))) {
        return nullptr;
    }
    return pin;
}

bool CGraphController::ConnectByIndex(IBaseFilter* source, int32_t output, IBaseFilter* dest,
                                      int32_t input) {
    PinPairCallbacks pins;
    pins.HasOutput = [&](int32_t n) { return FindPin(source, PINDIR_OUTPUT, false, n) != nullptr; };
    pins.HasInput = [&](int32_t n) { return FindPin(dest, PINDIR_INPUT, false, n) != nullptr; };
    pins.Connect = [&](int32_t o, int32_t i) {
        ComPtr<IPin> out = FindPin(source, PINDIR_OUTPUT, false, o);
        ComPtr<IPin> in = FindPin(dest, PINDIR_INPUT, false, i);
        return ConnectPins(out.Get(), in.Get());
    };
    return ConnectPinPairs(output, input, pins);
}

bool CGraphController::ConnectChain(const std::vector<FilterEntry>& filters, IBaseFilter* source,
                                    Branch branch, int32_t sync, IBaseFilter* tee,
                                    IBaseFilter* renderer) {
    ComPtr<IPin> capture = CaptureOutputPin(source, branch);
    ComPtr<IPin> teeIn = FindPin(tee, PINDIR_INPUT, true, 0);
    if (!capture || !teeIn) return false;
    if (!ConnectPins(capture.Get(), teeIn.Get())) {
        AppendLog(L"キャプチャー → スマートティー 接続失敗");
        return false;
    }
    const int32_t teeOutput = TeeOutputForSync(sync);
    if (filters.empty()) {
        ComPtr<IPin> teeOut = FindPin(tee, PINDIR_OUTPUT, true, teeOutput);
        ComPtr<IPin> rendererIn = FindPin(renderer, PINDIR_INPUT, true, 0);
        if (!teeOut || !rendererIn) return false;
        if (!ConnectPins(teeOut.Get(), rendererIn.Get())) {
            AppendLog(L"スマートティー → レンダラ 接続失敗");
            return false;
        }
        return true;
    }
    ComPtr<IBaseFilter> previous;
    const FilterEntry* previousEntry = nullptr;
    for (const FilterEntry& entry : filters) {
        if (entry.Check == 0) continue;
        const std::wstring& name = entry.Device.FriendlyName;
        ComPtr<IBaseFilter> filter;
        if (!m_factory->FindDevice(DeviceKind::OtherFilter, name, entry.Device.DevicePath,
                                   filter)) {
            AppendLog(L"%ls 取得失敗", name.c_str());
            return false;
        }
        if (!AddToGraph(filter.Get(), name)) return false;
        if (!previousEntry) {
            if (!ConnectByIndex(tee, teeOutput, filter.Get(), entry.Input)) {
                AppendLog(L"スマートティー → %ls 接続失敗", name.c_str());
                return false;
            }
        } else if (!ConnectByIndex(previous.Get(), previousEntry->Output, filter.Get(),
                                   entry.Input)) {
            AppendLog(L"%ls → %ls 接続失敗", previousEntry->Device.FriendlyName.c_str(),
                      name.c_str());
            return false;
        }
        previous = filter;
        previousEntry = &entry;
    }
    if (!previousEntry) {
        if (!ConnectByIndex(tee, teeOutput, renderer, 0)) {
            AppendLog(L"スマートティー → レンダラ 接続失敗");
            return false;
        }
        return true;
    }
    if (!ConnectByIndex(previous.Get(), previousEntry->Output, renderer, 0)) {
        AppendLog(L"%ls → レンダラ 接続失敗", previousEntry->Device.FriendlyName.c_str());
        return false;
    }
    return true;
}

bool CGraphController::ConnectThroughTransform(IBaseFilter* capture, int32_t teeOutput) {
    ComPtr<IPin> captureOut = CaptureOutputPin(capture, Branch::Video);
    ComPtr<IPin> teeIn = FindPin(m_videoTee.Get(), PINDIR_INPUT, true, 0);
    if (!captureOut || !teeIn) return false;
    if (!ConnectPins(captureOut.Get(), teeIn.Get())) {
        AppendLog(L"キャプチャー → スマートティー 接続失敗");
        return false;
    }
    ComPtr<IPin> teeOut = FindPin(m_videoTee.Get(), PINDIR_OUTPUT, true, teeOutput);
    ComPtr<IPin> transformIn = FindPin(m_transform.Get(), PINDIR_INPUT, true, 0);
    if (!teeOut || !transformIn) return false;
    if (!ConnectPins(teeOut.Get(), transformIn.Get())) {
        AppendLog(L"スマートティー → トランスフォーム 接続失敗");
        return false;
    }
    ComPtr<IPin> transformOut = FindPin(m_transform.Get(), PINDIR_OUTPUT, true, 0);
    ComPtr<IPin> rendererIn = FindPin(m_videoRenderer.Get(), PINDIR_INPUT, true, 0);
    if (!transformOut || !rendererIn) return false;
    if (!ConnectPins(transformOut.Get(), rendererIn.Get())) {
        AppendLog(L"トランスフォーム → レンダラ 接続失敗");
        return false;
    }
    return true;
}
