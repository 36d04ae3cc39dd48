// Received mail from files and drops in the window: what the list takes from a drop, and
// the batch read behind a progress dialog, summed up once, then the unknown senders.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "archive/pal_archive.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/main/mail_import.h"
#include "ui/main/yubino_view.h"
#include "ui/map/picture_cache.h"

namespace {

// The reading ends within moments on a quiet machine; a busy one may keep it waiting much longer.
constexpr int kReadEndsWithinMs = 120000;

std::string Message(const std::string& from, const std::string& date, const std::string& body) {
    return "From: " + from + "\nTo: taro@example.jp\nSubject: hi\nDate: " + date +
           "\nContent-Type: text/plain; charset=utf-8\n\n" + body + "\n";
}

class MailImportTest : public testing::Test {
protected:
    void SetUp() override {
        CPenPal hanako;
        hanako.m_strHandleName = Sjis("はなこ");
        hanako.m_strMailAddress = "hanako@example.jp";
        hanako.m_dtFirstMail = COleDateTime(2024, 1, 1);
        hanako.m_dtLastMail = COleDateTime(2024, 1, 1);
        app.AddPal(hanako);
        ui.messages.clear();
        import.SetPickSenders([this](const std::vector<CPenPal>& senders, QWidget*) {
            for (const CPenPal& sender : senders) offered.push_back(sender.m_strMailAddress);
        return std::vector<int>{0};
    });
} void TakeAndWait(const QStringList& paths) {
    QSignalSpy finished(&import, &CMailImport::Finished);
    import.TakeFiles(paths);
    ASSERT_TRUE(finished.wait(kReadEndsWithinMs));
}
QString Path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }

TempDir dir;
FakeUserInterface ui;
CYubinoApp app{ui};
QWidget window;
CMailImport import{app, &window};
std::vector<std::string> offered;
};  // namespace

TEST_F(MailImportTest, AnMboxIsOneBatchWithOneSummaryThenTheTickedSenderIsAdded) {
    WriteFileBytes(dir / "inbox", "From x Thu Jan  1 00:00:00 2024\n" +
                                      Message("hanako@EXAMPLE.jp", "Fri, 1 Mar 2024 10:00:00 +0900", "newer") +
                                      "\nFrom x Thu Jan  1 00:00:00 2024\n" +
                                      Message("hanako@example.jp", "Fri, 1 Dec 2023 10:00:00 +0900", "older") +
                                      "\nFrom x Thu Jan  1 00:00:00 2024\n" +
                                      Message("Jiro <jiro@example.jp>", "Sat, 2 Mar 2024 10:00:00 +0900", "hello"));
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) {
        EXPECT_EQ(pal.m_strHandleName, "Jiro");
        EXPECT_EQ(pal.m_strLastMailText, "hello\b");
        return true;
    });
    TakeAndWait({Path("inbox")});
    ASSERT_EQ(ui.messages.size(), 1u) << "a batch asks nothing per mail";
    EXPECT_EQ(ui.messages[0].text, "3通を取り込みました: 1人を更新、1通は登録のない送信者");
    EXPECT_EQ(offered, std::vector<std::string>{"jiro@example.jp"});
    CPenPal pal;
    ASSERT_TRUE(app.FindPalByAddress("hanako@example.jp", pal));
    EXPECT_EQ(pal.m_strLastMailText, "newer\b");
    EXPECT_EQ(pal.m_dtFirstMail.GetYear(), 2023);
    EXPECT_TRUE(app.FindPalByAddress("jiro@example.jp", pal));
}

TEST_F(MailImportTest, ABatchsMailsGoIntoTheArchiveWithThoseOfTheSendersAdded) {
    CPalArchive archive(app, [this] { return ArchiveDocument{dir / "pals.ybf", false}; });
    app.SetHistory(&archive);
    CMailImport archiving(app, &window, &archive);
    archiving.SetPickSenders([](const std::vector<CPenPal>&, QWidget*) { return std::vector<int>{0}; });
    ui.palDialogs.push_back([](CPenPal&, PalInfoMode) { return true; });
    const std::string mbox = "From x Thu Jan  1 00:00:00 2024\n" +
                             Message("hanako@example.jp", "Fri, 1 Mar 2024 10:00:00 +0900", "newer") +
                             "\nFrom x Thu Jan  1 00:00:00 2024\n" +
                             Message("Jiro <jiro@example.jp>", "Sat, 2 Mar 2024 10:00:00 +0900", "hello");
    WriteFileBytes(dir / "inbox", mbox);
    QSignalSpy finished(&archiving, &CMailImport::Finished);
    archiving.TakeFiles({Path("inbox")});
    ASSERT_TRUE(finished.wait(kReadEndsWithinMs));

    std::vector<std::string> stored;
    for (const StoredMail& m : archive.Archive()->Mails().value)
        stored.push_back(m.mail.pal + " " + m.mail.subject + " " + m.mail.body);
    const std::vector<std::string> expected{"jiro@example.jp hi hello\n", "hanako@example.jp hi newer\n"};
    EXPECT_EQ(stored, expected) << "jiro's mail too, once jiro is a pal";
    archiving.TakeFiles({Path("inbox")});
    ASSERT_TRUE(finished.wait(kReadEndsWithinMs));
    EXPECT_EQ(archive.Archive()->Mails().value.size(), 2u) << "a mail taken in again is stored once";
    app.SetHistory(nullptr);
}

TEST_F(MailImportTest, OneMailFileGoesTheDropRoadWithItsQuestions) {
    WriteFileBytes(dir / "one.eml", Message("Jiro <jiro@example.jp>", "Sat, 2 Mar 2024 10:00:00 +0900", "hello"));
    ui.palDialogs.push_back([](CPenPal&, PalInfoMode) { return true; });
    TakeAndWait({Path("one.eml")});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "おめでとう！　新しいメールフレンドです");
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(app.GetPalCount(), 2);
}

TEST_F(MailImportTest, UnreadableFilesAreNamedInOneWarning) {
    WriteFileBytes(dir / "photo.png", "\x89PNG\r\n");
    TakeAndWait({Path("photo.png"), Path("missing.eml")});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(ui.messages[0].text,
              "メールを読めませんでした\r\n読めなかったもの: 2件\r\nphoto.png: メールのファイルではありません\r\n"
              "missing.eml: 開けません");
}

TEST_F(MailImportTest, CancellingTheProgressDialogKeepsWhatWasReadAndSumsItUp) {
    std::string mbox;
    for (int i = 0; i < 3000; ++i)
        mbox += "From x Thu Jan  1 00:00:00 2024\n" +
                Message("pal" + std::to_string(i) + "@example.jp", "Fri, 1 Mar 2024 10:00:00 +0900", "x") + "\n";
    WriteFileBytes(dir / "big.mbox", mbox);
    import.SetPickSenders([](const std::vector<CPenPal>&, QWidget*) { return std::vector<int>{};
});
QSignalSpy finished(&import, &CMailImport::Finished);
import.TakeFiles({Path("big.mbox")});
// Before the first look at the queue: the reading stops once the queue is full.
QTest::mouseClick(window.findChild<QProgressDialog*>()->findChild<QPushButton*>(), Qt::LeftButton);
ASSERT_TRUE(finished.wait(kReadEndsWithinMs));
ASSERT_EQ(ui.messages.size(), 1u);
const int read = std::stoi(ui.messages[0].text);
EXPECT_GT(read, 0);
EXPECT_LT(read, 3000);
EXPECT_FALSE(import.IsReading());
}

void Drop(QWidget& target, QMimeData& data) {
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&target, &drop);
    QApplication::sendPostedEvents();
}

TEST(MailDropTest, TheContentDecidesWhichReaderTakesADrop) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPictureCache pictures;
    CYubinoView list(app, pictures);
    list.SetMessageTest(LooksLikeInternetMessage);  // as the window wires its mail reader
    QSignalSpy files(&list, &CYubinoView::MailFilesDropped);
    QSignalSpy messages(&list, &CYubinoView::InternetMessageDropped);
    QSignalSpy texts(&list, &CYubinoView::MailTextDropped);

    QMimeData fileDrop;
    fileDrop.setUrls({QUrl::fromLocalFile(QStringLiteral("/home/taro/Mail/inbox.txt"))});
    Drop(list, fileDrop);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0][0].toStringList(), QStringList{QStringLiteral("/home/taro/Mail/inbox.txt")});

    QMimeData rfc822;
    rfc822.setData(QStringLiteral("message/rfc822"), "From: a@example.jp\n\nx\n");
    Drop(list, rfc822);
    QMimeData internetText;
    internetText.setText(QStringLiteral("From: はなこ <hanako@example.jp>\nSubject: x\n\n本文\n"));
    Drop(list, internetText);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1][0].toByteArray(), internetText.text().toUtf8());

    QMimeData japaneseText;
    japaneseText.setText(QStringLiteral("送信者: \"Bun\" <b@x>\n宛先: me@x\n日時: 2002年5月3日\n\nやあ\n"));
    Drop(list, japaneseText);
    EXPECT_EQ(texts.size(), 1);

    QMimeData webLink;
    webLink.setUrls({QUrl(QStringLiteral("https://example.com/a.eml"))});
    Drop(list, webLink);
    EXPECT_EQ(files.size() + messages.size() + texts.size(), 4) << "a web link is no mail";
}

}  // namespace
