#include "mail/mail_headers.h"

#include <cstring>

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

// One encoded-word "=?charset?B|Q?text?=" at `start`, decoded to its bytes.
struct EncodedWord {
    std::size_t end = 0;  // just past the closing "?="
    std::string charset;  // lower case, without a language ("iso-2022-jp*ja")
    std::string bytes;
};

std::optional<EncodedWord> ReadEncodedWord(std::string_view raw, std::size_t start) {
    const std::size_t q1 = raw.find('?', start + 2);
    if (q1 == npos || q1 + 2 >= raw.size() || raw[q1 + 2] != '?') return std::nullopt;
    const std::size_t end = raw.find("?=", q1 + 3);
    if (end == npos) return std::nullopt;
    const std::string_view text = raw.substr(q1 + 3, end - q1 - 3);
    if (text.find_first_of(" \t\r\n") != npos) return std::nullopt;
    EncodedWord word;
    word.end = end + 2;
    std::string_view charset = raw.substr(start + 2, q1 - start - 2);
    charset = charset.substr(0, charset.find('*'));
    for (char c : charset) word.charset += g_ascii_tolower(c);
    const char encoding = g_ascii_toupper(raw[q1 + 1]);
    if (encoding == 'B') {
        gsize length = 0;
        guchar* decoded = g_base64_decode(std::string(text).c_str(), &length);
        word.bytes.assign(reinterpret_cast<const char*>(decoded), length);
        g_free(decoded);
    } else if (encoding == 'Q') {
        word.bytes = QDecode(text);
    } else {
        return std::nullopt;
    }
    return word;
}

std::string Base64Word(std::string_view charset, std::string_view bytes) {
    gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
    std::string word = "=?" + std::string(charset) + "?B?" + encoded + "?=";
    g_free(encoded);
    return word;
}

// The bytes of a run of words in one charset as one word: ISO-2022-JP made UTF-8 here
// (GMime reads it through iconv, which lacks the NEC and IBM rows, ①, ㈱, that Japanese
// mail programs put in names and subjects); any other charset left to GMime.
std::string OneWord(const EncodedWord& run) {
    std::string cp932;
    if (run.charset == "iso-2022-jp" && !run.bytes.empty() && Iso2022JpToCp932(run.bytes, cp932))
        return Base64Word("UTF-8", cp932::ToUtf8(cp932));
    return Base64Word(run.charset, run.bytes);
}

// A header field's raw value with each run of adjacent encoded-words of one charset made
// one word: a character or an ISO-2022-JP escape sequence that a writer split between two
// words (Python's mail library does) is whole again before any charset is converted. The
// blanks between adjacent words stay for GMime, which drops them as RFC 2047 says.
std::string WithWordsJoined(std::string_view raw) {
    std::string out;
    std::optional<EncodedWord> run;
    std::size_t pos = 0;
    for (std::size_t start; (start = raw.find("=?", pos)) != npos;) {
        std::optional<EncodedWord> word = ReadEncodedWord(raw, start);
        if (!word) {
            if (run) out += OneWord(*run);
            run.reset();
            out += raw.substr(pos, start + 2 - pos);
            pos = start + 2;
            continue;
        }
        const std::string_view between = raw.substr(pos, start - pos);
        pos = word->end;
        if (run && run->charset == word->charset && between.find_first_not_of(" \t\r\n") == npos) {
            run->bytes += word->bytes;
        } else {
            if (run) out += OneWord(*run);
            out += between;
            run = std::move(*word);
        }
    }
    if (run) out += OneWord(*run);
    return out + std::string(raw.substr(pos));
}

// A header field's raw value, unfolded, with its encoded-words joined; nothing when the
// field has no encoded-word (GMime's own reading serves it).
std::optional<std::string> JoinedRawValue(GMimeMessage* message, const char* name) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    GMimeHeader* header = g_mime_header_list_get_header(headers, name);
    const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
    if (!raw || !std::strstr(raw, "=?")) return std::nullopt;
    gchar* unfolded = g_mime_utils_header_unfold(raw);
    std::string joined = WithWordsJoined(unfolded);
    g_free(unfolded);
    return joined;
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
    if (auto raw = JoinedRawValue(message, "Subject")) {
        gchar* decoded = g_mime_utils_header_decode_text(MailParserOptions(), raw->c_str());
        std::string subject = HeaderText(g_strstrip(decoded));
        g_free(decoded);
        return subject;
    }
    return HeaderText(g_mime_message_get_subject(message));
}

std::optional<MailSender> SenderOf(GMimeMessage* message) {
    const std::optional<std::string> raw = JoinedRawValue(message, "From");
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
