// The address book commands: any vCard or CSV file imported through the selection
// dialog (with the columns of an unknown CSV assigned first), and pals exported.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CPalCardStore;
class CYubinoApp;
class QWidget;

// The open-file dialog for address books: vCard, CSV or all files, starting in `folder`.
std::optional<std::filesystem::path> ChooseAddressBookFile(QWidget* parent, const QString& folder);

// Reads the file and offers its pals in the import selection dialog; the file's
// problems and refusals are told through the port. The old CSV format keeps its road.
// A pal already in the table merges, the user choosing where both differ; the records of
// the pals go to `cards` when given.
void RunAddressBookImport(CYubinoApp& app, QWidget* parent, const std::filesystem::path& path,
                          CPalCardStore* cards = nullptr);

enum class ExportFormat { VCard, CsvUtf8, CsvCp932 };

// Asks where to write (the dialog starting in `folder`) and writes the pals with the given
// addresses (all pals when none), with their records from `cards` when given.
void RunPalExport(CYubinoApp& app, QWidget* parent, const QString& folder, const std::vector<std::string>& addresses,
                  ExportFormat format, CPalCardStore* cards = nullptr);
