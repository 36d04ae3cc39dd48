#include "archive/text_fold.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace {

// ァ (U+30A1) to ヶ (U+30F6) and the iteration marks ヽヾ have hiragana forms 0x60 below;
// ヷヸヹヺ and the long vowel mark have none and stay.
char16_t ToHiragana(char16_t c) {
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) return static_cast<char16_t>(c - 0x60);
    return c;
}

}  // namespace

std::string FoldForSearch(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkcCf = icu::Normalizer2::getNFKCCasefoldInstance(status);
    if (U_FAILURE(status)) return std::string(utf8);
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
