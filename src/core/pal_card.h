// What a pal's data file record cannot hold, kept per pal beside it: the card's stable
// identity and revision, the readings of the name, the text of fields as the user gave it
// before code page 932 replaced some characters, a birthday without a year, the addresses
// and numbers beyond the record's slots, and the state of the address book server.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

struct PalCard {
    std::string uid;            // a UUID, made once
    std::string revision;       // UTC, "YYYYMMDDTHHMMSSZ"
    std::string readingFamily;  // UTF-8, kana
    std::string readingGiven;   // UTF-8, kana
    // By field number: the UTF-8 text of a field that code page 932 could not hold.
    std::map<int, std::string> originals;
    std::string birthdayNoYear;  // "--MMDD"
    std::string postalCode;
    std::vector<std::string> extraAddresses;  // mail addresses beyond the three slots
    std::vector<std::string> extraPhones;     // numbers beyond the two slots
    std::string carddavHref;
    std::string carddavEtag;

    bool operator==(const PalCard&) const = default;
    bool HasReading() const { return !readingFamily.empty() || !readingGiven.empty(); }
    // Family then given reading, a blank between when both are there.
    std::string Reading() const;
};

// A random (version 4) UUID in its usual lower-case form.
std::string NewUuid();
// The current time as a card's revision.
std::string RevisionNow();

// The records of pals beside the pal table, by the pal's address (code page 932).
class CPalCardStore {
public:
    virtual ~CPalCardStore() = default;
    virtual std::optional<PalCard> ReadCard(const std::string& address) = 0;
    // False when the record could not be kept (told to the user by the store).
    virtual bool WriteCard(const std::string& address, const PalCard& card) = 0;
};
