#include "core/map_icons.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "core/table_steps.h"

namespace {

// The pals by mail address: a redraw looks up every listed pal, 500 of them at most.
std::unordered_map<std::string_view, const CPenPal*> PalsByAddress(const std::vector<CPenPal>& pals) {
    std::unordered_map<std::string_view, const CPenPal*> index;
    index.reserve(pals.size());
    for (const CPenPal& pal : pals) index.emplace(pal.m_strMailAddress, &pal);
    return index;
}

// Positions from an old file can lie anywhere in the int range; the sum must not overflow.
int DraggedCoordinate(int position, int delta) {
    const std::int64_t moved = std::int64_t{position} + delta;
    return static_cast<int>(std::clamp<std::int64_t>(moved, 0, kMapMaxPosition));
}

bool IsInsideBox(const MapIconSlot& slot, int x, int y) {
    // 64-bit, so that a slot far out at the int range's end cannot overflow its box edge.
    return slot.nX < x && x < std::int64_t{slot.nX} + kMapIconSize && slot.nY < y &&
           y < std::int64_t{slot.nY} + kMapIconSize;
}

}  // namespace

bool IsPalOnMap(const CPenPal& pal, const std::string& mapName) {
    return !pal.m_strMapName.empty() && pal.m_strMapName == mapName;
}

void CMapIconSlots::Rebuild(const CYubinoApp& app, const std::vector<PalListRow>& rows,
                            const std::function<void(const CPenPal&)>& draw) {
    m_nIconCount = 0;
    const auto pals = PalsByAddress(app.Pals());
    for (const PalListRow& row : rows) {
        // The list never holds more rows than the table holds pals; a faulty caller must
        // not overrun the slots either.
        if (m_nIconCount == kMaxPals) break;
        if (!app.m_bMapAllPals && !row.bSelected) continue;
        const auto found = pals.find(row.strMailAddress);
        if (found == pals.end() || !IsPalOnMap(*found->second, app.m_strCurrentMap)) continue;
        const CPenPal* pal = found->second;
        MapIconSlot& slot = m_aIconSlots[static_cast<std::size_t>(m_nIconCount++)];
        slot.nX = pal->m_nMapX;
        slot.nY = pal->m_nMapY;
        slot.nFaceIcon = pal->m_nFaceIcon;
        slot.strMailAddress = pal->m_strMailAddress;
        slot.strHandleName = pal->m_strHandleName;
        draw(*pal);
    }
}

int CMapIconSlots::HitTest(int x, int y, int from) const {
    for (int k = std::max(from, 0); k < m_nIconCount; ++k)
        if (IsInsideBox(Slot(k), x, y)) return k;
    return -1;
}

MapPosition DraggedPosition(int x, int y, int dx, int dy) {
    return {DraggedCoordinate(x, dx), DraggedCoordinate(y, dy)};
}

bool MovePalOnMap(CYubinoApp& app, const std::string& address, int dx, int dy) {
    CTableChange change(app, StepKind::MoveOnMap);
    CPenPal pal;
    if (!app.FindPalByAddress(address, pal)) return false;
    const MapPosition moved = DraggedPosition(pal.m_nMapX, pal.m_nMapY, dx, dy);
    pal.m_nMapX = moved.nX;
    pal.m_nMapY = moved.nY;
    return app.ReplacePal(pal) == 1;
}

void EditPalsAtPoint(CYubinoApp& app, const CMapIconSlots& slots, int x, int y, const std::function<void()>& redraw) {
    for (int k = slots.HitTest(x, y); k >= 0; k = slots.HitTest(x, y, k + 1)) {
        CPenPal pal;
        if (!app.FindPalByAddress(slots.Slot(k).strMailAddress, pal)) continue;
        CTableChange change(app, StepKind::Edit);
        if (!app.UI().EditPal(pal, PalInfoMode::EditOne)) continue;
        app.ReplacePal(pal);
        app.UpdateListView();
        redraw();
    }
}
