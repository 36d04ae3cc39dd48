#include "ui/main/main_frame.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QSplitter>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "core/accessible_texts.h"
#include "core/cp932.h"
#include "core/maps.h"
#include "core/pal_commands.h"
#include "core/pal_list.h"
#include "core/shell_hand_off.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "mail/mail_intake.h"
#include "mail/mail_link.h"
#include "storage/data_file_name.h"
#include "ui/dialogs/address_book_commands.h"
#include "ui/dialogs/welcome_dlg.h"
#include "ui/lazy_icon.h"
#include "ui/main/command_ids.h"
#include "ui/main/correspondence_view.h"
#include "ui/main/mail_edit_view.h"
#include "ui/main/pal_list_model.h"
#include "ui/main/yubino_view.h"
#include "ui/map/map_view.h"
#include "ui/qt_text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLeftColumnWidth = 400;
constexpr int kMapPaneHeight = 400;
constexpr int kTitleBarButtonsWidth = 120;

QString FileFilter() { return QString::fromUtf8(texts::kFileFilter); }

fs::path ToPath(const QString& path) { return fs::path(path.toStdString()); }

}  // namespace

CMainFrame::CMainFrame(CYubinoApp& app, CQtUserInterface* ui, AppPaths paths, fs::path bundledSample, QWidget* parent)
    : QMainWindow(parent),
      m_app(app),
      m_ui(ui),
      m_session(app, std::move(paths), std::move(bundledSample)),
      m_pictures([&app] { return app.m_dataFolder; }) {
    if (m_ui) {
        m_ui->SetApp(&m_app);
        m_ui->SetParentWidget(this);
        m_ui->SetViewHost(this);
    }
    m_app.m_bListAllPals = true;

    setWindowTitle(QString::fromUtf8(texts::kAppName));
    setWindowIcon(LazyIcon(
        {{48, PictureFile(QStringLiteral(":/yubino-48.png"))}, {256, PictureFile(QStringLiteral(":/yubino.png"))}}));
    CreateActions();
    CreateMailCheckControls();
    CreateToolBars();
    CreateMenus();
    CreatePanes();
    CreateStatusBar();
    ConnectPanes();
    SetUpHistory();
    CreateArchiveParts();
    // The map the bar names is the one drawn when the window first shows.
    ApplyMapChoice();
    resize(kLeftColumnWidth + 540, 720);
    m_chooseSaveFile = [this]() -> fs::path {
        const QString path = QFileDialog::getSaveFileName(this, QString(), DataFolder(), FileFilter());
        return path.isEmpty() ? fs::path() : WithDataFileExtension(ToPath(path));
    };
}

CMainFrame::~CMainFrame() {
    // The check's mails go into the archive, which goes with the frame's members.
    if (m_features) m_features->StopCheck();
    m_app.SetHistory(nullptr);
    // The panes go before the frame's connections do, and each takes its focus with it.
    disconnect(m_focusWatch);
    if (m_ui) {
        m_ui->SetViewHost(nullptr);
        m_ui->SetParentWidget(nullptr);
    }
}

void CMainFrame::CreatePanes() {
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_subSplitter = new QSplitter(Qt::Vertical, m_splitter);
    m_mapView = new CMapView(m_app, m_pictures, m_subSplitter);
    m_correspondence = new CCorrespondenceView(
        m_app,
        [this](const std::string& address, ConversationOrder order,
               const std::optional<CMailArchive::MailKey>& olderThan) -> std::optional<ConversationPage> {
            CFeatures* features = Features();
            return features ? features->Conversation(address, order, olderThan) : std::nullopt;
        },
        m_subSplitter);
    m_mailView = m_correspondence->TextView();
    m_listView = new CYubinoView(m_app, m_pictures, m_splitter);
    m_mapView->SetListRows([this] { return m_listView->ListRows(); });
    m_mapView->SetPickHandler([this](const std::string& address) { SelectPal(address); });
    m_subSplitter->addWidget(m_mapView);
    m_subSplitter->addWidget(m_correspondence);
    m_splitter->addWidget(m_subSplitter);
    m_splitter->addWidget(m_listView);
    // The map and the left column can be made as small as one pixel, never hidden.
    for (QWidget* pane : {static_cast<QWidget*>(m_mapView), static_cast<QWidget*>(m_correspondence),
                          static_cast<QWidget*>(m_subSplitter)})
        pane->setMinimumSize(1, 1);
    m_splitter->setChildrenCollapsible(false);
    m_subSplitter->setChildrenCollapsible(false);
    m_subSplitter->setSizes({kMapPaneHeight, kMapPaneHeight});
    m_splitter->setSizes({kLeftColumnWidth, 500});
    m_splitter->setStretchFactor(1, 1);
    m_subSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    m_mapView->setWhatsThis(QString::fromUtf8(texts::kMapPaneHelp));
    m_mailView->setWhatsThis(QString::fromUtf8(texts::kMailPaneHelp));
    m_listView->setWhatsThis(QString::fromUtf8(texts::kListPaneHelp));
    m_mapView->setAccessibleName(QString::fromUtf8(texts::kMapPaneName));
    for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(&m_listView->DetailsView()),
                                    static_cast<QAbstractItemView*>(&m_listView->IconView())})
        list->setAccessibleName(QString::fromUtf8(texts::kListPaneName));
}

void CMainFrame::ConnectPanes() {
    connect(m_listView, &CYubinoView::SelectionChanged, this, &CMainFrame::OnSelectionChanged);
    connect(m_listView, &CYubinoView::ListFilled, this, &CMainFrame::OnListFilled);
    connect(m_listView, &CYubinoView::CommandRequested, this, &CMainFrame::Execute);
    connect(m_listView, &CYubinoView::MailTextDropped, this, &CMainFrame::OnMailTextDropped);
    m_listView->SetMessageTest([this](std::string_view head) {
        CFeatures* features = Features();
        return features && features->LooksLikeInternetMessage(head);
    });
    connect(m_listView, &CYubinoView::InternetMessageDropped, this, [this](const QByteArray& bytes) {
        if (CFeatures* features = Features()) features->TakeMessage(bytes);
    });
    connect(m_listView, &CYubinoView::MailFilesDropped, this, [this](const QStringList& paths) {
        if (CFeatures* features = Features()) features->TakeMailFiles(paths);
    });
    connect(m_listView, &CYubinoView::AddressBookDropped, this,
            [this](const std::filesystem::path& path) { RunAddressBookImport(m_app, this, path, CardStore()); });
    connect(m_mapCombo, &QComboBox::currentIndexChanged, this, &CMainFrame::ApplyMapChoice);
    connect(this, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateStatusBar);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, &CMainFrame::RefreshPrintStates);
}

void CMainFrame::Start(const std::filesystem::path& commandLineFile) {
    SetDefaultModes();
    ApplyWindowState();
    ApplyMapChoice();
    setWindowTitle(QString::fromUtf8(texts::kAppName));
    m_mailView->setPlainText(QString::fromUtf8(texts::kMailPanePlaceholder));
    const FirstRunChoice welcome = commandLineFile.empty() ? Welcome() : FirstRunChoice{};
    // Loading redraws the list and the map whenever it changes the table.
    m_session.LoadStartupFile(commandLineFile);
    AfterFileOpened();
    if (!welcome.ownAddresses.empty() && Features()) Features()->StoreOwnAddresses(welcome.ownAddresses);
    // After the own addresses, which the accounts dialog shows too.
    if (welcome.setUpMailAccount && Features()) Features()->EditMailAccounts();
    UpdateCaption();
    RememberDataFile();
    StartTimedChecks();
}

void CMainFrame::SetDefaultModes() {
    Execute(ID_VIEW_DETAILS);
    Execute(ID_LIST_ALL_PALS);
    Execute(ID_MAP_ALL_PALS);
}

void CMainFrame::Execute(int commandId) {
    auto check = [this](int id) { m_actions[id]->setChecked(true); };
    switch (commandId) {
        case ID_FILE_NEW:
            ChooseAndMakeNewFile();
            break;
        case ID_FILE_OPEN:
            ChooseAndOpenFile();
            break;
        case ID_FILE_SAVE_AS:
            ChooseAndSaveAs();
            break;
        case ID_FILE_SAVE:
            m_session.Save();
            UpdateCaption();
            break;
        case ID_APP_EXIT:
            close();
            break;
        case ID_VIEW_LARGE_ICONS:
            m_listView->SetViewMode(kLargeIcons);
            check(commandId);
            break;
        case ID_VIEW_SMALL_ICONS:
            m_listView->SetViewMode(kSmallIcons);
            check(commandId);
            break;
        case ID_VIEW_LIST:
            m_listView->SetViewMode(kListMode);
            check(commandId);
            break;
        case ID_VIEW_DETAILS:
            m_listView->SetViewMode(kDetails);
            check(commandId);
            break;
        case ID_LIST_ALL_PALS:
        case ID_LIST_MAP_PALS:
            check(commandId);
            m_app.m_bListAllPals = commandId == ID_LIST_ALL_PALS;
            UpdateListView();
            break;
        case ID_MAP_ALL_PALS:
        case ID_MAP_SELECTED_PALS:
            check(commandId);
            m_app.m_bMapAllPals = commandId == ID_MAP_ALL_PALS;
            m_mapView->RedrawNow();
            break;
        case ID_ADD_PAL:
            AddPalByHand(m_app);
            break;
        case ID_ADD_MAIL_TEXT:
            AddMailTextFromClipboard(m_app);
            break;
        case ID_EDIT_PAL:
            EditSelectedPal(m_app, m_listView->SelectionMarkAddress());
            break;
        case ID_DELETE_PALS:
            DeleteSelectedPals(m_app);
            break;
        case ID_SEND_MAIL:
            SendMailToSelected(m_app);
            break;
        case ID_EDIT_PALS:
            EditSelectedPals(m_app);
            break;
        case ID_PLACE_FROM_RESIDENCE:
            PlaceSelectedPals(m_app);
            break;
        case ID_HELP:
            OpenHelp();
            break;
        case ID_CONTEXT_HELP:
            QWhatsThis::enterWhatsThisMode();
            break;
        case ID_FILE_PRINT:
            PrintList();
            break;
        case ID_FILE_PRINT_PREVIEW:
            PreviewList();
            break;
        case ID_APP_ABOUT:
            ShowAboutBox();
            break;
        case ID_ANALYSIS:
            if (CFeatures* features = Features()) features->RunAnalysis();
            break;
        case ID_IMPORT_CSV:
            RunCsvImport(m_app, this, DataFolder(), m_chooseCsvFile);
            break;
        case ID_IMPORT_MAIL_FILES:
            if (CFeatures* features = Features()) features->ChooseAndTakeMailFiles(DataFolder());
            break;
        case ID_IMPORT_ADDRESS_BOOK:
            if (const std::optional<std::filesystem::path> path = ChooseAddressBookFile(this, DataFolder()))
                RunAddressBookImport(m_app, this, *path, CardStore());
            break;
        case ID_EXPORT_VCARD:
        case ID_EXPORT_CSV_UTF8:
        case ID_EXPORT_CSV_CP932:
            RunPalExport(m_app, this, DataFolder(), m_listView->SelectedAddresses(),
                         commandId == ID_EXPORT_VCARD      ? ExportFormat::VCard
                         : commandId == ID_EXPORT_CSV_UTF8 ? ExportFormat::CsvUtf8
                                                           : ExportFormat::CsvCp932,
                         // Only a card carries the records kept beside the data file.
                         commandId == ID_EXPORT_VCARD ? CardStore() : nullptr);
            break;
        default:
            break;
    }
}

void CMainFrame::ApplyMapChoice() { m_mapView->ApplyMapChoice(m_mapCombo->currentIndex()); }

void CMainFrame::OnSelectionChanged() {
    const std::vector<std::string> selected = m_listView->SelectedAddresses();
    m_correspondence->ShowPal(selected.size() == 1 ? &selected.front() : nullptr);
    RefreshCommandStates();
    WatchSelectionForMap();
}

// A refill ends the selection without telling it: the panes that follow the selection
// look again, so that none keeps showing a pal no longer selected.
void CMainFrame::OnListFilled() { OnSelectionChanged(); }

// While the map shows only the selected pals, it follows every change of the selection.
void CMainFrame::WatchSelectionForMap() {
    if (m_app.m_bMapAllPals) return;
    std::string record;
    for (const std::string& address : m_listView->SelectedAddresses()) record += address + '\n';
    if (record == m_strLastSelection) return;
    m_strLastSelection = record;
    UpdateMapView();
}

void CMainFrame::RefreshCommandStates() {
    const PalCommandStates states = PalCommandStatesFor(m_listView->SelectedCount(), m_app.GetPalCount());
    m_actions[ID_ADD_PAL]->setEnabled(states.addPal);
    m_actions[ID_EDIT_PAL]->setEnabled(states.editOne);
    m_actions[ID_DELETE_PALS]->setEnabled(states.deletePals);
    m_actions[ID_SEND_MAIL]->setEnabled(states.sendMail);
    UpdateStatusBar();
    m_actions[ID_PLACE_FROM_RESIDENCE]->setEnabled(m_listView->SelectedCount() > 0);
}

void CMainFrame::UpdateCaption() {
    const std::string title = m_session.Doc().GetTitle();
    if (title.empty()) {
        setWindowTitle(QString::fromUtf8(texts::kAppName));
        return;
    }
    QString name = QString::fromStdString(title);
    if (m_session.Doc().IsReadOnly()) name += QString::fromUtf8(texts::kReadOnlyCaptionMark);
    setWindowTitle(QString::fromUtf8(texts::kCaptionFormat).replace(QStringLiteral("%s"), name));
}

bool CMainFrame::OpenFile(const QString& path) {
    // The table goes into its file first, as the close stores it.
    return ShowOpenedFile(m_session.OpenOther(ToPath(path), m_chooseSaveFile));
}

bool CMainFrame::ShowOpenedFile(bool opened) {
    if (opened) AfterFileOpened();
    UpdateCaption();
    if (opened) RememberDataFile();
    return opened;
}

bool CMainFrame::SaveAs(const QString& path) {
    // The archive goes along before the document's path changes to the new file.
    const fs::path target = WithDataFileExtension(ToPath(path));
    CFeatures* features = Features();
    const bool copied = features && features->CopyArchiveAlong(target);
    const bool saved = m_session.SaveAs(target);
    if (!saved && copied) features->RemoveArchiveCopy(target);
    UpdateCaption();
    if (saved) RememberDataFile();
    return saved;
}

// File dialogs start beside the data file in use.
QString CMainFrame::DataFolder() const { return QString::fromStdString(m_app.m_dataFolder.string()); }

void CMainFrame::ChooseAndOpenFile() {
    const QString path = QFileDialog::getOpenFileName(this, QString(), DataFolder(), FileFilter());
    if (!path.isEmpty()) OpenFile(path);
}

void CMainFrame::ChooseAndSaveAs() {
    QFileDialog dialog(this, QString(), DataFolder(), FileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromUtf8(texts::kFileExtension));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) SaveAs(dialog.selectedFiles().front());
}

void CMainFrame::OpenHelp() {
    const fs::path help = BundledFile(ProgramDirectory(), "help.html");
    const std::string utf8 = help.string();
    HandOffToDesktop(m_app.UI(), cp932::FromUtf8(utf8).value_or(utf8));
}

void CMainFrame::ShowAboutBox() {
    QDialog box(this);
    box.setWindowTitle(QString::fromUtf8(texts::kAboutTitle));
    auto* icon = new QLabel(&box);
    icon->setPixmap(QPixmap(QStringLiteral(":/yubino-48.png")));
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    const QString dataFile = QString::fromStdString(m_session.Doc().GetPathName().string());
    auto* text = new QLabel(QStringList{QString::fromUtf8(texts::kAboutVersion), QString::fromUtf8(texts::kAboutLicence),
                                        QString(), QString::fromUtf8(texts::kAboutDataFile), dataFile}
                                .join(QLatin1Char('\n')),
                            &box);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addLayout(row);
    layout->addWidget(buttons);
    // Wide enough for the whole title beside the title bar's icon and buttons.
    box.setMinimumWidth(box.fontMetrics().horizontalAdvance(box.windowTitle()) * 3 / 2 + kTitleBarButtonsWidth);
    box.exec();
}

void CMainFrame::ActivateNextPane(int step) {
    QWidget* panes[] = {m_mapView, m_correspondence, &m_listView->ActiveView()};
    int current = 0;
    for (int i = 0; i < 3; ++i)
        if (panes[i]->isAncestorOf(focusWidget()) || panes[i] == focusWidget()) current = i;
    panes[(current + step + 3) % 3]->setFocus();
}

// Only the pal list prints, and only while it is the active pane.
void CMainFrame::PrintList() {
    if (!m_listView->isAncestorOf(focusWidget())) return;
    if (CFeatures* features = Features())
        features->PrintPalList(m_listView->Model().Rows(), windowTitle(), this, m_choosePrinter);
}

void CMainFrame::PreviewList() {
    if (!m_listView->isAncestorOf(focusWidget())) return;
    if (CFeatures* features = Features()) features->PreviewPalList(m_listView->Model().Rows(), windowTitle(), this);
}

// The print commands are greyed while another pane than the list is active.
void CMainFrame::RefreshPrintStates() {
    const bool listActive = m_listView->isAncestorOf(focusWidget());
    m_actions[ID_FILE_PRINT]->setEnabled(listActive);
    m_actions[ID_FILE_PRINT_PREVIEW]->setEnabled(listActive);
}

void CMainFrame::OnMailTextDropped(const std::string& text) { AddMailText(m_app, text); }

void CMainFrame::UpdateListView() {
    MatchSearch();
    m_listView->FillList();
    RefreshQueue();
}

void CMainFrame::UpdateMapView() { m_mapView->RedrawNow(); }

std::vector<std::string> CMainFrame::GetSelectedAddresses() { return m_listView->SelectedAddresses(); }

void CMainFrame::PreloadPicture(const std::string& path) { m_pictures.LoadPicture(path); }

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A running check ends first, so that what it took in is in the file saved.
    if (m_features) m_features->StopCheck();
    if (m_session.SaveOnClose(m_chooseSaveFile)) {
        SaveWindowState();
        event->accept();
    } else {
        event->ignore();
    }
    if (event->isAccepted()) DiscardRecoveryCopy();
}
