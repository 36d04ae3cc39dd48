// The data file and the archive beside it, as the archive commands open them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "archive/pal_archive.h"
#include "core/yubino_app.h"
#include "storage/yubino_doc.h"

struct CliArchiveSession {
    CConsoleUserInterface ui;
    CYubinoApp app{ui};
    CYubinoDoc doc{app};
    bool archiveReadOnly = false;
    CPalArchive archive{app, [this] { return ArchiveDocument{doc.GetPathName(), archiveReadOnly}; }};

    // For a command that changes the archive: another Yubino holding the data file leaves
    // the archive read-only, which the command then refuses to change.
    bool OpenToEdit(const char* dataFile) {
        if (!OpenPalFile(doc, dataFile, CYubinoDoc::OpenMode::Edit)) return false;
        archiveReadOnly = doc.IsReadOnly();
        app.SetHistory(&archive);
        return true;
    }
    // For a command that only reads: the data file's lock is neither taken nor waited for.
    // An archive that is there is only read; one that is not yet is made from the table's
    // last mails, as the window makes it on first use.
    bool OpenToRead(const char* dataFile) {
        if (!OpenPalFile(doc, dataFile, CYubinoDoc::OpenMode::Read)) return false;
        std::error_code ec;
        archiveReadOnly = std::filesystem::exists(CMailArchive::PathFor(doc.GetPathName()), ec);
        app.SetHistory(&archive);
        return true;
    }
};

// "YYYY-MM-DD" of a day that exists (2003-02-30 is none).
std::optional<CalendarDay> ParseDayOption(const std::string& text);
// The pal named on the command line by any of its addresses; told on standard error when
// no pal has it.
std::optional<CPenPal> NamedPal(CliArchiveSession& session, const std::string& address);
