#include "core/pal_commands.h"

#include <algorithm>

#include "core/pal_info_rules.h"
#include "core/table_steps.h"
#include "core/pal_placement.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

void RefreshViews(CYubinoApp& app) {
    app.UpdateListView();
    app.UpdateMapView();
}

}  // namespace

void AddPalByHand(CYubinoApp& app) {
    CTableChange change(app, StepKind::Add);
    CPenPal pal;
    if (!app.UI().EditPal(pal, PalInfoMode::AddNew)) return;
    PlaceNewPal(app, pal);
    app.AddPal(pal);
    RefreshViews(app);
}

void EditSelectedPal(CYubinoApp& app, const std::string& address) {
    CTableChange change(app, StepKind::Edit);
    CPenPal pal;
    if (!app.FindPalByAddress(address, pal)) return;
    if (!app.UI().EditPal(pal, PalInfoMode::EditOne)) return;
    app.ReplacePal(pal);
    RefreshViews(app);
}

void EditSelectedPals(CYubinoApp& app) {
    CTableChange change(app, StepKind::Edit);
    CPenPal record;
    if (!app.UI().EditPal(record, PalInfoMode::EditSeveral)) return;
    for (const std::string& address : app.UI().GetSelectedAddresses()) {
        CPenPal pal;
        if (!app.FindPalByAddress(address, pal)) continue;
        ApplyMultipleEdit(record, pal);
        app.ReplacePal(pal);
    }
    RefreshViews(app);
}

namespace {

// One pal is named; several are counted.
std::string DeleteQuestion(const CYubinoApp& app, const std::vector<std::string>& addresses) {
    CPenPal pal;
    if (addresses.size() == 1 && app.FindPalByAddress(addresses.front(), pal))
        return FormatText(texts::kDeleteOneQuestion, pal.m_strHandleName);
    return FormatText(texts::kDeleteQuestion, static_cast<int>(addresses.size()));
}

}  // namespace

void DeleteSelectedPals(CYubinoApp& app) {
    const std::vector<std::string> addresses = app.UI().GetSelectedAddresses();
    if (addresses.empty()) return;
    if (!app.UI().AskYesNo(DeleteQuestion(app, addresses))) return;
    CTableChange change(app, StepKind::Delete);
    CPalHistory* history = app.History();
    const bool anyMails = history && std::any_of(addresses.begin(), addresses.end(),
                                                  [&](const std::string& a) { return history->HasMails(a); });
    const bool deleteMails = anyMails && app.UI().AskYesNo(Cp932Text(texts::kDeleteMailsToo));
    for (const std::string& address : addresses) {
        app.DeletePal(address);
        if (history) history->PalDeleted(address, deleteMails);
    }
    RefreshViews(app);
}

void PlaceSelectedPals(CYubinoApp& app) {
    const std::vector<std::string> addresses = app.UI().GetSelectedAddresses();
    if (addresses.empty()) return;
    int moving = 0;
    for (const std::string& address : addresses) {
        CPenPal pal;
        if (app.FindPalByAddress(address, pal) && !pal.m_strMapName.empty() && FindResidencePlace(pal.m_strResidence))
            ++moving;
    }
    if (moving > 0 && !app.UI().AskYesNo(FormatText(texts::kPlaceMoveQuestion, moving))) return;
    if (PlaceStoredPals(app, addresses).empty()) {
        app.UI().ShowMessage(Cp932Text(texts::kPlaceNobody), MessageKind::Information);
        return;
    }
    RefreshViews(app);
}
