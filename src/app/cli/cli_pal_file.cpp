#include "app/cli/cli_pal_file.h"

bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path, CYubinoDoc::OpenMode mode) {
    return doc.OnOpenDocument(path, mode).Opened();
}
