// The hostile card through the catalogue, a build and a few seconds of running, one
// misbehaviour at a time and all of them together: what is listed, what the build log says,
// whether frames arrive or are dropped, and that the ordinary test card still builds and plays
// in the same process afterwards.
#include <functional>
#include <string>
#include <vector>

#include "../graph/win/TestSupport.h"
#include "HostileTestSupport.h"

#include "filter/LumokaFilterStats.h"
#include "filter/MyTransform.h"
#include "graph/Catalogue.h"

namespace {

using namespace lumoka::hostile;
using hostiletest::kName;
using hostiletest::kPath;
using Lines = std::vector<std::wstring>;

constexpr DWORD kAllButNoCaps = kAll & ~kHugeCapsStructure;
// Everything the card can do while it still connects (kShortBlockType refuses the transform).
constexpr DWORD kAllThatConnect = kAllButNoCaps & ~kShortBlockType;

class HostileCard : public ComApartment {
protected:
    static void SetUpTestSuite() {
        registered = hostiletest::ListForSuite();
        window = new CTestWindow(640, 480);
    }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
        hostiletest::UnlistAfterSuite();
    }
    void SetUp() override {
        ComApartment::SetUp();
        ASSERT_TRUE(registered) << "the hostile card could not be listed";
    }
    void TearDown() override {
        controller.reset();
        EXPECT_EQ(hostiletest::DevicesCanUnload(), S_OK);
        ComApartment::TearDown();
    }
    void NewController() {
        auto owned = std::make_unique<CTestFactory>();
        owned->Transform = [](ComPtr<IBaseFilter>& f) {
            return CreateLumokaTransform(f.ReleaseAndGetAddressOf());
        };
        controller = std::make_unique<CGraphController>(std::move(owned));
    }
    static Profile CardProfile(const std::wstring& name, const std::wstring& path, int32_t index,
                               int32_t width, int32_t height) {
        Profile p = VideoProfile(name, path);
        p.VideoFormatIndex = index;
        p.VideoFormatWidth = width;
        p.VideoFormatHeight = height;
        p.VideoFormatAvgTimePerFrame = 333667;
        p.PreviewVideoRenderer = 2;  // VMR-9 draws RGB32 under Wine
        return p;
    }
    // The transform filter's counts, polled until `done` holds (deadline far above the ~1 s the
    // card needs at 29.97 frames a second).
    bool WaitForFrames(const std::function<bool(LONGLONG, LONGLONG)>& done) {
        ComPtr<ILumokaFilterStats> stats;
        if (!controller->TransformFilter() ||
            FAILED(controller->TransformFilter()->QueryInterface(IID_PPV_ARGS(&stats)))) {
            return false;
        }
        const DWORD start = GetTickCount();
        for (;;) {
            LONGLONG delivered = 0, dropped = 0;
            stats->GetDeliveredFrames(&delivered);
            stats->GetDroppedFrames(&dropped);
            lastDelivered = delivered;
            lastDropped = dropped;
            if (done(delivered, dropped)) return true;
            if (GetTickCount() - start > 60000) return false;
            CTestWindow::Pump(50);
        }
    }

    static bool registered;
    static CTestWindow* window;
    std::unique_ptr<CGraphController> controller;
    LONGLONG lastDelivered = 0, lastDropped = 0;
};
bool HostileCard::registered = false;
CTestWindow* HostileCard::window = nullptr;

// The subtype the capture pin connected with (GUID_NULL when it is not connected).
GUID ConnectedSubtype(ICaptureGraphBuilder2* builder, IBaseFilter* capture) {
    ComPtr<IPin> pin;
    AM_MEDIA_TYPE mt{};
    if (!capture || FAILED(builder->FindPin(capture, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr,
                                            FALSE, 0, &pin)) ||
        FAILED(pin->ConnectionMediaType(&mt))) {
        return GUID_NULL;
    }
    const GUID subtype = mt.subtype;
    CoTaskMemFree(mt.pbFormat);
    if (mt.pUnk) mt.pUnk->Release();
    return subtype;
}

struct FormatSeen {
    int32_t width, height;
    int64_t avg;
    bool operator==(const FormatSeen& o) const {
        return width == o.width && height == o.height && avg == o.avg;
    }
};
std::ostream& operator<<(std::ostream& os, const FormatSeen& f) {
    return os << f.width << "x" << f.height << "@" << f.avg;
}

TEST_F(HostileCard, CatalogueListsOnlyWhatCanBeUsed) {
    const FormatSeen small{320, 240, 333667}, large{640, 480, 333667};
    struct Row {
        const char* what;
        DWORD mask;
        std::vector<FormatSeen> formats;
        size_t pins;
        size_t crossbarOutputs, crossbarInputs;
    };
    const Row rows[] = {
        {"sound", 0, {small, large}, 1, 0, 0},
        {"bad sizes", kBadSizes, {small, small, large}, 1, 0, 0},
        {"bad blocks", kBadBlocks, {small, large}, 1, 0, 0},
        {"bad intervals", kBadIntervals, {small, {320, 240, 0}, {320, 240, -333667}, small, large},
         1, 0, 0},
        {"count mismatch", kCountMismatch, {small, large}, 1, 0, 0},
        {"huge caps structure", kHugeCapsStructure, {}, 1, 0, 0},
        {"long pin names", kLongPinNames, {small, large}, 1, 0, 0},
        {"crossbar", kCrossbar, {small, large}, 2, 40, 60},
        {"crossbar with lying counts", kCrossbar | kCountMismatch, {small, large}, 2, 40, 256},
        {"all", kAllButNoCaps,
         {small, small, {320, 240, 0}, {320, 240, -333667}, small, large}, 2, 40, 256},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(hostiletest::SetBehaviours(row.mask));
        VideoDeviceRecord record;
        const long queriedBefore = hostiletest::CapsQueriesBeyondList();
        ASSERT_GE(queriedBefore, 0);
        ASSERT_TRUE(InspectVideoDevice({kName, L"", kPath, DeviceKind::VideoCapture}, record));
        // A claimed INT_MAX capabilities are asked for only up to the catalogue's limit.
        EXPECT_LE(hostiletest::CapsQueriesBeyondList() - queriedBefore, kMaxCapabilities);
        std::vector<FormatSeen> seen;
        for (const VideoFormatEntry& f : record.Formats) {
            seen.push_back({f.Record.InputWidth, f.Record.InputHeight, f.Record.AvgTimePerFrame});
        }
        EXPECT_EQ(seen, row.formats);
        ASSERT_EQ(record.Pins.size(), row.pins);
        // Names of 3000 characters, reported without a terminator, are cut to 127.
        const size_t nameLength = row.mask & kLongPinNames ? 127 : std::wstring(L"Capture").size();
        EXPECT_EQ(record.Pins[0].Name.size(), nameLength);
        EXPECT_EQ(record.Pins[0].Name.substr(0, 7), L"Capture");
        EXPECT_EQ(record.FirstCrossbar.Outputs.size(), row.crossbarOutputs);
        for (const CrossbarOutput& o : record.FirstCrossbar.Outputs) {
            EXPECT_EQ(o.Inputs.size(), row.crossbarInputs);
        }
        if (row.crossbarOutputs == 0) continue;
        // Failed queries leave -1; unknown connector types have the fixed name.
        const CrossbarOutput& third = record.FirstCrossbar.Outputs[3];
        EXPECT_EQ(third.PhysicalType, -1);
        EXPECT_EQ(third.Label, L"3:Unknown Type");
        EXPECT_EQ(third.RoutedInput, -1);
        EXPECT_EQ(record.FirstCrossbar.Outputs[2].RoutedInput, 999);
    }
}

TEST_F(HostileCard, BuildsRunAndTheLogSaysWhatHappened) {
    const std::wstring otherSize =
        L"ビデオキャプチャーフィルタが要求と異なるサイズで接続 (320x240 → 352x288)";
    const std::wstring route0 = L"クロスバーの経路設定失敗 (出力 0 ← 入力 5)";
    const std::wstring route2 = L"クロスバーの経路設定失敗 (出力 2 ← 入力 1)";
    enum class Frames { kNone, kWhole, kSomeDropped };
    struct Row {
        const char* what;
        DWORD mask;
        int32_t index, width, height;
        bool built;
        Lines log;
        Frames frames;
        int32_t nativeWidth;
    };
    const Row rows[] = {
        {"short samples", kShortSamples, 0, 320, 240, true, {}, Frames::kSomeDropped, 320},
        {"long samples", kLongSamples, 0, 320, 240, true, {}, Frames::kWhole, 320},
        {"other size", kOtherSize, 0, 320, 240, true, {otherSize}, Frames::kWhole, 352},
        {"failing crossbar", kCrossbar, 0, 320, 240, true, {route0, route2}, Frames::kWhole, 320},
        // The last usable capability is the same one for the catalogue and the build.
        {"unusable capabilities", kBadSizes | kBadBlocks | kBadIntervals | kCountMismatch, 5, 640,
         480, true, {}, Frames::kWhole, 640},
        {"short format block", kShortBlockType, 0, 320, 240, false,
         {L"スマートティー → トランスフォーム 接続失敗", L"ビデオキャプチャーフィルタ接続失敗"},
         Frames::kNone, 0},
        {"huge caps structure", kHugeCapsStructure, 0, 320, 240, false,
         {L"ビデオキャプチャーフィルタのフォーマット変更失敗"}, Frames::kNone, 0},
        {"all that connect", kAllThatConnect, 5, 320, 240, true, {route0, route2},
         Frames::kSomeDropped, 352},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(hostiletest::SetBehaviours(row.mask));
        NewController();
        Profile p = CardProfile(kName, kPath, row.index, row.width, row.height);
        p.VideoCrossbar = {{0, 5}, {2, 1}, {-1, 3}};
        EXPECT_EQ(controller->Build(window->Get(), p), row.built);
        Lines log = LogLines(controller->LogText());
        if (row.mask == kAllThatConnect) {
            // 320 x 240 asked at index 5 (640 x 480); the card answers 352 x 288 anyway.
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(log.front(), otherSize);
            log.erase(log.begin());
        }
        EXPECT_EQ(log, row.log);
        if (row.built) {
            EXPECT_EQ(controller->NativeSize().cx, row.nativeWidth);
        }
        if (row.index == 5 && !(row.mask & kOtherSize)) {
            // Index 5 is the RGB24 capability only when the build skipped what the catalogue
            // skipped.
            ComPtr<ICaptureGraphBuilder2> builder;
            ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr,
                                                   CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&builder))));
            builder->SetFiltergraph(controller->Graph());
            EXPECT_TRUE(ConnectedSubtype(builder.Get(), controller->VideoCaptureFilter()) ==
                        MEDIASUBTYPE_RGB24);
        }
        if (row.frames == Frames::kWhole) {
            EXPECT_TRUE(WaitForFrames([](LONGLONG d, LONGLONG) { return d >= 60; }))
                << lastDelivered;
            EXPECT_EQ(lastDropped, 0);
        } else if (row.frames == Frames::kSomeDropped) {
            // Half the samples are short: each is dropped, the whole ones still arrive.
            EXPECT_TRUE(WaitForFrames([](LONGLONG d, LONGLONG x) { return d >= 30 && x >= 30; }))
                << lastDelivered << " delivered, " << lastDropped << " dropped";
        }
        controller->TearDown();
        controller.reset();
        EXPECT_EQ(hostiletest::DevicesCanUnload(), S_OK);
    }

    // The ordinary card, in the same process, still builds and plays.
    NewController();
    ASSERT_TRUE(controller->Build(
        window->Get(), CardProfile(L"Lumoka Test Card", L"lumoka-testcard-0", 7, 720, 480)));
    EXPECT_TRUE(controller->LogText().empty());
    EXPECT_TRUE(WaitForFrames([](LONGLONG d, LONGLONG) { return d >= 30; })) << lastDelivered;
    EXPECT_EQ(lastDropped, 0);
}

}  // namespace
