#include "storage/pal_import.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <system_error>

#include "core/cp932.h"
#include "core/picture_path.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/pal_vcard.h"
#include "storage/text_encoding.h"

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

namespace {

// A photo saved for every pal that brought one and has no picture file yet.
std::map<std::string, std::filesystem::path> SavePhotos(std::vector<ImportedPal>& pals,
                                                        const std::filesystem::path& folder) {
    std::map<std::string, std::filesystem::path> saved;  // by address
    for (ImportedPal& imported : pals) {
        CPenPal& pal = imported.pal;
        if (imported.photo.empty() || folder.empty() || HasPictureFile(pal, folder) ||
            saved.contains(pal.m_strMailAddress))
            continue;
        const std::filesystem::path path = PhotoFileFor(folder, pal, imported.photo);
        if (!WriteNewFile(path, imported.photo)) continue;
        if (pal.m_strPictureFile.empty()) pal.m_bUsePicture = 1;
        pal.m_strPictureFile = cp932::FromUtf8(path.string()).value_or(path.filename().string());
        saved[pal.m_strMailAddress] = path;
    }
    return saved;
}

// The photo of a refused pal, or one merged into a pal with a picture, belongs to no one.
void RemoveUnusedPhotos(const CYubinoApp& app, const std::map<std::string, std::filesystem::path>& saved) {
    for (const auto& [address, path] : saved) {
        const std::string file = cp932::FromUtf8(path.string()).value_or(path.filename().string());
        const bool kept = std::any_of(app.Pals().begin(), app.Pals().end(),
                                      [&](const CPenPal& pal) { return pal.m_strPictureFile == file; });
        std::error_code error;
        if (!kept) std::filesystem::remove(path, error);
    }
}

void KeepCard(CPalCardStore* cards, const std::string& address, PalCard card) {
    if (!cards) return;
    if (card.uid.empty()) card.uid = NewUuid();
    if (card.revision.empty()) card.revision = RevisionNow();
    cards->WriteCard(address, card);
}

std::optional<MergedPal> MergeInto(CYubinoApp& app, const CPenPal& ours, const ImportedPal& theirs,
                                   const AddressBookImportOptions& options) {
    const PalCard ourCard =
        options.cards ? options.cards->ReadCard(ours.m_strMailAddress).value_or(PalCard{}) : PalCard{};
    PalMerge merge = MergePal(ours, ourCard, theirs, options.policy);
    if (options.choose && options.policy == MergePolicy::Fill && !merge.conflicts.empty())
        for (PalField field : options.choose(ours, theirs, merge.conflicts)) TakeTheirs(merge, field, theirs);
    if (!(merge.pal == ours)) app.ReplacePal(merge.pal);
    if (merge.Changed(ours, ourCard) || ourCard.uid.empty()) {
        if (merge.Changed(ours, ourCard)) merge.card.revision = RevisionNow();
        KeepCard(options.cards, ours.m_strMailAddress, merge.card);
    }
    if (merge.filled.empty() && merge.conflicts.empty()) return std::nullopt;
    return MergedPal{ours.m_strMailAddress, theirs.line, std::move(merge.filled), std::move(merge.conflicts)};
}

}  // namespace

AddressBookImportResult ImportAddressBookPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                              const std::filesystem::path& photoFolder,
                                              const AddressBookImportOptions& options) {
    std::vector<ImportedPal> incoming = pals;
    const std::map<std::string, std::filesystem::path> savedPhotos = SavePhotos(incoming, photoFolder);
    AddressBookImportResult result;
    {
        CTableChange change(app, StepKind::Import);
        std::vector<CPenPal> added;
        for (const ImportedPal& imported : incoming) {
            if (!imported.dropped.empty())
                result.dropped.push_back({imported.pal.m_strMailAddress, imported.line, imported.dropped});
            if (const int index = FindPalForImport(app.Pals(), imported.pal); index >= 0) {
                const CPenPal ours = app.Pals()[static_cast<std::size_t>(index)];
                if (std::optional<MergedPal> merged = MergeInto(app, ours, imported, options))
                    result.merged.push_back(std::move(*merged));
                continue;
            }
            if (AddImportedPal(app, imported.pal, result.pals))
                KeepCard(options.cards, imported.pal.m_strMailAddress, imported.card);
        }
        FinishImport(app, result.pals);
    }
    RemoveUnusedPhotos(app, savedPhotos);
    for (const ImportedPal& imported : incoming)
        if (imported.pal.m_bUsePicture == 1) app.UI().PreloadPicture(imported.pal.m_strPictureFile);
    return result;
}

std::vector<PalCard> RecordsForExport(const std::vector<CPenPal>& pals, CPalCardStore* cards) {
    std::vector<PalCard> records;
    records.reserve(pals.size());
    for (const CPenPal& pal : pals) {
        PalCard card = cards ? cards->ReadCard(pal.m_strMailAddress).value_or(PalCard{}) : PalCard{};
        if (card.uid.empty()) {
            card.uid = NewUuid();
            card.revision = RevisionNow();
            if (!cards || !cards->WriteCard(pal.m_strMailAddress, card)) card.uid = StableUid(pal.m_strMailAddress);
        }
        records.push_back(std::move(card));
    }
    return records;
}

std::string DescribeDropped(const std::vector<DroppedItems>& dropped, std::size_t maxLines) {
    std::string out;
    std::size_t lines = 0, more = 0;
    for (const DroppedItems& card : dropped) {
        for (const std::string& item : card.items) {
            if (lines++ >= maxLines) {
                ++more;
                continue;
            }
            if (!out.empty()) out += "\r\n";
            std::string line = texts::kImportDroppedItem;
            line.replace(line.find("%d"), 2, std::to_string(card.line));
            line.replace(line.find("%s"), 2, cp932::ToUtf8(card.address));
            out += Utf8ToCp932Lossy(line + item);
        }
    }
    if (more) out += "\r\n" + FormatText(texts::kProblemsMore, static_cast<int>(more));
    return out;
}

PalImportResult AddImportedPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                const std::filesystem::path& photoFolder) {
    return ImportAddressBookPals(app, pals, photoFolder, {}).pals;
}

std::vector<ImportedPal> ChosenPals(const std::vector<ImportedPal>& pals, const std::vector<std::string>& addresses) {
    std::map<std::string, const ImportedPal*> byAddress;
    for (const ImportedPal& pal : pals) byAddress.try_emplace(pal.pal.m_strMailAddress, &pal);
    std::vector<ImportedPal> chosen;
    for (const std::string& address : addresses)
        if (const auto it = byAddress.find(address); it != byAddress.end()) chosen.push_back(*it->second);
    return chosen;
}
