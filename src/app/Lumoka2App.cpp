#include "app/Lumoka2App.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <clocale>
#include <string>

#include "app/InstanceName.h"
#include "app/ProgramGraphFactory.h"
#include "config/Config.h"
#include "ui/main/MainDlg.h"
#include "wincom/UniqueHandle.h"

namespace {

std::wstring ModulePath() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

}  // namespace

bool CLumoka2App::AcquireInstanceMutex(HANDLE mutex) {
    if (!mutex) return false;
    // An abandoned mutex was left by a copy that ended without releasing it: this process now
    // owns it and is the first instance.
    const DWORD wait = ::WaitForSingleObject(mutex, 0);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

int CLumoka2App::Run() {
    // All the classic common control classes (list view, tree view, bars, tabs, up-down,
    // progress, hot-key, animate): a record of 8 bytes with the class mask 0xFF.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    // The files are read and written in the user's ANSI code page through the C runtime.
    std::setlocale(LC_ALL, "");

    // A failed start-up is not reported: snapshot saving then fails on its own.
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    // The handle stays open until Run returns, so copies started while the main window runs
    // find the mutex taken and become second instances.
    lumoka::UniqueHandle mutex(
        ::CreateMutexW(nullptr, FALSE, InstanceMutexName(ModulePath()).c_str()));
    if (!AcquireInstanceMutex(mutex.Get())) TheConfig().SecondInstance = 1;

    if (!TheConfig().Init()) {
        ::MessageBoxW(nullptr, L"CConfigの初期化に失敗しました", L"Lumoka2", MB_ICONERROR | MB_OK);
        return 0;
    }

    {
        CMainDlg mainWindow(MakeProgramGraphFactory());
        mainWindow.DoModal(nullptr);
        Gdiplus::GdiplusShutdown(gdiplusToken);
    }
    return 0;
}
