// Translation between the devices' plain capability tables and the platform's media types and
// stream-configuration structures.
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <windows.h>
#include <dshow.h>
#include <dvdmedia.h>

#include "devices/signal/DeviceCaps.h"
#include "dsbase/MediaType.h"

namespace lumoka {

// The FOURCC subtype of HDYC video (the platform headers do not declare it).
inline constexpr GUID kMediaSubtypeHDYC = {
    0x43594448, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

GUID SubtypeOf(PixelFormat format);

// The media type of a capability at the given size and frame interval: VIDEOINFOHEADER (or
// VIDEOINFOHEADER2 for a V2 capability), source and target rectangles empty (the whole
// picture), image size and bit rate computed from the values.
CMediaType MakeVideoType(const VideoCapability& cap, int width, int height,
                         REFERENCE_TIME interval);
void FillVideoConfigCaps(const VideoCapability& cap, VIDEO_STREAM_CONFIG_CAPS* out);

struct VideoRequest {
    PixelFormat format = PixelFormat::kRGB32;
    bool headerV2 = false;
    int width = 0;
    int height = 0;  // as in the header: negative for top-down RGB
    REFERENCE_TIME interval = 0;
};
// Reads a video media type; false when it is not a video type of the card's subtypes with a
// complete VIDEOINFOHEADER or VIDEOINFOHEADER2 format block.
bool ParseVideoRequest(const AM_MEDIA_TYPE& mt, VideoRequest* out);

// The memory layout of pictures of a connected type; width 0 when the type is not video info.
PictureLayout LayoutOf(const AM_MEDIA_TYPE& mt);

CMediaType MakePcmType(const PcmFormat& format);
void FillAudioConfigCaps(const AudioCapability& cap, AUDIO_STREAM_CONFIG_CAPS* out);
// Reads a PCM media type; false for anything else or an incomplete WAVEFORMATEX.
bool ParsePcmRequest(const AM_MEDIA_TYPE& mt, PcmFormat* out);

}  // namespace lumoka
