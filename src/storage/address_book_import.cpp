#include "storage/address_book_import.h"

#include "core/mail_address.h"
#include "core/pal_placement.h"
#include "core/table_steps.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

// Every import road ends here: a new pal whose residence names a place, and who brought no
// map of its own, is placed as the dialog and the mail places it.
CPenPal Placed(const CYubinoApp& app, CPenPal pal) {
    PlaceNewPal(app, pal);
    return pal;
}

}  // namespace

PalImportResult ImportPals(CYubinoApp& app, const std::vector<CPenPal>& pals) {
    CTableChange change(app, StepKind::Import);
    using Reason = PalImportResult::Refusal::Reason;
    PalImportResult result;
    int leftOut = 0;
    for (const CPenPal& pal : pals) {
        CPenPal existing;
        // A card whose address differs from a pal's only in letter case is that pal.
        const bool known = FindPalByAnyAddress(app, pal.m_strMailAddress, existing) &&
                           existing.m_strMailAddress != pal.m_strMailAddress;
        // A full table is told once, with the count left out, not once per entry.
        if (known) {
            result.refused.push_back({pal.m_strMailAddress, Reason::AlreadyRegistered});
        } else if (app.GetPalCount() >= kMaxPals) {
            result.refused.push_back({pal.m_strMailAddress, Reason::TableFull});
            ++leftOut;
        } else if (app.AddPal(Placed(app, pal))) {
            ++result.added;
        } else {
            result.refused.push_back({pal.m_strMailAddress, Reason::AlreadyRegistered});
        }
    }
    if (leftOut > 0) app.UI().ShowMessage(FormatText(texts::kImportTableFull, leftOut), MessageKind::Warning);
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
