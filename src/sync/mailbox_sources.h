// The mailbox check's folders as sources of the intake: an IMAP account (the mails from or
// to the pals since its sync points) and a local folder (a Maildir folder or an mbox file,
// all of it each time; the archive keeps each mail once).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "intake/mail_source.h"
#include "sync/imap_check.h"
#include "sync/local_folder_check.h"
#include "sync/mail_accounts.h"

class CYubinoApp;

// How far back the first check of an account goes, unless told otherwise.
inline constexpr int kDefaultSinceDays = 365;
// Sets the first check's SINCE to the date `days` before today; kSinceAllMail sets none.
void SetSinceDaysAgo(ImapCheckOptions& options, int days);
// The session's trust and deadlines as the account gives them.
ImapSessionOptions SessionOptionsFor(const MailAccount& account);
// The check of an IMAP account: its server, folders, trust, deadlines and first reach.
ImapCheckOptions CheckOptionsFor(const MailAccount& account, std::string password, std::vector<std::string> addresses);

// The addresses the check asks the server about: every address of every pal, once.
std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app);

// One fetched mail into `sink`, with its sync point in the same transaction; bytes that
// are no mail only move the sync point on. False when the mail could not be kept.
bool TakeFetchedMail(CIntakeSink& sink, const FetchedMail& mail);

// What a check source tells besides its mails: the failure kind, the server's certificate.
class CCheckSource : public CMailSource {
public:
    const CheckOutcome& Outcome() const { return m_outcome; }

protected:
    // Hands the outcome's errors to the sink, naming the account.
    bool Report(CIntakeSink& sink, const std::string& account);
    CheckOutcome m_outcome;
};

class CImapSource : public CCheckSource {
public:
    CImapSource(CSyncStateStore& state, ImapCheckOptions options, CheckProgressFn progress = {})
        : m_check(state), m_options(std::move(options)), m_progress(std::move(progress)) {}
    bool ReadInto(CIntakeSink& sink) override;
    void Cancel() override { m_check.Cancel(); }

private:
    CImapCheck m_check;
    ImapCheckOptions m_options;
    CheckProgressFn m_progress;
};

class CLocalFolderSource : public CCheckSource {
public:
    CLocalFolderSource(std::string account, std::filesystem::path path, CheckProgressFn progress = {})
        : m_account(std::move(account)), m_path(std::move(path)), m_progress(std::move(progress)) {}
    bool ReadInto(CIntakeSink& sink) override;
    void Cancel() override { m_check.Cancel(); }

private:
    std::string m_account;
    std::filesystem::path m_path;
    CheckProgressFn m_progress;
    CLocalFolderCheck m_check;
};
