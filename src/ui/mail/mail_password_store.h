// The passwords of the mail accounts: kept in the desktop's keyring (Secret Service or
// KWallet, through QtKeychain). Where no keyring answers, a password is asked once per
// session and kept in memory only; Yubino never writes one to a file.
#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

class CMailPasswordStore {
public:
    // Asks the user for the account's password; nullopt when the user cancels.
    using AskFn = std::function<std::optional<QString>(const QString& account)>;

    explicit CMailPasswordStore(AskFn ask, QString service = QStringLiteral("yubino-mail"));

    // The account's password: from this session's memory, the keyring, or (with `mayAsk`) the user.
    std::optional<QString> Password(const QString& account, bool mayAsk = true);
    // A password the user gave in a dialog: kept as an asked one is.
    void Remember(const QString& account, const QString& password);
    // After the server refused it: asked again next time.
    void Forget(const QString& account);
    // Whether the last password asked for could be stored in the keyring.
    bool KeyringAnswered() const { return m_keyringAnswered; }

private:
    std::optional<QString> ReadKeyring(const QString& account);
    bool WriteKeyring(const QString& account, const QString& password);

    AskFn m_ask;
    QString m_service;
    QHash<QString, QString> m_session;
    bool m_keyringAnswered = false;
};
