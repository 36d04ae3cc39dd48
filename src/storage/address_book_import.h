// Adding the chosen address book entries to the pal table, as the import's OK does.
#pragma once

#include <string>
#include <vector>

#include "core/pen_pal.h"
#include "storage/address_book_csv.h"

class CYubinoApp;

struct PalImportResult {
    struct Refusal {
        std::string address;  // code page 932
        enum class Reason { TableFull, AlreadyRegistered } reason;
    };
    int added = 0;
    std::vector<Refusal> refused;
};

// Adds the pals in order, each placed from its residence when it has no map yet. AddPal
// tells the user of each address already there and the import goes on; a full table is
// told once, with the count of entries left out. Then the list and the map are refreshed.
PalImportResult ImportPals(CYubinoApp& app, const std::vector<CPenPal>& pals);

// One pal of an import added (placed as above) or refused, counted in `result`; true when added.
bool AddImportedPal(CYubinoApp& app, const CPenPal& pal, PalImportResult& result);
// After the pals: a full table told once, the list and map refreshed.
void FinishImport(CYubinoApp& app, const PalImportResult& result);

// One new pal per entry: a fresh record with the display name as handle name and the
// address as mail address, added as above. Returns the number of pals added.
int ImportAddressBookEntries(CYubinoApp& app, const std::vector<AddressBookEntry>& entries);
