#include "archive/pal_archive.h"

#include "archive/archive_seed.h"
#include "archive/pal_mail_follow.h"
#include "core/cp932.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"

namespace fs = std::filesystem;

namespace {

std::string SnoozeSettingKey(const std::string& archiveAddress) { return "snooze." + archiveAddress; }

std::string PathText(const fs::path& path) { return cp932::FromUtf8(path.string()).value_or(path.string()); }

}  // namespace

CPalArchive::CPalArchive(CYubinoApp& app, DocumentFn document, CJobRunner* jobs)
    : m_app(app), m_document(std::move(document)), m_jobs(jobs ? *jobs : m_ownJobs) {}

void CPalArchive::Tell(const std::string& cp932Message) { m_app.UI().ShowMessage(cp932Message, MessageKind::Warning); }

bool CPalArchive::Report(const ArchiveStatus& status, const char* failedText) {
    switch (status.kind) {
        case ArchiveStatus::Kind::Ok:
            return false;
        case ArchiveStatus::Kind::Failed:
            Tell(FormatText(failedText, cp932::FromUtf8(status.error).value_or("")));
            return true;
        case ArchiveStatus::Kind::DamagedValue:
            // Once an opening: the value in its place serves until the user sets it again.
            if (!m_bToldDamage) Tell(Cp932Text(texts::kArchiveSettingDamaged));
            m_bToldDamage = true;
            return true;
    }
    return true;
}

CPalArchive::~CPalArchive() { StopCheck(); }

void CPalArchive::OpenFor(const ArchiveDocument& document) {
    StopCheck();
    m_archive.Close();
    m_openedFor = document.dataFile;
    m_bTried = true;
    m_bToldDamage = false;
    if (document.dataFile.empty()) return;
    const fs::path path = CMailArchive::PathFor(document.dataFile);
    const CMailArchive::OpenResult opened = m_archive.Open(path, document.readOnly);
    switch (opened.status) {
        case CMailArchive::OpenStatus::Rebuilt:
            Tell(FormatText(texts::kArchiveRebuilt, PathText(opened.movedAside.filename())));
            break;
        case CMailArchive::OpenStatus::NewerSchema:
            Tell(Cp932Text(texts::kArchiveNewer));
            return;
        case CMailArchive::OpenStatus::Failed:
            Tell(FormatText(texts::kArchiveUnavailable, PathText(path)));
            return;
        case CMailArchive::OpenStatus::Missing:
            return;
        case CMailArchive::OpenStatus::Opened:
        case CMailArchive::OpenStatus::Created:
            break;
    }
    if (m_archive.IsReadOnly()) return;
    StartCheck(path);
    if (Seed()) FollowMails();
}

std::vector<std::string> CPalArchive::FollowMails() {
    if (!m_archive.IsOpen() || m_archive.IsReadOnly()) return {};
    CTableChange change(m_app, StepKind::Edit);
    ArchiveResult<std::vector<std::string>> followed = FollowArchive(m_app, m_archive);
    if (!followed.Ok()) Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(followed.error).value_or("")));
    return std::move(followed.value);
}

bool CPalArchive::Seed() {
    // An old file's history starts with the last mails it kept; the mails the archive
    // holds already are never stored twice.
    const CMailArchive::StoreResult seeded = m_archive.StoreSeeds(SeedRecords(m_app.Pals()));
    if (seeded.Ok()) return true;
    // The failure may be the damage the running check is about to find; its message says both.
    if (TakeCheckResult(true)) return false;
    Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(seeded.error).value_or("")));
    return false;
}

void CPalArchive::StartCheck(const fs::path& path) {
    // Unreadable settings make it due: the check runs, and finds why.
    if (!m_archive.CheckDue(CalendarDay::Today().Format())) return;
    m_checkResult = std::make_shared<CMailArchive::CheckResult>(CMailArchive::CheckResult::NotFinished);
    m_check = m_jobs.Start([path, result = m_checkResult](CJobToken& token) {
        CMailArchive::CheckStop stop;
        token.OnCancel([&stop] { stop.Stop(); });
        *result = CMailArchive::CheckFile(path, stop);
        token.OnCancel({});
    });
}

void CPalArchive::StopCheck() {
    if (!m_check) return;
    m_check->Cancel();
    m_check->Wait();
    m_check.reset();
}

bool CPalArchive::TakeCheckResult(bool wait) {
    if (!m_check) return false;
    if (!wait && !m_check->Finished()) return false;
    m_check->Wait();
    m_check.reset();
    switch (*m_checkResult) {
        case CMailArchive::CheckResult::Healthy:
            // Not recorded, the check runs again next time.
            m_archive.RecordCheck(CalendarDay::Today().Format());
            break;
        case CMailArchive::CheckResult::Damaged: {
            const CMailArchive::OpenResult rebuilt = m_archive.Rebuild();
            if (rebuilt.status != CMailArchive::OpenStatus::Rebuilt) {
                Tell(FormatText(texts::kArchiveUnavailable, PathText(CMailArchive::PathFor(m_openedFor))));
                return true;
            }
            Tell(FormatText(texts::kArchiveRebuilt, PathText(rebuilt.movedAside.filename())));
            Seed();
            return true;
        }
        case CMailArchive::CheckResult::NotFinished:
            break;
    }
    return false;
}

void CPalArchive::WaitForDamageCheck() { TakeCheckResult(true); }

CMailArchive* CPalArchive::Archive() {
    const ArchiveDocument document = m_document ? m_document() : ArchiveDocument{};
    if (!m_bTried || document.dataFile != m_openedFor) OpenFor(document);
    TakeCheckResult(false);
    return m_archive.IsOpen() ? &m_archive : nullptr;
}

bool CPalArchive::Writable() {
    const CMailArchive* archive = Archive();
    return archive && !archive->IsReadOnly();
}

bool CPalArchive::CopyAlongTo(const fs::path& newDataFile) {
    const fs::path target = CMailArchive::PathFor(newDataFile);
    std::error_code ec;
    CMailArchive* archive = Archive();
    if (!archive || fs::exists(target, ec)) return false;
    return !Report(archive->CopyTo(target));
}

std::vector<std::string> CPalArchive::TableAddresses() const {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : m_app.Pals()) addresses.push_back(ArchiveAddress(pal.m_strMailAddress));
    return addresses;
}

CMailArchive::StoreResult CPalArchive::TakeIn(const std::vector<MailRecord>& mails,
                                              const std::vector<std::string>& moreOwnAddresses,
                                              const std::vector<ArchiveSetting>& settings) {
    CMailArchive::StoreResult result = TakeInQuietly(mails, moreOwnAddresses, settings);
    if (!result.Ok()) Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(result.error).value_or("")));
    return result;
}

CMailArchive::StoreResult CPalArchive::TakeInQuietly(const std::vector<MailRecord>& mails,
                                                     const std::vector<std::string>& moreOwnAddresses,
                                                     const std::vector<ArchiveSetting>& settings) {
    if (!Writable()) return {};
    ArchiveResult<std::vector<std::string>> stored = m_archive.OwnAddresses();
    if (!stored.Ok()) {
        CMailArchive::StoreResult failed;
        failed.error = stored.error;
        return failed;
    }
    std::vector<std::string> own = std::move(stored.value);
    own.insert(own.end(), moreOwnAddresses.begin(), moreOwnAddresses.end());
    // Any of a pal's three addresses files the mail under the pal's first one.
    const FindPalFn findPal = [&](std::string_view address) -> std::optional<std::string> {
        CPenPal pal;
        if (!FindPalByAnyAddress(m_app, TableAddress(std::string(address)), pal)) return std::nullopt;
        return ArchiveAddress(pal.m_strMailAddress);
    };
    std::vector<MailRecord> filed;
    for (const MailRecord& mail : mails) {
        std::vector<MailRecord> copies = FileMail(mail, own, findPal);
        filed.insert(filed.end(), std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
    }
    return m_archive.Store(filed, settings);
}

void CPalArchive::MarkAnswered(const std::vector<std::string>& addresses, const std::string& now) {
    std::vector<MailRecord> answers;
    for (const std::string& address : addresses) {
        MailRecord answer;
        answer.pal = ArchiveAddress(address);
        answer.direction = MailDirection::Sent;
        answer.date = now;
        answer.source = kAnsweredSource;
        answers.push_back(std::move(answer));
    }
    TakeIn(answers);
}

void CPalArchive::UnmarkAnswered(const std::vector<std::string>& addresses, const std::string& now) {
    if (!Writable()) return;
    for (const std::string& address : addresses)
        if (Report(m_archive.DeleteMails(ArchiveAddress(address), kAnsweredSource, now))) return;
}

bool CPalArchive::Snooze(const std::string& address, std::optional<CalendarDay> until) {
    if (!Writable()) return false;
    return !Report(m_archive.WriteSettings(
        {{SnoozeSettingKey(ArchiveAddress(address)), until ? until->Format() : std::string()}}));
}

std::optional<CalendarDay> CPalArchive::SnoozedUntil(const std::string& address) {
    CMailArchive* archive = Archive();
    if (!archive) return std::nullopt;
    const std::optional<std::string> until = archive->ReadSetting(SnoozeSettingKey(ArchiveAddress(address))).value;
    return until ? CalendarDay::Parse(*until) : std::nullopt;
}

ReplyQueue CPalArchive::Queue(CalendarDay today, std::optional<int> quietDaysForAll) {
    return QueueBefore(today, quietDaysForAll, "A");  // every date sorts before "A"
}

ReplyQueue CPalArchive::QueueAsOf(CalendarDay day, std::optional<int> quietDaysForAll) {
    return QueueBefore(day, quietDaysForAll, CalendarDay{day.number + 1}.Format());
}

ReplyQueue CPalArchive::QueueBefore(CalendarDay today, std::optional<int> quietDaysForAll, const std::string& before) {
    CMailArchive* archive = Archive();
    if (!archive) return {};
    const ArchiveResult<std::vector<PalMailDates>> dates =
        archive->MailDatesBefore(TableAddresses(), quietDaysForAll, before);
    // An archive of another layout (a newer Yubino's) has no queue for us.
    if (dates.kind == ArchiveStatus::Kind::Failed) return {};
    Report(dates);
    ReplyQueue queue = BuildReplyQueue(dates.value, today);
    for (QueueEntry& entry : queue.waiting) {
        const std::optional<std::string> until = archive->ReadSetting(SnoozeSettingKey(entry.pal)).value;
        if (until && *until > today.Format()) entry.snoozedUntil = *until;
    }
    return queue;
}

void CPalArchive::MailTakenIn(const CPenPal* before, const CPenPal& pal, const char* source) {
    if (before && Writable()) {
        const CMailArchive::StoreResult seeded = m_archive.StoreSeeds(SeedRecords({*before}));
        if (!seeded.Ok()) Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(seeded.error).value_or("")));
    }
    TakeIn({LastMailOf(pal, source)});
}

void CPalArchive::AddressChanged(const std::string& oldAddress, const std::string& newAddress) {
    if (Writable()) Report(m_archive.ChangePalAddress(ArchiveAddress(oldAddress), ArchiveAddress(newAddress)));
}

bool CPalArchive::HasMails(const std::string& address) {
    CMailArchive* archive = Archive();
    return archive && archive->MailCount(ArchiveAddress(address)).value > 0;
}

std::optional<PalCard> CPalArchive::ReadCard(const std::string& address) {
    CMailArchive* archive = Archive();
    // An archive of another layout keeps no records for us.
    return archive ? archive->ReadPalCard(ArchiveAddress(address)).value : std::nullopt;
}

bool CPalArchive::WriteCard(const std::string& address, const PalCard& card) {
    if (!Writable()) return false;
    return !Report(m_archive.WritePalCard(ArchiveAddress(address), card));
}

void CPalArchive::PalDeleted(const std::string& address, bool deleteMails) {
    if (deleteMails && Writable()) Report(m_archive.DeletePalMails(ArchiveAddress(address)));
}
