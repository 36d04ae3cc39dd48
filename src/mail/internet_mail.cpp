#include "mail/internet_mail.h"

#include <ctime>

#include "core/texts.h"
#include "mail/gmime_message_reader.h"
#include "mail/html_text.h"
#include "mail/mail_charsets.h"
#include "mail/mail_headers.h"
#include "mail/mail_text_parser.h"
#include "mail/stored_mail_text.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;
// Deeper multiparts than this are not looked into for the body (their parts are still
// parsed by GMime, which has no limit of its own).
constexpr int kMaxPartDepth = 32;
// Bytes of a body part read before its transfer decoding; the rest of a bigger part is
// not read, so a mail of one huge part costs no more than this.
constexpr gint64 kMaxEncodedBodyBytes = 8 << 20;

// The longest subject kept, in characters: the longest line RFC 5322 allows.
constexpr std::size_t kMaxSubjectCharacters = 998;
// The most of a body that the pal's last mail keeps: the pal data file holds one such text
// per pal, and the archive keeps the body as read.
constexpr std::size_t kMaxLastMailBytes = 64 << 10;

bool IsFieldNameByte(char c) { return c > ' ' && c < 0x7F && c != ':'; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first `count` characters of UTF-8 text.
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n)
        for (++pos; pos < text.size() && IsContinuationByte(text[pos]);) ++pos;
    return text.substr(0, pos);
}

// As much of UTF-8 text as fits in `bytes`, whole characters only.
std::string_view FirstBytes(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    while (bytes > 0 && IsContinuationByte(text[bytes])) --bytes;
    return text.substr(0, bytes);
}

// NUL characters as U+FFFD: a NUL would end the text wherever it is read as a C string.
std::string WithoutNul(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c)
            out += c;
        else
            out += "\xEF\xBF\xBD";
    }
    return out;
}

bool HasDomain(std::string_view address) {
    const std::size_t at = address.rfind('@');
    return at != npos && at > 0 && at + 1 < address.size();
}

// A date that COleDateTime can hold, in local time, from seconds since 1970 UTC.
bool SetLocalDate(std::int64_t unixTime, COleDateTime& date) {
    const std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm local{};
    if (!localtime_r(&t, &local)) return false;
    COleDateTime parsed;
    if (!parsed.SetDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                            std::min(local.tm_sec, 59)))
        return false;
    date = parsed;
    return true;
}

bool TakeDate(GDateTime* date, ParsedMail& mail, MailDateSource source) {
    if (!date) return false;
    const std::int64_t unixTime = g_date_time_to_unix(date);
    if (!SetLocalDate(unixTime, mail.pal.m_dtLastMail)) return false;
    mail.unixTime = unixTime;
    mail.dateSource = source;
    return true;
}

// The date of the newest Received field (the topmost one) that carries a readable date.
bool TakeReceivedDate(GMimeMessage* message, ParsedMail& mail) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    const int count = g_mime_header_list_get_count(headers);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(headers, i);
        if (g_ascii_strcasecmp(g_mime_header_get_name(header), "Received") != 0) continue;
        const std::string value = GText(g_mime_header_get_value(header));
        const std::size_t semicolon = value.rfind(';');
        if (semicolon == npos) continue;
        GDateTime* date = g_mime_utils_header_decode_date(value.c_str() + semicolon + 1);
        const bool taken = TakeDate(date, mail, MailDateSource::kReceivedHeader);
        if (date) g_date_time_unref(date);
        if (taken) return true;
    }
    return false;
}

void TakeReceivedTime(GMimeMessage* message, const MessageContext& context, ParsedMail& mail) {
    if (TakeDate(g_mime_message_get_date(message), mail, MailDateSource::kDateHeader)) return;
    if (TakeReceivedDate(message, mail)) return;
    if (context.fileTime && SetLocalDate(*context.fileTime, mail.pal.m_dtLastMail)) {
        mail.unixTime = *context.fileTime;
        mail.dateSource = MailDateSource::kFileTime;
        return;
    }
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    SetLocalDate(now, mail.pal.m_dtLastMail);
    mail.unixTime = now;
    mail.dateSource = MailDateSource::kReadTime;
}

struct BodyParts {
    GMimePart* plain = nullptr;
    GMimePart* html = nullptr;
    int attachments = 0;
};

// Finds the first inline text/plain and text/html parts; a forwarded message is counted
// with the attachments and never looked into, so its text is not taken for this mail's.
void FindBodyParts(GMimeObject* object, BodyParts& parts, int depth) {
    if (GMIME_IS_MESSAGE_PART(object)) {
        ++parts.attachments;
    } else if (GMIME_IS_MULTIPART(object)) {
        if (depth >= kMaxPartDepth) return;
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i)
            FindBodyParts(g_mime_multipart_get_part(multipart, i), parts, depth + 1);
    } else if (GMIME_IS_PART(object)) {
        GMimePart* part = GMIME_PART(object);
        GMimeContentType* type = g_mime_object_get_content_type(object);
        const bool inlineText = !g_mime_part_is_attachment(part) && g_mime_content_type_is_type(type, "text", "*");
        if (inlineText && g_mime_content_type_is_type(type, "text", "plain")) {
            if (!parts.plain) parts.plain = part;
        } else if (inlineText && g_mime_content_type_is_type(type, "text", "html")) {
            if (!parts.html) parts.html = part;
        } else if (!inlineText) {
            ++parts.attachments;
        }
    }
}

// The part's content after its transfer encoding, up to the cap; `cut` tells whether the
// cap left some of it unread.
std::string PartBytes(GMimePart* part, bool& cut) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) return {};
    GMimeStream* source = g_mime_data_wrapper_get_stream(content);
    CGObject<GMimeStream> decoded(g_mime_stream_mem_new());
    const gint64 length = g_mime_stream_length(source);
    cut = length > kMaxEncodedBodyBytes;
    if (cut) {
        CGObject<GMimeStream> head(
            g_mime_stream_substream(source, source->bound_start, source->bound_start + kMaxEncodedBodyBytes));
        CGObject<GMimeDataWrapper> capped(
            g_mime_data_wrapper_new_with_stream(head.get(), g_mime_data_wrapper_get_encoding(content)));
        g_mime_data_wrapper_write_to_stream(capped.get(), decoded.get());
    } else {
        g_mime_data_wrapper_write_to_stream(content, decoded.get());
    }
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(decoded.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

std::string WithLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
        out += text[i];
    }
    return out;
}

// mbox files escape a body line "From " as ">From " (and ">From " as ">>From "): one ">" goes.
std::string UnquoteFromLines(std::string text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == npos ? text.size() : end + 1;
        std::string_view line(text.data() + start, end - start);
        const std::size_t quotes = line.find_first_not_of('>');
        if (quotes != npos && quotes > 0 && line.substr(quotes).starts_with("From ")) line.remove_prefix(1);
        out += line;
        start = end;
    }
    return out;
}

std::string BodyText(const BodyParts& parts, const MessageContext& context) {
    GMimePart* part = parts.plain ? parts.plain : parts.html;
    if (!part) return {};
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    bool cut = false;
    const std::string bytes = PartBytes(part, cut);
    std::string text = WithLineFeeds(WithoutNul(DecodeMailText(bytes, charset ? charset : "").utf8));
    if (!parts.plain) text = HtmlToText(text);
    if (context.lastInMbox && text.ends_with("\n\n")) text.pop_back();
    if (context.fromMbox) text = UnquoteFromLines(std::move(text));
    // A body beyond the cap is kept decoded as far as it was read, and says so.
    if (cut) text += std::string("\n\n") + texts::kMailBodyCut + "\n";
    return text;
}

// notmuch's way: a mail without Message-ID gets one from its content, so the same file
// taken in twice is known as the same mail.
std::string HashedMessageId(GMimeMessage* message, const ParsedMail& mail) {
    GChecksum* sum = g_checksum_new(G_CHECKSUM_SHA256);
    auto add = [sum](std::string_view text) {
        g_checksum_update(sum, reinterpret_cast<const guchar*>(text.data()), static_cast<gssize>(text.size()));
        g_checksum_update(sum, reinterpret_cast<const guchar*>("\n"), 1);
    };
    add(mail.fromAddress);
    for (const auto& to : mail.toAddresses) add(to);
    add(mail.subject);
    add(GText(g_mime_object_get_header(GMIME_OBJECT(message), "Date")));
    add(mail.body);
    std::string id = std::string(g_checksum_get_string(sum)) + "@yubino.invalid";
    g_checksum_free(sum);
    return id;
}

}  // namespace

GMimeParserOptions* MailParserOptions() {
    static GMimeParserOptions* options = [] {
        g_mime_init();
        GMimeParserOptions* o = g_mime_parser_options_new();
        g_mime_parser_options_set_rfc2047_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_address_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_parameter_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        const char* fallbacks[] = {"UTF-8", "CP932", "EUC-JP", nullptr};
        g_mime_parser_options_set_fallback_charsets(o, fallbacks);
        return o;
    }();
    return options;
}

bool LooksLikeInternetMessage(std::string_view head) {
    std::size_t pos = 0;
    if (head.starts_with("From ")) {
        pos = head.find('\n');
        if (pos == npos) return false;
        ++pos;
    }
    bool sawFrom = false;
    bool first = true;
    while (pos < head.size()) {
        std::size_t end = head.find('\n', pos);
        if (end == npos) end = head.size();
        std::string_view line = head.substr(pos, end - pos);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) break;  // the end of the header block
        if (line[0] == ' ' || line[0] == '\t') {
            if (first) return false;  // a continuation needs a field before it
        } else {
            std::size_t name = 0;
            while (name < line.size() && IsFieldNameByte(line[name])) ++name;
            std::size_t colon = name;
            while (colon < line.size() && (line[colon] == ' ' || line[colon] == '\t')) ++colon;
            if (name == 0 || colon >= line.size() || line[colon] != ':') return false;
            sawFrom = sawFrom || (name == 4 && g_ascii_strncasecmp(line.data(), "from", 4) == 0);
        }
        first = false;
        pos = end + 1;
    }
    return sawFrom;
}

MailReadResult ReadGMimeMessage(GMimeMessage* message, const MessageContext& context) {
    MailReadResult result;
    ParsedMail& mail = result.mail;
    const std::optional<MailSender> sender = SenderOf(message);
    mail.subject = WithoutNul(FirstCharacters(SubjectOf(message), kMaxSubjectCharacters));
    mail.toAddresses = AddressesOf(message, GMIME_ADDRESS_TYPE_TO);
    mail.ccAddresses = AddressesOf(message, GMIME_ADDRESS_TYPE_CC);
    // notmuch's test: a file without any of these is no mail, whatever it parsed as.
    if (!sender && mail.subject.empty() && mail.toAddresses.empty()) return result;
    mail.fromAddress = sender ? sender->address : std::string();
    if (!HasDomain(mail.fromAddress)) {
        result.status = MailReadStatus::kNoAddress;
        return result;
    }
    const std::string name = WithoutNul(sender->name);

    BodyParts parts;
    if (GMimeObject* body = g_mime_message_get_mime_part(message)) FindBodyParts(body, parts, 0);
    mail.attachments = parts.attachments;
    mail.body = BodyText(parts, context);
    TakeReceivedTime(message, context, mail);

    CPenPal& pal = mail.pal;
    mail.replacedCharacters =
        Utf8ToCp932Replacing(name, pal.m_strHandleName) + Utf8ToCp932Replacing(mail.fromAddress, pal.m_strMailAddress);
    std::string body;
    std::string lastMail(FirstBytes(mail.body, kMaxLastMailBytes));
    if (lastMail.size() < mail.body.size()) lastMail += std::string("\n\n") + texts::kMailBodyCut + "\n";
    mail.replacedCharacters += Utf8ToCp932Replacing(lastMail, body);
    pal.m_strLastMailText = ToStoredMailText(body);
    pal.m_strHomePage = FindLastWebLink(pal.m_strLastMailText);

    const char* id = g_mime_message_get_message_id(message);
    mail.messageId = id && *id ? std::string(id) : HashedMessageId(message, mail);
    result.status = MailReadStatus::kRead;
    return result;
}

MailReadResult ReadInternetMessage(std::string_view bytes, std::optional<std::int64_t> fileTime) {
    if (!LooksLikeInternetMessage(bytes)) return {};
    // A header block that the text ends without an empty line is read as the same block
    // followed by the next mail inside an mbox is; NUL bytes in it would end its fields.
    std::string ended;
    std::size_t headerEnd = std::min(bytes.find("\n\n"), bytes.find("\n\r\n"));
    if (headerEnd == npos || bytes.substr(0, headerEnd).find('\0') != npos) {
        ended = WithoutNul(bytes.substr(0, headerEnd));
        if (headerEnd == npos)
            ended += bytes.ends_with('\n') ? "\n" : "\n\n";
        else
            ended += bytes.substr(headerEnd);
        bytes = ended;
    }
    GMimeParserOptions* options = MailParserOptions();
    CGObject<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    CGObject<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    const bool mbox = bytes.starts_with("From ");
    g_mime_parser_set_format(parser.get(), mbox ? GMIME_FORMAT_MBOX : GMIME_FORMAT_MESSAGE);
    CGObject<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), options));
    if (!message) return {};
    return ReadGMimeMessage(message.get(), MessageContext{fileTime, mbox});
}

const char* MailReadFailureMessage(MailReadStatus status) {
    switch (status) {
        case MailReadStatus::kNotMail:
            return texts::kNotInternetMail;
        case MailReadStatus::kNoAddress:
            return texts::kMailAddressNotFound;
        case MailReadStatus::kRead:
            break;
    }
    return "";
}
