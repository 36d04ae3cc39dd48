#include "ui/jobs/window_jobs.h"

#include <QCoreApplication>
#include <chrono>

// Every job ends, and is told, while this object can still be told.
CWindowJobs::~CWindowJobs() { CancelAndWait(); }

CWindowJobs& CWindowJobs::Of(QObject& window) {
    if (auto* jobs = window.findChild<CWindowJobs*>(QString(), Qt::FindDirectChildrenOnly)) return *jobs;
    return *new CWindowJobs(&window);
}

void CWindowJobs::Deliver(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void CWindowJobs::AwaitFinished(CJob& job) {
    // The user's input waits: what is closing takes no new commands.
    while (!job.Finished()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        job.WaitFor(std::chrono::milliseconds(20));
    }
}
