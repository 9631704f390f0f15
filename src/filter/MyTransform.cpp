#include "filter/MyTransform.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "wincom/Result.h"

namespace {

// HRESULT of ERROR_ARITHMETIC_OVERFLOW (534).
constexpr HRESULT kArithmeticOverflow = lumoka::HResultFromWin32(534);

lumoka::Guid ToGuid(const GUID& g) {
    lumoka::Guid r;
    r.data1 = g.Data1;
    r.data2 = g.Data2;
    r.data3 = g.Data3;
    std::memcpy(r.data4, g.Data4, 8);
    return r;
}

GUID FromGuid(const lumoka::Guid& g) {
    GUID r;
    r.Data1 = g.data1;
    r.Data2 = g.data2;
    r.Data3 = g.data3;
    std::memcpy(r.Data4, g.data4, 8);
    return r;
}

lumoka::MediaTypeView View(const CMediaType& mt) {
    lumoka::MediaTypeView v;
    v.majorType = ToGuid(mt.majortype);
    v.subtype = ToGuid(mt.subtype);
    v.formatType = ToGuid(mt.formattype);
    v.fixedSizeSamples = mt.bFixedSizeSamples != FALSE;
    v.temporalCompression = mt.bTemporalCompression != FALSE;
    v.sampleSize = mt.lSampleSize;
    v.format = mt.pbFormat;
    v.formatSize = mt.pbFormat ? mt.cbFormat : 0;
    return v;
}

}  // namespace

CMyTransform::CMyTransform(IUnknown* outer)
    : CCustomFilter(L"My Transform Filter", outer, CLSID_LumokaTransform) {}

CMyTransform::~CMyTransform() = default;

HRESULT CMyTransform::CheckInputType(const CMediaType* mt) {
    return lumoka::IsAcceptedInputType(View(*mt)) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CMyTransform::CheckTransform(const CMediaType* in, const CMediaType* out) {
    lumoka::BitmapHeader header;
    if (!lumoka::IsAcceptedTransform(View(*in), View(*out), CopyMode(), &header)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    outputHeader_ = header;
    return S_OK;
}

HRESULT CMyTransform::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    const CMediaType& in = InputPin()->CurrentMediaType();
    lumoka::MediaTypeValue input;
    input.majorType = ToGuid(in.majortype);
    input.subtype = ToGuid(in.subtype);
    input.formatType = ToGuid(in.formattype);
    input.fixedSizeSamples = in.bFixedSizeSamples != FALSE;
    input.temporalCompression = in.bTemporalCompression != FALSE;
    input.sampleSize = in.lSampleSize;
    if (in.pbFormat) input.format.assign(in.pbFormat, in.pbFormat + in.cbFormat);

    int32_t copyMode = CopyMode();
    lumoka::MediaTypeValue output;
    switch (lumoka::ProposeOutputType(input, &copyMode, &output)) {
        case lumoka::ProposeResult::kOk:
            break;
        case lumoka::ProposeResult::kNoMoreItems:
            return VFW_S_NO_MORE_ITEMS;
        case lumoka::ProposeResult::kInvalidArgument:
            return E_INVALIDARG;
        case lumoka::ProposeResult::kOverflow:
            return kArithmeticOverflow;
        case lumoka::ProposeResult::kOutOfMemory:
            return E_OUTOFMEMORY;
    }
    if (copyMode != CopyMode()) FallBackToCopy();

    RETURN_IF_FAILED(mt->Set(in));  // keeps pUnk and the other fields of the input type
    mt->majortype = FromGuid(output.majorType);
    mt->subtype = FromGuid(output.subtype);
    mt->formattype = FromGuid(output.formatType);
    if (!mt->SetFormat(output.format.data(), static_cast<ULONG>(output.format.size()))) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CMyTransform::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    CCostomInputPin* input = InputPin();
    if (!input || !input->IsConnected()) return E_FAIL;
    const CMediaType& in = input->CurrentMediaType();
    long size = in.bFixedSizeSamples ? static_cast<long>(in.lSampleSize) : 0;
    // A padded output (wider rows for the renderer's surface) needs its whole image: with only
    // the input's size the pipeline would have to leave the bottom rows out.
    const CMediaType& out = OutputPin()->CurrentMediaType();
    if (out.bFixedSizeSamples) size = std::max(size, static_cast<long>(out.lSampleSize));

    ALLOCATOR_PROPERTIES want = *request;
    want.cBuffers = 1;
    want.cbBuffer = size;
    ALLOCATOR_PROPERTIES got{};
    RETURN_IF_FAILED(allocator->SetProperties(&want, &got));
    return got.cBuffers >= 1 && got.cbBuffer >= size ? S_OK : E_FAIL;
}

HRESULT CMyTransform::CompleteConnect(PIN_DIRECTION, IPin*) {
    cpu_ = lumoka::DetectCpuFeatures();
    CCostomInputPin* input = InputPin();
    if (!input) return E_UNEXPECTED;
    const CMediaType& in = input->CurrentMediaType();
    if (!in.pbFormat || in.cbFormat < lumoka::kVideoInfoSize) return E_UNEXPECTED;
    inputHeader_ = lumoka::ReadBitmapHeader(in.pbFormat, lumoka::kVideoInfoBitmapOffset);
    inputFixedSize_ = in.bFixedSizeSamples != FALSE;
    return S_OK;
}

HRESULT CMyTransform::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* source = nullptr;
    BYTE* target = nullptr;
    if (FAILED(in->GetPointer(&source)) || FAILED(out->GetPointer(&target)) || !source || !target) {
        return S_OK;
    }
    // A sample shorter than its picture is dropped (S_FALSE: the base counts it as skipped and
    // tells the graph the quality changed); one longer than its buffer or picture is cut.
    const lumoka::InputSample sample = lumoka::ClassifyInputSample(
        inputHeader_, inputFixedSize_, in->GetActualDataLength(), in->GetSize());
    if (sample.drop) return S_FALSE;
    lumoka::FrameBuffers buffers;
    buffers.input = source;
    buffers.inputLength = sample.length;
    buffers.output = target;
    buffers.outputSize = static_cast<size_t>(std::max<long>(out->GetSize(), 0));
    lumoka::TransformSettings settings;
    settings.copyMode = CopyMode();
    settings.frameMode = FrameMode();
    settings.fieldOrder = FieldOrder();
    settings.ycExpand = YCExpandMode();
    settings.flipVertical = FlipVertical();
    const size_t produced = pipeline_.Transform(buffers, lumoka::ToPictureHeader(inputHeader_),
                                                lumoka::ToPictureHeader(outputHeader_), settings,
                                                InputPin()->FirstField(), cpu_);
    out->SetActualDataLength(static_cast<long>(produced));
    return S_OK;
}

HRESULT CreateLumokaTransform(IBaseFilter** out) {
    RETURN_IF_NULL_OUT(out);
    *out = new (std::nothrow) CMyTransform();
    return *out ? S_OK : E_OUTOFMEMORY;
}
