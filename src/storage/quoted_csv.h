// CSV as today's programs write it (RFC 4180): fields separated by commas, quoted with
// double quotes when they hold a separator, a quote (doubled) or a line break.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "storage/imported_pals.h"

struct CsvRecord {
    std::vector<std::string> fields;
    int line = 0;  // where the record begins, counted from 1
};

struct CsvReadResult {
    std::vector<CsvRecord> records;  // blank lines give none
    std::vector<ImportProblem> problems;
};

// The longest field read; a record with a longer one is left out.
inline constexpr std::size_t kMaxCsvFieldBytes = 1u << 20;

// Reads the records of the text. Line ends may be "\r\n", "\n" or "\r", mixed. A quote
// left open to the end drops that record (told with the line it opened on); NUL bytes are
// dropped and told.
CsvReadResult ReadQuotedCsv(std::string_view text, char separator = ',');

// The separator of a header line: a tab when it has tabs and no commas (Outlook's Unicode
// text), else a comma.
char GuessCsvSeparator(std::string_view text);

// The field as written: quoted when it holds a comma, a quote, a line break or edge blanks.
std::string QuoteCsvField(std::string_view field);

// A cell that a spreadsheet would take for a formula (it begins with "=", "+", "-", "@", a
// tab or a CR) behind an apostrophe, as spreadsheet programs document; a plain number
// such as "-1" stays as it is. `GuardedCellValue` takes the apostrophe off again.
std::string GuardCsvCell(std::string_view field);
std::string_view GuardedCellValue(std::string_view field);
