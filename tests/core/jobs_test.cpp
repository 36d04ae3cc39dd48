#include "core/jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

// A door the test and a job's work open and wait at.
class CGate {
public:
    void Open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    void Wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

enum class Work { Returns, Throws, LoopsUntilCancelled, BlocksUntilInterrupted };
enum class CancelWhen { Never, AtOnce, OnceRunning };

struct JobCase {
    const char* name;
    Work work;
    CancelWhen cancel;
    JobEnd::Status status;
    const char* error;
};

TEST(JobRunnerTest, EveryJobEndsOnceWithWhatBecameOfIt) {
    const JobCase cases[] = {
        {"work that returns", Work::Returns, CancelWhen::Never, JobEnd::Status::Done, ""},
        {"work that throws is a failure with its reason", Work::Throws, CancelWhen::Never, JobEnd::Status::Failed,
         "disk full"},
        {"cancelled before it may have begun", Work::LoopsUntilCancelled, CancelWhen::AtOnce, JobEnd::Status::Cancelled,
         ""},
        {"cancelled mid-way, seen by its loop", Work::LoopsUntilCancelled, CancelWhen::OnceRunning,
         JobEnd::Status::Cancelled, ""},
        {"cancelled while blocked outside its loop", Work::BlocksUntilInterrupted, CancelWhen::OnceRunning,
         JobEnd::Status::Cancelled, ""},
        {"finished work cancelled afterwards stays done", Work::Returns, CancelWhen::OnceRunning, JobEnd::Status::Done,
         ""},
    };
    for (const JobCase& c : cases) {
        SCOPED_TRACE(c.name);
        CJobRunner runner;
        CGate running;
        CGate interrupted;
        int ends = 0;
        JobEnd end;
        auto job = runner.Start(
            [&](CJobToken& token) {
                switch (c.work) {
                    case Work::Returns:
                        running.Open();
                        return;
                    case Work::Throws:
                        throw std::runtime_error("disk full");
                    case Work::LoopsUntilCancelled:
                        running.Open();
                        while (!token.Cancelled()) std::this_thread::yield();
                        return;
                    case Work::BlocksUntilInterrupted:
                        token.OnCancel([&] { interrupted.Open(); });
                        running.Open();
                        interrupted.Wait();
                        return;
                }
            },
            [&](const JobEnd& e) {
                ++ends;
                end = e;
            });
        if (c.cancel == CancelWhen::AtOnce) job->Cancel();
        if (c.cancel == CancelWhen::OnceRunning) {
            running.Wait();
            if (c.work == Work::Returns) job->Wait();
            job->Cancel();
        }
        job->Wait();
        job->Wait();
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(end.status, c.status);
        EXPECT_EQ(end.error, c.error);
    }
}

TEST(JobRunnerTest, CancelAndWaitEndsEveryRunningJobBeforeItReturns) {
    CJobRunner runner;
    // Without an event loop the ends are told on the workers.
    std::atomic<int> cancelled{0};
    std::vector<std::shared_ptr<CJob>> jobs;
    for (int i = 0; i < 3; ++i)
        jobs.push_back(runner.Start(
            [](CJobToken& token) {
                while (!token.Cancelled()) std::this_thread::yield();
            },
            [&](const JobEnd& end) { cancelled += end.status == JobEnd::Status::Cancelled; }));
    runner.CancelAndWait();
    EXPECT_EQ(cancelled, 3);
    for (const auto& job : jobs) EXPECT_TRUE(job->Finished());
}

}  // namespace
