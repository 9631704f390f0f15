#include "ui/editor/EditorRules.h"

#include <algorithm>

#include "config/Config.h"
#include "ui/editor/PageRules.h"

namespace editor {

ProfileEditorModel MakeEditorModel(const CConfig& config) {
    ProfileEditorModel model;
    model.Profiles = config.Profiles;
    model.Selected = config.Selected;
    model.LastTab = config.LastTab;
    model.SecondInstance = config.SecondInstance != 0;
    return model;
}

void TakeEditorResult(CConfig& config, const ProfileEditorModel& model, bool accepted) {
    config.LastTab = model.LastTab;
    if (!accepted) return;
    config.Selected = model.Selected;
    config.Profiles = model.Profiles;
    for (Profile& p : config.Profiles) ResetVideoProcAmp(p);
}

std::wstring ProfileEntryText(int index, const std::wstring& name) {
    return TwoDigitText(index) + L": " + name;
}

int OpeningProfile(int32_t selected, size_t profileCount) {
    return selected >= 0 && static_cast<size_t>(selected) < profileCount ? selected : 0;
}

int OpeningTab(int32_t lastTab) { return lastTab >= 0 && lastTab < kTabCount ? lastTab : 0; }

void SortFilterCatalogue(std::vector<DeviceEntry>& filters, NameCompare compare) {
    std::stable_sort(filters.begin(), filters.end(),
                     [compare](const DeviceEntry& a, const DeviceEntry& b) {
                         return compare(a.FriendlyName.c_str(), b.FriendlyName.c_str()) < 0;
                     });
}

int32_t SyncRadioFromProfile(int32_t stored) { return stored == 0 ? 1 : 0; }

int32_t SyncProfileFromRadio(int32_t radio) { return radio == 0 ? 1 : 0; }

}  // namespace editor
