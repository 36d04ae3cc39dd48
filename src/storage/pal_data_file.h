// The pal data file (".ybf"): the magic "YBF 2.00", then the pal records one after
// another in table order, each its 26 fields in file order.
#pragma once

#include <string>
#include <string_view>

class CYubinoApp;

struct PalDataReadResult {
    enum class Status {
        Loaded,    // the magic was read; the table now holds the records read
        TooShort,  // the data ended inside its first string; the table is unchanged
        Foreign,   // the data does not begin with the magic; the table is unchanged
    };
    Status status = Status::Loaded;
    bool complete = true;     // false: the data ended inside a record (or the magic), which was dropped
    bool unreadTail = false;  // data follows the last record the table can hold; it was not read
    int refused = 0;          // records that AddPal refused (their address repeats one before)

    // Something the file holds did not reach the table: overwriting the file would lose it.
    bool LostData() const { return !complete || unreadTail || refused > 0; }
};

// The bytes every pal data file begins with: the length 8, then "YBF 2.00".
inline constexpr std::string_view kPalDataMagic{"\x08YBF 2.00", 9};

// Whether `head`, the first bytes of a file, can begin a pal data file: it starts with the
// magic, or is cut off inside it (an empty file included).
bool CouldBePalData(std::string_view head);

// Reads pal data into the application's table: clears it once the magic is known, adds
// each record with AddPal and asks for the pictures of pals that use one. Never talks to
// the user beyond AddPal's own messages.
PalDataReadResult ReadPalData(CYubinoApp& app, std::string_view bytes);

// The bytes of a pal data file holding the application's table.
std::string WritePalData(const CYubinoApp& app);
