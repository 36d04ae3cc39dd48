#include "sync/imap_check.h"

#include <algorithm>

#include "core/texts.h"
#include "sync/folder_name.h"

namespace {

// A batch of mails is one command and one answer held in memory at once.
constexpr std::size_t kBatchMails = 200;
constexpr std::uint64_t kBatchBytes = 8 * 1024 * 1024;

// A message is one text for a window and a JSON string alike: no carriage returns, and no
// empty parentheses where the server gave no reason.
std::string Tidy(std::string text) {
    std::erase(text, '\r');
    for (std::size_t at; (at = text.find(" ()")) != std::string::npos;) text.erase(at, 3);
    return text;
}

}  // namespace

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
        return Tidy(CheckText(text, {account, second, third}));
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
    case ImapFailure::NotImap:
        return with(texts::kCheckNotImap, detail);
    case ImapFailure::ClosedAtLogin:
        return with(texts::kCheckClosedAtLogin, detail);
    case ImapFailure::Closed:
        return with(texts::kCheckClosed);
    case ImapFailure::TooLong:
        return with(texts::kCheckTooLong);
    case ImapFailure::TooSlow:
        return with(texts::kCheckTooSlow);
    case ImapFailure::OldTls:
        return with(texts::kCheckOldTls);
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
            // A folder the server does not have is told when its turn comes; any other failure
            // (an answer the protocol library lost its place in) ends the check here.
            if (!known.status && session.Failure() != ImapFailure::None && session.Failure() != ImapFailure::NoFolder) {
                Report(session, known.displayName, outcome);
                return {};
            }
        }
    }
    std::optional<std::vector<ImapFolder>> listed = session.ListFolders();
    if (!listed) {
        Report(session, {}, outcome);
        return {};
    }
    // A server without SPECIAL-USE (or a folder made by hand) has its Sent folder by name.
    const bool flagged = std::any_of(listed->begin(), listed->end(), [](const ImapFolder& f) { return f.sent; });
    for (const ImapFolder& f : *listed) {
        const bool sent = f.sent || (!flagged && IsSentFolderName(f.displayName, f.delimiter));
        for (Folder& chosen : folders)
            if (chosen.wireName == f.wireName) chosen.sent = sent;
        if (options.folders.empty() && sent && f.wireName != "INBOX")
            folders.push_back({f.wireName, f.displayName, true, {}});
    }
    return folders;
}

struct CImapCheck::FolderRun {
    const Folder& folder;
    CImapSession& session;
    const MailSink& sink;
    const CheckProgressFn& progress;
    CheckOutcome& outcome;
    std::uint64_t maxMailBytes;
    SyncPoint point;
    std::uint32_t firstMissing = 0;  // the first mail the server did not send; 0: none
    std::size_t done = 0;
    std::size_t total = 0;
};

bool CImapCheck::CheckFolder(const Folder& folder, const ImapCheckOptions& options, CImapSession& session,
                             const MailSink& sink, const CheckProgressFn& progress, CheckOutcome& outcome) {
    if (options.addresses.empty()) return true;  // nobody to look for: the state stays as it was
    auto checked = [&] {
        outcome.folders.push_back(folder.displayName);
        return true;
    };
    const std::optional<SyncPoint> saved = m_state.Load(m_account, folder.wireName);
    // Nothing new since the last check: STATUS says so without the cost of selecting the folder.
    if (saved) {
        const std::optional<ImapSelection> status = folder.status ? folder.status : session.Status(folder.wireName);
        if (!status) {
            Report(session, folder.displayName, outcome);
            return session.Failure() == ImapFailure::NoFolder;
        }
        if (status->uidValidity == saved->uidValidity && status->uidNext && status->uidNext - 1 <= saved->lastUid)
            return checked();
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
    // UIDs end at 4294967295: after it nothing can come.
    if ((selection->uidNext && newest <= point.lastUid) || point.lastUid == UINT32_MAX) {
        // Nothing new; with a point saved, STATUS will do next time.
        if (!saved || saved->uidValidity != point.uidValidity) m_state.Save(m_account, folder.wireName, point);
        return checked();
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

    FolderRun run{folder, session, sink, progress, outcome, options.session.maxMailBytes, point};
    run.total = uids->size();
    if (!FetchNew(run, *uids, *sizes)) return false;
    if (progress) progress({folder.displayName, run.total, run.total});
    if (newest > run.point.lastUid && !run.firstMissing) Passed(run, newest);
    return checked();
}

bool CImapCheck::FetchNew(FolderRun& run, const std::vector<std::uint32_t>& uids,
                          const std::vector<std::uint64_t>& sizes) {
    std::vector<std::uint32_t> batch;
    std::uint64_t bytes = 0;
    auto flush = [&] {
        const bool ok = batch.empty() || TakeBatch(run, batch, bytes);
        batch.clear();
        bytes = 0;
        return ok;
    };
    for (std::size_t i = 0; i < uids.size(); ++i) {
        if (sizes[i] > run.maxMailBytes) {
            if (!flush()) return false;
            run.outcome.errors.push_back(
                CheckText(texts::kCheckMailTooLarge, {m_account, run.folder.displayName, std::to_string(uids[i])}));
            ++run.done;
            Passed(run, uids[i]);
            continue;
        }
        if (!batch.empty() && (batch.size() >= kBatchMails || bytes + sizes[i] > kBatchBytes) && !flush()) return false;
        batch.push_back(uids[i]);
        bytes += sizes[i];
    }
    return flush();
}

// The mails of one batch, each handed to the sink in UID order. A mail the server leaves out
// of its answer is asked for once more, then told; the sync point stays before it.
bool CImapCheck::TakeBatch(FolderRun& run, const std::vector<std::uint32_t>& batch, std::uint64_t bytes) {
    const Folder& folder = run.folder;
    std::optional<FetchedBodies> bodies = run.session.FetchMany(batch, bytes);
    if (!bodies) return Report(run.session, folder.displayName, run.outcome), false;
    std::vector<std::uint32_t> missing;
    for (std::uint32_t uid : batch)
        if (!bodies->contains(uid)) missing.push_back(uid);
    if (!missing.empty()) {
        std::optional<FetchedBodies> again = run.session.FetchMany(missing);
        if (!again) return Report(run.session, folder.displayName, run.outcome), false;
        bodies->merge(*again);
    }
    for (std::uint32_t uid : batch) {
        if (run.progress) run.progress({folder.displayName, run.done, run.total});
        ++run.done;
        const auto it = bodies->find(uid);
        if (it == bodies->end()) {
            run.outcome.errors.push_back(
                CheckText(texts::kCheckMailNotSent, {m_account, folder.displayName, std::to_string(uid)}));
            if (!run.firstMissing) run.firstMissing = uid;
            continue;
        }
        const SyncPoint after = run.firstMissing ? run.point : SyncPoint{run.point.uidValidity, uid};
        if (!run.sink(
                {m_account, folder.displayName, folder.sent, uid, std::move(it->second), folder.wireName, after})) {
            run.outcome.errors.push_back(CheckText(texts::kCheckNotKept, {m_account}));
            return false;
        }
        ++run.outcome.fetched;
        if (folder.sent) ++run.outcome.fromSentFolders;
        Passed(run, uid);
    }
    return true;
}

void CImapCheck::Passed(FolderRun& run, std::uint32_t uid) {
    if (run.firstMissing) return;
    run.point.lastUid = uid;
    m_state.Save(m_account, run.folder.wireName, run.point);
}
