// The Windows side of CConfig: where the executable lives and what the desktop measures.
#include <windows.h>

#include "config/Config.h"

bool CConfig::Init() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that fills the buffer has been cut short: no folder of it can be trusted.
    if (length == 0 || length >= MAX_PATH) return false;
    if (!InitFromModulePath(std::wstring(path, length))) return false;
    RemoveStaleSaveFiles();
    return true;
}

DesktopMetrics QueryDesktopMetrics() {
    DesktopMetrics desktop;
    desktop.cxFrame = GetSystemMetrics(SM_CXFRAME);
    desktop.cyFrame = GetSystemMetrics(SM_CYFRAME);
    desktop.cyCaption = GetSystemMetrics(SM_CYCAPTION);
    RECT rect{};
    if (GetWindowRect(GetDesktopWindow(), &rect)) {
        desktop.desktopWidth = rect.right - rect.left;
        desktop.desktopHeight = rect.bottom - rect.top;
    }
    return desktop;
}
