// The user's mail accounts, kept in $XDG_CONFIG_HOME/yubino/accounts.ini: never in the pal
// data file or the one-line settings file, and never with a password (that is the
// keyring's, or asked once per session).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "storage/app_paths.h"
#include "storage/atomic_file.h"
#include "sync/imap_url.h"

// How far back an account's first check goes when it takes every mail, however old.
inline constexpr int kSinceAllMail = 0;
// The reaches offered for the first check, in days.
inline constexpr int kSinceDayChoices[] = {30, 90, 365, kSinceAllMail};

struct MailAccount {
    enum class Kind { Imap, Maildir, Mbox };
    std::string name;  // as the user calls it; unique
    Kind kind = Kind::Imap;
    ImapServer server;                 // Imap
    std::vector<std::string> folders;  // Imap, UTF-8; empty: INBOX and the folders flagged \Sent
    int sinceDays = 365;               // how far back the first check goes; kSinceAllMail: no limit
    std::string caFile;                // Imap; empty: the system's certificates
    std::string trustedFingerprint;    // Imap; SHA-256 of a certificate the user trusted
    std::string path;                  // Maildir folder, mbox file or a mail program's profile folder
    int commandTimeoutSeconds = 120;   // Imap: the longest one command may take
    int checkTimeoutSeconds = 30 * 60;  // Imap: the longest the whole check may take
    bool operator==(const MailAccount&) const = default;
};

// An address book on a CardDAV server, kept in the same file under a section of its own;
// its password is the keyring's too.
struct ContactAccount {
    std::string url;  // https://server[:port]/path, any URL of the server
    std::string user;
    std::string caFile;              // empty: the system's certificates
    std::string trustedFingerprint;  // SHA-256 of a certificate the user trusted
    std::string book;                // the address book chosen; empty: the only one
    bool operator==(const ContactAccount&) const = default;
};

std::filesystem::path MailAccountsFile(const EnvLookup& env = SystemEnv);

struct MailAccountsRead {
    std::vector<MailAccount> accounts;
    std::vector<ContactAccount> contactAccounts;
    int checkEveryMinutes = 0;  // 0: only when asked; otherwise at start-up and every so many minutes
    std::string error;          // UTF-8; empty when the file was read (or is not there yet)
};
MailAccountsRead ReadMailAccounts(const std::filesystem::path& file);
// Each writer keeps what the file holds of the other kind.
WriteResult WriteMailAccounts(const std::filesystem::path& file, const std::vector<MailAccount>& accounts,
                              int checkEveryMinutes = 0);
// Refused, with the reason, when the file holds something it cannot read: the mail
// accounts in it would be lost.
WriteResult WriteContactAccounts(const std::filesystem::path& file, const std::vector<ContactAccount>& accounts);
