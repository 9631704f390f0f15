#include "devices/MediaFormats.h"

#include <mmreg.h>

#include <cstdlib>
#include <cstring>

namespace lumoka {
namespace {

DWORD CompressionOf(PixelFormat f) {
    switch (f) {
        case PixelFormat::kYUY2:
            return MAKEFOURCC('Y', 'U', 'Y', '2');
        case PixelFormat::kUYVY:
            return MAKEFOURCC('U', 'Y', 'V', 'Y');
        case PixelFormat::kHDYC:
            return MAKEFOURCC('H', 'D', 'Y', 'C');
        default:
            return BI_RGB;
    }
}

BITMAPINFOHEADER MakeBitmapHeader(PixelFormat f, int width, int height) {
    BITMAPINFOHEADER bmi{};
    bmi.biSize = sizeof(bmi);
    bmi.biWidth = width;
    bmi.biHeight = height;
    bmi.biPlanes = 1;
    bmi.biBitCount = static_cast<WORD>(BitsPerPixel(f));
    bmi.biCompression = CompressionOf(f);
    bmi.biSizeImage =
        static_cast<DWORD>(StrideOf(f, width) * static_cast<size_t>(std::abs(height)));
    return bmi;
}

DWORD BitRate(const BITMAPINFOHEADER& bmi, REFERENCE_TIME interval) {
    if (interval <= 0) return 0;
    const double bits = static_cast<double>(bmi.biSizeImage) * 8.0 * 10000000.0 / interval;
    return bits > 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(bits);
}

bool FormatOfSubtype(const GUID& sub, PixelFormat* f) {
    if (sub == MEDIASUBTYPE_YUY2)
        *f = PixelFormat::kYUY2;
    else if (sub == MEDIASUBTYPE_UYVY)
        *f = PixelFormat::kUYVY;
    else if (sub == kMediaSubtypeHDYC)
        *f = PixelFormat::kHDYC;
    else if (sub == MEDIASUBTYPE_RGB24)
        *f = PixelFormat::kRGB24;
    else if (sub == MEDIASUBTYPE_RGB32)
        *f = PixelFormat::kRGB32;
    else
        return false;
    return true;
}

}  // namespace

GUID SubtypeOf(PixelFormat f) {
    switch (f) {
        case PixelFormat::kYUY2:
            return MEDIASUBTYPE_YUY2;
        case PixelFormat::kUYVY:
            return MEDIASUBTYPE_UYVY;
        case PixelFormat::kHDYC:
            return kMediaSubtypeHDYC;
        case PixelFormat::kRGB24:
            return MEDIASUBTYPE_RGB24;
        case PixelFormat::kRGB32:
            return MEDIASUBTYPE_RGB32;
    }
    return GUID_NULL;
}

CMediaType MakeVideoType(const VideoCapability& cap, int width, int height,
                         REFERENCE_TIME interval) {
    CMediaType mt(MEDIATYPE_Video, SubtypeOf(cap.format));
    const BITMAPINFOHEADER bmi = MakeBitmapHeader(cap.format, width, height);
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = bmi.biSizeImage;
    if (cap.headerV2) {
        mt.formattype = FORMAT_VideoInfo2;
        auto* v = reinterpret_cast<VIDEOINFOHEADER2*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER2)));
        if (!v) return CMediaType();
        v->bmiHeader = bmi;
        v->AvgTimePerFrame = interval;
        v->dwBitRate = BitRate(bmi, interval);
        v->dwInterlaceFlags = AMINTERLACE_IsInterlaced | AMINTERLACE_DisplayModeBobOrWeave;
        v->dwPictAspectRatioX = 4;
        v->dwPictAspectRatioY = 3;
    } else {
        mt.formattype = FORMAT_VideoInfo;
        auto* v = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER)));
        if (!v) return CMediaType();
        v->bmiHeader = bmi;
        v->AvgTimePerFrame = interval;
        v->dwBitRate = BitRate(bmi, interval);
    }
    return mt;
}

void FillVideoConfigCaps(const VideoCapability& cap, VIDEO_STREAM_CONFIG_CAPS* out) {
    std::memset(out, 0, sizeof(*out));
    out->guid = cap.headerV2 ? FORMAT_VideoInfo2 : FORMAT_VideoInfo;
    out->VideoStandard = cap.standards;
    out->InputSize = {cap.width, cap.height};
    out->MinCroppingSize = {cap.minWidth, cap.minHeight};
    out->MaxCroppingSize = {cap.maxWidth, cap.maxHeight};
    out->CropGranularityX = cap.widthGranularity;
    out->CropGranularityY = cap.heightGranularity;
    out->CropAlignX = cap.widthGranularity;
    out->CropAlignY = cap.heightGranularity;
    out->MinOutputSize = {cap.minWidth, cap.minHeight};
    out->MaxOutputSize = {cap.maxWidth, cap.maxHeight};
    out->OutputGranularityX = cap.widthGranularity;
    out->OutputGranularityY = cap.heightGranularity;
    out->MinFrameInterval = cap.minInterval;
    out->MaxFrameInterval = cap.maxInterval;
    const BITMAPINFOHEADER lo = MakeBitmapHeader(cap.format, cap.minWidth, cap.minHeight);
    const BITMAPINFOHEADER hi = MakeBitmapHeader(cap.format, cap.maxWidth, cap.maxHeight);
    out->MinBitsPerSecond =
        static_cast<LONG>(std::min<DWORD>(BitRate(lo, cap.maxInterval), 0x7FFFFFFF));
    out->MaxBitsPerSecond =
        static_cast<LONG>(std::min<DWORD>(BitRate(hi, cap.minInterval), 0x7FFFFFFF));
}

bool ParseVideoRequest(const AM_MEDIA_TYPE& mt, VideoRequest* out) {
    if (mt.majortype != MEDIATYPE_Video || !mt.pbFormat) return false;
    if (!FormatOfSubtype(mt.subtype, &out->format)) return false;
    const BITMAPINFOHEADER* bmi = nullptr;
    if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        bmi = &v->bmiHeader;
        out->interval = v->AvgTimePerFrame;
        out->headerV2 = false;
    } else if (mt.formattype == FORMAT_VideoInfo2 && mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER2*>(mt.pbFormat);
        bmi = &v->bmiHeader;
        out->interval = v->AvgTimePerFrame;
        out->headerV2 = true;
    } else {
        return false;
    }
    if (bmi->biBitCount != BitsPerPixel(out->format)) return false;
    out->width = bmi->biWidth;
    out->height = bmi->biHeight;
    return true;
}

PictureLayout LayoutOf(const AM_MEDIA_TYPE& mt) {
    PictureLayout l;
    VideoRequest r;
    if (!ParseVideoRequest(mt, &r) || r.width <= 0 || r.height == 0) return l;
    l = MakeLayout(r.format, r.width, std::abs(r.height));
    // RGB with a negative height is top-down; packed YUV is always top-down.
    l.bottomUp = !IsPackedYuv(r.format) && r.height > 0;
    return l;
}

CMediaType MakePcmType(const PcmFormat& f) {
    CMediaType mt(MEDIATYPE_Audio, MEDIASUBTYPE_PCM);
    mt.formattype = FORMAT_WaveFormatEx;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = static_cast<ULONG>(f.BlockAlign());
    auto* w = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormat(sizeof(WAVEFORMATEX)));
    if (!w) return CMediaType();
    w->wFormatTag = WAVE_FORMAT_PCM;
    w->nChannels = static_cast<WORD>(f.channels);
    w->nSamplesPerSec = static_cast<DWORD>(f.samplesPerSec);
    w->wBitsPerSample = static_cast<WORD>(f.bitsPerSample);
    w->nBlockAlign = static_cast<WORD>(f.BlockAlign());
    w->nAvgBytesPerSec = w->nSamplesPerSec * w->nBlockAlign;
    w->cbSize = 0;
    return mt;
}

void FillAudioConfigCaps(const AudioCapability& cap, AUDIO_STREAM_CONFIG_CAPS* out) {
    std::memset(out, 0, sizeof(*out));
    out->guid = MEDIATYPE_Audio;
    out->MinimumChannels = cap.minChannels;
    out->MaximumChannels = cap.maxChannels;
    out->ChannelsGranularity = cap.channelsGranularity;
    out->MinimumBitsPerSample = cap.minBits;
    out->MaximumBitsPerSample = cap.maxBits;
    out->BitsPerSampleGranularity = cap.bitsGranularity;
    out->MinimumSampleFrequency = cap.minRate;
    out->MaximumSampleFrequency = cap.maxRate;
    out->SampleFrequencyGranularity = cap.rateGranularity;
}

bool ParsePcmRequest(const AM_MEDIA_TYPE& mt, PcmFormat* out) {
    if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx || !mt.pbFormat ||
        mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD)) {
        return false;
    }
    const auto* w = reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
    if (w->wFormatTag != WAVE_FORMAT_PCM) return false;
    out->channels = w->nChannels;
    out->bitsPerSample = w->wBitsPerSample;
    out->samplesPerSec = static_cast<int>(w->nSamplesPerSec);
    // A caller's block alignment or byte rate that contradicts the rest is refused.
    return w->nBlockAlign == out->BlockAlign() &&
           w->nAvgBytesPerSec == static_cast<DWORD>(out->samplesPerSec * out->BlockAlign());
}

}  // namespace lumoka
