// The transform filter's frame grab in a real graph: test card → transform → recording sink.
// Each of the card's pixel formats comes back as the 40-byte header and bottom-up 32-bit
// pixels showing the card's colour bars where the card draws them; a stopped graph makes the
// request time out and leaves the filter ready for the next one.
#include "DeviceTestSupport.h"

#include "SnapshotTestSupport.h"
#include "config/Config.h"
#include "devices/DeviceIds.h"
#include "filter/LumokaFrameGrab.h"
#include "graph/GraphController.h"
#include "filter/MyTransform.h"
#include "snapshot/Snapshot.h"
#include "wincom/UniqueHandle.h"

namespace lumoka::test {
namespace {

// Pixel (x, y), y = 0 the top line, of a bottom-up 32-bit picture.
Rgb DibPixel(const BITMAPINFOHEADER& h, const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p =
        pixels.data() + (static_cast<size_t>(h.biHeight - 1 - y) * h.biWidth + x) * 4;
    return {p[2], p[1], p[0]};
}

class FrameGrab : public DeviceGraphTest, public ::testing::WithParamInterface<int> {
protected:
    // Card (usable format index, smallest size) → transform → sink, running.
    ComPtr<IBaseFilter> RunThroughTransform(int formatIndex, int width, int height) {
        ComPtr<IBaseFilter> card = AddCard();
        ComPtr<IAMStreamConfig> config = Config(card.Get());
        EXPECT_TRUE(config);
        if (!config) return nullptr;
        // Usable index n is capability n + 1 (the first capability is VIDEOINFOHEADER2).
        AM_MEDIA_TYPE* mt = CapabilityType(config.Get(), formatIndex + 1, width, height, 333667);
        EXPECT_NE(mt, nullptr);
        if (!mt) return nullptr;
        EXPECT_EQ(config->SetFormat(mt), S_OK);
        DeleteMediaType(mt);
        ComPtr<IBaseFilter> transform;
        EXPECT_EQ(CreateLumokaTransform(transform.GetAddressOf()), S_OK);
        EXPECT_EQ(g_.graph->AddFilter(transform.Get(), L"Lumoka Transform"), S_OK);
        sink_ = MakeSink();
        EXPECT_EQ(g_.graph->AddFilter(sink_.Get(), L"Sink"), S_OK);
        ComPtr<IPin> out =
            FindPin(g_.builder.Get(), card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr);
        ComPtr<IPin> in, xout;
        transform->FindPin(L"In", &in);
        transform->FindPin(L"Out", &xout);
        EXPECT_EQ(g_.graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);
        EXPECT_EQ(g_.graph->Connect(xout.Get(), SinkPin(sink_.Get()).Get()), S_OK);
        EXPECT_TRUE(SUCCEEDED(g_.control->Run()));
        EXPECT_TRUE(sink_->WaitForSamples(2, 10000));
        return transform;
    }

    static bool Grab(IBaseFilter* transform, DWORD timeout, HRESULT* result,
                     BITMAPINFOHEADER& header, std::vector<uint8_t>& pixels) {
        ComPtr<ILumokaFrameGrab> grab;
        if (FAILED(transform->QueryInterface(IID_PPV_ARGS(&grab)))) return false;
        UniqueCoTaskMem<BYTE> block;
        DWORD size = 0;
        *result = grab->GrabNextFrame(timeout, block.Put(), &size);
        if (*result != S_OK) return false;
        memcpy(&header, block.Get(), sizeof(header));
        pixels.assign(block.Get() + sizeof(header), block.Get() + size);
        return true;
    }

    ComPtr<CRecordingSink> sink_;
};

// Usable formats: 0 YUY2, 2 UYVY, 4 HDYC, 6 RGB24, 7 RGB32.
TEST_P(FrameGrab, NextFrameShowsTheBars) {
    const int width = GetParam() == 4 ? 640 : 320;
    const int height = GetParam() == 4 ? 360 : 240;
    ComPtr<IBaseFilter> transform = RunThroughTransform(GetParam(), width, height);
    ASSERT_TRUE(transform);
    BITMAPINFOHEADER h{};
    std::vector<uint8_t> pixels;
    HRESULT hr = E_FAIL;
    ASSERT_TRUE(Grab(transform.Get(), 5000, &hr, h, pixels)) << std::hex << hr;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, width);
    EXPECT_EQ(h.biHeight, height);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biClrUsed, 0u);
    ASSERT_EQ(h.biSizeImage, static_cast<DWORD>(width * height * 4));
    ASSERT_EQ(pixels.size(), h.biSizeImage);
    // The bar centres on a line inside the pattern, between the counter band on top and the
    // motion strip at the bottom, so a picture upside down fails.
    for (int i = 0; i < 7; ++i) {
        const Rgb got = DibPixel(h, pixels, (2 * i + 1) * width / 14, height / 6);
        EXPECT_TRUE(Near(got, kBars[i], 2)) << "bar " << i << ": " << Text(got);
    }

    // Stopped, no frame comes: the request is withdrawn after its time, and the next one works.
    g_.control->Stop();
    const DWORD start = GetTickCount();
    EXPECT_FALSE(Grab(transform.Get(), 300, &hr, h, pixels));
    EXPECT_EQ(hr, VFW_E_TIMEOUT);
    EXPECT_GE(GetTickCount() - start, 290u);
    ASSERT_TRUE(SUCCEEDED(g_.control->Run()));
    EXPECT_TRUE(Grab(transform.Get(), 5000, &hr, h, pixels)) << std::hex << hr;
}

INSTANTIATE_TEST_SUITE_P(CardFormats, FrameGrab, ::testing::Values(0, 2, 4, 6, 7));

// Under Wine neither mixing renderer gives its picture (no GetCurrentImage), so with the
// transform filter left out of the graph (Preview.Transform 0) a snapshot has nothing to save.
TEST_F(FrameGrab, WithoutTheTransformWineGivesNothingToSave) {
    HWND window = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    CGraphController graph;  // without a factory: no transform filter
    Profile p = MakeDefaultProfile(0);
    p.Video.FriendlyName = L"Lumoka Test Card";
    p.Video.DevicePath = L"lumoka-testcard-0";
    p.VideoFormatIndex = 7;  // RGB32 720 x 480
    p.VideoFormatWidth = 720;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 333667;
    p.PreviewTransform = 0;
    p.PreviewVideoRenderer = 2;
    ASSERT_TRUE(graph.Build(window, p));
    ComPtr<ILumokaTestDevice> card;
    ASSERT_TRUE(SUCCEEDED(graph.VideoCaptureFilter()->QueryInterface(IID_PPV_ARGS(&card))));
    long delivered = 0;
    for (DWORD start = GetTickCount(); delivered < 5 && GetTickCount() - start < 10000;) {
        Sleep(50);
        long capture = 0, preview = 0;
        card->GetDelivered(0, &capture);
        card->GetDelivered(1, &preview);
        delivered = std::max(capture, preview);
    }
    ASSERT_GE(delivered, 5) << "the card is not playing";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CConfig config;
    config.Folder = temp + std::wstring(L"lumoka-none-") + std::to_wstring(GetCurrentProcessId());
    EXPECT_FALSE(TakeSnapshot(window, graph, config));
    EXPECT_EQ(GetFileAttributesW(config.Folder.c_str()), INVALID_FILE_ATTRIBUTES);
    graph.TearDown();
    DestroyWindow(window);
}

}  // namespace
}  // namespace lumoka::test
