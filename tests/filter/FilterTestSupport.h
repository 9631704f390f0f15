// Shared pieces of the transform filter's Wine tests: a graph of test source → transform →
// recording sink made by the system's filter graph manager, a sample feeder for driving the
// input pin by hand, an allocator that records GetBuffer flags, and the reference pipeline's
// output.
#pragma once

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "ReferencePipeline.h"
#include "TestFilters.h"
#include "dsbase/RecordingSink.h"
#include "filter/MyTransform.h"

struct CComScope {
    CComScope() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~CComScope() { CoUninitialize(); }
};

// FOURCC 'HDYC', not declared by the headers.
extern const GUID kSubtypeHDYC;

CMediaType Yuy2Type(LONG width = 64, LONG height = 48, REFERENCE_TIME frameTime = 100000);
CMediaType UyvyType(LONG width = 64, LONG height = 48);
CMediaType HdycType(LONG width = 64, LONG height = 48);
CMediaType Rgb24Type(LONG width = 64, LONG height = 48);
CMediaType Rgb32Type(LONG width = 64, LONG height = 48);

// One input frame as the source made it.
struct CInputFrame {
    std::vector<uint8_t> data;
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
};

// Deterministic, uneven picture content (so averages and sharpening change bytes).
void FillPattern(uint8_t* data, size_t size, uint32_t seed);

// Thread: the fill runs on the source's streaming thread; read after Stop.
class CFrameLog {
public:
    void Attach(CTestSource* source);
    std::vector<CInputFrame> Frames() const;

private:
    mutable std::mutex mutex_;
    std::vector<CInputFrame> frames_;
};

// The test graph. Objects are created with a count of 1 held by the test; Release() drops the
// graph and returns whether every object's final Release returned 0.
class CTransformGraph {
public:
    explicit CTransformGraph(const CMediaType& sourceType, CMyTransform* transform = nullptr);
    ~CTransformGraph();

    HRESULT ConnectInput();
    HRESULT ConnectOutput(const AM_MEDIA_TYPE* mt = nullptr);
    HRESULT ConnectAll();
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    bool ReleaseAll();
    // Events of the given code waiting in the graph's queue (drained).
    int CountEvents(long code);

    IPin* In();
    IPin* Out();
    Microsoft::WRL::ComPtr<IGraphBuilder> graph;
    CTestSource* source = nullptr;
    CMyTransform* transform = nullptr;
    CRecordingSink* sink = nullptr;
    ILumokaFilterCtrl* Ctrl() { return transform; }
};

// Makes samples of a memory allocator of its own for calling the input pin by hand.
class CSampleFeeder {
public:
    explicit CSampleFeeder(long size, long count = 4);
    ~CSampleFeeder();
    Microsoft::WRL::ComPtr<IMediaSample> Make(const std::vector<uint8_t>& data,
                                              REFERENCE_TIME start, REFERENCE_TIME stop,
                                              bool sync = true, bool discontinuity = false);

private:
    Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
};

// An allocator that wraps the standard one and records the flags of every GetBuffer call.
class CRecordingAllocator : public CComObject<IMemAllocator> {
public:
    CRecordingAllocator();
    HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request,
                                            ALLOCATOR_PROPERTIES* actual) override;
    HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* props) override;
    HRESULT STDMETHODCALLTYPE Commit() override;
    HRESULT STDMETHODCALLTYPE Decommit() override;
    HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                        REFERENCE_TIME* stop, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override;
    std::vector<DWORD> Flags() const;

private:
    Microsoft::WRL::ComPtr<IMemAllocator> inner_;
    mutable std::mutex mutex_;
    std::vector<DWORD> flags_;
};

// What the independent reference pipeline makes of one input for the pictures the test itself
// described (the filter's recorded headers play no part in the expectation).
lumoka::PictureHeader PictureOf(const CMediaType& type);
std::vector<uint8_t> ReferenceOutput(lumoka::test::CReferencePipeline& pipeline,
                                     const std::vector<uint8_t>& input,
                                     const lumoka::PictureHeader& in,
                                     const lumoka::PictureHeader& out,
                                     const lumoka::TransformSettings& settings, int32_t firstField,
                                     size_t outputSize);
