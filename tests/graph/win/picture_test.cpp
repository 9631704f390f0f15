// The picture in the window: the test card's colour bars inside the destination rectangle that
// UpdateVideoPosition computed, black borders around it. Read back from the screen, since the
// windowless renderers draw straight into the window.
#include "TestSupport.h"

#include "filter/MyTransform.h"

namespace {

struct Rgb {
    int r, g, b;
};

// The client area as the screen shows it, one 32-bit pixel per point, top row first.
std::vector<uint32_t> CaptureClient(HWND hwnd, int& width, int& height) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    width = rc.right;
    height = rc.bottom;
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

Rgb At(const std::vector<uint32_t>& pixels, int width, int x, int y) {
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
            static_cast<int>(p & 0xff)};
}

bool Near(const Rgb& a, const Rgb& b) {
    return std::abs(a.r - b.r) <= 40 && std::abs(a.g - b.g) <= 40 && std::abs(a.b - b.b) <= 40;
}

std::string Text(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

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
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    auto shows = [&] {
        if (w != 640 || h != 480) return false;
        bool all = Near(At(pixels, w, 320, 10), black) && Near(At(pixels, w, 320, 470), black);
        for (int i = 0; i < 7; ++i) all = all && Near(At(pixels, w, barX(i), y), bars[i]);
        return all;
    };
    const DWORD start = GetTickCount();
    do {
        CTestWindow::Pump(100);
        pixels = CaptureClient(window.Get(), w, h);
    } while (!shows() && GetTickCount() - start < 30000);
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 480);
    EXPECT_TRUE(Near(At(pixels, w, 320, 10), black)) << Text(At(pixels, w, 320, 10));
    EXPECT_TRUE(Near(At(pixels, w, 320, 470), black)) << Text(At(pixels, w, 320, 470));
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(Near(At(pixels, w, barX(i), y), bars[i]))
            << "bar " << i << ": " << Text(At(pixels, w, barX(i), y));
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
