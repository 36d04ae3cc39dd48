// The archive in the main window: the correspondence pane, the reply queue pane, the
// search field and "返事を書いた", on a real data file and its archive.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <QUrlQuery>

#include "archive/pal_archive.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/reply_link.h"
#include "main_window_fixture.h"
#include "modal.h"
#include "screenshot.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "support/test_mail.h"
#include "ui/dialogs/pal_quiet_days_dlg.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/mail_edit_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/main/yubino_view.h"

namespace fs = std::filesystem;

namespace {

using main_window_fixture::FramePort;

CPenPal Pal(const std::string& address, const std::string& handleUtf8, const std::string& lastMailUtf8,
            COleDateTime last) {
    CPenPal pal;
    pal.m_strMailAddress = address;
    pal.m_strHandleName = Sjis(handleUtf8);
    pal.m_strMapName = Sjis("関東");
    pal.m_strLastMailText = Sjis(lastMailUtf8);
    pal.m_dtLastMail = last;
    pal.m_nMapX = 100 + static_cast<int>(address[0] - 'a') * 60;
    pal.m_nMapY = 180;
    return pal;
}

// A date-time `days` before today, so that the queue's days stay the same whenever the test runs.
std::string DaysAgo(int days, const char* time = "T10:00:00") {
    return CalendarDay{CalendarDay::Today().number - days}.Format() + time;
}

COleDateTime OleDaysAgo(int days) {
    const std::string date = DaysAgo(days);
    return COleDateTime(std::stoi(date.substr(0, 4)), std::stoi(date.substr(5, 2)), std::stoi(date.substr(8, 2)), 9, 0,
                        0);
}

MailRecord Mail(const std::string& pal, MailDirection direction, const std::string& date, const std::string& subject,
                const std::string& body) {
    return TestMail(pal, direction, date, subject, body);
}

class ArchivePanesTest : public testing::Test {
protected:
    void SetUp() override {
        FakeUserInterface quiet;
        CYubinoApp source(quiet);
        source.AddPal(Pal("aki@example.jp", "あき", "こんにちは、アキです。\r\b元気ですか？", OleDaysAgo(17)));
        source.AddPal(Pal("bun@example.jp", "ブン", "ラーメンを食べました", OleDaysAgo(128)));
        source.AddPal(Pal("chi@example.jp", "ちー", "", COleDateTime(2026, 1, 1)));
        WriteFileBytes(dataFile, WritePalData(source));
        WriteFileBytes(dir / "yubino.cfg", dataFile.string());
        frame = std::make_unique<CMainFrame>(app, nullptr, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
        ui.host = frame.get();
        frame->resize(1000, 760);
        frame->show();
        frame->Start();
        EXPECT_FALSE(fs::exists(dir / "friends.mails.sqlite")) << "start-up leaves the archive for its first use";
        frame->Archive().TakeIn(
            {Mail("aki@example.jp", MailDirection::Sent, DaysAgo(16), "Re: 元気です",
                  "お返事ありがとう。\nまた書きます。"),
             Mail("aki@example.jp", MailDirection::Received, DaysAgo(66, "T08:00:00"), "旅行", "京都に行きました。")});
    }
    CYubinoView& List() { return *frame->GetListView(); }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const CPenPal& pal : List().Model().Rows()) rows.push_back(pal.m_strMailAddress);
        return rows;
    }
    void Select(const std::string& address) { frame->SelectPal(address); }
    std::vector<std::string> ListColumn(QTreeWidget* list, int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts.push_back(list->topLevelItem(i)->text(column).toStdString());
        return texts;
    }
    void Screenshot(const QString& name) { SaveScreenshot(*frame, name); }

    TempDir dir;
    fs::path dataFile = dir / "friends.ybf";
    FramePort ui;
    CYubinoApp app{ui};
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ArchivePanesTest, CorrespondencePaneShowsBothWaysByDateAndKeepsTheLastReceivedMailText) {
    Select("aki@example.jp");
    QTextEdit* conversation = frame->Correspondence()->ConversationText();
    ASSERT_TRUE(conversation->isVisible());
    // The mail of 66 days ago, the table's last mail of 17 days ago, the answer of 16 days ago.
    const QString text = conversation->toPlainText();
    const qsizetype travel = text.indexOf(QStringLiteral("京都に行きました。"));
    const qsizetype last = text.indexOf(QStringLiteral("こんにちは、アキです。\n元気ですか？"));
    const qsizetype answer = text.indexOf(QStringLiteral("お返事ありがとう。\nまた書きます。"));
    EXPECT_TRUE(travel >= 0 && travel < last && last < answer) << text.toStdString();
    EXPECT_EQ(frame->GetMailEditView()->toPlainText(), QStringLiteral("こんにちは、アキです。\n元気ですか？"));
    Screenshot(QStringLiteral("correspondence-pane"));

    Select("chi@example.jp");  // no mail at all
    EXPECT_FALSE(conversation->isVisible());
    EXPECT_EQ(frame->GetMailEditView()->toPlainText(), QString());
}

TEST_F(ArchivePanesTest, SearchFiltersTheListAndTheMapByPalTextAndMailsAndEscapeClearsIt) {
    QLineEdit* search = frame->SearchField();
    const struct {
        const char* typed;
        std::vector<std::string> rows;
    } cases[] = {{"ﾌﾞﾝ", {"bun@example.jp"}},
                 {"きょうと", {}},  // two characters of a mail the trigram index does not answer
                 {"京都", {"aki@example.jp"}},
                 {"ＣＨＩ@", {"chi@example.jp"}},
                 {"らーめん", {"bun@example.jp"}},
                 {"%", {}}};
    for (const auto& c : cases) {
        search->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(Rows(), c.rows) << c.typed;
    }
    search->setText(QStringLiteral("元気"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"aki@example.jp"}));
    Select("aki@example.jp");
    EXPECT_FALSE(frame->Correspondence()->ConversationText()->extraSelections().isEmpty()) << "the hits are marked";
    Screenshot(QStringLiteral("search"));
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(Rows().size(), 3u);
}

TEST_F(ArchivePanesTest, ReplyQueuePaneListsWaitingAndQuietAndADoubleClickSelectsThePal) {
    frame->Action(ID_VIEW_REPLY_QUEUE)->trigger();
    CReplyQueuePane* pane = frame->QueuePane();
    ASSERT_TRUE(pane->isVisible());
    EXPECT_TRUE(pane->WaitingList()->isVisible()) << "the lists, made at the first show, show with the pane";
    // aki answered 16 days ago; bun's mail of 128 days ago waits and has gone quiet; chi has no mail.
    EXPECT_EQ(ListColumn(pane->WaitingList(), 1), std::vector<std::string>{"bun@example.jp"});
    EXPECT_EQ(ListColumn(pane->QuietList(), 1), std::vector<std::string>{"bun@example.jp"});
    QTreeWidgetItem* bun = pane->WaitingList()->topLevelItem(0);
    emit pane->WaitingList()->itemDoubleClicked(bun, 0);
    EXPECT_EQ(List().SelectedAddresses(), std::vector<std::string>{"bun@example.jp"});
    Screenshot(QStringLiteral("reply-queue"));

    frame->Action(ID_MARK_ANSWERED)->trigger();
    EXPECT_EQ(pane->WaitingList()->topLevelItemCount(), 0);
    EXPECT_EQ(pane->QuietList()->topLevelItemCount(), 0);
    EXPECT_TRUE(frame->Correspondence()->ConversationText()->toPlainText().contains(
        QString::fromUtf8(texts::kConversationAnsweredNote)));
}

TEST_F(ArchivePanesTest, APalsOwnDaysUntilQuietAreSetFromTheQueuesContextMenu) {
    frame->Action(ID_VIEW_REPLY_QUEUE)->trigger();
    CReplyQueuePane* pane = frame->QueuePane();
    // bun waits for an answer throughout, so it is chosen in the waiting list.
    pane->findChild<QTabWidget*>()->setCurrentWidget(pane->WaitingList());
    ASSERT_EQ(ListColumn(pane->QuietList(), 1), std::vector<std::string>{"bun@example.jp"});
    const struct {
        bool own;
        int days;
        std::vector<std::string> quiet;
    } steps[] = {{true, 200, {}}, {true, 100, {"bun@example.jp"}}, {false, 200, {"bun@example.jp"}}};
    for (const auto& step : steps) {
        pane->WaitingList()->setCurrentItem(pane->WaitingList()->topLevelItem(0));
        WhenModalOpens([&step](QWidget* modal) {
            auto* dialog = qobject_cast<CPalQuietDaysDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->OwnBox()->setChecked(step.own);
            if (step.own) dialog->DaysBox()->setValue(step.days);
            dialog->accept();
        });
        pane->QuietDaysAction()->trigger();
        EXPECT_EQ(ListColumn(pane->QuietList(), 1), step.quiet) << step.days;
    }
    EXPECT_EQ(frame->Archive().Archive()->PalQuietDays("bun@example.jp").value, std::nullopt);
}

// The handed-off URL's fields, decoded as a mail program decodes them.
struct HandedOff {
    QString to, subject, body;
};

HandedOff Decode(const std::string& target) {
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(target), QUrl::StrictMode);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto")) << target;
    const QUrlQuery query(url);
    return {url.path(QUrl::FullyDecoded), query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
            query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded)};
}

TEST_F(ArchivePanesTest, EnterInTheQueueWritesTheReplyAndAnsweredAndLaterAreUndone) {
    frame->Archive().TakeIn({Mail("bun@example.jp", MailDirection::Received, DaysAgo(3), "Re: RE[2]: 週末",
                                  "週末は & 温泉に=行きます。\n#またね")});
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get())) << "keys reach the focused list of an active window";
    frame->Action(ID_VIEW_REPLY_QUEUE)->trigger();
    CReplyQueuePane* pane = frame->QueuePane();
    QTreeWidget* waiting = pane->WaitingList();
    ASSERT_EQ(ListColumn(waiting, 1), std::vector<std::string>{"bun@example.jp"});
    const QRect bunRow = waiting->visualItemRect(waiting->topLevelItem(0));
    QTest::mouseClick(waiting->viewport(), Qt::LeftButton, {}, bunRow.center());
    EXPECT_EQ(List().SelectedAddresses(), std::vector<std::string>{"bun@example.jp"}) << "one click selects the pal";

    waiting->setFocus();
    QTest::keyClick(waiting, Qt::Key_Return);
    ASSERT_EQ(ui.shellTargets.size(), 1u);
    const HandedOff reply = Decode(ui.shellTargets.front());
    EXPECT_EQ(reply.to, QStringLiteral("bun@example.jp"));
    EXPECT_EQ(reply.subject, QStringLiteral("Re: 週末"));
    const int month = std::stoi(CalendarDay::Today().Format().substr(5, 2));
    EXPECT_EQ(reply.body, QStringLiteral("ブンさん\r\n\r\n") +
                              QString::fromUtf8(kSeasonalGreetings[static_cast<std::size_t>(month - 1)]) +
                              QStringLiteral("\r\n\r\n> 週末は & 温泉に=行きます。\r\n> #またね\r\n"));
    QTest::keyClick(frame.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(ui.shellTargets.size(), 2u) << "Ctrl+R writes to the pal selected in the list";

    // 返事を書いた asks nothing and is one step back.
    ui.events.clear();
    pane->AnsweredAction()->trigger();
    EXPECT_EQ(waiting->topLevelItemCount(), 0);
    EXPECT_EQ(std::count_if(ui.events.begin(), ui.events.end(),
                            [](const std::string& e) { return e.starts_with("question"); }),
              0);
    EXPECT_EQ(frame->Action(ID_EDIT_UNDO)->text(), QStringLiteral("元に戻す(&U): 返事を書いた (ブン)"));
    frame->Action(ID_EDIT_UNDO)->trigger();
    ASSERT_EQ(ListColumn(waiting, 1), std::vector<std::string>{"bun@example.jp"});
    frame->Action(ID_EDIT_REDO)->trigger();
    EXPECT_EQ(waiting->topLevelItemCount(), 0);
    frame->Action(ID_EDIT_UNDO)->trigger();

    // あとで: a week off, shown in the list, kept in the archive, undone.
    waiting->setCurrentItem(waiting->topLevelItem(0));
    pane->SnoozeActions().at(1)->trigger();
    const CalendarDay week{CalendarDay::Today().number + 7};
    ASSERT_EQ(waiting->topLevelItemCount(), 1);
    EXPECT_TRUE(waiting->topLevelItem(0)->text(2).contains(
        QString::fromStdString(week.Format()).replace(QLatin1Char('-'), QLatin1Char('/'))))
        << waiting->topLevelItem(0)->text(2).toStdString();
    ASSERT_TRUE(frame->Archive().SnoozedUntil("bun@example.jp").has_value());
    EXPECT_EQ(frame->Archive().SnoozedUntil("bun@example.jp")->number, week.number);
    Screenshot(QStringLiteral("reply-queue-later"));
    frame->Action(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(frame->Archive().SnoozedUntil("bun@example.jp"), std::nullopt);
    EXPECT_FALSE(waiting->topLevelItem(0)->text(2).contains(QStringLiteral("あとで")));
}

}  // namespace
