#include "contacts/card_merge.h"

#include <algorithm>

#include "core/texts.h"

namespace {

// The picture is a file of this machine: a path the other side cannot share.
bool Compared(PalField field) { return field != PalField::PictureFile && field != PalField::UsePicture; }

}  // namespace

bool PalFieldsDiffer(const CPenPal& a, const CPenPal& b) {
    for (int i = 0; i < kPalFieldCount; ++i) {
        const auto field = static_cast<PalField>(i);
        if (Compared(field) && GetPalFieldText(a, field) != GetPalFieldText(b, field)) return true;
    }
    return false;
}

ThreeWayMerge MergeThreeWay(const CPenPal& base, const CPenPal& ours, const CPenPal& theirs, bool oursNewer) {
    ThreeWayMerge merge{ours, {}};
    std::string memoAdditions;
    for (int i = 0; i < kPalFieldCount; ++i) {
        const auto field = static_cast<PalField>(i);
        if (!Compared(field)) continue;
        const std::string b = GetPalFieldText(base, field);
        const std::string l = GetPalFieldText(ours, field);
        const std::string r = GetPalFieldText(theirs, field);
        if (l == r || r == b) continue;
        if (l == b) {
            SetPalFieldText(merge.pal, field, r);
            continue;
        }
        const std::string& kept = oursNewer ? l : r;
        const std::string& other = oursNewer ? r : l;
        SetPalFieldText(merge.pal, field, kept);
        merge.conflicts.push_back({field, kept, other});
        if (!other.empty()) memoAdditions += "\r\n" + PalFieldLabel(field) + ": " + other;
    }
    if (!memoAdditions.empty()) {
        std::string memo = GetPalFieldText(merge.pal, PalField::Memo);
        SetPalFieldText(merge.pal, PalField::Memo, memo + (memo.empty() ? memoAdditions.substr(2) : memoAdditions));
    }
    return merge;
}

std::string ComparableRevision(const std::string& revision) {
    std::string digits;
    std::copy_if(revision.begin(), revision.end(), std::back_inserter(digits),
                 [](char c) { return c != '-' && c != ':'; });
    return digits;
}
