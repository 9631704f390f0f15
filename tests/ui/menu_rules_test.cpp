// The context menu's decision: the inserted profile and filter lists, every mark and grey rule
// and the menu's edge cases; the profile commands with their rebuild rules; where the window
// centres a property frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "config/Profile.h"
#include "ui/main/CommandIds.h"
#include "ui/main/CommandRules.h"
#include "ui/main/ContextMenuRules.h"
#include "ui/main/DialogPlacementRules.h"

namespace {

bool Greyed(const ContextMenuState& s, uint32_t id) {
    return std::count(s.Greyed.begin(), s.Greyed.end(), id) > 0;
}

// The marks among ids, as (id, kind) pairs in the order given.
std::vector<std::pair<uint32_t, MarkKind>> MarksAmong(const ContextMenuState& s,
                                                      std::vector<uint32_t> ids) {
    std::vector<std::pair<uint32_t, MarkKind>> found;
    for (const MenuMark& m : s.Marks) {
        if (std::find(ids.begin(), ids.end(), m.Id) != ids.end()) found.push_back({m.Id, m.Kind});
    }
    return found;
}

struct Fixture {
    Profile profile;
    MenuSnapshot snapshot;
    Fixture() {
        for (int i = 0; i < 10; ++i) snapshot.ProfileNames.push_back(L"p" + std::to_wstring(i));
        snapshot.Selected = 0;
        snapshot.SelectedProfile = &profile;
    }
    ContextMenuState Compute() { return ComputeContextMenu(snapshot); }
};

TEST(ContextMenu, ListsOfProfilesAndFilters) {
    Fixture f;
    f.snapshot.Selected = 3;
    f.snapshot.Filters = {{L"Video Tee", 1}, {L"Capture", 0}, {L"Odd", 2}};
    ContextMenuState s = f.Compute();
    EXPECT_EQ(s.RemovedBefore, (std::vector<uint32_t>{ID_DEBUG01, ID_DEBUG02}));
    ASSERT_EQ(s.Insertions.size(), 14u);
    for (uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(s.Insertions[i].Before, static_cast<uint32_t>(ID_PROFILE_SETTINGS));
        EXPECT_EQ(s.Insertions[i].Id, 50000 + i);
        EXPECT_FALSE(s.Insertions[i].Greyed);
    }
    EXPECT_EQ(s.Insertions[3].Text, L"03: p3");
    EXPECT_TRUE(s.Insertions[10].Separator);
    EXPECT_EQ(s.Insertions[10].Before, static_cast<uint32_t>(ID_PROFILE_SETTINGS));
    const bool greyed[] = {false, true, true};  // greyed unless HasPages is exactly 1
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.Insertions[11 + i].Before, static_cast<uint32_t>(ID_FILTERGRAPH_NONE));
        EXPECT_EQ(s.Insertions[11 + i].Id, 50100 + i);
        EXPECT_EQ(s.Insertions[11 + i].Greyed, greyed[i]);
    }
    EXPECT_EQ(s.Insertions[12].Text, L"Capture");
    EXPECT_EQ(s.RemovedAfter, (std::vector<uint32_t>{ID_FILTERGRAPH_NONE}));
    std::vector<uint32_t> profileIds;
    for (uint32_t i = 0; i < 10; ++i) profileIds.push_back(50000 + i);
    EXPECT_EQ(MarksAmong(s, profileIds),
              (std::vector<std::pair<uint32_t, MarkKind>>{{50003, MarkKind::Check}}));

    // No filters: the greyed placeholder stays. More than a hundred: the id range ends.
    f.snapshot.Filters.clear();
    EXPECT_TRUE(f.Compute().RemovedAfter.empty());
    f.snapshot.Filters.assign(130, {L"f", 1});
    s = f.Compute();
    EXPECT_EQ(s.Insertions.back().Id, 50199u);
    EXPECT_EQ(s.Insertions.size(), 111u);
    EXPECT_EQ(ProfileItemText(12, L"名前"), L"12: 名前");
}

TEST(ContextMenu, RadioMarksFromTheProfile) {
    using Set = std::function<void(Profile&, int32_t)>;
    struct Group {
        Set set;
        std::vector<std::pair<int32_t, uint32_t>> rows;  // value -> marked item (0: none)
    };
    const Group groups[] = {
        {[](Profile& p, int32_t v) { p.PreviewTransformCopy = v; },
         {{0, 32799},
          {1, 33094},
          {2, 32820},
          {3, 33113},
          {4, 33079},
          {5, 33095},
          {6, 33115},
          {7, 32799},
          {-1, 32799}}},
        {[](Profile& p, int32_t v) { p.PreviewTransformFrame = v; },
         {{0, 33097}, {1, 33096}, {2, 33098}, {3, 33097}}},
        {[](Profile& p, int32_t v) { p.PreviewTransformFieldOrder = v; },
         {{0, 32876}, {1, 32877}, {2, 32876}}},
        {[](Profile& p, int32_t v) { p.PreviewTransformYCExpand = v; },
         {{0, 32800}, {1, 32826}, {2, 32828}, {3, 32800}}},
        {[](Profile& p, int32_t v) { p.PreviewVideoRenderer = v; },
         {{0, 32838}, {1, 32948}, {2, 32839}, {3, 32946}, {4, 32838}}},
        {[](Profile& p, int32_t v) { p.PreviewAudioRenderer = v; },
         {{0, 32840}, {1, 32841}, {2, 32840}}},
        {[](Profile& p, int32_t v) { p.PreviewProcessPriority = v; },
         {{0, 32871}, {1, 32872}, {2, 32873}, {3, 32870}, {4, 32869}, {5, 32868}, {6, 32871}}},
        // 3 and 4 name ids without items; 7 names nothing at all.
        {[](Profile& p, int32_t v) { p.PreviewAspectRatio = v; },
         {{0, 32934}, {1, 32930}, {2, 32931}, {3, 32941}, {4, 32942}, {100, 32935}, {7, 0}}},
    };
    for (const Group& g : groups) {
        std::vector<uint32_t> ids;
        for (const auto& row : g.rows)
            if (row.second) ids.push_back(row.second);
        for (const auto& row : g.rows) {
            Fixture f;
            g.set(f.profile, row.first);
            std::vector<std::pair<uint32_t, MarkKind>> expected;
            if (row.second) expected.push_back({row.second, MarkKind::Radio});
            EXPECT_EQ(MarksAmong(f.Compute(), ids), expected) << "value " << row.first;
        }
    }
}

TEST(ContextMenu, TransformSwitchAndAvailability) {
    struct Case {
        int32_t transform;
        std::vector<int32_t> filterChecks;
        bool switchChecked, switchGreyed, itemsGreyed;
    } cases[] = {
        {1, {}, true, false, false}, {2, {0, 0}, true, false, false}, {1, {0, 1}, true, true, true},
        {0, {}, false, false, true}, {0, {1}, false, false, true},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.profile.PreviewTransform = c.transform;
        f.profile.PreviewTransformFlipVertical = 1;
        for (int32_t check : c.filterChecks) f.profile.FilterVideo.push_back({check, {}, -1, -1});
        const ContextMenuState s = f.Compute();
        EXPECT_EQ(!MarksAmong(s, {ID_TRANSFORM}).empty(), c.switchChecked);
        EXPECT_EQ(Greyed(s, ID_TRANSFORM), c.switchGreyed);
        EXPECT_EQ(
            MarksAmong(s, {ID_FLIP_VERTICAL}),
            (std::vector<std::pair<uint32_t, MarkKind>>{{ID_FLIP_VERTICAL, MarkKind::Check}}));
        for (uint32_t id : {32799u, 33094u, 32820u, 33113u, 33079u, 33095u, 33115u, 32876u, 32877u,
                            33097u, 33096u, 33098u, 32800u, 32826u, 32828u, 33081u}) {
            EXPECT_EQ(Greyed(f.Compute(), id), c.itemsGreyed) << id << " transform " << c.transform;
        }
    }
}

TEST(ContextMenu, WindowStateAndGraph) {
    struct Case {
        bool maximized, fullScreen, built;
        bool sizesGreyed, zoomGreyed, windowGreyed, topMostGreyed, graphItemsGreyed, folderGreyed;
    } cases[] = {
        {false, false, false, false, true, false, false, true, true},
        {false, false, true, false, false, false, false, false, false},
        {true, false, true, true, true, true, false, false, false},
        {false, true, true, true, true, true, true, false, true},
        {true, true, false, true, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.snapshot.Maximized = c.maximized;
        f.snapshot.FullScreen = c.fullScreen;
        f.snapshot.GraphBuilt = c.built;
        const ContextMenuState s = f.Compute();
        for (uint32_t id : {33047u, 33055u, 33066u, 33067u, 33075u, 33064u})
            EXPECT_EQ(Greyed(s, id), c.sizesGreyed) << id;
        for (uint32_t id : {33046u, 33032u, 33043u}) EXPECT_EQ(Greyed(s, id), c.zoomGreyed) << id;
        for (uint32_t id : {32881u, 32882u, 32971u, 32891u, 32892u})
            EXPECT_EQ(Greyed(s, id), c.windowGreyed) << id;
        EXPECT_EQ(Greyed(s, ID_TOPMOST), c.topMostGreyed);
        for (uint32_t id : {32944u, 33071u, 33073u}) EXPECT_EQ(Greyed(s, id), c.graphItemsGreyed);
        EXPECT_EQ(Greyed(s, ID_SNAPSHOT_OPEN_FOLDER), c.folderGreyed);
        EXPECT_FALSE(Greyed(s, ID_PLAY));
    }
}

TEST(ContextMenu, SettingsMarksAndTheHiddenFrame) {
    const std::pair<int32_t MenuSettings::*, uint32_t> rows[] = {
        {&MenuSettings::TitleBar, 32881},
        {&MenuSettings::Frame, 32882},
        {&MenuSettings::AspectRatio, 32971},
        {&MenuSettings::TopMost, 32888},
        {&MenuSettings::Snap, 32891},
        {&MenuSettings::Drag, 32892},
        {&MenuSettings::ScreenSaverStop, 32894},
        {&MenuSettings::MonitorPowerOffStop, 32998},
        {&MenuSettings::SystemStanbyStop, 32996},
    };
    for (const auto& row : rows) {
        for (int32_t value : {0, 1, 7}) {
            Fixture f;
            f.snapshot.Settings.*row.first = value;
            EXPECT_EQ(MarksAmong(f.Compute(), {row.second}).size(), value != 0 ? 1u : 0u)
                << row.second << " = " << value;
        }
    }
    // Without a frame the title-bar item is greyed but keeps its mark.
    Fixture f;
    f.snapshot.Settings.Frame = 0;
    const ContextMenuState s = f.Compute();
    EXPECT_TRUE(Greyed(s, ID_TITLE_BAR));
    EXPECT_EQ(MarksAmong(s, {ID_TITLE_BAR}).size(), 1u);
    f.snapshot.Settings.Frame = 1;
    EXPECT_FALSE(Greyed(f.Compute(), ID_TITLE_BAR));
}

TEST(ContextMenu, NoSelectedProfileLeavesOutOnlyTheProfilePart) {
    Fixture f;
    f.snapshot.Selected = 10;
    f.snapshot.SelectedProfile = nullptr;
    f.snapshot.GraphBuilt = true;
    const ContextMenuState s = f.Compute();
    EXPECT_EQ(s.Insertions.size(), 11u);
    for (const MenuMark& m : s.Marks)
        EXPECT_TRUE(m.Kind == MarkKind::Check && m.Id < 50000) << m.Id;
    EXPECT_FALSE(Greyed(s, ID_DEINTERLACE_COPY));
    EXPECT_EQ(MarksAmong(s, {ID_SNAP}).size(), 1u);
}

TEST(ProfileCommands, StoreAndRebuildRules) {
    struct Case {
        uint32_t id;
        int32_t copyBefore, frameBefore;
        bool built, rebuild;
        int32_t Profile::*field;
        int32_t stored;
    } cases[] = {
        {ID_DEINTERLACE_SIMPLE, 4, 0, true, false, &Profile::PreviewTransformCopy, 1},  // live
        {ID_DEINTERLACE_HARDWARE, 4, 0, true, true, &Profile::PreviewTransformCopy, 6},
        {ID_DEINTERLACE_COPY, 6, 0, true, true, &Profile::PreviewTransformCopy, 0},
        {ID_DEINTERLACE_HARDWARE, 6, 0, true, false, &Profile::PreviewTransformCopy, 6},
        {ID_DEINTERLACE_HARDWARE, 4, 0, false, false, &Profile::PreviewTransformCopy, 6},
        {ID_FPS_HALF, 6, 0, true, false, &Profile::PreviewTransformFrame, 1},
        {ID_FPS_DOUBLE, 6, 0, true, true, &Profile::PreviewTransformFrame, 2},
        {ID_FPS_SAME, 6, 2, true, true, &Profile::PreviewTransformFrame, 0},
        {ID_FPS_DOUBLE, 6, 2, true, false, &Profile::PreviewTransformFrame, 2},
        {ID_FPS_DOUBLE, 5, 0, true, false, &Profile::PreviewTransformFrame, 2},  // not Hardware
        {ID_FIELD_ORDER_BOTTOM_FIRST, 6, 0, true, false, &Profile::PreviewTransformFieldOrder, 1},
        {ID_YC_EXPAND_YUY2, 6, 0, true, false, &Profile::PreviewTransformYCExpand, 2},
        {ID_RENDERER_EVR, 0, 0, true, true, &Profile::PreviewVideoRenderer, 3},
        {ID_RENDERER_VMR7, 0, 0, true, true, &Profile::PreviewVideoRenderer, 0},  // same value
        {ID_RENDERER_VMR7_NO_OVERLAY, 0, 0, false, false, &Profile::PreviewVideoRenderer, 1},
        {ID_AUDIO_RENDERER_WAVEOUT, 0, 0, true, true, &Profile::PreviewAudioRenderer, 1},
        {ID_TRANSFORM, 0, 0, true, true, &Profile::PreviewTransform, 0},
        {ID_FLIP_VERTICAL, 0, 0, true, false, &Profile::PreviewTransformFlipVertical, 1},
    };
    for (const Case& c : cases) {
        Profile p;
        p.PreviewTransformCopy = c.copyBefore;
        p.PreviewTransformFrame = c.frameBefore;
        ProfileCommand command;
        ASSERT_TRUE(ProfileCommandOf(c.id, &command)) << c.id;
        EXPECT_EQ(ApplyProfileCommand(command, p, c.built), c.rebuild) << c.id;
        EXPECT_EQ(p.*c.field, c.stored) << c.id;
    }
    // Toggles flip any set value to 0; other ids are not profile commands.
    Profile p;
    p.PreviewTransformFlipVertical = 5;
    ProfileCommand flip;
    ASSERT_TRUE(ProfileCommandOf(ID_FLIP_VERTICAL, &flip));
    ApplyProfileCommand(flip, p, false);
    EXPECT_EQ(p.PreviewTransformFlipVertical, 0);
    for (uint32_t other : {ID_PLAY, ID_VOLUME_50, ID_ASPECT_4_3, ID_PRIORITY_HIGH, 50000})
        EXPECT_FALSE(ProfileCommandOf(other, &flip)) << other;
}

TEST(CentreOver, CentresAndClampsToTheScreen) {
    const IntRect screen{0, 0, 1280, 1024};
    IntPoint p = CentreOver({100, 100, 900, 700}, {300, 201}, screen);
    EXPECT_EQ(p.x, 100 + (400 - 150));
    EXPECT_EQ(p.y, 100 + (300 - 100));
    p = CentreOver({-500, -500, -100, -100}, {300, 200}, screen);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = CentreOver({1200, 1000, 1400, 1100}, {300, 200}, screen);
    EXPECT_EQ(p.x, 1280 - 300);
    EXPECT_EQ(p.y, 1024 - 200);
}

}  // namespace
