// Where mail comes from, as the intake service sees it: a source reads its mails and hands
// each to a sink; it knows nothing of pals or the archive. Paths, dropped bytes, local
// folders and IMAP folders are each one source.
#pragma once

#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "mail/internet_mail.h"

// Where one mail was found: the road it came by (named in the archive: "imap", "local";
// none: the intake's own) and whether it lay in a Sent folder (the user's, whatever its
// From says).
struct MailOrigin {
    const char* road = nullptr;
    bool sentFolder = false;
};

// What a source hands its mails to (the intake service, or a go-between to its thread).
class CIntakeSink {
public:
    virtual ~CIntakeSink() = default;
    // One mail; `settings` (a sync point) are stored together with it. False when it could
    // not be kept: the source stops there.
    virtual bool Take(const ParsedMail& mail, const MailOrigin& origin,
                      const std::vector<ArchiveSetting>& settings) = 0;
    // Bytes that are no mail still move a sync point on.
    virtual void PassOver(const std::vector<ArchiveSetting>& settings) = 0;
    // What could not be read: `where` names the file, folder or account; both UTF-8.
    virtual void Failed(const std::string& where, const std::string& reason) = 0;
};

class CMailSource {
public:
    virtual ~CMailSource() = default;
    // Reads every mail into `sink`; false when it stopped early (cancelled, or a mail not kept).
    virtual bool ReadInto(CIntakeSink& sink) = 0;
    // From any thread: stop at the next mail.
    virtual void Cancel() = 0;
};
