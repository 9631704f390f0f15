// What the snapshot tests share: the test card's colour bars as RGB with a tolerance compare,
// image files read back with GDI+ (the caller has started GDI+), and finding a shown window.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <array>
#include <cstdlib>
#include <string>

namespace lumoka::test {

using Rgb = std::array<int, 3>;

// The card's 75 % bars as full-range RGB: white, yellow, cyan, green, magenta, red, blue.
constexpr Rgb kBars[7] = {{191, 191, 191}, {192, 191, 1}, {1, 191, 191}, {0, 191, 0},
                          {191, 0, 192},   {191, 0, 1},   {0, 1, 191}};

inline bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a[0] - b[0]) <= tolerance && std::abs(a[1] - b[1]) <= tolerance &&
           std::abs(a[2] - b[2]) <= tolerance;
}

inline std::string Text(const Rgb& c) {
    return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

// An image file; pixel (x, y) counted from the top.
class CImageFile {
public:
    explicit CImageFile(const std::wstring& path) {
        Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap_);
        if (bitmap_) Gdiplus::DllExports::GdipGetImageWidth(bitmap_, &width_);
        if (bitmap_) Gdiplus::DllExports::GdipGetImageHeight(bitmap_, &height_);
    }
    ~CImageFile() {
        if (bitmap_) Gdiplus::DllExports::GdipDisposeImage(bitmap_);
    }
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;
    int Width() const { return static_cast<int>(width_); }
    int Height() const { return static_cast<int>(height_); }
    Rgb At(int x, int y) const {
        Gdiplus::ARGB argb = 0;
        Gdiplus::DllExports::GdipBitmapGetPixel(bitmap_, x, y, &argb);
        return {static_cast<int>((argb >> 16) & 0xff), static_cast<int>((argb >> 8) & 0xff),
                static_cast<int>(argb & 0xff)};
    }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
    UINT width_ = 0, height_ = 0;
};

// A shown top-level window of the thread: with the caption, or (owner given) owned by owner.
inline HWND FindShownWindow(DWORD thread, const std::wstring& caption, HWND owner = nullptr) {
    struct Search {
        const std::wstring& caption;
        HWND owner, found;
    } search{caption, owner, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t text[256] = {};
            GetWindowTextW(hwnd, text, 256);
            const bool match =
                s->owner ? GetWindow(hwnd, GW_OWNER) == s->owner : s->caption == text;
            if (match && IsWindowVisible(hwnd)) s->found = hwnd;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace lumoka::test
