#include "ui/features/feature_parts.h"

#include <QDialog>
#include <system_error>

#include "archive/archive_seed.h"
#include "archive/pal_archive.h"
#include "archive/pal_search.h"
#include "archive/reply_draft.h"
#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/internet_mail.h"
#include "mail/reply_link.h"
#include "ui/contacts/contact_sync_controller.h"
#include "ui/days_notification.h"
#include "ui/dialogs/analysis_dlg.h"
#include "ui/dialogs/archive_settings_dlg.h"
#include "ui/dialogs/pal_quiet_days_dlg.h"
#include "ui/jobs/progress_dialog.h"
#include "ui/jobs/window_jobs.h"
#include "ui/mail/mail_check_controller.h"
#include "ui/main/mail_import.h"
#include "ui/main/main_frame.h"
#include "ui/qt_text.h"

namespace fs = std::filesystem;

namespace {

class CFeatureParts : public CFeatures {
public:
    CFeatureParts(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls)
        : m_app(app),
          m_frame(frame),
          m_archive(
              app,
              [&frame] {
                  return ArchiveDocument{frame.Session().Doc().GetPathName(), frame.Session().Doc().IsReadOnly()};
              },
              &CWindowJobs::Of(frame)),
          m_import(std::make_unique<CMailImport>(app, &frame, &m_archive)),
          m_check(std::make_unique<CMailCheckController>(
              app, frame, CWindowJobs::Of(frame), [&frame] { return frame.Session().Doc().GetPathName(); }, &m_archive,
              controls)),
          m_contactSync(std::make_unique<CContactSyncController>(
              app, frame, CWindowJobs::Of(frame),
              [&frame] {
                  return ArchiveDocument{frame.Session().Doc().GetPathName(), frame.Session().Doc().IsReadOnly()};
              },
              [&frame] { frame.Session().Save(); })) {
        m_archive.SetMigrationProgress(ProgressInDialog(&frame, QString::fromUtf8(texts::kArchiveUpgrading)));
    }

    CPalHistory& History() override { return m_archive; }
    bool CopyArchiveAlong(const fs::path& newDataFile) override { return m_archive.CopyAlongTo(newDataFile); }
    void RemoveArchiveCopy(const fs::path& newDataFile) override {
        std::error_code ec;
        fs::remove(CMailArchive::PathFor(newDataFile), ec);
    }

    std::optional<ConversationPage> Conversation(const std::string& cp932Address, ConversationOrder order,
                                                 const std::optional<CMailArchive::MailKey>& olderThan) override {
        // An archive that cannot be read shows the table's last mail, as without one.
        CMailArchive* archive = m_archive.Archive();
        if (!archive) return std::nullopt;
        CPenPal pal;
        m_app.FindPalByAddress(cp932Address, pal);
        ArchiveResult<ConversationPage> page = ReadConversationPage(
            *archive, {ArchiveAddress(cp932Address), cp932::ToUtf8(pal.m_strHandleName)}, order, olderThan);
        if (!page.Ok()) return std::nullopt;
        return std::move(page.value);
    }

    ReplyQueue Queue() override { return m_archive.Queue(CalendarDay::Today()); }

    std::set<std::string> PalsMatching(const std::string& utf8Query) override {
        return PalsMatchingSearch(m_app, m_archive.Archive(), utf8Query);
    }

    std::optional<MailSearchResults> SearchMails(const std::string& utf8Query, const MailSearchFilter& filter,
                                                 std::size_t limit) override;
    bool ArchiveWritable() override;
    std::string Now() override { return ArchiveDateOf(COleDateTime::GetCurrentTime()); }
    void MarkAnswered(const std::vector<std::string>& cp932Addresses, const std::string& when) override {
        m_archive.MarkAnswered(cp932Addresses, when);
    }
    void UnmarkAnswered(const std::vector<std::string>& cp932Addresses, const std::string& when) override {
        m_archive.UnmarkAnswered(cp932Addresses, when);
    }
    std::optional<CalendarDay> SnoozedUntil(const std::string& cp932Address) override {
        return m_archive.SnoozedUntil(cp932Address);
    }
    bool Snooze(const std::string& cp932Address, std::optional<CalendarDay> until) override {
        return m_archive.Snooze(cp932Address, until);
    }
    void WriteReply(const CPenPal& pal) override {
        HandOffReply(m_app.UI(), ReplyRequestFor(m_archive, pal, CalendarDay::Today()));
    }

    void ShowArchiveSettings() override;
    void StoreOwnAddresses(const std::vector<std::string>& addresses) override;
    void ShowPalQuietDays(const std::string& cp932Address) override;

    bool LooksLikeInternetMessage(std::string_view head) override { return ::LooksLikeInternetMessage(head); }
    void TakeMessage(const QByteArray& bytes) override { m_import->TakeMessage(bytes); }
    void TakeMailFiles(const QStringList& paths) override { m_import->TakeFiles(paths); }
    void ChooseAndTakeMailFiles(const QString& folder) override { m_import->ChooseAndTakeFiles(folder); }

    void CheckMail() override { m_check->Check(); }
    void EditMailAccounts() override { m_check->EditAccounts(); }
    void StartTimedChecks() override { m_check->StartTimedChecks(); }
    void StopCheck() override {
        m_check->StopAndWait();
        m_contactSync->StopAndWait();
    }
    void SyncContacts() override { m_contactSync->Sync(); }
    void EditContactAccount() override { m_contactSync->EditAccount(); }

    void PrintPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent,
                      const PrinterChooser& choose) override {
        ::PrintPalList(m_app, rows, heading, parent, choose ? choose : PrinterChooser(ChoosePrinter));
    }
    void PreviewPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent) override {
        ::PreviewPalList(rows, heading, parent);
    }

    void RunAnalysis() override;
    void NotifyDaysToRemember() override {
        if (HasSessionBus())
            ::NotifyDaysToRemember(m_app, QDBusConnection::sessionBus(), DaysToldStampFile(),
                                   COleDateTime::GetCurrentTime());
    }

    CPalArchive& Archive() override { return m_archive; }
    CMailImport& MailImport() override { return *m_import; }
    CMailCheckController& MailCheck() override { return *m_check; }
    CContactSyncController& ContactSync() override { return *m_contactSync; }

private:
    CYubinoApp& m_app;
    CMainFrame& m_frame;
    CPalArchive m_archive;
    // Both go before the archive they use.
    std::unique_ptr<CMailImport> m_import;
    std::unique_ptr<CMailCheckController> m_check;
    std::unique_ptr<CContactSyncController> m_contactSync;
};

std::optional<MailSearchResults> CFeatureParts::SearchMails(const std::string& utf8Query,
                                                            const MailSearchFilter& filter, std::size_t limit) {
    CMailArchive* archive = m_archive.Archive();
    if (!archive) return std::nullopt;
    ArchiveResult<MailSearchResults> found = archive->SearchMails(utf8Query, filter, limit);
    if (found.kind == ArchiveStatus::Kind::Failed) return std::nullopt;
    return std::move(found.value);
}

bool CFeatureParts::ArchiveWritable() {
    if (m_archive.Writable()) return true;
    m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
    return false;
}

void CFeatureParts::ShowArchiveSettings() {
    if (!ArchiveWritable()) return;
    CMailArchive& archive = *m_archive.Archive();
    const ArchiveResult<std::vector<std::string>> own = archive.OwnAddresses();
    const ArchiveResult<int> days = archive.DefaultQuietDays();
    // A damaged interval is told, and the dialog offers the default in its place.
    if (!own.Ok() || days.kind == ArchiveStatus::Kind::Failed) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
        return;
    }
    m_archive.Report(days);
    CArchiveSettingsDlg dialog(&m_frame);
    dialog.SetOwnAddresses(own.value);
    dialog.SetQuietDays(days.value);
    dialog.SetGreetings(ReadSeasonalGreetings(archive));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!archive.SetOwnAddresses(dialog.OwnAddresses()).Ok() || !archive.SetDefaultQuietDays(dialog.QuietDays()).Ok() ||
        !WriteSeasonalGreetings(archive, dialog.Greetings()).Ok())
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
}

void CFeatureParts::StoreOwnAddresses(const std::vector<std::string>& addresses) {
    if (!ArchiveWritable()) return;
    if (!m_archive.Archive()->SetOwnAddresses(addresses).Ok())
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
}

void CFeatureParts::ShowPalQuietDays(const std::string& cp932Address) {
    if (!ArchiveWritable()) return;
    CPenPal pal;
    if (!m_app.FindPalByAddress(cp932Address, pal)) return;
    CMailArchive& archive = *m_archive.Archive();
    const std::string archived = ArchiveAddress(cp932Address);
    const ArchiveResult<int> forAll = archive.DefaultQuietDays();
    const ArchiveResult<std::optional<int>> own = archive.PalQuietDays(archived);
    if (forAll.kind == ArchiveStatus::Kind::Failed || own.kind == ArchiveStatus::Kind::Failed) {
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
        return;
    }
    m_archive.Report(forAll.Ok() ? static_cast<const ArchiveStatus&>(own) : forAll);
    CPalQuietDaysDlg dialog(ToQString(pal.m_strHandleName), forAll.value, own.value, &m_frame);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!archive.SetPalQuietDays(archived, dialog.OwnDays()).Ok())
        m_app.UI().ShowMessage(Cp932Text(texts::kArchiveNotAvailable), MessageKind::Warning);
}

// The sort flags live for the whole run, as the lists' column clicks expect.
CSortDirection& AnalysisSortDirection() {
    static CSortDirection direction;
    return direction;
}

void CFeatureParts::RunAnalysis() {
    const fs::path dataFile = m_frame.Session().Doc().GetPathName();
    const fs::path archive = dataFile.empty() ? dataFile : CMailArchive::PathFor(dataFile);
    CAnalysisDlg dialog(m_app, AnalysisSortDirection(), archive, &m_frame);
    dialog.exec();
}

}  // namespace

std::unique_ptr<CFeatures> NewFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls) {
    return std::make_unique<CFeatureParts>(app, frame, controls);
}

// What the window looks up in the module.
extern "C" CFeatures* YubinoNewFeatures(CYubinoApp& app, CMainFrame& frame, MailCheckControls controls) {
    return NewFeatures(app, frame, controls).release();
}
