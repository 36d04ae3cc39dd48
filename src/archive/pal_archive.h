// The archive of the document in use, as the pal table sees it: opened at first use (off
// the start-up path) for the data file the document names, seeded from the table's last
// mails, opened again when another file becomes the document, and told of every intake,
// address change and delete. Once a day the full damage check runs as a job of the
// runner given (the window's, or one of its own); its finding is taken up at the next use
// (a damaged archive is moved aside and rebuilt). Problems reach the user once through
// the port.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "core/jobs.h"
#include "core/pal_card.h"
#include "core/pal_history.h"
#include "core/texts.h"

class CYubinoApp;

struct ArchiveDocument {
    std::filesystem::path dataFile;  // empty: no document, no archive
    bool readOnly = false;           // the data file is in use elsewhere
};

class CPalArchive : public CPalHistory, public CPalCardStore {
public:
    using DocumentFn = std::function<ArchiveDocument()>;
    // The damage check runs as a job of `jobs`; none: of a runner of its own.
    CPalArchive(CYubinoApp& app, DocumentFn document, CJobRunner* jobs = nullptr);
    ~CPalArchive() override;
    CPalArchive(const CPalArchive&) = delete;
    CPalArchive& operator=(const CPalArchive&) = delete;

    // The archive of the current document; nullptr when there is none to be had.
    CMailArchive* Archive();
    // Whether the archive can take mails (open and not read-only).
    bool Writable();
    // Told while an opening archive is brought to the present format (seconds, for one
    // with thousands of old twins).
    void SetMigrationProgress(MigrationProgressFn progress) { m_archive.SetMigrationProgress(std::move(progress)); }
    // Waits for a running damage check and acts on its finding now.
    void WaitForDamageCheck();

    // Tells the user of a failed call through the archive (Failed: `failedText` with what
    // SQLite said; a damaged value: once per opening). True when there was something to tell.
    bool Report(const ArchiveStatus& status, const char* failedText = texts::kArchiveNotStored);

    // Save As: the archive goes along to the new data file, unless one is there already.
    // True when a copy was made.
    bool CopyAlongTo(const std::filesystem::path& newDataFile);

    // Mails from any reader, filed by the stored own addresses and `moreOwnAddresses`
    // under the table's pals, in one transaction with `settings`. Failures are told through
    // the port.
    CMailArchive::StoreResult TakeIn(const std::vector<MailRecord>& mails,
                                     const std::vector<std::string>& moreOwnAddresses = {},
                                     const std::vector<ArchiveSetting>& settings = {});
    // The same, telling nothing: the caller reports the failure (once, however many mails met it).
    CMailArchive::StoreResult TakeInQuietly(const std::vector<MailRecord>& mails,
                                            const std::vector<std::string>& moreOwnAddresses = {},
                                            const std::vector<ArchiveSetting>& settings = {});
    // The pals follow the archive's mails (newer last mails, older first mails), as one
    // table change; returns the addresses of the pals changed.
    std::vector<std::string> FollowMails();

    // "返事を書いた": a sent entry without text at `now` for each pal (code page 932 addresses).
    void MarkAnswered(const std::vector<std::string>& addresses, const std::string& now);
    // Takes back what MarkAnswered did at `now`.
    void UnmarkAnswered(const std::vector<std::string>& addresses, const std::string& now);
    // "あとで": the pal (code page 932 address) is put off in the queue until `until`, or no
    // longer when nothing is given. False when the archive cannot keep it (told).
    bool Snooze(const std::string& address, std::optional<CalendarDay> until);
    std::optional<CalendarDay> SnoozedUntil(const std::string& address);

    // The reply queue over the table's pals (addresses in UTF-8).
    ReplyQueue Queue(CalendarDay today, std::optional<int> quietDaysForAll = std::nullopt);
    // The reply queue as it stood at the end of `day`: later mails are left out.
    ReplyQueue QueueAsOf(CalendarDay day, std::optional<int> quietDaysForAll = std::nullopt);

    void MailTakenIn(const CPenPal* before, const CPenPal& pal, const char* source) override;
    void AddressChanged(const std::string& oldAddress, const std::string& newAddress) override;
    bool HasMails(const std::string& address) override;
    // The record beside the pal's entry (code page 932 address); none without an archive.
    std::optional<PalCard> ReadCard(const std::string& address) override;
    bool WriteCard(const std::string& address, const PalCard& card) override;
    void PalDeleted(const std::string& address, bool deleteMails) override;

private:
    void OpenFor(const ArchiveDocument& document);
    // False when the last mails could not be stored (told already).
    bool Seed();
    void StartCheck(const std::filesystem::path& path);
    void StopCheck();
    // Acts on the check's finding (waiting for it with `wait`); true when it was damage.
    bool TakeCheckResult(bool wait);
    void Tell(const std::string& cp932Message);
    ReplyQueue QueueBefore(CalendarDay today, std::optional<int> quietDaysForAll, const std::string& before);
    std::vector<std::string> TableAddresses() const;

    CYubinoApp& m_app;
    DocumentFn m_document;
    CMailArchive m_archive;
    std::filesystem::path m_openedFor;
    bool m_bTried = false;
    bool m_bToldDamage = false;
    CJobRunner m_ownJobs;
    CJobRunner& m_jobs;
    std::shared_ptr<CJob> m_check;
    std::shared_ptr<CMailArchive::CheckResult> m_checkResult;
};
