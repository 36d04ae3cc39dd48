// Any bytes as an address book: read, then the entries imported into a table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/yubino_app.h"
#include "storage/address_book_csv.h"
#include "storage/address_book_import.h"

namespace {

class SilentUserInterface : public CUserInterface {
public:
    void ShowMessage(const std::string&, MessageKind) override {}
    bool AskYesNo(const std::string&) override { return false; }
    bool EditPal(CPenPal&, PalInfoMode) override { return false; }
    bool EditMailText(std::string&, COleDateTime&) override { return false; }
    bool ChoosePal(std::string&) override { return false; }
    bool GetClipboardText(std::string&) override { return false; }
    bool OpenInShell(const std::string&) override { return false; }
    std::vector<std::string> GetSelectedAddresses() override { return {}; }
    void UpdateListView() override {}
    void UpdateMapView() override {}
    void PreloadPicture(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AddressBookReadResult result = ReadAddressBook(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const AddressBookEntry& entry : result.entries) {
        if (entry.name.empty() || entry.address.empty() || entry.name.size() > kMaxEntryTextBytes ||
            entry.address.size() > kMaxEntryTextBytes)
            __builtin_trap();
    }
    SilentUserInterface ui;
    CYubinoApp app(ui);
    ImportAddressBookEntries(app, result.entries);
    if (app.GetPalCount() > kMaxPals) __builtin_trap();
    return 0;
}
