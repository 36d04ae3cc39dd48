#include "app/cli/cli_pal_file.h"

#include "app/cli/cli_commands.h"

std::optional<int> OpenPalFileToWrite(CYubinoDoc& doc, const std::filesystem::path& path) {
    const CYubinoDoc::OpenResult opened = doc.OnOpenDocument(path, CYubinoDoc::OpenMode::Exclusive);
    if (opened.Opened()) return std::nullopt;
    return opened.status == CYubinoDoc::OpenStatus::Busy ? kExitInUse : kExitUsage;
}

bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path, CYubinoDoc::OpenMode mode) {
    return doc.OnOpenDocument(path, mode).Opened();
}
