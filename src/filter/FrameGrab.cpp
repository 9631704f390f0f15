// The transform filter's frame grab (ILumokaFrameGrab): the application thread waits in
// GrabNextFrame; the streaming thread offers each output frame just before delivering it while
// a request waits. The slot's own lock guards the request, never the filter lock: Stop holds
// that lock while it waits for the sample in progress, so the streaming thread must not take it.
#include <cstring>

#include "filter/CustomFilter.h"
#include "wincom/Result.h"

namespace {

// The bitmap header of a connected video type; false for a type without a video-info block.
bool HeaderOf(const CMediaType& mt, lumoka::BitmapHeader& header) {
    size_t offset = 0;
    size_t minimum = 0;
    if (mt.formattype == FORMAT_VideoInfo) {
        offset = lumoka::kVideoInfoBitmapOffset;
        minimum = lumoka::kVideoInfoSize;
    } else if (mt.formattype == FORMAT_VideoInfo2) {
        offset = lumoka::kVideoInfo2BitmapOffset;
        minimum = lumoka::kVideoInfo2Size;
    } else {
        return false;
    }
    if (!mt.pbFormat || mt.cbFormat < minimum) return false;
    header = lumoka::ReadBitmapHeader(mt.pbFormat, offset);
    return true;
}

}  // namespace

void CCustomFilter::OfferFrameToGrab(IMediaSample* out) {
    lumoka::GrabFrame frame;
    lumoka::BitmapHeader input;
    BYTE* data = nullptr;
    const bool readable = HeaderOf(output_->CurrentMediaType(), frame.layout) &&
                          HeaderOf(input_->CurrentMediaType(), input) &&
                          SUCCEEDED(out->GetPointer(&data)) && data;
    if (readable) {
        frame.data = data;
        frame.length = static_cast<size_t>(std::max<long>(out->GetActualDataLength(), 0));
        // The pipeline writes the input's picture into each (possibly wider) output row.
        frame.pictureWidth = input.width < 0 ? -input.width : input.width;
        frame.pictureHeight = input.height < 0 ? -input.height : input.height;
    }
    // An unreadable frame still answers the request (with a refusal) rather than letting it
    // wait for a frame that would be just as unreadable.
    grab_.Offer(frame);
}

HRESULT STDMETHODCALLTYPE CCustomFilter::GrabNextFrame(DWORD timeoutMs, BYTE** image, DWORD* size) {
    RETURN_IF_NULL_OUT(image);
    RETURN_IF_NULL_OUT(size);
    *size = 0;
    std::vector<uint8_t> picture;
    switch (grab_.Request(std::chrono::milliseconds(timeoutMs), picture)) {
        case lumoka::GrabResult::kGrabbed:
            break;
        case lumoka::GrabResult::kTimedOut:
            return VFW_E_TIMEOUT;
        case lumoka::GrabResult::kUnsupported:
            return VFW_E_INVALIDMEDIATYPE;
        case lumoka::GrabResult::kBusy:
            return VFW_E_WRONG_STATE;
    }
    if (picture.size() > MAXDWORD) return E_OUTOFMEMORY;
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(picture.size()));
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(block, picture.data(), picture.size());
    *image = block;
    *size = static_cast<DWORD>(picture.size());
    return S_OK;
}
