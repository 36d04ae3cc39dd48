#include "core/residence_place.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "core/cp932.h"

namespace {

struct PlaceRow {
    const char* names;  // UTF-8, '|' between names, '*' after a name that anything may follow
    int parent;         // the row of the place around it, or -1
    int map;
    int x;
    int y;
};

constexpr PlaceRow kPlaceRows[] = {
#include "core/place_table.inc"
};
constexpr int kRowCount = static_cast<int>(std::size(kPlaceRows));

// Long residences are cut here: a place is named in the first few words.
constexpr std::size_t kMaxResidenceBytes = 512;

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// Half-width katakana U+FF61..U+FF9D as full-width katakana.
constexpr char32_t kFullKatakana[] =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリ"
    U"ルレロワン";

bool IsKatakana(char32_t c) { return c >= U'ァ' && c <= U'ヶ'; }
bool IsHiragana(char32_t c) { return c >= U'ぁ' && c <= U'ゖ'; }
bool IsAsciiLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// A half-width voiced mark joins the kana before it: ｶﾞ is ガ.
void AddVoicedMark(std::u32string& out, char32_t mark) {
    if (out.empty()) return;
    char32_t& c = out.back();
    const bool semi = mark == U'\uFF9F';
    const bool haRow = c >= U'ハ' && c <= U'ホ' && (c - U'ハ') % 3 == 0;
    if (semi && haRow)
        c += 2;
    else if (!semi && haRow)
        c += 1;
    else if (!semi && c == U'ウ')
        c = U'ヴ';
    else if (!semi &&
             ((c >= U'カ' && c <= U'ヂ' && (c - U'カ') % 2 == 0) || (c >= U'ツ' && c <= U'ド' && (c - U'ツ') % 2 == 0)))
        c += 1;
}

char32_t FoldLatin(char32_t c) {
    static constexpr std::u32string_view kFrom = U"àáâãäåçèéêëìíîïñòóôõöùúûüýÿ";
    static constexpr std::u32string_view kTo = U"aaaaaaceeeeiiiinooooouuuuyy";
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= U'À' && c <= U'Þ' && c != U'×') c += 32;
    if (c == U'ō' || c == U'Ō') return U'o';
    if (c == U'ū' || c == U'Ū') return U'u';
    const std::size_t k = kFrom.find(c);
    return k == std::u32string_view::npos ? c : kTo[k];
}

// The text as names are compared: full-width letters and digits half-width, half-width
// katakana full-width, katakana as hiragana, letters lower case, word separators one space,
// list separators ',' and dots dropped (U.S.A.).
std::u32string Fold(std::u32string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= U'\uFF01' && c <= U'\uFF5E') c -= 0xFEE0;
        if (c == U'\uFF9E' || c == U'\uFF9F' || c == U'゛' || c == U'゜') {
            AddVoicedMark(out, c == U'゛' ? U'\uFF9E' : c == U'゜' ? U'\uFF9F' : c);
            continue;
        }
        if (c >= U'\uFF61' && c <= U'\uFF9D') c = kFullKatakana[c - U'\uFF61'];
        c = FoldLatin(c);
        if (c == U'.') continue;
        if (c == U'、' || c == U'，' || c == U'､') c = U',';
        if (c == U' ' || c == U'\t' || c == U'\u3000' || c == U'-' || c == U'_' || c == U'・' || c == U'−' ||
            c == U'\r' || c == U'\n') {
            if (!out.empty() && out.back() != U' ') out.push_back(U' ');
            continue;
        }
        if (c == U',' && !out.empty() && out.back() == U' ') out.pop_back();
        out.push_back(c);
    }
    for (char32_t& c : out) {
        if (IsKatakana(c)) c -= 0x60;
    }
    return out;
}

struct NameKey {
    int row;
    bool open;  // anything may follow the name
};

class CPlaceIndex {
public:
    CPlaceIndex() {
        for (int row = 0; row < kRowCount; ++row) {
            std::string_view names = kPlaceRows[row].names;
            while (!names.empty()) {
                const std::size_t bar = names.find('|');
                std::string_view name = names.substr(0, bar);
                names = bar == std::string_view::npos ? std::string_view{} : names.substr(bar + 1);
                const bool open = name.ends_with('*');
                if (open) name.remove_suffix(1);
                std::u32string key = Fold(DecodeUtf8(name));
                if (key.size() > m_nMaxLength) m_nMaxLength = key.size();
                m_names.emplace(std::move(key), NameKey{row, open});  // the first place keeps a shared name
            }
        }
    }

    struct Match {
        int row = -1;
        std::size_t end = 0;
    };

    // The longest name at `pos` that the text goes on from as a name ends.
    std::optional<Match> MatchAt(const std::u32string& text, std::size_t pos) const {
        const std::size_t longest = std::min(m_nMaxLength, text.size() - pos);
        for (std::size_t length = longest; length > 0; --length) {
            const auto it = m_names.find(text.substr(pos, length));
            if (it == m_names.end()) continue;
            if (EndsThere(it->first, it->second.open, text, pos + length)) return Match{it->second.row, pos + length};
        }
        return std::nullopt;
    }

private:
    static bool EndsThere(const std::u32string& name, bool open, const std::u32string& text, std::size_t end) {
        if (open || end == text.size()) return true;
        const char32_t next = text[end];
        if (IsAsciiLetter(name.back())) return !IsAsciiLetter(next);
        // One character ("津", "堺") stands alone only before a separator or a number.
        if (name.size() == 1) return next == U' ' || next == U',' || IsDigit(next);
        // Kana after a name make another word: 東京タワー, ならしの.
        return !IsHiragana(next) && next != U'ー';
    }

    std::unordered_map<std::u32string, NameKey> m_names;
    std::size_t m_nMaxLength = 0;
};

const CPlaceIndex& PlaceIndex() {
    static const CPlaceIndex index;
    return index;
}

bool IsInside(int inner, int outer) {
    for (int row = kPlaceRows[inner].parent; row >= 0; row = kPlaceRows[row].parent) {
        if (row == outer) return true;
    }
    return false;
}

std::size_t SkipSeparators(const std::u32string& text, std::size_t pos) {
    while (pos < text.size() && (text[pos] == U' ' || text[pos] == U',')) ++pos;
    return pos;
}

// A postal code before the address: 〒100-0001 (the hyphen is folded to a space).
std::size_t SkipPostalCode(const std::u32string& text, std::size_t pos) {
    pos = SkipSeparators(text, pos);
    if (pos < text.size() && text[pos] == U'〒') ++pos;
    while (pos < text.size() && (IsDigit(text[pos]) || text[pos] == U' ')) ++pos;
    return pos;
}

// The place named at `pos`, then narrowed to the places named after it inside it.
std::optional<int> PlaceAt(const CPlaceIndex& index, const std::u32string& text, std::size_t pos) {
    auto match = index.MatchAt(text, pos);
    if (!match) return std::nullopt;
    for (;;) {
        const std::size_t next = SkipSeparators(text, match->end);
        if (next >= text.size()) break;
        const auto inner = index.MatchAt(text, next);
        if (!inner || !IsInside(inner->row, match->row)) break;
        match = inner;
    }
    return match->row;
}

std::string_view CutToCharacters(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t length = cp932::CharLength(text, end);
        if (end + length > maxBytes) break;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace

std::optional<ResidencePlace> FindResidencePlace(std::string_view residence) {
    const std::u32string text = Fold(DecodeUtf8(cp932::ToUtf8(CutToCharacters(residence, kMaxResidenceBytes))));
    const CPlaceIndex& index = PlaceIndex();
    for (std::size_t pos = SkipPostalCode(text, 0); pos < text.size();) {
        if (const auto row = PlaceAt(index, text, pos)) {
            const PlaceRow& place = kPlaceRows[*row];
            return ResidencePlace{place.map, place.x, place.y};
        }
        const std::size_t comma = text.find(U',', pos);
        if (comma == std::u32string::npos) break;
        pos = SkipSeparators(text, comma);
    }
    return std::nullopt;
}
