#include <algorithm>
#include <charconv>

#include "core/cp932.h"
#include "core/texts.h"
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

bool IsMobile(const VCardProperty& property) {
    return property.HasType("CELL") || property.HasType("MOBILE") || property.HasType("X-MOBILE");
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
    std::vector<std::string> mails, phones;
    std::string phoneSlots[2];
    std::string mobile;
    std::optional<std::string> homeAddress, otherAddress;
};

std::string FirstText(const VCardProperty& property) { return Trimmed(UnescapeVCardText(property.value)); }

int Slot(const VCardProperty& property) {
    const std::string slot = property.Param(kVCardSlotParam);
    return slot == "1" ? 0 : slot == "2" ? 1 : -1;
}

std::string AddressText(const VCardProperty& property) {
    const std::vector<std::string> parts = SplitVCardComponents(property.value);
    // post office box; extended; street; locality; region; postal code; country
    std::string out;
    for (int index : {4, 3, 2, 1})
        if (index < static_cast<int>(parts.size())) AppendAddressPart(out, parts[index]);
    if (out.empty() && property.Param("LABEL").size()) out = Trimmed(property.Param("LABEL"));
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
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
        fields.yubinoName = Cp932(text);
    else if (name == "HANDLE")
        fields.yubinoHandle = Cp932(text);
    else if (name == "SEX")
        pal.m_strSex = Cp932(text);
    else if (name == "AGE")
        pal.m_strAge = Cp932(text);
    else if (name == "BIRTHPLACE")
        pal.m_strBirthplace = Cp932(text);
    else if (name == "BLOODTYPE")
        pal.m_strBloodType = Cp932(text);
    else if (name == "HOBBY")
        pal.m_strHobby = Cp932(text);
    else if (name == "FACEICON")
        setNumber(text, pal.m_nFaceIcon);
    else if (name == "BIRTHDAY")
        setDate(pal.m_dtBirthday);
    else if (name == "FIRSTMAIL")
        setDate(pal.m_dtFirstMail);
    else if (name == "LASTMAIL")
        setDate(pal.m_dtLastMail);
    else if (name == "LASTMAILTEXT")
        pal.m_strLastMailText = Cp932(UnescapeStoredMailText(property.value));
    else if (name == "MAP" || name == "PICTURE") {
        const std::vector<std::string> parts = SplitVCardComponents(property.value);
        const std::string second = parts.size() > 1 ? parts[1] : "", third = parts.size() > 2 ? parts[2] : "";
        if (name == "MAP") {
            pal.m_strMapName = Cp932(parts[0]);
            setNumber(second, pal.m_nMapX);
            setNumber(third, pal.m_nMapY);
        } else {
            pal.m_strPictureFile = Cp932(parts[0]);
            setNumber(second, pal.m_bUsePicture);
        }
    }
}

void TakeProperty(const VCardProperty& property, ImportedPal& imported, CardFields& fields,
                  std::vector<ImportProblem>& problems) {
    CPenPal& pal = imported.pal;
    const std::string& name = property.name;
    const std::string text = UnescapeVCardText(property.value);
    const auto setOnce = [&](std::string& field) {
        if (field.empty()) field = Cp932(text);
    };
    if (name == "FN") {
        if (!fields.formattedName) fields.formattedName = Cp932(text);
    } else if (name == "N") {
        const std::vector<std::string> parts = SplitVCardComponents(property.value);
        std::string joined = Trimmed(parts[0]);
        if (parts.size() > 1 && !Trimmed(parts[1]).empty()) {
            if (!joined.empty()) joined += ' ';
            joined += Trimmed(parts[1]);
        }
        if (!joined.empty() && !fields.structuredName) fields.structuredName = Cp932(joined);
    } else if (name == "NICKNAME") {
        const std::string first = SplitVCardComponents(property.value, ',')[0];
        if (!first.empty() && !fields.nickname) fields.nickname = Cp932(first);
    } else if (name == "X-PHONETIC-LAST-NAME" || name == "X-PHONETIC-FIRST-NAME" || name == "SOUND") {
        std::string phonetic = fields.phoneticName.value_or("");
        AppendAddressPart(phonetic, Cp932(Trimmed(SplitVCardComponents(property.value)[0])));
        fields.phoneticName = phonetic;
    } else if (name == "EMAIL") {
        const std::string address = Cp932(FirstText(property));
        if (address.empty()) return;
        if (const int slot = Slot(property); slot >= 0)
            fields.slots[slot] = address;
        else if (IsMobile(property) && fields.mobile.empty())
            fields.mobile = address;
        else
            fields.mails.push_back(address);
    } else if (name == "TEL") {
        std::string number = FirstText(property);
        if (number.starts_with("tel:")) number.erase(0, 4);  // 4.0 writes numbers as URIs too
        if (number.empty()) return;
        if (const int slot = Slot(property); slot >= 0)
            fields.phoneSlots[slot] = Cp932(number);
        else
            fields.phones.push_back(Cp932(number));
    } else if (name == "BDAY") {
        // A date without a year ("--0412") or a text says no day Yubino could keep.
        if (std::optional<COleDateTime> date = ParseDateText(FirstText(property))) pal.m_dtBirthday = *date;
    } else if (name == "ADR") {
        std::string text = Cp932(AddressText(property));
        std::optional<std::string>& slot = property.HasType("HOME") ? fields.homeAddress : fields.otherAddress;
        if (!text.empty() && !slot) slot = std::move(text);
    } else if (name == "URL") {
        setOnce(pal.m_strHomePage);
    } else if (name == "NOTE") {
        setOnce(pal.m_strMemo);
    } else if (name == "TITLE" || name == "ROLE") {
        setOnce(pal.m_strJob);
    } else if (name == "HOBBY") {
        setOnce(pal.m_strHobby);
    } else if (name == "GENDER" || name == "X-GENDER") {
        pal.m_strSex = SexFromGender(property.value);
    } else if (name == "PHOTO") {
        if (property.binary)
            imported.photo = property.value;
        else
            TakePhotoUri(property, imported, problems);
    } else if (name.starts_with("X-YUBINO-")) {
        TakeYubinoProperty(property, pal, fields);
    }
}

void SettleFields(CardFields& fields, CPenPal& pal) {
    if (fields.yubinoName) {
        pal.m_strName = *fields.yubinoName;
    } else {
        pal.m_strName = fields.formattedName.value_or("");
        if (pal.m_strName.empty()) pal.m_strName = fields.structuredName.value_or(fields.phoneticName.value_or(""));
    }
    pal.m_strHandleName = fields.yubinoHandle.value_or(fields.nickname.value_or(pal.m_strName));
    std::size_t next = 0;
    for (std::string& slot : fields.slots)
        if (slot.empty() && next < fields.mails.size()) slot = fields.mails[next++];
    for (std::size_t i = 0, n = 0; i < 2; ++i)
        if (fields.phoneSlots[i].empty() && n < fields.phones.size()) fields.phoneSlots[i] = fields.phones[n++];
    pal.m_strMailAddress = fields.slots[0];
    pal.m_strMailAddress2 = fields.slots[1];
    pal.m_strMobileAddress = fields.mobile;
    // A card with only a mobile address is still a pen pal to write to.
    if (pal.m_strMailAddress.empty() && pal.m_strMailAddress2.empty())
        std::swap(pal.m_strMailAddress, pal.m_strMobileAddress);
    pal.m_strTel1 = fields.phoneSlots[0];
    pal.m_strTel2 = fields.phoneSlots[1];
    pal.m_strResidence = fields.homeAddress.value_or(fields.otherAddress.value_or(""));
}

}  // namespace

std::optional<ImportedPal> PalFromVCard(const VCard& card, std::vector<ImportProblem>& problems) {
    ImportedPal imported;
    imported.line = card.line;
    CardFields fields;
    for (const VCardProperty& property : card.properties) TakeProperty(property, imported, fields, problems);
    SettleFields(fields, imported.pal);
    if (imported.pal.m_strMailAddress.empty()) return std::nullopt;
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
