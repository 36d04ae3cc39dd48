#include "ui/main/recovery_keeper.h"

#include "core/file_read.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "storage/yubino_doc.h"
#include "ui/jobs/window_jobs.h"

namespace {

constexpr int kDefaultDelayMs = 3000;

}  // namespace

CRecoveryKeeper::CRecoveryKeeper(CYubinoApp& app, CYubinoDoc& doc, QObject* parent)
    : QObject(parent), m_app(app), m_doc(doc), m_writer(CWindowJobs::Of(*parent)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayFromEnvironment());
    connect(&m_timer, &QTimer::timeout, this, &CRecoveryKeeper::Write);
}

int CRecoveryKeeper::DelayFromEnvironment() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("YUBINO_RECOVERY_DELAY_MS", &ok);
    return ok && ms >= 0 ? ms : kDefaultDelayMs;
}

std::filesystem::path CRecoveryKeeper::CopyPath() const { return RecoveryFileFor(m_doc.GetPathName()); }

void CRecoveryKeeper::Schedule() {
    if (!m_timer.isActive()) m_timer.start();
}

void CRecoveryKeeper::Write() {
    // A file another Yubino holds is that one's to recover.
    const std::filesystem::path copy = CopyPath();
    if (copy.empty() || m_doc.IsReadOnly()) return;
    // Saved under another name: the changes now belong to that file.
    if (!m_lastCopy.empty() && m_lastCopy != copy) m_writer.Discard(m_lastCopy);
    m_lastCopy = copy;
    m_writer.Submit(copy, WritePalData(m_app));
}

RecoveryOutcome CRecoveryKeeper::OfferForDocument() {
    const std::filesystem::path copy = CopyPath();
    if (copy.empty() || m_doc.IsReadOnly()) return RecoveryOutcome::NoneFound;
    return OfferRecovery(m_app, m_doc.GetPathName(), copy, m_backups);
}

void CRecoveryKeeper::Discard() {
    m_timer.stop();
    if (!m_lastCopy.empty()) m_writer.Discard(m_lastCopy);
    // The copy this session was started from, when it wrote none of its own.
    if (!m_doc.IsReadOnly()) m_writer.Discard(CopyPath());
}

void CRecoveryKeeper::TellForeignBackups(const std::filesystem::path& folder) {
    if (m_bToldForeignBackups || ForeignBackupFiles(folder).empty()) return;
    m_bToldForeignBackups = true;
    m_app.UI().ShowMessage(FormatText(texts::kBackupsForeignFiles, PathText(folder)), MessageKind::Warning);
}
