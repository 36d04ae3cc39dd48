#include "storage/pal_merge.h"

#include <algorithm>
#include <array>

#include "core/cp932.h"
#include "core/mail_address.h"
#include "storage/pal_card_text.h"
#include "storage/text_encoding.h"

namespace {

// The fields a card or row can bring; the addresses and numbers are placed apart.
constexpr std::array kMergedFields = {
    PalField::Name,      PalField::HandleName, PalField::Sex,        PalField::Age,          PalField::Job,
    PalField::HomePage,  PalField::Residence,  PalField::Birthplace, PalField::BloodType,    PalField::Birthday,
    PalField::FirstMail, PalField::LastMail,   PalField::Hobby,      PalField::LastMailText, PalField::Memo,
    PalField::MapName,   PalField::PictureFile};

bool IsEmptyField(const CPenPal& pal, PalField field) {
    const std::string text = GetPalFieldText(pal, field);
    switch (field) {
        case PalField::Sex:
        case PalField::Age:
        case PalField::BloodType:
            return text.empty() || text == kNotGiven;
        case PalField::Birthday:
        case PalField::FirstMail:
        case PalField::LastMail: {
            const COleDateTime& date = field == PalField::Birthday    ? pal.m_dtBirthday
                                       : field == PalField::FirstMail ? pal.m_dtFirstMail
                                                                      : pal.m_dtLastMail;
            return date == COleDateTime(kDefaultPalDate, COleDateTime::valid) ||
                   date.GetStatus() != COleDateTime::valid;
        }
        default:
            return text.empty();
    }
}

// The field, with what goes with it (the map's place, whether the picture is shown, the
// original text), copied from their pal.
void CopyField(PalMerge& merge, PalField field, const ImportedPal& theirs) {
    CPenPal& pal = merge.pal;
    const CPenPal& from = theirs.pal;
    switch (field) {
        case PalField::Birthday:
            pal.m_dtBirthday = from.m_dtBirthday;
            break;
        case PalField::FirstMail:
            pal.m_dtFirstMail = from.m_dtFirstMail;
            break;
        case PalField::LastMail:
            pal.m_dtLastMail = from.m_dtLastMail;
            break;
        case PalField::MapName:
            pal.m_strMapName = from.m_strMapName, pal.m_nMapX = from.m_nMapX, pal.m_nMapY = from.m_nMapY;
            break;
        case PalField::PictureFile:
            pal.m_strPictureFile = from.m_strPictureFile, pal.m_bUsePicture = from.m_bUsePicture;
            break;
        default:
            SetPalFieldText(pal, field, GetPalFieldText(from, field));
            break;
    }
    const auto original = theirs.card.originals.find(static_cast<int>(field));
    if (original != theirs.card.originals.end())
        merge.card.originals[static_cast<int>(field)] = original->second;
    else
        merge.card.originals.erase(static_cast<int>(field));
}

bool HasAddress(const CPenPal& pal, const PalCard& card, const std::string& address) {
    for (const std::string* own : {&pal.m_strMailAddress, &pal.m_strMailAddress2, &pal.m_strMobileAddress})
        if (IsSameMailAddress(*own, address)) return true;
    return std::any_of(card.extraAddresses.begin(), card.extraAddresses.end(),
                       [&](const std::string& extra) { return IsSameMailAddress(extra, cp932::ToUtf8(address)); });
}

// Their addresses and numbers that ours lacks: into an empty slot, else into the record.
void PlaceAddressesAndNumbers(PalMerge& merge, const ImportedPal& theirs) {
    CPenPal& pal = merge.pal;
    const CPenPal& from = theirs.pal;
    std::vector<std::string> addresses = {from.m_strMailAddress, from.m_strMailAddress2, from.m_strMobileAddress};
    for (const std::string& extra : theirs.card.extraAddresses) addresses.push_back(Utf8ToCp932Lossy(extra));
    for (const std::string& address : addresses) {
        if (address.empty() || HasAddress(pal, merge.card, address)) continue;
        std::string* slot = pal.m_strMailAddress2.empty()    ? &pal.m_strMailAddress2
                            : pal.m_strMobileAddress.empty() ? &pal.m_strMobileAddress
                                                             : nullptr;
        if (slot)
            *slot = address,
            merge.filled.push_back(slot == &pal.m_strMailAddress2 ? PalField::MailAddress2 : PalField::MobileAddress);
        else
            merge.card.extraAddresses.push_back(cp932::ToUtf8(address));
    }
    std::vector<std::string> numbers = {from.m_strTel1, from.m_strTel2};
    for (const std::string& extra : theirs.card.extraPhones) numbers.push_back(Utf8ToCp932Lossy(extra));
    for (const std::string& number : numbers) {
        const std::string utf8 = cp932::ToUtf8(number);
        const bool known = number.empty() || number == pal.m_strTel1 || number == pal.m_strTel2 ||
                           std::find(merge.card.extraPhones.begin(), merge.card.extraPhones.end(), utf8) !=
                               merge.card.extraPhones.end();
        if (known) continue;
        std::string* slot = pal.m_strTel1.empty() ? &pal.m_strTel1 : pal.m_strTel2.empty() ? &pal.m_strTel2 : nullptr;
        if (slot)
            *slot = number, merge.filled.push_back(slot == &pal.m_strTel1 ? PalField::Tel1 : PalField::Tel2);
        else
            merge.card.extraPhones.push_back(utf8);
    }
}

void MergeRecord(PalCard& ours, const PalCard& theirs, MergePolicy policy) {
    const auto take = [&](std::string& field, const std::string& value) {
        if (!value.empty() && (field.empty() || policy == MergePolicy::Theirs)) field = value;
    };
    if (ours.uid.empty()) ours.uid = theirs.uid;
    take(ours.readingFamily, theirs.readingFamily);
    take(ours.readingGiven, theirs.readingGiven);
    take(ours.birthdayNoYear, theirs.birthdayNoYear);
    take(ours.postalCode, theirs.postalCode);
}

}  // namespace

bool PalMerge::Changed(const CPenPal& before, const PalCard& cardBefore) const {
    return !(pal == before) || !(card == cardBefore);
}

PalMerge MergePal(const CPenPal& ours, const PalCard& ourCard, const ImportedPal& theirs, MergePolicy policy) {
    PalMerge merge{ours, ourCard, {}, {}};
    for (PalField field : kMergedFields) {
        if (IsEmptyField(theirs.pal, field)) continue;
        // A handle name made from their name is no handle name the file gave.
        if (field == PalField::HandleName && theirs.pal.m_strHandleName == theirs.pal.m_strName) continue;
        const std::string mine = GetPalFieldText(ours, field), other = GetPalFieldText(theirs.pal, field);
        if (IsEmptyField(ours, field)) {
            if (policy == MergePolicy::Ours) continue;
            CopyField(merge, field, theirs);
            merge.filled.push_back(field);
        } else if (!SameTextButLineBreaks(mine, other) &&
                   !(field == PalField::MapName && ours.m_strMapName == theirs.pal.m_strMapName)) {
            merge.conflicts.push_back(
                {field, ShownFieldText(ours, &ourCard, field), ShownFieldText(theirs.pal, &theirs.card, field)});
            if (policy == MergePolicy::Theirs) CopyField(merge, field, theirs);
        }
    }
    if (policy == MergePolicy::Ours) {
        merge.pal = ours;
        return merge;
    }
    PlaceAddressesAndNumbers(merge, theirs);
    MergeRecord(merge.card, theirs.card, policy);
    return merge;
}

void TakeTheirs(PalMerge& merge, PalField field, const ImportedPal& theirs) { CopyField(merge, field, theirs); }

int FindPalForImport(const std::vector<CPenPal>& table, const CPenPal& pal) {
    for (std::size_t i = 0; i < table.size(); ++i)
        for (const std::string* theirs : {&pal.m_strMailAddress, &pal.m_strMailAddress2, &pal.m_strMobileAddress})
            if (!theirs->empty() && HasAddress(table[i], PalCard{}, *theirs)) return static_cast<int>(i);
    return -1;
}
