// The Internet mail reader on any bytes: a dropped text or an .eml file, and the same
// bytes as one message of an mbox.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "mail/internet_mail.h"

namespace {

void Check(const MailReadResult& read) {
    if (!read.Ok()) return;
    const CPenPal& pal = read.mail.pal;
    if (pal.m_strMailAddress.find('@') == std::string::npos) __builtin_trap();
    if (pal.m_strLastMailText.find('\n') != std::string::npos) __builtin_trap();
    if (!pal.m_strHomePage.empty() && !pal.m_strHomePage.starts_with("http")) __builtin_trap();
    if (read.mail.messageId.empty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(ReadInternetMessage(bytes, 0));
    if (!bytes.starts_with("From "))
        Check(ReadInternetMessage("From a@b Tue Mar  5 21:04:05 2024\n" + std::string(bytes)));
    return 0;
}
