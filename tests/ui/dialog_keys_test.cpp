// Every dialog answers the keyboard: Escape closes it without a change, and Tab reaches
// each of its enabled controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>
#include <set>

#include "core/ole_date_time.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "ui/dialogs/analysis_dlg.h"
#include "ui/dialogs/choose_pal_dlg.h"
#include "ui/dialogs/face_icon_dlg.h"
#include "ui/dialogs/mail_text_dlg.h"
#include "ui/dialogs/pal_info_dlg.h"

namespace {

TEST(DialogKeys, EscapeClosesEveryDialogAndTabReachesItsButtons) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal pal;
    pal.m_strHandleName = "taro";
    pal.m_strMailAddress = "taro@example.jp";
    app.AddPal(pal);
    std::string text = "mail";
    COleDateTime received(2024, 5, 1);
    CSortDirection direction{};
    const struct {
        const char* name;
        std::function<QDialog*()> make;
    } dialogs[] = {
        {"pal information", [&] { return new CPalInfoDlg(app, pal, PalInfoMode::EditOne); }},
        {"new pal", [&] { return new CPalInfoDlg(app, pal, PalInfoMode::AddNew); }},
        {"face icons", [&] { return new CFaceIconDlg(ui); }},
        {"choose a pal", [&] { return new CChoosePalDlg(app); }},
        {"mail text", [&] { return new CMailTextDlg(text, received); }},
        {"analysis", [&] { return new CAnalysisDlg(app, direction); }},
    };
    for (const auto& row : dialogs) {
        std::unique_ptr<QDialog> dialog(row.make());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get(), 60000)) << row.name;
        // Tab goes round every enabled button and back to where it started.
        std::set<QWidget*> reached;
        QWidget* start = QApplication::focusWidget();
        ASSERT_NE(start, nullptr) << row.name << ": nothing has the focus";
        for (int i = 0; i < 200; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget());
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isEnabled() && button->isVisibleTo(dialog.get())) {
                EXPECT_TRUE(reached.count(button)) << row.name << ": Tab never reaches " << button->text().toStdString();
            }
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << row.name;
        EXPECT_EQ(dialog->result(), QDialog::Rejected) << row.name;
    }
}

}  // namespace
