#include "storage/pal_import.h"

#include <fstream>
#include <map>
#include <system_error>

#include "core/cp932.h"
#include "core/picture_path.h"
#include "core/yubino_app.h"

namespace {

std::string Extension(const std::string& photo) {
    if (photo.starts_with("\x89PNG")) return ".png";
    if (photo.starts_with("GIF8")) return ".gif";
    if (photo.starts_with("BM")) return ".bmp";
    return ".jpg";
}

bool HasPictureFile(const CPenPal& pal, const std::filesystem::path& folder) {
    std::error_code error;
    for (const std::filesystem::path& candidate : PictureFileCandidates(pal.m_strPictureFile, folder))
        if (std::filesystem::is_regular_file(candidate, error)) return true;
    return false;
}

bool WriteNewFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::filesystem::path PhotoFileFor(const std::filesystem::path& folder, const CPenPal& pal, const std::string& photo) {
    std::string stem;
    for (char c : pal.m_strMailAddress) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_' || c == '@';
        stem += plain && static_cast<unsigned char>(c) < 0x80 ? c : '_';
    }
    if (stem.empty()) stem = "photo";
    stem = stem.substr(0, 100);
    std::error_code error;
    std::filesystem::path path = folder / (stem + Extension(photo));
    for (int n = 2; std::filesystem::exists(path, error); ++n)
        path = folder / (stem + "-" + std::to_string(n) + Extension(photo));
    return path;
}

PalImportResult AddImportedPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                const std::filesystem::path& photoFolder) {
    std::vector<CPenPal> records;
    records.reserve(pals.size());
    std::map<std::string, std::filesystem::path> savedPhotos;  // by address
    for (const ImportedPal& imported : pals) {
        CPenPal pal = imported.pal;
        const bool save = !imported.photo.empty() && !photoFolder.empty() && !HasPictureFile(pal, photoFolder) &&
                          !savedPhotos.contains(pal.m_strMailAddress);
        if (save) {
            const std::filesystem::path path = PhotoFileFor(photoFolder, pal, imported.photo);
            if (WriteNewFile(path, imported.photo)) {
                if (pal.m_strPictureFile.empty()) pal.m_bUsePicture = 1;
                pal.m_strPictureFile = cp932::FromUtf8(path.string()).value_or(path.filename().string());
                savedPhotos[pal.m_strMailAddress] = path;
            }
        }
        records.push_back(std::move(pal));
    }
    PalImportResult result = ImportPals(app, records);
    // The photo of a refused pal belongs to no one.
    CPenPal added;
    for (const auto& [address, path] : savedPhotos) {
        const bool kept =
            app.FindPalByAddress(address, added) && cp932::ToUtf8(added.m_strPictureFile) == path.string();
        std::error_code error;
        if (!kept) std::filesystem::remove(path, error);
    }
    for (const CPenPal& pal : records)
        if (pal.m_bUsePicture == 1) app.UI().PreloadPicture(pal.m_strPictureFile);
    return result;
}

std::vector<ImportedPal> ChosenPals(const std::vector<ImportedPal>& pals, const std::vector<std::string>& addresses) {
    std::map<std::string, const ImportedPal*> byAddress;
    for (const ImportedPal& pal : pals) byAddress.try_emplace(pal.pal.m_strMailAddress, &pal);
    std::vector<ImportedPal> chosen;
    for (const std::string& address : addresses)
        if (const auto it = byAddress.find(address); it != byAddress.end()) chosen.push_back(*it->second);
    return chosen;
}
