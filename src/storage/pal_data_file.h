// The pal data file (".ybf"): the magic "YBF 2.00", then the pal records one after
// another in table order, each its 26 fields in file order.
#pragma once

#include <string>
#include <string_view>

class CYubinoApp;

struct PalDataReadResult {
    enum class Status {
        Loaded,     // the magic was read; the table now holds the records read
        TooShort,   // the file ended inside its first string; the table is unchanged
        Foreign,    // the first string is not the magic; the table is unchanged
    };
    Status status = Status::Loaded;
    bool complete = true;  // false: the data ended inside a record, which was dropped
    int refused = 0;       // records that AddPal refused (their address repeats one before)
};

// Reads pal data into the application's table: clears it once the magic is known, adds
// each record with AddPal and asks for the pictures of pals that use one.
PalDataReadResult ReadPalData(CYubinoApp& app, std::string_view bytes);

// The bytes of a pal data file holding the application's table.
std::string WritePalData(const CYubinoApp& app);
