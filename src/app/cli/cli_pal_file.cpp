#include "app/cli/cli_pal_file.h"

#include "storage/yubino_doc.h"

bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path, bool forWriting) {
    const CYubinoDoc::OpenStatus status = doc.OnOpenDocument(path, forWriting).status;
    return status == CYubinoDoc::OpenStatus::Loaded || status == CYubinoDoc::OpenStatus::KeptTable;
}
