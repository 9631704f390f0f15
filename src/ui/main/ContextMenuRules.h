// The context menu as a decision: from a plain snapshot of what the menu shows (the settings
// record, the profiles and the selected one, whether a graph is built, the graph's filters,
// the window's state) to the changes that turn the loaded menu template into the menu the user
// sees: the items to remove, the items to insert, and the ids to mark and to grey, in the
// order the window applies them.
//
// Portable: plain values only; a pure function, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Profile;
class CConfig;

// The "Window" values of the settings record that the menu shows.
struct MenuSettings {
    int32_t AspectRatio = 0;  // keep the window's aspect ratio
    int32_t TitleBar = 1;
    int32_t Frame = 1;
    int32_t TopMost = 0;
    int32_t Snap = 1;
    int32_t Drag = 1;
    int32_t ScreenSaverStop = 1;
    int32_t MonitorPowerOffStop = 1;
    int32_t SystemStanbyStop = 1;
};
MenuSettings MenuSettingsOf(const CConfig& config);

struct MenuFilterEntry {
    std::wstring Name;
    int32_t HasPages = 0;  // 1 when the filter can show property pages
};

struct MenuSnapshot {
    MenuSettings Settings;
    std::vector<std::wstring> ProfileNames;  // the profile list, in order
    int32_t Selected = -1;                   // index into ProfileNames; outside it: none
    // The selected profile, or null when none is selected; read during the call only.
    const Profile* SelectedProfile = nullptr;
    std::vector<MenuFilterEntry> Filters;  // the graph's filter list
    bool GraphBuilt = false;
    bool Maximized = false;
    bool FullScreen = false;
};

// An item to insert before the item with id Before (found in whichever submenu holds it).
struct MenuInsertion {
    uint32_t Before = 0;
    bool Separator = false;
    uint32_t Id = 0;  // 0 for a separator
    std::wstring Text;
    bool Greyed = false;
};

enum class MarkKind {
    Check,  // a check mark
    Radio,  // a radio bullet on this one item (the menu is fresh, so no group is cleared)
};

struct MenuMark {
    uint32_t Id = 0;
    MarkKind Kind = MarkKind::Check;
};

struct ContextMenuState {
    std::vector<uint32_t> RemovedBefore;  // removed before anything is inserted
    std::vector<MenuInsertion> Insertions;
    std::vector<uint32_t> RemovedAfter;  // removed once the insertions are in place
    std::vector<MenuMark> Marks;
    std::vector<uint32_t> Greyed;
};

// Profile entries use ids kProfileItemFirst + index and filter entries kFilterItemFirst +
// index; the filter list is cut at kMaxFilterItems so its ids stay in their range.
constexpr uint32_t kProfileItemFirst = 50000;
constexpr uint32_t kFilterItemFirst = 50100;
constexpr size_t kMaxFilterItems = 100;

// "%02d: %s": two-digit index, colon, blank, name.
std::wstring ProfileItemText(size_t index, const std::wstring& name);

// Every mark and grey rule of the menu, in the order they are applied. With no selected
// profile the profile's marks and greys are left out; everything else still applies.
ContextMenuState ComputeContextMenu(const MenuSnapshot& snapshot);
