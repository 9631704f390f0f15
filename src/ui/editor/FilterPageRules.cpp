#include "ui/editor/FilterPageRules.h"

#include <utility>

#include "ui/editor/PageRules.h"

namespace editor {

void CFilterChain::Load(const std::vector<FilterEntry>& entries) {
    m_entries.clear();
    for (const FilterEntry& e : entries) m_entries.push_back({e, FilterRecord{}});
}

std::vector<FilterEntry> CFilterChain::Stored() const {
    std::vector<FilterEntry> out;
    for (const FilterChainEntry& e : m_entries) out.push_back(e.Entry);
    return out;
}

int CFilterChain::Add(const DeviceEntry& filter) {
    FilterChainEntry e;
    e.Entry.Check = 1;
    e.Entry.Device = {filter.FriendlyName, filter.Description, filter.DevicePath};
    e.Entry.Input = -1;
    e.Entry.Output = -1;
    m_entries.push_back(std::move(e));
    return Count() - 1;
}

int CFilterChain::Delete(int index) {
    if (!Has(index)) return -1;
    m_entries.erase(m_entries.begin() + index);
    if (m_entries.empty()) return -1;
    return index < Count() ? index : Count() - 1;
}

int CFilterChain::MoveUp(int index) {
    if (!Has(index) || index == 0) return -1;
    std::swap(m_entries[static_cast<size_t>(index)], m_entries[static_cast<size_t>(index - 1)]);
    return index - 1;
}

int CFilterChain::MoveDown(int index) {
    if (!Has(index) || index == Count() - 1) return -1;
    std::swap(m_entries[static_cast<size_t>(index)], m_entries[static_cast<size_t>(index + 1)]);
    return index + 1;
}

void CFilterChain::ToggleCheck(int index) {
    if (Has(index)) At(index).Entry.Check = At(index).Entry.Check ? 0 : 1;
}

DeviceEntry CFilterChain::IdentityOf(int index) const {
    if (!Has(index)) return {};
    const DeviceInfo& d = At(index).Entry.Device;
    return {d.FriendlyName, d.Description, d.DevicePath, DeviceKind::OtherFilter};
}

std::wstring FilterCellText(const FilterChainEntry& entry, int column) {
    return column == 1 ? entry.Entry.Device.FriendlyName : std::wstring();
}

std::vector<std::wstring> PinComboItems(const std::vector<PinEntry>& pins, bool inputs) {
    std::vector<std::wstring> items;
    int number = 0;
    for (const PinEntry& pin : pins) {
        if ((pin.IsInput != 0) != inputs) continue;
        if (items.empty()) items.push_back(L"自動接続");
        items.push_back(DecimalText(number++) + L": " + pin.Name);
    }
    return items;
}

int PinComboSelection(int32_t pinIndex) { return pinIndex < -1 ? 0 : pinIndex + 1; }

int32_t PinIndexFromCombo(int selection) { return selection < 0 ? -1 : selection - 1; }

}  // namespace editor
