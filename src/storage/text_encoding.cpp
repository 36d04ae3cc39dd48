#include "storage/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "core/cp932.h"

namespace {

using Byte = unsigned char;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Converts with iconv, each byte it cannot take becoming U+FFFD.
std::optional<std::string> IconvToUtf8(std::string_view bytes, const char* from) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 16);
    char buffer[4096];
    char* src = const_cast<char*>(bytes.data());
    std::size_t srcLeft = bytes.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            out.append(kReplacement);
            ++src;  // skip the byte that does not decode
            --srcLeft;
        }
    }
    iconv_close(cd);
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, const char* order) {
    if (bytes.size() % 2) bytes.remove_suffix(1);
    return IconvToUtf8(bytes, order).value_or(std::string());
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view text, std::size_t pos) {
    const Byte lead = static_cast<Byte>(text[pos]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    Byte low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const Byte b = static_cast<Byte>(text[pos + i]);
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, pos);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

bool LooksLikeUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes) &&
           std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<Byte>(c) >= 0x80; });
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
    if (std::optional<std::string> whole = cp932::FromUtf8(utf8)) return *whole;
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(Utf8SequenceAt(utf8, pos), 1);
        std::optional<std::string> one = length > 1 || static_cast<Byte>(utf8[pos]) < 0x80
                                             ? cp932::FromUtf8(utf8.substr(pos, length))
                                             : std::nullopt;
        out += one.value_or("?");
        pos += length;
    }
    return out;
}

std::string DecodeTextFile(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    else if (bytes.starts_with(kUtf16LeBom))
        return Utf16ToUtf8(bytes.substr(2), "UTF-16LE");
    else if (bytes.starts_with(kUtf16BeBom))
        return Utf16ToUtf8(bytes.substr(2), "UTF-16BE");
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return cp932::ToUtf8(bytes);
}

std::optional<std::string> CharsetToUtf8(std::string_view bytes, const std::string& charset) {
    std::string name;
    for (char c : charset) name += static_cast<char>(std::toupper(static_cast<Byte>(c)));
    if (name == "UTF-8" || name == "US-ASCII")
        return IsValidUtf8(bytes) ? std::string(bytes) : IconvToUtf8(bytes, "UTF-8");
    // Japanese phones name Shift_JIS but write the Windows form of it.
    if (name == "SHIFT_JIS" || name == "SHIFT-JIS" || name == "SJIS" || name == "X-SJIS" || name == "WINDOWS-31J")
        name = "CP932";
    return IconvToUtf8(bytes, name.c_str());
}
