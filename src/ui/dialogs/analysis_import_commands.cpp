#include "ui/dialogs/analysis_import_commands.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "core/file_read.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/address_book_csv.h"
#include "storage/address_book_file.h"
#include "ui/dialogs/import_select_dlg.h"
#include "ui/qt_text.h"

namespace {

// Sort flags that live for the whole run, as the lists' column clicks expect.
ImportSortDirections& ImportListSortDirections() {
    static ImportSortDirections directions;
    return directions;
}

}  // namespace

QString QtFileFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        if (description.isEmpty()) continue;
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));  // a name without a dot is a file too
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(description.endsWith(QLatin1Char(')'))
                           ? description
                           : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::filesystem::path> ChooseCsvFile(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFileFilter(QString::fromUtf8(texts::kCsvFileFilter)));
    dialog.setDefaultSuffix(QString::fromUtf8(texts::kCsvDefaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
}

void RunCsvImport(CYubinoApp& app, QWidget* parent, const QString& folder, const CsvFileChooser& choose) {
    const std::optional<std::filesystem::path> path = choose(parent, folder);
    if (!path) return;
    const AddressBookReadResult book = ReadAddressBookFile(*path);
    if (book.status == AddressBookReadResult::Status::WrongFormat) {
        app.UI().ShowMessage(OldCsvRefusalMessage(*path), MessageKind::Warning);
        return;
    }
    if (book.status == AddressBookReadResult::Status::Unreadable) {
        app.UI().ShowMessage(FileProblemMessage(texts::kCsvUnreadable, *path, book.problem), MessageKind::Warning);
        return;
    }
    CImportSelectDlg dialog(app, book.entries, book.status == AddressBookReadResult::Status::Read,
                            ImportListSortDirections(), parent);
    dialog.exec();
}
