// The main window: menus, the main toolbar, the map bar, and the three panes (map, mail
// text, pal list) in two splitters. It carries out the commands, keeps their states in
// step with the selection, the table and the bars, and saves on close.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "storage/window_state.h"
#include "storage/yubino_session.h"
#include "ui/dialogs/analysis_import_commands.h"
#include "ui/features/features.h"
#include "ui/main/pal_list_print.h"
#include "ui/map/picture_cache.h"
#include "ui/qt_user_interface.h"

class CYubinoApp;
class CPalArchive;
class CPalCardStore;
class CCorrespondenceView;
class CReplyQueuePane;
class CMailSearchPane;
class QLabel;
class QLineEdit;
class CYubinoView;
class CMailEditView;
class CMailCheckController;
struct FirstRunChoice;
class CMapView;
class CRecoveryKeeper;
class CUndoHistory;
class CMailImport;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

class CMainFrame : public QMainWindow, public CViewHost {
    Q_OBJECT
public:
    // `ui`, when given, is the application's port: the frame becomes its parent window and
    // its view host. Tests give none and wire a port of their own to the frame.
    CMainFrame(CYubinoApp& app, CQtUserInterface* ui, AppPaths paths, std::filesystem::path bundledSample = {},
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Start-up once the window is shown: the start modes, the caption, the placeholder
    // in the mail pane, then the pal data file named by the settings file (or the sample).
    void Start(const std::filesystem::path& commandLineFile = {});
    // The list in details, the list and the map showing all pals.
    void SetDefaultModes();
    // Whether a first start greets the user with the welcome (the program's own start);
    // screenshots and tests start without it unless they ask.
    void SetWelcomeOnFirstStart(bool welcome) { m_welcomeOnFirstStart = welcome; }

    CMapView* GetMapView() const { return m_mapView; }
    CMailEditView* GetMailEditView() const { return m_mailView; }
    CYubinoView* GetListView() const { return m_listView; }
    CYubinoSession& Session() { return m_session; }
    CUndoHistory& History() { return *m_history; }
    // The pals' records beside the data file (readings, original texts, card identity).
    CPalCardStore* CardStore();
    CRecoveryKeeper& Recovery() { return *m_recovery; }
    CPictureCache& Pictures() { return m_pictures; }
    QAction* Action(int commandId) const;
    QToolBar* MainToolBar() const { return m_toolBar; }
    QToolBar* MapBar() const { return m_mapBar; }
    QComboBox* MapCombo() const { return m_mapCombo; }
    // The parts of later features, opened at their first use; none when the features
    // module cannot be opened (the user was told).
    CFeatures* Features();
    // Received mail from files, folders and dropped messages.
    CMailImport& MailImport() { return Features()->MailImport(); }
    // The correspondence archive and its panes.
    CPalArchive& Archive() { return Features()->Archive(); }
    CCorrespondenceView* Correspondence() const { return m_correspondence; }
    CReplyQueuePane* QueuePane() const { return m_queuePane; }
    QLineEdit* SearchField() const { return m_searchField; }
    // The mails the search field finds; none until the first search.
    CMailSearchPane* MailSearch() const { return m_mailSearch; }
    // Selects the pal with `address` in the list (and so on the map).
    void SelectPal(const std::string& address);
    CMailCheckController* MailCheck() { return Features() ? &m_features->MailCheck() : nullptr; }
    // The days to remember, told through the desktop once a day.
    void NotifyDaysToRemember();

    // Where the save on close asks for another file when the data file cannot be
    // written; a file dialog unless a test sets its own.
    void SetChooseSaveFile(CYubinoSession::ChooseFileFn choose) { m_chooseSaveFile = std::move(choose); }

    // Where the address book import asks for its file; a file dialog unless a test sets its own.
    void SetChooseCsvFile(CsvFileChooser choose) { m_chooseCsvFile = std::move(choose); }

    // Where printing asks for its printer; the print dialog unless a test sets its own.
    void SetChoosePrinter(PrinterChooser choose) { m_choosePrinter = std::move(choose); }

    // Reads how the window was left (its place and size at once, the rest at Start) and
    // writes it there on close. Without a file nothing is remembered.
    void LoadWindowState(const std::filesystem::path& stateFile);
    // The data files opened last, the last one first.
    const std::vector<std::filesystem::path>& RecentFiles() const { return m_windowState.recentFiles; }
    QMenu* RecentFilesMenu() const { return m_recentMenu; }

    // CViewHost
    void UpdateListView() override;
    void UpdateMapView() override;
    std::vector<std::string> GetSelectedAddresses() override;
    void PreloadPicture(const std::string& path) override;

public slots:
    // Carries out command `commandId` as its menu item, button or key does.
    void Execute(int commandId);
    // File, Open and Save As with the file already chosen.
    bool OpenFile(const QString& path);
    // File, New with the file already chosen.
    bool MakeNewFile(const QString& path);
    bool SaveAs(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePanes();
    void ConnectPanes();

    void ApplyMapChoice();
    void OnSelectionChanged();
    void OnListFilled();
    void WatchSelectionForMap();
    void RefreshCommandStates();
    void UpdateCaption();
    QString DataFolder() const;
    void ChooseAndOpenFile();
    bool ShowOpenedFile(bool opened);
    // File, New and the welcome of the first start (main_frame_first_run.cpp).
    void ChooseAndMakeNewFile();
    FirstRunChoice Welcome();
    void ChooseAndSaveAs();
    void OpenHelp();
    void ShowAboutBox();
    void ActivateNextPane(int step);
    void PrintList();
    void OnMailTextDropped(const std::string& text);
    void PreviewList();
    void RefreshPrintStates();

    // main_frame_state.cpp
    void ApplyWindowState();
    void SaveWindowState();
    void RememberDataFile();
    void RebuildRecentMenu();

    // main_frame_status.cpp
    void CreateStatusBar();
    void UpdateStatusBar();

    // Undo and redo, the recovery copy and backups (main_frame_history.cpp).
    void SetUpHistory();
    void AfterFileOpened();
    void ChooseAndRestoreBackup();
    void DiscardRecoveryCopy();
    // The archive's parts (main_frame_archive.cpp).
    void CreateArchiveParts();
    void CreateMailCheckControls();
    void StartTimedChecks();
    void RefreshQueue();
    void ApplySearch(const QString& text);
    void MatchSearch();
    // The results pane for `text` (main_frame_search.cpp); empty hides it.
    void ShowMailSearch(const QString& text);
    void MarkAnswered();
    void ShowArchiveSettings();
    void ShowPalQuietDays(const std::string& address);
    // Acting on a pal of the queue (main_frame_reply.cpp).
    void CreateReplyCommands(QMenu* tools);
    void WriteReply(const std::string& address);
    void WriteReplyToSelected();
    void MarkAnsweredFor(const std::vector<std::string>& addresses);
    void SnoozePal(const std::string& address, int days);

    CYubinoApp& m_app;
    CQtUserInterface* m_ui;
    CYubinoSession m_session;
    std::unique_ptr<CFeatures> m_features;
    bool m_bFeaturesFailed = false;
    bool m_welcomeOnFirstStart = false;
    // The archive's part of the pal table's record; it opens the features when the table
    // first tells it something.
    std::unique_ptr<CPalHistory> m_historyLink;
    CPictureCache m_pictures;
    CYubinoSession::ChooseFileFn m_chooseSaveFile;

    std::map<int, QAction*> m_actions;
    CsvFileChooser m_chooseCsvFile = ChooseCsvFile;
    PrinterChooser m_choosePrinter;  // the print dialog unless a test gives another
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_mapBar = nullptr;
    QComboBox* m_mapCombo = nullptr;
    MailCheckControls m_mailCheckControls;
    QSplitter* m_splitter = nullptr;
    QSplitter* m_subSplitter = nullptr;
    CMapView* m_mapView = nullptr;
    CMailEditView* m_mailView = nullptr;
    CYubinoView* m_listView = nullptr;
    CCorrespondenceView* m_correspondence = nullptr;
    CReplyQueuePane* m_queuePane = nullptr;
    QLineEdit* m_searchField = nullptr;
    CMailSearchPane* m_mailSearch = nullptr;
    QLabel* m_queueCounts = nullptr;

    std::string m_strLastSelection;
    std::filesystem::path m_stateFile;
    WindowState m_windowState;
    QMenu* m_recentMenu = nullptr;
    QLabel* m_countsLabel = nullptr;
    QLabel* m_fileLabel = nullptr;
    QMetaObject::Connection m_focusWatch;

    CUndoHistory* m_history = nullptr;
    CRecoveryKeeper* m_recovery = nullptr;
};
