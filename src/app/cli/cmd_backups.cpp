// backups and restore: the older versions kept of a pal data file, and putting one back.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_pal_file.h"
#include "app/cli/console_user_interface.h"
#include "app/cli/json_writer.h"
#include "core/file_read.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/backup_store.h"
#include "storage/recovery_file.h"
#include "storage/yubino_doc.h"

namespace fs = std::filesystem;

namespace {

std::string IsoLocalTime(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &tm);
    return text;
}

// A backup named by its file name alone is looked for in the data file's folder of backups.
fs::path FindBackup(const fs::path& dataFile, const fs::path& backup) {
    std::error_code ec;
    if (fs::exists(backup, ec) || backup.has_parent_path()) return backup;
    return CBackupStore::ForUser().FolderFor(dataFile) / backup;
}

}  // namespace

int RunBackups(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {}, why);
    if (!options) return UsageError("backups", why);
    if (options->positional.size() != 1) return UsageError("backups", WrongArgumentCount());
    const fs::path dataFile = options->positional[0];
    // The backups of a file that is not there are those of a mistyped name: none to list.
    std::error_code ec;
    if (!fs::is_regular_file(dataFile, ec)) {
        std::fprintf(stderr, "データファイルがありません: %s\n", dataFile.c_str());
        return kExitUsage;
    }
    const fs::path folder = CBackupStore::ForUser().FolderFor(dataFile);
    if (!ForeignBackupFiles(folder).empty())
        PrintMessageLine(FormatText(texts::kBackupsForeignFiles, PathText(folder)));
    JsonWriter json;
    json.BeginArray();
    for (const BackupEntry& entry : ListBackups(folder)) {
        const std::optional<std::vector<CPenPal>> pals = ReadWholePalFile(entry.file);
        json.BeginObject().Key("file").String(entry.file.string()).Key("saved").String(IsoLocalTime(entry.saved));
        // -1: the backup does not load whole.
        json.Key("pals").Int(pals ? static_cast<long long>(pals->size()) : -1);
        json.Key("bytes").Int(static_cast<long long>(entry.bytes)).EndObject();
    }
    json.EndArray();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}

int RunRestore(std::span<char*> args) {
    std::string why;
    const std::optional<CliOptions> options = ParseCliOptions(args, {{"--force", false}}, why);
    if (!options) return UsageError("restore", why);
    if (options->positional.size() != 2) return UsageError("restore", WrongArgumentCount());
    const fs::path dataFile = options->positional[0];
    const fs::path backup = FindBackup(dataFile, options->positional[1]);
    const bool force = options->Has("--force");
    const std::optional<std::vector<CPenPal>> pals = ReadWholePalFile(backup);
    if (!pals) {
        PrintMessageLine(FormatText(texts::kRestoreGone, Cp932Text(backup.string())));
        return kExitUsage;
    }
    CConsoleUserInterface ui;
    CYubinoApp app(ui);
    // The console answers no: a backup of another data file needs --force.
    if (!force && !MayRestoreInto(app, CBackupStore::ForUser(), backup, dataFile)) {
        std::fputs("別のデータファイルのバックアップを復元するには --force を付けてください\n", stderr);
        return kExitUsage;
    }
    CYubinoDoc doc(app);
    // A data file that is gone is simply written anew; the save takes the lock.
    std::error_code ec;
    if (fs::exists(dataFile, ec)) {
        if (const std::optional<int> refused = OpenPalFileToWrite(doc, dataFile)) return *refused;
    }
    app.ReplaceRows(0, app.Pals().size(), *pals);
    // The save keeps the file it replaces among the backups first.
    if (!doc.OnSaveDocument(dataFile).ok) return kExitFailure;
    JsonWriter json;
    json.BeginObject().Key("restored").String(backup.string()).Key("pals").Int(static_cast<long long>(pals->size()));
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return kExitOk;
}
