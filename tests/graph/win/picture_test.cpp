// The picture in the window: the test card's colour bars inside the destination rectangle that
// UpdateVideoPosition computed, black borders around it. Read back from the screen, since the
// windowless renderers draw straight into the window.
#include "TestSupport.h"

#include "filter/MyTransform.h"
#include "harness/Screenshot.h"

namespace {

using lumoka::testing::CScreenshot;
using lumoka::testing::Near;
using lumoka::testing::Rgb;
using lumoka::testing::Text;

class Picture : public ComApartment, public ::testing::WithParamInterface<int32_t> {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registered = SUCCEEDED(RegisterDllBesideProgram(L"LumokaTestDevices.dll"));
        CoUninitialize();
    }
    static bool registered;
};
bool Picture::registered = false;

// The windowless renderer and the window procedure of the main window in miniature: paint
// through the controller, place the video on resize.
CGraphController* g_painting = nullptr;
LRESULT CALLBACK PaintingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT && g_painting && g_painting->PaintVideo()) return 0;
    if (msg == WM_SIZE && g_painting) g_painting->UpdateVideoPosition();
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_P(Picture, ColourBarsInsideTheDestinationRectangle) {
    ASSERT_TRUE(registered);
    CTestWindow window(640, 480, PaintingProc);
    auto factory = std::make_unique<CTestFactory>();
    factory->Transform = [](ComPtr<IBaseFilter>& f) {
        return CreateLumokaTransform(f.ReleaseAndGetAddressOf());
    };
    CGraphController controller(std::move(factory));
    g_painting = &controller;
    Profile p = VideoProfile(L"Lumoka Test Card", L"lumoka-testcard-0");
    p.VideoFormatIndex = 7;  // RGB32 720 x 480: drawn correctly by Wine's VMR-7 and VMR-9
    p.VideoFormatWidth = 720;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 333667;
    p.PreviewVideoRenderer = GetParam();
    ASSERT_TRUE(controller.Build(window.Get(), p));
    ASSERT_TRUE(controller.UpdateVideoPosition());

    // Native ratio 720:480 in 640 x 480: 640 x 426 at y 27 to 453, black above and below; the
    // bars fill the middle: 75 % white, yellow, cyan, green, magenta, red, blue. Wine's
    // renderers on the software Direct3D device take a few seconds for the first frame (longer
    // in a fresh prefix or on a busy machine), so the screen is read until it shows all of it
    // or 30 s have passed.
    const Rgb black{0, 0, 0};
    const Rgb bars[] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                        {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    const int y = 27 + 426 * 200 / 480;
    auto barX = [](int i) { return (2 * i + 1) * 640 / 14; };
    auto shows = [&](const CScreenshot& shot) {
        if (shot.Width() != 640 || shot.Height() != 480) return false;
        bool all = Near(shot.At(320, 10), black) && Near(shot.At(320, 470), black);
        for (int i = 0; i < 7; ++i) all = all && Near(shot.At(barX(i), y), bars[i]);
        return all;
    };
    CScreenshot shot(window.Get());
    const DWORD start = GetTickCount();
    do {
        CTestWindow::Pump(100);
        shot = CScreenshot(window.Get());
    } while (!shows(shot) && GetTickCount() - start < 30000);
    ASSERT_EQ(shot.Width(), 640);
    ASSERT_EQ(shot.Height(), 480);
    EXPECT_TRUE(Near(shot.At(320, 10), black)) << Text(shot.At(320, 10));
    EXPECT_TRUE(Near(shot.At(320, 470), black)) << Text(shot.At(320, 470));
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(Near(shot.At(barX(i), y), bars[i]))
            << "bar " << i << ": " << Text(shot.At(barX(i), y));
    }
    // Wine's renderers give no still image and no statistics.
    BITMAPINFOHEADER bih{};
    std::vector<uint8_t> image;
    EXPECT_FALSE(controller.GetCurrentImage(bih, image));
    EXPECT_TRUE(image.empty());
    int32_t rate = 0, dropped = 0;
    EXPECT_FALSE(controller.GetRenderStats(rate, dropped));
    controller.TearDown();
    g_painting = nullptr;
}

INSTANTIATE_TEST_SUITE_P(MixingRenderers, Picture, ::testing::Values(0, 2));

}  // namespace
