// Reading mail files and folders as a job off the window's thread, so that a window never
// waits for a big mbox. The mails come back through a bounded queue that the caller drains
// on its own thread (the pal table is the caller's), which keeps memory flat.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/jobs.h"
#include "mail/internet_mail.h"

struct MailPathFailure {
    std::filesystem::path path;
    std::string reason;  // UTF-8
};

class CMailReadJob {
public:
    // Reads `paths` in order once Run is called.
    explicit CMailReadJob(std::vector<std::filesystem::path> paths) : m_paths(std::move(paths)) {}
    CMailReadJob(const CMailReadJob&) = delete;
    CMailReadJob& operator=(const CMailReadJob&) = delete;

    // The reading, as a job's work: cancelling the token stops it at the next mail.
    void Run(CJobToken& token);

    // The mails and failures read since the last call, in reading order.
    std::vector<ParsedMail> TakeMails();
    std::vector<MailPathFailure> TakeFailures();

    // Stops at the next mail; what was read stays to be taken.
    void Cancel();

    std::uint64_t BytesRead() const { return m_bytesRead; }
    // Zero until the thread has measured the paths.
    std::uint64_t BytesTotal() const { return m_bytesTotal; }

private:
    class CQueueSink;

    // The reading waits while this many mails wait to be taken.
    static constexpr std::size_t kMaxQueued = 256;

    std::vector<std::filesystem::path> m_paths;
    std::mutex m_mutex;
    std::condition_variable m_taken;
    std::deque<ParsedMail> m_mails;
    std::vector<MailPathFailure> m_failures;
    std::atomic<bool> m_cancelled{false};
    std::atomic<std::uint64_t> m_bytesRead{0};
    std::atomic<std::uint64_t> m_bytesTotal{0};
};
