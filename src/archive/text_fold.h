// Loose matching as Japanese users expect it: full-width and half-width forms, hiragana
// and katakana, and letter case all compare equal once folded.
#pragma once

#include <string>
#include <string_view>

// UTF-8 in, UTF-8 out: Unicode NFKC with case folding (ICU's nfkc_cf), then katakana
// turned into hiragana. Malformed UTF-8 sequences become U+FFFD.
std::string FoldForSearch(std::string_view utf8);
