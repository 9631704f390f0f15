// Graph control on an empty controller, on a partly built graph, and the platform behaviour
// of Wine's renderers that the control and build code has to live with.
#include <thread>

#include "TestSupport.h"
#include "wincom/ComAdopt.h"
#include "filter/LumokaFilterCtrl.h"

namespace {

using Lines = std::vector<std::wstring>;

TEST(GraphControllerEmpty, StartsEmptyAndEveryOperationRefuses) {
    CGraphController c;
    EXPECT_FALSE(c.IsBuilt());
    EXPECT_EQ(c.Aspect().x, 16);
    EXPECT_EQ(c.Aspect().y, 9);
    EXPECT_EQ(c.Crop(), (CropRect{0, 0, 0, 0}));
    EXPECT_EQ(c.SubtypeCode(), 0u);
    EXPECT_FALSE(c.ComInitialized());
    EXPECT_TRUE(c.LogText().empty());
    EXPECT_FALSE(c.Run());
    EXPECT_FALSE(c.SetVolume(50));
    EXPECT_FALSE(c.UpdateVideoPosition());
    EXPECT_FALSE(c.PaintVideo());
    EXPECT_FALSE(c.NotifyDisplayChange());
    int32_t w = 7, h = 9;
    EXPECT_FALSE(c.GetNativeVideoSize(w, h));
    EXPECT_EQ(w, 7);
    BITMAPINFOHEADER bih{};
    std::vector<uint8_t> pixels;
    EXPECT_FALSE(c.GetCurrentImage(bih, pixels));
    int32_t rate = 0, dropped = 0;
    EXPECT_FALSE(c.GetRenderStats(rate, dropped));
    EXPECT_FALSE(c.SetCopyMode(1));
    EXPECT_FALSE(c.SetFlipVertical(1));
    ProcAmpInfos infos;
    EXPECT_FALSE(c.GetProcAmpInfo(infos));
    EXPECT_FALSE(c.SetProcAmp(0, 1, 1));
    ProcAmpSettings settings{};
    EXPECT_FALSE(c.ReadProcAmpValues(settings));
    EXPECT_TRUE(c.ApplyProcAmpValues(settings));  // nothing to set: every value is unset
    EXPECT_FALSE(c.RefreshFilterList());
    EXPECT_FALSE(c.ShowFilterProperties(0));
    EXPECT_EQ(c.MediaEvent(), nullptr);
    c.TearDown();
    c.TearDown();
    EXPECT_FALSE(c.IsBuilt());
}

TEST(GraphControllerEmpty, FitSizeUsesTheControllersPairAndNativeSize) {
    CGraphController c;
    c.SetAspect(kAspectNative);
    c.SetNativeSize({720, 480});
    const IntSize fit = c.FitSize(640, 480, true, true);
    EXPECT_EQ(fit.cx, 640);
    EXPECT_EQ(fit.cy, 426);
    c.SetNativeSize({0, 0});
    c.FitSize(10, 10, true, true);
    EXPECT_EQ(c.NativeSize().cx, 1);
    EXPECT_EQ(c.NativeSize().cy, 1);
}

TEST(GraphControllerEmpty, TearDownUninitialisesComItWasGiven) {
    // On a thread of its own, so the test can see the apartment end.
    std::thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            CGraphController c;
            c.SetComInitialized(true);
            c.TearDown();
            EXPECT_FALSE(c.ComInitialized());
        }
        // The apartment is gone: initialising again starts a new one.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        CoUninitialize();
    }).join();
}

// A transform stand-in: records the settings in the order they arrive.
class CRecordingTransform : public CStandInFilter, public ILumokaFilterCtrl {
public:
    CRecordingTransform() : CStandInFilter(false) {}
    ULONG STDMETHODCALLTYPE AddRef() override { return CStandInFilter::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CStandInFilter::Release(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_ILumokaFilterCtrl) {
            *out = static_cast<ILumokaFilterCtrl*>(this);
            AddRef();
            return S_OK;
        }
        return CStandInFilter::QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE SetCopyMode(int v) override { return Record(L"copy", v); }
    HRESULT STDMETHODCALLTYPE GetCopyMode(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFrameMode(int v) override { return Record(L"frame", v); }
    HRESULT STDMETHODCALLTYPE GetFrameMode(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFieldOrder(int v) override { return Record(L"field", v); }
    HRESULT STDMETHODCALLTYPE GetFieldOrder(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetYCExpand(int v) override { return Record(L"yc", v); }
    HRESULT STDMETHODCALLTYPE GetYCExpand(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFlipVertical(int v) override { return Record(L"flip", v); }
    HRESULT STDMETHODCALLTYPE GetFlipVertical(int*) override { return E_NOTIMPL; }

    Lines Calls;

private:
    HRESULT Record(const wchar_t* what, int v) {
        Calls.push_back(std::wstring(what) + L"=" + std::to_wstring(v));
        return S_OK;
    }
};

class PartialGraph : public ComApartment {
protected:
    static void SetUpTestSuite() { window = new CTestWindow(320, 240); }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    // A graph built up to the failing connection: tee, VMR-9, the stand-in device and a
    // recording transform, in that order.
    void BuildPartial() {
        auto owned = std::make_unique<CTestFactory>();
        factory = owned.get();
        factory->DeviceClasses[L"Stand-in Device"] = CLSID_SmartTee;
        factory->Transform = [this](ComPtr<IBaseFilter>& f) {
            transform = new CRecordingTransform;
            f = lumoka::Adopt(static_cast<IBaseFilter*>(transform));
            return S_OK;
        };
        controller = std::make_unique<CGraphController>(std::move(owned));
        Profile p = VideoProfile(L"Stand-in Device");
        p.PreviewVideoRenderer = 2;
        p.VideoFormatIndex = -1;
        p.PreviewTransformCopy = 3;
        p.PreviewTransformFrame = 1;
        p.PreviewTransformFieldOrder = 1;
        p.PreviewTransformFlipVertical = 1;
        p.PreviewTransformYCExpand = 2;
        ASSERT_FALSE(controller->Build(window->Get(), p));
        ASSERT_TRUE(controller->IsBuilt());
    }

    static CTestWindow* window;
    CTestFactory* factory = nullptr;
    CRecordingTransform* transform = nullptr;
    std::unique_ptr<CGraphController> controller;
};

CTestWindow* PartialGraph::window = nullptr;

TEST_F(PartialGraph, TransformGetsTheProfileSettingsInOrderAndLater) {
    BuildPartial();
    ASSERT_NE(transform, nullptr);
    EXPECT_EQ(transform->Calls, (Lines{L"copy=3", L"frame=1", L"field=1", L"flip=1", L"yc=2"}));
    transform->Calls.clear();
    EXPECT_TRUE(controller->SetCopyMode(6));
    EXPECT_TRUE(controller->SetYCExpand(0));
    EXPECT_TRUE(controller->SetFieldOrder(0));
    EXPECT_TRUE(controller->SetFrameMode(2));
    EXPECT_TRUE(controller->SetFlipVertical(0));
    EXPECT_EQ(transform->Calls, (Lines{L"copy=6", L"yc=0", L"field=0", L"frame=2", L"flip=0"}));
}

TEST_F(PartialGraph, FilterListRunsInTheOrderAddedWithErrorEntries) {
    BuildPartial();
    ComPtr<IBaseFilter> unreadable;
    unreadable = lumoka::Adopt(new CStandInFilter(true));
    ComPtr<IBaseFilter> withPages;
    withPages = lumoka::Adopt(new CStandInFilter(false, {CLSID_SmartTee}));
    ASSERT_TRUE(SUCCEEDED(controller->Graph()->AddFilter(unreadable.Get(), L"Unreadable")));
    ASSERT_TRUE(SUCCEEDED(controller->Graph()->AddFilter(withPages.Get(), L"With Pages")));
    ASSERT_TRUE(controller->RefreshFilterList());
    const auto& list = controller->FilterList();
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].Name, L"Video SmartTee");
    EXPECT_EQ(list[1].Name, L"Video Mixing Renderer9");
    EXPECT_EQ(list[2].Name, L"Stand-in Device");
    EXPECT_EQ(list[3].Name, L"Lumoka Transform");
    EXPECT_EQ(list[4].Name, L"ERROR: QueryFilterInfo");
    EXPECT_EQ(list[4].HasPages, 0);
    EXPECT_EQ(list[5].Name, L"With Pages");
    EXPECT_EQ(list[5].HasPages, 1);
    // Wine's renderers offer no property pages.
    EXPECT_EQ(list[1].HasPages, 0);
    // An entry without pages and an index beyond the list show nothing.
    EXPECT_FALSE(controller->ShowFilterProperties(1));
    EXPECT_FALSE(controller->ShowFilterProperties(4));
    EXPECT_FALSE(controller->ShowFilterProperties(6));
    controller->TearDown();
    EXPECT_TRUE(controller->FilterList().empty());
}

TEST_F(PartialGraph, TearDownReleasesEveryReferenceAndKeepsTheWindowState) {
    BuildPartial();
    // Platform filters that were in the graph keep only the references taken here.
    ComPtr<IBaseFilter> device = controller->VideoCaptureFilter();
    ComPtr<IBaseFilter> tee = controller->VideoTee();
    ComPtr<IBaseFilter> renderer = controller->VideoRenderer();
    ComPtr<IGraphBuilder> graph = controller->Graph();
    controller->SetCrop({8, 0, 8, 0});
    controller->SetAspect({4, 3});
    const std::wstring log = controller->LogText();
    controller->TearDown();
    EXPECT_FALSE(controller->IsBuilt());
    EXPECT_EQ(controller->VideoRenderer(), nullptr);
    EXPECT_EQ(controller->TransformFilter(), nullptr);
    EXPECT_EQ(controller->MediaEvent(), nullptr);
    // Nothing but this test holds the graph; once it goes, its filters are ours alone.
    graph->AddRef();
    EXPECT_EQ(graph->Release(), 1u);
    graph.Reset();
    for (IBaseFilter* filter : {device.Get(), tee.Get(), renderer.Get()}) {
        filter->AddRef();
        EXPECT_EQ(filter->Release(), 1u);
    }
    EXPECT_EQ(controller->Crop(), (CropRect{8, 0, 8, 0}));
    EXPECT_EQ(controller->Aspect().x, 4);
    EXPECT_EQ(controller->LogText(), log);
    EXPECT_EQ(controller->Window(), window->Get());
}

TEST_F(PartialGraph, OperationsOnAnUnconnectedRenderer) {
    BuildPartial();
    EXPECT_TRUE(controller->Run());
    EXPECT_TRUE(controller->SetVolume(40));
    // Wine's unconnected VMR-9 reports a native size of 0 x 0 and accepts a position.
    int32_t w = -1, h = -1;
    EXPECT_TRUE(controller->GetNativeVideoSize(w, h));
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_TRUE(controller->UpdateVideoPosition());
    // Wine 8's VMR-9 does not implement DisplayModeChanged.
    EXPECT_FALSE(controller->NotifyDisplayChange());
    // Wine's renderers implement no IQualProp.
    int32_t rate = 0, dropped = 0;
    EXPECT_FALSE(controller->GetRenderStats(rate, dropped));
    EXPECT_NE(controller->MediaEvent(), nullptr);
}

TEST(WineRenderers, Vmr7ConfigurationCallsWineDoesNotImplement) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        CTestWindow window(200, 150);
        ComPtr<IBaseFilter> vmr;
        ASSERT_EQ(CoCreateInstance(CLSID_VideoMixingRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&vmr)),
                  S_OK);
        ComPtr<IVMRFilterConfig> config;
        ASSERT_TRUE(SUCCEEDED(vmr.As(&config)));
        EXPECT_EQ(config->SetRenderingMode(VMRMode_Windowless), S_OK);
        // Vmr7AspectModeIsNotImplemented, the off-screen preference and mixing mode.
        EXPECT_EQ(config->SetRenderingPrefs(RenderPrefs_ForceOffscreen), E_NOTIMPL);
        ComPtr<IVMRWindowlessControl> control;
        ASSERT_TRUE(SUCCEEDED(vmr.As(&control)));
        EXPECT_EQ(control->SetVideoClippingWindow(window.Get()), S_OK);
        EXPECT_EQ(control->SetAspectRatioMode(VMR_ARMODE_NONE), E_NOTIMPL);
        // Vmr7MixingIsNotImplemented.
        EXPECT_EQ(config->SetNumberOfStreams(1), E_NOTIMPL);
        ComPtr<IVMRMixerControl> mixer;
        EXPECT_EQ(vmr.As(&mixer), E_NOINTERFACE);
    }
    CoUninitialize();
}

}  // namespace

#include "graph/PictureCopy.h"

namespace {

TEST(PictureCopy, CopiesHeaderAndPixelsAndRefusesColourTables) {
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof(bih);
    bih.biWidth = 3;
    bih.biHeight = 2;
    bih.biBitCount = 32;
    std::vector<BYTE> block(24);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<BYTE>(i);
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> pixels;
    // biSizeImage 0: the size comes from the header (3 x 4 bytes x 2 rows).
    ASSERT_TRUE(CopyPicture(bih, block.data(), block.size(), header, pixels));
    EXPECT_EQ(pixels.size(), 24u);
    EXPECT_EQ(pixels[23], 23);
    EXPECT_EQ(header.biSizeImage, 24u);
    EXPECT_EQ(header.biWidth, 3);
    // A palettised picture is refused and nothing is handed out.
    BITMAPINFOHEADER palettised = bih;
    palettised.biBitCount = 8;
    palettised.biClrUsed = 256;
    std::vector<uint8_t> none;
    BITMAPINFOHEADER untouched{};
    EXPECT_FALSE(CopyPicture(palettised, block.data(), block.size(), untouched, none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(untouched.biWidth, 0);
    // A size beyond the block is not read.
    BITMAPINFOHEADER large = bih;
    large.biSizeImage = 25;
    EXPECT_FALSE(CopyPicture(large, block.data(), block.size(), header, none));
    EXPECT_FALSE(CopyPicture(bih, nullptr, 100, header, none));
}

}  // namespace
