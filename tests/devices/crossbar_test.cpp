// The card's crossbars as the capture builder finds them upstream, routing that changes the
// delivered pattern, and the preview-only variant found by the preview category.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include "devices/MediaFormats.h"

namespace lumoka::test {
namespace {

using Crossbar = DeviceGraphTest;

ComPtr<IAMCrossbar> UpstreamCrossbar(ICaptureGraphBuilder2* b, IBaseFilter* from) {
    ComPtr<IAMCrossbar> bar;
    b->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, from, IID_IAMCrossbar,
                     reinterpret_cast<void**>(bar.GetAddressOf()));
    return bar;
}

// Luma of the top-left bar in the middle of the picture of the last sample (RGB32).
int PatternLuma(CRecordingSink* sink) {
    const auto samples = sink->Samples();
    if (samples.empty()) return -1;
    const PictureLayout l = LayoutOf(sink->InputPin()->CurrentMediaType());
    const uint8_t* p = samples.back().data.data() + l.RowOffset(l.height / 2) + 10 * 4;
    return (p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8;
}

// The pattern of a frame rendered after the route changed: one already being rendered may
// still come first, so the second frame recorded from now counts (it was rendered after the
// first one's delivery).
int PatternAfterRoute(CRecordingSink* sink) {
    sink->ClearRecord();
    return sink->WaitForSamples(2, 3000) ? PatternLuma(sink) : -1;
}

TEST_F(Crossbar, IsFoundUpstreamAndDescribesItsPins) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMCrossbar> bar = UpstreamCrossbar(g_.builder.Get(), card.Get());
    ASSERT_TRUE(bar);
    long outputs = 0, inputs = 0;
    ASSERT_EQ(bar->get_PinCounts(&outputs, &inputs), S_OK);
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(inputs, 5);
    const long inputTypes[] = {PhysConn_Video_Tuner, PhysConn_Video_Composite,
                               PhysConn_Video_SVideo, PhysConn_Audio_Tuner, PhysConn_Audio_Line};
    for (long i = 0; i < inputs; ++i) {
        long related = -1, type = -1;
        ASSERT_EQ(bar->get_CrossbarPinInfo(TRUE, i, &related, &type), S_OK);
        EXPECT_EQ(type, inputTypes[i]);
        // Related pins point at each other's kind: video to audio and back.
        EXPECT_NE(related >= 3, i >= 3) << i;
    }
    long related = -1, type = -1;
    ASSERT_EQ(bar->get_CrossbarPinInfo(FALSE, 0, &related, &type), S_OK);
    EXPECT_EQ(type, PhysConn_Video_VideoDecoder);
    EXPECT_EQ(related, 1);
    ASSERT_EQ(bar->get_CrossbarPinInfo(FALSE, 1, &related, &type), S_OK);
    EXPECT_EQ(type, PhysConn_Audio_AudioDecoder);
    EXPECT_EQ(bar->get_CrossbarPinInfo(FALSE, 2, &related, &type), E_INVALIDARG);

    long routed = -1;
    ASSERT_EQ(bar->get_IsRoutedTo(0, &routed), S_OK);
    EXPECT_EQ(routed, 0);
    ASSERT_EQ(bar->get_IsRoutedTo(1, &routed), S_OK);
    EXPECT_EQ(routed, 3);
    EXPECT_EQ(bar->CanRoute(0, 2), S_OK);
    EXPECT_EQ(bar->CanRoute(0, 4), S_FALSE);
    EXPECT_EQ(bar->CanRoute(1, 1), S_FALSE);
    EXPECT_EQ(bar->CanRoute(1, 4), S_OK);
    EXPECT_TRUE(FAILED(bar->Route(0, 3)));
    ASSERT_EQ(bar->Route(1, 4), S_OK);
    ASSERT_EQ(bar->get_IsRoutedTo(1, &routed), S_OK);
    EXPECT_EQ(routed, 4);
    ASSERT_EQ(bar->get_IsRoutedTo(0, &routed), S_OK);
    EXPECT_EQ(routed, 0);
    // A single crossbar: nothing further upstream.
    ComPtr<IBaseFilter> barFilter;
    ASSERT_EQ(bar.As(&barFilter), S_OK);
    EXPECT_FALSE(UpstreamCrossbar(g_.builder.Get(), barFilter.Get()));
}

TEST_F(Crossbar, RoutingChangesThePattern) {
    ComPtr<IBaseFilter> card = AddCard();
    ComPtr<IAMStreamConfig> config = Config(card.Get());
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 720, 480, 333667);  // RGB32
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<IAMCrossbar> bar = UpstreamCrossbar(g_.builder.Get(), card.Get());
    ASSERT_TRUE(bar);
    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 1);
    const int tuner = PatternLuma(sink.Get());
    EXPECT_GT(tuner, 150);              // white bar first
    ASSERT_EQ(bar->Route(0, 1), S_OK);  // composite: blue bar first
    EXPECT_LT(PatternAfterRoute(sink.Get()), 60);
    ASSERT_EQ(bar->Route(0, 2), S_OK);  // S-Video: the ramp starts near black
    const int svideo = PatternAfterRoute(sink.Get());
    EXPECT_LT(svideo, 60);
    ASSERT_EQ(bar->Route(0, 0), S_OK);
    EXPECT_EQ(PatternAfterRoute(sink.Get()), tuner);
}

TEST_F(Crossbar, TwoCrossbarsInSeries) {
    ComPtr<IBaseFilter> card =
        AddCard(L"Lumoka Test Card (Two Crossbars)", L"lumoka-testcard-2xbar");
    ComPtr<IAMCrossbar> nearBar = UpstreamCrossbar(g_.builder.Get(), card.Get());
    ASSERT_TRUE(nearBar);
    ComPtr<IBaseFilter> nearFilter;
    ASSERT_EQ(nearBar.As(&nearFilter), S_OK);
    ComPtr<IAMCrossbar> farBar = UpstreamCrossbar(g_.builder.Get(), nearFilter.Get());
    ASSERT_TRUE(farBar);
    ComPtr<IBaseFilter> farFilter;
    ASSERT_EQ(farBar.As(&farFilter), S_OK);
    EXPECT_NE(farFilter.Get(), nearFilter.Get());

    ComPtr<IAMStreamConfig> config = Config(card.Get());
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 8, 720, 480, 333667);
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 1);
    const int tuner = PatternLuma(sink.Get());
    // The near crossbar's tuner input carries what the far one routes.
    ASSERT_EQ(farBar->Route(0, 1), S_OK);
    EXPECT_LT(PatternAfterRoute(sink.Get()), 60);
    // Routing the near crossbar away from the far one takes its own input.
    ASSERT_EQ(nearBar->Route(0, 2), S_OK);
    const int svideo = PatternAfterRoute(sink.Get());
    ASSERT_EQ(farBar->Route(0, 0), S_OK);
    EXPECT_EQ(PatternAfterRoute(sink.Get()), svideo);
    ASSERT_EQ(nearBar->Route(0, 0), S_OK);
    EXPECT_EQ(PatternAfterRoute(sink.Get()), tuner);
}

TEST_F(Crossbar, CardLeavesAndJoinsAnotherGraph) {
    ComPtr<IBaseFilter> card = AddCard();
    ASSERT_TRUE(UpstreamCrossbar(g_.builder.Get(), card.Get()));
    // Removed, the card is disconnected from its crossbar, which the graph keeps.
    ASSERT_EQ(g_.graph->RemoveFilter(card.Get()), S_OK);
    EXPECT_EQ(RefCount(card.Get()), 1u);
    ComPtr<IBaseFilter> orphan;
    EXPECT_EQ(g_.graph->FindFilterByName(L"Lumoka Test Card Crossbar", &orphan), S_OK);
    orphan.Reset();
    // In a second graph it brings a crossbar of its own.
    Graph other;
    ASSERT_EQ(MakeGraph(&other), S_OK);
    ASSERT_EQ(other.graph->AddFilter(card.Get(), L"Card"), S_OK);
    EXPECT_TRUE(UpstreamCrossbar(other.builder.Get(), card.Get()));
    other = Graph();
    EXPECT_EQ(RefCount(card.Get()), 1u);
}

TEST_F(Crossbar, PreviewOnlyCardIsFoundByThePreviewCategory) {
    ComPtr<IBaseFilter> card = AddCard(L"Lumoka Test Card (Preview)", L"lumoka-testcard-preview");
    EXPECT_FALSE(FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE,
                         &MEDIATYPE_Video));
    EXPECT_TRUE(FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW,
                        &MEDIATYPE_Video));
    EXPECT_FALSE(Config(card.Get(), &PIN_CATEGORY_CAPTURE));
    ComPtr<IAMStreamConfig> config = Config(card.Get(), &PIN_CATEGORY_PREVIEW);
    ASSERT_TRUE(config);
    AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), 9, 1280, 720, 166833);  // RGB32 HD
    ASSERT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    ComPtr<CRecordingSink> sink = RunInto(card.Get(), 2, &PIN_CATEGORY_PREVIEW);
    const auto samples = sink->Samples();
    ASSERT_GE(samples.size(), 2u);
    EXPECT_EQ(samples[0].data.size(), 1280u * 720u * 4u);
    EXPECT_TRUE(UpstreamCrossbar(g_.builder.Get(), card.Get()));
}

}  // namespace
}  // namespace lumoka::test
