// A reply handed to the user's mail program: a "mailto:" URL (RFC 6068) with the pal's
// address, "Re: " and the last received subject, and a body that greets the pal by name
// and with the season, then quotes the pal's last mail.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Mail programs are handed the URL as one command-line argument; well within what Linux
// passes (128 KB per argument) and what the programs read.
inline constexpr std::size_t kMaxReplyUrlBytes = 32 * 1024;

// 時候の挨拶: one greeting for each month, January first (UTF-8).
inline constexpr std::array<std::string_view, 12> kSeasonalGreetings = {
    "寒さの厳しい毎日ですが、いかがお過ごしですか。",
    "立春を過ぎても、まだ寒い日が続きますね。",
    "日ごとに春めいてまいりましたね。",
    "桜の便りが聞こえる季節になりましたね。",
    "風薫る季節になりました。",
    "梅雨の季節、いかがお過ごしですか。",
    "暑さが日ごとに増してまいりましたね。",
    "残暑お見舞い申し上げます。",
    "朝夕はしのぎやすくなってきましたね。",
    "秋も深まってまいりましたね。",
    "紅葉の美しい季節になりましたね。",
    "今年も残りわずかとなりましたね。",
};

// The key under which the user's own greeting for `month` (1-12) is kept in the archive.
std::string GreetingSettingKey(int month);

struct ReceivedMail {
    std::string subject;  // UTF-8
    std::string body;     // UTF-8, LF or CRLF line ends
};

struct ReplyRequest {
    std::string address;     // UTF-8
    std::string handleName;  // UTF-8
    std::string greeting;    // UTF-8
    std::optional<ReceivedMail> lastReceived;
};

// "Re: " and the subject with the reply marks it already has ("Re:", "RE:", "Re[2]:",
// "Re(3):", "Re：") taken off, so that they never stack.
std::string ReplySubject(std::string_view subject);

// The name and greeting, then the last mail with "> " before each line.
std::string ReplyBody(const ReplyRequest& request);

// The mailto URL, at most `maxBytes` long: a quote that would not fit is cut at a line
// and ends with a note that the rest was left out.
std::string ReplyMailtoUrl(const ReplyRequest& request, std::size_t maxBytes = kMaxReplyUrlBytes);

class CUserInterface;
// Hands the reply's URL to the mail program through the port; a failure is told, naming
// the pal's address rather than the whole URL.
bool HandOffReply(CUserInterface& ui, const ReplyRequest& request);
