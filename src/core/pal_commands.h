// The pal list's commands on the table: add by hand, edit the pal at the selection mark,
// edit or delete the selected pals. Each asks the user through the port and refreshes the list
// and the map after a change.
#pragma once

#include <string>

class CYubinoApp;

// The pal information dialog on a fresh record; OK adds the pal.
void AddPalByHand(CYubinoApp& app);

// The pal information dialog on the pal with `address`; OK stores the edit. Nothing opens
// for an address no pal has.
void EditSelectedPal(CYubinoApp& app, const std::string& address);

// The pal information dialog for several pals; OK applies its record to each selected pal
// by the multiple-edit rules.
void EditSelectedPals(CYubinoApp& app);

// Asks once, naming the number of selected rows, then deletes each selected pal.
void DeleteSelectedPals(CYubinoApp& app);

// Places the selected pals on the map of their residence; asks first when some of them
// already stand on a map, and tells when no residence names a place.
void PlaceSelectedPals(CYubinoApp& app);
