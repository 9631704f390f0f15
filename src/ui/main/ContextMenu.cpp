#include "ui/main/ContextMenu.h"

#include "config/Config.h"
#include "graph/GraphController.h"
#include "ui/main/CommandIds.h"

MenuSnapshot TakeMenuSnapshot(const CConfig& config, const CGraphController& graph, bool maximized,
                              bool fullScreen) {
    MenuSnapshot snapshot;
    snapshot.Settings = MenuSettingsOf(config);
    for (const Profile& profile : config.Profiles) snapshot.ProfileNames.push_back(profile.Name);
    snapshot.Selected = config.Selected;
    snapshot.SelectedProfile = config.SelectedProfile();
    for (const FilterListEntry& entry : graph.FilterList()) {
        snapshot.Filters.push_back({entry.Name, entry.HasPages});
    }
    snapshot.GraphBuilt = graph.IsBuilt();
    snapshot.Maximized = maximized;
    snapshot.FullScreen = fullScreen;
    return snapshot;
}

CContextMenu::~CContextMenu() {
    if (m_bar) ::DestroyMenu(m_bar);
}

bool CContextMenu::Load(HINSTANCE module, const ContextMenuState& state) {
    if (m_bar) ::DestroyMenu(m_bar);
    m_popup = nullptr;
    m_bar = ::LoadMenuW(module ? module : ::GetModuleHandleW(nullptr),
                        MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    if (!m_bar) return false;
    m_popup = ::GetSubMenu(m_bar, 0);
    if (!m_popup) return false;
    Apply(state);
    return true;
}

// Items are found by command id in whichever submenu holds them, so an insertion lands in the
// submenu of the item it goes before.
void CContextMenu::Apply(const ContextMenuState& state) {
    for (uint32_t id : state.RemovedBefore) ::DeleteMenu(m_popup, id, MF_BYCOMMAND);
    for (const MenuInsertion& item : state.Insertions) {
        if (item.Separator) {
            ::InsertMenuW(m_popup, item.Before, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
        } else {
            const UINT flags = MF_BYCOMMAND | MF_STRING | (item.Greyed ? MF_GRAYED : MF_ENABLED);
            ::InsertMenuW(m_popup, item.Before, flags, item.Id, item.Text.c_str());
        }
    }
    for (uint32_t id : state.RemovedAfter) ::DeleteMenu(m_popup, id, MF_BYCOMMAND);
    for (const MenuMark& mark : state.Marks) {
        if (mark.Kind == MarkKind::Radio) {
            ::CheckMenuRadioItem(m_popup, mark.Id, mark.Id, mark.Id, MF_BYCOMMAND);
        } else {
            ::CheckMenuItem(m_popup, mark.Id, MF_BYCOMMAND | MF_CHECKED);
        }
    }
    for (uint32_t id : state.Greyed) ::EnableMenuItem(m_popup, id, MF_BYCOMMAND | MF_GRAYED);
}
