#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/cp932.h"
#include "core/file_read.h"
#include "core/picture_path.h"
#include "core/texts.h"
#include "storage/pal_card_text.h"
#include "storage/pal_fields.h"
#include "storage/pal_vcard.h"
#include "storage/text_encoding.h"
#include "storage/vcard_text.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kFoldAt = 75;

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
        if (!cp932Text.empty()) Line(head, EscapeVCardText(cp932Text));
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
    for (const std::filesystem::path& candidate : PictureFileCandidates(pal.m_strPictureFile, dataFolder))
        if (std::optional<std::string> bytes = ReadRegularFileBytes(candidate, kMaxVCardPhotoBytes)) return *bytes;
    return {};
}

// N from the name, split as its script orders it; the readings as SORT-AS.
std::string StructuredName(const std::string& utf8Name, const PalCard& card, std::string& head) {
    const PersonName name = SplitPersonName(utf8Name);
    if (card.HasReading())
        head += ";SORT-AS=\"" + EscapeVCardUtf8(card.readingFamily) + "," + EscapeVCardUtf8(card.readingGiven) + "\"";
    return EscapeVCardUtf8(name.family) + ";" + EscapeVCardUtf8(name.given) + ";" + EscapeVCardUtf8(name.additional) +
           ";" + EscapeVCardUtf8(name.prefix) + ";" + EscapeVCardUtf8(name.suffix);
}

// The residence as ADR parts when it reads as a Japanese address; else whole, as the
// street and as the label, so that every reader shows it as written.
void WriteResidence(CardWriter& card, const std::string& residence, const PalCard& record, bool v4) {
    const std::string postal = EscapeVCardUtf8(record.postalCode);
    if (const std::optional<AddressParts> parts = ParseJapaneseAddress(residence)) {
        card.Line(v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME", ";;" + EscapeVCardUtf8(parts->street) + ";" +
                                                              EscapeVCardUtf8(parts->locality) + ";" +
                                                              EscapeVCardUtf8(parts->region) + ";" + postal + ";");
        return;
    }
    const std::string text = EscapeVCardUtf8(residence);
    if (v4 && residence.find('"') == std::string::npos) {
        card.Line("ADR;TYPE=home;LABEL=\"" + text + "\"", ";;" + text + ";;;" + postal + ";");
    } else {
        card.Line(v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME", ";;" + text + ";;;" + postal + ";");
        if (!v4) card.Line("LABEL;TYPE=HOME", text);
    }
}

// A text whose line breaks are written "\n", with their stored forms when those are not all
// the usual carriage return and break.
void WithBreaks(CardWriter& card, std::string head, const std::string& stored, const std::string& shown) {
    if (shown.empty()) return;
    if (const std::string forms = LineBreakForms(stored); !forms.empty())
        head += ";" + std::string(kVCardBreaksParam) + "=" + forms;
    card.Line(head, EscapeVCardUtf8(shown));
}

void WriteCard(CardWriter& card, const CPenPal& pal, VCardVersion version, const std::string& photo,
               const PalCard& record) {
    const bool v4 = version == VCardVersion::V4;
    const auto shown = [&](PalField field) { return ShownFieldText(pal, &record, field); };
    const auto text = [&](std::string_view head, PalField field) {
        const std::string value = shown(field);
        if (!value.empty()) card.Line(head, EscapeVCardUtf8(value));
    };
    card.Line("BEGIN", "VCARD");
    card.Line("VERSION", v4 ? "4.0" : "3.0");
    card.Line("UID", EscapeVCardUtf8(record.uid));
    card.Line("REV", record.revision.empty() ? RevisionNow() : record.revision);
    const std::string name = shown(PalField::Name);
    const std::string formatted = !name.empty()                  ? name
                                  : !pal.m_strHandleName.empty() ? shown(PalField::HandleName)
                                                                 : cp932::ToUtf8(pal.m_strMailAddress);
    card.Line("FN", EscapeVCardUtf8(formatted));
    std::string nameHead = "N";
    const std::string structured = StructuredName(name, record, nameHead);
    card.Line(nameHead, structured);
    if (!record.readingFamily.empty()) card.Line("X-PHONETIC-LAST-NAME", EscapeVCardUtf8(record.readingFamily));
    if (!record.readingGiven.empty()) card.Line("X-PHONETIC-FIRST-NAME", EscapeVCardUtf8(record.readingGiven));
    if (pal.m_strName.empty()) card.Line("X-YUBINO-NAME", "");
    if (pal.m_strHandleName.empty()) card.Line("X-YUBINO-HANDLE", "");
    text("NICKNAME", PalField::HandleName);
    const bool firstEmpty = pal.m_strMailAddress.empty();
    card.Text(v4 ? "EMAIL;PREF=1" : "EMAIL;TYPE=INTERNET,PREF", pal.m_strMailAddress);
    card.Text(firstEmpty ? (v4 ? "EMAIL;X-YUBINO-SLOT=2" : "EMAIL;TYPE=INTERNET;X-YUBINO-SLOT=2")
                         : (v4 ? "EMAIL" : "EMAIL;TYPE=INTERNET"),
              pal.m_strMailAddress2);
    card.Text(v4 ? "EMAIL;TYPE=cell" : "EMAIL;TYPE=INTERNET,CELL", pal.m_strMobileAddress);
    for (const std::string& address : record.extraAddresses)
        card.Line(v4 ? "EMAIL" : "EMAIL;TYPE=INTERNET", EscapeVCardUtf8(address));
    text(v4 ? "TEL;TYPE=voice" : "TEL;TYPE=VOICE", PalField::Tel1);
    text(pal.m_strTel1.empty() ? "TEL;X-YUBINO-SLOT=2" : (v4 ? "TEL;TYPE=voice" : "TEL;TYPE=VOICE"), PalField::Tel2);
    for (const std::string& number : record.extraPhones)
        card.Line(v4 ? "TEL;TYPE=voice" : "TEL;TYPE=VOICE", EscapeVCardUtf8(number));
    const COleDateTime defaultDate(kDefaultPalDate, COleDateTime::valid);
    if (pal.m_dtBirthday != defaultDate) {
        const std::string iso = FormatIsoDate(pal.m_dtBirthday);
        if (!iso.empty()) card.Line("BDAY", v4 ? iso.substr(0, 4) + iso.substr(5, 2) + iso.substr(8) : iso);
        if (ParseDateText(iso) != std::optional<COleDateTime>(pal.m_dtBirthday))
            card.Line("X-YUBINO-BIRTHDAY", FormatExactDate(pal.m_dtBirthday));
    } else if (!record.birthdayNoYear.empty()) {
        card.Line("BDAY", v4 ? record.birthdayNoYear
                             : "--" + record.birthdayNoYear.substr(2, 2) + "-" + record.birthdayNoYear.substr(4));
    }
    if (!pal.m_strResidence.empty()) WriteResidence(card, shown(PalField::Residence), record, v4);
    text("TITLE", PalField::Job);
    text("URL", PalField::HomePage);
    WithBreaks(card, "NOTE", pal.m_strMemo, shown(PalField::Memo));
    const std::string male = Cp932Text(texts::kSexMale), female = Cp932Text(texts::kSexFemale);
    if (pal.m_strSex == male || pal.m_strSex == female)
        card.Line(v4 ? "GENDER" : "X-GENDER", pal.m_strSex == male ? (v4 ? "M" : "Male") : (v4 ? "F" : "Female"));
    else if (pal.m_strSex != kNotGiven)
        card.Text("X-YUBINO-SEX", pal.m_strSex);
    text(v4 ? "HOBBY" : "X-YUBINO-HOBBY", PalField::Hobby);
    if (pal.m_strAge != kNotGiven) card.Text("X-YUBINO-AGE", pal.m_strAge);
    text("X-YUBINO-BIRTHPLACE", PalField::Birthplace);
    if (pal.m_strBloodType != kNotGiven) card.Text("X-YUBINO-BLOODTYPE", pal.m_strBloodType);
    if (!pal.m_strMapName.empty() || pal.m_nMapX || pal.m_nMapY)
        card.Line("X-YUBINO-MAP", EscapeVCardText(pal.m_strMapName) + ";" + std::to_string(pal.m_nMapX) + ";" +
                                      std::to_string(pal.m_nMapY));
    if (pal.m_nFaceIcon) card.Line("X-YUBINO-FACEICON", std::to_string(pal.m_nFaceIcon));
    if (pal.m_dtFirstMail != defaultDate) card.Line("X-YUBINO-FIRSTMAIL", FormatExactDate(pal.m_dtFirstMail));
    if (pal.m_dtLastMail != defaultDate) card.Line("X-YUBINO-LASTMAIL", FormatExactDate(pal.m_dtLastMail));
    WithBreaks(card, "X-YUBINO-LASTMAILTEXT", pal.m_strLastMailText, shown(PalField::LastMailText));
    if (!pal.m_strPictureFile.empty() || pal.m_bUsePicture)
        card.Line("X-YUBINO-PICTURE", EscapeVCardText(pal.m_strPictureFile) + ";" + std::to_string(pal.m_bUsePicture));
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

std::string WriteVCards(std::span<const CPenPal> pals, VCardVersion version, const std::filesystem::path& dataFolder) {
    std::vector<PalCard> cards(pals.size());
    for (std::size_t i = 0; i < pals.size(); ++i) cards[i].uid = StableUid(pals[i].m_strMailAddress);
    return WriteVCards(pals, version, dataFolder, cards);
}

std::string WriteVCards(std::span<const CPenPal> pals, VCardVersion version, const std::filesystem::path& dataFolder,
                        std::span<const PalCard> cards) {
    std::string out;
    CardWriter writer(out);
    for (std::size_t i = 0; i < pals.size(); ++i)
        WriteCard(writer, pals[i], version, ReadPhoto(pals[i], dataFolder), i < cards.size() ? cards[i] : PalCard{});
    return out;
}

std::string StableUid(std::string_view address) {
    // Two FNV-1a hashes of the address, shaped as a name-based UUID.
    std::uint64_t a = 14695981039346656037ull, b = 1099511628211ull * 31;
    for (char c : address) {
        a = (a ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        b = (b ^ static_cast<unsigned char>(c)) * 1099511628211ull + 0x9E3779B97F4A7C15ull;
    }
    char text[37];
    std::snprintf(text, sizeof text, "%08x-%04x-5%03x-%04x-%012llx", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>(a >> 16) & 0xFFFF, static_cast<unsigned>(a) & 0xFFF,
                  (static_cast<unsigned>(b >> 48) & 0x3FFF) | 0x8000,
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return text;
}
