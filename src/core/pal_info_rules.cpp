#include "core/pal_info_rules.h"

#include <cctype>

#include "core/cp932.h"
#include "core/maps.h"
#include "core/texts.h"
#include "core/yubino_app.h"

namespace {

constexpr int kMaxAge = 119;

template <std::size_t N>
std::vector<std::string> Cp932List(const char* const (&utf8)[N]) {
    std::vector<std::string> list;
    for (const char* text : utf8) list.push_back(Cp932Text(text));
    return list;
}

// True when `text` begins with `prefix` and the prefix ends between two characters of it.
bool StartsWithCharacters(const std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) != 0) return false;
    std::size_t pos = 0;
    while (pos < prefix.size()) pos += cp932::CharLength(text, pos);
    return pos == prefix.size();
}

bool IsDefaultPalDate(const COleDateTime& date) { return date == COleDateTime(kDefaultPalDate, COleDateTime::valid); }

void ApplyText(const std::string& entered, std::string& field) {
    if (!entered.empty()) field = entered;
}

void ApplyUnlessNotGiven(const std::string& entered, std::string& field) {
    if (!entered.empty() && entered != kNotGiven) field = entered;
}

void ApplyDate(const COleDateTime& entered, COleDateTime& field) {
    if (!IsDefaultPalDate(entered)) field = entered;
}

}  // namespace

std::vector<std::string> SexChoices() { return Cp932List(texts::kSexChoices); }
std::vector<std::string> JobChoices() { return Cp932List(texts::kJobChoices); }
std::vector<std::string> BloodTypeChoices() { return Cp932List(texts::kBloodTypeChoices); }
std::vector<std::string> MapChoices() { return {std::begin(g_apszMapNames), std::end(g_apszMapNames)}; }

std::vector<std::string> AgeChoices() {
    std::vector<std::string> list{kNotGiven};
    for (int age = 1; age <= kMaxAge; ++age) list.push_back(cp932::ToFullWidth(std::to_string(age)));
    return list;
}

int FindEntryByPrefix(const std::vector<std::string>& entries, const std::string& stored) {
    if (stored.empty()) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (StartsWithCharacters(entries[i], stored)) return static_cast<int>(i);
    return -1;
}

std::string PalInfoTitle(PalInfoMode mode, const std::string& handleName) {
    if (mode == PalInfoMode::EditSeveral) return Cp932Text(texts::kPalInfoSeveralTitle);
    // A new pal without a name yet has no name to show: no empty quotes.
    if (mode == PalInfoMode::AddNew && handleName.empty()) return Cp932Text(texts::kPalInfoNewTitle);
    std::string title = FormatText(texts::kPalInfoTitle, handleName);
    if (mode == PalInfoMode::AddNew) title += Cp932Text(texts::kPalInfoNewSuffix);
    return title;
}

PalInfoProblem CheckPalInfo(const CPenPal& entered, const std::string& originalAddress, PalInfoMode mode,
                            const CYubinoApp& app) {
    if (mode == PalInfoMode::EditSeveral) return {};
    if (entered.m_strHandleName.empty()) return {PalInfoField::HandleName, Cp932Text(texts::kEnterHandleName)};
    const std::string& address = entered.m_strMailAddress;
    if (address.empty()) return {PalInfoField::MailAddress, Cp932Text(texts::kEnterMailAddress)};
    // Editing may keep the pal's own address; a new pal may take none that is stored.
    const bool mayBeStored = mode == PalInfoMode::EditOne && address == originalAddress;
    CPenPal other;
    if (!mayBeStored && app.FindPalByAddress(address, other))
        return {PalInfoField::MailAddress, FormatText(texts::kAddressUsedByOther, address)};
    return {};
}

namespace {

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() <= prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool IsAsciiAlnum(unsigned char c) { return std::isalnum(c) && c < 0x80; }

// "name:" before anything else, where the name is a URL scheme's; "host:8080" is a port.
bool HasScheme(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return colon + 1 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[colon + 1]));
}

}  // namespace

std::optional<std::string> HomePageLink(const std::string& text) {
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://")) return text;
    if (text.empty() || HasScheme(text)) return std::nullopt;
    // A host name starts with a letter or a digit (or a character of an international name).
    const unsigned char first = static_cast<unsigned char>(text.front());
    if (!IsAsciiAlnum(first) && first < 0x80) return std::nullopt;
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= ' ') return std::nullopt;
    return "http://" + text;
}

COleDateTime WithPickedDay(const COleDateTime& stored, int year, int month, int day) {
    int hour = 0, minute = 0, second = 0;
    if (stored.GetStatus() == COleDateTime::valid) {
        hour = stored.GetHour();
        minute = stored.GetMinute();
        second = stored.GetSecond();
    }
    return COleDateTime(year, month, day, hour, minute, second);
}

void ApplyMultipleEdit(const CPenPal& dialogRecord, CPenPal& pal) {
    if (dialogRecord.m_nFaceIcon != -1) pal.m_nFaceIcon = dialogRecord.m_nFaceIcon;
    ApplyText(dialogRecord.m_strName, pal.m_strName);
    ApplyText(dialogRecord.m_strJob, pal.m_strJob);
    ApplyText(dialogRecord.m_strHomePage, pal.m_strHomePage);
    ApplyText(dialogRecord.m_strResidence, pal.m_strResidence);
    ApplyText(dialogRecord.m_strBirthplace, pal.m_strBirthplace);
    ApplyText(dialogRecord.m_strTel1, pal.m_strTel1);
    ApplyText(dialogRecord.m_strTel2, pal.m_strTel2);
    ApplyText(dialogRecord.m_strHobby, pal.m_strHobby);
    ApplyText(dialogRecord.m_strMapName, pal.m_strMapName);
    ApplyUnlessNotGiven(dialogRecord.m_strSex, pal.m_strSex);
    ApplyUnlessNotGiven(dialogRecord.m_strAge, pal.m_strAge);
    ApplyDate(dialogRecord.m_dtBirthday, pal.m_dtBirthday);
    ApplyDate(dialogRecord.m_dtFirstMail, pal.m_dtFirstMail);
    ApplyDate(dialogRecord.m_dtLastMail, pal.m_dtLastMail);
}
