// The window's runner of long work: a job's progress and end are told on the window's
// thread, through its event loop, and waiting for a job keeps that loop going (a check
// hands each mail to the window's thread and waits for it to be taken in).
#pragma once

#include <QObject>

#include "core/jobs.h"

class CWindowJobs : public QObject, public CJobRunner {
    Q_OBJECT
public:
    explicit CWindowJobs(QObject* parent = nullptr) : QObject(parent) {}
    ~CWindowJobs() override;

    // The one runner of `window`, made at the first ask: every part of the window shares it.
    static CWindowJobs& Of(QObject& window);

protected:
    void Deliver(std::function<void()> call) override;
    void AwaitFinished(CJob& job) override;
};
