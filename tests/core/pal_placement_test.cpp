#include "core/pal_placement.h"

#include <gtest/gtest.h>

#include <set>

#include "core/maps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(int n, const char* residence, const char* mapName = "", int x = 0, int y = 0) {
    CPenPal pal;
    pal.m_strMailAddress = "pal" + std::to_string(n) + "@example.jp";
    pal.m_strHandleName = "pal" + std::to_string(n);
    pal.m_strResidence = Cp932Text(residence);
    pal.m_strMapName = Cp932Text(mapName);
    pal.m_nMapX = x;
    pal.m_nMapY = y;
    return pal;
}

// Fifty pals of one place, wherever the place lies on its map, stand apart and on the map.
TEST(IconSpreadTest, FiftyPalsOfOnePlaceGetFiftyPlacesOnTheMap) {
    const struct {
        const char* name;
        ResidencePlace place;
    } rows[] = {
        {"middle", {2, 200, 200}},
        {"top-left corner", {8, 0, 0}},
        {"bottom-right corner", {8, 399, 399}},
        {"left edge", {0, 3, 250}},
    };
    for (const auto& row : rows) {
        CIconSpread spread;
        std::set<std::pair<int, int>> seen;
        for (int i = 0; i < 50; ++i) {
            const MapPosition p = spread.Take(row.place);
            EXPECT_TRUE(p.nX >= 0 && p.nX <= kMapMaxPosition && p.nY >= 0 && p.nY <= kMapMaxPosition) << row.name;
            seen.insert({p.nX, p.nY});
        }
        EXPECT_EQ(seen.size(), 50u) << row.name;
    }
}

TEST(IconSpreadTest, TheFirstIconIsCentredAndOthersStayNear) {
    CIconSpread spread;
    EXPECT_EQ(spread.Take({3, 100, 120}), (MapPosition{84, 104}));
    for (int i = 0; i < 49; ++i) {
        const MapPosition p = spread.Take({3, 100, 120});
        EXPECT_LE(std::abs(p.nX - 84) + std::abs(p.nY - 104), 2 * 60);  // a small spiral, not the whole map
    }
    // Another map has its own free places.
    EXPECT_EQ(spread.Take({4, 100, 120}), (MapPosition{84, 104}));
}

TEST(PalPlacementTest, ANewPalIsPlacedOnlyWithAKnownResidenceAndNoMap) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    const auto tokyo = *FindResidencePlace(Cp932Text("東京都"));
    ASSERT_EQ(app.AddPal(Pal(1, "東京都", "関東", tokyo.nX - 16, tokyo.nY - 16)), 1);

    CPenPal known = Pal(2, "東京都新宿区");
    PlaceNewPal(app, known);
    EXPECT_EQ(known.m_strMapName, Cp932Text("関東"));
    EXPECT_NE((MapPosition{known.m_nMapX, known.m_nMapY}), (MapPosition{tokyo.nX - 16, tokyo.nY - 16}));

    CPenPal unknown = Pal(3, "ひみつ");
    PlaceNewPal(app, unknown);
    EXPECT_EQ(unknown.m_strMapName, "");
    EXPECT_EQ((MapPosition{unknown.m_nMapX, unknown.m_nMapY}), (MapPosition{0, 0}));

    CPenPal chosen = Pal(4, "ロンドン", "九州", 5, 6);  // the user chose a map: kept
    PlaceNewPal(app, chosen);
    EXPECT_EQ(chosen.m_strMapName, Cp932Text("九州"));
    EXPECT_EQ((MapPosition{chosen.m_nMapX, chosen.m_nMapY}), (MapPosition{5, 6}));
}

TEST(PalPlacementTest, PlacingAgainMovesNobody) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    for (int i = 0; i < 30; ++i) ASSERT_EQ(app.AddPal(Pal(i, i % 3 ? "大阪市" : "Paris")), 1);
    ASSERT_EQ(app.AddPal(Pal(99, "不明")), 1);

    const auto first = PlaceStoredPals(app, PalsToPlace(app, false));
    ASSERT_EQ(first.size(), 30u);
    EXPECT_EQ(first[0].strMapName, Cp932Text("世界"));
    EXPECT_EQ(first[1].strMapName, Cp932Text("近畿"));
    EXPECT_TRUE(PalsToPlace(app, false) == std::vector<std::string>{"pal99@example.jp"});

    const auto again = PlaceStoredPals(app, PalsToPlace(app, true));
    ASSERT_EQ(again.size(), 30u);
    for (std::size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].nX, first[i].nX) << i;
        EXPECT_EQ(again[i].nY, first[i].nY) << i;
    }
}

}  // namespace
