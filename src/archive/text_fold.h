// Loose matching as Japanese users expect it: full-width and half-width forms, hiragana
// and katakana, and letter case all compare equal once folded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// UTF-8 in, UTF-8 out: Unicode NFKC with case folding (ICU's nfkc_cf), then katakana
// turned into hiragana. Malformed UTF-8 sequences become U+FFFD.
std::string FoldForSearch(std::string_view utf8);

// The folded text with where each part of it came from: a piece is the bytes [begin, end)
// of the original, folded on their own into the bytes of `text` from `folded` on. Pieces
// end where folding cannot join neighbours (before each character that starts anew), so
// a half-width "ｶﾞ" is one piece; joined, the pieces' texts are FoldForSearch(utf8).
struct FoldedText {
    struct Piece {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t folded = 0;
    };
    std::string text;
    std::vector<Piece> pieces;
};
FoldedText FoldWithOrigins(std::string_view utf8);
