#include "mail/mail_headers.h"

#include "core/cp932.h"
#include "mail/mail_charsets.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Header text that GMime left with ISO-2022-JP escapes in it (raw, not encoded-word).
std::string HeaderText(const char* utf8) {
    std::string text = GText(utf8);
    if (text.find('\x1b') != npos) text = DecodeMailText(text, "iso-2022-jp").utf8;
    return text;
}

std::string QDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            out += ' ';
        } else if (text[i] == '=' && i + 2 < text.size() && g_ascii_isxdigit(text[i + 1]) &&
                   g_ascii_isxdigit(text[i + 2])) {
            out += static_cast<char>(g_ascii_xdigit_value(text[i + 1]) * 16 + g_ascii_xdigit_value(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// GMime reads ISO-2022-JP encoded words through iconv, which lacks the NEC and IBM rows
// (①, ㈱) that Japanese mail programs put in names and subjects. Such words are handed
// to GMime as UTF-8 words instead; nothing else of the field changes.
std::optional<std::string> WithJisWordsAsUtf8(std::string_view raw) {
    std::string out;
    bool changed = false;
    std::size_t pos = 0;
    for (std::size_t start; (start = raw.find("=?", pos)) != npos;) {
        const std::size_t q1 = raw.find('?', start + 2);
        if (q1 == npos || q1 + 2 >= raw.size() || raw[q1 + 2] != '?') break;
        const std::size_t end = raw.find("?=", q1 + 3);
        if (end == npos) break;
        const std::string charset(raw.substr(start + 2, q1 - start - 2));
        const char encoding = g_ascii_toupper(raw[q1 + 1]);
        const std::string text(raw.substr(q1 + 3, end - q1 - 3));
        std::string bytes;
        if (encoding == 'B') {
            gsize length = 0;
            guchar* decoded = g_base64_decode(text.c_str(), &length);
            bytes.assign(reinterpret_cast<const char*>(decoded), length);
            g_free(decoded);
        } else if (encoding == 'Q') {
            bytes = QDecode(text);
        }
        std::string cp932;
        out += raw.substr(pos, start - pos);
        if (g_ascii_strncasecmp(charset.c_str(), "iso-2022-jp", 11) == 0 && !bytes.empty() &&
            Iso2022JpToCp932(bytes, cp932)) {
            const std::string utf8 = cp932::ToUtf8(cp932);
            gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(utf8.data()), utf8.size());
            out += std::string("=?UTF-8?B?") + encoded + "?=";
            g_free(encoded);
            changed = true;
        } else {
            out += raw.substr(start, end + 2 - start);
        }
        pos = end + 2;
    }
    if (!changed) return std::nullopt;
    return out + std::string(raw.substr(pos));
}

// A header field's raw value with its ISO-2022-JP words made UTF-8, or nothing when it
// has none.
std::optional<std::string> JisSafeRawValue(GMimeMessage* message, const char* name) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    GMimeHeader* header = g_mime_header_list_get_header(headers, name);
    const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
    return raw ? WithJisWordsAsUtf8(raw) : std::nullopt;
}

// The mailboxes of a list, groups opened.
void CollectAddresses(InternetAddressList* list, std::vector<InternetAddressMailbox*>& out, int depth = 0) {
    if (!list || depth > 4) return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address))
            out.push_back(INTERNET_ADDRESS_MAILBOX(address));
        else if (INTERNET_ADDRESS_IS_GROUP(address))
            CollectAddresses(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), out, depth + 1);
    }
}

std::vector<std::string> AddressesIn(InternetAddressList* list) {
    std::vector<InternetAddressMailbox*> mailboxes;
    CollectAddresses(list, mailboxes);
    std::vector<std::string> addresses;
    for (InternetAddressMailbox* mailbox : mailboxes)
        addresses.push_back(GText(internet_address_mailbox_get_addr(mailbox)));
    return addresses;
}

}  // namespace

std::string SubjectOf(GMimeMessage* message) {
    if (auto raw = JisSafeRawValue(message, "Subject")) {
        gchar* decoded = g_mime_utils_header_decode_text(MailParserOptions(), raw->c_str());
        std::string subject = g_strstrip(decoded);
        g_free(decoded);
        return subject;
    }
    return HeaderText(g_mime_message_get_subject(message));
}

std::optional<MailSender> SenderOf(GMimeMessage* message) {
    const std::optional<std::string> raw = JisSafeRawValue(message, "From");
    const CGObject<InternetAddressList> jisSafe(raw ? internet_address_list_parse(MailParserOptions(), raw->c_str())
                                                    : nullptr);
    std::vector<InternetAddressMailbox*> senders;
    CollectAddresses(jisSafe ? jisSafe.get() : g_mime_message_get_from(message), senders);
    if (senders.empty()) return std::nullopt;
    return MailSender{HeaderText(internet_address_get_name(INTERNET_ADDRESS(senders[0]))),
                      GText(internet_address_mailbox_get_addr(senders[0]))};
}

std::vector<std::string> AddressesOf(GMimeMessage* message, GMimeAddressType type) {
    return AddressesIn(g_mime_message_get_addresses(message, type));
}
