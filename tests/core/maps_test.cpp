#include "core/maps.h"

#include <gtest/gtest.h>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

TEST(MapNames, AreTheProgramsTextsInCodePage932) {
    for (int i = 0; i < kMapCount; ++i) {
        EXPECT_EQ(g_apszMapNames[i], Cp932Text(texts::kMapNames[i])) << texts::kMapNames[i];
        EXPECT_EQ(FindMapIndex(g_apszMapNames[i]), i) << texts::kMapNames[i];
    }
}

TEST(MapNames, LookupIsByteExact) {
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"prefix of a name", Sjis("北海")},
        {"a name with more after it", Sjis("世界 ")},
        {"the name in UTF-8", "関東"},
        {"half of a double-byte character", std::string(g_apszMapNames[2], 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(FindMapIndex(c.text), -1) << c.name;
}

class MapChoiceTest : public testing::Test {
protected:
    FakeUserInterface ui;
    CYubinoApp app{ui};
    CMapChoice choice;
};

TEST_F(MapChoiceTest, FirstChoiceAppliesAndTheSameChoiceAgainDoesNothing) {
    app.m_bListAllPals = true;
    EXPECT_EQ(choice.Apply(app, 2), (MapChoiceRefresh{true, false}));
    EXPECT_EQ(app.m_nCurrentMap, 2);
    EXPECT_EQ(app.m_strCurrentMap, Sjis("関東"));
    EXPECT_EQ(choice.Apply(app, 2), MapChoiceRefresh{});
}

TEST_F(MapChoiceTest, ListShowingTheMapsPalsIsRefilled) {
    app.m_bListAllPals = false;
    choice.Apply(app, 2);
    EXPECT_EQ(choice.Apply(app, 8), (MapChoiceRefresh{true, true}));
    EXPECT_EQ(app.m_nCurrentMap, 8);
    EXPECT_EQ(app.m_strCurrentMap, Sjis("世界"));
}

TEST_F(MapChoiceTest, NoEntryChosenKeepsTheMapShown) {
    choice.Apply(app, 4);
    for (int index : {-1, 9, 1000}) {
        EXPECT_EQ(choice.Apply(app, index), MapChoiceRefresh{}) << index;
        EXPECT_EQ(app.m_nCurrentMap, 4) << index;
        EXPECT_EQ(app.m_strCurrentMap, Sjis("近畿")) << index;
    }
}

}  // namespace
