#include "mail/reply_link.h"

#include <cctype>

#include "core/cp932.h"
#include "core/texts.h"
#include "core/user_interface.h"
#include "mail/mail_link.h"

namespace {

constexpr std::string_view kReplyMark = "Re: ";
constexpr std::string_view kQuoteMark = "> ";
constexpr std::string_view kQuoteCutNote = "（引用が長いため、ここから先は省きました）";
constexpr std::string_view kFullWidthColon = "：";

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

// The text after one leading reply mark ("Re:", "RE:", "Re[2]:", "Re(2):", "Re："), or
// nothing when it does not start with one.
std::optional<std::string_view> AfterReplyMark(std::string_view text) {
    if (text.size() < 2 || std::tolower(static_cast<unsigned char>(text[0])) != 'r' ||
        std::tolower(static_cast<unsigned char>(text[1])) != 'e')
        return std::nullopt;
    text.remove_prefix(2);
    if (!text.empty() && (text.front() == '[' || text.front() == '(')) {
        const char close = text.front() == '[' ? ']' : ')';
        const std::size_t end = text.find(close);
        if (end == std::string_view::npos || end == 1) return std::nullopt;
        for (char c : text.substr(1, end - 1))
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        text.remove_prefix(end + 1);
    }
    text = TrimLeft(text);
    if (text.starts_with(':')) return TrimLeft(text.substr(1));
    if (text.starts_with(kFullWidthColon)) return TrimLeft(text.substr(kFullWidthColon.size()));
    return std::nullopt;
}

// Each line of `text` (LF or CRLF) with the quote mark before it.
std::string Quoted(std::string_view text) {
    while (text.ends_with('\n') || text.ends_with('\r')) text.remove_suffix(1);
    std::string quoted;
    while (!text.empty() || quoted.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        quoted += kQuoteMark;
        quoted += line;
        quoted += '\n';
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return quoted;
}

std::string Opening(const ReplyRequest& request) { return request.handleName + "さん\n\n" + request.greeting + "\n\n"; }

// Line breaks of a body travel as CRLF in a mailto URL.
std::string EncodeBody(std::string_view body) {
    std::string encoded;
    std::size_t start = 0;
    for (std::size_t end; (end = body.find('\n', start)) != std::string_view::npos; start = end + 1)
        encoded += PercentEncodeForMailto(body.substr(start, end - start)) + "%0D%0A";
    return encoded + PercentEncodeForMailto(body.substr(start));
}

std::size_t EncodedBodyLength(std::string_view body) {
    std::size_t newlines = 0;
    for (char c : body) newlines += c == '\n';
    return MailtoEncodedLength(body) + newlines * 6;  // "%0A" becomes "%0D%0A"
}

// The longest start of `text` that ends a UTF-8 character and encodes in `bytes`.
std::string_view FitUtf8(std::string_view text, std::size_t bytes) {
    std::size_t end = 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        used += MailtoEncodedLength(text.substr(i, 1));
        if (used > bytes) break;
        if (i + 1 == text.size() || (static_cast<unsigned char>(text[i + 1]) & 0xC0) != 0x80) end = i + 1;
    }
    return text.substr(0, end);
}

// The quote's whole lines that encode in `bytes`; a first line longer than that is cut.
std::string FitLines(std::string_view quote, std::size_t bytes) {
    std::size_t end = 0;
    std::size_t used = 0;
    for (std::size_t next; (next = quote.find('\n', end)) != std::string_view::npos; end = next + 1) {
        used += EncodedBodyLength(quote.substr(end, next + 1 - end));
        if (used > bytes) break;
    }
    if (end > 0) return std::string(quote.substr(0, end));
    constexpr std::size_t kLineEnd = 6;
    return std::string(FitUtf8(quote.substr(0, quote.find('\n')), bytes > kLineEnd ? bytes - kLineEnd : 0)) + "\n";
}

}  // namespace

std::string GreetingSettingKey(int month) { return "greeting." + std::to_string(month); }

std::string ReplySubject(std::string_view subject) {
    std::string_view rest = TrimLeft(subject);
    while (const std::optional<std::string_view> after = AfterReplyMark(rest)) rest = *after;
    return std::string(kReplyMark) + std::string(rest);
}

std::string ReplyBody(const ReplyRequest& request) {
    std::string body = Opening(request);
    if (request.lastReceived) body += Quoted(request.lastReceived->body);
    return body;
}

std::string ReplyMailtoUrl(const ReplyRequest& request, std::size_t maxBytes) {
    std::string url = "mailto:" + PercentEncodeForMailto(request.address);
    if (request.lastReceived) {
        // A subject that would leave the greeting no room is cut; it is never that long in use.
        const std::string subject = ReplySubject(request.lastReceived->subject);
        url += "?subject=" + PercentEncodeForMailto(FitUtf8(subject, maxBytes / 4)) + "&body=";
    } else {
        url += "?body=";
    }
    const std::string opening = Opening(request);
    const std::string quote = request.lastReceived ? Quoted(request.lastReceived->body) : std::string();
    const std::size_t room = maxBytes > url.size() ? maxBytes - url.size() : 0;
    if (EncodedBodyLength(opening) + EncodedBodyLength(quote) <= room) return url + EncodeBody(opening + quote);
    const std::string note = std::string(kQuoteMark) + std::string(kQuoteCutNote) + "\n";
    const std::size_t fixed = EncodedBodyLength(opening) + EncodedBodyLength(note);
    if (fixed > room) return url + EncodeBody(FitUtf8(opening, room / 3));  // all one line at worst
    return url + EncodeBody(opening + FitLines(quote, room - fixed) + note);
}

bool HandOffReply(CUserInterface& ui, const ReplyRequest& request) {
    if (ui.OpenInShell(ReplyMailtoUrl(request))) return true;
    const std::string shown = cp932::FromUtf8("mailto:" + request.address).value_or("mailto:");
    ui.ShowMessage(FormatText(texts::kHandOffFailed, shown), MessageKind::Warning);
    return false;
}
