// The search field finds mails: a user types a search into the real window, reads the
// results, opens a mail with its hits marked and steps through them with F3.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "archive/pal_archive.h"
#include "core/texts.h"
#include "main_window_fixture.h"
#include "screenshot.h"
#include "support/test_mail.h"
#include "ui/main/mail_hit_view.h"
#include "ui/main/mail_search_pane.h"

namespace {

using namespace main_window_fixture;

class MailSearchGuiTest : public MainWindowTest {
protected:
    void SetUp() override {
        StartWith({Pal("yuki@example.jp", Sjis("ゆきうさぎ"), "関東"), Pal("hana@example.jp", Sjis("はな"), "近畿"),
                   Pal("kaze@example.jp", Sjis("かぜ"), "世界")});
        frame->resize(1100, 800);
        frame->Archive().TakeIn({
            TestMail("yuki@example.jp", MailDirection::Received, "2026-10-01T09:00:00", "紅葉狩り",
                     "京都の紅葉がきれいでした。\n来週も紅葉を見に行きます。\nまた書きますね。"),
            TestMail("yuki@example.jp", MailDirection::Sent, "2026-10-05T21:00:00", "Re: 紅葉狩り",
                     "いいですね！\n東京の紅葉はまだです。"),
            TestMail("hana@example.jp", MailDirection::Received, "2025-11-20T12:00:00", "秋",
                     "ｺｳﾖｳの写真を送ります。紅葉です。"),
            TestMail("kaze@example.jp", MailDirection::Received, "2026-09-01T08:00:00", "夏", "海に行きました。"),
        });
        ui.events.clear();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000)) << "keys reach an active window";
    }
    void Type(const QString& text) {
        QTest::keyClick(frame.get(), Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(frame->SearchField()->hasFocus()) << "Ctrl+F goes to the search field";
        // Japanese comes from the input method, which commits what the user converted.
        QInputMethodEvent committed;
        committed.setCommitString(text);
        QApplication::sendEvent(frame->SearchField(), &committed);
    }
    CMailSearchPane& Pane() { return *frame->MailSearch(); }
    CMailHitView& View() { return *Pane().MailView(); }
    // "date pal direction subject | snippet" of each result.
    std::vector<std::string> Results() {
        std::vector<std::string> rows;
        QTreeWidget* results = Pane().Results();
        for (int i = 0; i < results->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = results->topLevelItem(i);
            rows.push_back(QStringList{item->text(0), item->text(1), item->text(2), item->text(3), QStringLiteral("|"),
                                       item->text(4)}
                               .join(QLatin1Char(' '))
                               .toStdString());
        }
        return rows;
    }
    // The marked parts of the mail shown, the current one in brackets.
    std::vector<std::string> Marks() {
        std::vector<std::string> marks;
        const QList<QTextEdit::ExtraSelection> selections = View().TextView()->extraSelections();
        for (int i = 0; i < selections.size(); ++i) {
            const QString text = selections[i].cursor.selectedText();
            marks.push_back((i == View().CurrentHit() ? QStringLiteral("[%1]").arg(text) : text).toStdString());
        }
        return marks;
    }
    void Screenshot(const QString& name) { SaveScreenshot(Pane(), name); }
};

TEST_F(MailSearchGuiTest, TypedSearchListsTheMailsAndTheChosenOneShowsItsHitsWhichF3StepsThrough) {
    Type(QStringLiteral("紅葉"));
    ASSERT_NE(frame->MailSearch(), nullptr);
    ASSERT_TRUE(Pane().isVisible());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"yuki@example.jp", "hana@example.jp"})) << "the pal list narrows too";
    EXPECT_EQ(Results(),
              (std::vector<std::string>{
                  "2026/10/05 21:00 ゆきうさぎ 送信 Re: 紅葉狩り | いいですね！ 東京の紅葉はまだです。",
                  "2026/10/01 09:00 ゆきうさぎ 受信 紅葉狩り | 京都の紅葉がきれいでした。 来週も紅葉を見に行きます。 "
                  "また書きますね。",
                  "2025/11/20 12:00 はな 受信 秋 | ｺｳﾖｳの写真を送ります。紅葉です。",
              }));
    EXPECT_EQ(Pane().Summary()->text(), QStringLiteral("3 通"));

    // The user goes down to the mail of 1 October: subject and body hits are marked.
    QTest::keyClick(frame->SearchField(), Qt::Key_Return);
    QTreeWidget* results = Pane().Results();
    ASSERT_TRUE(results->hasFocus()) << "Enter in the search field goes on to the results";
    QTest::keyClick(results, Qt::Key_Down);
    ASSERT_EQ(results->currentItem(), results->topLevelItem(1));
    EXPECT_TRUE(View().TextView()->toPlainText().startsWith(
        QStringLiteral("日時: 2026/10/01 09:00\n相手: ゆきうさぎ <yuki@example.jp> (受信)\n件名: 紅葉狩り\n\n京都の")));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"[紅葉]", "紅葉", "紅葉"}));
    Screenshot(QStringLiteral("mail-search"));

    QTest::keyClick(results, Qt::Key_F3);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"紅葉", "[紅葉]", "紅葉"}));
    EXPECT_EQ(View().TextView()->textCursor().position(),
              View().TextView()->toPlainText().indexOf(QStringLiteral("紅葉がきれい")))
        << "the view goes to the current hit";
    QTest::keyClick(results, Qt::Key_F3);
    QTest::keyClick(results, Qt::Key_F3);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"[紅葉]", "紅葉", "紅葉"})) << "round from the last to the first";
    QTest::keyClick(results, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"紅葉", "紅葉", "[紅葉]"}));
    QTest::mouseClick(View().PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(Marks(), (std::vector<std::string>{"紅葉", "[紅葉]", "紅葉"}));

    // Half-width kana of another mail is marked as the user wrote it.
    results->setCurrentItem(results->topLevelItem(2));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"[紅葉]"}));
    frame->SearchField()->setText(QStringLiteral("こうよう"));
    EXPECT_EQ(Marks(), (std::vector<std::string>{"[ｺｳﾖｳ]"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MailSearchGuiTest, FiltersNarrowTheResultsByPalDirectionAndPeriod) {
    Type(QStringLiteral("紅葉"));
    auto dates = [this] {
        std::vector<std::string> dates;
        for (const std::string& row : Results()) dates.push_back(row.substr(0, 10));
        return dates;
    };
    Pane().DirectionFilter()->setCurrentIndex(2);  // sent
    EXPECT_EQ(dates(), std::vector<std::string>{"2026/10/05"});
    Pane().DirectionFilter()->setCurrentIndex(1);  // received
    EXPECT_EQ(dates(), (std::vector<std::string>{"2026/10/01", "2025/11/20"}));
    QComboBox* pals = Pane().PalFilter();
    ASSERT_EQ(pals->count(), 3) << "every pal, and the two with hits";
    pals->setCurrentIndex(pals->findText(QStringLiteral("はな")));
    EXPECT_EQ(dates(), std::vector<std::string>{"2025/11/20"});
    pals->setCurrentIndex(0);
    Pane().SinceEdit()->setDate(QDate(2026, 1, 1));
    Pane().UntilEdit()->setDate(QDate(2026, 12, 31));
    EXPECT_EQ(dates().size(), 2u) << "the period counts once it is switched on";
    Pane().PeriodBox()->setChecked(true);
    EXPECT_EQ(dates(), std::vector<std::string>{"2026/10/01"});
    Pane().UntilEdit()->setDate(QDate(2026, 9, 30));
    EXPECT_TRUE(dates().empty());
    EXPECT_EQ(Pane().Summary()->text(), QString::fromUtf8(texts::kSearchNoMail));
}

TEST_F(MailSearchGuiTest, AnySearchTextIsAnsweredInThePaneAndEscapeClosesIt) {
    const struct {
        const char* name;
        QString typed;
        int results;
    } rows[] = {
        {"OneCharacter", QStringLiteral("海"), 1},
        {"TenThousandCharacters", QString(10000, QChar(0x7D05)), 0},
        {"LoneQuote", QStringLiteral("\""), 0},
        {"FtsSyntax", QStringLiteral("紅葉 NEAR(京都 東京) -海 *"), 0},
        {"Parentheses", QStringLiteral("(紅葉)"), 0},
        {"RegularExpression", QStringLiteral("紅.*葉"), 0},
        {"OutsideCodePage932", QStringLiteral("🍁𠮷"), 0},
        {"TwoWordsFullWidthSpace", QStringLiteral("紅葉　京都"), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        frame->SearchField()->setText(row.typed);
        EXPECT_EQ(Pane().Results()->topLevelItemCount(), row.results);
        if (row.results == 0) {
            EXPECT_EQ(Pane().Summary()->text(), QString::fromUtf8(texts::kSearchNoMail));
            EXPECT_EQ(View().TextView()->toPlainText(), QString::fromUtf8(texts::kSearchNoMail));
        }
    }
    EXPECT_TRUE(ui.messages.empty());
    frame->SearchField()->setFocus();
    QTest::keyClick(frame->SearchField(), Qt::Key_Escape);
    EXPECT_FALSE(Pane().isVisible());
    EXPECT_EQ(Rows().size(), 3u);
}

}  // namespace
