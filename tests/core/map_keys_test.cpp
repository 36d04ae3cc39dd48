#include "core/map_keys.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Kind = MapKeyAction::Kind;

struct KeyCase {
    std::string name;
    MapDirection direction;
    bool shift;
    bool ctrl;
    bool alt;
    MapKeyAction expected;
};

class MapKeyDecision : public testing::TestWithParam<KeyCase> {};

TEST_P(MapKeyDecision, ArrowWithModifiers) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(DecideMapKey(c.direction, c.shift, c.ctrl, c.alt), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MapKeyDecision,
    testing::Values(KeyCase{"PlainLeftPicks", MapDirection::Left, false, false, false, {Kind::Pick}},
                    KeyCase{"PlainDownPicks", MapDirection::Down, false, false, false, {Kind::Pick}},
                    KeyCase{"ShiftLeftMovesOnePixel", MapDirection::Left, true, false, false, {Kind::Move, -1, 0}},
                    KeyCase{"ShiftRightMovesOnePixel", MapDirection::Right, true, false, false, {Kind::Move, 1, 0}},
                    KeyCase{"ShiftUpMovesOnePixel", MapDirection::Up, true, false, false, {Kind::Move, 0, -1}},
                    KeyCase{"ShiftDownMovesOnePixel", MapDirection::Down, true, false, false, {Kind::Move, 0, 1}},
                    KeyCase{"CtrlShiftLeftMovesTen", MapDirection::Left, true, true, false, {Kind::Move, -10, 0}},
                    KeyCase{"CtrlShiftDownMovesTen", MapDirection::Down, true, true, false, {Kind::Move, 0, 10}},
                    KeyCase{"CtrlAloneIsLeftToTheWindow", MapDirection::Up, false, true, false, {}},
                    KeyCase{"AltIsLeftToTheWindow", MapDirection::Right, false, false, true, {}},
                    KeyCase{"AltShiftMovesNothing", MapDirection::Right, true, false, true, {}}),
    [](const testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

struct PickCase {
    std::string name;
    std::vector<MapPosition> icons;
    int from;
    MapDirection direction;
    int expected;
};

class MapIconPick : public testing::TestWithParam<PickCase> {};

TEST_P(MapIconPick, NearestInDirection) {
    const PickCase& c = GetParam();
    EXPECT_EQ(NearestIconInDirection(c.icons, c.from, c.direction), c.expected);
}

// A cross around the centre (0): 1 left, 2 right, 3 above, 4 below, each 100 px away.
const std::vector<MapPosition> kCross{{200, 200}, {100, 200}, {300, 200}, {200, 100}, {200, 300}};
// From (0, 0): one far straight ahead and one near but off to the side.
const std::vector<MapPosition> kAheadOrAside{{0, 0}, {150, 0}, {60, 50}};
// Three icons on one spot and one beyond them.
const std::vector<MapPosition> kStacked{{50, 50}, {50, 50}, {50, 50}, {90, 50}};

INSTANTIATE_TEST_SUITE_P(
    Icons, MapIconPick,
    testing::Values(PickCase{"NothingPickedTakesTheFirst", kCross, -1, MapDirection::Up, 0},
                    PickCase{"StalePickTakesTheFirst", kCross, 9, MapDirection::Left, 0},
                    PickCase{"NoIconsPicksNothing", {}, -1, MapDirection::Left, -1},
                    PickCase{"LoneIconStays", {{10, 10}}, 0, MapDirection::Right, -1},
                    PickCase{"LeftOfCentre", kCross, 0, MapDirection::Left, 1},
                    PickCase{"RightOfCentre", kCross, 0, MapDirection::Right, 2},
                    PickCase{"AboveCentre", kCross, 0, MapDirection::Up, 3},
                    PickCase{"BelowCentre", kCross, 0, MapDirection::Down, 4},
                    PickCase{"NothingFurtherLeft", kCross, 1, MapDirection::Left, -1},
                    PickCase{"BackFromLeftGoesThroughCentre", kCross, 1, MapDirection::Right, 0},
                    PickCase{"SidewaysCountsTwice", kAheadOrAside, 0, MapDirection::Right, 1},
                    PickCase{"OffsideIsBelowToo", kAheadOrAside, 0, MapDirection::Down, 2},
                    PickCase{"StackedRightTakesNextDrawn", kStacked, 0, MapDirection::Right, 1},
                    PickCase{"StackedDownTakesNextDrawn", kStacked, 1, MapDirection::Down, 2},
                    PickCase{"StackedLeftTakesPreviousDrawn", kStacked, 2, MapDirection::Left, 1},
                    PickCase{"LastOfStackGoesOnBeyond", kStacked, 2, MapDirection::Right, 3},
                    PickCase{"BeyondComesBackToTheLastDrawn", kStacked, 3, MapDirection::Left, 2},
                    PickCase{"FarPositionsOfOldFiles", {{INT_MIN, 0}, {INT_MAX, 0}}, 0, MapDirection::Right, 1}),
    [](const testing::TestParamInfo<PickCase>& info) { return info.param.name; });

}  // namespace
