// The main window: menus, the main toolbar, the map bar, and the three panes (map, mail
// text, pal list) in two splitters. It carries out the commands, keeps their states in
// step with the selection, the table and the bars, and saves on close.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "storage/yubino_session.h"
#include "ui/dialogs/analysis_import_commands.h"
#include "ui/main/pal_list_print.h"
#include "ui/map/picture_cache.h"
#include "ui/qt_user_interface.h"

class CYubinoApp;
class CYubinoView;
class CMailEditView;
class CMailCheckController;
class CMapView;
class QAction;
class QComboBox;
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

    CMapView* GetMapView() const { return m_mapView; }
    CMailEditView* GetMailEditView() const { return m_mailView; }
    CYubinoView* GetListView() const { return m_listView; }
    CYubinoSession& Session() { return m_session; }
    CPictureCache& Pictures() { return m_pictures; }
    QAction* Action(int commandId) const;
    QToolBar* MainToolBar() const { return m_toolBar; }
    QToolBar* MapBar() const { return m_mapBar; }
    QComboBox* MapCombo() const { return m_mapCombo; }
    CMailCheckController* MailCheck() const { return m_mailCheck; }

    // Where the save on close asks for another file when the data file cannot be
    // written; a file dialog unless a test sets its own.
    void SetChooseSaveFile(CYubinoSession::ChooseFileFn choose) { m_chooseSaveFile = std::move(choose); }

    // Where the address book import asks for its file; a file dialog unless a test sets its own.
    void SetChooseCsvFile(CsvFileChooser choose) { m_chooseCsvFile = std::move(choose); }

    // Where printing asks for its printer; the print dialog unless a test sets its own.
    void SetChoosePrinter(PrinterChooser choose) { m_choosePrinter = std::move(choose); }

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
    void WatchSelectionForMap();
    void RefreshCommandStates();
    void UpdateCaption();
    void ChooseAndOpenFile();
    void ChooseAndSaveAs();
    void OpenHelp();
    void ShowAboutBox();
    void ActivateNextPane(int step);
    void PrintList();
    void OnMailTextDropped(const std::string& text);

    CYubinoApp& m_app;
    CQtUserInterface* m_ui;
    CYubinoSession m_session;
    CPictureCache m_pictures;
    CYubinoSession::ChooseFileFn m_chooseSaveFile;

    std::map<int, QAction*> m_actions;
    CsvFileChooser m_chooseCsvFile = ChooseCsvFile;
    PrinterChooser m_choosePrinter = ChoosePrinter;
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_mapBar = nullptr;
    QComboBox* m_mapCombo = nullptr;
    CMailCheckController* m_mailCheck = nullptr;
    QSplitter* m_splitter = nullptr;
    QSplitter* m_subSplitter = nullptr;
    CMapView* m_mapView = nullptr;
    CMailEditView* m_mailView = nullptr;
    CYubinoView* m_listView = nullptr;

    std::string m_strLastSelection;
};
