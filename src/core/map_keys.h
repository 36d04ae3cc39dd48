// The map's keyboard: arrows pick the nearest icon in their direction, Shift+arrows move
// the picked pal by one pixel, Ctrl+Shift+arrows by ten.
#pragma once

#include <vector>

#include "core/map_icons.h"

enum class MapDirection { Left, Right, Up, Down };

// What an arrow key with its modifiers asks of the map.
struct MapKeyAction {
    enum class Kind { Pick, Move, None } kind = Kind::None;
    int nDx = 0;  // the move, for Kind::Move
    int nDy = 0;
    bool operator==(const MapKeyAction&) const = default;
};

// Plain arrows pick, Shift moves by 1, Ctrl+Shift by 10; Ctrl alone or Alt does nothing,
// so that the window's own shortcuts keep those keys.
MapKeyAction DecideMapKey(MapDirection direction, bool shift, bool ctrl, bool alt);

// The icon that an arrow from icon `from` picks: among the icons that lie in that
// direction, the nearest, where a sideways step counts twice; -1 when none lies there.
// Icons on the very same spot are taken in drawing order (Right and Down go to the later
// one), and of equally near ones Right and Down take the first drawn, Left and Up the
// last. Without a picked icon (`from` outside the list) the first one is picked.
int NearestIconInDirection(const std::vector<MapPosition>& icons, int from, MapDirection direction);
