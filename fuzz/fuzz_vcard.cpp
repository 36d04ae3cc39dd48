// Any bytes as a vCard file: read into pals, which must be whole pals with an address,
// and written back out, which must read again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "storage/pal_vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ImportedPals read = ReadVCardPals(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<CPenPal> pals;
    for (const ImportedPal& pal : read.pals) {
        if (pal.pal.m_strMailAddress.empty() || pal.photo.size() > kMaxVCardPhotoBytes) __builtin_trap();
        pals.push_back(pal.pal);
    }
    const std::string written = WriteVCards(pals, VCardVersion::V4, {});
    if (ReadVCardPals(written).pals.size() != pals.size()) __builtin_trap();
    return 0;
}
