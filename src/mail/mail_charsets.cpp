#include "mail/mail_charsets.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <vector>

#include "core/cp932.h"

namespace {

constexpr char kEsc = '\x1b';

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return lower;
}

// The whole of `bytes` through iconv, or nothing when a byte does not convert. With
// `cutEndAllowed`, a character cut off at the very end (a truncated part) becomes U+FFFD.
std::optional<std::string> Iconv(std::string_view bytes, const char* from, bool cutEndAllowed) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    char* src = const_cast<char*>(bytes.data());
    std::size_t srcLeft = bytes.size();
    std::array<char, 4096> buffer;
    bool ok = true;
    while (ok) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t rc =
            srcLeft ? iconv(cd, &src, &srcLeft, &dst, &dstLeft) : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer.data(), buffer.size() - dstLeft);
        if (rc == static_cast<std::size_t>(-1) && errno == EINVAL && cutEndAllowed) {
            out += "\xEF\xBF\xBD";
            break;
        }
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
            ok = false;
        else if (rc != static_cast<std::size_t>(-1) && srcLeft == 0)
            break;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

enum class Charset { kIso2022Jp, kCp932, kEucJp, kUtf8, kOther };

Charset Classify(const std::string& label) {
    if (label.starts_with("iso-2022-jp") || label == "csiso2022jp") return Charset::kIso2022Jp;
    // Mail labelled Shift_JIS is written by Windows programs: code page 932 is what it holds.
    for (const char* name : {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j",
                             "cp932", "ms932", "x-ms-cp932"})
        if (label == name) return Charset::kCp932;
    for (const char* name : {"euc-jp", "x-euc-jp", "eucjp", "cseucpkdfmtjapanese"})
        if (label == name) return Charset::kEucJp;
    if (label == "utf-8" || label == "utf8" || label == "us-ascii" || label == "ascii") return Charset::kUtf8;
    return Charset::kOther;
}

std::optional<std::string> DecodeAs(std::string_view bytes, Charset charset, const std::string& label,
                                    bool cutEndAllowed) {
    switch (charset) {
        case Charset::kIso2022Jp: {
            // A text cut off at a size cap may end inside a character or an escape sequence:
            // at most three 7-bit bytes left over.
            std::string cp932;
            const std::size_t read = ReadIso2022Jp(bytes, cp932);
            const std::string_view rest = bytes.substr(read);
            const bool cutEnd = cutEndAllowed && rest.size() <= 3 &&
                                std::all_of(rest.begin(), rest.end(), [](char c) { return (c & 0x80) == 0; });
            if (!rest.empty() && !cutEnd) return std::nullopt;
            return Iconv(cp932, "CP932", cutEndAllowed);
        }
        case Charset::kCp932:
            return Iconv(bytes, "CP932", cutEndAllowed);
        case Charset::kEucJp:
            return Iconv(bytes, "EUC-JP-MS", cutEndAllowed);
        case Charset::kUtf8:
            return Iconv(bytes, "UTF-8", cutEndAllowed);
        case Charset::kOther:
            return Iconv(bytes, label.c_str(), cutEndAllowed);
    }
    return std::nullopt;
}

// Shift_JIS bytes of a JIS X 0208 row and cell (0x21..0x7E each). Rows 13 and 89-92 land
// on code page 932's NEC and IBM extensions, as Japanese mail programs write them.
void AppendJisAsShiftJis(unsigned j1, unsigned j2, std::string& out) {
    const unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    const unsigned s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
}

// Byte length of the well-formed UTF-8 sequence at text[pos], or 0.
std::size_t ValidUtf8Length(std::string_view text, std::size_t pos) {
    const auto c = static_cast<unsigned char>(text[pos]);
    const std::size_t len = c < 0x80                 ? 1
                            : c >= 0xC2 && c <= 0xDF ? 2
                            : (c & 0xF0) == 0xE0     ? 3
                            : c >= 0xF0 && c <= 0xF4 ? 4
                                                     : 0;
    if (len == 0 || pos + len > text.size()) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 0;
    return len;
}

// U+FF61..U+FF9F in UTF-8: EF BD A1..BF, EF BE 80..9F.
bool HasHalfWidthKatakana(std::string_view utf8) {
    for (std::size_t i = utf8.find('\xEF'); i != std::string_view::npos && i + 2 < utf8.size();
         i = utf8.find('\xEF', i + 1)) {
        const auto b1 = static_cast<unsigned char>(utf8[i + 1]), b2 = static_cast<unsigned char>(utf8[i + 2]);
        if ((b1 == 0xBD && b2 >= 0xA1) || (b1 == 0xBE && b2 <= 0x9F)) return true;
    }
    return false;
}

}  // namespace

bool Iso2022JpToCp932(std::string_view bytes, std::string& cp932) {
    return ReadIso2022Jp(bytes, cp932) == bytes.size();
}

std::size_t ReadIso2022Jp(std::string_view bytes, std::string& cp932) {
    enum class Set { kAscii, kKana, kJis0208 } set = Set::kAscii;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) return i;
        if (c == kEsc) {
            const std::string_view seq = bytes.substr(i + 1, 2);
            if (seq == "(B" || seq == "(J")
                set = Set::kAscii;
            else if (seq == "(I")
                set = Set::kKana;
            else if (seq == "$B" || seq == "$@")
                set = Set::kJis0208;
            else
                return i;  // JIS X 0212 and others: no code page 932 form
            i += 2;
            continue;
        }
        if (c == '\n' || c == '\r') {
            set = set == Set::kJis0208 ? Set::kAscii : set;  // a line never continues a two-byte run
            cp932 += static_cast<char>(c);
            continue;
        }
        switch (set) {
            case Set::kAscii:
                cp932 += static_cast<char>(c);
                break;
            case Set::kKana:
                if (c < 0x21 || c > 0x5F) return i;
                cp932 += static_cast<char>(c + 0x80);
                break;
            case Set::kJis0208: {
                if (i + 1 >= bytes.size()) return i;
                const auto c2 = static_cast<unsigned char>(bytes[i + 1]);
                if (c < 0x21 || c > 0x7E || c2 < 0x21 || c2 > 0x7E) return i;
                AppendJisAsShiftJis(c, c2, cp932);
                ++i;
                break;
            }
        }
    }
    return bytes.size();
}

DecodedText DecodeMailText(std::string_view bytes, std::string_view label) {
    const std::string given = Lower(label);
    const Charset labelled = given.empty() ? Charset::kUtf8 : Classify(given);
    // Escape sequences of JIS X 0208 mean ISO-2022-JP whatever the label says: the text
    // would otherwise "decode" as ASCII with the escapes left in it.
    const bool hasJisEscapes =
        bytes.find("\x1b$B") != std::string_view::npos || bytes.find("\x1b$@") != std::string_view::npos;
    std::vector<Charset> order;
    if (hasJisEscapes) order.push_back(Charset::kIso2022Jp);
    order.push_back(labelled);
    for (Charset c : {Charset::kIso2022Jp, Charset::kCp932, Charset::kEucJp, Charset::kUtf8})
        if (std::find(order.begin(), order.end(), c) == order.end()) order.push_back(c);
    for (Charset charset : order) {
        auto text = DecodeAs(bytes, charset, given, charset == labelled || charset == Charset::kIso2022Jp);
        if (!text) continue;
        // EUC-JP bytes nearly always read as code page 932 too, as half-width katakana;
        // genuine code page 932 with anything but those katakana is no EUC-JP.
        if (charset == Charset::kCp932 && charset != labelled && HasHalfWidthKatakana(*text)) {
            if (auto euc = DecodeAs(bytes, Charset::kEucJp, given, false)) return {std::move(*euc), false};
        }
        return {std::move(*text), false};
    }
    // Nothing fits: UTF-8 with each byte that starts no character as U+FFFD.
    DecodedText result{"", true};
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = ValidUtf8Length(bytes, i);
        if (len) {
            result.utf8.append(bytes.substr(i, len));
            i += len;
        } else {
            result.utf8 += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return result;
}

int Utf8ToCp932Replacing(std::string_view utf8, std::string& cp932) {
    if (auto whole = cp932::FromUtf8(utf8)) {
        cp932 = std::move(*whole);
        return 0;
    }
    // Character by character only when something does not convert.
    int replaced = 0;
    cp932.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t len = std::max<std::size_t>(1, ValidUtf8Length(utf8, i));
        if (auto one = cp932::FromUtf8(utf8.substr(i, len))) {
            cp932 += *one;
        } else {
            cp932 += '?';
            ++replaced;
        }
        i += len;
    }
    return replaced;
}
