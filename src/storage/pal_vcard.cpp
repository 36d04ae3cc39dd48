#include "storage/pal_vcard.h"

#include <algorithm>
#include <charconv>

#include "core/cp932.h"
#include "core/picture_path.h"
#include "core/texts.h"
#include "storage/pal_fields.h"
#include "storage/text_encoding.h"
#include "storage/user_file.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kFoldAt = 75;
// The parameter that keeps an address or number in its place when the one before is empty.
constexpr std::string_view kSlotParam = "X-YUBINO-SLOT";

std::string Cp932(std::string_view utf8) { return Utf8ToCp932Lossy(utf8); }
std::string Utf8(std::string_view cp932Text) { return cp932::ToUtf8(cp932Text); }

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
    const std::string slot = property.Param(kSlotParam);
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

// The stored mail text keeps a line break as a backspace byte, mostly after a carriage
// return; a vCard line can hold neither, so both get an escape of their own ("\n", "\r").
constexpr char kStoredLineBreak = '\x08';

std::string EscapeStoredMailText(std::string_view cp932Text) {
    std::string out;
    for (char c : cp932::ToUtf8(cp932Text)) {
        if (c == kStoredLineBreak || c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

std::string UnescapeStoredMailText(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' || next == 'N' ? kStoredLineBreak : next == 'r' ? '\r' : next;
    }
    return out;
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
        if (parts.size() > 1 && !Trimmed(parts[1]).empty()) joined += (joined.empty() ? "" : " ") + Trimmed(parts[1]);
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

// Writing: values escaped, lines folded.
std::string EscapeText(std::string_view cp932Text) {
    std::string text = Utf8(cp932Text), out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

class CardWriter {
public:
    explicit CardWriter(std::string& out) : m_out(out) {}

    // One content line, folded before 75 bytes without cutting a UTF-8 character.
    void Line(std::string_view head, std::string_view value) {
        std::size_t width = 0;
        const auto put = [&](std::string_view text) {
            for (std::size_t i = 0; i < text.size();) {
                const std::size_t length = std::max<std::size_t>(Utf8SequenceAt(text, i), 1);
                if (width + length > kFoldAt) {
                    m_out += kCrLf;
                    m_out += ' ';
                    width = 1;
                }
                m_out.append(text.substr(i, length));
                width += length;
                i += length;
            }
        };
        put(head);
        put(":");
        put(value);
        m_out += kCrLf;
    }
    void Text(std::string_view head, std::string_view cp932Text) {
        if (!cp932Text.empty()) Line(head, EscapeText(cp932Text));
    }

private:
    std::string& m_out;
};

std::string MediaType(std::string_view photo) {
    if (photo.starts_with("\x89PNG")) return "png";
    if (photo.starts_with("GIF8")) return "gif";
    if (photo.starts_with("BM")) return "bmp";
    return "jpeg";
}

std::string EncodeBase64(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned bits = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) bits |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) bits |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(bits >> 18) & 63];
        out += kAlphabet[(bits >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(bits >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[bits & 63] : '=';
    }
    return out;
}

std::string ReadPhoto(const CPenPal& pal, const std::filesystem::path& dataFolder) {
    std::string bytes;
    for (const std::filesystem::path& candidate : PictureFileCandidates(pal.m_strPictureFile, dataFolder))
        if (ReadUserFile(candidate, kMaxVCardPhotoBytes, bytes) == UserFileStatus::Read) return bytes;
    return {};
}

// N from the name: the family name before the first blank, the given name after it.
std::string StructuredName(const std::string& name) {
    const std::size_t blank = name.find(' ');
    if (blank == std::string::npos) return EscapeText(name) + ";;;;";
    return EscapeText(name.substr(0, blank)) + ";" + EscapeText(name.substr(blank + 1)) + ";;;";
}

void WriteCard(CardWriter& card, const CPenPal& pal, VCardVersion version, const std::string& photo) {
    const bool v4 = version == VCardVersion::V4;
    card.Line("BEGIN", "VCARD");
    card.Line("VERSION", v4 ? "4.0" : "3.0");
    const std::string& shown = !pal.m_strName.empty()         ? pal.m_strName
                               : !pal.m_strHandleName.empty() ? pal.m_strHandleName
                                                              : pal.m_strMailAddress;
    card.Line("FN", EscapeText(shown));
    card.Line("N", StructuredName(pal.m_strName));
    if (pal.m_strName.empty()) card.Line("X-YUBINO-NAME", "");
    if (pal.m_strHandleName.empty()) card.Line("X-YUBINO-HANDLE", "");
    card.Text("NICKNAME", pal.m_strHandleName);
    const bool firstEmpty = pal.m_strMailAddress.empty();
    card.Text(v4 ? "EMAIL;PREF=1" : "EMAIL;TYPE=INTERNET,PREF", pal.m_strMailAddress);
    card.Text(firstEmpty ? (v4 ? "EMAIL;X-YUBINO-SLOT=2" : "EMAIL;TYPE=INTERNET;X-YUBINO-SLOT=2")
                         : (v4 ? "EMAIL" : "EMAIL;TYPE=INTERNET"),
              pal.m_strMailAddress2);
    card.Text(v4 ? "EMAIL;TYPE=cell" : "EMAIL;TYPE=INTERNET,CELL", pal.m_strMobileAddress);
    card.Text(v4 ? "TEL;TYPE=voice" : "TEL;TYPE=VOICE", pal.m_strTel1);
    card.Text(pal.m_strTel1.empty() ? "TEL;X-YUBINO-SLOT=2" : (v4 ? "TEL;TYPE=voice" : "TEL;TYPE=VOICE"),
              pal.m_strTel2);
    const COleDateTime defaultDate(kDefaultPalDate, COleDateTime::valid);
    if (pal.m_dtBirthday != defaultDate) {
        const std::string iso = FormatIsoDate(pal.m_dtBirthday);
        if (!iso.empty()) card.Line("BDAY", v4 ? iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8) : iso);
        if (ParseDateText(iso) != std::optional<COleDateTime>(pal.m_dtBirthday))
            card.Line("X-YUBINO-BIRTHDAY", FormatExactDate(pal.m_dtBirthday));
    }
    if (!pal.m_strResidence.empty())
        card.Line(v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME", ";;;;" + EscapeText(pal.m_strResidence) + ";;");
    card.Text("TITLE", pal.m_strJob);
    card.Text("URL", pal.m_strHomePage);
    card.Text("NOTE", pal.m_strMemo);
    const std::string male = Cp932Text(texts::kSexMale), female = Cp932Text(texts::kSexFemale);
    if (pal.m_strSex == male || pal.m_strSex == female)
        card.Line(v4 ? "GENDER" : "X-GENDER", pal.m_strSex == male ? (v4 ? "M" : "Male") : (v4 ? "F" : "Female"));
    else if (pal.m_strSex != kNotGiven)
        card.Text("X-YUBINO-SEX", pal.m_strSex);
    card.Text(v4 ? "HOBBY" : "X-YUBINO-HOBBY", pal.m_strHobby);
    if (pal.m_strAge != kNotGiven) card.Text("X-YUBINO-AGE", pal.m_strAge);
    card.Text("X-YUBINO-BIRTHPLACE", pal.m_strBirthplace);
    if (pal.m_strBloodType != kNotGiven) card.Text("X-YUBINO-BLOODTYPE", pal.m_strBloodType);
    if (!pal.m_strMapName.empty() || pal.m_nMapX || pal.m_nMapY)
        card.Line("X-YUBINO-MAP",
                  EscapeText(pal.m_strMapName) + ";" + std::to_string(pal.m_nMapX) + ";" + std::to_string(pal.m_nMapY));
    if (pal.m_nFaceIcon) card.Line("X-YUBINO-FACEICON", std::to_string(pal.m_nFaceIcon));
    if (pal.m_dtFirstMail != defaultDate) card.Line("X-YUBINO-FIRSTMAIL", FormatExactDate(pal.m_dtFirstMail));
    if (pal.m_dtLastMail != defaultDate) card.Line("X-YUBINO-LASTMAIL", FormatExactDate(pal.m_dtLastMail));
    if (!pal.m_strLastMailText.empty()) card.Line("X-YUBINO-LASTMAILTEXT", EscapeStoredMailText(pal.m_strLastMailText));
    if (!pal.m_strPictureFile.empty() || pal.m_bUsePicture)
        card.Line("X-YUBINO-PICTURE", EscapeText(pal.m_strPictureFile) + ";" + std::to_string(pal.m_bUsePicture));
    if (!photo.empty()) {
        const std::string type = MediaType(photo);
        if (v4)
            card.Line("PHOTO", "data:image/" + type + ";base64," + EncodeBase64(photo));
        else
            card.Line("PHOTO;ENCODING=b;TYPE=" + type, EncodeBase64(photo));
    }
    card.Line("END", "VCARD");
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

std::string WriteVCards(std::span<const CPenPal> pals, VCardVersion version, const std::filesystem::path& dataFolder) {
    std::string out;
    CardWriter writer(out);
    for (const CPenPal& pal : pals) WriteCard(writer, pal, version, ReadPhoto(pal, dataFolder));
    return out;
}
