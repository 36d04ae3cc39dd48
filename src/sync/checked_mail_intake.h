// Where a mail fetched by the mailbox check enters the program. The CLI and the window's
// worker both hand every fetched mail to one CCheckedMailIntake.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "mail/mail_batch.h"
#include "sync/imap_check.h"

class CPalArchive;
class CYubinoApp;

struct CheckTally {
    std::size_t received = 0;
    std::size_t sent = 0;
    std::size_t fresh = 0;  // mails the archive did not hold yet (every mail kept without an archive)
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
    // `settings` are stored with the mail when the archive keeps it.
    bool TakeParsed(const ParsedMail& mail, bool inSentFolder, const std::vector<ArchiveSetting>& settings = {});
    CheckTally Tally() const;

private:
    bool IsOwn(const std::string& address) const;
    // A mail that is no mail, or no pal's, still moves the sync point on.
    bool PassOver(const std::vector<ArchiveSetting>& settings);

    CYubinoApp& m_app;
    CPalArchive* m_archive;
    std::vector<std::string> m_own;
    CMailBatch m_batch;
    std::size_t m_nReceived = 0;
    std::size_t m_nSent = 0;
    std::size_t m_nFresh = 0;
};
