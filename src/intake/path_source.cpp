#include "intake/path_source.h"

#include "mail/mail_files.h"

namespace {

class CSinkAdapter : public CMailSink {
public:
    CSinkAdapter(CIntakeSink& sink, const CPathSource::ProgressFn& progress, std::uint64_t total,
                 const std::atomic<bool>& cancelled)
        : m_sink(sink), m_progress(progress), m_total(total), m_cancelled(cancelled) {}
    bool TakeMail(const ParsedMail& mail) override { return !m_cancelled && m_sink.Take(mail, {}, {}); }
    void Failed(const std::filesystem::path& path, const std::string& reason) override {
        m_sink.Failed(path.string(), reason);
    }
    bool Progress(std::uint64_t bytes) override {
        m_read += bytes;
        if (m_progress) m_progress(m_read, m_total);
        return !m_cancelled;
    }

private:
    CIntakeSink& m_sink;
    const CPathSource::ProgressFn& m_progress;
    std::uint64_t m_total;
    const std::atomic<bool>& m_cancelled;
    std::uint64_t m_read = 0;
};

}  // namespace

bool CPathSource::ReadInto(CIntakeSink& sink) {
    std::uint64_t total = 0;
    if (m_progress)
        for (const std::filesystem::path& path : m_paths) total += MailPathBytes(path);
    CSinkAdapter adapter(sink, m_progress, total, m_cancelled);
    for (const std::filesystem::path& path : m_paths)
        if (!ReadMailPath(path, adapter)) return false;
    return true;
}
