// Adding the pals an address book gave: their photos saved beside the data file first,
// then the pals added as every import adds them; a refused pal leaves no photo behind.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "storage/address_book_import.h"
#include "storage/imported_pals.h"
#include "storage/pal_merge.h"

class CYubinoApp;

// The file a photo is saved to: named after the pal's address, beside the data file,
// never over another file.
std::filesystem::path PhotoFileFor(const std::filesystem::path& folder, const CPenPal& pal, const std::string& photo);

struct MergedPal {
    std::string address;  // code page 932, the pal's in the table
    int line = 0;         // where the card or row began
    std::vector<PalField> filled;
    std::vector<FieldConflict> conflicts;  // as found; the policy or the user decided
};
struct DroppedItems {
    std::string address;  // code page 932
    int line = 0;
    std::vector<std::string> items;  // UTF-8, "PROPERTY: value"
};
struct AddressBookImportResult {
    PalImportResult pals;  // added, and refused for a full table
    std::vector<MergedPal> merged;
    std::vector<DroppedItems> dropped;
};

// The fields of a conflict list whose value the user takes from the file.
using ConflictChooser = std::function<std::vector<PalField>(const CPenPal& ours, const ImportedPal& theirs,
                                                            const std::vector<FieldConflict>& conflicts)>;
struct AddressBookImportOptions {
    MergePolicy policy = MergePolicy::Fill;
    CPalCardStore* cards = nullptr;  // where the pals' records are kept; none: not kept
    ConflictChooser choose;          // asked for the conflicts of each pal under Fill, when set
};

// Adds the pals in order, one undo step; a pal whose address (any of three, ignoring case)
// is a table pal's merges into it. Photos go to `photoFolder` (none when it is empty), and
// a pal that keeps a picture file that exists keeps it.
AddressBookImportResult ImportAddressBookPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                              const std::filesystem::path& photoFolder,
                                              const AddressBookImportOptions& options);
// Each pal's record for an export; a pal without a UID gets one, kept in `cards` when it
// can be (else one made from its address, the same at every export).
std::vector<PalCard> RecordsForExport(const std::vector<CPenPal>& pals, CPalCardStore* cards);

// What no field took, per card, as lines for the user (code page 932); "" for nothing.
std::string DescribeDropped(const std::vector<DroppedItems>& dropped, std::size_t maxLines = 20);

// The same with the defaults: merged by filling, no records kept.
PalImportResult AddImportedPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                const std::filesystem::path& photoFolder);

// The pals whose address is among `addresses`, in the order of `addresses`.
std::vector<ImportedPal> ChosenPals(const std::vector<ImportedPal>& pals, const std::vector<std::string>& addresses);
