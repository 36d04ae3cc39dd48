#include "storage/pal_card_text.h"

#include <algorithm>
#include <array>

#include "core/cp932.h"
#include "storage/text_encoding.h"
#include "storage/vcard_text.h"

namespace {

constexpr std::array kTextFields = {PalField::HandleName,   PalField::Name,       PalField::Job,   PalField::HomePage,
                                    PalField::Residence,    PalField::Birthplace, PalField::Hobby, PalField::Memo,
                                    PalField::LastMailText, PalField::Tel1,       PalField::Tel2};

std::string Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            if (i > start) words.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return words;
}

bool IsSuffix(const std::string& word) {
    static constexpr std::array kSuffixes = {"Jr.", "Jr", "Sr.", "Sr", "II", "III", "IV", "PhD", "Ph.D.", "MD", "Esq."};
    return std::find(kSuffixes.begin(), kSuffixes.end(), word) != kSuffixes.end();
}

bool IsPrefix(const std::string& word) {
    static constexpr std::array kPrefixes = {"Mr.", "Mrs.", "Ms.", "Dr.", "Prof.", "Mr", "Mrs", "Ms", "Dr"};
    return std::find(kPrefixes.begin(), kPrefixes.end(), word) != kPrefixes.end();
}

// The prefecture at the start of a Japanese residence, with its 都, 道, 府 or 県.
std::size_t PrefectureLength(std::string_view text) {
    if (text.starts_with("北海道")) return std::string_view("北海道").size();
    for (std::string_view mark : {"都", "府", "県"}) {
        // Two or three kanji before the mark (東京都, 神奈川県, 鹿児島県).
        for (std::size_t chars : {2, 3}) {
            const std::size_t length = chars * 3;
            if (text.size() >= length + 3 && text.substr(length, 3) == mark) return length + 3;
        }
    }
    return 0;
}

// The city, ward, town or village after the prefecture (a county's town counts whole).
std::size_t LocalityLength(std::string_view text) {
    std::size_t start = 0;
    if (const std::size_t county = text.find("郡"); county != std::string_view::npos && county <= 12)
        start = county + 3;
    for (std::size_t i = start; i + 3 <= text.size() && i <= start + 18; i += 3) {
        const std::string_view mark = text.substr(i, 3);
        if (i > start && (mark == "市" || mark == "区" || mark == "町" || mark == "村")) return i + 3;
    }
    return 0;
}

}  // namespace

std::string COriginalTexts::Cp932(std::string_view utf8) {
    std::string text = Utf8ToCp932Lossy(utf8);
    if (!cp932::FromUtf8(utf8)) m_lossy.emplace_back(text, std::string(utf8));
    return text;
}

void COriginalTexts::KeepIn(const CPenPal& pal, PalCard& card) const {
    if (m_lossy.empty()) return;
    std::vector<std::pair<std::string, std::string>> longestFirst = m_lossy;
    std::stable_sort(longestFirst.begin(), longestFirst.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (PalField field : kTextFields) {
        const std::string stored = GetPalFieldText(pal, field);
        if (stored.find('?') == std::string::npos) continue;
        // A field may join several texts (family and given name): each lossy part is put back.
        std::string original = cp932::ToUtf8(stored);
        for (const auto& [lossy, utf8] : longestFirst) {
            const std::string lossyUtf8 = cp932::ToUtf8(lossy);
            if (const std::size_t at = original.find(lossyUtf8); at != std::string::npos)
                original.replace(at, lossyUtf8.size(), utf8);
        }
        if (Utf8ToCp932Lossy(original) == stored && original != cp932::ToUtf8(stored))
            card.originals[static_cast<int>(field)] = original;
    }
}

std::string ShownFieldText(const CPenPal& pal, const PalCard* card, PalField field) {
    const std::string stored = GetPalFieldText(pal, field);
    if (card) {
        const auto it = card->originals.find(static_cast<int>(field));
        if (it != card->originals.end() && Utf8ToCp932Lossy(it->second) == stored) return it->second;
    }
    return cp932::ToUtf8(stored);
}

bool SameTextButLineBreaks(std::string_view a, std::string_view b) {
    // The escaped form writes every kind of line break the same way.
    return a == b || EscapeVCardUtf8(a) == EscapeVCardUtf8(b);
}

bool IsLatinText(std::string_view utf8) {
    // Latin letters and their accented forms end before U+0250 (two UTF-8 bytes at most,
    // lead byte below 0xC9).
    return std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0xC9; });
}

PersonName SplitPersonName(std::string_view utf8Name) {
    PersonName name;
    const std::string text = Trim(utf8Name);
    if (text.empty()) return name;
    if (!IsLatinText(text)) {
        // A full-width blank separates too.
        std::size_t blank = text.find(' ');
        std::size_t width = 1;
        if (const std::size_t wide = text.find("\u3000"); wide < blank) blank = wide, width = 3;
        name.family = Trim(std::string_view(text).substr(0, blank));
        if (blank != std::string::npos) name.given = Trim(std::string_view(text).substr(blank + width));
        return name;
    }
    std::string body = text;
    if (const std::size_t comma = text.rfind(','); comma != std::string::npos) {
        const std::string after = Trim(std::string_view(text).substr(comma + 1));
        body = Trim(std::string_view(text).substr(0, comma));
        if (IsSuffix(after)) {
            name.suffix = after;
        } else {
            // "Family, Given"
            name.family = body;
            body = after;
            std::vector<std::string> words = Words(body);
            if (!words.empty() && IsPrefix(words.front())) name.prefix = words.front(), words.erase(words.begin());
            for (std::size_t i = 0; i < words.size(); ++i)
                (i == 0 ? name.given : name.additional) += (i > 1 ? " " : "") + words[i];
            return name;
        }
    }
    std::vector<std::string> words = Words(body);
    if (words.size() > 1 && IsPrefix(words.front())) name.prefix = words.front(), words.erase(words.begin());
    if (words.size() == 1) {
        name.given = words.front();
        return name;
    }
    name.family = words.back();
    words.pop_back();
    name.given = words.front();
    for (std::size_t i = 1; i < words.size(); ++i) name.additional += (i > 1 ? " " : "") + words[i];
    return name;
}

std::string JoinPersonName(const PersonName& name) {
    const bool latin = IsLatinText(name.family + name.given);
    std::string out;
    const auto add = [&](const std::string& part) {
        if (part.empty()) return;
        if (!out.empty()) out += ' ';
        out += part;
    };
    if (latin) {
        add(name.prefix), add(name.given), add(name.additional), add(name.family);
        if (!name.suffix.empty()) out += ", " + name.suffix;
    } else {
        add(name.family), add(name.given);
    }
    return out;
}

std::optional<AddressParts> ParseJapaneseAddress(std::string_view utf8Residence) {
    const std::size_t prefecture = PrefectureLength(utf8Residence);
    if (prefecture == 0) return std::nullopt;
    const std::string_view rest = utf8Residence.substr(prefecture);
    const std::size_t locality = LocalityLength(rest);
    AddressParts parts{std::string(utf8Residence.substr(0, prefecture)), std::string(rest.substr(0, locality)),
                       std::string(rest.substr(locality))};
    // Readers trim the parts: a blank at their edges would be lost.
    for (const std::string* part : {&parts.locality, &parts.street})
        if (!part->empty() && Trim(*part) != *part) return std::nullopt;
    if (JoinAddressParts({parts.region, parts.locality, parts.street}, false) != utf8Residence) return std::nullopt;
    return parts;
}

std::string JoinAddressParts(const std::vector<std::string>& partsInOrder, bool latin) {
    std::string out;
    for (const std::string& part : partsInOrder) {
        if (part.empty()) continue;
        if (!out.empty() && latin) out += ", ";
        out += part;
    }
    return out;
}

std::optional<std::string> BirthdayWithoutYear(std::string_view text) {
    if (!text.starts_with("--")) return std::nullopt;
    std::string digits;
    for (char c : text.substr(2))
        if (c != '-') digits += c;
    if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int month = std::stoi(digits.substr(0, 2)), day = std::stoi(digits.substr(2));
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return "--" + digits;
}

std::vector<std::string> MobileInASlot(std::vector<std::string> numbers, const std::vector<std::string>& mobile) {
    const auto isMobile = [&](const std::string& number) {
        return std::find(mobile.begin(), mobile.end(), number) != mobile.end();
    };
    if (numbers.size() <= 2 || mobile.empty() || isMobile(numbers[0]) || isMobile(numbers[1])) return numbers;
    const auto first = std::find_if(numbers.begin() + 2, numbers.end(), isMobile);
    std::rotate(numbers.begin() + 1, first, first + 1);
    return numbers;
}
