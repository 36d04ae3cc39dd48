#include "sync/local_folder_check.h"

#include <algorithm>

#include "core/texts.h"
#include "mail/mail_files.h"

namespace {

class CLocalFolderSink : public CMailSink {
public:
    CLocalFolderSink(const std::string& account, const std::filesystem::path& path,
                     const CLocalFolderCheck::TakeFn& take, const CheckProgressFn& progress,
                     const std::atomic<bool>& cancelled, CheckOutcome& outcome)
        : m_account(account),
          m_folder(path.filename().string()),
          m_take(take),
          m_progress(progress),
          m_cancelled(cancelled),
          m_outcome(outcome),
          m_total(progress ? MailPathBytes(path) : 0) {}

    bool TakeMail(const ParsedMail& mail) override {
        if (m_cancelled) return false;
        if (!m_take(mail)) {
            m_notKept = true;
            return false;
        }
        ++m_outcome.fetched;
        return true;
    }
    void Failed(const std::filesystem::path& path, const std::string& reason) override {
        m_outcome.errors.push_back(CheckText(texts::kCheckLocalUnreadable, {m_account, path.string(), reason}));
    }
    bool Progress(std::uint64_t bytes) override {
        m_read += bytes;
        if (m_progress && m_total)
            m_progress({m_folder, static_cast<std::size_t>(std::min<std::uint64_t>(100, m_read * 100 / m_total)), 100});
        return !m_cancelled;
    }
    bool NotKept() const { return m_notKept; }

private:
    const std::string& m_account;
    std::string m_folder;
    const CLocalFolderCheck::TakeFn& m_take;
    const CheckProgressFn& m_progress;
    const std::atomic<bool>& m_cancelled;
    CheckOutcome& m_outcome;
    std::uint64_t m_total;
    std::uint64_t m_read = 0;
    bool m_notKept = false;
};

}  // namespace

CheckOutcome CLocalFolderCheck::Run(const std::string& account, const std::filesystem::path& path, const TakeFn& take,
                                    const CheckProgressFn& progress) {
    CheckOutcome outcome;
    CLocalFolderSink sink(account, path, take, progress, m_cancelled, outcome);
    if (ReadMailPath(path, sink)) return outcome;
    if (sink.NotKept()) {
        outcome.errors.push_back(CheckText(texts::kCheckNotKept, {account}));
    } else {
        outcome.failure = ImapFailure::Cancelled;
        outcome.errors.push_back(CheckText(texts::kCheckCancelled, {account}));
    }
    return outcome;
}
