// One pen pal: the profile, the face icon or picture, the place on a map and the mail
// history. Text is code page 932 bytes, stored and compared as it stands.
#pragma once

#include <string>

#include "core/ole_date_time.h"

class CPenPal {
public:
    CPenPal() { Reset(); }
    virtual ~CPenPal() = default;
    CPenPal(const CPenPal&) = default;
    CPenPal& operator=(const CPenPal&) = default;

    // Prepares a scratch record: face icon 0, every date 2000-01-01, "？" for age, sex and
    // blood type, position (0, 0). Other strings and the picture choice stay.
    void Reset();

    bool operator==(const CPenPal&) const = default;

    std::string m_strHandleName;
    std::string m_strName;
    std::string m_strSex;
    std::string m_strAge;
    std::string m_strMailAddress;
    std::string m_strJob;
    std::string m_strHomePage;
    std::string m_strResidence;
    std::string m_strBirthplace;
    std::string m_strBloodType;
    COleDateTime m_dtBirthday;
    COleDateTime m_dtFirstMail;
    COleDateTime m_dtLastMail;
    std::string m_strTel1;
    std::string m_strTel2;
    std::string m_strHobby;
    std::string m_strMapName;
    std::string m_strLastMailText;
    int m_nFaceIcon = 0;
    int m_nMapX = 0;
    int m_nMapY = 0;
    std::string m_strPictureFile;
    int m_bUsePicture = 0;
    std::string m_strMailAddress2;
    std::string m_strMobileAddress;
    std::string m_strMemo;
};

// "？", the full-width question mark that stands for "not given".
inline constexpr const char* kNotGiven = "\x81\x48";
// The default of every pal date: 2000-01-01 00:00:00.
inline constexpr double kDefaultPalDate = 36526.0;
