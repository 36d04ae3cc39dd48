// The one intake of mail: every road (a dropped or pasted mail, the window's batch of
// files, take-mail, the mailbox check of local and IMAP folders) sends its mails here.
// The rules live in this one place:
// - direction: a mail from one of the user's own addresses (the archive's and those
//   given), or found in a Sent folder, is a sent one; own addresses are never unknown;
// - matching: a mail belongs to the pal any of whose three addresses is its address,
//   letter case aside (the pal's spelling is kept);
// - order: the chosen senders become pals, every mail goes into the archive with its
//   Message-ID (or its stable hash id), then the pals follow the archive by the batch rules;
// - one undo step per run, named for the mails taken in;
// - one result that the window shows and the command line prints.
// Qt-free; runs on the thread that owns the pal table.
#pragma once

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "archive/mail_record.h"
#include "core/pen_pal.h"
#include "intake/mail_source.h"

class CPalArchive;
class CYubinoApp;

enum class UnknownSenderPolicy {
    Ignore,  // listed in the result, their mails not kept
    AddAll,  // every one becomes a pal (take-mail --add-new)
    Choose,  // the caller picks at the end (the window's list of senders)
};

struct IntakeOptions {
    UnknownSenderPolicy unknown = UnknownSenderPolicy::Ignore;
    // The user's own addresses besides those the archive keeps (--me).
    std::vector<std::string> ownAddresses;
    // The road's name in the archive ("mail-file", "imap", "drop").
    const char* source = "mail-file";
};

struct IntakeFailure {
    std::string where;   // UTF-8: a file, folder or account; empty for the archive
    std::string reason;  // UTF-8
    int count = 1;       // mails that met the same failure
};

struct IntakeResult {
    int read = 0;        // mails read
    int stored = 0;      // new in the archive (every pal's mail, where no archive is kept)
    int duplicates = 0;  // in the archive already
    int received = 0;    // new received mails of pals
    int sent = 0;        // new sent mails to pals
    // Pals (first address, code page 932) with a new received mail: senders counted by pal.
    std::vector<std::string> palsWithNewMail;
    std::vector<std::string> updatedPals;  // whose last or first mail changed
    std::vector<std::string> addedPals;
    std::vector<CPenPal> unknownSenders;  // prefilled records, those added gone
    int unknownMails = 0;
    std::vector<IntakeFailure> failures;
};

class CMailIntakeService : public CIntakeSink {
public:
    // `archive` may be null (a document without a file): the pals then follow the mails read.
    CMailIntakeService(CYubinoApp& app, CPalArchive* archive, IntakeOptions options);

    bool Take(const ParsedMail& mail, const MailOrigin& origin = {},
              const std::vector<ArchiveSetting>& settings = {}) override;
    void PassOver(const std::vector<ArchiveSetting>& settings) override;
    void Failed(const std::string& where, const std::string& reason) override;

    // Reads the source to its end, or until it stops. False when it stopped early.
    bool Read(CMailSource& source) { return source.ReadInto(*this); }

    // Senders no pal has, so far: one record each (handle name, address, newest mail).
    const std::vector<CPenPal>& UnknownSenders() const { return m_result.unknownSenders; }

    // Ends the run: the senders at `chosen` (indexes into UnknownSenders, for Choose; every
    // one for AddAll) become pals once `confirm` (may be empty) agrees, their mails go into
    // the archive, and the pals follow it. All of it is one undo step.
    using ConfirmSenderFn = std::function<bool(CPenPal&)>;
    IntakeResult Finish(const std::vector<int>& chosen = {}, const ConfirmSenderFn& confirm = {});

private:
    enum class Kept { New, Duplicate, Failed };
    bool IsOwn(const std::string& address) const;
    Kept Keep(const MailRecord& record, const std::vector<std::string>& own,
              const std::vector<ArchiveSetting>& settings);
    // The index of the sender's record among the unknown senders.
    std::size_t GatherUnknown(const ParsedMail& mail);
    void AddSenders(const std::vector<int>& chosen, const ConfirmSenderFn& confirm);
    std::vector<std::string> FollowMails();
    void NoteFailure(const std::string& where, const std::string& reason);

    struct HeldMail {
        std::size_t sender;  // index into the unknown senders
        MailRecord record;
    };

    CYubinoApp& m_app;
    CPalArchive* m_archive;
    IntakeOptions m_options;
    std::vector<std::string> m_own;  // UTF-8, the archive's and the options', merged once
    IntakeResult m_result;
    std::set<std::string> m_palsWithNewMail;
    // Mails of unknown senders, kept until the senders are chosen.
    std::vector<HeldMail> m_held;
    // Without an archive: the pals' mails as read, for the batch rules.
    std::vector<std::pair<std::string, CPenPal>> m_palMails;
};

// The single mail (dropped or pasted): asked about as a dropped mail text is (the pal
// dialog for a new sender, the same-mail question), then kept in the archive whole. A mail
// from one of the user's own addresses is kept as sent and changes no pal.
void TakeInSingleMail(CYubinoApp& app, CPalArchive* archive, const ParsedMail& mail);
