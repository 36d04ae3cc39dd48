// The residence of a pal, as any data file may hold it, read for a place, and a pal placed
// there: the place is always one of the nine maps, the icon always inside it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/map_icons.h"
#include "core/maps.h"
#include "core/pal_placement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto place = FindResidencePlace(text);
    if (!place) return 0;
    if (place->nMap < 0 || place->nMap >= kMapCount || place->nX < 0 || place->nX >= kMapSize || place->nY < 0 ||
        place->nY >= kMapSize)
        __builtin_trap();
    CIconSpread spread;
    const MapPosition at = spread.Take(*place);
    if (at.nX < 0 || at.nX > kMapMaxPosition || at.nY < 0 || at.nY > kMapMaxPosition) __builtin_trap();
    return 0;
}
