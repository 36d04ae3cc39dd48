// The text of a pal's fields together with the record kept beside it: the user's own
// characters where code page 932 replaced some, line breaks in the stored forms, and names
// split into the parts address books keep.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/pal_card.h"
#include "core/pen_pal.h"
#include "storage/pal_fields.h"

// Converts the texts of one card or row to code page 932 and remembers those that lost
// characters, so that the pal's record can keep them.
class COriginalTexts {
public:
    // Code page 932, a character it lacks as "?".
    std::string Cp932(std::string_view utf8);
    // The original of every text field of `pal` that the conversion changed.
    void KeepIn(const CPenPal& pal, PalCard& card) const;

private:
    std::vector<std::pair<std::string, std::string>> m_lossy;  // code page 932 form, UTF-8 original
};

// The field as the user gave it (UTF-8): the record's original while the field still holds
// what it became in code page 932, else the field.
std::string ShownFieldText(const CPenPal& pal, const PalCard* card, PalField field);

// Whether two texts differ only in how their lines end ("\r\n", "\n", "\r", or the stored
// mail text's "\r\b" and "\b").
bool SameTextButLineBreaks(std::string_view a, std::string_view b);

struct PersonName {
    std::string family, given, additional, prefix, suffix;  // UTF-8
};
// A name in Latin letters is given then family ("Anne-Marie O'Neil, Jr.", or "O'Neil,
// Anne-Marie"); any other is family then given, split at the first blank.
PersonName SplitPersonName(std::string_view utf8Name);
// The name written back in the order its script uses.
std::string JoinPersonName(const PersonName& name);
bool IsLatinText(std::string_view utf8);

// A Japanese residence split as an address: region (prefecture), locality, street; none
// when it does not read as one, or would not join back to the same text.
struct AddressParts {
    std::string region, locality, street;  // UTF-8
};
std::optional<AddressParts> ParseJapaneseAddress(std::string_view utf8Residence);
// Address parts joined as they are written: Japanese runs directly, Latin ones with ", ".
std::string JoinAddressParts(const std::vector<std::string>& partsInOrder, bool latin);

// "--0821", "--08-21" (a birthday without its year) as "--MMDD"; none for any other text.
std::optional<std::string> BirthdayWithoutYear(std::string_view text);

// Numbers in the order a card or row gave them, except that a mobile one (of `mobile`)
// that would fall beyond the two slots takes the second.
std::vector<std::string> MobileInASlot(std::vector<std::string> numbers, const std::vector<std::string>& mobile);
