#include "ui/dialogs/mail_text_dlg.h"

#include <gtest/gtest.h>

#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "modal.h"
#include "support/fake_user_interface.h"

namespace {

class MailTextDlgTest : public testing::Test {
protected:
    void Open() {
        dialog = std::make_unique<CMailTextDlg>(text, received);
        dialog->show();
    }
    template <typename Widget>
    Widget* Control(const char* name) {
        return dialog->findChild<Widget*>(QString::fromLatin1(name));
    }

    std::string text = Sjis("こんにちは\nまたね");
    COleDateTime received{2024, 5, 1, 21, 30, 15};
    std::unique_ptr<CMailTextDlg> dialog;
};

TEST_F(MailTextDlgTest, ShowsTheTextAndTheReceivedDateWithItsTime) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "更新するﾒｰﾙの文章,受信日を編集してください");
    EXPECT_EQ(Control<QPlainTextEdit>("text")->toPlainText(), "こんにちは\nまたね");
    EXPECT_EQ(Control<QDateTimeEdit>("received")->dateTime(), QDateTime(QDate(2024, 5, 1), QTime(21, 30, 15)));
}

TEST_F(MailTextDlgTest, OkTakesTheEditedTextAndDate) {
    Open();
    Control<QPlainTextEdit>("text")->appendPlainText("追伸");
    Control<QDateTimeEdit>("received")->setDateTime(QDateTime(QDate(2024, 6, 2), QTime(8, 5, 0)));
    QTest::mouseClick(Control<QPushButton>("ok"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Utf8(text), "こんにちは\nまたね\n追伸");
    EXPECT_EQ(received, COleDateTime(2024, 6, 2, 8, 5, 0));
}

TEST_F(MailTextDlgTest, UntouchedTextAndDateStayExactly) {
    text = "line\r\n\x80 odd byte";
    received = COleDateTime(45000.123456789, COleDateTime::valid);  // finer than a second
    Open();
    QTest::mouseClick(Control<QPushButton>("ok"), Qt::LeftButton);
    EXPECT_EQ(text, "line\r\n\x80 odd byte");
    EXPECT_EQ(received, COleDateTime(45000.123456789, COleDateTime::valid));
}

TEST_F(MailTextDlgTest, DoNotAddLeavesEverything) {
    Open();
    Control<QPlainTextEdit>("text")->setPlainText("changed");
    QTest::mouseClick(Control<QPushButton>("doNotAdd"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Utf8(text), "こんにちは\nまたね");
}

TEST_F(MailTextDlgTest, TextCodePage932CannotHoldIsRefused) {
    Open();
    Control<QPlainTextEdit>("text")->setPlainText(QString::fromUtf8("絵文字😀"));
    QString message;
    AcknowledgeMessageBox(&message);
    QTest::mouseClick(Control<QPushButton>("ok"), Qt::LeftButton);
    EXPECT_EQ(message, "保存できない文字が含まれています：😀\n別の文字に置き換えてください");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Utf8(text), "こんにちは\nまたね");
}

}  // namespace
