// Mail account passwords where no keyring answers (as in CI and a bare X session).
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

#include "support/temp_dir.h"
#include "ui/mail/mail_password_store.h"

namespace {

// True when any file under `dir` holds `text`.
bool AnyFileHolds(const std::filesystem::path& dir, const QByteArray& text) {
    QDirIterator it(QString::fromStdString(dir.string()), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text)) return true;
    }
    return false;
}

TEST(MailPasswordStore, WithoutAKeyringEachPasswordIsAskedOncePerSessionAndWrittenNowhere) {
    TempDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
        qputenv(name, QByteArray::fromStdString(home.path().string()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QByteArray::fromStdString((home / "no-bus").string()));

    QStringList asked;
    bool cancel = false;
    CMailPasswordStore store([&](const QString& account) -> std::optional<QString> {
        asked << account;
        if (cancel) return std::nullopt;
        return QStringLiteral("Pw-of-") + account;
    });
    EXPECT_EQ(store.Password("taro@mail.example.jp:993"), QStringLiteral("Pw-of-taro@mail.example.jp:993"));
    EXPECT_EQ(store.Password("taro@mail.example.jp:993"), QStringLiteral("Pw-of-taro@mail.example.jp:993"));
    EXPECT_FALSE(store.KeyringAnswered());
    EXPECT_EQ(store.Password("hanako@example.net:993"), QStringLiteral("Pw-of-hanako@example.net:993"));
    EXPECT_EQ(asked, (QStringList{"taro@mail.example.jp:993", "hanako@example.net:993"}));

    // A refused password is forgotten and asked again; a cancelled question gives none.
    store.Forget("taro@mail.example.jp:993");
    cancel = true;
    EXPECT_EQ(store.Password("taro@mail.example.jp:993"), std::nullopt);
    EXPECT_EQ(asked.size(), 3);

    EXPECT_FALSE(AnyFileHolds(home.path(), "Pw-of-"));
}

}  // namespace
