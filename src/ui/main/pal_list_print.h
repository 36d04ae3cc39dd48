// The pal list on paper (Ctrl+P while the list is the active pane): a heading and one
// table of the six columns of every listed row, in the list's order, whose header row
// repeats on every page. Qt pages it and numbers the pages.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "core/pen_pal.h"

class CYubinoApp;
class QPrinter;
class QTextDocument;
class QWidget;

std::unique_ptr<QTextDocument> PalListDocument(const std::vector<CPenPal>& rows, const QString& heading);

// Asks which printer to use and sets it up; false when the user cancels.
using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;

// The print dialog.
bool ChoosePrinter(QPrinter& printer, QWidget* parent);

// Prints the rows once a printer is chosen; a printer that fails is told through the port.
void PrintPalList(CYubinoApp& app, const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent,
                  const PrinterChooser& choose = ChoosePrinter);

// The print preview of the same pages, in a dialog from which they can be printed.
void PreviewPalList(const std::vector<CPenPal>& rows, const QString& heading, QWidget* parent);
