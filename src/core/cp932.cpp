#include "core/cp932.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

namespace cp932 {
namespace {

using Byte = unsigned char;

// One iconv descriptor per direction and thread; iconv_open parses tables, so keep them.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns the count of input bytes consumed. Output is
    // appended to `out`. Stops at the first sequence that cannot be converted.
    std::size_t Convert(std::string_view in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::array<char, 4096> buffer;
        while (srcLeft > 0) {
            char* dst = buffer.data();
            std::size_t dstLeft = buffer.size();
            std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer.data(), buffer.size() - dstLeft);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - srcLeft;
    }

private:
    iconv_t m_cd;
};

Converter& ToUtf8Converter() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}
Converter& FromUtf8Converter() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}
Converter& FromUtf16Converter() {
    thread_local Converter c("CP932", "UTF-16LE");
    return c;
}

std::size_t Utf8SequenceLength(Byte c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

// Pairs of (full-width code, half-width byte) beyond the regular ASCII block.
struct WidthPair {
    unsigned full;
    Byte half;
};

// ASCII punctuation and space: code page 932 has no regular arrangement for these.
constexpr std::array<WidthPair, 33> kAsciiPairs{{
    {0x8140, ' '},  {0x8149, '!'}, {0x8168, '"'}, {0x8194, '#'}, {0x8190, '$'}, {0x8193, '%'},
    {0x8195, '&'},  {0x8166, '\''}, {0x8169, '('}, {0x816A, ')'}, {0x8196, '*'}, {0x817B, '+'},
    {0x8143, ','},  {0x817C, '-'}, {0x8144, '.'}, {0x815E, '/'}, {0x8146, ':'}, {0x8147, ';'},
    {0x8183, '<'},  {0x8181, '='}, {0x8184, '>'}, {0x8148, '?'}, {0x8197, '@'}, {0x816D, '['},
    {0x818F, '\\'}, {0x816E, ']'}, {0x814F, '^'}, {0x8151, '_'}, {0x8165, '`'}, {0x816F, '{'},
    {0x8162, '|'},  {0x8170, '}'}, {0x8160, '~'},
}};

// Half-width katakana and marks 0xA1..0xDF and their full-width counterparts.
constexpr std::array<unsigned, 63> kKanaFull{
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};

// Half-width byte for a full-width code, or 0 when there is none.
Byte HalfOf(unsigned full) {
    if (full >= 0x824F && full <= 0x8258) return static_cast<Byte>('0' + (full - 0x824F));
    if (full >= 0x8260 && full <= 0x8279) return static_cast<Byte>('A' + (full - 0x8260));
    if (full >= 0x8281 && full <= 0x829A) return static_cast<Byte>('a' + (full - 0x8281));
    for (const auto& p : kAsciiPairs)
        if (p.full == full) return p.half;
    for (std::size_t i = 0; i < kKanaFull.size(); ++i)
        if (kKanaFull[i] == full) return static_cast<Byte>(0xA1 + i);
    return 0;
}

// Full-width code for a half-width byte, or 0 when there is none.
unsigned FullOf(Byte half) {
    if (half >= '0' && half <= '9') return 0x824F + (half - '0');
    if (half >= 'A' && half <= 'Z') return 0x8260 + (half - 'A');
    if (half >= 'a' && half <= 'z') return 0x8281 + (half - 'a');
    for (const auto& p : kAsciiPairs)
        if (p.half == half) return p.full;
    if (half >= 0xA1 && half <= 0xDF) return kKanaFull[half - 0xA1];
    return 0;
}

void AppendCode(std::string& out, unsigned code) {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<Byte>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

int Compare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t la = CharLength(a, i), lb = CharLength(b, j);
        unsigned ca = la == 2 ? static_cast<Byte>(a[i]) * 256u + static_cast<Byte>(a[i + 1]) : static_cast<Byte>(a[i]);
        unsigned cb = lb == 2 ? static_cast<Byte>(b[j]) * 256u + static_cast<Byte>(b[j + 1]) : static_cast<Byte>(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        i += la;
        j += lb;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    for (std::size_t pos = 0; pos < haystack.size(); pos += CharLength(haystack, pos)) {
        if (pos < from) continue;
        if (haystack.substr(pos, needle.size()) == needle) return pos;
    }
    return std::string_view::npos;
}

std::string ToHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t len = CharLength(text, pos);
        Byte half = 0;
        if (len == 2) half = HalfOf(static_cast<Byte>(text[pos]) * 256u + static_cast<Byte>(text[pos + 1]));
        if (half != 0)
            out.push_back(static_cast<char>(half));
        else
            out.append(text.substr(pos, len));
        pos += len;
    }
    return out;
}

std::string ToFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t len = CharLength(text, pos);
        unsigned full = len == 1 ? FullOf(static_cast<Byte>(text[pos])) : 0;
        if (full != 0)
            AppendCode(out, full);
        else
            out.append(text.substr(pos, len));
        pos += len;
    }
    return out;
}

std::string ToUtf8(std::string_view text, bool escapeInvalid) {
    std::string out;
    out.reserve(text.size() * 3 / 2);
    Converter& conv = ToUtf8Converter();
    while (!text.empty()) {
        std::size_t used = conv.Convert(text, out);
        text.remove_prefix(used);
        if (text.empty()) break;
        if (escapeInvalid) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<Byte>(text[0]));
            out += escaped;
        } else {
            out += "\xEF\xBF\xBD";
        }
        text.remove_prefix(1);
    }
    return out;
}

std::optional<std::string> FromUtf8(std::string_view utf8, std::string* unconvertible) {
    std::string out;
    out.reserve(utf8.size());
    bool ok = true;
    Converter& conv = FromUtf8Converter();
    while (!utf8.empty()) {
        std::size_t used = conv.Convert(utf8, out);
        utf8.remove_prefix(used);
        if (utf8.empty()) break;
        ok = false;
        std::size_t len = std::min(Utf8SequenceLength(static_cast<Byte>(utf8[0])), utf8.size());
        if (unconvertible) unconvertible->append(utf8.substr(0, len));
        if (!unconvertible) break;
        utf8.remove_prefix(len);
    }
    if (!ok) return std::nullopt;
    return out;
}

std::string FromUtf16Le(std::string_view bytes) {
    std::string out;
    Converter& conv = FromUtf16Converter();
    while (!bytes.empty()) {
        std::size_t used = conv.Convert(bytes, out);
        bytes.remove_prefix(used);
        if (bytes.empty()) break;
        out.push_back('?');
        // Skip one code unit, or a whole surrogate pair that has no code page 932 form.
        if (bytes.size() < 2) break;
        unsigned unit = static_cast<Byte>(bytes[0]) | static_cast<Byte>(bytes[1]) << 8;
        bool pair = unit >= 0xD800 && unit <= 0xDBFF && bytes.size() >= 4;
        bytes.remove_prefix(std::min<std::size_t>(bytes.size(), pair ? 4 : 2));
    }
    return out;
}

}  // namespace cp932
