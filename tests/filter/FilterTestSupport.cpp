#include "FilterTestSupport.h"

#include <cstring>

using Microsoft::WRL::ComPtr;

const GUID kSubtypeHDYC = {
    0x43594448, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

CMediaType Yuy2Type(LONG width, LONG height, REFERENCE_TIME frameTime) {
    return MakeVideoType(MEDIASUBTYPE_YUY2, width, height, 16, MAKEFOURCC('Y', 'U', 'Y', '2'),
                         frameTime);
}
CMediaType UyvyType(LONG width, LONG height) {
    return MakeVideoType(MEDIASUBTYPE_UYVY, width, height, 16, MAKEFOURCC('U', 'Y', 'V', 'Y'));
}
CMediaType HdycType(LONG width, LONG height) {
    return MakeVideoType(kSubtypeHDYC, width, height, 16, MAKEFOURCC('H', 'D', 'Y', 'C'));
}
CMediaType Rgb24Type(LONG width, LONG height) {
    return MakeVideoType(MEDIASUBTYPE_RGB24, width, height, 24, BI_RGB);
}
CMediaType Rgb32Type(LONG width, LONG height) {
    return MakeVideoType(MEDIASUBTYPE_RGB32, width, height, 32, BI_RGB);
}

void FillPattern(uint8_t* data, size_t size, uint32_t seed) {
    uint32_t x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        data[i] = static_cast<uint8_t>(x >> 16);
    }
}

void CFrameLog::Attach(CTestSource* source) {
    source->SetFill([this](IMediaSample* sample, long index) {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const long size = sample->GetSize();
        FillPattern(data, static_cast<size_t>(size), static_cast<uint32_t>(index) + 1);
        sample->SetActualDataLength(size);
        CInputFrame frame;
        frame.data.assign(data, data + size);
        sample->GetTime(&frame.start, &frame.stop);
        std::lock_guard<std::mutex> guard(mutex_);
        frames_.push_back(std::move(frame));
        return S_OK;
    });
}

std::vector<CInputFrame> CFrameLog::Frames() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return frames_;
}

CTransformGraph::CTransformGraph(const CMediaType& sourceType, CMyTransform* filter) {
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
    source = new CTestSource({sourceType});
    transform = filter ? filter : new CMyTransform();
    sink = new CRecordingSink();
    graph->AddFilter(source, L"Source");
    graph->AddFilter(transform, L"Lumoka Transform");
    graph->AddFilter(sink, L"Sink");
}

CTransformGraph::~CTransformGraph() {
    if (graph) ReleaseAll();
}

IPin* CTransformGraph::In() { return transform->GetPin(0); }
IPin* CTransformGraph::Out() { return transform->GetPin(1); }

HRESULT CTransformGraph::ConnectInput() {
    return graph->ConnectDirect(source->Pin(), In(), nullptr);
}

HRESULT CTransformGraph::ConnectOutput(const AM_MEDIA_TYPE* mt) {
    return graph->ConnectDirect(Out(), sink->InputPin(), mt);
}

HRESULT CTransformGraph::ConnectAll() {
    const HRESULT hr = ConnectInput();
    return FAILED(hr) ? hr : ConnectOutput();
}

HRESULT CTransformGraph::Run() {
    ComPtr<IMediaControl> control;
    graph.As(&control);
    return control->Run();
}
HRESULT CTransformGraph::Pause() {
    ComPtr<IMediaControl> control;
    graph.As(&control);
    return control->Pause();
}
HRESULT CTransformGraph::Stop() {
    ComPtr<IMediaControl> control;
    graph.As(&control);
    return control->Stop();
}

int CTransformGraph::CountEvents(long code) {
    ComPtr<IMediaEventEx> events;
    if (FAILED(graph->QueryInterface(IID_IMediaEventEx,
                                     reinterpret_cast<void**>(events.GetAddressOf())))) {
        return -1;
    }
    int n = 0;
    long got;
    LONG_PTR p1, p2;
    while (events->GetEvent(&got, &p1, &p2, 0) == S_OK) {
        if (got == code) ++n;
        events->FreeEventParams(got, p1, p2);
    }
    return n;
}

bool CTransformGraph::ReleaseAll() {
    Stop();
    graph.Reset();
    const ULONG a = source->Release();
    const ULONG b = transform->Release();
    const ULONG c = sink->Release();
    return a == 0 && b == 0 && c == 0;
}

CSampleFeeder::CSampleFeeder(long size, long count) {
    CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&allocator_));
    ALLOCATOR_PROPERTIES want{count, size, 1, 0}, got{};
    allocator_->SetProperties(&want, &got);
    allocator_->Commit();
}

CSampleFeeder::~CSampleFeeder() { allocator_->Decommit(); }

ComPtr<IMediaSample> CSampleFeeder::Make(const std::vector<uint8_t>& data, REFERENCE_TIME start,
                                         REFERENCE_TIME stop, bool sync, bool discontinuity) {
    ComPtr<IMediaSample> sample;
    allocator_->GetBuffer(&sample, nullptr, nullptr, 0);
    BYTE* p = nullptr;
    sample->GetPointer(&p);
    std::memcpy(p, data.data(), data.size());
    sample->SetActualDataLength(static_cast<long>(data.size()));
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(sync ? TRUE : FALSE);
    sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
    return sample;
}

CRecordingAllocator::CRecordingAllocator() {
    CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&inner_));
}
HRESULT STDMETHODCALLTYPE CRecordingAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                                             ALLOCATOR_PROPERTIES* actual) {
    return inner_->SetProperties(request, actual);
}
HRESULT STDMETHODCALLTYPE CRecordingAllocator::GetProperties(ALLOCATOR_PROPERTIES* props) {
    return inner_->GetProperties(props);
}
HRESULT STDMETHODCALLTYPE CRecordingAllocator::Commit() { return inner_->Commit(); }
HRESULT STDMETHODCALLTYPE CRecordingAllocator::Decommit() { return inner_->Decommit(); }
HRESULT STDMETHODCALLTYPE CRecordingAllocator::GetBuffer(IMediaSample** sample,
                                                         REFERENCE_TIME* start,
                                                         REFERENCE_TIME* stop, DWORD flags) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        flags_.push_back(flags);
    }
    return inner_->GetBuffer(sample, start, stop, flags);
}
HRESULT STDMETHODCALLTYPE CRecordingAllocator::ReleaseBuffer(IMediaSample* sample) {
    return inner_->ReleaseBuffer(sample);
}
std::vector<DWORD> CRecordingAllocator::Flags() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return flags_;
}

lumoka::PictureHeader PictureOf(const CMediaType& type) {
    const BITMAPINFOHEADER& bmi = type.VideoInfo()->bmiHeader;
    return {bmi.biWidth, bmi.biHeight, bmi.biBitCount, bmi.biCompression};
}

std::vector<uint8_t> ReferenceOutput(lumoka::test::CReferencePipeline& pipeline,
                                     const std::vector<uint8_t>& input,
                                     const lumoka::PictureHeader& in,
                                     const lumoka::PictureHeader& out,
                                     const lumoka::TransformSettings& settings, int32_t firstField,
                                     size_t outputSize) {
    std::vector<uint8_t> bytes(outputSize, 0);
    const lumoka::FrameBuffers buffers{input.data(), input.size(), bytes.data(), bytes.size()};
    bytes.resize(
        pipeline.Transform(buffers, in, out, settings, firstField, lumoka::DetectCpuFeatures()));
    return bytes;
}
