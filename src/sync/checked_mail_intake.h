// Where a mail fetched by the mailbox check enters the program. The CLI and the window's
// worker both hand every fetched mail to one CCheckedMailIntake.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "mail/mail_batch.h"
#include "sync/imap_check.h"

class CPalArchive;
class CYubinoApp;

struct CheckTally {
    std::size_t received = 0;
    std::size_t sent = 0;
    std::vector<std::string> updated;  // addresses (code page 932) of the pals the mails updated
};

// The addresses the check asks the server about: every address of every pal, once.
std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app);

// Each fetched mail is read as Internet mail and kept in the archive (once, by its
// Message-ID; sent when it is from one of the user's own addresses or in the Sent
// folder). A received mail updates its pal by the batch rules: a newer mail replaces the
// last mail, an older one moves the first-mail date back. A sender who is no pal is
// never added.
class CCheckedMailIntake {
public:
    CCheckedMailIntake(CYubinoApp& app, CPalArchive* archive, std::vector<std::string> ownAddresses);

    // False when the mail could not be kept: the check then stops, and the mail is
    // fetched again next time. Bytes that are no mail are passed over.
    bool Take(const FetchedMail& mail);
    // A mail already read (from a local folder); `inSentFolder` makes it a sent one.
    bool TakeParsed(const ParsedMail& mail, bool inSentFolder);
    CheckTally Tally() const;

private:
    bool IsOwn(const std::string& address) const;

    CYubinoApp& m_app;
    CPalArchive* m_archive;
    std::vector<std::string> m_own;
    CMailBatch m_batch;
    std::size_t m_nReceived = 0;
    std::size_t m_nSent = 0;
};

// Reads a local Maildir folder or mbox file into `intake`, every mail of it at each check
// (the archive keeps each once, by its Message-ID). Returns the mails read; what could not
// be read is added to `errors` (UTF-8).
std::size_t CheckLocalFolder(CCheckedMailIntake& intake, const std::filesystem::path& path,
                             std::vector<std::string>& errors);
