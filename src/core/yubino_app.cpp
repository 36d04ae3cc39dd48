#include "core/yubino_app.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/cp932.h"
#include "core/texts.h"

namespace {

template <typename T>
int CompareNumbers(T x, T y) {
    return x < y ? -1 : (y < x ? 1 : 0);
}

// A damaged file can hold a NaN date; it sorts first so that the order stays strict.
int CompareDates(const COleDateTime& x, const COleDateTime& y) {
    if (std::isnan(x.m_dt) || std::isnan(y.m_dt)) return CompareNumbers(!std::isnan(x.m_dt), !std::isnan(y.m_dt));
    return CompareNumbers(x.m_dt, y.m_dt);
}

// -1, 0 or 1 for pals a and b under a sort key.
int ComparePals(const CPenPal& a, const CPenPal& b, int key) {
    auto text = [&](const std::string CPenPal::*field) { return cp932::Compare(a.*field, b.*field); };
    switch (key) {
        case kSortHandleName: return text(&CPenPal::m_strHandleName);
        case kSortName: return text(&CPenPal::m_strName);
        case kSortSex: return text(&CPenPal::m_strSex);
        case kSortAge: return text(&CPenPal::m_strAge);
        case kSortMailAddress: return text(&CPenPal::m_strMailAddress);
        case kSortJob: return text(&CPenPal::m_strJob);
        case kSortHomePage: return text(&CPenPal::m_strHomePage);
        case kSortResidence: return text(&CPenPal::m_strResidence);
        case kSortBirthplace: return text(&CPenPal::m_strBirthplace);
        case kSortBloodType: return text(&CPenPal::m_strBloodType);
        case kSortBirthday: return CompareDates(a.m_dtBirthday, b.m_dtBirthday);
        case kSortFirstMail: return CompareDates(a.m_dtFirstMail, b.m_dtFirstMail);
        case kSortLastMail: return CompareDates(a.m_dtLastMail, b.m_dtLastMail);
        case kSortTel1: return text(&CPenPal::m_strTel1);
        case kSortTel2: return text(&CPenPal::m_strTel2);
        case kSortHobby: return text(&CPenPal::m_strHobby);
        case kSortMapName: return text(&CPenPal::m_strMapName);
        case kSortLastMailText: return text(&CPenPal::m_strLastMailText);
        case kSortFaceIcon:
            return CompareNumbers(static_cast<std::uint32_t>(a.m_nFaceIcon), static_cast<std::uint32_t>(b.m_nFaceIcon));
        case kSortMapX: return CompareNumbers(a.m_nMapX, b.m_nMapX);
        default: return 0;
    }
}

}  // namespace

std::vector<CPenPal>::iterator CYubinoApp::FindByAddress(const std::string& address) {
    return std::find_if(m_pals.begin(), m_pals.end(),
                        [&](const CPenPal& pal) { return pal.m_strMailAddress == address; });
}

bool CYubinoApp::CanAdd(const CPenPal& pal) {
    if (GetPalCount() >= kMaxPals) {
        m_ui->ShowMessage(Cp932Text(texts::kTableFull), MessageKind::Warning);
        return false;
    }
    if (FindByAddress(pal.m_strMailAddress) != m_pals.end()) {
        m_ui->ShowMessage(FormatText(texts::kAlreadyRegistered, pal.m_strMailAddress), MessageKind::Warning);
        return false;
    }
    return true;
}

int CYubinoApp::AddPal(const CPenPal& pal) {
    if (!CanAdd(pal)) return 0;
    m_pals.push_back(pal);
    return 1;
}

int CYubinoApp::FindPalByAddress(const std::string& address, CPenPal& pal) const {
    auto it = std::find_if(m_pals.begin(), m_pals.end(),
                           [&](const CPenPal& p) { return p.m_strMailAddress == address; });
    if (it == m_pals.end()) return 0;
    pal = *it;
    return 1;
}

int CYubinoApp::GetPal(int index, CPenPal& pal) const {
    if (index < 0 || index >= kMaxPals || index >= GetPalCount()) return 0;
    pal = m_pals[static_cast<std::size_t>(index)];
    return 1;
}

int CYubinoApp::ReplacePal(const CPenPal& pal) {
    auto it = FindByAddress(pal.m_strMailAddress);
    if (it == m_pals.end()) return 0;
    *it = pal;
    return 1;
}

void CYubinoApp::DeletePal(std::string address) {
    auto it = FindByAddress(address);
    if (it != m_pals.end()) m_pals.erase(it);
}

void CYubinoApp::ChangePalAddress(const std::string& oldAddress, const std::string& newAddress) {
    auto it = FindByAddress(oldAddress);
    if (it == m_pals.end()) return;
    it->m_strMailAddress = newAddress;
    if (m_pHistory) m_pHistory->AddressChanged(oldAddress, newAddress);
}

void CYubinoApp::SortPals(int key, bool ascending) {
    std::sort(m_pals.begin(), m_pals.end(), [&](const CPenPal& a, const CPenPal& b) {
        int order = ComparePals(a, b, key);
        return ascending ? order < 0 : order > 0;
    });
}

void CYubinoApp::ReplaceRows(std::size_t offset, std::size_t count, const std::vector<CPenPal>& rows) {
    offset = std::min(offset, m_pals.size());
    count = std::min(count, m_pals.size() - offset);
    const auto first = m_pals.begin() + static_cast<std::ptrdiff_t>(offset);
    m_pals.erase(first, first + static_cast<std::ptrdiff_t>(count));
    m_pals.insert(m_pals.begin() + static_cast<std::ptrdiff_t>(offset), rows.begin(), rows.end());
}
