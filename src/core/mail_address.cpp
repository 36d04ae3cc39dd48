#include "core/mail_address.h"

#include <algorithm>

#include "core/yubino_app.h"

bool IsSameMailAddress(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
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
