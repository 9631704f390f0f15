// CVideoWindowSide: the main window's share of the graph's work on it. The build's focus step
// gives the window the keyboard focus; a filter's property pages open as a modal property
// frame owned by the window, centred over it by the dialog centring hook.
//
// Threads: the window's thread. Ownership: the window owns the object; it only refers to the
// window handle.
#pragma once

#include <windows.h>

#include "graph/GraphWindowSide.h"

class CVideoWindowSide : public IGraphWindowSide {
public:
    explicit CVideoWindowSide(HWND window = nullptr) : m_window(window) {}
    void Attach(HWND window) { m_window = window; }

    void TakeFocus() override;
    void ShowPropertyFrame(const std::wstring& caption, IUnknown* object,
                           const CAUUID& pages) override;

private:
    HWND m_window;
};
