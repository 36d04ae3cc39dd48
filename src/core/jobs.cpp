#include "core/jobs.h"

#include <algorithm>
#include <exception>
#include <utility>

void CJobToken::OnCancel(std::function<void()> interrupt) {
    std::lock_guard lock(m_mutex);
    m_interrupt = std::move(interrupt);
    if (m_cancelled && m_interrupt) m_interrupt();
}

void CJobToken::Progress(const JobProgress& progress) const {
    if (m_progress) m_progress(progress);
}

void CJobToken::Cancel() {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_interrupt) m_interrupt();
}

CJob::~CJob() {
    if (!m_thread.joinable()) return;
    // The worker may let go of the last reference itself.
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

void CJob::Run(CJobRunner& runner, const Work& work) {
    if (!m_token.Cancelled()) {
        try {
            work(m_token);
        } catch (const std::exception& e) {
            m_end = {JobEnd::Status::Failed, e.what()};
        } catch (...) {
            m_end = {JobEnd::Status::Failed, "unknown error"};
        }
    }
    if (m_end.status != JobEnd::Status::Failed && m_token.Cancelled()) m_end.status = JobEnd::Status::Cancelled;
    runner.Deliver([self = shared_from_this()] { self->TellEnd(); });
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_ended.notify_all();
}

void CJob::TellEnd() {
    if (m_endTold.exchange(true)) return;
    if (m_done) m_done(m_end);
}

bool CJob::WaitFor(std::chrono::milliseconds most) {
    std::unique_lock lock(m_mutex);
    return m_ended.wait_for(lock, most, [this] { return m_finished.load(); });
}

void CJob::BlockUntilFinished() {
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return m_finished.load(); });
}

void CJob::Wait() {
    BlockUntilFinished();
    TellEnd();
}

CJobRunner::~CJobRunner() { CancelAndWait(); }

std::shared_ptr<CJob> CJobRunner::Start(Work work, Done done, ProgressFn progress) {
    auto job = std::shared_ptr<CJob>(new CJob(std::move(done)));
    if (progress) {
        job->m_token.m_progress = [this, raw = job.get(), progress = std::move(progress)](const JobProgress& p) {
            Deliver([job = raw->shared_from_this(), progress, p] {
                if (!job->m_endTold) progress(p);
            });
        };
    }
    {
        std::lock_guard lock(m_mutex);
        // Jobs that ended are let go of here, their threads joined.
        std::erase_if(m_jobs, [](const std::shared_ptr<CJob>& old) {
            return old->Finished() && old->m_endTold && old->m_thread.get_id() != std::this_thread::get_id();
        });
        m_jobs.push_back(job);
    }
    job->m_thread = std::thread([this, raw = job.get(), work = std::move(work)] { raw->Run(*this, work); });
    return job;
}

void CJobRunner::AwaitFinished(CJob& job) { job.BlockUntilFinished(); }

void CJobRunner::AwaitEnd(CJob& job) {
    AwaitFinished(job);
    job.TellEnd();
}

void CJobRunner::CancelAndWait() {
    std::vector<std::shared_ptr<CJob>> jobs;
    {
        std::lock_guard lock(m_mutex);
        jobs = m_jobs;
    }
    for (const auto& job : jobs) job->Cancel();
    for (const auto& job : jobs) AwaitEnd(*job);
    std::lock_guard lock(m_mutex);
    std::erase_if(m_jobs, [&](const std::shared_ptr<CJob>& job) {
        return std::find(jobs.begin(), jobs.end(), job) != jobs.end();
    });
}
