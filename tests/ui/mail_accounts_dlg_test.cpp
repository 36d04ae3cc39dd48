// The accounts dialog as a user meets it: "接続を確認" against the test's own Dovecot, a
// certificate trusted with one button, the first check's reach and the own addresses.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "modal.h"
#include "screenshot.h"
#include "support/temp_dir.h"
#include "sync/dovecot_test.h"
#include "ui/dialogs/archive_settings_dlg.h"
#include "ui/dialogs/own_addresses_edit.h"
#include "ui/mail/mail_accounts_dlg.h"

namespace {

constexpr int kTestMs = 180 * 1000;  // a connection on a busy machine

class MailAccountsDlgTest : public DovecotTest {
protected:
    void SetUp() override {
        DovecotTest::SetUp();
        if (!HasFatalFailure()) server->AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    }

    // The test's server over SSL/TLS; its certificate is of a CA the system does not know.
    MailAccount Account() const {
        MailAccount account;
        account.name = "テスト";
        account.server = *ParseImapUrl(server->ImapsUrl());
        return account;
    }
    AccountPasswords Passwords(std::string password) {
        return {[password](const QString&) { return std::optional<QString>(QString::fromStdString(password)); },
                [this](const QString& account) { forgotten << account; }};
    }
    // Clicks "接続を確認" (or `button`) and waits for the report that differs from `before`.
    static ConnectionVerdict Tested(CMailAccountsDlg& dialog, QPushButton* button = nullptr) {
        CConnectionTestPanel& panel = *dialog.ConnectionTest();
        QSignalSpy tested(&panel, &CConnectionTestPanel::Tested);
        (button ? button : panel.TestButton())->click();
        EXPECT_TRUE(tested.count() > 0 || tested.wait(kTestMs));
        return panel.LastReport() ? panel.LastReport()->verdict : ConnectionVerdict::Other;
    }

    QStringList forgotten;
};

TEST_F(MailAccountsDlgTest, AnUnverifiedCertificateIsShownAndTrustedWithOneButton) {
    CMailAccountsDlg dialog({Account()}, 0, nullptr, Passwords(server->Password()));
    dialog.show();
    CConnectionTestPanel& panel = *dialog.ConnectionTest();
    ASSERT_EQ(Tested(dialog), ConnectionVerdict::Certificate) << panel.Report()->text().toStdString();
    const QString fingerprint = QString::fromStdString(panel.LastReport()->fingerprintToTrust);
    const QString told = panel.Report()->text();
    for (const QString& word : {QStringLiteral("発行先: CN=127.0.0.1"), QStringLiteral("発行者: CN=Yubino Test CA"),
                                QStringLiteral("有効期間: "), QStringLiteral("SHA-256: ") + fingerprint})
        EXPECT_TRUE(told.contains(word)) << word.toStdString() << " in " << told.toStdString();
    EXPECT_TRUE(panel.TrustButton()->isVisible());
    SaveScreenshot(dialog, QStringLiteral("mail-accounts-certificate"));

    EXPECT_EQ(Tested(dialog, panel.TrustButton()), ConnectionVerdict::Ok) << panel.Report()->text().toStdString();
    EXPECT_TRUE(panel.Report()->text().contains(QStringLiteral("メールは 1 通")))
        << panel.Report()->text().toStdString();
    EXPECT_FALSE(panel.TrustButton()->isVisible());
    EXPECT_EQ(dialog.FingerprintEdit()->text(), fingerprint);
    dialog.accept();
    ASSERT_EQ(dialog.Accounts().size(), 1u);
    EXPECT_EQ(dialog.Accounts()[0].trustedFingerprint, fingerprint.toStdString());
    EXPECT_TRUE(forgotten.isEmpty());
}

TEST_F(MailAccountsDlgTest, ARefusedPasswordIsForgottenSoTheNextTestAsksAgain) {
    MailAccount account = Account();
    account.caFile = server->CaFile().string();
    CMailAccountsDlg dialog({account}, 0, nullptr, Passwords("wrong"));
    dialog.show();
    EXPECT_EQ(Tested(dialog), ConnectionVerdict::Login);
    EXPECT_EQ(forgotten, QStringList{QString::fromStdString(ImapAccountKey(account.server))});
    EXPECT_FALSE(dialog.ConnectionTest()->TrustButton()->isVisible());
}

TEST_F(MailAccountsDlgTest, TheReachAndTheOwnAddressesAreEditedWithTheAccounts) {
    MailAccount odd = Account();
    odd.sinceDays = 200;  // typed into the file by hand
    CMailAccountsDlg dialog({Account(), odd}, 0, nullptr, Passwords(server->Password()));
    dialog.OfferOwnAddresses({"me@example.org"});
    dialog.show();
    EXPECT_EQ(dialog.SinceBox()->currentText(), QStringLiteral("365 日"));
    dialog.SinceBox()->setCurrentIndex(dialog.SinceBox()->findText(QStringLiteral("すべて")));
    dialog.List()->setCurrentRow(1);
    EXPECT_EQ(dialog.SinceBox()->currentText(), QStringLiteral("200 日"));
    auto* own = dialog.findChild<COwnAddressesEdit*>();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->toPlainText(), QStringLiteral("me@example.org"));

    own->setPlainText(QStringLiteral("me@example.org\nnot an address"));
    QString refusal;
    AcknowledgeMessageBox(&refusal, &dialog);
    dialog.accept();
    EXPECT_TRUE(refusal.contains(QStringLiteral("not an address"))) << refusal.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    own->setPlainText(QStringLiteral("me@example.org\n me2@example.org "));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(dialog.Accounts().size(), 2u);
    EXPECT_EQ(dialog.Accounts()[0].sinceDays, kSinceAllMail);
    EXPECT_EQ(dialog.Accounts()[1].sinceDays, 200);
    EXPECT_EQ(dialog.OwnAddresses(), (std::vector<std::string>{"me@example.org", "me2@example.org"}));
}

// The archive settings check their own addresses as the welcome and the accounts dialog do.
TEST(ArchiveSettingsDlg, ANonAddressKeepsTheDialogOpenAndTheStoredAddressesAsTheyWere) {
    CArchiveSettingsDlg dialog;
    dialog.SetOwnAddresses({"me@example.org"});
    dialog.show();
    dialog.AddressEdit()->setPlainText(QStringLiteral("not an address"));
    QString refusal;
    AcknowledgeMessageBox(&refusal, &dialog);
    dialog.accept();
    EXPECT_TRUE(refusal.contains(QStringLiteral("not an address"))) << refusal.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.OwnAddresses(), std::vector<std::string>{"me@example.org"});
    dialog.AddressEdit()->setPlainText(QStringLiteral(" me2@example.org \n\n"));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.OwnAddresses(), std::vector<std::string>{"me2@example.org"});
}

}  // namespace
