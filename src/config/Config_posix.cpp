// The native side of CConfig: only the build machine's tools and tests use it.
#include <unistd.h>

#include <climits>

#include "config/Config.h"

bool CConfig::Init() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return false;
    std::wstring path;
    for (ssize_t i = 0; i < n; ++i) {
        // Byte for byte: the build machine's test folders are ASCII.
        path += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]));
    }
    return InitFromModulePath(path, L'/');
}

DesktopMetrics QueryDesktopMetrics() {
    // No desktop here: the metrics of a plain 1280 x 1024 screen.
    DesktopMetrics desktop;
    desktop.cxFrame = 4;
    desktop.cyFrame = 4;
    desktop.cyCaption = 19;
    desktop.desktopWidth = 1280;
    desktop.desktopHeight = 1024;
    return desktop;
}
