// The profile editor frame's rules: what the editor is given and hands back, the profile combo's
// entries, the range checks of what it is opened with, the order of the filter catalogue, the
// preview page's radio mapping, and how the configuration takes the result back.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"

class CConfig;

namespace editor {

constexpr int kTabCount = 4;  // video, audio, filters, preview

}  // namespace editor

// What the editor works on: copies of the ten profiles, the profile and tab it opens on (and
// hands back: the ones the user left it on), and whether this is a second instance.
struct ProfileEditorModel {
    std::vector<Profile> Profiles;
    int32_t Selected = 0;
    int32_t LastTab = 0;
    bool SecondInstance = false;
};

namespace editor {

// A copy of what the configuration holds.
ProfileEditorModel MakeEditorModel(const CConfig& config);
// After OK: LastTab, Selected and all profiles back, every video signal value and flag of every
// profile forgotten. After Cancel: only LastTab.
void TakeEditorResult(CConfig& config, const ProfileEditorModel& model, bool accepted);

// "%02d: %s".
std::wstring ProfileEntryText(int index, const std::wstring& name);

// An index the editor can open on: Selected outside the profiles opens profile 0, LastTab
// outside 0-3 opens tab 0.
int OpeningProfile(int32_t selected, size_t profileCount);
int OpeningTab(int32_t lastTab);

// The ordinary filters ascending by FriendlyName under the given case-insensitive comparison
// (the platform's lstrcmpiW on Windows); equal names keep their enumeration order.
using NameCompare = int (*)(const wchar_t*, const wchar_t*);
void SortFilterCatalogue(std::vector<DeviceEntry>& filters, NameCompare compare);

// The preview page: radio 0 is "同期しない" (stored 1), radio 1 "同期する" (stored 0).
int32_t SyncRadioFromProfile(int32_t stored);
int32_t SyncProfileFromRadio(int32_t radio);

}  // namespace editor
