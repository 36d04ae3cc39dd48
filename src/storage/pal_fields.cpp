#include "storage/pal_fields.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "core/texts.h"

namespace {

// Which member a field is: a text, a date or a number.
struct FieldRef {
    std::string* text = nullptr;
    COleDateTime* date = nullptr;
    int* number = nullptr;
};

FieldRef Ref(CPenPal& pal, PalField field) {
    switch (field) {
        case PalField::HandleName:
            return {&pal.m_strHandleName};
        case PalField::Name:
            return {&pal.m_strName};
        case PalField::Sex:
            return {&pal.m_strSex};
        case PalField::Age:
            return {&pal.m_strAge};
        case PalField::MailAddress:
            return {&pal.m_strMailAddress};
        case PalField::Job:
            return {&pal.m_strJob};
        case PalField::HomePage:
            return {&pal.m_strHomePage};
        case PalField::Residence:
            return {&pal.m_strResidence};
        case PalField::Birthplace:
            return {&pal.m_strBirthplace};
        case PalField::BloodType:
            return {&pal.m_strBloodType};
        case PalField::Birthday:
            return {nullptr, &pal.m_dtBirthday};
        case PalField::FirstMail:
            return {nullptr, &pal.m_dtFirstMail};
        case PalField::LastMail:
            return {nullptr, &pal.m_dtLastMail};
        case PalField::Tel1:
            return {&pal.m_strTel1};
        case PalField::Tel2:
            return {&pal.m_strTel2};
        case PalField::Hobby:
            return {&pal.m_strHobby};
        case PalField::MapName:
            return {&pal.m_strMapName};
        case PalField::LastMailText:
            return {&pal.m_strLastMailText};
        case PalField::FaceIcon:
            return {nullptr, nullptr, &pal.m_nFaceIcon};
        case PalField::MapX:
            return {nullptr, nullptr, &pal.m_nMapX};
        case PalField::MapY:
            return {nullptr, nullptr, &pal.m_nMapY};
        case PalField::PictureFile:
            return {&pal.m_strPictureFile};
        case PalField::UsePicture:
            return {nullptr, nullptr, &pal.m_bUsePicture};
        case PalField::MailAddress2:
            return {&pal.m_strMailAddress2};
        case PalField::MobileAddress:
            return {&pal.m_strMobileAddress};
        case PalField::Memo:
            return {&pal.m_strMemo};
    }
    return {};
}

// The stored mail text keeps its line breaks as backspace bytes; outside they are line feeds.
constexpr char kStoredLineBreak = '\x08';

bool ReadNumber(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// Reads `digits` digits at text[pos] into `value`.
bool Digits(std::string_view text, std::size_t& pos, std::size_t digits, int& value) {
    if (pos + digits > text.size()) return false;
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

bool Skip(std::string_view text, std::size_t& pos, char separator) {
    if (separator == 0) return true;
    if (pos >= text.size() || text[pos] != separator) return false;
    ++pos;
    return true;
}

}  // namespace

std::string PalFieldLabel(PalField field) { return Cp932Text(texts::kPalFieldLabels[static_cast<int>(field)]); }

std::string GetPalFieldText(const CPenPal& pal, PalField field) {
    const FieldRef ref = Ref(const_cast<CPenPal&>(pal), field);
    if (ref.date) return FormatIsoDate(*ref.date);
    if (ref.number) return std::to_string(*ref.number);
    if (field != PalField::LastMailText) return *ref.text;
    std::string text = *ref.text;
    std::replace(text.begin(), text.end(), kStoredLineBreak, '\n');
    return text;
}

bool SetPalFieldText(CPenPal& pal, PalField field, std::string_view text) {
    const FieldRef ref = Ref(pal, field);
    if (ref.date) {
        const std::optional<COleDateTime> date = ParseDateText(text);
        if (date) *ref.date = *date;
        return date.has_value();
    }
    if (ref.number) return ReadNumber(text, *ref.number);
    *ref.text = text;
    if (field == PalField::LastMailText) std::replace(ref.text->begin(), ref.text->end(), '\n', kStoredLineBreak);
    return true;
}

std::string FormatIsoDate(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid) return {};
    std::string text = date.Format("%Y-%m-%d");
    return text.size() == 10 ? text : std::string();  // a value no calendar holds
}

std::optional<COleDateTime> ParseDateText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(text, pos, 4, year)) return std::nullopt;
    const char separator = pos < text.size() && (text[pos] == '-' || text[pos] == '/') ? text[pos] : 0;
    if (!Skip(text, pos, separator) || !Digits(text, pos, 2, month) || !Skip(text, pos, separator) ||
        !Digits(text, pos, 2, day))
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'T' || text[pos] == ' ')) {
        ++pos;
        const char timeSeparator = pos + 2 < text.size() && text[pos + 2] == ':' ? ':' : 0;
        if (!Digits(text, pos, 2, hour) || !Skip(text, pos, timeSeparator) || !Digits(text, pos, 2, minute))
            return std::nullopt;
        if (pos < text.size() && (timeSeparator == 0 || text[pos] == ':') &&
            (!Skip(text, pos, timeSeparator) || !Digits(text, pos, 2, second)))
            return std::nullopt;
        // A zone (Z, +09:00) or fraction may follow; the date stays the local one written.
    } else if (pos != text.size()) {
        return std::nullopt;
    }
    COleDateTime date;
    if (!date.SetDateTime(year, month, day, hour, minute, second)) return std::nullopt;
    return date;
}

std::string FormatExactDate(const COleDateTime& date) {
    if (date.GetStatus() == COleDateTime::valid) {
        std::string iso = date.Format("%Y-%m-%dT%H:%M:%S");
        if (std::optional<COleDateTime> back = ParseDateText(iso); back && *back == date) return iso;
    }
    char exact[64];
    std::snprintf(exact, sizeof exact, "ole:%d:%.17g", static_cast<int>(date.m_status), date.m_dt);
    return exact;
}

std::optional<COleDateTime> ParseExactDate(std::string_view text) {
    if (!text.starts_with("ole:")) return ParseDateText(text);
    const std::string rest(text.substr(4));
    char* end = nullptr;
    const long status = std::strtol(rest.c_str(), &end, 10);
    if (*end != ':' || status < 0 || status > 2) return std::nullopt;
    const char* number = end + 1;
    const double value = std::strtod(number, &end);
    if (end == number || *end != '\0') return std::nullopt;
    return COleDateTime(value, static_cast<COleDateTime::DateTimeStatus>(status));
}
