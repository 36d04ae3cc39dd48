#include "ui/dialogs/choose_pal_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "core/yubino_app.h"
#include "modal.h"
#include "support/fake_user_interface.h"
#include "ui/face_icons.h"
#include "ui/qt_user_interface.h"

namespace {

class ChoosePalDlgTest : public testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            CPenPal pal;
            pal.m_strHandleName = Sjis("ぱる") + std::to_string(i);
            pal.m_strName = "name" + std::to_string(i);
            pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
            pal.m_nFaceIcon = 50 + i;
            ASSERT_EQ(app.AddPal(pal), 1);
        }
    }
    void Open() {
        dialog = std::make_unique<CChoosePalDlg>(app);
        dialog->show();
    }
    QTreeWidget* List() { return dialog->findChild<QTreeWidget*>("pals"); }
    QPushButton* Button(const char* name) { return dialog->findChild<QPushButton*>(name); }
    void ClickRow(int row, bool twice = false) {
        const QPoint centre = List()->visualItemRect(List()->topLevelItem(row)).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, centre);
        if (twice) QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, centre);
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    std::unique_ptr<CChoosePalDlg> dialog;
};

TEST_F(ChoosePalDlgTest, ListsEveryPalInTableOrderWithItsFaceIcon) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "ﾒｰﾙを更新するﾒｰﾙﾌﾚﾝﾄﾞを選択してください");
    ASSERT_EQ(List()->topLevelItemCount(), 3);
    EXPECT_EQ(List()->headerItem()->text(0), "ﾊﾝﾄﾞﾙﾈｰﾑ");
    EXPECT_EQ(List()->headerItem()->text(2), "ﾒｰﾙｱﾄﾞﾚｽ");
    const QTreeWidgetItem* second = List()->topLevelItem(1);
    EXPECT_EQ(second->text(0), "ぱる1");
    EXPECT_EQ(second->text(1), "name1");
    EXPECT_EQ(second->text(2), "pal1@example.jp");
    EXPECT_EQ(second->icon(0).pixmap(24).toImage(), FaceIcon(51, 24).toImage());
}

TEST_F(ChoosePalDlgTest, OkOnlyWithASelection) {
    Open();
    EXPECT_FALSE(Button("ok")->isEnabled());
    ClickRow(2);
    ASSERT_TRUE(Button("ok")->isEnabled());
    QTest::mouseClick(Button("ok"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->ChosenAddress(), "pal2@example.jp");
}

TEST_F(ChoosePalDlgTest, DoubleClickChoosesTheRow) {
    Open();
    ClickRow(1, true);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->ChosenAddress(), "pal1@example.jp");
}

TEST_F(ChoosePalDlgTest, AddedPalAppearsAfterThoseAlreadyThere) {
    Open();
    WhenModalOpens(
        [](QWidget* palDialog) {
            EXPECT_EQ(palDialog->windowTitle(), "メールフレンドの新規追加");
            palDialog->findChild<QLineEdit*>("handleName")->setText("new");
            palDialog->findChild<QLineEdit*>("mailAddress")->setText("new@example.jp");
            QTest::mouseClick(palDialog->findChild<QPushButton*>("save"), Qt::LeftButton);
        },
        dialog.get());
    QTest::mouseClick(Button("addNew"), Qt::LeftButton);
    ASSERT_EQ(app.GetPalCount(), 4);
    EXPECT_EQ(ui.events, (std::vector<std::string>{"list", "map"}));
    ASSERT_EQ(List()->topLevelItemCount(), 4);
    EXPECT_EQ(List()->topLevelItem(3)->text(2), "new@example.jp");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ChoosePalDlgTest, AddingIsOffWithAFullTable) {
    for (int i = app.GetPalCount(); i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "more" + std::to_string(i);
        ASSERT_EQ(app.AddPal(pal), 1);
    }
    Open();
    EXPECT_FALSE(Button("addNew")->isEnabled());
}

TEST_F(ChoosePalDlgTest, ThePortReturnsTheChosenAddress) {
    CQtUserInterface port;
    port.SetApp(&app);
    WhenModalOpens([](QWidget* modal) {
        auto* list = modal->findChild<QTreeWidget*>("pals");
        list->setCurrentItem(list->topLevelItem(0));
        QTest::mouseClick(modal->findChild<QPushButton*>("ok"), Qt::LeftButton);
    });
    std::string address;
    EXPECT_TRUE(port.ChoosePal(address));
    EXPECT_EQ(address, "pal0@example.jp");

    WhenModalOpens(
        [](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("doNotAdd"), Qt::LeftButton); });
    address.clear();
    EXPECT_FALSE(port.ChoosePal(address));
    EXPECT_EQ(address, "");
}

}  // namespace
