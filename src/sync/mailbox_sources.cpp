#include "sync/mailbox_sources.h"

#include <algorithm>
#include <ctime>

#include "core/yubino_app.h"
#include "mail/internet_mail.h"
#include "sync/sync_state.h"

void SetSinceDaysAgo(ImapCheckOptions& options, int days) {
    if (days == kSinceAllMail) {
        options.sinceYear = options.sinceMonth = options.sinceDay = 0;
        return;
    }
    const std::time_t then = std::time(nullptr) - static_cast<std::time_t>(days) * 24 * 60 * 60;
    std::tm local{};
    localtime_r(&then, &local);
    options.sinceYear = local.tm_year + 1900;
    options.sinceMonth = local.tm_mon + 1;
    options.sinceDay = local.tm_mday;
}

ImapSessionOptions SessionOptionsFor(const MailAccount& account) {
    ImapSessionOptions session;
    session.trust = {account.caFile, account.trustedFingerprint};
    session.commandTimeoutMs = account.commandTimeoutSeconds * 1000;
    session.checkTimeoutMs = account.checkTimeoutSeconds * 1000;
    return session;
}

ImapCheckOptions CheckOptionsFor(const MailAccount& account, std::string password, std::vector<std::string> addresses) {
    ImapCheckOptions options;
    options.server = account.server;
    options.password = std::move(password);
    options.session = SessionOptionsFor(account);
    options.folders = account.folders;
    options.addresses = std::move(addresses);
    SetSinceDaysAgo(options, account.sinceDays);
    return options;
}

std::vector<std::string> PalAddressesToCheck(const CYubinoApp& app) {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : app.Pals()) {
        for (const std::string* address : {&pal.m_strMailAddress, &pal.m_strMailAddress2, &pal.m_strMobileAddress}) {
            // Addresses are ASCII; anything else cannot be searched for on the server.
            const bool ascii =
                std::all_of(address->begin(), address->end(), [](char c) { return c > ' ' && c < 0x7f; });
            if (!address->empty() && ascii) addresses.push_back(*address);
        }
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

bool TakeFetchedMail(CIntakeSink& sink, const FetchedMail& fetched) {
    // The sync point goes into the mail's own transaction: a check cut off right after it
    // neither fetches the mail again nor skips one.
    const std::vector<ArchiveSetting> point{SyncPointSetting(fetched.account, fetched.folderKey, fetched.point)};
    const MailReadResult read = ReadInternetMessage(fetched.bytes);
    if (read.Ok()) return sink.Take(read.mail, {"imap", fetched.sentFolder}, point);
    sink.PassOver(point);
    return true;
}

bool CCheckSource::Report(CIntakeSink& sink, const std::string& account) {
    for (const std::string& error : m_outcome.errors) sink.Failed(account, error);
    return m_outcome.Ok();
}

bool CImapSource::ReadInto(CIntakeSink& sink) {
    m_outcome = m_check.Run(
        m_options, [&sink](const FetchedMail& mail) { return TakeFetchedMail(sink, mail); }, m_progress);
    return Report(sink, ImapAccountKey(m_options.server));
}

bool CLocalFolderSource::ReadInto(CIntakeSink& sink) {
    m_outcome = m_check.Run(
        m_account, m_path,
        [&sink](const ParsedMail& mail) {
            return sink.Take(mail, {"local", false}, {});
        },
        m_progress);
    return Report(sink, m_account);
}
