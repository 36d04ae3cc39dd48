#include "mail/mail_read_job.h"

#include <iterator>
#include <utility>

#include "mail/mail_files.h"

class CMailReadJob::CQueueSink : public CMailSink {
public:
    explicit CQueueSink(CMailReadJob& job) : m_job(job) {}

    bool TakeMail(const ParsedMail& mail) override {
        std::unique_lock lock(m_job.m_mutex);
        m_job.m_taken.wait(lock, [&] { return m_job.m_mails.size() < kMaxQueued || m_job.m_cancelled; });
        if (m_job.m_cancelled) return false;
        m_job.m_mails.push_back(mail);
        return true;
    }
    void Failed(const std::filesystem::path& path, const std::string& reason) override {
        std::lock_guard lock(m_job.m_mutex);
        m_job.m_failures.push_back({path, reason});
    }
    bool Progress(std::uint64_t bytes) override {
        m_job.m_bytesRead += bytes;
        return !m_job.m_cancelled;
    }

private:
    CMailReadJob& m_job;
};

void CMailReadJob::Run(CJobToken& token) {
    token.OnCancel([this] { Cancel(); });
    std::uint64_t total = 0;
    for (const auto& path : m_paths) total += MailPathBytes(path);
    m_bytesTotal = total;
    CQueueSink sink(*this);
    for (const auto& path : m_paths) {
        if (m_cancelled || !ReadMailPath(path, sink)) break;
    }
    token.OnCancel({});
}

std::vector<ParsedMail> CMailReadJob::TakeMails() {
    std::vector<ParsedMail> mails;
    {
        std::lock_guard lock(m_mutex);
        mails.assign(std::make_move_iterator(m_mails.begin()), std::make_move_iterator(m_mails.end()));
        m_mails.clear();
    }
    m_taken.notify_all();
    return mails;
}

std::vector<MailPathFailure> CMailReadJob::TakeFailures() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_failures, {});
}

void CMailReadJob::Cancel() {
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_taken.notify_all();
}
