#include "storage/pal_csv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "core/cp932.h"
#include "core/texts.h"
#include "storage/pal_card_text.h"
#include "storage/text_encoding.h"

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Header names, lower case for Latin ones, as the programs write them.
const std::map<std::string, CsvRole>& KnownHeaders() {
    static const std::map<std::string, CsvRole> known = [] {
        std::map<std::string, CsvRole> m = {
            // Thunderbird, Google Contacts and Outlook in English
            {"first name", CsvRole::GivenName},
            {"given name", CsvRole::GivenName},
            {"last name", CsvRole::FamilyName},
            {"family name", CsvRole::FamilyName},
            {"display name", CsvRole::DisplayName},
            {"name", CsvRole::DisplayName},
            {"nickname", RoleOf(PalField::HandleName)},
            {"primary email", CsvRole::Email},
            {"secondary email", CsvRole::Email},
            {"e-mail address", CsvRole::Email},
            {"e-mail 2 address", CsvRole::Email},
            {"e-mail 3 address", CsvRole::Email},
            {"mobile number", CsvRole::Phone},
            {"home phone", CsvRole::Phone},
            {"work phone", CsvRole::Phone},
            {"mobile phone", CsvRole::Phone},
            {"business phone", CsvRole::Phone},
            {"home phone 2", CsvRole::Phone},
            {"home address", CsvRole::Street},
            {"home street", CsvRole::Street},
            {"home city", CsvRole::City},
            {"home state", CsvRole::Region},
            {"web page 1", RoleOf(PalField::HomePage)},
            {"web page", RoleOf(PalField::HomePage)},
            {"birth year", CsvRole::BirthYear},
            {"birth month", CsvRole::BirthMonth},
            {"birth day", CsvRole::BirthDayOfMonth},
            {"birthday", RoleOf(PalField::Birthday)},
            {"gender", CsvRole::Gender},
            {"notes", RoleOf(PalField::Memo)},
            {"job title", RoleOf(PalField::Job)},
            {"hobby", RoleOf(PalField::Hobby)},
            {"organization title", RoleOf(PalField::Job)},
            {"organization 1 - title", RoleOf(PalField::Job)},
            {"address 1 - formatted", CsvRole::FormattedAddress},
            {"website 1 - value", RoleOf(PalField::HomePage)},
            // Outlook and Thunderbird in Japanese
            {"姓", CsvRole::FamilyName},
            {"名", CsvRole::GivenName},
            {"表示名", CsvRole::DisplayName},
            {"ニックネーム", RoleOf(PalField::HandleName)},
            {"電子メール アドレス", CsvRole::Email},
            {"電子メール 2 アドレス", CsvRole::Email},
            {"電子メール 3 アドレス", CsvRole::Email},
            {"電子メール", CsvRole::Email},
            {"第 2 電子メール", CsvRole::Email},
            {"自宅電話", CsvRole::Phone},
            {"携帯電話", CsvRole::Phone},
            {"会社電話", CsvRole::Phone},
            {"自宅電話番号", CsvRole::Phone},
            {"携帯電話番号", CsvRole::Phone},
            {"自宅番地", CsvRole::Street},
            {"自宅市区町村", CsvRole::City},
            {"自宅都道府県", CsvRole::Region},
            {"性別", CsvRole::Gender},
            {"役職", RoleOf(PalField::Job)},
            {"web ページ", RoleOf(PalField::HomePage)},
            {"誕生年", CsvRole::BirthYear},
            {"誕生月", CsvRole::BirthMonth},
            // readings and postal codes
            {"phonetic first name", CsvRole::ReadingGiven},
            {"phonetic last name", CsvRole::ReadingFamily},
            {"given name yomi", CsvRole::ReadingGiven},
            {"family name yomi", CsvRole::ReadingFamily},
            {"home postal code", CsvRole::PostalCode},
            {"home zipcode", CsvRole::PostalCode},
            {"zipcode", CsvRole::PostalCode},
            {"address 1 - street", CsvRole::Street},
            {"address 1 - city", CsvRole::City},
            {"address 1 - region", CsvRole::Region},
            {"address 1 - postal code", CsvRole::PostalCode},
            {"姓 (ふりがな)", CsvRole::ReadingFamily},
            {"名 (ふりがな)", CsvRole::ReadingGiven},
            {"自宅郵便番号", CsvRole::PostalCode},
            // Google Contacts in Japanese
            {"姓の読み", CsvRole::ReadingFamily},
            {"名の読み", CsvRole::ReadingGiven},
            {"姓（フリガナ）", CsvRole::ReadingFamily},
            {"名（フリガナ）", CsvRole::ReadingGiven},
            {"メモ", RoleOf(PalField::Memo)},
            {"誕生日", RoleOf(PalField::Birthday)},
            {"住所 1 - 番地", CsvRole::Street},
            {"住所 1 - 市区町村", CsvRole::City},
            {"住所 1 - 都道府県", CsvRole::Region},
            {"住所 1 - 郵便番号", CsvRole::PostalCode},
            {"住所 1 - 書式設定済み", CsvRole::FormattedAddress},
            // a Japanese webmail's address book
            {"メールアドレス", CsvRole::Email},
            {"携帯メールアドレス", CsvRole::MobileEmail},
            {"郵便番号", CsvRole::PostalCode},
            {"都道府県", CsvRole::Region},
            {"市区町村", CsvRole::City},
            {"番地", CsvRole::Street},
            {"電話番号", CsvRole::Phone},
        };
        // Google numbers its repeated columns.
        for (int i = 1; i <= 9; ++i) {
            const std::string n = std::to_string(i);
            m["e-mail " + n + " - value"] = CsvRole::Email;
            m["e-mail " + n + " - type"] = CsvRole::EmailLabel;
            m["e-mail " + n + " - label"] = CsvRole::EmailLabel;
            m["phone " + n + " - value"] = CsvRole::Phone;
            m["phone " + n + " - type"] = CsvRole::PhoneLabel;
            m["phone " + n + " - label"] = CsvRole::PhoneLabel;
            m["メール " + n + " - 値"] = CsvRole::Email;
            m["メール " + n + " - ラベル"] = CsvRole::EmailLabel;
            m["電話 " + n + " - 値"] = CsvRole::Phone;
            m["電話 " + n + " - ラベル"] = CsvRole::PhoneLabel;
        }
        // Yubino's own export: one column per field.
        for (int i = 0; i < kPalFieldCount; ++i) m[Lower(texts::kPalFieldLabels[i])] = static_cast<CsvRole>(i);
        m[texts::kPalFieldLabels[static_cast<int>(PalField::Sex)]] = CsvRole::Gender;
        return m;
    }();
    return known;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether the last character of code page 932 text is a single byte below 0x80 (a trail
// byte can look like one).
bool EndsInAscii(const std::string& text) {
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += cp932::CharLength(text, pos)) last = pos;
    return !text.empty() && static_cast<unsigned char>(text[last]) < 0x80;
}

// Joins name or address parts (code page 932): a blank between Latin words, none inside
// Japanese text.
std::string JoinParts(std::initializer_list<const std::string*> parts, bool blankAlways = false) {
    std::string out;
    for (const std::string* part : parts) {
        if (part->empty()) continue;
        if (!out.empty() && (blankAlways || EndsInAscii(out) || static_cast<unsigned char>(part->front()) < 0x80))
            out += ' ';
        out += *part;
    }
    return out;
}

int Number(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Dates as the programs write them: the ISO forms, "1980/1/2" and Outlook's English "1/2/1980".
std::optional<COleDateTime> ParseLooseDate(std::string_view text) {
    if (std::optional<COleDateTime> iso = ParseDateText(text)) return iso;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '/' || text[i] == '-' || text[i] == '.') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() != 3) return std::nullopt;
    int year = 0, month = 0, day = 0;
    if (parts[0].size() == 4)
        year = Number(parts[0]), month = Number(parts[1]), day = Number(parts[2]);
    else if (parts[2].size() == 4)
        month = Number(parts[0]), day = Number(parts[1]), year = Number(parts[2]);
    else
        return std::nullopt;
    if (year <= 0) return std::nullopt;  // "0/0/00": no birthday
    COleDateTime date;
    if (!date.SetDateTime(year, month, day, 0, 0, 0)) return std::nullopt;
    return date;
}

std::string SexFromText(const std::string& cp932Text) {
    const std::string male = Cp932Text(texts::kSexMale), female = Cp932Text(texts::kSexFemale);
    const std::string lower = Lower(cp932Text);
    if (cp932Text.starts_with(male) || lower == "male" || lower == "m") return male;
    if (cp932Text.starts_with(female) || lower == "female" || lower == "f") return female;
    return kNotGiven;
}

// What the columns of one row give before they settle into a pal.
struct RowParts {
    std::string given, family, display, mobile, label, phoneLabel, street, city, region, formatted;
    std::vector<std::string> mails, phones, mobilePhones;
    COriginalTexts texts;
    PalCard card;
    int year = 0, month = 0, day = 0;
    bool set[kPalFieldCount] = {};
};

void TakeColumn(CsvRole role, const std::string& value, CPenPal& pal, RowParts& row) {
    switch (role) {
        case CsvRole::Ignore:
            return;
        case CsvRole::GivenName:
            row.given = value;
            return;
        case CsvRole::FamilyName:
            row.family = value;
            return;
        case CsvRole::DisplayName:
            row.display = value;
            return;
        case CsvRole::EmailLabel:
            row.label = Lower(value);
            return;
        case CsvRole::Email:
            if (row.label.find("mobile") != std::string::npos && row.mobile.empty())
                row.mobile = value;
            else if (!value.empty())
                row.mails.push_back(value);
            row.label.clear();
            return;
        case CsvRole::MobileEmail:
            row.mobile = value;
            return;
        case CsvRole::PhoneLabel:
            row.phoneLabel = Lower(value);
            return;
        case CsvRole::Phone:
            if (!value.empty()) row.phones.push_back(value);
            if (!value.empty() && row.phoneLabel.find("mobile") != std::string::npos) row.mobilePhones.push_back(value);
            row.phoneLabel.clear();
            return;
        case CsvRole::ReadingFamily:
            row.card.readingFamily = cp932::ToUtf8(value);
            return;
        case CsvRole::ReadingGiven:
            row.card.readingGiven = cp932::ToUtf8(value);
            return;
        case CsvRole::PostalCode:
            row.card.postalCode = cp932::ToUtf8(value);
            return;
        case CsvRole::Street:
            row.street = value;
            return;
        case CsvRole::City:
            row.city = value;
            return;
        case CsvRole::Region:
            row.region = value;
            return;
        case CsvRole::FormattedAddress:
            row.formatted = value;
            return;
        case CsvRole::BirthYear:
            row.year = Number(value);
            return;
        case CsvRole::BirthMonth:
            row.month = Number(value);
            return;
        case CsvRole::BirthDayOfMonth:
            row.day = Number(value);
            return;
        case CsvRole::Gender:
            if (!value.empty()) pal.m_strSex = value == kNotGiven ? value : SexFromText(value);
            return;
        default:
            break;
    }
    const auto field = static_cast<PalField>(role);
    if (static_cast<int>(role) < 0 || static_cast<int>(role) >= kPalFieldCount) return;
    if (value.empty()) {
        // An empty column of the pal's own still says "empty"; a missing handle name is
        // made from the name instead.
        if (field != PalField::HandleName) row.set[static_cast<int>(field)] = true;
        return;
    }
    if (field == PalField::Birthday && value.size() <= 2) {
        row.day = Number(value);  // Thunderbird's Japanese header names the day of month so
        return;
    }
    if (field == PalField::Birthday) {
        if (std::optional<COleDateTime> date = ParseLooseDate(value))
            pal.m_dtBirthday = *date;
        else if (std::optional<std::string> noYear = BirthdayWithoutYear(value))
            row.card.birthdayNoYear = *noYear;
    } else {
        SetPalFieldText(pal, field, value);
    }
    row.set[static_cast<int>(field)] = true;
}

void Settle(RowParts& row, CPenPal& pal) {
    const auto unset = [&](PalField field) { return !row.set[static_cast<int>(field)]; };
    if (unset(PalField::Name)) {
        const bool latin = IsAscii(row.given) && IsAscii(row.family);
        pal.m_strName = !row.display.empty() ? row.display
                        : latin              ? JoinParts({&row.given, &row.family})
                                             : JoinParts({&row.family, &row.given}, true);
    }
    if (unset(PalField::HandleName)) pal.m_strHandleName = !row.display.empty() ? row.display : pal.m_strName;
    std::size_t next = 0;
    if (unset(PalField::MailAddress) && next < row.mails.size()) pal.m_strMailAddress = row.mails[next++];
    if (unset(PalField::MailAddress2) && next < row.mails.size()) pal.m_strMailAddress2 = row.mails[next++];
    if (unset(PalField::MobileAddress)) pal.m_strMobileAddress = row.mobile;
    if (pal.m_strMobileAddress.empty() && next < row.mails.size()) pal.m_strMobileAddress = row.mails[next++];
    for (; next < row.mails.size(); ++next) row.card.extraAddresses.push_back(cp932::ToUtf8(row.mails[next]));
    if (pal.m_strMailAddress.empty() && pal.m_strMailAddress2.empty())
        std::swap(pal.m_strMailAddress, pal.m_strMobileAddress);
    row.phones = MobileInASlot(row.phones, row.mobilePhones);
    next = 0;
    if (unset(PalField::Tel1) && next < row.phones.size()) pal.m_strTel1 = row.phones[next++];
    if (unset(PalField::Tel2) && next < row.phones.size()) pal.m_strTel2 = row.phones[next++];
    for (; next < row.phones.size(); ++next) row.card.extraPhones.push_back(cp932::ToUtf8(row.phones[next]));
    if (unset(PalField::Residence)) {
        std::string formatted = row.formatted;
        std::replace(formatted.begin(), formatted.end(), '\n', ' ');
        std::erase(formatted, '\r');
        pal.m_strResidence = !formatted.empty() ? formatted : JoinParts({&row.region, &row.city, &row.street});
    }
    if (row.year > 0 && row.month > 0 && row.day > 0) {
        COleDateTime date;
        if (date.SetDateTime(row.year, row.month, row.day, 0, 0, 0)) pal.m_dtBirthday = date;
    }
}

}  // namespace

std::vector<CsvRole> RecognizeCsvHeader(const std::vector<std::string>& header) {
    std::vector<CsvRole> roles;
    roles.reserve(header.size());
    for (const std::string& name : header) {
        const auto it = KnownHeaders().find(Lower(Trimmed(name)));
        roles.push_back(it == KnownHeaders().end() ? CsvRole::Ignore : it->second);
    }
    return roles;
}

bool RolesGiveAddress(const std::vector<CsvRole>& roles) {
    return std::any_of(roles.begin(), roles.end(), [](CsvRole role) {
        return role == CsvRole::Email || role == CsvRole::MobileEmail || role == RoleOf(PalField::MailAddress) ||
               role == RoleOf(PalField::MailAddress2) || role == RoleOf(PalField::MobileAddress);
    });
}

ImportedPals PalsFromCsvRecords(std::span<const CsvRecord> records, const std::vector<CsvRole>& roles,
                                const std::vector<std::string>& header) {
    ImportedPals result;
    result.pals.reserve(records.size());
    for (const CsvRecord& record : records) {
        ImportedPal imported;
        imported.line = record.line;
        RowParts row;
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            const std::string& value = record.fields[i];
            const CsvRole role = i < roles.size() ? roles[i] : CsvRole::Ignore;
            if (role == CsvRole::Ignore) {
                if (!Trimmed(value).empty())
                    imported.dropped.push_back((i < header.size() ? header[i] : std::to_string(i + 1)) + ": " +
                                               value.substr(0, 80));
                continue;
            }
            TakeColumn(role, row.texts.Cp932(std::string(GuardedCellValue(value))), imported.pal, row);
        }
        Settle(row, imported.pal);
        row.texts.KeepIn(imported.pal, row.card);
        imported.card = std::move(row.card);
        if (!imported.pal.m_strMailAddress.empty()) result.pals.push_back(std::move(imported));
    }
    return result;
}

std::string WritePalCsv(std::span<const CPenPal> pals, CsvEncoding encoding, CsvCells cells) {
    const bool utf8 = encoding == CsvEncoding::Utf8WithBom;
    std::string out = utf8 ? "\xEF\xBB\xBF" : "";
    const auto row = [&](auto&& fieldText) {
        for (int i = 0; i < kPalFieldCount; ++i) {
            if (i) out += ',';
            std::string text = fieldText(static_cast<PalField>(i));
            if (cells == CsvCells::Guarded) text = GuardCsvCell(text);
            out += QuoteCsvField(utf8 ? cp932::ToUtf8(text) : text);
        }
        out += "\r\n";
    };
    row([](PalField field) { return PalFieldLabel(field); });
    for (const CPenPal& pal : pals) row([&](PalField field) { return GetPalFieldText(pal, field); });
    return out;
}
