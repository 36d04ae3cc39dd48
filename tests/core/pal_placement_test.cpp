#include "core/pal_placement.h"

#include <gtest/gtest.h>

#include <set>

#include "core/maps.h"
#include "core/pal_commands.h"
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

class PlaceSelectedPalsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(app.AddPal(Pal(0, "東京都")), 1);
        ASSERT_EQ(app.AddPal(Pal(1, "Paris", "関東", 5, 5)), 1);
        ASSERT_EQ(app.AddPal(Pal(2, "不明", "関東", 7, 7)), 1);
        ui.selectedAddresses = {"pal0@example.jp", "pal1@example.jp", "pal2@example.jp"};
    }
    CPenPal Stored(int n) const {
        CPenPal pal;
        app.FindPalByAddress("pal" + std::to_string(n) + "@example.jp", pal);
        return pal;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(PlaceSelectedPalsTest, NoToTheQuestionAboutPalsOnAMapChangesNothing) {
    PlaceSelectedPals(app);
    EXPECT_EQ(ui.events, std::vector<std::string>{"question:  1 名はすでにマップに配置されています。\r\n"
                                                  "居住地の場所へ移しますか？"});
    EXPECT_EQ(Stored(0).m_strMapName, "");
    EXPECT_EQ(Stored(1).m_nMapX, 5);
}

TEST_F(PlaceSelectedPalsTest, YesPlacesEveryoneWithAKnownResidence) {
    ui.yesNoAnswers = {true};
    PlaceSelectedPals(app);
    EXPECT_EQ(Stored(0).m_strMapName, Cp932Text("関東"));
    EXPECT_EQ(Stored(1).m_strMapName, Cp932Text("世界"));
    EXPECT_EQ(Stored(2).m_strMapName, Cp932Text("関東"));  // an unknown place keeps the pal where it is
    EXPECT_EQ(Stored(2).m_nMapX, 7);
    EXPECT_EQ(ui.events.back(), "map");
}

TEST_F(PlaceSelectedPalsTest, ResidencesNamingNoPlaceAreTold) {
    ui.selectedAddresses = {"pal2@example.jp"};
    PlaceSelectedPals(app);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, texts::kPlaceNobody);
    EXPECT_EQ(Stored(2).m_nMapX, 7);
}

}  // namespace
