// The pals' icons on the map as slots, and what the pointer does with them: the hit test
// of hovering and double-clicking, the move at the end of a drag, and the edits that a
// double-click opens.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/yubino_app.h"

inline constexpr int kMapSize = 400;                             // the map picture's side
inline constexpr int kMapIconSize = 32;                          // a face icon, and every hit box
inline constexpr int kMapPictureBox = 46;                        // the longer side of a pal's picture
inline constexpr int kMapMaxPosition = kMapSize - kMapIconSize;  // the farthest a drag places an icon

// One icon placed by the last drawing.
struct MapIconSlot {
    int nX = 0;
    int nY = 0;
    int nFaceIcon = 0;
    std::string strMailAddress;
    std::string strHandleName;
};

// One row of the pal list as the map reads it.
struct PalListRow {
    std::string strMailAddress;
    bool bSelected = false;
};

struct MapPosition {
    int nX = 0;
    int nY = 0;
    bool operator==(const MapPosition&) const = default;
};

class CMapIconSlots {
public:
    // Refills the slots with the pals of the current map that `rows` hold (every row, or
    // only the selected ones while the map shows the selected pals), in row order, and
    // calls `draw` for each of them in that order. Rows without a pal are skipped.
    void Rebuild(const CYubinoApp& app, const std::vector<PalListRow>& rows,
                 const std::function<void(const CPenPal&)>& draw);

    int Count() const { return m_nIconCount; }
    const MapIconSlot& Slot(int k) const { return m_aIconSlots[static_cast<std::size_t>(k)]; }

    // The first slot from `from` on whose 32 x 32 box holds (x, y) strictly inside, or -1.
    // Where icons overlap, the one drawn first (underneath) is found.
    int HitTest(int x, int y, int from = 0) const;

private:
    std::array<MapIconSlot, kMaxPals> m_aIconSlots;
    int m_nIconCount = 0;
};

// Whether a pal of map `mapName` is drawn there: pals without a map belong to no map.
bool IsPalOnMap(const CPenPal& pal, const std::string& mapName);

// The place reached from (x, y) by a drag of (dx, dy), kept within 0..368 on both axes.
MapPosition DraggedPosition(int x, int y, int dx, int dy);

// Moves the pal with `address` by a drag of (dx, dy) and stores it; false when no pal has
// that address any more.
bool MovePalOnMap(CYubinoApp& app, const std::string& address, int dx, int dy);

// A double-click at (x, y): every slot under the point, in drawing order, opens the pal
// information dialog on its pal. A confirmed edit is stored, the list refilled and
// `redraw` called, which rebuilds `slots`; the walk goes on with the next slot after it.
void EditPalsAtPoint(CYubinoApp& app, const CMapIconSlots& slots, int x, int y, const std::function<void()>& redraw);
