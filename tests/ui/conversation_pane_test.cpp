// The conversation with the selected pal in the main window: it follows the selection,
// keeps its order and size from run to run, reads thousands of mails a page at a time, and
// hands replies and help to the desktop's opener (a stand-in that records the links).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>

#include "archive/pal_archive.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "main_window_fixture.h"
#include "modal.h"
#include "screenshot.h"
#include "stand_in_opener.h"
#include "support/test_mail.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/mail_edit_view.h"
#include "ui/main/main_frame.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"
#include "ui/qt_user_interface.h"

namespace fs = std::filesystem;

namespace {

using main_window_fixture::Pal;
using main_window_fixture::PalFileBytes;

constexpr const char* kYuki = "yuki@example.jp";

MailRecord Mail(const char* pal, MailDirection direction, std::string date, std::string subject,
                std::string body = "本文です。") {
    return TestMail(pal, direction, date, subject, body);
}

// The window as the program runs it: the desktop side of the port is the real one, so
// that links reach the opener on PATH. Messages go to standard error unless a test wants
// its boxes.
class ConversationPaneTest : public testing::Test {
protected:
    void SetUp() override {
        desktop.SetUnattended(true);
        WriteFileBytes(dataFile,
                       PalFileBytes({Pal(kYuki, Sjis("ゆき"), "関東"), Pal("kaze@example.jp", Sjis("かぜ"), "九州"),
                                     Pal("sora@example.jp", Sjis("そら"), "関東")}));
        WriteFileBytes(dir / "yubino.cfg", dataFile.string());
        Run();
        MailRecord received =
            Mail(kYuki, MailDirection::Received, "2026-03-03T08:05:00", "雪だるま", "雪が積もりました。");
        received.from = kYuki;
        received.to = {"me@example.jp"};
        received.attachments = 2;
        frame->Archive().TakeIn({Mail(kYuki, MailDirection::Received, "2026-03-01T09:00:00", "はじめまして"),
                                 Mail(kYuki, MailDirection::Sent, "2026-03-02T21:00:00", "Re: はじめまして"), received,
                                 Mail("kaze@example.jp", MailDirection::Received, "2026-03-02T10:00:00", "風")});
    }
    void Run() {
        frame = std::make_unique<CMainFrame>(app, &desktop, AppPaths{dir / "yubino.cfg", dir / "sample.ybf"});
        frame->LoadWindowState(stateFile);
        frame->resize(1000, 760);
        frame->show();
        frame->Start();
    }
    void RunAgain() {
        ASSERT_TRUE(frame->close());
        frame.reset();
        Run();
    }
    CCorrespondenceView& Pane() { return *frame->Correspondence(); }
    CYubinoView& List() { return *frame->GetListView(); }
    void Select(const std::vector<const char*>& addresses) {
        List().Selection().clearSelection();
        const std::vector<CPenPal>& rows = List().Model().Rows();
        for (const char* address : addresses)
            for (std::size_t row = 0; row < rows.size(); ++row)
                if (rows[row].m_strMailAddress == address)
                    List().Selection().select(List().Model().index(static_cast<int>(row), 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The subjects shown, top to bottom: the line after each "件名: ".
    std::vector<std::string> Subjects() {
        std::vector<std::string> subjects;
        const QStringList lines =
            Pane().ConversationText()->toPlainText().split(QRegularExpression(QStringLiteral("[\n\u2029]")));
        for (int i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == QStringLiteral("件名: ")) subjects.push_back(lines[i + 1].toStdString());
        return subjects;
    }
    void Screenshot(const QString& name) { SaveScreenshot(Pane(), name); }

    TempDir dir;
    fs::path dataFile = dir / "friends.ybf";
    fs::path stateFile = dir / "state" / "window-state";
    CQtUserInterface desktop;
    CYubinoApp app{desktop};
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(ConversationPaneTest, TheConversationAlwaysShowsTheSelectedPalOrSaysHowToChooseOne) {
    const QString choose = QString::fromUtf8(texts::kConversationChoosePal);
    const struct {
        const char* name;
        std::vector<const char*> selected;
        std::vector<std::string> subjects;
        QString notice;
    } rows[] = {
        {"one pal: both ways, newest at the bottom", {kYuki}, {"はじめまして", "Re: はじめまして", "雪だるま"}, {}},
        {"none", {}, {}, choose},
        {"several", {kYuki, "kaze@example.jp"}, {}, choose},
        {"a pal without mail", {"sora@example.jp"}, {}, QStringLiteral("そらさんとのメールはまだありません")},
        {"another pal", {"kaze@example.jp"}, {"風"}, {}},
    };
    for (const auto& row : rows) {
        Select(row.selected);
        EXPECT_EQ(Pane().Notice(), row.notice) << row.name;
        EXPECT_EQ(Pane().ConversationText()->isVisible(), row.notice.isEmpty()) << row.name;
        if (row.notice.isEmpty()) {
            EXPECT_EQ(Subjects(), row.subjects) << row.name;
        }
        EXPECT_EQ(Pane().ReplyButton()->isEnabled(), row.selected.size() == 1) << row.name;
    }

    Select({kYuki});
    const QString text = Pane().ConversationText()->toPlainText();
    for (const char* line : {"差出人: ", "ゆき <yuki@example.jp>", "宛先: ", "me@example.jp", "日付: ",
                             "2026/03/03(火) 08:05", "添付: ", "2個 (保存していません)", "雪が積もりました。"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    Screenshot(QStringLiteral("conversation"));

    // A search refills the list, which ends the selection: the pal is no longer shown.
    frame->SearchField()->setText(QStringLiteral("ゆき"));
    EXPECT_EQ(Pane().Notice(), choose);
    Select({kYuki});
    frame->SearchField()->setText(QStringLiteral("雪だる"));
    Select({kYuki});
    EXPECT_FALSE(Pane().ConversationText()->extraSelections().isEmpty()) << "the hits are marked";
    frame->SearchField()->clear();
    // So does a change of the table the queue follows.
    Select({kYuki});
    frame->Archive().TakeIn({Mail(kYuki, MailDirection::Received, "2026-03-05T08:00:00", "春")});
    desktop.UpdateListView();
    EXPECT_EQ(Pane().Notice(), choose);
}

TEST_F(ConversationPaneTest, TheOrderAndTheSizeOfThePaneComeBackInTheNextRun) {
    Select({kYuki});
    Pane().OrderButton()->click();
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"雪だるま", "Re: はじめまして", "はじめまして"}));
    auto* left = qobject_cast<QSplitter*>(Pane().parentWidget());
    ASSERT_NE(left, nullptr);
    left->setSizes({250, 400});
    const QList<int> sizes = left->sizes();
    RunAgain();
    EXPECT_EQ(qobject_cast<QSplitter*>(Pane().parentWidget())->sizes(), sizes);
    EXPECT_TRUE(Pane().OrderButton()->isChecked());
    Select({kYuki});
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"雪だるま", "Re: はじめまして", "はじめまして"}));
    EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), dataFile.string()) << "the settings file keeps its one line";
}

TEST_F(ConversationPaneTest, APalOfThousandsOfMailsIsReadAPageAtATimeAsTheReaderScrollsBack) {
    std::vector<MailRecord> mails;
    for (int i = 0; i < 2000; ++i) {
        char date[32];  // later with every mail
        std::snprintf(date, sizeof date, "2020-%02d-%02dT%02d:00:00", 1 + i / 250, 1 + i % 250 / 10, i % 10);
        mails.push_back(Mail("sora@example.jp", i % 3 ? MailDirection::Received : MailDirection::Sent, date,
                             "便り " + std::to_string(i)));
    }
    frame->Archive().TakeIn(mails);
    for (const bool newestOnTop : {false, true}) {
        Pane().OrderButton()->setChecked(newestOnTop);
        Select({"sora@example.jp"});
        EXPECT_EQ(Pane().ShownMailCount(), kConversationPageSize) << newestOnTop;
        const std::vector<std::string> first = Subjects();
        EXPECT_EQ(newestOnTop ? first.front() : first.back(), "便り 1999");
        QScrollBar* bar = Pane().ConversationText()->verticalScrollBar();
        EXPECT_EQ(bar->value(), newestOnTop ? bar->minimum() : bar->maximum()) << "the newest mail is in view";
        // Reaching the end where older mails wait brings the next page; the place read stays
        // as far from the newest mail as it was.
        const int readFrom = bar->maximum() - bar->minimum();
        bar->setValue(newestOnTop ? bar->maximum() : bar->minimum());
        EXPECT_EQ(Pane().ShownMailCount(), 2 * kConversationPageSize) << newestOnTop;
        EXPECT_EQ(newestOnTop ? bar->value() - bar->minimum() : bar->maximum() - bar->value(), readFrom)
            << newestOnTop;
        const std::vector<std::string> two = Subjects();
        EXPECT_EQ(newestOnTop ? two.back() : two.front(), "便り 1950") << newestOnTop;
    }
}

TEST_F(ConversationPaneTest, TheReplyButtonHandsTheReplyToTheMailProgramAndAnsweredIsOneStepBack) {
    StandInOpener opener;
    Select({kYuki});
    Pane().ReplyButton()->click();
    ASSERT_TRUE(opener.WaitForLinks(1));
    const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(opener.Links().front()), QUrl::StrictMode);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(QUrl::FullyDecoded), QString::fromUtf8(kYuki));
    EXPECT_EQ(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Re: 雪だるま"));
    EXPECT_TRUE(QUrlQuery(url)
                    .queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded)
                    .contains(QStringLiteral("> 雪が積もりました。")));

    Pane().AnsweredButton()->click();
    ASSERT_EQ(Subjects().size(), 4u);
    EXPECT_EQ(Subjects().back(), "(件名なし)");
    EXPECT_TRUE(Pane().ConversationText()->toPlainText().contains(QString::fromUtf8(texts::kConversationAnsweredNote)));
    frame->Action(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(Subjects().size(), 3u);
}

TEST_F(ConversationPaneTest, HelpWithoutABrowserIsToldInABox) {
    StandInOpener opener(3);  // xdg-open's status when no program opens the link
    desktop.SetUnattended(false);
    QString told;
    WhenModalOpens(
        [&told](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                told = box->text();
                box->accept();
            }
        },
        nullptr, 6000);
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000)) << "keys reach an active window";
    QTest::keyClick(frame.get(), Qt::Key_F1);
    ASSERT_TRUE(opener.WaitForLinks(1));
    EXPECT_TRUE(opener.Links().front().starts_with("file:///")) << opener.Links().front();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 60000));
    EXPECT_TRUE(told.contains(QStringLiteral("help.html"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("開くプログラムを起動できませんでした"))) << told.toStdString();
}

}  // namespace
