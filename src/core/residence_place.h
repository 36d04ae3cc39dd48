// Where a pal lives, read from the residence text: the map of the region and the pixel of
// the place on it. Prefectures (kanji with or without 都道府県, kana, romaji), the cities
// people write without their prefecture, countries and main cities abroad (the world map).
#pragma once

#include <optional>
#include <string_view>

struct ResidencePlace {
    int nMap = 0;  // index in the map name table
    int nX = 0;    // the place's pixel on the map picture
    int nY = 0;
    bool operator==(const ResidencePlace&) const = default;
};

// The place a residence (code page 932) names at its start, or at the start of one of its
// comma-separated parts ("Shibuya, Tokyo"). A name followed by more of a word, as in
// "東京タワーが好き" or "Indiana", names no place; nothing is guessed. "神奈川県横浜市" gives
// the city, the innermost place named.
std::optional<ResidencePlace> FindResidencePlace(std::string_view residence);
