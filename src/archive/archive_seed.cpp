#include "archive/archive_seed.h"

#include "core/cp932.h"

namespace {

constexpr const char* kSeedSource = "seed";

// The stored form keeps a CR LF line end as CR BS and a bare LF as BS; the archive keeps LF.
std::string PlainLines(const std::string& stored) {
    std::string text;
    text.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        const bool lineEnd = c == '\b' || c == '\n';
        if (c == '\r' && i + 1 < stored.size() && (stored[i + 1] == '\b' || stored[i + 1] == '\n')) continue;
        text += lineEnd ? '\n' : c;
    }
    return text;
}

}  // namespace

std::string ArchiveDateOf(const COleDateTime& date) {
    const COleDateTime usable =
        date.GetStatus() == COleDateTime::valid ? date : COleDateTime(kDefaultPalDate, COleDateTime::valid);
    return usable.Format("%Y-%m-%dT%H:%M:%S");
}

MailRecord LastMailOf(const CPenPal& pal, const char* source) {
    MailRecord mail;
    mail.pal = ArchiveAddress(pal.m_strMailAddress);
    mail.direction = MailDirection::Received;
    mail.date = ArchiveDateOf(pal.m_dtLastMail);
    mail.body = cp932::ToUtf8(PlainLines(pal.m_strLastMailText));
    mail.source = source;
    mail.from = mail.pal;
    return mail;
}

std::vector<MailRecord> SeedRecords(const std::vector<CPenPal>& pals) {
    std::vector<MailRecord> records;
    for (const CPenPal& pal : pals) {
        if (!pal.m_strLastMailText.empty() && !pal.m_strMailAddress.empty())
            records.push_back(LastMailOf(pal, kSeedSource));
    }
    return records;
}

std::string ArchiveAddress(const std::string& cp932Address) { return cp932::ToUtf8(cp932Address); }

std::string TableAddress(const std::string& archiveAddress) {
    return cp932::FromUtf8(archiveAddress).value_or(archiveAddress);
}
