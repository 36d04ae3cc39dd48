// What the main window's command "OE CSV形式" (address book import) runs; the analysis
// dialog is one of the features (ui/features).
#pragma once

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

class CYubinoApp;
class QWidget;

// Asks for the address book file, starting in `folder`; nothing when the user cancels.
using CsvFileChooser = std::function<std::optional<std::filesystem::path>(QWidget* parent, const QString& folder)>;

// The open-file dialog for address books: CSV files or all files, the file must exist.
std::optional<std::filesystem::path> ChooseCsvFile(QWidget* parent, const QString& folder);

// The import: the file is chosen (the dialog starting in `folder`), read, and its entries
// offered in the import selection dialog. A file of another format is refused with a
// message through the port.
void RunCsvImport(CYubinoApp& app, QWidget* parent, const QString& folder,
                  const CsvFileChooser& choose = ChooseCsvFile);

// The file dialog's name filters, from the "description|patterns|...|" form the
// program's texts use ("*.*" meaning every file).
QString QtFileFilter(const QString& pairs);
