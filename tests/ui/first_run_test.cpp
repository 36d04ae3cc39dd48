// The welcome of the first start and File, New, driven as a user does.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "archive/mail_archive.h"
#include "archive/pal_archive.h"
#include "main_window_fixture.h"
#include "modal.h"
#include "ui/dialogs/own_addresses_edit.h"
#include "ui/dialogs/welcome_dlg.h"
#include "ui/mail/mail_accounts_dlg.h"
#include "ui/main/command_ids.h"

namespace {

using namespace main_window_fixture;

class FirstRunTest : public MainWindowTest {
protected:
    // A first start of the program itself: no settings file, the welcome asked for.
    void StartWelcomed() {
        const fs::path bundled = dir / "bundled.ybf";
        WriteFileBytes(bundled, PalFileBytes(kFourPals));
        frame = std::make_unique<CMainFrame>(app, nullptr, Paths(), bundled);
        ui.host = frame.get();
        frame->SetWelcomeOnFirstStart(true);
        frame->show();
        frame->Start();
    }
    fs::path Document() { return frame->Session().Doc().GetPathName(); }
    std::vector<std::string> OwnAddresses() { return frame->Archive().Archive()->OwnAddresses().value; }
};

struct WelcomeRow {
    const char* name;
    const char* newFile;                  // typed as the empty file's name; nullptr: the sample
    std::vector<const char*> typedLines;  // the addresses box, typed anew before each OK
    bool accepted;
    const char* document;  // the file start-up opened, in the test's folder
    int pals;
    std::vector<std::string> own;
    bool refusal;  // a line that is no address was told in a box
};

TEST_F(FirstRunTest, TheWelcomeStartsWithTheChosenFileAndKeepsTheOwnAddresses) {
    const WelcomeRow rows[] = {
        {"EmptyFileOfTheUser",
         "mine",
         {" me@example.jp \n\nme2@example.jp"},
         true,
         "mine.ybf",
         0,
         {"me@example.jp", "me2@example.jp"},
         false},
        {"CancelStartsWithTheSample", "mine", {"me@example.jp"}, false, "サンプル.ybf", 4, {}, false},
        {"ANonAddressIsRefusedUntilCorrected",
         nullptr,
         {"me@example.jp\nnot an address", "me@example.jp"},
         true,
         "サンプル.ybf",
         4,
         {"me@example.jp"},
         true},
    };
    QString refusal;
    for (const WelcomeRow& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        refusal.clear();
        bool welcomed = false;
        WhenModalOpens([&](QWidget* modal) {
            auto* welcome = qobject_cast<CWelcomeDlg*>(modal);
            welcomed = welcome != nullptr;
            if (!welcome) return static_cast<QDialog*>(modal)->reject();
            if (row.newFile) {
                welcome->NewFileButton()->click();
                welcome->FileEdit()->setText(QString::fromStdString((dir / row.newFile).string()));
            }
            if (!row.accepted) return welcome->reject();
            for (const char* lines : row.typedLines) {
                welcome->AddressEdit()->setPlainText(QString::fromUtf8(lines));
                if (row.refusal && refusal.isEmpty()) AcknowledgeMessageBox(&refusal, welcome);
                welcome->accept();
            }
            if (welcome->isVisible()) welcome->reject();  // never hangs
        });
        StartWelcomed();
        EXPECT_TRUE(welcomed);
        EXPECT_EQ(Document(), dir / row.document);
        EXPECT_EQ(app.GetPalCount(), row.pals);
        EXPECT_EQ(ReadFileBytes(dir / row.document) == PalFileBytes({}), row.pals == 0);
        EXPECT_EQ(OwnAddresses(), row.own);
        EXPECT_EQ(refusal.contains(QStringLiteral("not an address")), row.refusal) << refusal.toStdString();
        frame->close();
        EXPECT_EQ(ReadFileBytes(dir / "yubino.cfg"), (dir / row.document).string());
        frame.reset();
    }
}

TEST_F(FirstRunTest, TheWelcomeLeadsToTheAccountsDialogWithTheOwnAddressesWhenAsked) {
    for (const bool asked : {true, false}) {
        SCOPED_TRACE(asked ? "asked" : "not asked");
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        // Shared with the look for the accounts dialog, which outlives this start when none opens.
        struct Seen {
            bool over = false;
            bool accounts = false;
            QString ownAddresses;
        };
        const auto seen = std::make_shared<Seen>();
        WhenModalOpens([&](QWidget* modal) {
            auto* welcome = qobject_cast<CWelcomeDlg*>(modal);
            if (!welcome) return static_cast<QDialog*>(modal)->reject();
            welcome->AddressEdit()->setPlainText(QStringLiteral("me@example.jp"));
            welcome->SetUpMailBox()->setChecked(asked);
            WhenModalOpens(
                [seen](QWidget* next) {
                    if (seen->over) return;
                    seen->accounts = qobject_cast<CMailAccountsDlg*>(next) != nullptr;
                    if (auto* own = next->findChild<COwnAddressesEdit*>(); own && own->isVisible())
                        seen->ownAddresses = own->toPlainText();
                    static_cast<QDialog*>(next)->reject();
                },
                welcome);
            welcome->accept();
        });
        StartWelcomed();
        seen->over = true;
        EXPECT_EQ(seen->accounts, asked);
        EXPECT_EQ(seen->ownAddresses, asked ? QStringLiteral("me@example.jp") : QString());
        EXPECT_EQ(OwnAddresses(), std::vector<std::string>{"me@example.jp"});
        frame.reset();
    }
}

TEST_F(FirstRunTest, AStartWithASettingsFileOrUnaskedGreetsNoOne) {
    WriteFileBytes(dir / "yubino.cfg", "");
    StartWelcomed();
    EXPECT_EQ(Document(), dir / "サンプル.ybf");
    frame.reset();
    fs::remove(dir / "yubino.cfg");
    Start();
    EXPECT_EQ(Document(), dir / "サンプル.ybf");
}

struct NewFileRow {
    const char* name;
    const char* typed;  // in the save dialog, in the test's folder; nullptr: cancelled
    const char* document;
    int pals;
    const char* told;  // a word of the message; nullptr for none
};

// Ctrl+N stores the table first, then opens an empty file; it never empties a file that exists.
TEST_F(FirstRunTest, CtrlNStoresTheTableThenOpensAnEmptyFile) {
    const NewFileRow rows[] = {
        {"ANewName", "new", "new.ybf", 0, nullptr},
        {"TheFileInUse", "friends.ybf", "friends.ybf", 5, "使用中"},
        {"AnotherFileThatExists", "other.ybf", "friends.ybf", 5, "すでにあります"},
        {"Cancelled", nullptr, "friends.ybf", 5, nullptr},
    };
    for (const NewFileRow& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(dir.path());
        fs::create_directories(dir.path());
        const std::string otherBytes = PalFileBytes({Pal("o@x", "Oto", "関東")});
        WriteFileBytes(dir / "other.ybf", otherBytes);
        StartWith(kFourPals);
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get(), 60000));
        app.AddPal(Pal("e@x", "Eri", "九州"));
        ui.messages.clear();
        WhenModalOpens([&](QWidget* modal) {
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name && row.typed) {
                name->setText(QString::fromStdString((dir / row.typed).string()));
                static_cast<QDialog*>(modal)->accept();
            }
            if (QApplication::activeModalWidget() == modal) static_cast<QDialog*>(modal)->reject();
        });
        QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(Document(), dir / row.document);
        EXPECT_EQ(app.GetPalCount(), row.pals);
        EXPECT_EQ(ReadFileBytes(dir / row.document) == PalFileBytes({}), row.pals == 0);
        // Stored before the new file is made; a refused or cancelled one stores nothing.
        EXPECT_EQ(ReadFileBytes(dataFile).find("e@x") != std::string::npos, row.pals == 0);
        EXPECT_EQ(ReadFileBytes(dir / "other.ybf"), otherBytes);
        ASSERT_EQ(ui.messages.size(), row.told ? 1u : 0u);
        if (row.told) {
            EXPECT_NE(ui.messages.front().text.find(row.told), std::string::npos) << ui.messages.front().text;
        }
        frame.reset();
    }
}

}  // namespace
