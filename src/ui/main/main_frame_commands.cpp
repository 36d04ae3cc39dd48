// The main window's commands: one QAction per command number, the menu bar, the main
// toolbar and the map bar.
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>

#include "core/accessible_texts.h"
#include "core/maps.h"
#include "core/texts.h"
#include "ui/lazy_icon.h"
#include "ui/main/command_ids.h"
#include "ui/main/main_frame.h"
#include "ui/qt_text.h"

namespace {

struct CommandDef {
    int id;
    const char* menuText;     // UTF-8; nullptr for a command without a menu item
    const char* commandText;  // prompt, line break, tooltip; nullptr when there is none
    const char* icon;         // name under :/actions/16 and /32; nullptr for none
    bool checkable;
};

constexpr CommandDef kCommands[] = {
    {ID_FILE_NEW, texts::kMenuFileNew, texts::kCmdFileNew, nullptr, false},
    {ID_FILE_PRINT, texts::kMenuPrint, texts::kCmdPrint, nullptr, false},
    {ID_FILE_PRINT_PREVIEW, texts::kMenuPrintPreview, texts::kCmdPrintPreview, nullptr, false},
    {ID_CONTEXT_HELP, texts::kMenuContextHelp, texts::kCmdContextHelp, nullptr, false},
    {ID_FILE_OPEN, texts::kMenuPalData, texts::kCmdFileOpen, "open", false},
    {ID_FILE_SAVE, texts::kMenuFileSave, texts::kCmdFileSave, nullptr, false},
    {ID_FILE_SAVE_AS, texts::kMenuPalData, texts::kCmdFileSaveAs, "save", false},
    {ID_IMPORT_CSV, texts::kMenuImportCsv, texts::kCmdImportCsv, "import", false},
    {ID_IMPORT_MAIL_FILES, texts::kMenuImportMailFilesItem, texts::kCmdImportMailFiles, nullptr, false},
    {ID_IMPORT_ADDRESS_BOOK, texts::kMenuImportAddressBook, texts::kCmdImportAddressBook, nullptr, false},
    {ID_EXPORT_VCARD, texts::kMenuExportVCard, texts::kCmdExportVCard, nullptr, false},
    {ID_EXPORT_CSV_UTF8, texts::kMenuExportCsvUtf8, texts::kCmdExportCsvUtf8, nullptr, false},
    {ID_EXPORT_CSV_CP932, texts::kMenuExportCsvCp932, texts::kCmdExportCsvCp932, nullptr, false},
    {ID_APP_EXIT, texts::kMenuExit, texts::kCmdAppExit, nullptr, false},
    {ID_VIEW_LARGE_ICONS, texts::kMenuLargeIcons, texts::kCmdLargeIcons, "view_large", true},
    {ID_VIEW_SMALL_ICONS, texts::kMenuSmallIcons, texts::kCmdSmallIcons, "view_small", true},
    {ID_VIEW_LIST, texts::kMenuListMode, texts::kCmdListMode, "view_list", true},
    {ID_VIEW_DETAILS, texts::kMenuDetails, texts::kCmdDetails, "view_details", true},
    {ID_LIST_ALL_PALS, texts::kMenuShowAll, texts::kCmdListAll, "list_all", true},
    {ID_LIST_MAP_PALS, texts::kMenuMapMembers, texts::kCmdListMapOnly, "list_map_only", true},
    {ID_MAP_ALL_PALS, texts::kMenuShowAll, texts::kCmdMapAll, "map_all", true},
    {ID_MAP_SELECTED_PALS, texts::kMenuSelectedInList, texts::kCmdMapSelected, "map_selected", true},
    {ID_ADD_PAL, texts::kMenuPal, texts::kCmdAddPal, "add_pal", false},
    {ID_ADD_MAIL_TEXT, texts::kMenuMailText, texts::kCmdAddMailText, "add_mail", false},
    {ID_EDIT_PAL, texts::kMenuPal, texts::kCmdEditPal, "edit_pal", false},
    {ID_DELETE_PALS, texts::kMenuPal, texts::kCmdDeletePals, "delete_pal", false},
    {ID_SEND_MAIL, texts::kMenuSendMail, texts::kCmdSendMail, "send_mail", false},
    {ID_ANALYSIS, texts::kMenuAnalysis, texts::kCmdAnalysis, "analysis", false},
    {ID_EDIT_PALS, texts::kLmenuEditSeveral, texts::kCmdEditPals, nullptr, false},
    {ID_PLACE_FROM_RESIDENCE, texts::kMenuPlaceFromResidence, texts::kCmdPlaceFromResidence, nullptr, false},
    {ID_HELP, texts::kMenuHelpItem, texts::kCmdHelp, "help", false},
    {ID_APP_ABOUT, texts::kMenuAbout, texts::kCmdAbout, "about", false},
};

struct Shortcut {
    int id;
    QKeySequence key;
};

// The prompt before the line break and the tooltip after it.
void SetCommandText(QAction& action, const char* commandText) {
    if (!commandText) return;
    const QStringList parts = QString::fromUtf8(commandText).split(QLatin1Char('\n'));
    action.setStatusTip(parts.value(0));
    action.setWhatsThis(parts.value(0));
    action.setToolTip(parts.value(1, parts.value(0)));
}

// A button reads as its tip: the menu texts of several commands are alike ("ﾒｰﾙﾌﾚﾝﾄﾞ"
// adds, edits and deletes), their tips are not.
void AddNamedButton(QToolBar& bar, QAction& action) {
    bar.addAction(&action);
    if (QWidget* button = bar.widgetForAction(&action)) button->setAccessibleName(action.toolTip());
}

}  // namespace

QAction* CMainFrame::Action(int commandId) const {
    auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
    for (const CommandDef& def : kCommands) {
        auto* action = new QAction(this);
        if (def.menuText) action->setText(QString::fromUtf8(def.menuText));
        SetCommandText(*action, def.commandText);
        if (def.icon) action->setIcon(CommandIcon(def.icon));
        action->setCheckable(def.checkable);
        action->setData(def.id);
        connect(action, &QAction::triggered, this, [this, id = def.id] { Execute(id); });
        addAction(action);
        m_actions[def.id] = action;
    }
    const Shortcut shortcuts[] = {
        {ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},       {ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},      {ID_FILE_PRINT, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ID_APP_EXIT, QKeySequence(Qt::CTRL | Qt::Key_Q)},       {ID_HELP, QKeySequence(Qt::Key_F1)},
        {ID_CONTEXT_HELP, QKeySequence(Qt::SHIFT | Qt::Key_F1)},
    };
    for (const Shortcut& shortcut : shortcuts) m_actions[shortcut.id]->setShortcut(shortcut.key);
    // The list's own keys, shown beside their commands; the list answers them itself.
    for (const Shortcut& shortcut : {Shortcut{ID_DELETE_PALS, QKeySequence(Qt::Key_Delete)},
                                     Shortcut{ID_EDIT_PAL, QKeySequence(Qt::Key_Return)}}) {
        m_actions[shortcut.id]->setShortcut(shortcut.key);
        m_actions[shortcut.id]->setShortcutContext(Qt::WidgetShortcut);
    }

    // The three radio groups of the View menu.
    for (auto group :
         {std::initializer_list<int>{ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS},
          std::initializer_list<int>{ID_LIST_ALL_PALS, ID_LIST_MAP_PALS},
          std::initializer_list<int>{ID_MAP_ALL_PALS, ID_MAP_SELECTED_PALS}}) {
        auto* actionGroup = new QActionGroup(this);
        for (int id : group) actionGroup->addAction(m_actions[id]);
    }

    // F6 and Shift+F6 move between the panes.
    auto* nextPane = new QAction(this);
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, [this] { ActivateNextPane(1); });
    auto* previousPane = new QAction(this);
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, this, [this] { ActivateNextPane(-1); });
    addActions({nextPane, previousPane});
}

void CMainFrame::CreateMenus() {
    auto menu = [this](QMenu* parent, const char* text) { return parent->addMenu(QString::fromUtf8(text)); };
    auto item = [this](QMenu* parent, int id) { parent->addAction(m_actions[id]); };
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QString::fromUtf8(texts::kMenuFile));
    item(file, ID_FILE_NEW);
    item(menu(file, texts::kMenuOpen), ID_FILE_OPEN);
    item(menu(file, texts::kMenuSave), ID_FILE_SAVE_AS);
    item(file, ID_FILE_SAVE);
    QMenu* import = menu(file, texts::kMenuImport);
    item(import, ID_IMPORT_CSV);
    item(import, ID_IMPORT_ADDRESS_BOOK);
    item(file, ID_IMPORT_MAIL_FILES);
    QMenu* exportMenu = menu(file, texts::kMenuExport);
    for (int id : {ID_EXPORT_VCARD, ID_EXPORT_CSV_UTF8, ID_EXPORT_CSV_CP932}) item(exportMenu, id);
    file->addSeparator();
    item(file, ID_FILE_PRINT);
    item(file, ID_FILE_PRINT_PREVIEW);
    file->addSeparator();
    m_recentMenu = menu(file, texts::kMenuRecentFiles);
    file->addSeparator();
    item(file, ID_APP_EXIT);

    QMenu* view = bar->addMenu(QString::fromUtf8(texts::kMenuView));
    item(view, ID_VIEW_TOOLBAR);
    item(view, ID_VIEW_MAP_BAR);
    QMenu* list = menu(view, texts::kMenuList);
    for (int id : {ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST, ID_VIEW_DETAILS}) item(list, id);
    QMenu* listPals = menu(view, texts::kMenuPalsInList);
    item(listPals, ID_LIST_ALL_PALS);
    item(listPals, ID_LIST_MAP_PALS);
    QMenu* mapPals = menu(view, texts::kMenuPalsOnMap);
    item(mapPals, ID_MAP_ALL_PALS);
    item(mapPals, ID_MAP_SELECTED_PALS);

    QMenu* tools = bar->addMenu(QString::fromUtf8(texts::kMenuTools));
    QMenu* add = menu(tools, texts::kMenuAdd);
    item(add, ID_ADD_PAL);
    item(add, ID_ADD_MAIL_TEXT);
    item(menu(tools, texts::kMenuEdit), ID_EDIT_PAL);
    item(menu(tools, texts::kMenuDelete), ID_DELETE_PALS);
    item(tools, ID_PLACE_FROM_RESIDENCE);
    tools->addSeparator();
    item(tools, ID_SEND_MAIL);
    item(tools, ID_ANALYSIS);
    tools->addSeparator();
    tools->addAction(m_mailCheckControls.check);
    tools->addAction(m_mailCheckControls.accounts);
    QAction* syncContacts = tools->addAction(QString::fromUtf8(texts::kCmdSyncContacts));
    syncContacts->setObjectName(QStringLiteral("syncContacts"));
    syncContacts->setStatusTip(QString::fromUtf8(texts::kSyncContactsTip));
    connect(syncContacts, &QAction::triggered, this, [this] {
        if (CFeatures* features = Features()) features->SyncContacts();
    });
    QAction* contactAccount = tools->addAction(QString::fromUtf8(texts::kCmdContactAccount));
    contactAccount->setStatusTip(QString::fromUtf8(texts::kContactAccountTip));
    connect(contactAccount, &QAction::triggered, this, [this] {
        if (CFeatures* features = Features()) features->EditContactAccount();
    });

    QMenu* help = bar->addMenu(QString::fromUtf8(texts::kMenuHelp));
    item(help, ID_HELP);
    item(help, ID_CONTEXT_HELP);
    help->addSeparator();
    item(help, ID_APP_ABOUT);
}

void CMainFrame::CreateToolBars() {
    // A toolbar's title is what assistive tools call it.
    m_toolBar = addToolBar(QString::fromUtf8(texts::kMainToolBarName));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize({16, 16});
    const int buttons[] = {ID_FILE_OPEN,
                           ID_FILE_SAVE_AS,
                           0,
                           ID_LIST_ALL_PALS,
                           ID_LIST_MAP_PALS,
                           0,
                           ID_MAP_ALL_PALS,
                           ID_MAP_SELECTED_PALS,
                           0,
                           ID_ADD_PAL,
                           ID_EDIT_PAL,
                           ID_DELETE_PALS,
                           ID_ADD_MAIL_TEXT,
                           0,
                           ID_ANALYSIS,
                           ID_SEND_MAIL,
                           0,
                           ID_APP_ABOUT};
    for (int id : buttons) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            AddNamedButton(*m_toolBar, *m_actions[id]);
    }
    // The mailbox check has a bar of its own: the main toolbar keeps its thirteen buttons.
    QToolBar* mailBar = addToolBar(QString::fromUtf8(texts::kMailBarName));
    mailBar->setObjectName(QStringLiteral("mailBar"));
    mailBar->addAction(m_mailCheckControls.check);
    QAction* toggleToolBar = m_toolBar->toggleViewAction();
    toggleToolBar->setText(QString::fromUtf8(texts::kMenuMainToolBar));
    SetCommandText(*toggleToolBar, texts::kCmdMainToolBar);
    m_actions[ID_VIEW_TOOLBAR] = toggleToolBar;

    m_mapBar = addToolBar(QString::fromUtf8(texts::kMapBarName));
    m_mapBar->setObjectName(QStringLiteral("mapBar"));
    m_mapBar->addWidget(new QLabel(QString::fromUtf8(texts::kMapBarLabel), m_mapBar));
    m_mapCombo = new QComboBox(m_mapBar);
    for (const char* name : g_apszMapNames) m_mapCombo->addItem(ToQString(name));
    m_mapCombo->setCurrentIndex(2);
    m_mapBar->addWidget(m_mapCombo);
    QAction* toggleMapBar = m_mapBar->toggleViewAction();
    toggleMapBar->setText(QString::fromUtf8(texts::kMenuMapBar));
    SetCommandText(*toggleMapBar, texts::kCmdMapBar);
    m_actions[ID_VIEW_MAP_BAR] = toggleMapBar;
}
