// Any bytes as a CSV address book of today's programs: the records read, then every
// column tried as a mail address; pals always have one.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "storage/address_book_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AddressBookFile file = ReadAddressBookBytes(std::string_view(reinterpret_cast<const char*>(data), size), false);
    for (const CsvRecord& record : file.csv.records)
        for (const std::string& field : record.fields)
            if (field.size() > kMaxCsvFieldBytes) __builtin_trap();
    std::vector<CsvRole> roles(file.header.size(), CsvRole::Email);
    ApplyCsvRoles(file, roles);
    for (const ImportedPal& pal : file.pals.pals)
        if (pal.pal.m_strMailAddress.empty()) __builtin_trap();
    return 0;
}
