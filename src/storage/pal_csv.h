// Pals as CSV: the columns of the address books other programs export (Thunderbird,
// Google Contacts, Outlook in English and Japanese, Yubino's own export) told by their
// header, rows turned into new pals, and pals written with every field.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/pen_pal.h"
#include "storage/imported_pals.h"
#include "storage/pal_fields.h"
#include "storage/quoted_csv.h"

// What a column gives: one pal field (0..25, the values of PalField), a part that other
// columns complete, or nothing.
enum class CsvRole {
    Ignore = -1,
    GivenName = 100,
    FamilyName,
    DisplayName,
    Email,       // the first two give the two addresses, in column order
    EmailLabel,  // the kind of the next Email column ("Mobile" makes it the mobile one)
    MobileEmail,
    Phone,  // the first two give TEL1 and TEL2
    Street,
    City,
    Region,
    FormattedAddress,
    BirthYear,
    BirthMonth,
    BirthDayOfMonth,
    Gender,
    ReadingFamily,
    ReadingGiven,
    PostalCode,
    PhoneLabel,  // the kind of the next Phone column ("Mobile" gives it a slot first)
};
constexpr CsvRole RoleOf(PalField field) { return static_cast<CsvRole>(field); }

// The role of each header field that a known program writes; Ignore for the others.
std::vector<CsvRole> RecognizeCsvHeader(const std::vector<std::string>& header);
// Whether the roles name a mail address, so that rows can become pals.
bool RolesGiveAddress(const std::vector<CsvRole>& roles);

// A pal per record that yields a mail address; `records` without the header. What a column
// of no role holds is reported as dropped, named by `header` when given.
ImportedPals PalsFromCsvRecords(std::span<const CsvRecord> records, const std::vector<CsvRole>& roles,
                                const std::vector<std::string>& header = {});

enum class CsvEncoding { Utf8WithBom, Cp932 };
// Guarded: a cell that a spreadsheet would run as a formula gets a leading apostrophe
// (GuardCsvCell); Raw: every cell as it is, for programs that read plain CSV.
enum class CsvCells { Guarded, Raw };

// Every field of every pal under a Japanese header, dates as YYYY-MM-DD, lines ended by
// CRLF.
std::string WritePalCsv(std::span<const CPenPal> pals, CsvEncoding encoding, CsvCells cells = CsvCells::Guarded);
