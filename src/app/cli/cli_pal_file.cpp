#include "app/cli/cli_pal_file.h"

#include <cstdio>

#include "storage/yubino_doc.h"

bool OpenPalFile(CYubinoDoc& doc, const std::filesystem::path& path) {
    switch (doc.OnOpenDocument(path).status) {
        case CYubinoDoc::OpenStatus::Loaded:
        case CYubinoDoc::OpenStatus::KeptTable:
            return true;
        case CYubinoDoc::OpenStatus::Refused:
            std::fprintf(stderr, "メールフレンドデータのファイルではありません: %s\n", path.c_str());
            return false;
        case CYubinoDoc::OpenStatus::CannotOpen:
            std::fprintf(stderr, "ファイルを開けません: %s\n", path.c_str());
            return false;
    }
    return false;
}
