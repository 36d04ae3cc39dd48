#include "sync/imap_response_line.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// ATOM-CHAR: any 7-bit character but controls, space and atom-specials.
bool IsAtomChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u < 0x7f && std::string_view("(){%*\"\\]").find(c) == std::string_view::npos;
}

// TEXT-CHAR: 7-bit, no NUL, CR or LF.
bool IsTextChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x01 && u <= 0x7f && c != '\r' && c != '\n';
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return SameWord(word, w); });
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The next run of characters up to a space or a tab.
std::string_view Word(std::string_view text) {
    return text.substr(0, std::min(text.find_first_of(" \t"), text.size()));
}

// Reads the resp-text-code of RFC 3501 from the character after "[".
class CCodeReader {
public:
    explicit CCodeReader(std::string_view text) : m_text(text) {}

    bool Eat(char c) {
        if (m_at >= m_text.size() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }
    std::string_view Rest() const { return m_text.substr(m_at); }

    std::string_view Atom() {
        const std::size_t begin = m_at;
        while (m_at < m_text.size() && IsAtomChar(m_text[m_at])) ++m_at;
        return m_text.substr(begin, m_at - begin);
    }

    // number (a 32-bit value); zero is let through as libetpan lets it.
    bool Number() {
        const std::size_t begin = m_at;
        std::uint64_t value = 0;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9' && value <= UINT32_MAX)
            value = value * 10 + static_cast<std::uint64_t>(m_text[m_at++] - '0');
        return m_at > begin && value <= UINT32_MAX;
    }

    // quoted = DQUOTE *QUOTED-CHAR DQUOTE, closed on this line.
    bool Quoted() {
        if (!Eat('"')) return false;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') return true;
            if (c == '\\' && !Eat('"') && !Eat('\\')) return false;
            if (!IsTextChar(c)) return false;
        }
        return false;
    }

    // astring = 1*ASTRING-CHAR / string; a literal cannot end within a line.
    bool Astring() {
        if (Quoted()) return true;
        const std::size_t begin = m_at;
        while (m_at < m_text.size() && (IsAtomChar(m_text[m_at]) || m_text[m_at] == ']')) ++m_at;
        return m_at > begin;
    }

    // flag-perm = flag / "\*"; a flag is an atom or "\" atom.
    bool FlagPerm() {
        if (Eat('\\')) return Eat('*') || !Atom().empty();
        return !Atom().empty();
    }

    // "(" [item *(SP item)] ")"
    template <typename Item>
    bool List(Item item, bool mayBeEmpty) {
        if (!Eat('(')) return false;
        if (Eat(')')) return mayBeEmpty;
        do {
            if (!item()) return false;
        } while (Eat(' '));
        return Eat(')');
    }

    // The code up to its closing "]"; `name` is its atom.
    bool Code(std::string_view& name) {
        name = Atom();
        if (name.empty()) return false;
        if (SameWord(name, "BADCHARSET")) return !Eat(' ') || List([this] { return Astring(); }, false);
        if (SameWord(name, "CAPABILITY")) {
            bool any = false;
            while (Eat(' ')) {
                if (Atom().empty()) return false;
                any = true;
            }
            return any;
        }
        if (SameWord(name, "PERMANENTFLAGS")) return Eat(' ') && List([this] { return FlagPerm(); }, true);
        if (IsOneOf(name, {"UIDNEXT", "UIDVALIDITY", "UNSEEN"})) return Eat(' ') && Number();
        // atom [SP 1*<any TEXT-CHAR except "]">]
        if (!Eat(' ')) return true;
        const std::size_t begin = m_at;
        while (m_at < m_text.size() && IsTextChar(m_text[m_at]) && m_text[m_at] != ']') ++m_at;
        return m_at > begin;
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

// resp-text = ["[" resp-text-code "]" SP] text. The text may be left out (as IMAP4rev2
// allows), but not after ALERT and PARSE: libetpan keeps their text and has none to keep.
bool CheckRespText(std::string_view text, ImapLineShape& shape) {
    if (text.empty() || text.front() != '[') return true;
    CCodeReader reader(text.substr(1));
    std::string_view name;
    if (!reader.Code(name) || !reader.Eat(']')) return false;
    shape.badCharset = SameWord(name, "BADCHARSET");
    shape.stringList = shape.badCharset || SameWord(name, "PERMANENTFLAGS");
    if (!IsOneOf(name, {"ALERT", "PARSE"})) return true;
    const std::string_view words = SkipBlanks(reader.Rest());
    return !words.empty() && words.front() != '\0' && words.front() != '\r';
}

}  // namespace

ImapLineShape ShapeOfImapLine(std::string_view line) {
    ImapLineShape shape;
    line = SkipBlanks(line);
    std::string_view text;
    if (line.starts_with('+')) {
        shape.kind = ImapLineKind::Continuation;
        text = SkipBlanks(line.substr(1));
    } else {
        const std::string_view tag = Word(line);
        const std::string_view rest = line.substr(tag.size());
        const std::string_view word = Word(SkipBlanks(rest));
        const bool untagged = tag == "*";
        const bool status =
            untagged ? IsOneOf(word, {"OK", "NO", "BAD", "BYE", "PREAUTH"}) : IsOneOf(word, {"OK", "NO", "BAD"});
        if (tag.empty() || rest.empty() || !IsBlank(rest.front()) || !status) return shape;
        shape.kind = ImapLineKind::Status;
        shape.tagged = !untagged;
        text = SkipBlanks(SkipBlanks(rest).substr(word.size()));
    }
    shape.valid = CheckRespText(text, shape);
    return shape;
}
