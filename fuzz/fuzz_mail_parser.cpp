// The mail text parser on any bytes, and what is made of its result afterwards: the
// display form of the body and the mailto URL of the address.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mail/mail_link.h"
#include "mail/mail_text_parser.h"
#include "mail/stored_mail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MailParseResult result = ParseMailText(text);
    if (!result.Ok()) return 0;
    const CPenPal& mail = result.mail;
    if (mail.m_strMailAddress.empty() || mail.m_strLastMailText.find('\n') != std::string::npos) __builtin_trap();
    if (!mail.m_strHomePage.empty() && !mail.m_strHomePage.starts_with("http://")) __builtin_trap();
    FormatMailTextForDisplay(mail.m_strLastMailText);
    MailtoLinkToUrl(MakeMailtoLink({mail.m_strMailAddress}));
    return 0;
}
