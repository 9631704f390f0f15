#include "Desktop.h"

#include <cstdlib>

#include "devices/signal/FrameCounter.h"

namespace lumoka::testing {

bool Xdotool(const std::string& args, DWORD timeoutMs) {
    // Wine starts Unix programs but hands back no handle to wait on: the shell leaves the exit
    // status in a file of its own instead.
    static int calls = 0;
    const std::string marker = "/tmp/lumoka-xdotool-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++calls);
    const std::string command = "Z:\\bin\\sh -c \"xdotool " + args + "; echo $? >" + marker +
                                ".tmp; mv " + marker + ".tmp " + marker + "\"";
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    std::wstring done = L"Z:" + std::wstring(marker.begin(), marker.end());
    for (wchar_t& c : done) {
        if (c == L'/') c = L'\\';
    }
    if (!WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   timeoutMs)) {
        return false;
    }
    char status[8] = {};
    HANDLE file = CreateFileW(done.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, status, sizeof(status) - 1, &read, nullptr);
        CloseHandle(file);
    }
    DeleteFileW(done.c_str());
    return read > 0 && std::atoi(status) == 0;
}

bool RightClickClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &middle);
    return Xdotool("mousemove " + std::to_string(middle.x) + " " + std::to_string(middle.y) +
                   " click 3");
}

std::vector<HWND> ProcessWindows(DWORD processId, const std::wstring& cls,
                                 const std::wstring& captionPrefix) {
    struct Search {
        DWORD pid;
        const std::wstring& cls;
        const std::wstring& prefix;
        std::vector<HWND> found;
    } search{processId, cls, captionPrefix, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t name[64] = {};
            wchar_t title[256] = {};
            GetClassNameW(hwnd, name, 64);
            GetWindowTextW(hwnd, title, 256);
            if (pid == s->pid && IsWindowVisible(hwnd) && s->cls == name &&
                std::wstring(title).compare(0, s->prefix.size(), s->prefix) == 0) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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
