#include <gtest/gtest.h>

#include <map>

#include "core/fit_text.h"
#include "core/pal_card.h"
#include "core/pal_commands.h"
#include "core/pal_history.h"
#include "core/pal_list.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const std::string& address, const std::string& map = "", const std::string& age = "") {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strMapName = map;
    if (!age.empty()) pal.m_strAge = age;
    return pal;
}

std::vector<std::string> Addresses(const std::vector<CPenPal>& pals) {
    std::vector<std::string> out;
    for (const CPenPal& pal : pals) out.push_back(pal.m_strMailAddress);
    return out;
}

class PalListTest : public testing::Test {
protected:
    void Add(const CPenPal& pal) { ASSERT_EQ(app.AddPal(pal), 1); }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(PalListTest, MapFilterListsOnlyPalsWhoseMapNameIsExactlyTheMapShown) {
    const std::string kanto = Sjis("関東");
    Add(Pal("a@x", kanto));
    Add(Pal("b@x", kanto + " "));  // one byte more
    Add(Pal("c@x", ""));
    Add(Pal("d@x", Sjis("九州")));
    Add(Pal("e@x", kanto));
    app.m_strCurrentMap = kanto;

    app.m_bListAllPals = false;
    EXPECT_EQ(Addresses(ListedPals(app)), (std::vector<std::string>{"a@x", "e@x"}));
    app.m_bListAllPals = true;
    EXPECT_EQ(Addresses(ListedPals(app)), (std::vector<std::string>{"a@x", "b@x", "c@x", "d@x", "e@x"}));
}

TEST_F(PalListTest, OneSortDirectionForAllColumnsFlipsAfterEveryClick) {
    Add(Pal("b@x", "", Sjis("２")));
    Add(Pal("a@x", "", Sjis("１０")));
    Add(Pal("c@x", "", Sjis("３")));
    CPalListSorter sorter;

    sorter.SortByColumn(app, 3);  // ages, ascending, as text: "１０" before "２"
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"a@x", "b@x", "c@x"}));
    sorter.SortByColumn(app, 4);  // addresses, now descending
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"c@x", "b@x", "a@x"}));
    sorter.SortByColumn(app, 4);  // the same column again: ascending
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"a@x", "b@x", "c@x"}));
    EXPECT_FALSE(sorter.NextAscending());
}

TEST_F(PalListTest, MapColumnSortsByMapName) {
    Add(Pal("a@x", Sjis("世界")));  // 0x90A2...
    Add(Pal("b@x", Sjis("九州")));  // 0x8BE3...
    CPalListSorter sorter;
    sorter.SortByColumn(app, 5);
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"b@x", "a@x"}));
}

TEST(PalCommandStates, FollowTheSelectionAndTheTableSize) {
    struct Row {
        const char* name;
        int selected, pals;
        bool add, del, one, several, send;
    } rows[] = {
        {"nothing selected", 0, 3, true, false, false, false, false},
        {"one selected", 1, 3, true, true, true, false, true},
        {"two selected", 2, 3, true, true, false, true, true},
        {"table one short of full", 0, 499, true, false, false, false, false},
        {"table full", 1, 500, false, true, true, false, true},
    };
    for (const Row& row : rows) {
        const PalCommandStates s = PalCommandStatesFor(row.selected, row.pals);
        EXPECT_EQ(s.addPal, row.add) << row.name;
        EXPECT_EQ(s.deletePals, row.del) << row.name;
        EXPECT_EQ(s.editOne, row.one) << row.name;
        EXPECT_EQ(s.editSeveral, row.several) << row.name;
        EXPECT_EQ(s.sendMail, row.send) << row.name;
    }
}

// One pixel per byte, so a double-byte character is two pixels wide.
int ByteWidth(std::string_view text) { return static_cast<int>(text.size()); }

TEST(FitTextToWidth, ShortensToTheLongestFittingPrefixOnCharacterBoundaries) {
    const std::string kana = Sjis("あいうえお");  // 10 bytes
    struct Row {
        const char* name;
        std::string text;
        int width;
        std::string expected;
    } rows[] = {
        {"empty text", "", 0, ""},
        {"fits with the margin", "abcdef", 16, "abcdef"},
        {"one pixel short", "abcdef", 15, "ab..."},
        {"cut between ascii bytes", "abcdefghij", 18, "abcde..."},
        {"cut never splits a double-byte character", kana, 18, Sjis("あい") + "..."},
        {"odd room still ends on a boundary", kana, 19, Sjis("あいう") + "..."},
        {"nothing fits keeps the first character", kana, 3, Sjis("あ") + "..."},
        {"mixed text", "a" + kana, 16, "a" + Sjis("あ") + "..."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utf8(FitTextToWidth(row.text, row.width, 10, ByteWidth)), Utf8(row.expected)) << row.name;
}

class PalCommandsTest : public PalListTest {};

TEST_F(PalCommandsTest, DeletingThreeSelectedPalsAsksOnceWithThreeAndRefreshesOnce) {
    for (const char* address : {"a@x", "b@x", "c@x", "d@x"}) Add(Pal(address));
    ui.selectedAddresses = {"a@x", "c@x", "d@x"};
    ui.yesNoAnswers = {true};
    DeleteSelectedPals(app);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"question:  3 名のメールフレンドを削除しますか？", "list", "map"}));
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"b@x"}));
}

TEST_F(PalCommandsTest, AnsweringNoDeletesNothing) {
    CPenPal pal = Pal("a@x");
    pal.m_strHandleName = Sjis("ゆきうさぎ");
    Add(pal);
    ui.selectedAddresses = {"a@x"};
    ui.yesNoAnswers = {false};
    DeleteSelectedPals(app);
    EXPECT_EQ(app.GetPalCount(), 1);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"question: 「ゆきうさぎ」を削除しますか？"})) << "one pal is named";
}

TEST_F(PalCommandsTest, EditOneStoresTheDialogsRecordOnOk) {
    Add(Pal("a@x"));
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode mode) {
        EXPECT_EQ(mode, PalInfoMode::EditOne);
        pal.m_strName = "Taro";
        return true;
    });
    EditSelectedPal(app, "a@x");
    EditSelectedPal(app, "nobody@x");  // opens nothing
    CPenPal stored;
    ASSERT_EQ(app.FindPalByAddress("a@x", stored), 1);
    EXPECT_EQ(stored.m_strName, "Taro");
    EXPECT_EQ(ui.events, (std::vector<std::string>{"edit pal", "list", "map"}));
}

TEST_F(PalCommandsTest, AddByHandAddsOnOkOnly) {
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode mode) {
        EXPECT_EQ(mode, PalInfoMode::AddNew);
        pal.m_strMailAddress = "new@x";
        return true;
    });
    AddPalByHand(app);
    AddPalByHand(app);  // cancelled
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"new@x"}));
    EXPECT_EQ(ui.events, (std::vector<std::string>{"edit pal", "list", "map", "edit pal"}));
}

// The records beside the table, as the archive keeps them.
class FakeRecords : public CPalHistory, public CPalCardStore {
public:
    std::map<std::string, PalCard> cards;
    void MailTakenIn(const CPenPal*, const CPenPal&, const char*) override {}
    void AddressChanged(const std::string&, const std::string&) override {}
    bool HasMails(const std::string&) override { return false; }
    void PalDeleted(const std::string&, bool) override {}
    std::optional<PalCard> ReadCard(const std::string& address) override {
        const auto it = cards.find(address);
        return it == cards.end() ? std::nullopt : std::optional<PalCard>(it->second);
    }
    bool WriteCard(const std::string& address, const PalCard& card) override {
        cards[address] = card;
        return true;
    }
};

TEST_F(PalListTest, NameColumnsSortByReadingInKanaOrderWhereOneIsKept) {
    FakeRecords records;
    app.SetHistory(&records);
    for (const char* address : {"kato@x", "abe@x", "ueda@x", "none@x"}) Add(Pal(address));
    const auto reading = [](const char* family) {
        PalCard card;
        card.readingFamily = family;
        return card;
    };
    records.cards = {{"kato@x", reading("カトウ")}, {"abe@x", reading("あべ")}, {"ueda@x", reading("ウエダ")}};
    CPalListSorter sorter;
    sorter.SortByColumn(app, 1);  // katakana and hiragana in one order; no reading sorts by the name ("")
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"none@x", "abe@x", "ueda@x", "kato@x"}));
    sorter.SortByColumn(app, 4);  // the address column sorts as before
    sorter.SortByColumn(app, 4);
    EXPECT_EQ(Addresses(app.Pals()), (std::vector<std::string>{"abe@x", "kato@x", "none@x", "ueda@x"}));
    app.SetHistory(nullptr);
}

}  // namespace
