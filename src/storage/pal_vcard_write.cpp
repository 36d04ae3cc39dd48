#include <optional>
#include <algorithm>

#include "core/cp932.h"
#include "core/picture_path.h"
#include "core/texts.h"
#include "storage/pal_fields.h"
#include "storage/pal_vcard.h"
#include "storage/text_encoding.h"
#include "core/file_read.h"
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

// N from the name: the family name before the first blank, the given name after it.
std::string StructuredName(const std::string& name) {
    const std::size_t blank = name.find(' ');
    if (blank == std::string::npos) return EscapeVCardText(name) + ";;;;";
    return EscapeVCardText(name.substr(0, blank)) + ";" + EscapeVCardText(name.substr(blank + 1)) + ";;;";
}

void WriteCard(CardWriter& card, const CPenPal& pal, VCardVersion version, const std::string& photo) {
    const bool v4 = version == VCardVersion::V4;
    card.Line("BEGIN", "VCARD");
    card.Line("VERSION", v4 ? "4.0" : "3.0");
    const std::string& shown = !pal.m_strName.empty()         ? pal.m_strName
                               : !pal.m_strHandleName.empty() ? pal.m_strHandleName
                                                              : pal.m_strMailAddress;
    card.Line("FN", EscapeVCardText(shown));
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
        card.Line(v4 ? "ADR;TYPE=home" : "ADR;TYPE=HOME", ";;;;" + EscapeVCardText(pal.m_strResidence) + ";;");
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
        card.Line("X-YUBINO-MAP", EscapeVCardText(pal.m_strMapName) + ";" + std::to_string(pal.m_nMapX) + ";" +
                                      std::to_string(pal.m_nMapY));
    if (pal.m_nFaceIcon) card.Line("X-YUBINO-FACEICON", std::to_string(pal.m_nFaceIcon));
    if (pal.m_dtFirstMail != defaultDate) card.Line("X-YUBINO-FIRSTMAIL", FormatExactDate(pal.m_dtFirstMail));
    if (pal.m_dtLastMail != defaultDate) card.Line("X-YUBINO-LASTMAIL", FormatExactDate(pal.m_dtLastMail));
    if (!pal.m_strLastMailText.empty()) card.Line("X-YUBINO-LASTMAILTEXT", EscapeStoredMailText(pal.m_strLastMailText));
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
    std::string out;
    CardWriter writer(out);
    for (const CPenPal& pal : pals) WriteCard(writer, pal, version, ReadPhoto(pal, dataFolder));
    return out;
}
