#include "intake/mail_intake_service.h"

#include <algorithm>

#include "archive/archive_seed.h"
#include "archive/pal_archive.h"
#include "archive/pal_mail_follow.h"
#include "archive/parsed_mail_record.h"
#include "core/cp932.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_batch.h"
#include "mail/mail_intake.h"

namespace {

// The stored own addresses count as well as those given.
std::vector<std::string> OwnAddressesOf(CPalArchive* archive, std::vector<std::string> own) {
    // An archive that cannot be read is told when the first mail goes in.
    if (CMailArchive* stored = archive ? archive->Archive() : nullptr) {
        const std::vector<std::string> more = stored->OwnAddresses().value;
        own.insert(own.end(), more.begin(), more.end());
    }
    return own;
}

bool IsAmong(const std::vector<std::string>& addresses, const std::string& address) {
    return std::any_of(addresses.begin(), addresses.end(),
                       [&](const std::string& a) { return SameAddress(a, address); });
}

// The sender's address (UTF-8); a Japanese mail text has only the one of its pal record.
std::string SenderOf(const ParsedMail& mail) {
    return mail.fromAddress.empty() ? cp932::ToUtf8(mail.pal.m_strMailAddress) : mail.fromAddress;
}

bool Writable(CPalArchive* archive) { return archive && archive->Writable(); }

// "メールを保管ファイルに保存できませんでした。(database or disk is full)", UTF-8.
std::string ArchiveFailure(const std::string& error) {
    std::string text = texts::kArchiveNotStored;
    text.erase(text.find("\r\n"), 2);  // one line
    return text.replace(text.find("%s"), 2, error);
}

}  // namespace

CMailIntakeService::CMailIntakeService(CYubinoApp& app, CPalArchive* archive, IntakeOptions options)
    : m_app(app),
      m_archive(archive),
      m_options(std::move(options)),
      m_own(OwnAddressesOf(archive, m_options.ownAddresses)) {}

bool CMailIntakeService::IsOwn(const std::string& address) const { return IsAmong(m_own, address); }

void CMailIntakeService::NoteFailure(const std::string& where, const std::string& reason) {
    // A full disk fails every mail the same way: told once, with how many met it.
    for (IntakeFailure& known : m_result.failures) {
        if (known.where == where && known.reason == reason) {
            ++known.count;
            return;
        }
    }
    m_result.failures.push_back({where, reason, 1});
}

void CMailIntakeService::Failed(const std::string& where, const std::string& reason) { NoteFailure(where, reason); }

void CMailIntakeService::PassOver(const std::vector<ArchiveSetting>& settings) {
    if (settings.empty() || !Writable(m_archive)) return;
    // Not written, the check saves its sync point itself after each mail, and tries again.
    m_archive->Archive()->WriteSettings(settings);
}

bool CMailIntakeService::Take(const ParsedMail& mail, const MailOrigin& origin,
                              const std::vector<ArchiveSetting>& settings) {
    ++m_result.read;
    const std::string sender = SenderOf(mail);
    MailRecord record = ArchiveRecordOf(mail, origin.road ? origin.road : m_options.source);
    if (origin.sentFolder || IsOwn(sender)) {
        // A mail in a Sent folder is the user's whatever its From says.
        std::vector<std::string> own = m_own;
        own.push_back(sender);
        const Kept kept = Keep(record, own, settings);
        if (kept == Kept::New) ++m_result.sent;
        return kept != Kept::Failed;
    }
    CPenPal pal;
    if (FindPalByAnyAddress(m_app, mail.pal.m_strMailAddress, pal)) {
        if (!Writable(m_archive)) m_palMails.emplace_back(pal.m_strMailAddress, mail.pal);
    } else {
        const std::size_t index = GatherUnknown(mail);
        if (m_options.unknown == UnknownSenderPolicy::Choose) m_held.push_back({index, std::move(record)});
        if (m_options.unknown != UnknownSenderPolicy::AddAll) {
            PassOver(settings);
            return true;
        }
        // Filed under the sender as the pal-to-be spells it.
        pal = m_result.unknownSenders[index];
        record.pal = ArchiveAddress(pal.m_strMailAddress);
    }
    const Kept kept = Keep(record, m_own, settings);
    if (kept == Kept::New) {
        ++m_result.received;
        m_palsWithNewMail.insert(pal.m_strMailAddress);
    }
    return kept != Kept::Failed;
}

CMailIntakeService::Kept CMailIntakeService::Keep(const MailRecord& record, const std::vector<std::string>& own,
                                                  const std::vector<ArchiveSetting>& settings) {
    if (!Writable(m_archive)) {
        ++m_result.stored;
        return Kept::New;
    }
    const CMailArchive::StoreResult stored = m_archive->TakeInQuietly({record}, own, settings);
    if (!stored.Ok()) {
        NoteFailure({}, ArchiveFailure(stored.error));
        return Kept::Failed;
    }
    // A sent mail is filed once per pal among its recipients: still one mail.
    if (stored.stored > 0) {
        ++m_result.stored;
        return Kept::New;
    }
    if (stored.duplicate > 0) ++m_result.duplicates;
    return Kept::Duplicate;
}

std::size_t CMailIntakeService::GatherUnknown(const ParsedMail& parsed) {
    ++m_result.unknownMails;
    const CPenPal& mail = parsed.pal;
    std::vector<CPenPal>& senders = m_result.unknownSenders;
    auto same = [&](const CPenPal& p) { return IsSameMailAddress(p.m_strMailAddress, mail.m_strMailAddress); };
    const auto it = std::find_if(senders.begin(), senders.end(), same);
    if (it == senders.end()) {
        CPenPal sender = mail;
        sender.m_dtFirstMail = mail.m_dtLastMail;
        // A mail without a display name: the address's local part names the pal.
        if (sender.m_strHandleName.empty())
            sender.m_strHandleName = sender.m_strMailAddress.substr(0, sender.m_strMailAddress.rfind('@'));
        senders.push_back(std::move(sender));
        return senders.size() - 1;
    }
    const COleDateTime last = it->m_dtLastMail;
    ApplyBatchRules(*it, mail.m_dtLastMail, mail.m_strLastMailText);
    if (!(it->m_dtLastMail == last)) {
        if (!mail.m_strHomePage.empty()) it->m_strHomePage = mail.m_strHomePage;
        if (!mail.m_strHandleName.empty()) it->m_strHandleName = mail.m_strHandleName;
    }
    return static_cast<std::size_t>(it - senders.begin());
}

void CMailIntakeService::AddSenders(const std::vector<int>& chosen, const ConfirmSenderFn& confirm) {
    std::vector<CPenPal>& senders = m_result.unknownSenders;
    std::vector<bool> added(senders.size(), false);
    for (int index : chosen) {
        if (index < 0 || static_cast<std::size_t>(index) >= senders.size()) continue;
        CPenPal pal = senders[static_cast<std::size_t>(index)];
        if (confirm && !confirm(pal)) continue;
        if (!m_app.AddPal(pal)) continue;  // AddPal tells why it refuses (a full table)
        added[static_cast<std::size_t>(index)] = true;
        m_result.addedPals.push_back(pal.m_strMailAddress);
        if (!Writable(m_archive)) m_palsWithNewMail.insert(pal.m_strMailAddress);
    }
    // The mails of the senders now pals go into the archive under them.
    for (HeldMail& held : m_held) {
        if (!added[held.sender]) continue;
        held.record.pal = ArchiveAddress(senders[held.sender].m_strMailAddress);
        if (Keep(held.record, m_own, {}) == Kept::New) {
            ++m_result.received;
            m_palsWithNewMail.insert(senders[held.sender].m_strMailAddress);
        }
    }
    m_held.clear();
    std::vector<CPenPal> left;
    for (std::size_t i = 0; i < senders.size(); ++i)
        if (!added[i]) left.push_back(std::move(senders[i]));
    senders = std::move(left);
}

std::vector<std::string> CMailIntakeService::FollowMails() {
    if (Writable(m_archive)) {
        const ArchiveStatus removed = m_archive->Archive()->RemoveSeedTwins();
        ArchiveResult<std::vector<std::string>> followed = FollowArchive(m_app, *m_archive->Archive());
        for (const ArchiveStatus* status : {&removed, static_cast<const ArchiveStatus*>(&followed)})
            if (!status->Ok()) NoteFailure({}, ArchiveFailure(status->error));
        return std::move(followed.value);
    }
    // No archive: the mails read, by the same rules.
    std::vector<std::string> updated;
    for (const auto& [address, mail] : m_palMails) {
        CPenPal pal;
        if (!m_app.FindPalByAddress(address, pal) || !ApplyBatchRules(pal, mail.m_dtLastMail, mail.m_strLastMailText))
            continue;
        m_app.ReplacePal(pal);
        if (std::find(updated.begin(), updated.end(), address) == updated.end()) updated.push_back(address);
    }
    return updated;
}

IntakeResult CMailIntakeService::Finish(const std::vector<int>& chosen, const ConfirmSenderFn& confirm) {
    {
        CTableChange change(m_app, StepKind::MailIntake, FormatText(texts::kStepMailIntake, m_result.read));
        std::vector<int> all;
        if (m_options.unknown == UnknownSenderPolicy::AddAll)
            for (std::size_t i = 0; i < m_result.unknownSenders.size(); ++i) all.push_back(static_cast<int>(i));
        AddSenders(m_options.unknown == UnknownSenderPolicy::AddAll ? all : chosen, confirm);
        m_result.updatedPals = FollowMails();
    }
    m_result.palsWithNewMail.assign(m_palsWithNewMail.begin(), m_palsWithNewMail.end());
    if (!m_result.updatedPals.empty() || !m_result.addedPals.empty()) {
        m_app.UpdateListView();
        m_app.UpdateMapView();
    }
    return m_result;
}

void TakeInSingleMail(CYubinoApp& app, CPalArchive* archive, const ParsedMail& mail) {
    if (mail.replacedCharacters > 0) TellReplacedCharacters(app);
    const MailRecord record = ArchiveRecordOf(mail, "drop");
    const std::string sender = SenderOf(mail);
    if (IsAmong(OwnAddressesOf(archive, {}), sender)) {
        if (archive) archive->TakeIn({record}, {sender});
        app.UI().ShowMessage(Cp932Text(texts::kMailTakenAsSent), MessageKind::Information);
        return;
    }
    CPenPal received = mail.pal;
    CPenPal pal;
    // The road after parsing looks a pal up by its key, the first address.
    if (FindPalByAnyAddress(app, received.m_strMailAddress, pal)) received.m_strMailAddress = pal.m_strMailAddress;
    // The archive keeps the mail whole (its Message-ID and subject), not the table's copy.
    if (TakeInReceivedMail(app, received, archive ? nullptr : "drop") && archive) archive->TakeIn({record});
}
