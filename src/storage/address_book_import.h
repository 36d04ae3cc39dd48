// Adding the chosen address book entries to the pal table, as the import's OK does.
#pragma once

#include <vector>

#include "storage/address_book_csv.h"

class CYubinoApp;

// Adds one new pal per entry, in order: a fresh record with the display name as handle
// name and the address as mail address. AddPal tells the user of each address already
// there and the import goes on; a full table stops it, told once with the count of entries
// left out. Then the list and the map are refreshed. Returns the number of pals added.
int ImportAddressBookEntries(CYubinoApp& app, const std::vector<AddressBookEntry>& entries);
