// The address book exported as CSV: a header line of field names, then one entry per
// line. Only the display name and the e-mail address are taken.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct AddressBookEntry {
    std::string name;     // code page 932
    std::string address;  // code page 932
    bool operator==(const AddressBookEntry&) const = default;
};

struct AddressBookReadResult {
    enum class Status {
        Read,         // the header named the e-mail field; `entries` holds what the lines gave
        Unreadable,   // the file could not be opened: nothing to show, nothing to say
        Empty,        // no header line: nothing to show, nothing to say
        WrongFormat,  // the header has no e-mail field: the user is told
    };
    Status status = Status::Read;
    std::vector<AddressBookEntry> entries;
    std::string problem;  // why the file was Unreadable, in Japanese (UTF-8)
};

// The longest display name or address an entry holds; a line with a longer one is
// skipped, as a cut address would be a wrong one.
inline constexpr std::size_t kMaxEntryTextBytes = 255;

// Reads the file's bytes. Code page 932 as exported; a file that is valid UTF-8 (with or
// without a byte-order mark) is read as UTF-8 and converted, characters code page 932
// lacks becoming "?".
//
// Fields are split at every comma and taken verbatim (no quotes removed, no blanks
// trimmed); the fields named exactly "表示名" and "電子メール アドレス" (the last one when a
// name repeats) give the entry. Lines with an empty name or address are skipped.
AddressBookReadResult ReadAddressBook(std::string_view bytes);

// Only a regular file, read up to kAddressBookFileCap.
AddressBookReadResult ReadAddressBookFile(const std::filesystem::path& path);
