#include "mail/mail_batch.h"

namespace {

// A mail's date moves a stored date only when it is valid; an invalid stored date gives
// way to any valid one.
bool IsLaterThan(const COleDateTime& mail, const COleDateTime& stored) {
    return mail.m_status == COleDateTime::valid && (stored.m_status != COleDateTime::valid || mail.m_dt > stored.m_dt);
}
bool IsEarlierThan(const COleDateTime& mail, const COleDateTime& stored) {
    return mail.m_status == COleDateTime::valid && (stored.m_status != COleDateTime::valid || mail.m_dt < stored.m_dt);
}

}  // namespace

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
