#include "core/map_icons.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/maps.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal MapPal(const std::string& address, const std::string& mapName, int x, int y) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = "handle of " + address;
    pal.m_strMapName = mapName;
    pal.m_nMapX = x;
    pal.m_nMapY = y;
    pal.m_nFaceIcon = 7;
    return pal;
}

class MapIconsTest : public testing::Test {
protected:
    void SetUp() override {
        app.m_bMapAllPals = true;
        app.m_strCurrentMap = g_apszMapNames[2];
    }

    void Add(const CPenPal& pal) { ASSERT_EQ(app.AddPal(pal), 1); }

    // Rows for the given addresses; the ones in `selected` are selected.
    static std::vector<PalListRow> Rows(std::vector<std::string> addresses, std::vector<std::string> selected = {}) {
        std::vector<PalListRow> rows;
        for (const std::string& a : addresses)
            rows.push_back({a, std::find(selected.begin(), selected.end(), a) != selected.end()});
        return rows;
    }

    // Rebuilds the slots and returns the addresses drawn, in drawing order.
    std::vector<std::string> Draw(const std::vector<PalListRow>& rows) {
        std::vector<std::string> drawn;
        slots.Rebuild(app, rows, [&](const CPenPal& pal) { drawn.push_back(pal.m_strMailAddress); });
        EXPECT_EQ(slots.Count(), static_cast<int>(drawn.size()));
        return drawn;
    }

    CPenPal Stored(const std::string& address) {
        CPenPal pal;
        EXPECT_EQ(app.FindPalByAddress(address, pal), 1) << address;
        return pal;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    CMapIconSlots slots;
};

using Names = std::vector<std::string>;

TEST_F(MapIconsTest, SlotsHoldTheListedPalsOfTheMapInListOrder) {
    Add(MapPal("a", g_apszMapNames[2], 10, 20));
    Add(MapPal("other-map", g_apszMapNames[8], 0, 0));
    Add(MapPal("no-map", "", 0, 0));
    Add(MapPal("b", g_apszMapNames[2], 300, 5));
    Add(MapPal("not-listed", g_apszMapNames[2], 0, 0));

    EXPECT_EQ(Draw(Rows({"b", "gone", "other-map", "no-map", "a"})), (Names{"b", "a"}));
    const MapIconSlot& slot = slots.Slot(1);
    EXPECT_EQ(slot.nX, 10);
    EXPECT_EQ(slot.nY, 20);
    EXPECT_EQ(slot.nFaceIcon, 7);
    EXPECT_EQ(slot.strMailAddress, "a");
    EXPECT_EQ(slot.strHandleName, "handle of a");
}

TEST_F(MapIconsTest, SelectedPalsOnlyWhileTheMapShowsTheSelection) {
    Add(MapPal("a", g_apszMapNames[2], 0, 0));
    Add(MapPal("b", g_apszMapNames[2], 0, 0));
    app.m_bMapAllPals = false;
    EXPECT_EQ(Draw(Rows({"a", "b"}, {"b"})), (Names{"b"}));
    EXPECT_EQ(Draw(Rows({"a", "b"})), Names{});
    app.m_bMapAllPals = true;
    EXPECT_EQ(Draw(Rows({"a", "b"})), (Names{"a", "b"}));
}

TEST_F(MapIconsTest, PalsWithoutAMapAreOnNoMapEvenWhileNoMapIsChosen) {
    Add(MapPal("no-map", "", 0, 0));
    app.m_strCurrentMap.clear();
    EXPECT_EQ(Draw(Rows({"no-map"})), Names{});
}

TEST_F(MapIconsTest, PositionsAreKeptAsStored) {
    Add(MapPal("far", g_apszMapNames[2], -5000, INT_MAX));
    EXPECT_EQ(Draw(Rows({"far"})), Names{"far"});
    EXPECT_EQ(slots.Slot(0).nX, -5000);
    EXPECT_EQ(slots.Slot(0).nY, INT_MAX);
    EXPECT_EQ(slots.HitTest(-4990, INT_MAX - 1), -1);
}

TEST_F(MapIconsTest, NeverMoreSlotsThanPals) {
    Add(MapPal("a", g_apszMapNames[2], 0, 0));
    std::vector<PalListRow> rows(kMaxPals + 20, PalListRow{"a", true});
    EXPECT_EQ(Draw(rows).size(), static_cast<std::size_t>(kMaxPals));
}

TEST_F(MapIconsTest, HitTestIsTheStrictInteriorOfThe32PixelBox) {
    Add(MapPal("a", g_apszMapNames[2], 100, 200));
    Draw(Rows({"a"}));
    struct Case {
        const char* name;
        int x, y;
        int expected;
    } cases[] = {
        {"top-left corner", 100, 200, -1},
        {"just inside top-left", 101, 201, 0},
        {"just inside bottom-right", 131, 231, 0},
        {"right edge", 132, 215, -1},
        {"bottom edge", 115, 232, -1},
        {"left edge", 100, 215, -1},
        {"top edge", 115, 200, -1},
        {"picture part beyond 32", 140, 210, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(slots.HitTest(c.x, c.y), c.expected) << c.name;
}

TEST_F(MapIconsTest, OverlappingIconsTheFirstDrawnWins) {
    Add(MapPal("under", g_apszMapNames[2], 100, 100));
    Add(MapPal("over", g_apszMapNames[2], 110, 110));
    Draw(Rows({"under", "over"}));
    EXPECT_EQ(slots.HitTest(120, 120), 0);
    EXPECT_EQ(slots.HitTest(120, 120, 1), 1);
    EXPECT_EQ(slots.HitTest(135, 135), 1);
    EXPECT_EQ(slots.HitTest(120, 120, 2), -1);
}

TEST(DraggedPosition, IsKeptOnTheMap) {
    struct Case {
        const char* name;
        int x, y, dx, dy;
        MapPosition expected;
    } cases[] = {
        {"inside", 100, 100, 30, -40, {130, 60}},
        {"zero distance", 100, 100, 0, 0, {100, 100}},
        {"past the left and top", 10, 20, -50, -21, {0, 0}},
        {"past the right and bottom", 300, 350, 100, 19, {368, 368}},
        {"exactly at the limits", 0, 368, 0, 0, {0, 368}},
        {"far outside, not moved", -100000, 999999, 0, 0, {0, 368}},
        {"int range's ends", INT_MIN, INT_MAX, -1, 1, {0, 368}},
    };
    for (const Case& c : cases) EXPECT_EQ(DraggedPosition(c.x, c.y, c.dx, c.dy), c.expected) << c.name;
}

TEST_F(MapIconsTest, DragStoresTheMovedPal) {
    Add(MapPal("a", g_apszMapNames[2], 100, 100));
    EXPECT_TRUE(MovePalOnMap(app, "a", 500, -7));
    EXPECT_EQ(Stored("a").m_nMapX, 368);
    EXPECT_EQ(Stored("a").m_nMapY, 93);
    EXPECT_FALSE(MovePalOnMap(app, "gone", 1, 1));
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(MapIconsTest, DoubleClickEditsEachPalUnderThePointInTurn) {
    Add(MapPal("under", g_apszMapNames[2], 100, 100));
    Add(MapPal("over", g_apszMapNames[2], 110, 110));
    Add(MapPal("elsewhere", g_apszMapNames[2], 300, 300));
    const std::vector<PalListRow> rows = Rows({"under", "over", "elsewhere"});
    Draw(rows);
    std::vector<std::string> edited;
    ui.palDialogs.push_back([&](CPenPal& pal, PalInfoMode mode) {
        EXPECT_EQ(mode, PalInfoMode::EditOne);
        edited.push_back(pal.m_strMailAddress);
        pal.m_strHandleName = "renamed";
        return true;
    });
    ui.palDialogs.push_back([&](CPenPal& pal, PalInfoMode) {
        edited.push_back(pal.m_strMailAddress);
        pal.m_strHandleName = "cancelled";
        return false;
    });
    int redraws = 0;
    EditPalsAtPoint(app, slots, 120, 120, [&] {
        ++redraws;
        Draw(rows);
    });
    EXPECT_EQ(edited, (Names{"under", "over"}));
    EXPECT_EQ(ui.events, (Names{"edit pal", "list", "edit pal"}));
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(Stored("under").m_strHandleName, "renamed");
    EXPECT_EQ(Stored("over").m_strHandleName, "handle of over");
}

TEST_F(MapIconsTest, DoubleClickGoesOnWithTheSlotsOfTheRedrawing) {
    // The first edit moves the pal under the point away; the rebuilt slots are walked on.
    Add(MapPal("first", g_apszMapNames[2], 100, 100));
    Add(MapPal("second", g_apszMapNames[2], 100, 100));
    Add(MapPal("third", g_apszMapNames[2], 100, 100));
    std::vector<PalListRow> rows = Rows({"first", "second", "third"});
    Draw(rows);
    std::vector<std::string> edited;
    auto record = [&](CPenPal& pal, PalInfoMode) {
        edited.push_back(pal.m_strMailAddress);
        return false;
    };
    ui.palDialogs.push_back([&](CPenPal& pal, PalInfoMode) {
        edited.push_back(pal.m_strMailAddress);
        return true;
    });
    ui.palDialogs.push_back(record);
    ui.palDialogs.push_back(record);
    EditPalsAtPoint(app, slots, 110, 110, [&] {
        rows = Rows({"third", "second"});  // the list changed meanwhile
        Draw(rows);
    });
    EXPECT_EQ(edited, (Names{"first", "second"}));
}

TEST_F(MapIconsTest, DoubleClickOnAPalThatIsGoneOpensNothing) {
    Add(MapPal("a", g_apszMapNames[2], 100, 100));
    Draw(Rows({"a"}));
    app.DeletePal("a");
    EditPalsAtPoint(app, slots, 110, 110, [] { FAIL() << "no redraw expected"; });
    EXPECT_TRUE(ui.events.empty());
}

}  // namespace
