// Every failure of the graph build, made to happen through the replaceable factory, with the
// exact lines the log then holds. Devices are stood in for by platform filters that lack what
// a capture device has (a Smart Tee has no stream configuration and no capture pin).
#include "TestSupport.h"

namespace {

using Lines = std::vector<std::wstring>;
const wchar_t kStandIn[] = L"Stand-in Device";

class BuildFailure : public ComApartment {
protected:
    // One window for the whole suite: creating windows and renderers is what costs time here.
    static void SetUpTestSuite() { window = new CTestWindow(320, 240); }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    // The stand-in video device behind VMR-9, the renderer Wine configures fastest.
    static Profile Video() {
        Profile p = VideoProfile(kStandIn);
        p.PreviewVideoRenderer = 2;
        return p;
    }
    // A controller whose factory answers the stand-in device name with a Smart Tee and whose
    // audio renderers are created even on a machine without sound.
    std::unique_ptr<CGraphController> Controller() {
        auto owned = std::make_unique<CTestFactory>();
        factory = owned.get();
        factory->DeviceClasses[kStandIn] = CLSID_SmartTee;
        factory->Substitutes[CLSID_DSoundRender] = CLSID_SmartTee;
        factory->Substitutes[CLSID_AudioRender] = CLSID_SmartTee;
        return std::make_unique<CGraphController>(std::move(owned));
    }
    Lines BuildLines(CGraphController& c, const Profile& p, bool expectBuilt = false) {
        EXPECT_FALSE(c.Build(window->Get(), p));
        EXPECT_EQ(c.IsBuilt(), expectBuilt);
        return LogLines(c.LogText());
    }
    bool GraphHas(CGraphController& c, const wchar_t* name) {
        ComPtr<IBaseFilter> f;
        return c.Graph() && SUCCEEDED(c.Graph()->FindFilterByName(name, &f));
    }

    static CTestWindow* window;
    CTestFactory* factory = nullptr;
};

CTestWindow* BuildFailure::window = nullptr;

TEST_F(BuildFailure, WindowGoneFailsSilentlyBeforeAnythingIsCreated) {
    auto c = Controller();
    CTestWindow gone(100, 100);
    const HWND hwnd = gone.Get();
    gone.Destroy();
    EXPECT_FALSE(c->Build(hwnd, Video()));
    EXPECT_TRUE(c->LogText().empty());
    EXPECT_FALSE(c->IsBuilt());
    EXPECT_TRUE(factory->CreatedClasses.empty());
}

TEST_F(BuildFailure, ProfileWithoutDevices) {
    auto c = Controller();
    Profile p = MakeDefaultProfile(3);
    p.Video.Description = L"only a description";
    EXPECT_EQ(BuildLines(*c, p), Lines{L"プロファイルが設定されていません"});
}

TEST_F(BuildFailure, GraphOrBuilderNotCreatedOrNotAttached) {
    for (int variant = 0; variant < 4; ++variant) {
        auto c = Controller();
        factory->FailGraph = variant == 0;
        factory->GraphNullWithSuccess = variant == 1;
        factory->FailBuilder = variant == 2;
        factory->BuilderRefusesGraph = variant == 3;
        EXPECT_EQ(BuildLines(*c, Video()),
                  Lines{L"IGraphBuilder/ICaptureGraphBuilder2の初期化失敗"})
            << variant;
    }
}

TEST_F(BuildFailure, MediaControlAndEventInterfaces) {
    auto c = Controller();
    factory->RefusedGraphInterfaces = {IID_IMediaControl};
    EXPECT_EQ(BuildLines(*c, Video(), true), Lines{L"IMediaControlの取得失敗"});
    c->TearDown();
    auto d = Controller();
    factory->RefusedGraphInterfaces = {IID_IMediaEventEx};
    EXPECT_EQ(BuildLines(*d, Video(), true), Lines{L"IMediaEventExの取得失敗"});
}

TEST_F(BuildFailure, NotificationWindowRefusedSilently) {
    auto c = Controller();
    factory->RefuseNotifyWindow = true;
    EXPECT_TRUE(BuildLines(*c, Video(), true).empty());
    EXPECT_TRUE(factory->CreatedClasses.empty());
}

TEST_F(BuildFailure, VideoTees) {
    auto c = Controller();
    factory->FailingClasses = {CLSID_SmartTee};
    EXPECT_EQ(BuildLines(*c, Video(), true), Lines{L"ビデオスマートティー取得失敗"});

    auto d = Controller();
    factory->FailingClasses = {CLSID_InfTee};
    Profile synced = Video();
    synced.PreviewVideoSync = 0;
    EXPECT_EQ(BuildLines(*d, synced, true), Lines{L"ビデオインフィニットピンティー取得失敗"});

    // Hardware deinterlacing at double rate takes the Infinite Pin Tee whatever the sync says.
    auto e = Controller();
    factory->FailingClasses = {CLSID_InfTee};
    Profile hardware = Video();
    hardware.PreviewTransformCopy = 6;
    hardware.PreviewTransformFrame = 2;
    EXPECT_EQ(BuildLines(*e, hardware, true), Lines{L"ビデオインフィニットピンティー取得失敗"});
    // ...but not when an extra video filter is checked.
    auto f = Controller();
    factory->FailingClasses = {CLSID_SmartTee};
    hardware.FilterVideo.push_back(FilterEntry{});
    EXPECT_EQ(BuildLines(*f, hardware, true), Lines{L"ビデオスマートティー取得失敗"});
}

TEST_F(BuildFailure, VideoRenderers) {
    const struct {
        int32_t kind;
        GUID clsid;
        const wchar_t* line;
    } cases[] = {{0, CLSID_VideoMixingRenderer, L"VMR7取得失敗"},
                 {1, CLSID_VideoMixingRenderer, L"VMR7取得失敗"},
                 {2, CLSID_VideoMixingRenderer9, L"VMR9取得失敗"},
                 {3, kClsidEnhancedVideoRenderer, L"EVR取得失敗"},
                 {7, CLSID_VideoMixingRenderer, L"VMR7取得失敗"}};
    for (const auto& k : cases) {
        auto c = Controller();
        factory->FailingClasses = {k.clsid};
        Profile p = Video();
        p.PreviewVideoRenderer = k.kind;
        EXPECT_EQ(BuildLines(*c, p, true), Lines{k.line}) << k.kind;
        EXPECT_EQ(c->RendererKindValue(), k.kind);
    }
}

TEST_F(BuildFailure, RendererThatCannotBeConfiguredFailsSilently) {
    for (int32_t kind : {0, 1, 2, 3}) {
        auto c = Controller();
        // Something that is no video renderer answers for every renderer class.
        factory->Substitutes[CLSID_VideoMixingRenderer] = CLSID_SmartTee;
        factory->Substitutes[CLSID_VideoMixingRenderer9] = CLSID_SmartTee;
        factory->Substitutes[kClsidEnhancedVideoRenderer] = CLSID_SmartTee;
        Profile p = Video();
        p.PreviewVideoRenderer = kind;
        EXPECT_TRUE(BuildLines(*c, p, true).empty()) << kind;
        EXPECT_EQ(factory->LookedUp.size(), 0u) << "the device is looked up after the renderer";
    }
}

TEST_F(BuildFailure, FiltersTheGraphRefusesFailSilently) {
    for (const wchar_t* name : {L"Video SmartTee", L"Video Mixing Renderer9", kStandIn}) {
        auto c = Controller();
        factory->RefusedNames = {name};
        Profile p = Video();
        p.PreviewVideoRenderer = 2;
        EXPECT_TRUE(BuildLines(*c, p, true).empty()) << std::wstring(name).size();
    }
}

TEST_F(BuildFailure, VideoDeviceNotFound) {
    auto c = Controller();
    EXPECT_EQ(BuildLines(*c, VideoProfile(L"No Such Device", L"nowhere"), true),
              Lines{L"ビデオキャプチャーフィルタ取得失敗"});
    EXPECT_EQ(factory->LookedUp, Lines{L"1:No Such Device"});
}

TEST_F(BuildFailure, VideoFormatNotSet) {
    auto c = Controller();
    EXPECT_EQ(BuildLines(*c, Video(), true),
              Lines{L"ビデオキャプチャーフィルタのフォーマット変更失敗"});
    EXPECT_EQ(c->SubtypeCode(), 0u);
}

TEST_F(BuildFailure, VideoConnectionWithoutCapturePin) {
    // Index -1 keeps the device's format; the chain then finds no capture pin (no message of
    // its own), and the build adds its step line.
    auto c = Controller();
    Profile p = Video();
    p.VideoFormatIndex = -1;
    p.PreviewTransform = 0;
    EXPECT_EQ(BuildLines(*c, p, true), Lines{L"ビデオキャプチャーフィルタ接続失敗"});
    EXPECT_FALSE(GraphHas(*c, L"Lumoka Transform"));
}

TEST_F(BuildFailure, TransformNotCreatedFailsSilently) {
    auto c = Controller();
    Profile p = Video();
    p.VideoFormatIndex = -1;
    EXPECT_TRUE(BuildLines(*c, p, true).empty());
    EXPECT_EQ(c->TransformFilter(), nullptr);
}

TEST_F(BuildFailure, TransformAddedUnderItsNameThenConnectionFails) {
    auto c = Controller();
    factory->Transform = [](ComPtr<IBaseFilter>& f) {
        return CoCreateInstance(CLSID_SmartTee, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&f));
    };
    Profile p = Video();
    p.VideoFormatIndex = -1;
    EXPECT_EQ(BuildLines(*c, p, true), Lines{L"ビデオキャプチャーフィルタ接続失敗"});
    EXPECT_TRUE(GraphHas(*c, L"Lumoka Transform"));
    // The stand-in has no control interface, so the forwarders report false.
    EXPECT_FALSE(c->SetCopyMode(1));
    auto d = Controller();
    factory->Transform = [](ComPtr<IBaseFilter>& f) {
        return CoCreateInstance(CLSID_SmartTee, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&f));
    };
    factory->RefusedNames = {L"Lumoka Transform"};
    EXPECT_TRUE(BuildLines(*d, p, true).empty());
}

TEST_F(BuildFailure, AudioTees) {
    auto c = Controller();
    factory->FailingClasses = {CLSID_SmartTee};
    EXPECT_EQ(BuildLines(*c, AudioProfile(kStandIn), true),
              Lines{L"オーディオスマートティー取得失敗"});
    auto d = Controller();
    factory->FailingClasses = {CLSID_InfTee};
    Profile p = AudioProfile(kStandIn);
    p.PreviewAudioSync = 0;
    EXPECT_EQ(BuildLines(*d, p, true), Lines{L"オーディオインフィニットピンティー取得失敗"});
    auto e = Controller();
    factory->RefusedNames = {L"Audio SmartTee"};
    EXPECT_TRUE(BuildLines(*e, AudioProfile(kStandIn), true).empty());
}

TEST_F(BuildFailure, AudioRenderers) {
    auto c = Controller();
    factory->FailingClasses = {CLSID_DSoundRender};
    EXPECT_EQ(BuildLines(*c, AudioProfile(kStandIn), true), Lines{L"DirectSound Renderer取得失敗"});
    auto d = Controller();
    factory->FailingClasses = {CLSID_AudioRender};
    Profile p = AudioProfile(kStandIn);
    p.PreviewAudioRenderer = 1;
    EXPECT_EQ(BuildLines(*d, p, true), Lines{L"WaveOut Renderer取得失敗"});
    auto e = Controller();
    factory->RefusedNames = {L"WaveOut Renderer"};
    EXPECT_TRUE(BuildLines(*e, p, true).empty());
}

TEST_F(BuildFailure, AudioDeviceSearchedInBothCategories) {
    auto c = Controller();
    EXPECT_EQ(BuildLines(*c, AudioProfile(L"No Such Microphone", L"x"), true),
              Lines{L"オーディオキャプチャーフィルタ取得失敗"});
    EXPECT_EQ(factory->LookedUp, (Lines{L"2:No Such Microphone", L"1:No Such Microphone"}));
}

TEST_F(BuildFailure, AudioFormatAndConnection) {
    auto c = Controller();
    EXPECT_EQ(BuildLines(*c, AudioProfile(kStandIn), true),
              Lines{L"オーディオキャプチャーフィルタ設定変更失敗"});
    auto d = Controller();
    Profile p = AudioProfile(kStandIn);
    p.AudioFormatIndex = -1;
    EXPECT_EQ(BuildLines(*d, p, true), Lines{L"オーディオキャプチャーフィルタ接続失敗"});
    // The same device for sound and picture is opened once.
    auto e = Controller();
    Profile same = Video();
    same.Audio = same.Video;
    same.VideoFormatIndex = -1;
    same.PreviewTransform = 0;
    same.PreviewVideoRenderer = 2;
    EXPECT_EQ(BuildLines(*e, same, true), Lines{L"ビデオキャプチャーフィルタ接続失敗"});
    EXPECT_EQ(factory->LookedUp, Lines{L"1:Stand-in Device"});
}

TEST_F(BuildFailure, LogIsClearedByTheNextBuildAndOverLongLinesReplaced) {
    auto c = Controller();
    EXPECT_FALSE(c->Build(window->Get(), MakeDefaultProfile(0)));
    c->AppendLog(L"%ls", std::wstring(2000, L'x').c_str());
    EXPECT_EQ(LogLines(c->LogText()),
              (Lines{L"プロファイルが設定されていません", L"ログ書き込みエラー"}));
    EXPECT_FALSE(c->Build(window->Get(), MakeDefaultProfile(0)));
    EXPECT_EQ(LogLines(c->LogText()), Lines{L"プロファイルが設定されていません"});
}

}  // namespace
