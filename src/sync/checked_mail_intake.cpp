#include "sync/checked_mail_intake.h"

#include <algorithm>

#include "archive/pal_archive.h"
#include "archive/parsed_mail_record.h"
#include "core/yubino_app.h"
#include "mail/internet_mail.h"

std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app) {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : app.Pals()) {
        for (const std::string* address : {&pal.m_strMailAddress, &pal.m_strMailAddress2, &pal.m_strMobileAddress}) {
            // Addresses are ASCII; anything else cannot be searched for on the server.
            const bool ascii = std::all_of(address->begin(), address->end(), [](char c) { return c > ' ' && c < 0x7f; });
            if (!address->empty() && ascii) addresses.push_back(*address);
        }
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

namespace {

// The user's own addresses stored in the archive count as well as those given: a mail
// from one of them in an inbox or a local folder is a sent mail, not a stranger's.
std::vector<std::string> WithStoredOwnAddresses(CPalArchive* archive, std::vector<std::string> own) {
    // An archive that cannot be read is told when the first mail goes in.
    if (CMailArchive* stored = archive ? archive->Archive() : nullptr) {
        const std::vector<std::string> more = stored->OwnAddresses().value;
        own.insert(own.end(), more.begin(), more.end());
    }
    return own;
}

}  // namespace

CCheckedMailIntake::CCheckedMailIntake(CYubinoApp& app, CPalArchive* archive, std::vector<std::string> ownAddresses)
    : m_app(app), m_archive(archive), m_own(WithStoredOwnAddresses(archive, std::move(ownAddresses))), m_batch(app) {}

bool CCheckedMailIntake::IsOwn(const std::string& address) const {
    return std::any_of(m_own.begin(), m_own.end(), [&](const std::string& own) { return SameAddress(own, address); });
}

bool CCheckedMailIntake::Take(const FetchedMail& fetched) {
    // The sync point goes into the mail's own transaction: a check cut off right after it
    // neither fetches the mail again nor skips one.
    const std::vector<ArchiveSetting> point{SyncPointSetting(fetched.account, fetched.folderKey, fetched.point)};
    const MailReadResult read = ReadInternetMessage(fetched.bytes);
    return read.Ok() ? TakeParsed(read.mail, fetched.sentFolder, point) : PassOver(point);
}

bool CCheckedMailIntake::PassOver(const std::vector<ArchiveSetting>& settings) {
    CMailArchive* archive = m_archive && !settings.empty() && m_archive->Writable() ? m_archive->Archive() : nullptr;
    // Not written, the check saves its sync point itself after each mail, and tries again.
    if (archive) archive->WriteSettings(settings);
    return true;
}

bool CCheckedMailIntake::TakeParsed(const ParsedMail& mail, bool inSentFolder,
                                    const std::vector<ArchiveSetting>& settings) {
    const bool sent = inSentFolder || IsOwn(mail.fromAddress);
    CPenPal pal;
    // A local folder holds everyone's mail; only the pals' is taken.
    if (!sent && !FindPalByAnyAddress(m_app, mail.pal.m_strMailAddress, pal)) return PassOver(settings);
    if (m_archive) {
        std::vector<std::string> own;
        if (sent) own.push_back(mail.fromAddress);
        const CMailArchive::StoreResult stored = m_archive->TakeIn({ArchiveRecordOf(mail, "imap")}, own, settings);
        if (!stored.Ok()) return false;
        if (stored.stored > 0 || !m_archive->Writable()) ++m_nFresh;
    } else {
        ++m_nFresh;
    }
    if (sent) {
        ++m_nSent;
    } else {
        ++m_nReceived;
        m_batch.Take(mail);
    }
    return true;
}

CheckTally CCheckedMailIntake::Tally() const { return {m_nReceived, m_nSent, m_nFresh, m_batch.UpdatedPals()}; }
