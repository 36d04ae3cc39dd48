#include "ui/dialogs/face_icon_dlg.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/fake_user_interface.h"

namespace {

class FaceIconDlgTest : public testing::Test {
protected:
    FaceIconDlgTest() { dialog.show(); }

    QListWidget* List() { return dialog.findChild<QListWidget*>("icons"); }
    QPushButton* Ok() {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "OK") return button;
        return nullptr;
    }
    QListWidgetItem* ItemLabelled(const QString& label) {
        const QList<QListWidgetItem*> found = List()->findItems(label, Qt::MatchExactly);
        return found.size() == 1 ? found.first() : nullptr;
    }
    void Click(QListWidgetItem* item, bool twice = false) {
        List()->scrollToItem(item);
        const QPoint centre = List()->visualItemRect(item).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, centre);
        if (twice) QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, centre);
    }

    FakeUserInterface ui;
    CFaceIconDlg dialog{ui};
};

TEST_F(FaceIconDlgTest, ListsTheIconsWithTheirGroupLabelsNothingSelected) {
    ASSERT_EQ(List()->count(), 115);
    EXPECT_EQ(List()->item(0)->text(), "男性 1");
    EXPECT_EQ(List()->item(49)->text(), "男性 50");
    EXPECT_EQ(List()->item(50)->text(), "女性 1");
    EXPECT_EQ(List()->item(100)->text(), "他 1");
    EXPECT_EQ(List()->item(114)->text(), "他 15");
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    EXPECT_FALSE(Ok()->isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "顔アイコンを選択してください");
}

TEST_F(FaceIconDlgTest, SelectingOtherOneThenOkGives100) {
    Click(ItemLabelled("他 1"));
    ASSERT_TRUE(Ok()->isEnabled());
    QTest::mouseClick(Ok(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenIcon(), 100);
}

TEST_F(FaceIconDlgTest, DoubleClickOnWomanOneGives50AtOnce) {
    Click(ItemLabelled("女性 1"), true);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenIcon(), 50);
}

TEST_F(FaceIconDlgTest, CancelChoosesNothing) {
    Click(ItemLabelled("男性 7"));
    dialog.reject();
    EXPECT_EQ(dialog.ChosenIcon(), 0);
}

TEST_F(FaceIconDlgTest, BannerOpensTheProviderPageAndTellsOfFailure) {
    QWidget* banner = dialog.findChild<QWidget*>("banner");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(banner, Qt::LeftButton);
    EXPECT_EQ(ui.shellTargets, std::vector<std::string>{"https://www.dicebear.com/"});
    EXPECT_TRUE(ui.messages.empty());

    ui.shellSucceeds = false;
    QTest::mouseClick(banner, Qt::LeftButton);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "ブラウザの起動に失敗しました");
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Warning);
}

}  // namespace
