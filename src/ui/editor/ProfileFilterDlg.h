// CProfileFilterDlg: the editor's "フィルタ追加" page (template 139), a modeless child of the
// frame's tab control. It edits the profile's two chains of extra filters, video and audio:
// adding from the installed filters, deleting, moving up and down, switching each on or off
// with its check box, and choosing the input and output pin the graph build connects.
//
// Each side is a CFilterChain (FilterPageRules) shown through virtual list views; the pins of
// an entry are read from the catalogue the first time it is selected and move with it.
//
// Threads: the editor's thread; pins are read inside a COM apartment opened for the call.
// Ownership: the frame owns the page; the page owns its two chains and its copy of the
// installed filters.
#pragma once

#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/FilterPageRules.h"
#include "winfx/Dialog.h"
#include "winfx/VirtualListView.h"

class CProfileFilterDlg : public lumoka::CDialog {
public:
    enum Side { kVideo = 0, kAudio = 1 };

    CProfileFilterDlg();

    // Both filter-to-add combos get the installed filters' names, in the given order.
    void FillFilters(const std::vector<DeviceEntry>& filters);
    void Load(const Profile& profile);
    void Store(Profile& profile) const;

    const editor::CFilterChain& Chain(Side side) const { return m_sides[side].chain; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam) override;

private:
    // The control ids of one side.
    struct Ids {
        int choice, add, remove, up, down, list, input, output, pins;
    };
    struct SideState {
        editor::CFilterChain chain;
        lumoka::CVirtualListView list;
        lumoka::CVirtualListView pinList;
        int shownPins = -1;  // the entry whose pins the pin view shows
    };

    void SetUpSide(Side side);
    void Add(Side side);
    void Delete(Side side);
    void Move(Side side, bool up);
    void SelectRow(Side side, int row);
    void ShowPins(Side side, int row);
    void ClearPins(Side side);
    void OnPinChosen(Side side, bool input);
    const std::vector<PinEntry>& PinsShown(Side side) const;

    static const Ids kIds[2];
    std::vector<DeviceEntry> m_filters;
    SideState m_sides[2];
};
