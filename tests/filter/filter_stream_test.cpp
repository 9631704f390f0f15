// Frames through the transform filter in real graphs: the output bytes against the reference
// pipeline (for the pictures the test described), the frame-rate modes with their times, hardware
// field flags, the setters waiting for the sample in progress, and the sample flags reaching the
// downstream allocator.
#include <gtest/gtest.h>

#include <dshow.h>
#include <dvdmedia.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "FilterTestSupport.h"
#include "filter/pipeline/FrameRate.h"

using Microsoft::WRL::ComPtr;

namespace {

// Sample type-specific flags of video (the headers here do not declare them).
constexpr DWORD kVideoFlagField1First = 0x4;  // AM_VIDEO_FLAG_FIELD1FIRST
constexpr DWORD kVideoFlagWeave = 0x8;        // AM_VIDEO_FLAG_WEAVE

struct ModeCase {
    const char* name;
    int copyMode, frameMode, fieldOrder, ycExpand, flip;
};

lumoka::TransformSettings Settings(const ModeCase& m) {
    lumoka::TransformSettings s;
    s.copyMode = m.copyMode;
    s.frameMode = m.frameMode;
    s.fieldOrder = m.fieldOrder;
    s.ycExpand = m.ycExpand;
    s.flipVertical = m.flip;
    return s;
}

void Apply(ILumokaFilterCtrl* ctrl, const ModeCase& m) {
    ctrl->SetCopyMode(m.copyMode);
    ctrl->SetFrameMode(m.frameMode);
    ctrl->SetFieldOrder(m.fieldOrder);
    ctrl->SetYCExpand(m.ycExpand);
    ctrl->SetFlipVertical(m.flip);
}

class TransformStream : public ::testing::Test {
protected:
    CComScope com_;
};

// Runs a graph until `outputs` samples arrived, then stops; returns the inputs.
std::vector<CInputFrame> RunFor(CTransformGraph& g, CFrameLog& log, size_t outputs) {
    EXPECT_TRUE(SUCCEEDED(g.Run()));
    EXPECT_TRUE(g.sink->WaitForSamples(outputs, 10000));
    EXPECT_TRUE(SUCCEEDED(g.Stop()));
    return log.Frames();
}

TEST_F(TransformStream, SameModeOutputsMatchThePipeline) {
    const ModeCase cases[] = {{"Copy YUY2 expansion", 0, 0, 0, 2, 0},
                              {"Linear top first", 2, 0, 0, 0, 0},
                              {"Simple bottom first, flipped", 1, 0, 1, 0, 1},
                              {"LinearSharp UYVY expansion", 3, 0, 0, 1, 0},
                              {"Blend", 4, 0, 0, 0, 0},
                              {"BlendSharp bottom first", 5, 0, 1, 1, 1}};
    for (const ModeCase& m : cases) {
        SCOPED_TRACE(m.name);
        const CMediaType type = Yuy2Type(64, 48);
        CTransformGraph g(type);
        CFrameLog log;
        log.Attach(g.source);
        Apply(g.Ctrl(), m);
        ASSERT_EQ(S_OK, g.ConnectAll());
        const std::vector<CInputFrame> inputs = RunFor(g, log, 5);
        const std::vector<CRecordedSample> outputs = g.sink->Samples();
        ASSERT_GE(inputs.size(), outputs.size());
        lumoka::test::CReferencePipeline reference;
        for (size_t i = 0; i < outputs.size(); ++i) {
            const std::vector<uint8_t> want =
                ReferenceOutput(reference, inputs[i].data, PictureOf(type), PictureOf(type),
                                Settings(m), 1, 64 * 48 * 2);
            ASSERT_EQ(want.size(), outputs[i].data.size()) << i;
            EXPECT_TRUE(want == outputs[i].data) << "frame " << i;
            EXPECT_EQ(inputs[i].start, outputs[i].start);
            EXPECT_EQ(inputs[i].stop, outputs[i].stop);
        }
        // Processing did change the picture (else the comparison proves little).
        EXPECT_FALSE(outputs[0].data == inputs[0].data);
        EXPECT_TRUE(g.ReleaseAll());
        g.graph.Reset();
    }
}

TEST_F(TransformStream, PaddedOutputRowsMatchThePipeline) {
    const CMediaType type = Yuy2Type(64, 48);
    CTransformGraph g(type);
    CFrameLog log;
    log.Attach(g.source);
    const ModeCase m{"Linear flipped", 2, 0, 0, 0, 1};
    Apply(g.Ctrl(), m);
    ASSERT_EQ(S_OK, g.ConnectInput());
    CMediaType wide = Yuy2Type(64, 48);
    BITMAPINFOHEADER& bmi = wide.VideoInfo()->bmiHeader;
    bmi.biWidth = 80;
    bmi.biSizeImage = 80 * 48 * 2;
    wide.lSampleSize = bmi.biSizeImage;
    ASSERT_EQ(S_OK, g.ConnectOutput(&wide));
    const std::vector<CInputFrame> inputs = RunFor(g, log, 3);
    const std::vector<CRecordedSample> outputs = g.sink->Samples();
    lumoka::test::CReferencePipeline reference;
    const size_t row = 64 * 2, stride = 80 * 2;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const std::vector<uint8_t> want =
            ReferenceOutput(reference, inputs[i].data, PictureOf(type), PictureOf(wide),
                            Settings(m), 1, 80 * 48 * 2);
        ASSERT_EQ(want.size(), outputs[i].data.size()) << i;
        ASSERT_GE(want.size(), 47 * stride + row);
        // Every row of the picture, bottom rows included; the padding is not compared.
        for (size_t y = 0; y < 48; ++y) {
            EXPECT_EQ(0, std::memcmp(&want[y * stride], &outputs[i].data[y * stride], row))
                << "frame " << i << " row " << y;
        }
    }
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformStream, HalfDropsTheOddCountedSamples) {
    CTransformGraph g(Yuy2Type());
    CFrameLog log;
    log.Attach(g.source);
    g.Ctrl()->SetFrameMode(1);
    ASSERT_EQ(S_OK, g.ConnectAll());
    const uint64_t before = CCustomFilter::SampleCount();
    const std::vector<CInputFrame> inputs = RunFor(g, log, 4);
    const std::vector<CRecordedSample> outputs = g.sink->Samples();
    // Input k was counted as before + k + 1; only even counts pass.
    size_t o = 0;
    for (size_t k = 0; k < inputs.size() && o < outputs.size(); ++k) {
        if ((before + k + 1) % 2 == 1) continue;
        EXPECT_EQ(inputs[k].start, outputs[o].start) << k;
        EXPECT_TRUE(inputs[k].data == outputs[o].data) << k;
        ++o;
    }
    EXPECT_EQ(outputs.size(), o);
    EXPECT_GE(CCustomFilter::SampleCount() - before, 2 * outputs.size() - 1);
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformStream, DoubleGivesTwoSamplesWithSplitTimes) {
    const CMediaType type = Yuy2Type(64, 48);
    CTransformGraph g(type);
    CFrameLog log;
    log.Attach(g.source);
    const ModeCase m{"Linear double", 2, 2, 0, 0, 0};
    Apply(g.Ctrl(), m);
    ASSERT_EQ(S_OK, g.ConnectAll());
    const std::vector<CInputFrame> inputs = RunFor(g, log, 6);
    const std::vector<CRecordedSample> outputs = g.sink->Samples();
    lumoka::test::CReferencePipeline reference;
    for (size_t i = 0; i + 1 < outputs.size(); i += 2) {
        const CInputFrame& in = inputs[i / 2];
        const REFERENCE_TIME mid = in.start + (in.stop - in.start) / 2;
        EXPECT_EQ(in.start, outputs[i].start);
        EXPECT_EQ(mid, outputs[i].stop);
        EXPECT_EQ(mid, outputs[i + 1].start);
        EXPECT_EQ(in.stop, outputs[i + 1].stop);
        for (int half = 0; half < 2; ++half) {
            const std::vector<uint8_t> want =
                ReferenceOutput(reference, in.data, PictureOf(type), PictureOf(type), Settings(m),
                                half == 0 ? 1 : 0, 64 * 48 * 2);
            EXPECT_TRUE(want == outputs[i + half].data) << i << " half " << half;
        }
        EXPECT_FALSE(outputs[i].data == outputs[i + 1].data);
    }
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformStream, HardwareDoubleIsOneSampleWithFieldFlags) {
    for (int order : {0, 1}) {
        CTransformGraph g(Yuy2Type());
        CFrameLog log;
        log.Attach(g.source);
        Apply(g.Ctrl(), {"hardware double", 6, 2, order, 0, 0});
        ASSERT_EQ(S_OK, g.ConnectAll());
        const std::vector<CInputFrame> inputs = RunFor(g, log, 3);
        const std::vector<CRecordedSample> outputs = g.sink->Samples();
        for (size_t i = 0; i < outputs.size(); ++i) {
            EXPECT_EQ(inputs[i].start, outputs[i].start) << i;
            EXPECT_EQ(inputs[i].stop, outputs[i].stop) << i;
            EXPECT_TRUE(inputs[i].data == outputs[i].data) << i;
            const DWORD flags = outputs[i].props.dwTypeSpecificFlags;
            EXPECT_EQ(order == 0 ? kVideoFlagField1First : 0u,
                      flags & (kVideoFlagField1First | kVideoFlagWeave))
                << i;
        }
        EXPECT_TRUE(g.ReleaseAll());
        g.graph.Reset();
    }
}

TEST_F(TransformStream, SetterWaitsForTheSampleInProgress) {
    CTransformGraph g(Yuy2Type());
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g.sink->SetReceiveHook([&](size_t index) {
        if (index != 0) return;
        SetEvent(entered);
        WaitForSingleObject(release, 5000);
    });
    ASSERT_EQ(S_OK, g.ConnectAll());
    ASSERT_TRUE(SUCCEEDED(g.Run()));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered, 5000));
    std::atomic<bool> returned{false};
    std::thread setter([&] {
        g.Ctrl()->SetFrameMode(2);
        returned = true;
    });
    Sleep(200);
    EXPECT_FALSE(returned.load());  // the first sample is still being delivered
    int mode = -1;
    g.Ctrl()->GetFrameMode(&mode);  // getters do not wait
    EXPECT_EQ(0, mode);
    SetEvent(release);
    setter.join();
    EXPECT_TRUE(returned.load());
    EXPECT_TRUE(SUCCEEDED(g.Stop()));
    g.sink->SetReceiveHook(nullptr);
    CloseHandle(entered);
    CloseHandle(release);
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

// Samples handed to the input pin by hand while the graph is paused (the live source sends
// nothing then), so every flag and time is chosen by the test.
class ManualFeed : public TransformStream {
protected:
    static constexpr long kSize = 64 * 48 * 2;
    std::vector<uint8_t> Frame(uint8_t first) {
        std::vector<uint8_t> f(kSize);
        FillPattern(f.data(), f.size(), first);
        f[0] = first;
        return f;
    }
};

// The count behind the window's frame rate where the renderer keeps none.
LONGLONG DeliveredFrames(CMyTransform* transform) {
    ComPtr<ILumokaFilterStats> stats;
    EXPECT_EQ(S_OK, transform->QueryInterface(IID_PPV_ARGS(&stats)));
    LONGLONG count = -1;
    if (stats) {
        EXPECT_EQ(S_OK, stats->GetDeliveredFrames(&count));
    }
    return count;
}

TEST_F(ManualFeed, OtherStreamIdsPassUnchanged) {
    CTransformGraph g(Yuy2Type());
    g.Ctrl()->SetYCExpand(2);
    ASSERT_EQ(S_OK, g.ConnectAll());
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    CSampleFeeder feeder(kSize);
    const std::vector<uint8_t> data = Frame(1);
    ComPtr<IMediaSample> sample = feeder.Make(data, 0, 100);
    ComPtr<IMediaSample2> sample2;
    ASSERT_EQ(S_OK, sample.As(&sample2));
    AM_SAMPLE2_PROPERTIES props{};
    ASSERT_EQ(S_OK, sample2->GetProperties(sizeof(props), reinterpret_cast<BYTE*>(&props)));
    props.dwStreamId = 1;
    ASSERT_EQ(S_OK, sample2->SetProperties(sizeof(props), reinterpret_cast<BYTE*>(&props)));
    ComPtr<IMemInputPin> in;
    ASSERT_EQ(S_OK, g.In()->QueryInterface(IID_PPV_ARGS(&in)));
    EXPECT_EQ(S_OK, in->Receive(sample.Get()));
    // A media sample of the same bytes is expanded.
    EXPECT_EQ(S_OK, in->Receive(feeder.Make(data, 100, 200).Get()));
    const std::vector<CRecordedSample> out = g.sink->Samples();
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(1u, out[0].props.dwStreamId);
    EXPECT_TRUE(out[0].data == data);
    EXPECT_FALSE(out[1].data == data);
    EXPECT_EQ(1, DeliveredFrames(g.transform)) << "a control sample is no frame";
    in.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

// Skips the samples whose first byte is 0xEE and fails those starting with 0xE0.
class CSkippingTransform : public CMyTransform {
public:
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override {
        BYTE* p = nullptr;
        in->GetPointer(&p);
        if (p[0] == 0xEE) return S_FALSE;
        if (p[0] == 0xE0) return E_FAIL;
        return CMyTransform::Transform(in, out);
    }
};

TEST_F(ManualFeed, AllocatorFlagsSkippingAndDiscontinuity) {
    CTransformGraph g(Yuy2Type(), new CSkippingTransform());
    auto* allocator = new CRecordingAllocator();
    g.sink->SetAllocator(allocator);
    ASSERT_EQ(S_OK, g.ConnectAll());
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    g.CountEvents(EC_QUALITY_CHANGE);
    CSampleFeeder feeder(kSize);
    ComPtr<IMemInputPin> in;
    ASSERT_EQ(S_OK, g.In()->QueryInterface(IID_PPV_ARGS(&in)));
    struct Step {
        uint8_t first;
        bool sync, discontinuity;
        HRESULT result;
        DWORD flags;
    };
    const Step steps[] = {
        {1, true, false, S_OK, 0},
        {2, false, false, S_OK, AM_GBF_NOTASYNCPOINT},
        {0xEE, true, false, S_OK, 0},                         // skipped
        {3, true, false, S_OK, AM_GBF_PREVFRAMESKIPPED},      // delivered: clears it
        {0xEE, false, false, S_OK, AM_GBF_NOTASYNCPOINT},     // skipped again
        {0xE0, true, true, E_FAIL, AM_GBF_PREVFRAMESKIPPED},  // discontinuity clears it
        {4, true, false, S_OK, 0},
    };
    REFERENCE_TIME t = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(
            s.result,
            in->Receive(feeder.Make(Frame(s.first), t, t + 100, s.sync, s.discontinuity).Get()))
            << int(s.first);
        t += 100;
    }
    const std::vector<DWORD> flags = allocator->Flags();
    ASSERT_EQ(std::size(steps), flags.size());
    for (size_t i = 0; i < flags.size(); ++i) EXPECT_EQ(steps[i].flags, flags[i]) << i;
    // Two skips, one quality-change event (until the next Pause).
    EXPECT_EQ(1, g.CountEvents(EC_QUALITY_CHANGE));
    const std::vector<CRecordedSample> out = g.sink->Samples();
    ASSERT_EQ(4u, out.size());
    EXPECT_FALSE(out[1].syncPoint);
    EXPECT_TRUE(out[2].syncPoint);
    EXPECT_EQ(4, DeliveredFrames(g.transform)) << "skipped and failed samples are not counted";
    in.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
    EXPECT_EQ(0u, allocator->Release());
}

TEST_F(ManualFeed, DoubleStopsAfterARefusedFirstOutput) {
    CTransformGraph g(Yuy2Type());
    g.Ctrl()->SetFrameMode(2);
    g.sink->SetReceiveResult(S_FALSE);
    ASSERT_EQ(S_OK, g.ConnectAll());
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    CSampleFeeder feeder(kSize);
    ComPtr<IMemInputPin> in;
    ASSERT_EQ(S_OK, g.In()->QueryInterface(IID_PPV_ARGS(&in)));
    EXPECT_EQ(S_FALSE, in->Receive(feeder.Make(Frame(1), 1000000, 1333333).Get()));
    ASSERT_EQ(1u, g.sink->SampleCount());
    EXPECT_EQ(0, DeliveredFrames(g.transform)) << "refused by the downstream pin";
    EXPECT_EQ(1000000, g.sink->Samples()[0].start);
    EXPECT_EQ(1166666, g.sink->Samples()[0].stop);
    g.sink->SetReceiveResult(S_OK);
    EXPECT_EQ(S_OK, in->Receive(feeder.Make(Frame(2), 1000000, 1333333).Get()));
    EXPECT_EQ(3u, g.sink->SampleCount());
    EXPECT_EQ(1166666, g.sink->Samples()[2].start);
    EXPECT_EQ(1333333, g.sink->Samples()[2].stop);
    EXPECT_EQ(2, DeliveredFrames(g.transform));
    in.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(ManualFeed, HalfModeFiltersShareOneSampleCount) {
    // Samples reach two filters in turn: with one count for the process, the counts of one
    // filter are all odd (dropped) and those of the other all even (delivered).
    CTransformGraph a(Yuy2Type()), b(Yuy2Type());
    CSampleFeeder feeder(kSize);
    ComPtr<IMemInputPin> inA, inB;
    for (CTransformGraph* g : {&a, &b}) {
        g->Ctrl()->SetFrameMode(1);
        ASSERT_EQ(S_OK, g->ConnectAll());
        ASSERT_TRUE(SUCCEEDED(g->Pause()));
    }
    ASSERT_EQ(S_OK, a.In()->QueryInterface(IID_PPV_ARGS(&inA)));
    ASSERT_EQ(S_OK, b.In()->QueryInterface(IID_PPV_ARGS(&inB)));
    for (REFERENCE_TIME t = 0; t < 400; t += 100) {
        EXPECT_EQ(S_OK, inA->Receive(feeder.Make(Frame(1), t, t + 100).Get()));
        EXPECT_EQ(S_OK, inB->Receive(feeder.Make(Frame(2), t, t + 100).Get()));
    }
    const size_t fromA = a.sink->SampleCount(), fromB = b.sink->SampleCount();
    EXPECT_EQ(4u, fromA + fromB);
    EXPECT_TRUE(fromA == 0 || fromB == 0) << fromA << " and " << fromB;
    inA.Reset();
    inB.Reset();
    for (CTransformGraph* g : {&a, &b}) {
        EXPECT_TRUE(g->ReleaseAll());
        g->graph.Reset();
    }
}

TEST_F(ManualFeed, StreamingChecksInOrder) {
    CTransformGraph g(Yuy2Type());
    CSampleFeeder feeder(kSize);
    ComPtr<IMemInputPin> in;
    ASSERT_EQ(S_OK, g.In()->QueryInterface(IID_PPV_ARGS(&in)));
    ComPtr<IMediaSample> sample = feeder.Make(Frame(1), 0, 100);
    ASSERT_EQ(S_OK, g.ConnectInput());
    EXPECT_EQ(VFW_E_NOT_CONNECTED, in->Receive(sample.Get()));  // output unconnected
    ASSERT_EQ(S_OK, g.ConnectOutput());
    EXPECT_EQ(VFW_E_WRONG_STATE, in->Receive(sample.Get()));
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    EXPECT_EQ(S_OK, g.In()->BeginFlush());
    EXPECT_EQ(S_FALSE, in->Receive(sample.Get()));
    EXPECT_EQ(1, g.sink->BeginFlushCount());
    EXPECT_EQ(S_OK, g.In()->EndFlush());
    EXPECT_EQ(S_OK, in->Receive(sample.Get()));
    EXPECT_EQ(S_OK, g.In()->NewSegment(10, 20, 1.0));
    EXPECT_EQ(1, g.sink->NewSegmentCount());
    EXPECT_EQ(S_OK, g.In()->EndOfStream());
    EXPECT_EQ(1, g.sink->EndOfStreamCount());
    sample.Reset();
    in.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformStream, EndOfStreamOnceWhenPausedWithoutInput) {
    CTransformGraph g(Yuy2Type());
    ASSERT_EQ(S_OK, g.ConnectAll());
    ASSERT_EQ(S_OK, g.graph->Disconnect(g.In()));
    ASSERT_EQ(S_OK, g.graph->Disconnect(g.source->Pin()));
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    EXPECT_EQ(1, g.sink->EndOfStreamCount());
    ASSERT_TRUE(SUCCEEDED(g.Run()));
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    EXPECT_EQ(1, g.sink->EndOfStreamCount());
    ASSERT_TRUE(SUCCEEDED(g.Stop()));
    ASSERT_TRUE(SUCCEEDED(g.Pause()));
    EXPECT_EQ(2, g.sink->EndOfStreamCount());
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

}  // namespace
