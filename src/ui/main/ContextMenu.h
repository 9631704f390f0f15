// CContextMenu: the context menu template loaded afresh, with a computed ContextMenuState
// applied to it. The window tracks Popup() and lets the object go; tests read it back.
//
// Threads: the thread that shows the menu. Ownership: the object owns the loaded menu and
// destroys it (with every submenu) at its end.
#pragma once

#include <windows.h>

#include "ui/main/ContextMenuRules.h"

class CConfig;
class CGraphController;

// The menu's snapshot of the configuration, the graph and the window state; it refers to the
// selected profile in config, so it is used while config is unchanged.
MenuSnapshot TakeMenuSnapshot(const CConfig& config, const CGraphController& graph, bool maximized,
                              bool fullScreen);

class CContextMenu {
public:
    CContextMenu() = default;
    ~CContextMenu();
    CContextMenu(const CContextMenu&) = delete;
    CContextMenu& operator=(const CContextMenu&) = delete;

    // Loads template 129 from module (null: the executable) and applies state; false when the
    // template could not be loaded.
    bool Load(HINSTANCE module, const ContextMenuState& state);
    // The template's first popup: the menu the user sees.
    HMENU Popup() const { return m_popup; }

private:
    void Apply(const ContextMenuState& state);

    HMENU m_bar = nullptr;
    HMENU m_popup = nullptr;
};
