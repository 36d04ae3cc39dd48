// The main window's parts for the correspondence archive (the reply queue pane, the search
// field, "返事を書いた" and the archive's settings) and the way to the features module that
// holds the archive and the other later features. The module opens at the first use of
// one of them, so start-up never waits for it.
#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include "analysis/days_to_remember.h"
#include "core/accessible_texts.h"
#include "core/pal_history.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "sync/mail_accounts.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/main_frame.h"

#include "archive/pal_archive.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/reply_queue_pane.h"
#include "ui/main/search_field.h"
#include "ui/main/yubino_view.h"
#include "ui/qt_text.h"

namespace {

QMenu* MenuTitled(QMenuBar* bar, const char* title) {
    for (QAction* action : bar->actions())
        if (action->menu() && action->text() == QString::fromUtf8(title)) return action->menu();
    return nullptr;
}

QAction* NewCommand(QObject* parent, int id, const char* menuText, const char* commandText) {
    auto* action = new QAction(QString::fromUtf8(menuText), parent);
    action->setData(id);
    if (commandText) {
        const QStringList parts = QString::fromUtf8(commandText).split(QLatin1Char('\n'));
        action->setStatusTip(parts.value(0));
        action->setToolTip(parts.value(1, parts.value(0)));
    }
    return action;
}

// The pal table's record of mails and the pals' records beside the data file, passed on
// to the archive once the features are open.
class CFeatureHistory : public CPalHistory, public CPalCardStore {
public:
    explicit CFeatureHistory(CMainFrame& frame) : m_frame(frame) {}
    void MailTakenIn(const CPenPal* before, const CPenPal& pal, const char* source) override {
        if (CFeatures* features = m_frame.Features()) features->History().MailTakenIn(before, pal, source);
    }
    void AddressChanged(const std::string& oldAddress, const std::string& newAddress) override {
        if (CFeatures* features = m_frame.Features()) features->History().AddressChanged(oldAddress, newAddress);
    }
    bool HasMails(const std::string& address) override {
        CFeatures* features = m_frame.Features();
        return features && features->History().HasMails(address);
    }
    void PalDeleted(const std::string& address, bool deleteMails) override {
        if (CFeatures* features = m_frame.Features()) features->History().PalDeleted(address, deleteMails);
    }
    std::optional<PalCard> ReadCard(const std::string& address) override {
        CFeatures* features = m_frame.Features();
        return features ? Store(*features).ReadCard(address) : std::nullopt;
    }
    bool WriteCard(const std::string& address, const PalCard& card) override {
        CFeatures* features = m_frame.Features();
        return features && Store(*features).WriteCard(address, card);
    }

private:
    static CPalCardStore& Store(CFeatures& features) { return features.Archive(); }
    CMainFrame& m_frame;
};

}  // namespace

CPalCardStore* CMainFrame::CardStore() { return dynamic_cast<CPalCardStore*>(m_historyLink.get()); }

CFeatures* CMainFrame::Features() {
    if (m_features || m_bFeaturesFailed) return m_features.get();
    QString error;
    m_features = LoadFeatures(m_app, *this, m_mailCheckControls, error);
    if (!m_features) {
        m_bFeaturesFailed = true;
        m_app.UI().ShowMessage(Cp932Text(texts::kFeaturesNotAvailable) + Cp932Text(error.toUtf8().constData()),
                               MessageKind::Warning);
    }
    return m_features.get();
}

// Made here, so that the menu, the mail bar and the status bar have them before the check
// is needed.
void CMainFrame::CreateMailCheckControls() {
    QAction* check = new QAction(QString::fromUtf8(texts::kCmdCheckMail), this);
    check->setShortcut(QKeySequence(Qt::Key_F5));
    check->setIcon(QIcon::fromTheme(QStringLiteral("mail-receive")));
    check->setStatusTip(QString::fromUtf8(texts::kCheckMailTip));
    connect(check, &QAction::triggered, this, [this] {
        if (CFeatures* features = Features()) features->CheckMail();
    });
    QAction* accounts = new QAction(QString::fromUtf8(texts::kCmdMailAccounts), this);
    accounts->setStatusTip(QString::fromUtf8(texts::kMailAccountsTip));
    connect(accounts, &QAction::triggered, this, [this] {
        if (CFeatures* features = Features()) features->EditMailAccounts();
    });
    auto* label = new QLabel(this);
    auto* progress = new QProgressBar(this);
    progress->setMaximumWidth(160);
    auto* cancel = new QPushButton(QString::fromUtf8(texts::kCheckCancel), this);
    for (QWidget* widget :
         {static_cast<QWidget*>(label), static_cast<QWidget*>(progress), static_cast<QWidget*>(cancel)}) {
        widget->hide();
        statusBar()->addPermanentWidget(widget);
    }
    m_mailCheckControls = {check, accounts, label, progress, cancel};
}

// Timed checks open the features only when the accounts file turns them on.
void CMainFrame::StartTimedChecks() {
    if (!m_features && ReadMailAccounts(MailAccountsFile()).checkEveryMinutes <= 0) return;
    if (CFeatures* features = Features()) features->StartTimedChecks();
}

// A day with nothing to remember opens no features.
void CMainFrame::NotifyDaysToRemember() {
    if (!m_features && DaysToRemember(m_app.Pals(), COleDateTime::GetCurrentTime()).empty()) return;
    if (CFeatures* features = Features()) features->NotifyDaysToRemember();
}

void CMainFrame::CreateArchiveParts() {
    m_historyLink = std::make_unique<CFeatureHistory>(*this);
    m_app.SetHistory(m_historyLink.get());

    m_queuePane = new CReplyQueuePane(m_app, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_queuePane);
    m_queuePane->hide();
    QAction* queue = m_queuePane->toggleViewAction();
    queue->setText(QString::fromUtf8(texts::kMenuReplyQueue));
    queue->setStatusTip(QString::fromUtf8(texts::kCmdReplyQueue).section(QLatin1Char('\n'), 0, 0));
    queue->setData(static_cast<int>(ID_VIEW_REPLY_QUEUE));
    connect(m_queuePane, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) RefreshQueue();
    });
    connect(m_queuePane, &CReplyQueuePane::PalActivated, this, &CMainFrame::SelectPal);
    connect(m_queuePane, &CReplyQueuePane::QuietDaysRequested, this, &CMainFrame::ShowPalQuietDays);
    m_queueCounts = new QLabel(this);
    m_queueCounts->hide();
    statusBar()->addPermanentWidget(m_queueCounts);

    QAction* answered = NewCommand(this, ID_MARK_ANSWERED, texts::kMenuMarkAnswered, texts::kCmdMarkAnswered);
    connect(answered, &QAction::triggered, this, &CMainFrame::MarkAnswered);
    QAction* settings = NewCommand(this, ID_ARCHIVE_SETTINGS, texts::kMenuArchiveSettings, texts::kCmdArchiveSettings);
    connect(settings, &QAction::triggered, this, &CMainFrame::ShowArchiveSettings);
    for (QAction* action : {queue, answered, settings}) m_actions[action->data().toInt()] = action;

    if (QMenu* view = MenuTitled(menuBar(), texts::kMenuView)) {
        view->addSeparator();
        view->addAction(queue);
    }
    QMenu* tools = MenuTitled(menuBar(), texts::kMenuTools);
    CreateReplyCommands(tools);
    if (tools) {
        tools->addAction(answered);
        tools->addAction(settings);
    }

    m_searchField = new CSearchField(this);
    m_searchField->setAccessibleName(QString::fromUtf8(texts::kSearchFieldName));
    connect(m_searchField, &QLineEdit::textChanged, this, &CMainFrame::ApplySearch);
    QAction* find = NewCommand(this, ID_FIND, texts::kSearchPlaceholder, nullptr);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_searchField->setFocus();
        m_searchField->selectAll();
    });
    addAction(find);
    m_actions[ID_FIND] = find;
    m_toolBar->addSeparator();
    m_toolBar->addAction(queue);
    m_toolBar->addWidget(m_searchField);
}

void CMainFrame::RefreshQueue() {
    if (!m_queuePane || !m_queuePane->isVisible()) return;
    CFeatures* features = Features();
    if (!features) return;
    m_queuePane->Show(features->Queue());
    m_queueCounts->setText(m_queuePane->CountsText());
    m_queueCounts->show();
}

void CMainFrame::MatchSearch() {
    if (!m_searchField) return;
    const QString text = m_searchField->text();
    m_app.m_bSearchActive = !text.isEmpty();
    m_app.m_searchMatches.clear();
    if (m_app.m_bSearchActive)
        if (CFeatures* features = Features()) m_app.m_searchMatches = features->PalsMatching(text.toStdString());
    ShowMailSearch(text);
}

void CMainFrame::ApplySearch(const QString& text) {
    m_correspondence->SetHighlight(text);
    UpdateListView();
    UpdateMapView();
}

void CMainFrame::SelectPal(const std::string& address) {
    auto rowOf = [this, &address]() -> int {
        const std::vector<CPenPal>& rows = m_listView->Model().Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].m_strMailAddress == address) return static_cast<int>(i);
        return -1;
    };
    int row = rowOf();
    if (row < 0 && m_searchField && !m_searchField->text().isEmpty()) {
        m_searchField->clear();  // the pal is hidden by the search
        row = rowOf();
    }
    if (row < 0) return;
    const QModelIndex index = m_listView->Model().index(row, 0);
    m_listView->Selection().setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_listView->ActiveView().scrollTo(index);
    UpdateMapView();
}

void CMainFrame::MarkAnswered() { MarkAnsweredFor(m_listView->SelectedAddresses()); }

void CMainFrame::ShowArchiveSettings() {
    if (CFeatures* features = Features()) features->ShowArchiveSettings();
    RefreshQueue();
}

void CMainFrame::ShowPalQuietDays(const std::string& address) {
    if (CFeatures* features = Features()) features->ShowPalQuietDays(address);
    RefreshQueue();
}
