#include "ui/mail/mail_password_store.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace {

// Runs a keychain job to its end; the keyring may show its own prompt meanwhile.
void RunJob(QKeychain::Job& job) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);  // never a plain-text copy
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

}  // namespace

CMailPasswordStore::CMailPasswordStore(AskFn ask, QString service) : m_ask(std::move(ask)), m_service(std::move(service)) {}

std::optional<QString> CMailPasswordStore::ReadKeyring(const QString& account) {
    QKeychain::ReadPasswordJob job(m_service);
    job.setKey(account);
    RunJob(job);
    if (job.error() != QKeychain::NoError) return std::nullopt;
    return job.textData();
}

bool CMailPasswordStore::WriteKeyring(const QString& account, const QString& password) {
    QKeychain::WritePasswordJob job(m_service);
    job.setKey(account);
    job.setTextData(password);
    RunJob(job);
    return job.error() == QKeychain::NoError;
}

std::optional<QString> CMailPasswordStore::Password(const QString& account, bool mayAsk) {
    if (const auto it = m_session.constFind(account); it != m_session.constEnd()) return *it;
    if (std::optional<QString> stored = ReadKeyring(account)) {
        m_session.insert(account, *stored);
        return stored;
    }
    if (!mayAsk) return std::nullopt;
    std::optional<QString> typed = m_ask(account);
    if (!typed) return std::nullopt;
    Remember(account, *typed);
    return typed;
}

void CMailPasswordStore::Remember(const QString& account, const QString& password) {
    m_keyringAnswered = WriteKeyring(account, password);
    m_session.insert(account, password);
}

void CMailPasswordStore::Forget(const QString& account) {
    m_session.remove(account);
    QKeychain::DeletePasswordJob job(m_service);
    job.setKey(account);
    RunJob(job);
}
