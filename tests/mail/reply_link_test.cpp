#include "mail/reply_link.h"

#include <gtest/gtest.h>

#include <map>

#include "mail/mail_address.h"

namespace {

// The mailto URL's address and header fields, percent-decoded, as a mail program reads them.
struct Mailto {
    std::string to;
    std::map<std::string, std::string> fields;
};

std::string Decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Mailto Parse(const std::string& url) {
    EXPECT_TRUE(url.starts_with("mailto:")) << url;
    for (unsigned char c : url) EXPECT_TRUE(c > ' ' && c < 0x7F && c != '#') << url;
    Mailto mailto;
    const std::size_t query = url.find('?');
    mailto.to = Decoded(std::string_view(url).substr(7, query - 7));
    std::string_view rest = query == std::string::npos ? std::string_view() : std::string_view(url).substr(query + 1);
    while (!rest.empty()) {
        const std::string_view field = rest.substr(0, rest.find('&'));
        const std::size_t equals = field.find('=');
        mailto.fields[std::string(field.substr(0, equals))] = Decoded(field.substr(equals + 1));
        rest.remove_prefix(std::min(rest.size(), field.size() + 1));
    }
    return mailto;
}

ReplyRequest Request(std::optional<ReceivedMail> last) {
    return {"yuki+pal@example.jp", "ゆきうさぎ", "紅葉の美しい季節になりましたね。", std::move(last)};
}

TEST(ReplySubject, PutsOneReplyMarkBeforeTheSubject) {
    const struct {
        const char* name;
        const char* subject;
        const char* reply;
    } rows[] = {
        {"Plain", "紅葉狩り", "Re: 紅葉狩り"},
        {"AlreadyAReply", "Re: 紅葉狩り", "Re: 紅葉狩り"},
        {"Stacked", "Re: Re: RE: 紅葉狩り", "Re: 紅葉狩り"},
        {"UpperCase", "RE:紅葉狩り", "Re: 紅葉狩り"},
        {"Counted", "Re[2]: 紅葉狩り", "Re: 紅葉狩り"},
        {"CountedInParentheses", "Re(3): 紅葉狩り", "Re: 紅葉狩り"},
        {"FullWidthColon", "Re：紅葉狩り", "Re: 紅葉狩り"},
        {"WordThatStartsWithRe", "Report: 紅葉狩り", "Re: Report: 紅葉狩り"},
        {"ReWithoutColon", "Re 紅葉狩り", "Re: Re 紅葉狩り"},
        {"Empty", "", "Re: "},
    };
    for (const auto& row : rows) EXPECT_EQ(ReplySubject(row.subject), row.reply) << row.name;
}

TEST(ReplyMailtoUrl, CarriesTheAddressTheSubjectAndAQuotedBody) {
    Mailto mailto = Parse(ReplyMailtoUrl(
        Request(ReceivedMail{"Re: 紅葉 & 温泉?", "こんにちは。\r\n紅葉がきれい=100%\r\n\r\n#またね\n"})));
    EXPECT_EQ(mailto.to, "yuki+pal@example.jp");
    EXPECT_EQ(mailto.fields["subject"], "Re: 紅葉 & 温泉?");
    EXPECT_EQ(mailto.fields["body"],
              "ゆきうさぎさん\r\n\r\n紅葉の美しい季節になりましたね。\r\n\r\n"
              "> こんにちは。\r\n> 紅葉がきれい=100%\r\n> \r\n> #またね\r\n");
    EXPECT_EQ(mailto.fields.size(), 2u);
}

TEST(ReplyMailtoUrl, APalWithNoReceivedMailGetsTheGreetingAlone) {
    Mailto mailto = Parse(ReplyMailtoUrl(Request(std::nullopt)));
    EXPECT_EQ(mailto.fields.count("subject"), 0u);
    EXPECT_EQ(mailto.fields["body"], "ゆきうさぎさん\r\n\r\n紅葉の美しい季節になりましたね。\r\n\r\n");
}

TEST(ReplyMailtoUrl, ALongMailIsQuotedUpToTheLimitWithANote) {
    const struct {
        const char* name;
        std::string body;
    } rows[] = {
        {"ManyLines",
         [] {
             std::string body;
             while (body.size() < 64 * 1024) body += "長い手紙の一行です。\n";
             return body;
         }()},
        {"OneLongLine", std::string(64 * 1024 / 3 * 3, 'a')},
        {"OneLongJapaneseLine",
         [] {
             std::string body;
             while (body.size() < 64 * 1024) body += "紅";
             return body;
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string url = ReplyMailtoUrl(Request(ReceivedMail{"長い", row.body}));
        EXPECT_LE(url.size(), kMaxReplyUrlBytes);
        EXPECT_GT(url.size(), kMaxReplyUrlBytes * 9 / 10) << "the room is used";
        const std::string body = Parse(url).fields["body"];
        EXPECT_TRUE(body.starts_with("ゆきうさぎさん\r\n")) << body.substr(0, 40);
        EXPECT_TRUE(body.ends_with("> （引用が長いため、ここから先は省きました）\r\n"))
            << body.substr(body.size() - 80);
        // Cut between characters: every quoted line is whole UTF-8.
        EXPECT_EQ(body.find("\xE7\xB4\r"), std::string::npos);
    }
}

TEST(IsMailAddress, TakesAddressesAndRefusesWhatSurroundsThem) {
    const struct {
        const char* text;
        bool address;
    } rows[] = {
        {"me@example.jp", true},
        {"first.last+tag@mail.example.co.jp", true},
        {"me@localhost", true},
        {"not an address", false},
        {"me@", false},
        {"@example.jp", false},
        {"me@@example.jp", false},
        {"me@exa mple.jp", false},
        {"<me@example.jp>", false},
        {"Me <me@example.jp>", false},
        {"me@example..jp", false},
        {".me@example.jp", false},
        {"me@example.jp.", false},
        {"a,b@example.jp", false},
        {"", false},
        {"me@example.jp\n", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsMailAddress(row.text), row.address) << row.text;
}

}  // namespace
