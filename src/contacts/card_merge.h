// A pal both this side and the server changed since they last agreed, merged field by
// field: a field one side changed takes that side's value; a field both changed, to
// different values, takes the newer revision's, and the other value is added to the memo.
#pragma once

#include <string>
#include <vector>

#include "core/pen_pal.h"
#include "storage/pal_fields.h"

struct MergedField {
    PalField field;
    std::string kept, other;  // code page 932
};

struct ThreeWayMerge {
    CPenPal pal;
    std::vector<MergedField> conflicts;
};

// `base` is what both sides held last (an empty pal when they never agreed).
ThreeWayMerge MergeThreeWay(const CPenPal& base, const CPenPal& ours, const CPenPal& theirs, bool oursNewer);

// Whether the pals differ in a field the address book carries.
bool PalFieldsDiffer(const CPenPal& a, const CPenPal& b);

// A revision ("YYYYMMDDTHHMMSSZ" or with '-' and ':') in one comparable form.
std::string ComparableRevision(const std::string& revision);
