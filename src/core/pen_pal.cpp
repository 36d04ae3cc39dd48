#include "core/pen_pal.h"

void CPenPal::Reset() {
    m_nFaceIcon = 0;
    const COleDateTime defaultDate(kDefaultPalDate, COleDateTime::valid);
    m_dtBirthday = defaultDate;
    m_dtFirstMail = defaultDate;
    m_dtLastMail = defaultDate;
    m_strAge = kNotGiven;
    m_strSex = kNotGiven;
    m_strBloodType = kNotGiven;
    m_nMapX = 0;
    m_nMapY = 0;
}
