// The received date of a mail, read from its date line the way sscanf reads a line.
#pragma once

#include <string_view>

#include "core/ole_date_time.h"

// Reads `line` as sscanf would with `pattern`, a pattern of literal bytes, white space
// (matching any run of white space, an empty one too) and "%d" conversions (optional white
// space, an optional sign, decimal digits). The integers read go into `values` in order;
// scanning stops at the first mismatch, so the values after it keep what they held.
// Returns false when a number does not fit an int (sscanf's result would be undefined).
bool ScanIntegers(std::string_view line, std::string_view pattern, int* values, int count);

// Sets `date` to the date of the line "日時 :  <year>年 <month>月 <day>日" at 00:00:00.
// Numbers the line lacks are 2000, 1 and 1; numbers that form no date (or do not fit an
// int) mark `date` invalid and keep its value.
void ReadReceivedDate(std::string_view line, COleDateTime& date);
