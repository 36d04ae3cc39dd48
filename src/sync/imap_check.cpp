#include "sync/imap_check.h"

#include "core/texts.h"
#include "sync/folder_name.h"

std::string CheckText(std::string_view utf8Template, std::initializer_list<std::string_view> args) {
    std::string out(utf8Template);
    std::size_t at = 0;
    for (std::string_view arg : args) {
        at = out.find("%s", at);
        if (at == std::string::npos) break;
        out.replace(at, 2, arg);
        at += arg.size();
    }
    return out;
}

std::string CheckFailureText(ImapFailure failure, const std::string& account, const std::string& detail,
                             const std::string& folder, const std::string& fingerprint) {
    auto with = [&](const char* text, const std::string& second = {}, const std::string& third = {}) {
        return CheckText(text, {account, second, third});
    };
    switch (failure) {
    case ImapFailure::Connect: return with(texts::kCheckConnect, detail);
    case ImapFailure::Certificate: return with(texts::kCheckCertificate, detail, fingerprint);
    case ImapFailure::Tls: return with(texts::kCheckTls, detail);
    case ImapFailure::PlainRefused: return with(texts::kCheckPlainRefused);
    case ImapFailure::Login: return with(texts::kCheckLogin, detail);
    case ImapFailure::NoFolder: return with(texts::kCheckNoFolder, folder);
    case ImapFailure::TimedOut: return with(texts::kCheckTimedOut);
    case ImapFailure::Cancelled: return with(texts::kCheckCancelled);
    case ImapFailure::TooLarge: return with(texts::kCheckTooLarge, detail);
    case ImapFailure::Protocol:
    case ImapFailure::None: break;
    }
    return with(texts::kCheckProtocol, detail);
}

void CImapCheck::Report(CImapSession& session, const std::string& folder, CheckOutcome& outcome) {
    if (outcome.failure == ImapFailure::None) outcome.failure = session.Failure();
    if (outcome.fingerprint.empty()) outcome.fingerprint = session.Fingerprint();
    outcome.errors.push_back(CheckFailureText(session.Failure(), m_account, session.Detail(), folder, session.Fingerprint()));
}

CheckOutcome CImapCheck::Run(const ImapCheckOptions& options, const MailSink& sink, const CheckProgressFn& progress) {
    CheckOutcome outcome;
    m_account = ImapAccountKey(options.server);
    CImapSession session(m_cancel, options.session);
    if (!session.Open(options.server, options.password)) {
        Report(session, {}, outcome);
        return outcome;
    }
    if (session.Plain()) outcome.warnings.push_back(CheckText(texts::kCheckPlainUsed, {m_account}));
    const std::vector<Folder> folders = FoldersToCheck(options, session, outcome);
    for (const Folder& folder : folders) {
        if (!CheckFolder(folder, options, session, sink, progress, outcome)) break;
    }
    return outcome;
}

std::vector<CImapCheck::Folder> CImapCheck::FoldersToCheck(const ImapCheckOptions& options, CImapSession& session,
                                                            CheckOutcome& outcome) {
    std::vector<Folder> folders;
    if (!options.folders.empty()) {
        for (const std::string& name : options.folders)
            folders.push_back({FolderNameToImap(name).value_or(name), name, false, {}});
    } else {
        folders.push_back({"INBOX", "INBOX", false, {}});
    }
    // Dovecot answers STATUS from its index only until the session has listed the folders
    // (INBOX's only as the first folder asked); after that it reads the whole folder. The
    // folders known without the list go first, INBOX first of all.
    for (const bool inbox : {true, false}) {
        for (Folder& known : folders) {
            if ((known.wireName == "INBOX") == inbox && !options.addresses.empty() &&
                m_state.Load(m_account, known.wireName))
                known.status = session.Status(known.wireName);
        }
    }
    std::optional<std::vector<ImapFolder>> listed = session.ListFolders();
    if (!listed) {
        Report(session, {}, outcome);
        return {};
    }
    for (const ImapFolder& f : *listed) {
        for (Folder& chosen : folders)
            if (chosen.wireName == f.wireName) chosen.sent = f.sent;
        if (options.folders.empty() && f.sent) folders.push_back({f.wireName, f.displayName, true, {}});
    }
    return folders;
}

bool CImapCheck::CheckFolder(const Folder& folder, const ImapCheckOptions& options, CImapSession& session,
                             const MailSink& sink, const CheckProgressFn& progress, CheckOutcome& outcome) {
    if (options.addresses.empty()) return true;  // nobody to look for: the state stays as it was
    const std::optional<SyncPoint> saved = m_state.Load(m_account, folder.wireName);
    // Nothing new since the last check: STATUS says so without the cost of selecting the folder.
    if (saved) {
        const std::optional<ImapSelection> status = folder.status ? folder.status : session.Status(folder.wireName);
        if (!status) {
            Report(session, folder.displayName, outcome);
            return session.Failure() == ImapFailure::NoFolder;
        }
        if (status->uidValidity == saved->uidValidity && status->uidNext && status->uidNext - 1 <= saved->lastUid)
            return true;
    }
    const std::optional<ImapSelection> selection = session.Examine(folder.wireName);
    if (!selection) {
        Report(session, folder.displayName, outcome);
        return session.Failure() == ImapFailure::NoFolder;
    }
    SyncPoint point{selection->uidValidity, 0};
    if (saved && saved->uidValidity == selection->uidValidity)
        point = *saved;  // otherwise the folder was recreated: all of it again
    const std::uint32_t newest = selection->uidNext ? selection->uidNext - 1 : 0;
    if (selection->uidNext && newest <= point.lastUid) {
        // Nothing new; with a point saved, STATUS will do next time.
        if (!saved) m_state.Save(m_account, folder.wireName, point);
        return true;
    }

    ImapSearch search;
    search.firstUid = point.lastUid + 1;
    search.lastUid = newest;
    search.addresses = options.addresses;
    search.sinceYear = options.sinceYear;
    search.sinceMonth = options.sinceMonth;
    search.sinceDay = options.sinceDay;
    const std::optional<std::vector<std::uint32_t>> uids = session.Search(search);
    if (!uids) return Report(session, folder.displayName, outcome), false;
    const std::optional<std::vector<std::uint64_t>> sizes = session.Sizes(*uids);
    if (!sizes) return Report(session, folder.displayName, outcome), false;

    for (std::size_t i = 0; i < uids->size(); ++i) {
        if (progress) progress({folder.displayName, i, uids->size()});
        const std::uint32_t uid = (*uids)[i];
        if ((*sizes)[i] > options.session.maxMailBytes) {
            outcome.errors.push_back(CheckText(texts::kCheckMailTooLarge, {m_account, folder.displayName, std::to_string(uid)}));
        } else {
            std::optional<std::string> bytes = session.Fetch(uid);
            if (!bytes) return Report(session, folder.displayName, outcome), false;
            if (!bytes->empty()) {
                if (!sink({m_account, folder.displayName, folder.sent, uid, std::move(*bytes), folder.wireName,
                           {point.uidValidity, uid}})) {
                    outcome.errors.push_back(CheckText(texts::kCheckNotKept, {m_account}));
                    return false;
                }
                ++outcome.fetched;
                if (folder.sent) ++outcome.fromSentFolders;
            }
        }
        point.lastUid = uid;
        m_state.Save(m_account, folder.wireName, point);
    }
    if (progress) progress({folder.displayName, uids->size(), uids->size()});
    if (newest > point.lastUid) {
        point.lastUid = newest;
        m_state.Save(m_account, folder.wireName, point);
    }
    return true;
}
