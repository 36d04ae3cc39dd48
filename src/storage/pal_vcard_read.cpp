#include <algorithm>
#include <charconv>
#include <map>

#include "core/cp932.h"
#include "core/texts.h"
#include "storage/pal_card_text.h"
#include "storage/pal_fields.h"
#include "storage/pal_vcard.h"
#include "storage/text_encoding.h"
#include "storage/vcard_text.h"

namespace {

std::string Cp932(std::string_view utf8) { return Utf8ToCp932Lossy(utf8); }

std::string Trimmed(std::string text) {
    const auto notBlank = [](char c) { return c != ' ' && c != '\t'; };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    return text;
}

bool IsMobileLabel(std::string label) {
    for (char& c : label) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return label.find("携帯") != std::string::npos || label.find("mobile") != std::string::npos ||
           label.find("cell") != std::string::npos;
}

bool IsMobile(const VCardProperty& property, const std::map<std::string, std::string>& groupLabels) {
    if (property.HasType("CELL") || property.HasType("MOBILE") || property.HasType("X-MOBILE")) return true;
    const auto label = groupLabels.find(property.group);
    return !property.group.empty() && label != groupLabels.end() && IsMobileLabel(label->second);
}

// Joins address parts as they are written: Japanese runs directly, a blank next to Latin text.
void AppendAddressPart(std::string& out, const std::string& part) {
    if (part.empty()) return;
    const bool latinEdge = !out.empty() && (static_cast<unsigned char>(out.back()) < 0x80 ||
                                            static_cast<unsigned char>(part.front()) < 0x80);
    if (latinEdge) out += ' ';
    out += part;
}

// The pieces of a card that decide a field together.
struct CardFields {
    std::optional<std::string> formattedName, structuredName, nickname, phoneticName;
    std::optional<std::string> yubinoName, yubinoHandle;
    std::string slots[2];  // mail addresses placed by slot
    std::vector<std::string> mails, phones, cellPhones;
    std::string phoneSlots[2];
    std::string mobile;
    std::optional<std::string> homeAddress, otherAddress;
    std::map<std::string, std::string> groupLabels;  // X-ABLabel by group ("ITEM1" -> "携帯")
    COriginalTexts texts;
    PalCard card;
    std::vector<std::string> dropped;

    std::string Cp932(std::string_view utf8) { return texts.Cp932(utf8); }
    void Drop(const VCardProperty& property, std::string_view what) {
        std::string item = property.name + ": " + std::string(what.substr(0, 80));
        if (what.size() > 80) item += "...";
        dropped.push_back(std::move(item));
    }
};

std::string FirstText(const VCardProperty& property) { return Trimmed(UnescapeVCardText(property.value)); }

int Slot(const VCardProperty& property) {
    const std::string slot = property.Param(kVCardSlotParam);
    return slot == "1" ? 0 : slot == "2" ? 1 : -1;
}

// The residence an ADR gives: Japanese parts region first and run together, Latin ones in
// their own order with commas; the LABEL when the parts are empty.
std::string AddressText(const VCardProperty& property, PalCard& card) {
    std::vector<std::string> parts = SplitVCardComponents(property.value);
    parts.resize(7);  // post office box; extended; street; locality; region; postal code; country
    if (card.postalCode.empty()) card.postalCode = Trimmed(parts[5]);
    const bool latin = IsLatinText(parts[2] + parts[3] + parts[4]);
    std::string region = parts[4];
    if (latin && !parts[5].empty()) region += (region.empty() ? "" : " ") + parts[5];
    std::string out = latin ? JoinAddressParts({parts[0], parts[1], parts[2], parts[3], region, parts[6]}, true)
                            : JoinAddressParts({parts[4], parts[3], parts[2], parts[1]}, false);
    if (out.empty() && property.Param("LABEL").size()) out = Trimmed(property.Param("LABEL"));
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

// Readings from N's SORT-AS ("family,given") and the phonetic properties.
void TakeReading(const VCardProperty& property, CardFields& fields) {
    PalCard& card = fields.card;
    const std::string text = Trimmed(SplitVCardComponents(property.value)[0]);
    if (property.name == "X-PHONETIC-LAST-NAME") {
        card.readingFamily = text;
    } else if (property.name == "X-PHONETIC-FIRST-NAME") {
        card.readingGiven = text;
    } else if (!card.HasReading()) {  // SOUND: "family given", or structured as N
        const std::vector<std::string> parts = SplitVCardComponents(property.value);
        if (parts.size() > 1) {
            card.readingFamily = Trimmed(parts[0]), card.readingGiven = Trimmed(parts[1]);
        } else {
            const PersonName name = SplitPersonName(text);
            card.readingFamily = name.family, card.readingGiven = name.given;
        }
    }
}

void TakeSortAs(const VCardProperty& property, PalCard& card) {
    std::vector<std::string> sortAs;
    for (const auto& [key, value] : property.params)
        if (key == "SORT-AS") sortAs.push_back(Trimmed(value));
    if (sortAs.empty() || card.HasReading()) return;
    card.readingFamily = sortAs[0];
    if (sortAs.size() > 1) card.readingGiven = sortAs[1];
}

std::string SexFromGender(std::string_view value) {
    std::string first(value.substr(0, value.find(';')));
    for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (first == "M" || first == "MALE") return Cp932Text(texts::kSexMale);
    if (first == "F" || first == "FEMALE") return Cp932Text(texts::kSexFemale);
    return kNotGiven;
}

// A photo given as a URI: a data URI is decoded, a local file becomes the pal's picture;
// a photo on the web is left alone, as nothing is fetched.
void TakePhotoUri(const VCardProperty& property, ImportedPal& imported, std::vector<ImportProblem>& problems) {
    std::string_view uri = property.value;
    if (uri.starts_with("data:")) {
        const std::size_t comma = uri.find(',');
        if (comma == std::string_view::npos || uri.substr(0, comma).find(";base64") == std::string_view::npos) return;
        std::optional<std::string> bytes = DecodeBase64(uri.substr(comma + 1));
        if (!bytes)
            problems.push_back({ImportProblem::Kind::BadBase64, property.line});
        else if (bytes->size() > kMaxVCardPhotoBytes)
            problems.push_back({ImportProblem::Kind::PhotoTooLarge, property.line});
        else
            imported.photo = std::move(*bytes);
    } else if (uri.starts_with("file://")) {
        std::string path;
        uri.remove_prefix(7);
        for (std::size_t i = 0; i < uri.size(); ++i) {
            int value = 0;
            if (uri[i] == '%' && i + 2 < uri.size() &&
                std::from_chars(uri.data() + i + 1, uri.data() + i + 3, value, 16).ptr == uri.data() + i + 3) {
                path.push_back(static_cast<char>(value));
                i += 2;
            } else {
                path.push_back(uri[i]);
            }
        }
        imported.pal.m_strPictureFile = Cp932(path);
        imported.pal.m_bUsePicture = 1;
    }
}

// The X-YUBINO- properties: the fields vCard has no place for, and exact values.
void TakeYubinoProperty(const VCardProperty& property, CPenPal& pal, CardFields& fields) {
    const std::string_view name = std::string_view(property.name).substr(9);
    const std::string text = UnescapeVCardText(property.value);
    const auto setDate = [&](COleDateTime& date) {
        if (std::optional<COleDateTime> exact = ParseExactDate(text)) date = *exact;
    };
    const auto setNumber = [](std::string_view digits, int& number) {
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
    };
    if (name == "NAME")
        fields.yubinoName = fields.Cp932(text);
    else if (name == "HANDLE")
        fields.yubinoHandle = fields.Cp932(text);
    else if (name == "SEX")
        pal.m_strSex = fields.Cp932(text);
    else if (name == "AGE")
        pal.m_strAge = fields.Cp932(text);
    else if (name == "BIRTHPLACE")
        pal.m_strBirthplace = fields.Cp932(text);
    else if (name == "BLOODTYPE")
        pal.m_strBloodType = fields.Cp932(text);
    else if (name == "HOBBY")
        pal.m_strHobby = fields.Cp932(text);
    else if (name == "FACEICON")
        setNumber(text, pal.m_nFaceIcon);
    else if (name == "BIRTHDAY")
        setDate(pal.m_dtBirthday);
    else if (name == "FIRSTMAIL")
        setDate(pal.m_dtFirstMail);
    else if (name == "LASTMAIL")
        setDate(pal.m_dtLastMail);
    else if (name == "LASTMAILTEXT")
        pal.m_strLastMailText = fields.Cp932(
            RestoreLineBreaks(UnescapeStoredMailText(property.value), property.Param(kVCardBreaksParam), '\x08'));
    else if (name == "MAP" || name == "PICTURE") {
        const std::vector<std::string> parts = SplitVCardComponents(property.value);
        const std::string second = parts.size() > 1 ? parts[1] : "", third = parts.size() > 2 ? parts[2] : "";
        if (name == "MAP") {
            pal.m_strMapName = fields.Cp932(parts[0]);
            setNumber(second, pal.m_nMapX);
            setNumber(third, pal.m_nMapY);
        } else {
            pal.m_strPictureFile = fields.Cp932(parts[0]);
            setNumber(second, pal.m_bUsePicture);
        }
    }
}

// Properties that say nothing a pal keeps, or that are read with another.
bool IsFrame(const std::string& name) {
    return name == "BEGIN" || name == "END" || name == "VERSION" || name == "PRODID" || name == "X-ABLABEL" ||
           name == "LABEL" || name == "KIND" || name == "SORT-STRING" || name == "X-ABUID" || name == "CLIENTPIDMAP";
}

void TakeProperty(const VCardProperty& property, ImportedPal& imported, CardFields& fields,
                  std::vector<ImportProblem>& problems) {
    CPenPal& pal = imported.pal;
    const std::string& name = property.name;
    const std::string text = UnescapeVCardText(property.value);
    const auto setOnce = [&](std::string& field, const std::string& value) {
        if (value.empty()) return;
        if (field.empty())
            field = fields.Cp932(value);
        else
            fields.Drop(property, value);
    };
    if (name == "FN") {
        if (!fields.formattedName) fields.formattedName = fields.Cp932(text);
    } else if (name == "N") {
        const std::vector<std::string> parts = SplitVCardComponents(property.value);
        PersonName person;
        person.family = Trimmed(parts[0]);
        if (parts.size() > 1) person.given = Trimmed(parts[1]);
        if (parts.size() > 2) person.additional = Trimmed(parts[2]);
        if (parts.size() > 3) person.prefix = Trimmed(parts[3]);
        if (parts.size() > 4) person.suffix = Trimmed(parts[4]);
        const std::string joined = JoinPersonName(person);
        if (!joined.empty() && !fields.structuredName) fields.structuredName = fields.Cp932(joined);
        TakeSortAs(property, fields.card);
    } else if (name == "NICKNAME") {
        const std::string first = SplitVCardComponents(property.value, ',')[0];
        if (!first.empty() && !fields.nickname) fields.nickname = fields.Cp932(first);
    } else if (name == "X-PHONETIC-LAST-NAME" || name == "X-PHONETIC-FIRST-NAME" || name == "SOUND") {
        std::string phonetic = fields.phoneticName.value_or("");
        AppendAddressPart(phonetic, fields.Cp932(Trimmed(SplitVCardComponents(property.value)[0])));
        fields.phoneticName = phonetic;
        TakeReading(property, fields);
    } else if (name == "EMAIL") {
        const std::string address = fields.Cp932(FirstText(property));
        if (address.empty()) return;
        if (const int slot = Slot(property); slot >= 0)
            fields.slots[slot] = address;
        else if (IsMobile(property, fields.groupLabels) && fields.mobile.empty())
            fields.mobile = address;
        else
            fields.mails.push_back(address);
    } else if (name == "TEL") {
        std::string number = FirstText(property);
        if (number.starts_with("tel:")) number.erase(0, 4);  // 4.0 writes numbers as URIs too
        if (number.empty()) return;
        if (const int slot = Slot(property); slot >= 0) {
            fields.phoneSlots[slot] = fields.Cp932(number);
        } else {
            fields.phones.push_back(fields.Cp932(number));
            if (IsMobile(property, fields.groupLabels)) fields.cellPhones.push_back(fields.phones.back());
        }
    } else if (name == "BDAY") {
        const std::string value = FirstText(property);
        if (std::optional<COleDateTime> date = ParseDateText(value))
            pal.m_dtBirthday = *date;
        else if (std::optional<std::string> noYear = BirthdayWithoutYear(value))
            fields.card.birthdayNoYear = *noYear;
        else
            fields.Drop(property, value);
    } else if (name == "ADR") {
        std::string address = fields.Cp932(AddressText(property, fields.card));
        std::optional<std::string>& slot = property.HasType("HOME") ? fields.homeAddress : fields.otherAddress;
        if (address.empty()) return;
        if (!slot)
            slot = std::move(address);
        else
            fields.Drop(property, cp932::ToUtf8(address));
    } else if (name == "URL") {
        setOnce(pal.m_strHomePage, text);
    } else if (name == "NOTE") {
        setOnce(pal.m_strMemo, RestoreLineBreaks(text, property.Param(kVCardBreaksParam), '\n'));
    } else if (name == "TITLE" || name == "ROLE") {
        setOnce(pal.m_strJob, text);
    } else if (name == "HOBBY") {
        setOnce(pal.m_strHobby, text);
    } else if (name == "GENDER" || name == "X-GENDER") {
        pal.m_strSex = SexFromGender(property.value);
    } else if (name == "PHOTO") {
        if (property.binary)
            imported.photo = property.value;
        else if (property.value.starts_with("data:") || property.value.starts_with("file://"))
            TakePhotoUri(property, imported, problems);
        else
            fields.Drop(property, property.value);  // nothing is fetched from the web
    } else if (name == "UID") {
        fields.card.uid = text;
    } else if (name == "REV") {
        fields.card.revision = text;
    } else if (name.starts_with("X-YUBINO-")) {
        TakeYubinoProperty(property, pal, fields);
    } else if (!IsFrame(name)) {
        fields.Drop(property, property.binary ? "(" + std::to_string(property.value.size()) + " bytes)" : text);
    }
}

// Mail addresses fill the two slots, then the empty mobile one; numbers the two slots, a
// mobile number taking the second before a third plain one. The rest is kept in the record.
void PlaceAddressesAndNumbers(CardFields& fields) {
    std::size_t next = 0;
    for (std::string& slot : fields.slots)
        if (slot.empty() && next < fields.mails.size()) slot = fields.mails[next++];
    if (fields.mobile.empty() && next < fields.mails.size()) fields.mobile = fields.mails[next++];
    fields.card.extraAddresses.assign(fields.mails.begin() + static_cast<std::ptrdiff_t>(next), fields.mails.end());
    const std::vector<std::string> phones = MobileInASlot(fields.phones, fields.cellPhones);
    next = 0;
    for (std::string& slot : fields.phoneSlots)
        if (slot.empty() && next < phones.size()) slot = phones[next++];
    fields.card.extraPhones.assign(phones.begin() + static_cast<std::ptrdiff_t>(next), phones.end());
}

void SettleFields(CardFields& fields, CPenPal& pal) {
    if (fields.yubinoName) {
        pal.m_strName = *fields.yubinoName;
    } else {
        pal.m_strName = fields.formattedName.value_or("");
        if (pal.m_strName.empty()) pal.m_strName = fields.structuredName.value_or(fields.phoneticName.value_or(""));
    }
    pal.m_strHandleName = fields.yubinoHandle.value_or(fields.nickname.value_or(pal.m_strName));
    PlaceAddressesAndNumbers(fields);
    pal.m_strMailAddress = fields.slots[0];
    pal.m_strMailAddress2 = fields.slots[1];
    pal.m_strMobileAddress = fields.mobile;
    // A card with only a mobile address is still a pen pal to write to.
    if (pal.m_strMailAddress.empty() && pal.m_strMailAddress2.empty())
        std::swap(pal.m_strMailAddress, pal.m_strMobileAddress);
    pal.m_strTel1 = fields.phoneSlots[0];
    pal.m_strTel2 = fields.phoneSlots[1];
    pal.m_strResidence = fields.homeAddress.value_or(fields.otherAddress.value_or(""));
    if (fields.homeAddress && fields.otherAddress)
        fields.dropped.push_back("ADR: " + cp932::ToUtf8(*fields.otherAddress));
    fields.texts.KeepIn(pal, fields.card);
}

}  // namespace

std::optional<ImportedPal> PalFromVCard(const VCard& card, std::vector<ImportProblem>& problems) {
    ImportedPal imported;
    imported.line = card.line;
    CardFields fields;
    for (const VCardProperty& property : card.properties)
        if (property.name == "X-ABLABEL" && !property.group.empty())
            fields.groupLabels[property.group] = UnescapeVCardText(property.value);
    for (const VCardProperty& property : card.properties) TakeProperty(property, imported, fields, problems);
    SettleFields(fields, imported.pal);
    if (imported.pal.m_strMailAddress.empty()) return std::nullopt;
    imported.card = std::move(fields.card);
    imported.dropped = std::move(fields.dropped);
    return imported;
}
ImportedPals ReadVCardPals(std::string_view bytes) {
    VCardReadResult cards = ReadVCards(bytes);
    ImportedPals result;
    result.problems = std::move(cards.problems);
    result.pals.reserve(cards.cards.size());
    for (const VCard& card : cards.cards)
        if (std::optional<ImportedPal> pal = PalFromVCard(card, result.problems))
            result.pals.push_back(std::move(*pal));
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    return result;
}
