#include "mail/mail_batch.h"

#include <algorithm>


namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// A mail's date moves a stored date only when it is valid; an invalid stored date gives
// way to any valid one.
bool IsLaterThan(const COleDateTime& mail, const COleDateTime& stored) {
    return mail.m_status == COleDateTime::valid && (stored.m_status != COleDateTime::valid || mail.m_dt > stored.m_dt);
}
bool IsEarlierThan(const COleDateTime& mail, const COleDateTime& stored) {
    return mail.m_status == COleDateTime::valid && (stored.m_status != COleDateTime::valid || mail.m_dt < stored.m_dt);
}

}  // namespace

bool IsSameMailAddress(std::string_view a, std::string_view b) { return EqualNoCase(a, b); }

bool ApplyBatchRules(CPenPal& pal, const COleDateTime& date, const std::string& storedText) {
    bool changed = false;
    if (IsLaterThan(date, pal.m_dtLastMail)) {
        pal.m_dtLastMail = date;
        pal.m_strLastMailText = storedText;
        changed = true;
    }
    if (IsEarlierThan(date, pal.m_dtFirstMail)) {
        pal.m_dtFirstMail = date;
        changed = true;
    }
    return changed;
}

bool FindPalByAnyAddress(const CYubinoApp& app, std::string_view address, CPenPal& pal) {
    if (address.empty()) return false;
    for (const CPenPal& candidate : app.Pals()) {
        for (const std::string* own :
             {&candidate.m_strMailAddress, &candidate.m_strMailAddress2, &candidate.m_strMobileAddress}) {
            if (!own->empty() && IsSameMailAddress(*own, address)) {
                pal = candidate;
                return true;
            }
        }
    }
    return false;
}
