#include "archive/pal_archive.h"

#include "archive/archive_seed.h"
#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAnsweredSource = "answered";

std::string SnoozeSettingKey(const std::string& archiveAddress) { return "snooze." + archiveAddress; }

std::string PathText(const fs::path& path) { return cp932::FromUtf8(path.string()).value_or(path.string()); }

}  // namespace

CPalArchive::CPalArchive(CYubinoApp& app, DocumentFn document) : m_app(app), m_document(std::move(document)) {}

void CPalArchive::Tell(const std::string& cp932Message) { m_app.UI().ShowMessage(cp932Message, MessageKind::Warning); }

CPalArchive::~CPalArchive() { StopCheck(); }

void CPalArchive::OpenFor(const ArchiveDocument& document) {
    StopCheck();
    m_archive.Close();
    m_openedFor = document.dataFile;
    m_bTried = true;
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
    Seed();
}

void CPalArchive::Seed() {
    // An old file's history starts with the last mails it kept; stored ones are skipped.
    const CMailArchive::StoreResult seeded = m_archive.Store(SeedRecords(m_app.Pals()));
    if (seeded.Ok()) return;
    // The failure may be the damage the running check is about to find; its message says both.
    if (TakeCheckResult(true)) return;
    Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(seeded.error).value_or("")));
}

void CPalArchive::StartCheck(const fs::path& path) {
    try {
        if (!m_archive.CheckDue(CalendarDay::Today().Format())) return;
    } catch (const CSqliteError&) {
        // Unreadable settings: the check runs, and finds why.
    }
    m_checkStop = std::make_unique<CMailArchive::CheckStop>();
    m_check = std::async(std::launch::async,
                         [path, stop = m_checkStop.get()] { return CMailArchive::CheckFile(path, *stop); });
}

void CPalArchive::StopCheck() {
    if (!m_check.valid()) return;
    m_checkStop->Stop();
    m_check.get();
}

bool CPalArchive::TakeCheckResult(bool wait) {
    if (!m_check.valid()) return false;
    if (!wait && m_check.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return false;
    switch (m_check.get()) {
        case CMailArchive::CheckResult::Healthy:
            try {
                m_archive.RecordCheck(CalendarDay::Today().Format());
            } catch (const CSqliteError&) {
                // Not recorded: the check runs again next time.
            }
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
    try {
        archive->CopyTo(target);
        return true;
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
        return false;
    }
}

std::vector<std::string> CPalArchive::TableAddresses() const {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : m_app.Pals()) addresses.push_back(ArchiveAddress(pal.m_strMailAddress));
    return addresses;
}

CMailArchive::StoreResult CPalArchive::TakeIn(const std::vector<MailRecord>& mails,
                                              const std::vector<std::string>& moreOwnAddresses,
                                              const std::vector<ArchiveSetting>& settings) {
    if (!Writable()) return {};
    std::vector<std::string> own;
    try {
        own = m_archive.OwnAddresses();
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
        return {};
    }
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
    CMailArchive::StoreResult result = m_archive.Store(filed, settings);
    if (!result.Ok()) Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(result.error).value_or("")));
    return result;
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
    try {
        for (const std::string& address : addresses)
            m_archive.DeleteMails(ArchiveAddress(address), kAnsweredSource, now);
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
    }
}

bool CPalArchive::Snooze(const std::string& address, std::optional<CalendarDay> until) {
    if (!Writable()) return false;
    try {
        m_archive.WriteSettings({{SnoozeSettingKey(ArchiveAddress(address)), until ? until->Format() : std::string()}});
        return true;
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
        return false;
    }
}

std::optional<CalendarDay> CPalArchive::SnoozedUntil(const std::string& address) {
    CMailArchive* archive = Archive();
    if (!archive) return std::nullopt;
    try {
        const std::optional<std::string> until = archive->ReadSetting(SnoozeSettingKey(ArchiveAddress(address)));
        return until ? CalendarDay::Parse(*until) : std::nullopt;
    } catch (const CSqliteError&) {
        return std::nullopt;
    }
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
    try {
        ReplyQueue queue = BuildReplyQueue(archive->MailDatesBefore(TableAddresses(), quietDaysForAll, before), today);
        for (QueueEntry& entry : queue.waiting) {
            const std::optional<std::string> until = archive->ReadSetting(SnoozeSettingKey(entry.pal));
            if (until && *until > today.Format()) entry.snoozedUntil = *until;
        }
        return queue;
    } catch (const CSqliteError&) {
        return {};  // an archive of another layout (a newer Yubino's) has no queue for us
    }
}

void CPalArchive::MailTakenIn(const CPenPal* before, const CPenPal& pal, const char* source) {
    std::vector<MailRecord> mails = SeedRecords(before ? std::vector<CPenPal>{*before} : std::vector<CPenPal>{});
    mails.push_back(LastMailOf(pal, source));
    TakeIn(mails);
}

void CPalArchive::AddressChanged(const std::string& oldAddress, const std::string& newAddress) {
    if (!Writable()) return;
    try {
        m_archive.ChangePalAddress(ArchiveAddress(oldAddress), ArchiveAddress(newAddress));
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
    }
}

bool CPalArchive::HasMails(const std::string& address) {
    CMailArchive* archive = Archive();
    try {
        return archive && archive->MailCount(ArchiveAddress(address)) > 0;
    } catch (const CSqliteError&) {
        return false;
    }
}

void CPalArchive::PalDeleted(const std::string& address, bool deleteMails) {
    if (!deleteMails || !Writable()) return;
    try {
        m_archive.DeletePalMails(ArchiveAddress(address));
    } catch (const CSqliteError& e) {
        Tell(FormatText(texts::kArchiveNotStored, cp932::FromUtf8(e.what()).value_or("")));
    }
}
