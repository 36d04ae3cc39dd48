#include "core/map_keys.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

constexpr int kFineStep = 1;
constexpr int kCoarseStep = 10;

// Offsets along and across `direction` from icon `a` to icon `b`.
struct Offsets {
    std::int64_t along = 0;
    std::int64_t across = 0;
};

Offsets OffsetsTowards(MapPosition a, MapPosition b, MapDirection direction) {
    const std::int64_t dx = std::int64_t{b.nX} - a.nX;
    const std::int64_t dy = std::int64_t{b.nY} - a.nY;
    switch (direction) {
        case MapDirection::Left:
            return {-dx, dy};
        case MapDirection::Right:
            return {dx, dy};
        case MapDirection::Up:
            return {-dy, dx};
        case MapDirection::Down:
            return {dy, dx};
    }
    return {};
}

bool TowardsLater(MapDirection direction) {
    return direction == MapDirection::Right || direction == MapDirection::Down;
}

}  // namespace

MapKeyAction DecideMapKey(MapDirection direction, bool shift, bool ctrl, bool alt) {
    if (alt || (ctrl && !shift)) return {};
    if (!shift) return {MapKeyAction::Kind::Pick};
    const int step = ctrl ? kCoarseStep : kFineStep;
    switch (direction) {
        case MapDirection::Left:
            return {MapKeyAction::Kind::Move, -step, 0};
        case MapDirection::Right:
            return {MapKeyAction::Kind::Move, step, 0};
        case MapDirection::Up:
            return {MapKeyAction::Kind::Move, 0, -step};
        case MapDirection::Down:
            return {MapKeyAction::Kind::Move, 0, step};
    }
    return {};
}

int NearestIconInDirection(const std::vector<MapPosition>& icons, int from, MapDirection direction) {
    const int count = static_cast<int>(icons.size());
    if (from < 0 || from >= count) return count > 0 ? 0 : -1;
    int best = -1;
    std::int64_t bestCost = std::numeric_limits<std::int64_t>::max();
    for (int k = 0; k < count; ++k) {
        if (k == from) continue;
        const Offsets offsets =
            OffsetsTowards(icons[static_cast<std::size_t>(from)], icons[static_cast<std::size_t>(k)], direction);
        const bool sameSpotInOrder = offsets.along == 0 && offsets.across == 0 && (k > from) == TowardsLater(direction);
        if (offsets.along <= 0 && !sameSpotInOrder) continue;
        const std::int64_t cost = offsets.along + 2 * std::llabs(offsets.across);
        // Of equally near icons, Right and Down take the first drawn, Left and Up the last,
        // so that a stack is walked through in drawing order both ways.
        if (cost < bestCost || (cost == bestCost && !TowardsLater(direction))) {
            bestCost = cost;
            best = k;
        }
    }
    return best;
}
