#include "ui/main/scripted_changes.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string>

#include "core/table_steps.h"
#include "core/yubino_app.h"

namespace {

void Report(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

CScriptedChanges* CScriptedChanges::FromEnvironment(CYubinoApp& app, QObject* parent) {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("YUBINO_SCRIPTED_CHANGES_MS", &ok);
    return ok && ms > 0 ? new CScriptedChanges(app, ms, parent) : nullptr;
}

CScriptedChanges::CScriptedChanges(CYubinoApp& app, int intervalMs, QObject* parent) : QObject(parent), m_app(app) {
    m_answerTimer.setInterval(10);
    connect(&m_answerTimer, &QTimer::timeout, this, &CScriptedChanges::AnswerQuestion);
    m_answerTimer.start();
    m_changeTimer.setInterval(intervalMs);
    connect(&m_changeTimer, &QTimer::timeout, this, &CScriptedChanges::Change);
}

void CScriptedChanges::AnswerQuestion() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    Report("asked");
    box->done(QMessageBox::Yes);
}

void CScriptedChanges::Begin() {
    m_answerTimer.stop();
    CPenPal pal;
    if (m_app.FindPalByAddress(kScriptedCounterAddress, pal)) m_nCounter = std::stol("0" + pal.m_strMemo);
    Report("start " + std::to_string(m_nCounter));
    m_changeTimer.start();
}

void CScriptedChanges::Change() {
    CTableChange change(m_app, StepKind::Edit);
    CPenPal pal;
    pal.m_strMailAddress = kScriptedCounterAddress;
    const bool known = m_app.FindPalByAddress(kScriptedCounterAddress, pal);
    pal.m_strMemo = std::to_string(++m_nCounter);
    if (known)
        m_app.ReplacePal(pal);
    else
        m_app.AddPal(pal);
    Report("change " + std::to_string(m_nCounter));
}
