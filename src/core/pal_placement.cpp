#include "core/pal_placement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <unordered_set>

#include "core/maps.h"
#include "core/yubino_app.h"

namespace {

constexpr int kSide = kMapMaxPosition + 1;  // icon positions 0..368 on each axis
constexpr int kSpiralSteps = 4096;          // enough for 500 pals at one place, clamped at a corner
constexpr double kSpiralSpacing = 7.0;      // pixels between neighbouring icons, about

// Offsets of the spiral (Vogel's sunflower): even spacing, the first ones closest.
const std::array<MapPosition, kSpiralSteps>& SpiralOffsets() {
    static const auto offsets = [] {
        std::array<MapPosition, kSpiralSteps> table{};
        const double goldenAngle = std::numbers::pi * (3.0 - std::sqrt(5.0));
        for (int k = 0; k < kSpiralSteps; ++k) {
            const double radius = kSpiralSpacing * std::sqrt(static_cast<double>(k));
            const double angle = goldenAngle * k;
            table[static_cast<std::size_t>(k)] = {static_cast<int>(std::lround(radius * std::cos(angle))),
                                                  static_cast<int>(std::lround(radius * std::sin(angle)))};
        }
        return table;
    }();
    return offsets;
}

int Clamp(int v) { return std::clamp(v, 0, kMapMaxPosition); }

std::size_t Cell(int map, MapPosition p) {
    return (static_cast<std::size_t>(map) * kSide + static_cast<std::size_t>(p.nY)) * kSide +
           static_cast<std::size_t>(p.nX);
}

bool IsOnAMap(MapPosition p) { return p.nX >= 0 && p.nX < kSide && p.nY >= 0 && p.nY < kSide; }

}  // namespace

CIconSpread::CIconSpread() : m_taken(static_cast<std::size_t>(kMapCount) * kSide * kSide) {}

bool CIconSpread::IsTaken(int map, MapPosition position) const { return m_taken[Cell(map, position)]; }

void CIconSpread::Occupy(int map, MapPosition position) {
    // Positions from a file may lie anywhere; only those a placed icon could take matter.
    if (map < 0 || map >= kMapCount || !IsOnAMap(position)) return;
    m_taken[Cell(map, position)] = true;
}

MapPosition CIconSpread::Take(const ResidencePlace& place) {
    const int x = place.nX - kMapIconSize / 2;
    const int y = place.nY - kMapIconSize / 2;
    MapPosition chosen{Clamp(x), Clamp(y)};
    for (const MapPosition& offset : SpiralOffsets()) {
        const MapPosition candidate{Clamp(x + offset.nX), Clamp(y + offset.nY)};
        if (!IsTaken(place.nMap, candidate)) {
            chosen = candidate;
            break;
        }
    }
    Occupy(place.nMap, chosen);
    return chosen;
}

CIconSpread SpreadAround(const std::vector<CPenPal>& pals, const std::vector<std::string>& moving) {
    CIconSpread spread;
    const std::unordered_set<std::string> leaving(moving.begin(), moving.end());
    for (const CPenPal& pal : pals) {
        if (leaving.contains(pal.m_strMailAddress)) continue;
        spread.Occupy(FindMapIndex(pal.m_strMapName), {pal.m_nMapX, pal.m_nMapY});
    }
    return spread;
}

bool PlaceFromResidence(CPenPal& pal, CIconSpread& spread) {
    const auto place = FindResidencePlace(pal.m_strResidence);
    if (!place) return false;
    const MapPosition position = spread.Take(*place);
    pal.m_strMapName = g_apszMapNames[place->nMap];
    pal.m_nMapX = position.nX;
    pal.m_nMapY = position.nY;
    return true;
}

bool PlaceAmongPals(const CYubinoApp& app, CPenPal& pal, const std::string& storedAddress) {
    CIconSpread spread = SpreadAround(app.Pals(), {storedAddress});
    return PlaceFromResidence(pal, spread);
}

void PlaceNewPal(const CYubinoApp& app, CPenPal& pal) {
    if (pal.m_strMapName.empty()) PlaceAmongPals(app, pal, pal.m_strMailAddress);
}

std::vector<PlacedPal> PlaceStoredPals(CYubinoApp& app, const std::vector<std::string>& addresses) {
    CIconSpread spread = SpreadAround(app.Pals(), addresses);
    std::vector<PlacedPal> placed;
    for (const std::string& address : addresses) {
        CPenPal pal;
        if (!app.FindPalByAddress(address, pal) || !PlaceFromResidence(pal, spread)) continue;
        app.ReplacePal(pal);
        placed.push_back({pal.m_strMailAddress, pal.m_strResidence, pal.m_strMapName, pal.m_nMapX, pal.m_nMapY});
    }
    return placed;
}

std::vector<std::string> PalsToPlace(const CYubinoApp& app, bool all) {
    std::vector<std::string> addresses;
    for (const CPenPal& pal : app.Pals()) {
        if (all || pal.m_strMapName.empty()) addresses.push_back(pal.m_strMailAddress);
    }
    return addresses;
}
