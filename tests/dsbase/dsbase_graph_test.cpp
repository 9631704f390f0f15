// The base library in real graphs made by the system's filter graph manager: a live push
// source into the recording sink, connected by the graph builder and directly.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include "TestFilters.h"
#include "dsbase/RecordingSink.h"

using Microsoft::WRL::ComPtr;

#define EXPECT_FAILED(expr) EXPECT_TRUE(FAILED(expr))

namespace {

class DsbaseGraph : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&graph_)));
        source_ = new CTestSource(
            {MakeVideoType(MEDIASUBTYPE_YUY2, 64, 48, 16, MAKEFOURCC('Y', 'U', 'Y', '2'), 100000)});
        sink_ = new CRecordingSink();
        ASSERT_EQ(S_OK, graph_->AddFilter(source_, L"source"));
        ASSERT_EQ(S_OK, graph_->AddFilter(sink_, L"sink"));
    }
    void TearDown() override {
        if (graph_) {
            ComPtr<IMediaControl> control;
            if (SUCCEEDED(graph_.As(&control))) control->Stop();
        }
        graph_.Reset();
        // Every object is back at 0 once the graph let go of them.
        EXPECT_EQ(0u, source_->Release());
        EXPECT_EQ(0u, sink_->Release());
        CoUninitialize();
    }
    IPin* SourcePin() { return source_->Pin(); }
    IPin* SinkPin() { return sink_->InputPin(); }

    ComPtr<IGraphBuilder> graph_;
    CTestSource* source_ = nullptr;
    CRecordingSink* sink_ = nullptr;
};

TEST_F(DsbaseGraph, ConnectRunDeliversSamplesWithIncreasingTimes) {
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(S_OK, SinkPin()->ConnectionMediaType(&mt));
    EXPECT_EQ(MEDIASUBTYPE_YUY2, mt.subtype);
    FreeMediaType(mt);

    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(sink_->WaitForSamples(5, 5000));

    const DWORD before = GetTickCount();
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
    EXPECT_LT(GetTickCount() - before, 1000u);

    const std::vector<CRecordedSample> samples = sink_->Samples();
    ASSERT_GE(samples.size(), 5u);
    EXPECT_TRUE(samples[0].discontinuity);
    for (size_t i = 0; i < samples.size(); ++i) {
        const CRecordedSample& s = samples[i];
        EXPECT_TRUE(s.startValid && s.stopValid) << i;
        EXPECT_TRUE(s.syncPoint) << i;
        EXPECT_EQ(100000, s.stop - s.start) << i;
        ASSERT_EQ(64u * 48u * 2u, s.data.size()) << i;
        // Frame n carries (n * 7 + i) & 0xFF.
        EXPECT_EQ(static_cast<uint8_t>(i * 7), s.data[0]) << i;
        EXPECT_EQ(static_cast<uint8_t>(i * 7 + 100), s.data[100]) << i;
        if (i > 0) {
            EXPECT_GT(s.start, samples[i - 1].start) << i;
            EXPECT_FALSE(s.discontinuity) << i;
        }
    }
    EXPECT_EQ(static_cast<long>(samples.size()), source_->Pin()->FramesDelivered());
}

TEST_F(DsbaseGraph, LiveSourceCannotCueWhilePaused) {
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(VFW_S_CANT_CUE, source_->GetState(0, &state));
    EXPECT_EQ(State_Paused, state);
    OAFilterState graphState = 0;
    EXPECT_EQ(VFW_S_CANT_CUE, control->GetState(1000, &graphState));
    EXPECT_EQ(State_Paused, graphState);
    // Nothing flows while paused.
    EXPECT_FALSE(sink_->WaitForSamples(1, 200));

    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(sink_->WaitForSamples(2, 5000));
    EXPECT_EQ(S_OK, source_->GetState(0, &state));
    EXPECT_EQ(State_Running, state);
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
    EXPECT_EQ(S_OK, source_->GetState(0, &state));
    EXPECT_EQ(State_Stopped, state);
}

TEST_F(DsbaseGraph, ConnectDirectWithTypeAndRefusals) {
    CMediaType wrong = MakeVideoType(MEDIASUBTYPE_RGB24, 64, 48, 24, BI_RGB);
    EXPECT_FAILED(graph_->ConnectDirect(SourcePin(), SinkPin(), &wrong));

    sink_->SetAcceptedTypes({CMediaType(MEDIATYPE_Audio)});
    EXPECT_FAILED(graph_->ConnectDirect(SourcePin(), SinkPin(), nullptr));
    ComPtr<IPin> none;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, SourcePin()->ConnectedTo(&none));

    sink_->SetAcceptedTypes({CMediaType(MEDIATYPE_Video, MEDIASUBTYPE_YUY2)});
    CMediaType right = MakeVideoType(MEDIASUBTYPE_YUY2, 64, 48, 16, MAKEFOURCC('Y', 'U', 'Y', '2'));
    ASSERT_EQ(S_OK, graph_->ConnectDirect(SourcePin(), SinkPin(), &right));
    ComPtr<IPin> peer;
    EXPECT_EQ(S_OK, SourcePin()->ConnectedTo(&peer));
    EXPECT_EQ(SinkPin(), peer.Get());
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, SourcePin()->Connect(SinkPin(), nullptr));

    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    // Pins refuse to disconnect while the filter is active.
    EXPECT_EQ(VFW_E_NOT_STOPPED, SinkPin()->Disconnect());
    ASSERT_TRUE(SUCCEEDED(control->Stop()));
    EXPECT_EQ(S_OK, graph_->Disconnect(SinkPin()));
    EXPECT_EQ(S_OK, graph_->Disconnect(SourcePin()));
    EXPECT_EQ(S_FALSE, SinkPin()->Disconnect());
    peer.Reset();
    EXPECT_EQ(VFW_E_NOT_CONNECTED, SourcePin()->ConnectedTo(&peer));
    EXPECT_EQ(nullptr, peer.Get());
}

TEST_F(DsbaseGraph, SinkResultAndAllocatorRequirements) {
    ALLOCATOR_PROPERTIES want{};
    want.cBuffers = 6;
    want.cbAlign = 16;
    sink_->SetAllocatorRequirements(want);
    sink_->SetReceiveResult(S_FALSE);
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, sink_->InputPin()->GetAllocator(&allocator));
    ALLOCATOR_PROPERTIES got{};
    ASSERT_EQ(S_OK, allocator->GetProperties(&got));
    EXPECT_GE(got.cBuffers, 6);
    EXPECT_EQ(16, got.cbAlign);

    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(sink_->WaitForSamples(1, 5000));
    // S_FALSE from Receive means "send no more": the source stops pushing.
    Sleep(300);
    EXPECT_EQ(1u, sink_->SampleCount());
    EXPECT_EQ(S_FALSE, source_->Pin()->LastDeliverResult());
    EXPECT_EQ(0, source_->Pin()->FramesDelivered());
    EXPECT_EQ(0, sink_->EndOfStreamCount());  // a refusal is not the end of the stream
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
}

// A sample offering only IMediaSample (no IMediaSample2), with a start time and no stop time.
class CPlainSample : public CComObject<IMediaSample> {
public:
    HRESULT STDMETHODCALLTYPE GetPointer(BYTE** p) override {
        *p = data_;
        return S_OK;
    }
    long STDMETHODCALLTYPE GetSize() override { return sizeof(data_); }
    HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override {
        *start = 777;
        *stop = 0;
        return VFW_S_NO_STOP_TIME;
    }
    HRESULT STDMETHODCALLTYPE SetTime(REFERENCE_TIME*, REFERENCE_TIME*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsSyncPoint() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetSyncPoint(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsPreroll() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetPreroll(BOOL) override { return S_OK; }
    long STDMETHODCALLTYPE GetActualDataLength() override { return 3; }
    HRESULT STDMETHODCALLTYPE SetActualDataLength(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMediaType(AM_MEDIA_TYPE** mt) override {
        *mt = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE SetMediaType(AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsDiscontinuity() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetDiscontinuity(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMediaTime(LONGLONG*, LONGLONG*) override {
        return VFW_E_MEDIA_TIME_NOT_SET;
    }
    HRESULT STDMETHODCALLTYPE SetMediaTime(LONGLONG*, LONGLONG*) override { return S_OK; }

private:
    BYTE data_[8] = {1, 2, 3, 4, 5, 6, 7, 8};
};

// Waits up to timeoutMs for an event of one code in the graph's queue, draining the others.
// Polled: once a GetEvent has emptied the queue, Wine 8's next GetEvent returns E_ABORT at once
// instead of waiting its timeout (seen while writing FillEndingTheStreamDeliversEndOfStream).
bool WaitForEvent(IGraphBuilder* graph, long code, DWORD timeoutMs) {
    ComPtr<IMediaEventEx> events;
    graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(events.GetAddressOf()));
    const DWORD end = GetTickCount() + timeoutMs;
    do {
        long got;
        LONG_PTR p1, p2;
        while (events->GetEvent(&got, &p1, &p2, 0) == S_OK) {
            events->FreeEventParams(got, p1, p2);
            if (got == code) return true;
        }
        Sleep(10);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    return false;
}

TEST_F(DsbaseGraph, FillEndingTheStreamDeliversEndOfStream) {
    source_->SetFill([](IMediaSample* sample, long index) -> HRESULT {
        if (index == 2) return S_FALSE;
        CTestSource::DefaultFill(sample, index);
        return S_OK;
    });
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    // The sink, as a renderer, reports the end; the graph passes EC_COMPLETE on.
    EXPECT_TRUE(WaitForEvent(graph_.Get(), EC_COMPLETE, 5000));
    EXPECT_EQ(2u, sink_->SampleCount());
    EXPECT_EQ(1, sink_->EndOfStreamCount());
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
}

TEST_F(DsbaseGraph, FillFailingAbortsTheStream) {
    source_->SetFill([](IMediaSample*, long) -> HRESULT { return E_UNEXPECTED; });
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_TRUE(WaitForEvent(graph_.Get(), EC_ERRORABORT, 5000));
    EXPECT_EQ(0u, sink_->SampleCount());
    EXPECT_EQ(E_UNEXPECTED, source_->Pin()->LastDeliverResult());
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
}

TEST_F(DsbaseGraph, StreamingChecksOfTheInputPin) {
    CRecordingSinkPin* pin = sink_->InputPin();
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&allocator)));
    ALLOCATOR_PROPERTIES want{1, 16, 1, 0}, got{};
    ASSERT_EQ(S_OK, allocator->SetProperties(&want, &got));
    ASSERT_EQ(S_OK, allocator->Commit());
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, allocator->GetBuffer(&sample, nullptr, nullptr, 0));
    EXPECT_EQ(E_POINTER, pin->Receive(nullptr));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, pin->Receive(sample.Get()));
    ASSERT_EQ(S_OK, graph_->Connect(SourcePin(), SinkPin()));
    EXPECT_EQ(VFW_E_WRONG_STATE, pin->Receive(sample.Get()));
    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, graph_.As(&control));
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    EXPECT_EQ(S_OK, pin->BeginFlush());
    EXPECT_EQ(S_FALSE, pin->Receive(sample.Get()));
    EXPECT_EQ(S_OK, pin->EndFlush());
    REFERENCE_TIME start = 10, stop = 20;
    sample->SetTime(&start, &stop);
    sample->SetPreroll(TRUE);
    sample->SetActualDataLength(4);
    long processed = -1;
    IMediaSample* batch[] = {sample.Get()};
    EXPECT_EQ(S_OK, pin->ReceiveMultiple(batch, 1, &processed));
    EXPECT_EQ(1, processed);
    ASSERT_EQ(1u, sink_->SampleCount());
    const CRecordedSample r = sink_->Samples()[0];
    EXPECT_TRUE(r.preroll);
    EXPECT_EQ(10, r.start);
    EXPECT_EQ(20, r.stop);
    EXPECT_EQ(4, r.props.lActual);
    EXPECT_EQ(S_FALSE, pin->ReceiveCanBlock());

    // Without IMediaSample2 the same record is built from IMediaSample.
    auto* plain = new CPlainSample();
    EXPECT_EQ(S_OK, pin->Receive(plain));
    ASSERT_EQ(2u, sink_->SampleCount());
    const CRecordedSample p = sink_->Samples()[1];
    EXPECT_TRUE(p.startValid);
    EXPECT_FALSE(p.stopValid);
    EXPECT_EQ(777, p.start);
    EXPECT_TRUE(p.syncPoint);
    EXPECT_TRUE(p.discontinuity);
    EXPECT_FALSE(p.preroll);
    EXPECT_FALSE(p.typeChanged);
    EXPECT_EQ(3, p.props.lActual);
    EXPECT_EQ(8, p.props.cbBuffer);
    EXPECT_EQ(static_cast<DWORD>(AM_STREAM_MEDIA), p.props.dwStreamId);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), p.data);
    EXPECT_EQ(0u, plain->Release());
    EXPECT_TRUE(SUCCEEDED(control->Stop()));
    sample.Reset();
    allocator->Decommit();
}

}  // namespace
