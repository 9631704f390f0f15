#include "harness/Screenshot.h"

#include <cstdlib>

#include "devices/signal/FrameCounter.h"

namespace lumoka::testing {

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

std::string Text(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

CScreenshot::CScreenshot(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    m_width = rc.right;
    m_height = rc.bottom;
    if (m_width <= 0 || m_height <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = m_width;
    bi.bmiHeader.biHeight = -m_height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, m_width, m_height, screen, origin.x, origin.y, SRCCOPY);
    if (bits) {
        const auto* p = static_cast<const uint32_t*>(bits);
        m_pixels.assign(p, p + static_cast<size_t>(m_width) * m_height);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

Rgb CScreenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty()) return {-1, -1, -1};
    const uint32_t p = m_pixels[static_cast<size_t>(y) * m_width + x];
    return {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
            static_cast<int>(p & 0xff)};
}

long CScreenshot::FrameCounter(const RECT& rect) const {
    if (m_pixels.empty() || rect.left < 0 || rect.top < 0 || rect.right > m_width ||
        rect.bottom > m_height || rect.right <= rect.left || rect.bottom <= rect.top) {
        return -1;
    }
    PictureLayout layout;
    layout.format = PixelFormat::kRGB32;
    layout.width = rect.right - rect.left;
    layout.height = rect.bottom - rect.top;
    layout.stride = static_cast<size_t>(layout.width) * 4;
    std::vector<uint8_t> picture;
    for (int y = rect.top; y < rect.bottom; ++y) {
        const auto* row =
            reinterpret_cast<const uint8_t*>(&m_pixels[static_cast<size_t>(y) * m_width]);
        picture.insert(picture.end(), row + rect.left * 4, row + rect.right * 4);
    }
    const auto counter = DecodeFrameCounter(picture.data(), picture.size(), layout);
    return counter ? static_cast<long>(*counter) : -1;
}

}  // namespace lumoka::testing
