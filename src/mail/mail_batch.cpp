#include "mail/mail_batch.h"

#include <algorithm>

#include "core/texts.h"
#include "mail/mail_intake.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

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

bool IsSameMailAddress(std::string_view a, std::string_view b) {
    const std::size_t atA = a.rfind('@'), atB = b.rfind('@');
    if (atA == npos || atB == npos) return a == b;
    return a.substr(0, atA) == b.substr(0, atB) && EqualNoCase(a.substr(atA), b.substr(atB));
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

void TakeInInternetMail(CYubinoApp& app, const ParsedMail& mail) {
    if (mail.replacedCharacters > 0) TellReplacedCharacters(app);
    CPenPal received = mail.pal;
    CPenPal pal;
    // The road after parsing looks a pal up by its key, the first address.
    if (FindPalByAnyAddress(app, received.m_strMailAddress, pal)) received.m_strMailAddress = pal.m_strMailAddress;
    TakeInReceivedMail(app, received);
}

void CMailBatch::Take(const ParsedMail& parsed) {
    ++m_nRead;
    CPenPal pal;
    if (FindPalByAnyAddress(m_app, parsed.pal.m_strMailAddress, pal))
        UpdateKnownPal(pal, parsed.pal);
    else
        GatherUnknown(parsed.pal);
}

void CMailBatch::UpdateKnownPal(CPenPal pal, const CPenPal& mail) {
    bool changed = false;
    if (IsLaterThan(mail.m_dtLastMail, pal.m_dtLastMail)) {
        pal.m_dtLastMail = mail.m_dtLastMail;
        pal.m_strLastMailText = mail.m_strLastMailText;
        changed = true;
    }
    if (IsEarlierThan(mail.m_dtLastMail, pal.m_dtFirstMail)) {
        pal.m_dtFirstMail = mail.m_dtLastMail;
        changed = true;
    }
    if (!changed) return;
    m_app.ReplacePal(pal);
    if (std::find(m_updated.begin(), m_updated.end(), pal.m_strMailAddress) == m_updated.end())
        m_updated.push_back(pal.m_strMailAddress);
}

void CMailBatch::GatherUnknown(const CPenPal& mail) {
    ++m_nUnknownMails;
    auto same = [&](const CPenPal& p) { return IsSameMailAddress(p.m_strMailAddress, mail.m_strMailAddress); };
    auto it = std::find_if(m_unknown.begin(), m_unknown.end(), same);
    if (it == m_unknown.end()) {
        CPenPal sender = mail;
        sender.m_dtFirstMail = mail.m_dtLastMail;
        m_unknown.push_back(std::move(sender));
        return;
    }
    if (IsLaterThan(mail.m_dtLastMail, it->m_dtLastMail)) {
        it->m_dtLastMail = mail.m_dtLastMail;
        it->m_strLastMailText = mail.m_strLastMailText;
        it->m_strHomePage = mail.m_strHomePage.empty() ? it->m_strHomePage : mail.m_strHomePage;
        if (!mail.m_strHandleName.empty()) it->m_strHandleName = mail.m_strHandleName;
    }
    if (IsEarlierThan(mail.m_dtLastMail, it->m_dtFirstMail)) it->m_dtFirstMail = mail.m_dtLastMail;
}

std::vector<std::string> CMailBatch::AddUnknownSenders() {
    std::vector<std::string> added;
    std::vector<CPenPal> left;
    for (CPenPal& sender : m_unknown) {
        // A mail without a display name: the address's local part names the pal.
        if (sender.m_strHandleName.empty())
            sender.m_strHandleName = sender.m_strMailAddress.substr(0, sender.m_strMailAddress.rfind('@'));
        if (m_app.AddPal(sender))
            added.push_back(sender.m_strMailAddress);
        else
            left.push_back(std::move(sender));
    }
    m_unknown = std::move(left);
    return added;
}

std::string CMailBatch::Summary() const {
    std::string text = texts::kMailBatchSummary;
    for (int number : {m_nRead, static_cast<int>(m_updated.size()), m_nUnknownMails})
        text.replace(text.find("%d"), 2, std::to_string(number));
    return Cp932Text(text);
}
