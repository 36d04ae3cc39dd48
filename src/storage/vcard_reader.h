// vCard 2.1, 3.0 and 4.0 files read into cards of properties: lines unfolded, the
// parameters split, quoted-printable and base64 undone, every text turned into UTF-8.
// What the properties mean is left to the caller.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/imported_pals.h"

struct VCardProperty {
    std::string name;   // upper case, without its group ("TEL", "X-YUBINO-MAP")
    std::string group;  // upper case ("ITEM1" of "item1.EMAIL"), "" without one
    // Parameter names upper case; a list value ("HOME,CELL") gives one pair per item. The
    // bare parameters of vCard 2.1 ("TEL;CELL:") are TYPE values.
    std::vector<std::pair<std::string, std::string>> params;
    // The value as written (escapes kept) in UTF-8; for base64 the decoded bytes.
    std::string value;
    bool binary = false;  // `value` holds bytes decoded from base64
    int line = 0;         // where the property begins, counted from 1

    // The first value of a parameter, or "".
    std::string Param(std::string_view name) const;
    // Whether TYPE (or, in 2.1, a bare parameter) names `type`, ignoring case.
    bool HasType(std::string_view type) const;
};

struct VCard {
    int line = 0;  // the BEGIN line
    std::vector<VCardProperty> properties;
};

struct VCardReadResult {
    std::vector<VCard> cards;  // only cards that ended with END:VCARD
    std::vector<ImportProblem> problems;
};

// Longest logical line read; a longer property is skipped with a problem.
inline constexpr std::size_t kMaxVCardLineBytes = 16u << 20;
// Longest decoded text value kept; a photo has its own limit.
inline constexpr std::size_t kMaxVCardTextBytes = 1u << 20;
// Largest photo kept.
inline constexpr std::size_t kMaxVCardPhotoBytes = 10u << 20;

VCardReadResult ReadVCards(std::string_view bytes);

// A text value without its escapes ("\n", "\,", "\;", "\\").
std::string UnescapeVCardText(std::string_view value);
// A structured value (N, ADR) split at the semicolons that are not escaped, unescaped.
// (NICKNAME, CATEGORIES split at the commas with `separator` ",").
std::vector<std::string> SplitVCardComponents(std::string_view value, char separator = ';');

// Base64 (whitespace allowed, padding optional); nothing when it does not decode.
std::optional<std::string> DecodeBase64(std::string_view text);
