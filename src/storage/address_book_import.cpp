#include "storage/address_book_import.h"

#include "core/table_steps.h"
#include "core/yubino_app.h"

int ImportAddressBookEntries(CYubinoApp& app, const std::vector<AddressBookEntry>& entries) {
    CTableChange change(app, StepKind::Import);
    CPenPal pal;
    int added = 0;
    for (const AddressBookEntry& entry : entries) {
        pal.m_strHandleName = entry.name;
        pal.m_strMailAddress = entry.address;
        added += app.AddPal(pal);
    }
    app.UpdateListView();
    app.UpdateMapView();
    return added;
}
