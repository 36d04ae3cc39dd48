// Any address book file offered to the import: vCard, the CSV the old road reads (a
// header field "電子メール アドレス", split at every comma), or CSV as today's programs
// write it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "storage/address_book_csv.h"
#include "storage/imported_pals.h"
#include "storage/pal_csv.h"
#include "storage/quoted_csv.h"

struct AddressBookFile {
    enum class Kind {
        VCard,       // `pals` holds the cards' pals
        OldCsv,      // `oldCsv` holds what the old road read
        Csv,         // `header` and `csv`; `pals` too when `roles` give an address
        CannotOpen,  // missing, unreadable, or no regular file
        TooLarge,
        NotAddressBook,  // binary data (an archive, a picture), or a vCard name without a card
    };
    Kind kind = Kind::CannotOpen;
    AddressBookReadResult oldCsv;
    ImportedPals pals;
    std::vector<std::string> header;  // UTF-8
    std::vector<CsvRole> roles;       // as recognised from the header
    CsvReadResult csv;                // the records after the header, and what was wrong
};

inline constexpr std::size_t kMaxAddressBookBytes = 256u << 20;

// Reads the file under the cap; a ".vcf" or ".vcard" name, or text beginning with
// BEGIN:VCARD, is a vCard file.
AddressBookFile ReadAddressBookForImport(const std::filesystem::path& path);
AddressBookFile ReadAddressBookBytes(std::string_view bytes, bool namedVCard);

// With the roles chosen for the header's columns: `file.pals` from the CSV records.
void ApplyCsvRoles(AddressBookFile& file, const std::vector<CsvRole>& roles);

// The message for a file the old road refuses (code page 932): with a pointer to the
// address book import when the file is a CSV that it reads.
std::string OldCsvRefusalMessage(const std::filesystem::path& path);
