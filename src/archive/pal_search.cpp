#include "archive/pal_search.h"

#include "archive/archive_seed.h"
#include "archive/mail_archive.h"
#include "archive/text_fold.h"
#include "core/cp932.h"
#include "core/yubino_app.h"

namespace {

// Every text field of the pal, the last mail's too.
bool PalTextHolds(const CPenPal& pal, const std::string& folded) {
    const std::string* fields[] = {&pal.m_strHandleName,   &pal.m_strName,          &pal.m_strSex,
                                   &pal.m_strAge,          &pal.m_strMailAddress,   &pal.m_strJob,
                                   &pal.m_strHomePage,     &pal.m_strResidence,     &pal.m_strBirthplace,
                                   &pal.m_strBloodType,    &pal.m_strTel1,          &pal.m_strTel2,
                                   &pal.m_strHobby,        &pal.m_strMapName,       &pal.m_strLastMailText,
                                   &pal.m_strMailAddress2, &pal.m_strMobileAddress, &pal.m_strMemo};
    for (const std::string* field : fields) {
        if (!field->empty() && FoldForSearch(cp932::ToUtf8(*field)).find(folded) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::set<std::string> PalsMatchingSearch(const CYubinoApp& app, CMailArchive* archive, const std::string& utf8Query) {
    std::set<std::string> matches;
    const std::string folded = FoldForSearch(utf8Query);
    if (folded.empty()) return matches;
    for (const CPenPal& pal : app.Pals())
        if (PalTextHolds(pal, folded)) matches.insert(pal.m_strMailAddress);
    // An archive that cannot be searched leaves the pals' own texts.
    if (archive)
        for (const std::string& pal : archive->PalsWithText(utf8Query).value) matches.insert(TableAddress(pal));
    return matches;
}
