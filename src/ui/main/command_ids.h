// The program's command numbers: one QAction per number in the main window.
#pragma once

enum CommandId {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT = 57607,
    ID_CONTEXT_HELP = 57669,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_LARGE_ICONS = 32771,
    ID_VIEW_SMALL_ICONS = 32772,
    ID_ADD_PAL = 32773,
    ID_VIEW_DETAILS = 32774,
    ID_VIEW_LIST = 32775,
    ID_EDIT_PAL = 32778,
    ID_DELETE_PALS = 32779,
    ID_LIST_ALL_PALS = 32782,
    ID_LIST_MAP_PALS = 32783,
    ID_ANALYSIS = 32788,
    ID_SEND_MAIL = 32798,
    ID_ADD_MAIL_TEXT = 32803,
    ID_MAP_ALL_PALS = 32812,
    ID_MAP_SELECTED_PALS = 32813,
    ID_VIEW_MAP_BAR = 32816,
    ID_IMPORT_CSV = 32817,
    ID_EDIT_PALS = 32818,
    // The correspondence archive's commands.
    ID_VIEW_REPLY_QUEUE = 32830,
    ID_MARK_ANSWERED = 32831,
    ID_ARCHIVE_SETTINGS = 32832,
    ID_FIND = 32833,
};

// The pal list's view modes, as SetViewMode numbers them.
enum ListViewMode { kLargeIcons = 0, kSmallIcons = 1, kDetails = 2, kListMode = 3 };
