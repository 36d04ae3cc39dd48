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

// Sets an environment variable for the life of the object.
class CEnvOverride {
public:
    CEnvOverride(const char* name, const QByteArray& value) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~CEnvOverride() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(MailPasswordStore, WithoutAKeyringEachPasswordIsAskedOncePerSessionAndWrittenNowhere) {
    TempDir home;
    const QByteArray homePath = QByteArray::fromStdString(home.path().string());
    CEnvOverride env[] = {{"HOME", homePath}, {"XDG_CONFIG_HOME", homePath}, {"XDG_DATA_HOME", homePath},
                          {"XDG_RUNTIME_DIR", homePath}, {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + homePath + "/no-bus"}};

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
