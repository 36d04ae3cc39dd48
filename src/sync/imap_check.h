// The check of one IMAP account: for each folder, the mails from or to the given
// addresses that arrived since the last check, fetched in batches (bounded by count and
// size) and handed one by one to the sink, which commits each. A check cut off keeps what
// the sink committed and the next one goes on from there; the sync point never passes a
// mail the server did not send. Runs on a worker thread; Cancel() from any other.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "sync/imap_session.h"
#include "sync/sync_state.h"

struct FetchedMail {
    std::string account;  // ImapAccountKey
    std::string folder;   // UTF-8
    bool sentFolder = false;
    std::uint32_t uid = 0;
    std::string bytes;  // the mail as the server keeps it (RFC 5322)
    std::string folderKey;  // the folder's name in the sync state
    SyncPoint point;        // the folder's sync point once this mail is kept
};

// Takes one mail in for good, with its sync point where it can; false when it could not be
// kept (the check stops there).
using MailSink = std::function<bool(const FetchedMail&)>;

struct CheckProgress {
    std::string folder;
    std::size_t done = 0;
    std::size_t total = 0;
};
using CheckProgressFn = std::function<void(const CheckProgress&)>;

struct ImapCheckOptions {
    ImapServer server;
    std::string password;
    ImapSessionOptions session;
    // UTF-8; empty: INBOX and every folder flagged \Sent (without such a flag, the folders
    // named as Sent folders are: "Sent", "送信済み", ...)
    std::vector<std::string> folders;
    std::vector<std::string> addresses;  // the pals' addresses
    int sinceYear = 0, sinceMonth = 0, sinceDay = 0;  // how far back a full check goes
};

struct CheckOutcome {
    std::size_t fetched = 0;
    std::size_t fromSentFolders = 0;
    std::vector<std::string> errors;    // UTF-8, each naming the account
    std::vector<std::string> warnings;  // UTF-8
    std::vector<std::string> folders;   // UTF-8: the folders checked to the end
    ImapFailure failure = ImapFailure::None;  // the first failure
    std::string fingerprint;  // the server certificate's, for trusting it after a refusal
    bool Ok() const { return errors.empty(); }
};

class CImapCheck {
public:
    explicit CImapCheck(CSyncStateStore& state) : m_state(state) {}

    CheckOutcome Run(const ImapCheckOptions& options, const MailSink& sink, const CheckProgressFn& progress = {});
    void Cancel() { m_cancel.Cancel(); }

private:
    struct Folder {
        std::string wireName;
        std::string displayName;
        bool sent = false;
        std::optional<ImapSelection> status;  // asked before the folders were listed
    };
    struct FolderRun;
    std::vector<Folder> FoldersToCheck(const ImapCheckOptions& options, CImapSession& session, CheckOutcome& outcome);
    // False when the connection is no longer usable.
    bool CheckFolder(const Folder& folder, const ImapCheckOptions& options, CImapSession& session, const MailSink& sink,
                     const CheckProgressFn& progress, CheckOutcome& outcome);
    bool FetchNew(FolderRun& run, const std::vector<std::uint32_t>& uids, const std::vector<std::uint64_t>& sizes);
    bool TakeBatch(FolderRun& run, const std::vector<std::uint32_t>& batch, std::uint64_t bytes);
    // The sync point moves to `uid`, unless a mail before it is still missing.
    void Passed(FolderRun& run, std::uint32_t uid);
    void Report(CImapSession& session, const std::string& folder, CheckOutcome& outcome);

    CSyncStateStore& m_state;
    CCancelToken m_cancel;
    std::string m_account;
};

// The message for a failure of the session, naming the account (and the folder, when one is given).
std::string CheckFailureText(ImapFailure failure, const std::string& account, const std::string& detail,
                             const std::string& folder, const std::string& fingerprint);

// A message template of texts.h with its "%s" filled in order. The mailbox check's messages
// stay UTF-8: account, folder names and the server's words are UTF-8 already.
std::string CheckText(std::string_view utf8Template, std::initializer_list<std::string_view> args);
