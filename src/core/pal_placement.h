// Pals placed on the map from their residence: the map of the place and an icon position
// around its pixel, spread on a small spiral so that pals of one place do not cover each
// other.
#pragma once

#include <string>
#include <vector>

#include "core/map_icons.h"
#include "core/residence_place.h"

class CPenPal;
class CYubinoApp;

// The icon positions taken on each map, and the next free one around a place.
class CIconSpread {
public:
    CIconSpread();
    // Marks where a pal already stands (map index `map`, icon top-left).
    void Occupy(int map, MapPosition position);
    // The icon centred on the pixel of `place` when that spot is free, else the first free
    // spot on a spiral around it; always within 0..368, and taken from now on.
    MapPosition Take(const ResidencePlace& place);

private:
    bool IsTaken(int map, MapPosition position) const;
    std::vector<bool> m_taken;  // map, y, x
};

// A spread that knows the positions of the pals of `pals` that have a map, except the
// pals whose addresses are in `moving`.
CIconSpread SpreadAround(const std::vector<CPenPal>& pals, const std::vector<std::string>& moving = {});

// Sets the pal's map name and position from its residence; false, leaving the pal as it
// is, when the residence names no place.
bool PlaceFromResidence(CPenPal& pal, CIconSpread& spread);

// Places `pal` from its residence among the stored pals, the one stored with `storedAddress`
// (the pal itself, when it is stored) left out; false when the residence names no place.
bool PlaceAmongPals(const CYubinoApp& app, CPenPal& pal, const std::string& storedAddress);

// A new pal (from a mail, an import, the dialog) whose residence names a place and who has
// no map yet is placed there before it is added.
void PlaceNewPal(const CYubinoApp& app, CPenPal& pal);

struct PlacedPal {
    std::string strMailAddress;
    std::string strResidence;
    std::string strMapName;
    int nX = 0;
    int nY = 0;
};

// Places the stored pals with these addresses whose residence names a place, and stores
// them; returns the pals placed, in the order given.
std::vector<PlacedPal> PlaceStoredPals(CYubinoApp& app, const std::vector<std::string>& addresses);

// The addresses of the pals without a map name, or of every pal (`all`).
std::vector<std::string> PalsToPlace(const CYubinoApp& app, bool all);
