#include "ui/dialogs/address_book_commands.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/address_book_file.h"
#include "storage/atomic_file.h"
#include "storage/csv_column_memory.h"
#include "storage/pal_import.h"
#include "storage/pal_vcard.h"
#include "ui/dialogs/analysis_import_commands.h"
#include "ui/dialogs/csv_columns_dlg.h"
#include "ui/dialogs/import_select_dlg.h"
#include "ui/dialogs/merge_choice_dlg.h"

namespace {

ImportSortDirections& SortDirections() {
    static ImportSortDirections directions;
    return directions;
}

std::string PathText(const std::filesystem::path& path) { return cp932::FromUtf8(path.string()).value_or("?"); }

// Qt's own file dialog with a check box under it: whether cells that a spreadsheet would run
// as formulas are written behind an apostrophe.
QCheckBox* AddFormulaGuardBox(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* box = new QCheckBox(QString::fromUtf8(texts::kExportGuardFormulas), &dialog);
    box->setObjectName(QStringLiteral("guardFormulas"));
    box->setChecked(true);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) grid->addWidget(box, grid->rowCount(), 0, 1, -1);
    return box;
}

// The columns of an unknown CSV header: remembered for it, or asked and remembered.
bool ChooseCsvRoles(AddressBookFile& file, QWidget* parent) {
    const std::filesystem::path memory = CsvColumnMemoryFile();
    if (std::optional<std::vector<CsvRole>> roles = RecallCsvRoles(memory, file.header);
        roles && RolesGiveAddress(*roles)) {
        ApplyCsvRoles(file, *roles);
        return true;
    }
    const std::vector<std::string> sample =
        file.csv.records.empty() ? std::vector<std::string>{} : file.csv.records.front().fields;
    CCsvColumnsDlg dialog(file.header, sample, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    RememberCsvRoles(memory, file.header, dialog.Roles());
    ApplyCsvRoles(file, dialog.Roles());
    return true;
}

void OfferOldCsv(CYubinoApp& app, QWidget* parent, const AddressBookReadResult& book) {
    if (book.status == AddressBookReadResult::Status::WrongFormat) {
        app.UI().ShowMessage(Cp932Text(texts::kCsvWrongFormat), MessageKind::Warning);
        return;
    }
    CImportSelectDlg dialog(app, book.entries, book.status == AddressBookReadResult::Status::Read, SortDirections(),
                            parent);
    dialog.exec();
}

// Pals of the table merge with what the file brings; where both hold a field differently
// the user chooses per field. What no field took is told afterwards.
void ImportChosen(CYubinoApp& app, const std::vector<ImportedPal>& pals, CPalCardStore* cards, QWidget* parent) {
    AddressBookImportOptions options;
    options.cards = cards;
    options.choose = [parent](const CPenPal& ours, const ImportedPal&, const std::vector<FieldConflict>& conflicts) {
        CMergeChoiceDlg dialog(ours.m_strHandleName.empty() ? ours.m_strMailAddress : ours.m_strHandleName, conflicts,
                               parent);
        dialog.exec();
        return dialog.Chosen();
    };
    const AddressBookImportResult result = ImportAddressBookPals(app, pals, app.m_dataFolder, options);
    if (!result.dropped.empty())
        app.UI().ShowMessage(Cp932Text(texts::kImportDroppedTitle) + "\r\n" + DescribeDropped(result.dropped),
                             MessageKind::Information);
}

}  // namespace

std::optional<std::filesystem::path> ChooseAddressBookFile(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFileFilter(QString::fromUtf8(texts::kAddressBookFilter)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

void RunAddressBookImport(CYubinoApp& app, QWidget* parent, const std::filesystem::path& path, CPalCardStore* cards) {
    AddressBookFile file = ReadAddressBookForImport(path);
    switch (file.kind) {
        case AddressBookFile::Kind::CannotOpen:
        case AddressBookFile::Kind::TooLarge:
            app.UI().ShowMessage(
                FormatText(file.kind == AddressBookFile::Kind::TooLarge ? texts::kAddressBookTooLarge
                                                                        : texts::kAddressBookUnreadable,
                           PathText(path)),
                MessageKind::Warning);
            return;
        case AddressBookFile::Kind::NotAddressBook:
            app.UI().ShowMessage(FormatText(texts::kAddressBookNotOne, PathText(path)), MessageKind::Warning);
            return;
        case AddressBookFile::Kind::OldCsv:
            return OfferOldCsv(app, parent, file.oldCsv);
        case AddressBookFile::Kind::Csv:
            // Without a header (a quote open from the start) there are no columns to ask about.
            if (!RolesGiveAddress(file.roles) && !file.header.empty() && !ChooseCsvRoles(file, parent)) return;
            break;
        case AddressBookFile::Kind::VCard:
            break;
    }
    if (!file.pals.problems.empty())
        app.UI().ShowMessage(DescribeImportProblems(file.pals.problems), MessageKind::Warning);
    if (file.pals.pals.empty()) {
        app.UI().ShowMessage(Cp932Text(texts::kAddressBookNoPals), MessageKind::Information);
        return;
    }
    std::vector<AddressBookEntry> entries;
    for (const ImportedPal& pal : file.pals.pals)
        entries.push_back({pal.pal.m_strHandleName, pal.pal.m_strMailAddress});
    const std::vector<ImportedPal>& pals = file.pals.pals;
    CImportSelectDlg dialog(app, entries, true, SortDirections(), parent,
                            [&app, &pals, parent, cards](const std::vector<AddressBookEntry>& chosen) {
                                std::vector<std::string> addresses;
                                for (const AddressBookEntry& entry : chosen) addresses.push_back(entry.address);
                                ImportChosen(app, ChosenPals(pals, addresses), cards, parent);
                            });
    dialog.exec();
}

void RunPalExport(CYubinoApp& app, QWidget* parent, const QString& folder, const std::vector<std::string>& addresses,
                  ExportFormat format, CPalCardStore* cards) {
    const bool vcard = format == ExportFormat::VCard;
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QtFileFilter(QString::fromUtf8(vcard ? texts::kExportVCardFilter : texts::kExportCsvFilter)));
    dialog.setDefaultSuffix(vcard ? QStringLiteral("vcf") : QStringLiteral("csv"));
    const QCheckBox* guard = vcard ? nullptr : AddFormulaGuardBox(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const CsvCells cells = guard && !guard->isChecked() ? CsvCells::Raw : CsvCells::Guarded;
    const std::filesystem::path path(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());

    std::vector<CPenPal> pals;
    CPenPal pal;
    for (const std::string& address : addresses)
        if (app.FindPalByAddress(address, pal)) pals.push_back(pal);
    if (addresses.empty()) pals = app.Pals();
    const std::string bytes =
        vcard
            ? WriteVCards(pals, VCardVersion::V4, app.m_dataFolder, RecordsForExport(pals, cards))
            : WritePalCsv(pals, format == ExportFormat::CsvUtf8 ? CsvEncoding::Utf8WithBom : CsvEncoding::Cp932, cells);
    if (!WriteFileAtomically(path, bytes).ok)
        app.UI().ShowMessage(FormatText(texts::kExportFailed, PathText(path)), MessageKind::Warning);
}
