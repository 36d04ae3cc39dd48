#include "storage/address_book_import.h"

#include "core/yubino_app.h"

PalImportResult ImportPals(CYubinoApp& app, const std::vector<CPenPal>& pals) {
    PalImportResult result;
    CPenPal existing;
    for (const CPenPal& pal : pals) {
        const bool full = app.GetPalCount() >= kMaxPals;
        const bool known = !full && app.FindPalByAddress(pal.m_strMailAddress, existing);
        if (app.AddPal(pal)) {
            ++result.added;
            continue;
        }
        using Reason = PalImportResult::Refusal::Reason;
        result.refused.push_back(
            {pal.m_strMailAddress, full || !known ? Reason::TableFull : Reason::AlreadyRegistered});
    }
    app.UpdateListView();
    app.UpdateMapView();
    return result;
}

int ImportAddressBookEntries(CYubinoApp& app, const std::vector<AddressBookEntry>& entries) {
    std::vector<CPenPal> pals(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        pals[i].m_strHandleName = entries[i].name;
        pals[i].m_strMailAddress = entries[i].address;
    }
    return ImportPals(app, pals).added;
}
