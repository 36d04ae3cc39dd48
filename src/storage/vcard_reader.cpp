#include "storage/vcard_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "core/cp932.h"
#include "storage/text_encoding.h"

namespace {

using Byte = unsigned char;

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<Byte>(x)) == std::toupper(static_cast<Byte>(y));
           });
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<Byte>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Position of the first `wanted` outside double quotes, or npos.
std::size_t FindUnquoted(std::string_view text, char wanted, std::size_t from = 0) {
    bool quoted = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == wanted && !quoted)
            return i;
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitUnquoted(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = FindUnquoted(text, separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string_view Unquote(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

// One line of the file as written, without its end ("\r\n", "\n" or a lone "\r").
struct PhysicalLine {
    std::string_view text;
    std::size_t next = 0;  // where the following line begins
};

PhysicalLine PhysicalLineAt(std::string_view bytes, std::size_t pos) {
    const std::size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) return {bytes.substr(pos), bytes.size()};
    const std::size_t next = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? end + 2 : end + 1;
    return {bytes.substr(pos, end - pos), next};
}

// A property as one line: folded lines joined, quoted-printable soft breaks undone.
struct LogicalLine {
    std::string text;
    int line = 0;
    bool tooLong = false;
    bool hadNul = false;
};

class LineUnfolder {
public:
    explicit LineUnfolder(std::string_view bytes) : m_bytes(bytes) {}

    bool Next(LogicalLine& out) {
        // Blank lines (the end of a vCard 2.1 base64 block among them) carry nothing.
        PhysicalLine first;
        do {
            if (m_pos >= m_bytes.size()) return false;
            first = PhysicalLineAt(m_bytes, m_pos);
            m_pos = first.next;
            ++m_line;
        } while (first.text.empty());
        out = LogicalLine{};
        out.line = m_line;
        Append(out, first.text);
        const bool quotedPrintable = IsQuotedPrintable(first.text);
        while (m_pos < m_bytes.size()) {
            const PhysicalLine more = PhysicalLineAt(m_bytes, m_pos);
            const bool folded = !more.text.empty() && (more.text[0] == ' ' || more.text[0] == '\t');
            // Some phones end a quoted-printable value with "=" anyway: END still ends the card.
            const bool softBreak = quotedPrintable && !out.tooLong && !out.text.empty() && out.text.back() == '=' &&
                                   !EqualsIgnoreCase(more.text.substr(0, 9), "END:VCARD");
            if (!folded && !softBreak) break;
            if (softBreak) out.text.pop_back();
            Append(out, folded ? more.text.substr(1) : more.text);
            m_pos = more.next;
            ++m_line;
        }
        return true;
    }

private:
    static bool IsQuotedPrintable(std::string_view text) {
        const std::string head = Upper(text.substr(0, FindUnquoted(text, ':')));
        return head.find("QUOTED-PRINTABLE") != std::string::npos;
    }

    static void Append(LogicalLine& out, std::string_view text) {
        if (out.tooLong) return;
        if (out.text.size() + text.size() > kMaxVCardLineBytes) {
            out.tooLong = true;
            text = text.substr(0, kMaxVCardLineBytes - out.text.size());
        }
        if (text.find('\0') == std::string_view::npos) {
            out.text.append(text);
            return;
        }
        out.hadNul = true;
        for (char c : text)
            if (c != '\0') out.text.push_back(c);
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    int m_line = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string DecodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '=' && i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool IsBinaryEncoding(const std::string& encoding) { return encoding == "B" || encoding == "BASE64"; }

// The parameters of "NAME;P1=A,B;P2:"; the part before the first semicolon is the name.
void ReadNameAndParams(std::string_view head, VCardProperty& property) {
    const std::vector<std::string_view> parts = SplitUnquoted(head, ';');
    std::string_view name = Trim(parts[0]);
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        property.group = Upper(name.substr(0, dot));
        name.remove_prefix(dot + 1);
    }
    property.name = Upper(name);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::size_t equals = parts[i].find('=');
        if (equals == std::string_view::npos) {
            const std::string bare = Upper(Trim(parts[i]));
            if (bare.empty()) continue;
            const bool encoding =
                bare == "QUOTED-PRINTABLE" || IsBinaryEncoding(bare) || bare == "8BIT" || bare == "7BIT";
            property.params.emplace_back(encoding ? "ENCODING" : "TYPE", bare);
            continue;
        }
        const std::string key = Upper(Trim(parts[i].substr(0, equals)));
        for (std::string_view item : SplitUnquoted(parts[i].substr(equals + 1), ',')) {
            // Types are a list even when quoted together (TYPE="voice,home").
            const std::string_view value = Unquote(item);
            if (key != "TYPE") {
                property.params.emplace_back(key, std::string(value));
                continue;
            }
            for (std::string_view type : SplitUnquoted(value, ','))
                property.params.emplace_back(key, std::string(Trim(type)));
        }
    }
}

// Turns the text of a value into UTF-8: the CHARSET named, else UTF-8 when it is well
// formed, else code page 932 as Japanese phones write it.
std::string TextToUtf8(std::string bytes, const std::string& charset) {
    if (!charset.empty())
        if (std::optional<std::string> converted = CharsetToUtf8(bytes, charset)) return *converted;
    if (IsValidUtf8(bytes)) return bytes;
    return cp932::ToUtf8(bytes);
}

class CardCollector {
public:
    void Property(VCardProperty&& property) {
        if (property.name == "BEGIN" && EqualsIgnoreCase(Trim(property.value), "VCARD")) {
            CloseUnended();
            m_card = VCard{property.line, {}};
            return;
        }
        if (!m_card) return;  // nothing belongs to a card outside one
        if (property.name == "END") {
            m_result.cards.push_back(std::move(*m_card));
            m_card.reset();
            return;
        }
        m_card->properties.push_back(std::move(property));
    }

    void Problem(ImportProblem::Kind kind, int line) { m_result.problems.push_back({kind, line}); }

    VCardReadResult Finish() {
        CloseUnended();
        return std::move(m_result);
    }

private:
    void CloseUnended() {
        if (m_card) Problem(ImportProblem::Kind::CardNotEnded, m_card->line);
        m_card.reset();
    }

    VCardReadResult m_result;
    std::optional<VCard> m_card;
};

void ReadLogicalLine(LogicalLine& line, CardCollector& cards) {
    if (line.hadNul) cards.Problem(ImportProblem::Kind::NulBytes, line.line);
    const std::size_t colon = FindUnquoted(line.text, ':');
    if (colon == std::string::npos) return;  // no property at all: nothing to take
    VCardProperty property;
    property.line = line.line;
    ReadNameAndParams(std::string_view(line.text).substr(0, colon), property);
    const bool isPhoto = property.name == "PHOTO";
    if (line.tooLong) {
        cards.Problem(isPhoto ? ImportProblem::Kind::PhotoTooLarge : ImportProblem::Kind::LineTooLong, line.line);
        return;
    }
    std::string value = line.text.substr(colon + 1);
    line.text.clear();
    line.text.shrink_to_fit();
    const std::string encoding = Upper(property.Param("ENCODING"));
    if (encoding == "QUOTED-PRINTABLE") value = DecodeQuotedPrintable(value);
    if (IsBinaryEncoding(encoding)) {
        std::optional<std::string> decoded = DecodeBase64(value);
        if (!decoded) return cards.Problem(ImportProblem::Kind::BadBase64, line.line);
        if (decoded->size() > kMaxVCardPhotoBytes) return cards.Problem(ImportProblem::Kind::PhotoTooLarge, line.line);
        property.value = std::move(*decoded);
        property.binary = true;
    } else {
        if (value.size() > (isPhoto ? kMaxVCardLineBytes : kMaxVCardTextBytes))
            return cards.Problem(ImportProblem::Kind::LineTooLong, line.line);
        property.value = TextToUtf8(std::move(value), property.Param("CHARSET"));
    }
    cards.Property(std::move(property));
}

}  // namespace

std::string VCardProperty::Param(std::string_view key) const {
    for (const auto& [name, value] : params)
        if (name == key) return value;
    return {};
}

bool VCardProperty::HasType(std::string_view type) const {
    return std::any_of(params.begin(), params.end(),
                       [&](const auto& p) { return p.first == "TYPE" && EqualsIgnoreCase(p.second, type); });
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    static const std::array<signed char, 256> kValues = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        const std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (std::size_t i = 0; i < alphabet.size(); ++i)
            values[static_cast<Byte>(alphabet[i])] = static_cast<signed char>(i);
        return values;
    }();
    std::string out;
    out.reserve(text.size() / 4 * 3 + 3);
    unsigned bits = 0;
    int count = 0, sextets = 0;
    bool padded = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        const int value = kValues[static_cast<Byte>(c)];
        if (value < 0 || padded) return std::nullopt;
        bits = (bits << 6) | static_cast<unsigned>(value);
        ++sextets;
        if (++count == 4) {
            out.push_back(static_cast<char>(bits >> 16));
            out.push_back(static_cast<char>(bits >> 8));
            out.push_back(static_cast<char>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1) return std::nullopt;
    if (count == 2) out.push_back(static_cast<char>(bits >> 4));
    if (count == 3) {
        out.push_back(static_cast<char>(bits >> 10));
        out.push_back(static_cast<char>(bits >> 2));
    }
    if (sextets == 0) return std::nullopt;
    return out;
}

VCardReadResult ReadVCards(std::string_view bytes) {
    std::string decoded;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        decoded = DecodeTextFile(bytes);
        bytes = decoded;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    CardCollector cards;
    LineUnfolder lines(bytes);
    LogicalLine line;
    while (lines.Next(line)) ReadLogicalLine(line, cards);
    return cards.Finish();
}

std::string UnescapeVCardText(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out.push_back(value[i]);
            continue;
        }
        const char next = value[++i];
        if (next == 'n' || next == 'N')
            out.push_back('\n');
        else if (next == '\\' || next == ',' || next == ';' || next == ':')
            out.push_back(next);
        else {
            out.push_back('\\');
            out.push_back(next);
        }
    }
    return out;
}

std::vector<std::string> SplitVCardComponents(std::string_view value, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;  // the escaped character never separates
        } else if (value[i] == separator) {
            parts.push_back(UnescapeVCardText(value.substr(start, i - start)));
            start = i + 1;
        }
    }
    parts.push_back(UnescapeVCardText(value.substr(std::min(start, value.size()))));
    return parts;
}
