// Choosing which entries of an address book become new pals: all entries start in the
// left list; the ones moved to the right list are added on OK. Cancel adds nothing.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "storage/address_book_csv.h"
#include "ui/dialogs/text_rows_model.h"

class CYubinoApp;
class QTreeView;

// The two lists' sort flags, each for the whole run.
struct ImportSortDirections {
    CSortDirection notImported;
    CSortDirection imported;
};

class CImportSelectDlg : public QDialog {
public:
    // What OK does with the chosen entries; by default each becomes a pal with its name
    // and address only.
    using Importer = std::function<void(const std::vector<AddressBookEntry>&)>;

    // `withColumns` false shows two empty lists without column headers (the file could
    // not be opened, or was empty).
    CImportSelectDlg(CYubinoApp& app, const std::vector<AddressBookEntry>& entries, bool withColumns,
                     ImportSortDirections& directions, QWidget* parent = nullptr, Importer importer = {});

    // The entries of the right list, top to bottom: what OK adds.
    std::vector<AddressBookEntry> ChosenEntries() const;

    void accept() override;

private:
    QTreeView* MakeList(const char* objectName, CTextRowsModel& model, CSortDirection& direction);
    void MoveRight();
    void MoveLeft();

    CYubinoApp& m_app;
    Importer m_importer;
    CTextRowsModel m_notImported;
    CTextRowsModel m_imported;
    QTreeView* m_left;
    QTreeView* m_right;
};
