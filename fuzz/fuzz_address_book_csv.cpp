// Any bytes as an address book: read, then the entries imported into a table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "storage/address_book_csv.h"
#include "storage/address_book_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AddressBookReadResult result = ReadAddressBook(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const AddressBookEntry& entry : result.entries) {
        if (entry.name.empty() || entry.address.empty() || entry.name.size() > kMaxEntryTextBytes ||
            entry.address.size() > kMaxEntryTextBytes)
            __builtin_trap();
    }
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    ImportAddressBookEntries(app, result.entries);
    if (app.GetPalCount() > kMaxPals) __builtin_trap();
    return 0;
}
