// Long work off the owner's thread, one way for all of it: a job is a callable given a
// token (cancel, progress); its end (done, cancelled, failed with a reason) and its
// progress are told on the owner's thread. Here the owner is whoever waits: without an
// event loop the end is told on the worker when it ends. The window's runner hands both to
// its event loop.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct JobProgress {
    std::uint64_t done = 0;
    std::uint64_t total = 0;  // zero: not known yet
    std::string what;         // UTF-8, what is being worked on
};

// What the work sees of its job.
class CJobToken {
public:
    bool Cancelled() const { return m_cancelled; }
    // `interrupt` ends work blocked outside the job's own loop (a socket, a full queue):
    // it runs on Cancel, at once when cancelled already. An empty function removes it.
    void OnCancel(std::function<void()> interrupt);
    void Progress(const JobProgress& progress) const;

private:
    friend class CJob;
    friend class CJobRunner;
    void Cancel();

    std::atomic<bool> m_cancelled{false};
    std::mutex m_mutex;
    std::function<void()> m_interrupt;
    std::function<void(const JobProgress&)> m_progress;
};

struct JobEnd {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    std::string error;  // Failed: what the work threw
};

class CJobRunner;

class CJob : public std::enable_shared_from_this<CJob> {
public:
    ~CJob();
    CJob(const CJob&) = delete;
    CJob& operator=(const CJob&) = delete;

    void Cancel() { m_token.Cancel(); }
    bool Finished() const { return m_finished; }
    // Blocks until the work has ended, then tells its end now if it was not told yet.
    // Never for work that waits on the calling thread: the runner's CancelAndWait is.
    void Wait();
    // Blocks until the work has ended or `most` has passed; true when it has ended.
    bool WaitFor(std::chrono::milliseconds most);

private:
    friend class CJobRunner;
    using Work = std::function<void(CJobToken&)>;
    using Done = std::function<void(const JobEnd&)>;
    explicit CJob(Done done) : m_done(std::move(done)) {}
    void Run(CJobRunner& runner, const Work& work);
    void TellEnd();
    void BlockUntilFinished();
    Done m_done;
    CJobToken m_token;
    JobEnd m_end;
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_endTold{false};
    std::mutex m_mutex;
    std::condition_variable m_ended;
    std::thread m_thread;
};

class CJobRunner {
public:
    using Work = std::function<void(CJobToken&)>;
    using Done = std::function<void(const JobEnd&)>;
    using ProgressFn = std::function<void(const JobProgress&)>;

    CJobRunner() = default;
    // Cancels what still runs and waits for it.
    virtual ~CJobRunner();
    CJobRunner(const CJobRunner&) = delete;
    CJobRunner& operator=(const CJobRunner&) = delete;

    // Starts `work` on a thread of its own. `done` is told once, after the work has
    // ended; `progress` while it runs. A job cancelled before its work began never runs it.
    std::shared_ptr<CJob> Start(Work work, Done done = {}, ProgressFn progress = {});

    // Cancels every running job and returns once each has ended and its end was told.
    void CancelAndWait();
    // Returns once `job` has ended and its end was told, the owner's events going on.
    void AwaitEnd(CJob& job);

protected:
    // Carries `call` to the owner's thread; here it runs at once, on the caller's.
    virtual void Deliver(std::function<void()> call) { call(); }
    // Returns once `job` has finished; the window's runner keeps its events going, as the
    // work may wait on them.
    virtual void AwaitFinished(CJob& job);

private:
    friend class CJob;

    std::mutex m_mutex;
    std::vector<std::shared_ptr<CJob>> m_jobs;
};
