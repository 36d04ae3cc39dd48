#include "core/pal_commands.h"

#include <algorithm>

#include "core/pal_info_rules.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

void RefreshViews(CYubinoApp& app) {
    app.UpdateListView();
    app.UpdateMapView();
}

}  // namespace

void AddPalByHand(CYubinoApp& app) {
    CPenPal pal;
    if (!app.UI().EditPal(pal, PalInfoMode::AddNew)) return;
    app.AddPal(pal);
    RefreshViews(app);
}

void EditSelectedPal(CYubinoApp& app, const std::string& address) {
    CPenPal pal;
    if (!app.FindPalByAddress(address, pal)) return;
    if (!app.UI().EditPal(pal, PalInfoMode::EditOne)) return;
    app.ReplacePal(pal);
    RefreshViews(app);
}

void EditSelectedPals(CYubinoApp& app) {
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

void DeleteSelectedPals(CYubinoApp& app) {
    const std::vector<std::string> addresses = app.UI().GetSelectedAddresses();
    if (addresses.empty()) return;
    if (!app.UI().AskYesNo(FormatText(texts::kDeleteQuestion, static_cast<int>(addresses.size())))) return;
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
