#include "ui/main/ContextMenuRules.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "config/Config.h"
#include "config/Profile.h"
#include "ui/main/CommandIds.h"

namespace {

// The items that act on the transform filter (greyed together when it is not in use).
constexpr uint32_t kTransformItems[] = {
    ID_DEINTERLACE_COPY,
    ID_DEINTERLACE_SIMPLE,
    ID_DEINTERLACE_LINEAR,
    ID_DEINTERLACE_LINEAR_SHARP,
    ID_DEINTERLACE_BLEND,
    ID_DEINTERLACE_BLEND_SHARP,
    ID_DEINTERLACE_HARDWARE,
    ID_FIELD_ORDER_TOP_FIRST,
    ID_FIELD_ORDER_BOTTOM_FIRST,
    ID_FPS_SAME,
    ID_FPS_HALF,
    ID_FPS_DOUBLE,
    ID_YC_EXPAND_NONE,
    ID_YC_EXPAND_UYVY,
    ID_YC_EXPAND_YUY2,
    ID_FLIP_VERTICAL,
};

constexpr uint32_t kFixedSizeItems[] = {
    ID_SIZE_320X240,  ID_SIZE_480X360,  ID_SIZE_640X480,   ID_SIZE_800X600,   ID_SIZE_960X720,
    ID_SIZE_1024X768, ID_SIZE_1280X960, ID_SIZE_1440X1080, ID_SIZE_1600X1200, ID_SIZE_1920X1440,
    ID_SIZE_320X180,  ID_SIZE_480X270,  ID_SIZE_640X360,   ID_SIZE_800X450,   ID_SIZE_960X540,
    ID_SIZE_1024X576, ID_SIZE_1280X720, ID_SIZE_1440X810,  ID_SIZE_1600X900,  ID_SIZE_1920X1080,
};

constexpr uint32_t kZoomItems[] = {
    ID_ZOOM_RESET, ID_ZOOM_50,  ID_ZOOM_75,  ID_ZOOM_100, ID_ZOOM_125, ID_ZOOM_150,
    ID_ZOOM_175,   ID_ZOOM_200, ID_ZOOM_225, ID_ZOOM_250, ID_ZOOM_275, ID_ZOOM_300,
};

// value -> item for the radio groups of the profile; the first row is the fallback.
struct ValueItem {
    int32_t Value;
    uint32_t Id;
};

uint32_t ItemOf(int32_t value, std::initializer_list<ValueItem> rows, uint32_t otherwise) {
    for (const ValueItem& row : rows) {
        if (row.Value == value) return row.Id;
    }
    return otherwise;
}

class CMenuBuilder {
public:
    explicit CMenuBuilder(ContextMenuState& state) : m_state(state) {}

    void Check(uint32_t id) { m_state.Marks.push_back({id, MarkKind::Check}); }
    void CheckIf(int32_t value, uint32_t id) {
        if (value != 0) Check(id);
    }
    void Radio(uint32_t id) { m_state.Marks.push_back({id, MarkKind::Radio}); }
    void Grey(uint32_t id) { m_state.Greyed.push_back(id); }
    template <size_t N>
    void Grey(const uint32_t (&ids)[N]) {
        for (uint32_t id : ids) Grey(id);
    }

private:
    ContextMenuState& m_state;
};

bool AnyVideoFilterChecked(const Profile& profile) {
    return std::any_of(profile.FilterVideo.begin(), profile.FilterVideo.end(),
                       [](const FilterEntry& f) { return f.Check != 0; });
}

void MarkProfile(const Profile& p, CMenuBuilder& menu) {
    // Marks from the profile's transform settings.
    menu.CheckIf(p.PreviewTransform, ID_TRANSFORM);
    menu.Radio(ItemOf(p.PreviewTransformCopy,
                      {{1, ID_DEINTERLACE_SIMPLE},
                       {2, ID_DEINTERLACE_LINEAR},
                       {3, ID_DEINTERLACE_LINEAR_SHARP},
                       {4, ID_DEINTERLACE_BLEND},
                       {5, ID_DEINTERLACE_BLEND_SHARP},
                       {6, ID_DEINTERLACE_HARDWARE}},
                      ID_DEINTERLACE_COPY));
    menu.Radio(
        ItemOf(p.PreviewTransformFrame, {{1, ID_FPS_HALF}, {2, ID_FPS_DOUBLE}}, ID_FPS_SAME));
    menu.Radio(ItemOf(p.PreviewTransformFieldOrder, {{1, ID_FIELD_ORDER_BOTTOM_FIRST}},
                      ID_FIELD_ORDER_TOP_FIRST));
    menu.CheckIf(p.PreviewTransformFlipVertical, ID_FLIP_VERTICAL);
    menu.Radio(ItemOf(p.PreviewTransformYCExpand, {{1, ID_YC_EXPAND_UYVY}, {2, ID_YC_EXPAND_YUY2}},
                      ID_YC_EXPAND_NONE));

    // The transform filter is used only when it is switched on and no extra video filter
    // takes its place; the switch itself stays usable while it is off.
    const bool filterChecked = AnyVideoFilterChecked(p);
    if (p.PreviewTransform != 0 && filterChecked) menu.Grey(ID_TRANSFORM);
    if (p.PreviewTransform == 0 || filterChecked) menu.Grey(kTransformItems);

    menu.Radio(
        ItemOf(p.PreviewVideoRenderer,
               {{1, ID_RENDERER_VMR7_NO_OVERLAY}, {2, ID_RENDERER_VMR9}, {3, ID_RENDERER_EVR}},
               ID_RENDERER_VMR7));
    menu.Radio(
        ItemOf(p.PreviewAudioRenderer, {{1, ID_AUDIO_RENDERER_WAVEOUT}}, ID_AUDIO_RENDERER_DSOUND));
    menu.Radio(ItemOf(p.PreviewProcessPriority,
                      {{1, ID_PRIORITY_BELOW_NORMAL},
                       {2, ID_PRIORITY_IDLE},
                       {3, ID_PRIORITY_ABOVE_NORMAL},
                       {4, ID_PRIORITY_HIGH},
                       {5, ID_PRIORITY_REALTIME}},
                      ID_PRIORITY_NORMAL));
    // 40:33 and 10:11 name items the menu does not have, so their mark shows nowhere.
    const uint32_t aspect = ItemOf(p.PreviewAspectRatio,
                                   {{0, ID_ASPECT_INPUT},
                                    {1, ID_ASPECT_4_3},
                                    {2, ID_ASPECT_16_9},
                                    {3, ID_ASPECT_40_33},
                                    {4, ID_ASPECT_10_11},
                                    {100, ID_ASPECT_FIT_WINDOW}},
                                   0);
    if (aspect != 0) menu.Radio(aspect);
}

void InsertLists(const MenuSnapshot& s, ContextMenuState& state, CMenuBuilder& menu) {
    for (size_t i = 0; i < s.ProfileNames.size() && i < 100; ++i) {
        const uint32_t id = kProfileItemFirst + static_cast<uint32_t>(i);
        state.Insertions.push_back(
            {ID_PROFILE_SETTINGS, false, id, ProfileItemText(i, s.ProfileNames[i]), false});
        if (static_cast<int64_t>(i) == s.Selected) menu.Check(id);
    }
    state.Insertions.push_back({ID_PROFILE_SETTINGS, true, 0, std::wstring(), false});

    const size_t filters = std::min(s.Filters.size(), kMaxFilterItems);
    for (size_t i = 0; i < filters; ++i) {
        state.Insertions.push_back({ID_FILTERGRAPH_NONE, false,
                                    kFilterItemFirst + static_cast<uint32_t>(i), s.Filters[i].Name,
                                    s.Filters[i].HasPages != 1});
    }
    if (filters > 0) state.RemovedAfter.push_back(ID_FILTERGRAPH_NONE);
}

void GreyWindowItems(const MenuSnapshot& s, CMenuBuilder& menu) {
    if (s.Maximized || s.FullScreen) {
        menu.Grey(kFixedSizeItems);
        menu.Grey(kZoomItems);
    } else if (!s.GraphBuilt) {
        menu.Grey(kZoomItems);
    }
    if (s.FullScreen) {
        menu.Grey(ID_TITLE_BAR);
        menu.Grey(ID_FRAME);
        menu.Grey(ID_KEEP_ASPECT);
        menu.Grey(ID_TOPMOST);
        menu.Grey(ID_SNAP);
        menu.Grey(ID_DRAG_MOVE);
    } else if (s.Maximized) {
        menu.Grey(ID_TITLE_BAR);
        menu.Grey(ID_FRAME);
        menu.Grey(ID_KEEP_ASPECT);
        menu.Grey(ID_SNAP);
        menu.Grey(ID_DRAG_MOVE);
    }
}

void MarkSettings(const MenuSettings& w, CMenuBuilder& menu) {
    menu.CheckIf(w.TitleBar, ID_TITLE_BAR);
    menu.CheckIf(w.Frame, ID_FRAME);
    // Without a frame there is no title bar to show; its mark stays.
    if (w.Frame == 0) menu.Grey(ID_TITLE_BAR);
    menu.CheckIf(w.AspectRatio, ID_KEEP_ASPECT);
    menu.CheckIf(w.TopMost, ID_TOPMOST);
    menu.CheckIf(w.Snap, ID_SNAP);
    menu.CheckIf(w.Drag, ID_DRAG_MOVE);
    menu.CheckIf(w.ScreenSaverStop, ID_SCREENSAVER_STOP);
    menu.CheckIf(w.MonitorPowerOffStop, ID_MONITOR_POWER_OFF_STOP);
    menu.CheckIf(w.SystemStanbyStop, ID_SYSTEM_STANDBY_STOP);
}

}  // namespace

MenuSettings MenuSettingsOf(const CConfig& c) {
    return MenuSettings{c.AspectRatio,
                        c.TitleBar,
                        c.Frame,
                        c.TopMost,
                        c.Snap,
                        c.Drag,
                        c.ScreenSaverStop,
                        c.MonitorPowerOffStop,
                        c.SystemStanbyStop};
}

std::wstring ProfileItemText(size_t index, const std::wstring& name) {
    char number[24];
    std::snprintf(number, sizeof(number), "%02u: ", static_cast<unsigned>(index));
    std::wstring text(number, number + std::char_traits<char>::length(number));
    return text + name;
}

ContextMenuState ComputeContextMenu(const MenuSnapshot& s) {
    ContextMenuState state;
    CMenuBuilder menu(state);
    state.RemovedBefore = {ID_DEBUG01, ID_DEBUG02};
    InsertLists(s, state, menu);
    if (s.SelectedProfile) MarkProfile(*s.SelectedProfile, menu);
    GreyWindowItems(s, menu);
    MarkSettings(s.Settings, menu);
    if (!s.GraphBuilt) {
        menu.Grey(ID_VIDEO_PROC_AMP);
        menu.Grey(ID_SNAPSHOT);
        menu.Grey(ID_SNAPSHOT_OPEN_FOLDER);
        menu.Grey(ID_SNAPSHOT_SETTINGS);
    }
    if (s.FullScreen) menu.Grey(ID_SNAPSHOT_OPEN_FOLDER);
    return state;
}
