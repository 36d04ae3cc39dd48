#include "archive/text_fold.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <unordered_map>

namespace {

// ァ (U+30A1) to ヶ (U+30F6) and the iteration marks ヽヾ have hiragana forms 0x60 below;
// ヷヸヹヺ and the long vowel mark have none and stay.
char16_t ToHiragana(char16_t c) {
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) return static_cast<char16_t>(c - 0x60);
    return c;
}

constexpr std::size_t kKnownPieces = 65536;

const icu::Normalizer2* NfkcCaseFold() {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkcCf = icu::Normalizer2::getNFKCCasefoldInstance(status);
    return U_FAILURE(status) ? nullptr : nfkcCf;
}

// The end of the piece that starts at `begin`: the next character that folding cannot join
// to the one before it (a malformed byte stands alone).
std::size_t PieceEnd(std::string_view utf8, std::size_t begin, const icu::Normalizer2& nfkcCf) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    auto i = static_cast<int32_t>(begin);
    UChar32 c = 0;
    U8_NEXT(bytes, i, length, c);
    while (i < length) {
        int32_t next = i;
        U8_NEXT(bytes, next, length, c);
        if (c < 0 || nfkcCf.hasBoundaryBefore(c)) break;
        i = next;
    }
    return static_cast<std::size_t>(i);
}

}  // namespace

FoldedText FoldWithOrigins(std::string_view utf8) {
    FoldedText result;
    const icu::Normalizer2* nfkcCf = NfkcCaseFold();
    if (!nfkcCf) {
        result.text = std::string(utf8);
        result.pieces.push_back({0, utf8.size(), 0});
        return result;
    }
    result.text.reserve(utf8.size());
    // Mails repeat few characters many times: each is folded once per thread (the cache
    // starts again should a flood of rare characters fill it).
    thread_local std::unordered_map<std::string, std::string> known;
    if (known.size() > kKnownPieces) known.clear();
    for (std::size_t begin = 0; begin < utf8.size();) {
        const std::size_t end = PieceEnd(utf8, begin, *nfkcCf);
        const std::string_view piece = utf8.substr(begin, end - begin);
        result.pieces.push_back({begin, end, result.text.size()});
        if (piece.size() == 1 && static_cast<unsigned char>(piece[0]) < 0x80) {
            const char c = piece[0];
            result.text += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        } else {
            std::string key(piece);
            auto folded = known.find(key);
            if (folded == known.end()) folded = known.emplace(std::move(key), FoldForSearch(piece)).first;
            result.text += folded->second;
        }
        begin = end;
    }
    return result;
}

std::string FoldForSearch(std::string_view utf8) {
    const icu::Normalizer2* nfkcCf = NfkcCaseFold();
    if (!nfkcCf) return std::string(utf8);
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString source =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    icu::UnicodeString folded = nfkcCf->normalize(source, status);
    if (U_FAILURE(status)) return std::string(utf8);
    for (int32_t i = 0; i < folded.length(); ++i) {
        const char16_t c = folded.charAt(i);
        if (ToHiragana(c) != c) folded.setCharAt(i, ToHiragana(c));
    }
    std::string out;
    folded.toUTF8String(out);
    return out;
}
