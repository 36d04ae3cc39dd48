// The address book import and export as the user meets them: the file read, an unknown
// CSV's columns assigned once and remembered, the pals chosen and added whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>
#include <optional>

#include "core/yubino_app.h"
#include "storage/pal_vcard.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/dialogs/address_book_commands.h"
#include "ui/dialogs/csv_columns_dlg.h"
#include "ui/dialogs/import_select_dlg.h"
#include "ui/dialogs/merge_choice_dlg.h"
#include "ui/modal.h"

namespace {

class AddressBookImportTest : public testing::Test {
protected:
    void SetUp() override {
        app.m_dataFolder = dir.path();
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfig = old;
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    void TearDown() override {
        if (oldConfig)
            setenv("XDG_CONFIG_HOME", oldConfig->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    // Takes every offered pal once the selection dialog is up (a dialog before it, like
    // the column choice, is waited out; it may even have had the same address).
    void ChooseAllWhenOffered(int triesLeft = 300) {
        QTimer::singleShot(10, [this, triesLeft] {
            auto* dialog = dynamic_cast<CImportSelectDlg*>(QApplication::activeModalWidget());
            if (!dialog) {
                if (triesLeft > 0) ChooseAllWhenOffered(triesLeft - 1);
                return;
            }
            offered = true;
            dialog->findChild<QTreeView*>(QStringLiteral("notImported"))->selectAll();
            dialog->findChild<QPushButton*>(QStringLiteral("moveRight"))->click();
            dialog->accept();
        });
    }

    // Runs `action` on the merge choice once it is up, over the selection dialog.
    static void WhenMergeChoiceOpens(std::function<void(CMergeChoiceDlg*)> action, int triesLeft = 300) {
        QTimer::singleShot(10, [action = std::move(action), triesLeft] {
            if (auto* dialog = dynamic_cast<CMergeChoiceDlg*>(QApplication::activeModalWidget()))
                action(dialog);
            else if (triesLeft > 0)
                WhenMergeChoiceOpens(action, triesLeft - 1);
        });
    }

    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app{ui};
    bool offered = false;
    std::optional<std::string> oldConfig;
};

TEST_F(AddressBookImportTest, CardsAreOfferedAndTheChosenOnesAddedWithEveryFieldAndPhoto) {
    WriteFileBytes(dir / "book.vcf",
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ann\r\nNICKNAME:annie\r\nEMAIL:ann@x\r\nNOTE:hello\r\n"
                   "ADR;TYPE=home:;;;;大阪府大阪市;;\r\n"
                   "PHOTO:data:image/png;base64,iVBORw==\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ben\r\nEMAIL:ben@x\r\nTEL:123\r\nEND:VCARD\r\n");
    ChooseAllWhenOffered();
    RunAddressBookImport(app, nullptr, dir / "book.vcf");
    EXPECT_TRUE(offered);
    ASSERT_EQ(app.GetPalCount(), 2);
    CPenPal ann, ben;
    ASSERT_TRUE(app.FindPalByAddress("ann@x", ann));
    ASSERT_TRUE(app.FindPalByAddress("ben@x", ben));
    EXPECT_EQ(ann.m_strHandleName, "annie");
    EXPECT_EQ(ann.m_strMemo, "hello");
    EXPECT_EQ(ann.m_bUsePicture, 1);
    EXPECT_EQ(ReadFileBytes(ann.m_strPictureFile), "\x89PNG");
    EXPECT_EQ(ben.m_strTel1, "123");
    EXPECT_EQ(Utf8(ann.m_strMapName), "近畿") << "placed from the residence the card gave";
    EXPECT_EQ(ben.m_strMapName, "") << "no residence, no place";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AddressBookImportTest, UnknownCsvColumnsAreAskedOnceThenRemembered) {
    WriteFileBytes(dir / "odd.csv", "Who,Where\r\nAnn,ann@x\r\n");
    WhenModalOpens([this](QWidget* modal) {
        auto* dialog = dynamic_cast<CCsvColumnsDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("columns"));
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("ann@x"));
        static_cast<QComboBox*>(table->cellWidget(0, 2))->setCurrentIndex(1 + static_cast<int>(PalField::Name));
        static_cast<QComboBox*>(table->cellWidget(1, 2))->setCurrentIndex(1 + static_cast<int>(PalField::MailAddress));
        ChooseAllWhenOffered();
        dialog->accept();
    });
    RunAddressBookImport(app, nullptr, dir / "odd.csv");
    ASSERT_TRUE(offered);
    CPenPal ann;
    ASSERT_TRUE(app.FindPalByAddress("ann@x", ann));
    EXPECT_EQ(ann.m_strName, "Ann");

    WriteFileBytes(dir / "odd.csv", "Who,Where\r\nBen,ben@x\r\n");
    offered = false;
    ChooseAllWhenOffered();  // straight to the choice: the columns are known now
    RunAddressBookImport(app, nullptr, dir / "odd.csv");
    EXPECT_TRUE(offered);
    EXPECT_TRUE(app.FindPalByAddress("ben@x", ann));
}

TEST_F(AddressBookImportTest, DamagedFileTellsTheLineThenOffersWhatWasRead) {
    WriteFileBytes(dir / "cut.vcf", "BEGIN:VCARD\r\nEMAIL:a@x\r\nEND:VCARD\r\nBEGIN:VCARD\r\nEMAIL:b@x\r\n");
    ChooseAllWhenOffered();
    RunAddressBookImport(app, nullptr, dir / "cut.vcf");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("4 行目"), std::string::npos);
    EXPECT_EQ(app.GetPalCount(), 1);
}

TEST_F(AddressBookImportTest, CsvQuotedOpenFromTheStartIsToldWithoutAskingForColumns) {
    WriteFileBytes(dir / "open.csv", "\"Name,E-mail\r\nAnn,ann@x\r\n");
    RunAddressBookImport(app, nullptr, dir / "open.csv");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[0].text.find("1 行目"), std::string::npos);
    EXPECT_EQ(app.GetPalCount(), 0);
}

// A card of a pal already in the table: the fields both hold differently are offered one
// by one, the checked ones taken, the empty ones filled; what no field took is told.
TEST_F(AddressBookImportTest, AKnownPalMergesWithTheFieldsTheUserChecks) {
    CPenPal yuki;
    yuki.m_strHandleName = Sjis("ゆき");
    yuki.m_strName = Sjis("山田 雪");
    yuki.m_strMailAddress = "yuki@example.jp";
    yuki.m_strJob = Sjis("会社員");
    yuki.m_strResidence = Sjis("東京都");
    app.AddPal(yuki);
    WriteFileBytes(dir / "phone.vcf",
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:山田 ゆき\r\nEMAIL:Yuki@Example.JP\r\n"
                   "TITLE:デザイナー\r\nADR;TYPE=HOME:;;西新宿2-8-1;新宿区;東京都;;\r\nTEL:03-1\r\n"
                   "ORG:Acme\r\nEND:VCARD\r\n");
    std::vector<std::string> rows;
    WhenMergeChoiceOpens([&](CMergeChoiceDlg* dialog) {
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("conflicts"));
        for (int row = 0; row < table->rowCount(); ++row)
            rows.push_back(table->item(row, 0)->text().toStdString() + ": " +
                           table->item(row, 1)->text().toStdString() + " / " +
                           table->item(row, 2)->text().toStdString());
        table->item(1, 2)->setCheckState(Qt::Checked);  // the job
        if (!qEnvironmentVariableIsEmpty("YUBINO_SCREENSHOT_DIR")) {
            QApplication::processEvents();
            dialog->grab().save(QDir(qEnvironmentVariable("YUBINO_SCREENSHOT_DIR")).filePath("merge-choice.png"));
        }
        dialog->accept();
    });
    ChooseAllWhenOffered();
    RunAddressBookImport(app, nullptr, dir / "phone.vcf");
    EXPECT_EQ(rows, (std::vector<std::string>{"名前: 山田 雪 / 山田 ゆき", "職業: 会社員 / デザイナー",
                                              "居住地: 東京都 / 東京都新宿区西新宿2-8-1"}));
    ASSERT_EQ(app.GetPalCount(), 1);
    CPenPal merged;
    ASSERT_TRUE(app.FindPalByAddress("yuki@example.jp", merged));
    EXPECT_EQ(Utf8(merged.m_strName), "山田 雪") << "left unchecked";
    EXPECT_EQ(Utf8(merged.m_strJob), "デザイナー") << "checked";
    EXPECT_EQ(merged.m_strTel1, "03-1") << "empty, filled";
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(Utf8(ui.messages[0].text).find("ORG: Acme"), std::string::npos);
}

TEST_F(AddressBookImportTest, MissingFileIsToldAndNothingOpens) {
    RunAddressBookImport(app, nullptr, dir / "none.vcf");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("none.vcf"), std::string::npos);
    EXPECT_EQ(app.GetPalCount(), 0);
}

}  // namespace
