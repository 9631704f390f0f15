// The system's video transform filter: accepts video with a video-info format, proposes the
// same type (HDYC relabelled UYVY; video-info-2 with interlace flags for hardware
// deinterlacing), and runs every frame through the frame pipeline into one downstream buffer.
#pragma once

#include "filter/CustomFilter.h"
#include "filter/pipeline/FramePipeline.h"
#include "filter/TransformRules.h"

// Thread: type rules on the application thread (under the filter lock); Transform on the
// upstream streaming thread under the settings and receive locks. Owns the frame pipeline and
// with it the three work buffers.
class CMyTransform : public CCustomFilter {
public:
    explicit CMyTransform(IUnknown* outer = nullptr);
    ~CMyTransform() override;

    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
    HRESULT CheckInputType(const CMediaType* mt) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pin) override;

    const lumoka::BitmapHeader& InputHeader() const { return inputHeader_; }
    const lumoka::BitmapHeader& OutputHeader() const { return outputHeader_; }

private:
    lumoka::BitmapHeader inputHeader_;
    lumoka::BitmapHeader outputHeader_;
    bool inputFixedSize_ = false;  // of the connected input type
    lumoka::CFramePipeline pipeline_;
    lumoka::CpuFeatures cpu_;
};

// Creates the filter for the graph builder (it is not registered; "new" in process).
HRESULT CreateLumokaTransform(IBaseFilter** out);
