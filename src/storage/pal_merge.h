// A pal an address book brings, merged into the pal of the table it belongs to: empty
// fields are filled, a field both hold with different values is a conflict, kept or
// replaced as the user chose.
#pragma once

#include <string>
#include <vector>

#include "core/pal_card.h"
#include "core/pen_pal.h"
#include "storage/imported_pals.h"
#include "storage/pal_fields.h"

enum class MergePolicy {
    Fill,    // fill empty fields, keep ours where both differ
    Theirs,  // fill empty fields, take theirs where both differ
    Ours,    // change nothing, only tell what differs
};

struct FieldConflict {
    PalField field;
    std::string ours, theirs;  // UTF-8, as the user sees them
    bool operator==(const FieldConflict&) const = default;
};

struct PalMerge {
    CPenPal pal;
    PalCard card;
    std::vector<PalField> filled;          // fields that were empty and now hold theirs
    std::vector<FieldConflict> conflicts;  // fields both hold, differently
    bool Changed(const CPenPal& before, const PalCard& cardBefore) const;
};

// Mail addresses and numbers the pal lacks go to its empty slots, then into the record;
// texts that differ only in their line breaks are the same (ours kept, byte for byte).
PalMerge MergePal(const CPenPal& ours, const PalCard& ourCard, const ImportedPal& theirs, MergePolicy policy);

// The pal whose mail address, second or mobile address is any address of `pal`, ignoring
// case; -1 for none.
int FindPalForImport(const std::vector<CPenPal>& table, const CPenPal& pal);

// Their value of a conflicting field taken into the merge (the user's choice).
void TakeTheirs(PalMerge& merge, PalField field, const ImportedPal& theirs);
