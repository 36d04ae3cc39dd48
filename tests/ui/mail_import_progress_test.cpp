// The mail file import's dialogs: the progress dialog is gone when the summary opens, so
// that the summary has the keys; a folder typed into the file dialog opens with Enter.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "core/yubino_app.h"
#include "modal.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "ui/main/mail_import.h"

namespace {

// Looks at the window the moment a message is shown.
class WatchingUserInterface : public FakeUserInterface {
public:
    std::function<void()> onMessage;
    void ShowMessage(const std::string& text, MessageKind kind) override {
        FakeUserInterface::ShowMessage(text, kind);
        if (onMessage) onMessage();
    }
};

TEST(MailImportProgress, TheProgressDialogIsGoneWhenTheSummaryOpens) {
    TempDir dir;
    std::string mbox;
    for (int i = 0; i < 200; ++i)
        mbox += "From x Thu Jan  1 00:00:00 2024\nFrom: pal" + std::to_string(i) +
                "@example.jp\nSubject: hi\nDate: Fri, 1 Mar 2024 10:00:00 +0900\n\nbody\n\n";
    WriteFileBytes(dir / "inbox", mbox);
    WatchingUserInterface ui;
    CYubinoApp app(ui);
    QWidget window;
    window.show();
    CMailImport import(app, &window);
    import.SetPickSenders([](const std::vector<CPenPal>&, QWidget*) { return std::vector<int>{};
});
std::vector<bool> progressShown;
ui.onMessage = [&] {
    const auto* progress = window.findChild<QProgressDialog*>();
    progressShown.push_back(progress && progress->isVisible());
};
QSignalSpy finished(&import, &CMailImport::Finished);
import.TakeFiles({QString::fromStdString((dir / "inbox").string())});
// As after half a second of reading: the dialog is up.
window.findChild<QProgressDialog*>()->show();
ASSERT_TRUE(finished.wait(20000));
ASSERT_EQ(ui.messages.size(), 1u);
EXPECT_NE(ui.messages[0].text.find("200通"), std::string::npos) << ui.messages[0].text;
EXPECT_EQ(progressShown, std::vector<bool>{false});
}  // namespace

TEST(MailImportProgress, AFolderTypedIntoTheFileDialogOpensWithEnter) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Mail" / "inbox" / "cur");
    QString entered;
    bool stillOpen = false;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        name->setText(QStringLiteral("Mail"));
        QTest::keyClick(name, Qt::Key_Return);
        entered = dialog->directory().absolutePath();
        stillOpen = dialog->isVisible();
        dialog->reject();
    });
    EXPECT_TRUE(ChooseMailFiles(nullptr, QString::fromStdString(dir.path().string())).isEmpty());
    EXPECT_EQ(entered.toStdString(), (dir / "Mail").string());
    EXPECT_TRUE(stillOpen);
}

}  // namespace
