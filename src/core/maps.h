// The nine fixed maps. A map's index chooses its picture; its name chooses its pals.
#pragma once

#include <string_view>

class CYubinoApp;

inline constexpr int kMapCount = 9;

// The map names in code page 932, in index order.
extern const char* const g_apszMapNames[kMapCount];

// Index of the map whose name equals `name` byte for byte, or -1.
int FindMapIndex(std::string_view name);

// What choosing a map asks the program to refresh.
struct MapChoiceRefresh {
    bool bRedrawMap = false;
    bool bRefillList = false;
    bool operator==(const MapChoiceRefresh&) const = default;
};

// The map bar's choice applied to the display state. The map last applied is kept, so
// choosing it again changes nothing.
class CMapChoice {
public:
    // `index` is the chosen entry; anything outside 0..8 (no entry chosen) is ignored.
    MapChoiceRefresh Apply(CYubinoApp& app, int index);

private:
    int m_nLastAppliedMap = -1;
};
