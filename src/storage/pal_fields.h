// The 26 fields of a pal by number, as text: what the CSV export writes and the CSV
// import reads, and the date forms address books use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/pen_pal.h"

enum class PalField {
    HandleName,
    Name,
    Sex,
    Age,
    MailAddress,
    Job,
    HomePage,
    Residence,
    Birthplace,
    BloodType,
    Birthday,
    FirstMail,
    LastMail,
    Tel1,
    Tel2,
    Hobby,
    MapName,
    LastMailText,
    FaceIcon,
    MapX,
    MapY,
    PictureFile,
    UsePicture,
    MailAddress2,
    MobileAddress,
    Memo,
};
inline constexpr int kPalFieldCount = 26;

// The field's label in code page 932, as the export's header names it.
std::string PalFieldLabel(PalField field);

// The field as text (code page 932): dates as YYYY-MM-DD ("" unless valid), numbers in
// decimal, the last mail's stored line breaks as line feeds.
std::string GetPalFieldText(const CPenPal& pal, PalField field);
// Sets the field from such text; false (the field unchanged) when a date or number does
// not read.
bool SetPalFieldText(CPenPal& pal, PalField field, std::string_view text);

// "YYYY-MM-DD", or "" for a date that is not valid.
std::string FormatIsoDate(const COleDateTime& date);
// A date as address books write it: YYYY-MM-DD, YYYY/MM/DD or YYYYMMDD, each optionally
// followed by a time ("T" or a blank, then HH:MM[:SS] or HHMMSS, a zone ignored).
std::optional<COleDateTime> ParseDateText(std::string_view text);

// A date in a form that reads back to the same value and status: an ISO date and time
// when that is exact, else "ole:STATUS:VALUE".
std::string FormatExactDate(const COleDateTime& date);
std::optional<COleDateTime> ParseExactDate(std::string_view text);
