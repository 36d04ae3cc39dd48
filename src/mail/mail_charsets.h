// Body and header text of Internet mail in the charsets Japanese mail uses, to UTF-8.
// A label the text does not decode with is not trusted: the text is tried as the
// other Japanese charsets before it is given up with replacement characters.
#pragma once

#include <string>
#include <string_view>

struct DecodedText {
    std::string utf8;
    // The text decoded with no charset: undecodable bytes became U+FFFD.
    bool replaced = false;
};

// `bytes` in the charset `label` (a MIME charset name, any case; empty when none is
// given). Tried in turn: the label, ISO-2022-JP (with the NEC and IBM extensions that
// Japanese mail carries: ①, ㈱, ...), Shift_JIS as code page 932, EUC-JP, UTF-8.
DecodedText DecodeMailText(std::string_view bytes, std::string_view label);

// ISO-2022-JP (JIS X 0208 with its row 13 and rows 89-92 extensions, JIS-Roman and
// half-width katakana) to code page 932. False at the first byte that is no ISO-2022-JP.
bool Iso2022JpToCp932(std::string_view bytes, std::string& cp932);
// The same as far as the bytes are ISO-2022-JP: how many were read into `cp932`.
std::size_t ReadIso2022Jp(std::string_view bytes, std::string& cp932);

// UTF-8 to code page 932; each character code page 932 cannot hold becomes "?", as a
// dropped text's do. Returns how many were replaced.
int Utf8ToCp932Replacing(std::string_view utf8, std::string& cp932);
