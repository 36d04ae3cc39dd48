#include "archive/pal_search.h"

#include <algorithm>

#include "archive/archive_seed.h"
#include "archive/mail_archive.h"
#include "archive/mail_search.h"
#include "archive/text_fold.h"
#include "core/cp932.h"
#include "core/yubino_app.h"

namespace {

// Every word in some text field of the pal, the last mail's too.
bool PalTextHolds(const CPenPal& pal, const std::vector<std::string>& words) {
    const std::string* fields[] = {&pal.m_strHandleName,   &pal.m_strName,          &pal.m_strSex,
                                   &pal.m_strAge,          &pal.m_strMailAddress,   &pal.m_strJob,
                                   &pal.m_strHomePage,     &pal.m_strResidence,     &pal.m_strBirthplace,
                                   &pal.m_strBloodType,    &pal.m_strTel1,          &pal.m_strTel2,
                                   &pal.m_strHobby,        &pal.m_strMapName,       &pal.m_strLastMailText,
                                   &pal.m_strMailAddress2, &pal.m_strMobileAddress, &pal.m_strMemo};
    std::vector<std::string> folded;
    for (const std::string* field : fields)
        if (!field->empty()) folded.push_back(FoldForSearch(cp932::ToUtf8(*field)));
    return std::all_of(words.begin(), words.end(), [&folded](const std::string& word) {
        return std::any_of(folded.begin(), folded.end(),
                           [&word](const std::string& text) { return text.find(word) != std::string::npos; });
    });
}

}  // namespace

std::set<std::string> PalsMatchingSearch(const CYubinoApp& app, CMailArchive* archive, const std::string& utf8Query) {
    std::set<std::string> matches;
    const std::vector<std::string> words = SearchWords(utf8Query);
    if (words.empty()) return matches;
    for (const CPenPal& pal : app.Pals())
        if (PalTextHolds(pal, words)) matches.insert(pal.m_strMailAddress);
    // An archive that cannot be searched leaves the pals' own texts.
    if (archive)
        for (const std::string& pal : archive->PalsWithText(utf8Query).value) matches.insert(TableAddress(pal));
    return matches;
}
