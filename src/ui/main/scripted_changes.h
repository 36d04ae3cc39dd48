// For the crash test only: with YUBINO_SCRIPTED_CHANGES_MS=<ms> set, the window answers a
// question at start-up with Yes ("asked" on standard output), reports the change counter it
// started with ("start <n>"), then every <ms> milliseconds counts one up as a table change
// of its own ("change <n>"), so that a test can kill it and read what the recovery copy holds.
#pragma once

#include <QObject>
#include <QTimer>

class CYubinoApp;

inline constexpr const char* kScriptedCounterAddress = "counter@example.jp";

class CScriptedChanges : public QObject {
    Q_OBJECT
public:
    // Nothing unless the variable is set; call before the window's start-up.
    static CScriptedChanges* FromEnvironment(CYubinoApp& app, QObject* parent);
    // Once the window has started.
    void Begin();

private:
    CScriptedChanges(CYubinoApp& app, int intervalMs, QObject* parent);
    void AnswerQuestion();
    void Change();

    CYubinoApp& m_app;
    QTimer m_answerTimer;
    QTimer m_changeTimer;
    long m_nCounter = 0;
};
