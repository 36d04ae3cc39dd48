// Adding the pals an address book gave: their photos saved beside the data file first,
// then the pals added as every import adds them; a refused pal leaves no photo behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "storage/address_book_import.h"
#include "storage/imported_pals.h"

class CYubinoApp;

// The file a photo is saved to: named after the pal's address, beside the data file,
// never over another file.
std::filesystem::path PhotoFileFor(const std::filesystem::path& folder, const CPenPal& pal, const std::string& photo);

// Adds the pals in order (ImportPals); photos go to `photoFolder` (none when it is empty),
// and a pal that keeps a picture file that exists keeps it.
PalImportResult AddImportedPals(CYubinoApp& app, const std::vector<ImportedPal>& pals,
                                const std::filesystem::path& photoFolder);

// The pals whose address is among `addresses`, in the order of `addresses`.
std::vector<ImportedPal> ChosenPals(const std::vector<ImportedPal>& pals, const std::vector<std::string>& addresses);
