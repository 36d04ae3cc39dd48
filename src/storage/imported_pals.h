// What reading an address book gives: new pals, each with the photo it brought, and
// what could not be read as it stood, and where.
#pragma once

#include <string>
#include <vector>

#include "core/pal_card.h"
#include "core/pen_pal.h"

struct ImportProblem {
    enum class Kind {
        CardNotEnded,    // a card without END:VCARD; it was left out
        LineTooLong,     // a line beyond the limit; that property was left out
        PhotoTooLarge,   // a photo beyond the limit; the pal has none
        BadBase64,       // base64 that does not decode; that property was left out
        NulBytes,        // NUL bytes in a line; they were dropped
        QuoteNotClosed,  // a CSV quote open until the end; that record was left out
        FieldTooLong,    // a CSV field beyond the limit; that record was left out
    };
    Kind kind;
    int line;  // counted from 1
    bool operator==(const ImportProblem&) const = default;
};

// The problem as a line for the user, in code page 932.
std::string DescribeImportProblem(const ImportProblem& problem);
// At most `maxLines` problems, one per line, and how many more there were.
std::string DescribeImportProblems(const std::vector<ImportProblem>& problems, std::size_t maxLines = 10);

// One pal as an address book gave it.
struct ImportedPal {
    CPenPal pal;
    std::string photo;  // bytes of a photo the file held, to be saved when the pal is added
    int line = 0;       // where its card or row began
    PalCard card;       // what the pal's record cannot hold (no UID yet unless the file gave one)
    std::vector<std::string> dropped;  // what the card or row held that no field took (UTF-8)
};

struct ImportedPals {
    std::vector<ImportedPal> pals;
    std::vector<ImportProblem> problems;
};
