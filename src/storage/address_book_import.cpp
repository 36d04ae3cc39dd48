#include "storage/address_book_import.h"

#include <algorithm>

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

bool AddImportedPal(CYubinoApp& app, const CPenPal& pal, PalImportResult& result) {
    using Reason = PalImportResult::Refusal::Reason;
    // A card whose address is a pal's, letter case aside (any of its three), is that pal,
    // refused as the table refuses the same spelling.
    if (CPenPal existing; FindPalByAnyAddress(app, pal.m_strMailAddress, existing) &&
                          existing.m_strMailAddress != pal.m_strMailAddress) {
        app.UI().ShowMessage(FormatText(texts::kAlreadyRegistered, pal.m_strMailAddress), MessageKind::Warning);
        result.refused.push_back({pal.m_strMailAddress, Reason::AlreadyRegistered});
        return false;
    }
    if (app.GetPalCount() >= kMaxPals) {
        result.refused.push_back({pal.m_strMailAddress, Reason::TableFull});
        return false;
    }
    if (app.AddPal(Placed(app, pal))) {
        ++result.added;
        return true;
    }
    result.refused.push_back({pal.m_strMailAddress, Reason::AlreadyRegistered});
    return false;
}

void FinishImport(CYubinoApp& app, const PalImportResult& result) {
    // A full table is told once, with the count left out, not once per entry.
    const auto leftOut = std::count_if(result.refused.begin(), result.refused.end(), [](const auto& refusal) {
        return refusal.reason == PalImportResult::Refusal::Reason::TableFull;
    });
    if (leftOut > 0)
        app.UI().ShowMessage(FormatText(texts::kImportTableFull, static_cast<int>(leftOut)), MessageKind::Warning);
    app.UpdateListView();
    app.UpdateMapView();
}

PalImportResult ImportPals(CYubinoApp& app, const std::vector<CPenPal>& pals) {
    CTableChange change(app, StepKind::Import);
    PalImportResult result;
    for (const CPenPal& pal : pals) AddImportedPal(app, pal, result);
    FinishImport(app, result);
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
