#include "storage/address_book_import.h"

#include "core/texts.h"
#include "core/table_steps.h"
#include "core/yubino_app.h"

int ImportAddressBookEntries(CYubinoApp& app, const std::vector<AddressBookEntry>& entries) {
    CTableChange change(app, StepKind::Import);
    CPenPal pal;
    int added = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // A full table is told once, with what is left, not once per entry.
        if (app.GetPalCount() >= kMaxPals) {
            app.UI().ShowMessage(FormatText(texts::kImportTableFull, static_cast<int>(entries.size() - i)),
                                 MessageKind::Warning);
            break;
        }
        pal.m_strHandleName = entries[i].name;
        pal.m_strMailAddress = entries[i].address;
        added += app.AddPal(pal);
    }
    app.UpdateListView();
    app.UpdateMapView();
    return added;
}
