// CMainDlg: the program's main window, a bare picture area made from dialog template 102 and
// run modally by the application; its modal loop is the program's message loop.
//
// At initialisation it loads the settings and the profiles, restores the stored placement,
// applies the frame, title-bar and topmost settings and the selected profile's process priority
// and aspect ratio, and starts the title refresh worker. It paints its client area black (the
// icon when minimised), shows the profile name, client size, frame rate and volume in its
// title, swallows Enter and Escape so neither closes it, and at destruction records its
// placement and, in the first instance only, writes the settings file and then the profile file.
//
// Threads: the main thread only, except the title refresh worker, which only posts
// WM_UPDATE_TITLE. Ownership: the application owns the object; the object owns its window,
// its icons and the worker's flag; the configuration is the process-wide TheConfig().
#pragma once

#include <windows.h>

#include "config/Placement.h"
#include "graph/Geometry.h"
#include "ui/main/TitleRefreshWorker.h"
#include "wincom/UniqueHandle.h"
#include "winfx/Dialog.h"

class CMainDlg : public lumoka::CDialog {
public:
    CMainDlg();
    ~CMainDlg() override;

    // The display aspect and the size its "input ratio" refers to, as set at initialisation.
    AspectPair Aspect() const { return m_aspect; }
    IntSize NativeSize() const { return m_nativeSize; }
    bool IsFullScreen() const { return m_fullScreen; }

protected:
    BOOL OnInitDialog() override;
    void OnClose() override;
    void OnDestroy() override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Start-up, in the order OnInitDialog runs them.
    void SetCaptionAndIcons();
    void LoadConfiguration();
    void ApplyPlacement();
    void ApplyFrameStyles();
    void ApplyTopMost();
    void ApplyProcessPriority();
    void InitVideoGeometry();

    // Services while running.
    void RefreshTitle();
    double RendererFrameRate() const;
    void Paint();

    // Shut-down.
    void RecordPlacement();
    void SaveConfiguration();

    lumoka::UniqueIcon m_bigIcon;
    lumoka::UniqueIcon m_smallIcon;
    CTitleRefreshWorker m_titleWorker;

    // Fullscreen mode and the placement from before it: closing in fullscreen mode stores that
    // placement rather than the screen-filling one.
    bool m_fullScreen = false;
    WindowPlacement m_savedPlacement;

    // Until a graph reports its video size, the picture's "input ratio" is the client size.
    AspectPair m_aspect = kAspectNative;
    IntSize m_nativeSize;
};
