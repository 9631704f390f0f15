// The filter chain page's model: one ordered list of extra filters (the page keeps one for video
// and one for audio) with each entry's cached pins, the list operations, and the texts of the
// list and the pin combos.
//
// Portable: plain values only, any thread; the page's window drives it on the main thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"

namespace editor {

// One row: the profile's entry and the pins read for it (not stored in the profile).
struct FilterChainEntry {
    FilterEntry Entry;
    FilterRecord Pins;  // Inspected once the pins were asked for, even when that failed
};

class CFilterChain {
public:
    // The profile's list; every pin cache starts empty.
    void Load(const std::vector<FilterEntry>& entries);
    std::vector<FilterEntry> Stored() const;

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool Has(int index) const { return index >= 0 && index < Count(); }
    FilterChainEntry& At(int index) { return m_entries[static_cast<size_t>(index)]; }
    const FilterChainEntry& At(int index) const { return m_entries[static_cast<size_t>(index)]; }

    // Appends an entry made from a catalogue entry (check 1, both pins automatic); returns its
    // index.
    int Add(const DeviceEntry& filter);
    // Removes the entry; returns the row to select afterwards (the same index, or the new last
    // row), -1 when the list is empty or the index named no entry.
    int Delete(int index);
    // Swap with the neighbour (the pin cache moves along); returns the moved entry's new index,
    // -1 when there is nothing to do (first row up, last row down, no such row).
    int MoveUp(int index);
    int MoveDown(int index);
    void ToggleCheck(int index);

    // The catalogue identity of an entry, for reading its pins.
    DeviceEntry IdentityOf(int index) const;

private:
    std::vector<FilterChainEntry> m_entries;
};

// The filter list's cells: column 0 (the check box) has no text, column 1 the friendly name.
std::wstring FilterCellText(const FilterChainEntry& entry, int column);

// A pin combo: "自動接続" and then "%d: %s" for each pin of the direction, numbered among
// those pins; empty when the filter has no pin of that direction.
std::vector<std::wstring> PinComboItems(const std::vector<PinEntry>& pins, bool inputs);
// Combo item of a stored pin index (-1, automatic, is item 0) and back.
int PinComboSelection(int32_t pinIndex);
int32_t PinIndexFromCombo(int selection);

}  // namespace editor
