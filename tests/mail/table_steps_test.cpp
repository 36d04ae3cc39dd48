// Every command that changes the pal table leaves one undo step: undoing it gives back the
// table (and the saved file's bytes) of before, redoing it those of after.
#include "core/table_steps.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/map_icons.h"
#include "core/pal_commands.h"
#include "core/pal_list.h"
#include "core/yubino_app.h"
#include "mail/mail_intake.h"
#include "storage/address_book_import.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const std::string& address, const std::string& handleUtf8, int x = 10) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = Sjis(handleUtf8);
    pal.m_strMapName = Sjis("関東");
    pal.m_nMapX = x;
    pal.m_strLastMailText = "old mail";
    return pal;
}

std::string Mail(const std::string& address) {
    return Sjis("送信者 : \"New\" <" + address +
                ">\r\n宛先 : me@example.jp\r\n件名 : hi\r\n日時 :  2024年 5月 6日 21:04\r\n\r\nbody");
}

struct StepCase {
    const char* name;
    std::function<void(CYubinoApp&, FakeUserInterface&)> run;
    const char* stepName;  // UTF-8; nullptr: no step
};

const StepCase kStepCases[] = {
    {"add by hand",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) {
             pal.m_strHandleName = Sjis("はなこ");
             pal.m_strMailAddress = "hanako@example.jp";
             return true;
         });
         AddPalByHand(app);
     },
     "「はなこ」を追加"},
    {"edit one",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) { return pal.m_strJob = "x", true; });
         EditSelectedPal(app, "yuki@example.jp");
     },
     "「ゆきうさぎ」を編集"},
    {"edit one, giving a new address",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         // The dialog moves the pal to its new address itself, as the real one does at OK.
         ui.palDialogs.push_back([&app](CPenPal& pal, PalInfoMode) {
             app.ChangePalAddress(pal.m_strMailAddress, "new@example.jp");
             pal.m_strMailAddress = "new@example.jp";
             return true;
         });
         EditSelectedPal(app, "yuki@example.jp");
     },
     "「ゆきうさぎ」を編集"},
    {"edit cancelled", [](CYubinoApp& app, FakeUserInterface&) { EditSelectedPal(app, "yuki@example.jp"); }, nullptr},
    {"multiple edit of three",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.selectedAddresses = {"a@example.jp", "yuki@example.jp", "c@example.jp"};
         ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) { return pal.m_strHobby = "tennis", true; });
         EditSelectedPals(app);
     },
     "3人を編集"},
    {"delete one",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.selectedAddresses = {"yuki@example.jp"};
         ui.yesNoAnswers.push_back(true);
         DeleteSelectedPals(app);
     },
     "「ゆきうさぎ」を削除"},
    {"delete the first and the last",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.selectedAddresses = {"a@example.jp", "d@example.jp"};
         ui.yesNoAnswers.push_back(true);
         DeleteSelectedPals(app);
     },
     "2人を削除"},
    {"drag on the map", [](CYubinoApp& app, FakeUserInterface&) { MovePalOnMap(app, "c@example.jp", 30, -5); },
     "「しろ」をマップで移動"},
    {"mail from a known sender", [](CYubinoApp& app, FakeUserInterface&) { AddMailText(app, Mail("yuki@example.jp")); },
     "「ゆきうさぎ」のメールを取り込み"},
    {"mail from a new sender",
     [](CYubinoApp& app, FakeUserInterface& ui) {
         ui.palDialogs.push_back([](CPenPal&, PalInfoMode) { return true; });
         AddMailText(app, Mail("newcomer@example.jp"));
     },
     "「New」のメールを取り込み"},
    {"import of two",
     [](CYubinoApp& app, FakeUserInterface&) {
         ImportAddressBookEntries(
             app, {{Sjis("いち"), "one@example.jp"}, {Sjis("に"), "two@example.jp"}, {Sjis("重複"), "a@example.jp"}});
     },
     "2人をインポート"},
    {"sort by handle name",
     [](CYubinoApp& app, FakeUserInterface&) {
         CPalListSorter sorter;
         sorter.SortByColumn(app, 0);
     },
     "「ﾊﾝﾄﾞﾙﾈｰﾑ」で並べ替え"},
};

class TableStepTest : public testing::TestWithParam<StepCase> {
protected:
    void SetUp() override {
        for (const CPenPal& pal :
             {Pal("a@example.jp", "あお"), Pal("yuki@example.jp", "ゆきうさぎ"), Pal("b@example.jp", "くろ"),
              Pal("c@example.jp", "しろ"), Pal("d@example.jp", "みどり")})
            ASSERT_EQ(app.AddPal(pal), 1);
        app.SetStepSink([this](PalTableStep&& step) { steps.push_back(std::move(step)); });
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    std::vector<PalTableStep> steps;
};

TEST_P(TableStepTest, UndoAndRedoGiveBackTheSameBytes) {
    const StepCase& c = GetParam();
    const std::string before = WritePalData(app);
    c.run(app, ui);
    const std::string after = WritePalData(app);
    if (!c.stepName) {
        EXPECT_TRUE(steps.empty());
        EXPECT_EQ(after, before);
        return;
    }
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(Utf8(steps[0].name), c.stepName);
    ASSERT_NE(after, before);
    for (int round = 0; round < 2; ++round) {
        UndoStep(app, steps[0]);
        EXPECT_EQ(WritePalData(app), before);
        RedoStep(app, steps[0]);
        EXPECT_EQ(WritePalData(app), after);
    }
    EXPECT_EQ(steps.size(), 1u) << "undo and redo record no steps of their own";
}

INSTANTIATE_TEST_SUITE_P(Commands, TableStepTest, testing::ValuesIn(kStepCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(*p) ? *p : '_';
    return name;
});

// Steps undone in reverse order lead back through every earlier table.
TEST(TableSteps, RandomChangesUndoneInReverse) {
    std::mt19937 random(17);
    FakeUserInterface ui;
    CYubinoApp app(ui);
    std::vector<std::vector<CPenPal>> tables{app.Pals()};
    std::vector<PalTableStep> steps;
    for (int n = 0; n < 200; ++n) {
        std::vector<CPenPal> next = tables.back();
        const int action = static_cast<int>(random() % 3);
        if (action == 0 || next.empty()) {
            next.insert(next.begin() + static_cast<long>(random() % (next.size() + 1)),
                        Pal("p" + std::to_string(n) + "@example.jp", "p"));
        } else if (action == 1) {
            next.erase(next.begin() + static_cast<long>(random() % next.size()));
        } else {
            next[random() % next.size()].m_nMapX = static_cast<int>(random() % 368);
        }
        steps.push_back(DiffTables(tables.back(), next));
        RedoStep(app, steps.back());
        ASSERT_EQ(app.Pals(), next) << "step " << n;
        tables.push_back(next);
    }
    for (std::size_t k = steps.size(); k-- > 0;) {
        UndoStep(app, steps[k]);
        ASSERT_EQ(app.Pals(), tables[k]) << "undo of step " << k;
    }
}

TEST(TableSteps, ChangesSeenByAddress) {
    const std::vector<CPenPal> before{Pal("a@x", "a"), Pal("b@x", "b"), Pal("c@x", "c")};
    std::vector<CPenPal> after{Pal("c@x", "c", 99), Pal("a@x", "a"), Pal("d@x", "d")};
    const PalTableDiff diff = ComparePalTables(before, after);
    ASSERT_EQ(diff.added.size(), 1u);
    EXPECT_EQ(diff.added[0].m_strMailAddress, "d@x");
    ASSERT_EQ(diff.removed.size(), 1u);
    EXPECT_EQ(diff.removed[0].m_strMailAddress, "b@x");
    ASSERT_EQ(diff.changed.size(), 1u);
    EXPECT_EQ(diff.changed[0].second.m_nMapX, 99);
}

}  // namespace
