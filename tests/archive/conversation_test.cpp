// A pal's conversation as the archive gives it to the window: which mails, in which order,
// a page at a time, and the header block above each.
#include <gtest/gtest.h>

#include "archive/conversation.h"
#include "support/temp_dir.h"
#include "support/test_mail.h"

namespace {

constexpr const char* kPal = "yuki@example.jp";
const ConversationPal kYuki{kPal, "ゆき"};

MailRecord Mail(MailDirection direction, std::string date, std::string subject, std::string body = "本文") {
    return TestMail(kPal, direction, date, subject, body);
}

MailRecord Received(std::string date, std::string subject) {
    return Mail(MailDirection::Received, std::move(date), std::move(subject));
}
MailRecord Sent(std::string date, std::string subject) {
    return Mail(MailDirection::Sent, std::move(date), std::move(subject));
}

// "受 subject" or "送 subject" per mail, top to bottom.
std::vector<std::string> Shown(const ConversationPage& page) {
    std::vector<std::string> shown;
    for (const ConversationMail& mail : page.mails)
        shown.push_back((mail.direction == MailDirection::Received ? "受 " : "送 ") + mail.header.at(3).value);
    return shown;
}

std::vector<std::string> Lines(const ConversationMail& mail) {
    std::vector<std::string> lines;
    for (const ConversationHeaderLine& line : mail.header) lines.push_back(std::string(line.label) + ": " + line.value);
    return lines;
}

class ConversationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(archive.Open(dir / "pals.mails.sqlite", false).status, CMailArchive::OpenStatus::Created);
    }
    // Every page of the conversation with `pal`, read as the window reads them.
    std::vector<ConversationPage> Pages(const ConversationPal& pal, ConversationOrder order, int pageSize) {
        std::vector<ConversationPage> pages;
        std::optional<CMailArchive::MailKey> next;
        do {
            ArchiveResult<ConversationPage> page = ReadConversationPage(archive, pal, order, next, pageSize);
            EXPECT_TRUE(page.Ok()) << page.error;
            next = page.value.next;
            pages.push_back(std::move(page.value));
        } while (next && pages.size() < 10);
        return pages;
    }
    TempDir dir;
    CMailArchive archive;
};

TEST_F(ConversationTest, MailsBothWaysAreInterleavedByDateAndPagedFromTheNewest) {
    // Stored out of date order, with another pal's mail among them; two mails share a date.
    MailRecord other = Received("2026-03-02T12:00:00", "ほかの人");
    other.pal = "other@example.jp";
    ASSERT_TRUE(archive
                    .Store({Received("2026-03-03T08:00:00", "三日"), Sent("2026-03-01T21:00:00", "一日の返事"),
                            Received("2026-03-01T09:00:00", "一日"), other, Sent("2026-03-04T10:00:00", "四日の返事"),
                            Mail(MailDirection::Received, "2026-03-03T08:00:00", "三日の二通目", "二通目")})
                    .Ok());
    const struct {
        const char* name;
        ConversationOrder order;
        int pageSize;
        std::vector<std::vector<std::string>> pages;
        bool goesOnTop;
    } cases[] = {
        {"newest at the bottom, one page",
         ConversationOrder::NewestAtBottom,
         25,
         {{"受 一日", "送 一日の返事", "受 三日", "受 三日の二通目", "送 四日の返事"}},
         true},
        {"newest at the top, one page",
         ConversationOrder::NewestAtTop,
         25,
         {{"送 四日の返事", "受 三日の二通目", "受 三日", "送 一日の返事", "受 一日"}},
         false},
        {"pages of two, older ones above",
         ConversationOrder::NewestAtBottom,
         2,
         {{"受 三日の二通目", "送 四日の返事"}, {"送 一日の返事", "受 三日"}, {"受 一日"}},
         true},
        {"pages of two, older ones below",
         ConversationOrder::NewestAtTop,
         2,
         {{"送 四日の返事", "受 三日の二通目"}, {"受 三日", "送 一日の返事"}, {"受 一日"}},
         false},
        {"a page exactly as long as the conversation",
         ConversationOrder::NewestAtTop,
         5,
         {{"送 四日の返事", "受 三日の二通目", "受 三日", "送 一日の返事", "受 一日"}},
         false},
    };
    for (const auto& c : cases) {
        const std::vector<ConversationPage> pages = Pages(kYuki, c.order, c.pageSize);
        ASSERT_EQ(pages.size(), c.pages.size()) << c.name;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(Shown(pages[i]), c.pages[i]) << c.name << ", page " << i;
            EXPECT_EQ(pages[i].goesOnTop, c.goesOnTop) << c.name;
        }
        EXPECT_FALSE(pages.back().next.has_value()) << c.name;
    }
}

TEST_F(ConversationTest, APalWithoutMailHasAnEmptyConversation) {
    ASSERT_TRUE(archive.Store({Received("2026-03-01T09:00:00", "ほかの人")}).Ok());
    for (const ConversationPal& pal : {ConversationPal{"nobody@example.jp", "だれか"}, ConversationPal{"", ""}}) {
        const std::vector<ConversationPage> pages = Pages(pal, ConversationOrder::NewestAtBottom, 25);
        ASSERT_EQ(pages.size(), 1u) << pal.address;
        EXPECT_TRUE(pages.front().mails.empty()) << pal.address;
        EXPECT_FALSE(pages.front().next.has_value()) << pal.address;
    }
}

TEST(ConversationHeader, EachMailShowsWhoWroteToWhomWhenAboutWhatAndItsAttachments) {
    MailRecord internet = Received("2026-03-03T08:05:09", "雪だるま");
    internet.from = "YUKI@example.jp";
    internet.to = {"me@example.jp"};
    internet.cc = {"kaze@example.jp", "yuki@example.jp"};
    internet.attachments = 2;
    MailRecord sentMail = Sent("2026-03-04T23:59:00", "Re: 雪だるま");
    sentMail.from = "me@example.jp";
    sentMail.to = {kPal};
    MailRecord answered = Mail(MailDirection::Sent, "2026-03-01T07:00:00", "", "");
    answered.source = kAnsweredSource;
    const struct {
        const char* name;
        MailRecord mail;
        std::vector<std::string> own;
        std::vector<std::string> lines;
        std::string body;
        bool note;
    } cases[] = {
        {"an Internet mail with copies and attachments",
         internet,
         {"me@example.jp"},
         {"差出人: ゆき <YUKI@example.jp>", "宛先: me@example.jp", "Cc: kaze@example.jp, ゆき <yuki@example.jp>",
          "日付: 2026/03/03(火) 08:05", "件名: 雪だるま", "添付: 2個 (保存していません)"},
         "本文",
         false},
        {"a sent Internet mail",
         sentMail,
         {"other@example.jp"},
         {"差出人: me@example.jp", "宛先: ゆき <yuki@example.jp>", "日付: 2026/03/04(水) 23:59", "件名: Re: 雪だるま"},
         "本文",
         false},
        {"a received text without a header names the user by the first own address",
         Mail(MailDirection::Received, "2026-03-01T09:00:00", "", "こんにちは\n\n  \n"),
         {"me@example.jp", "me2@example.jp"},
         {"差出人: ゆき <yuki@example.jp>", "宛先: me@example.jp", "日付: 2026/03/01(日) 09:00", "件名: (件名なし)"},
         "こんにちは",
         false},
        {"without own addresses the user is 自分",
         Mail(MailDirection::Sent, "2000-02-29T00:00:00", "閏日"),
         {},
         {"差出人: 自分", "宛先: ゆき <yuki@example.jp>", "日付: 2000/02/29(火) 00:00", "件名: 閏日"},
         "本文",
         false},
        {"a recorded answer has a note for its text",
         answered,
         {},
         {"差出人: 自分", "宛先: ゆき <yuki@example.jp>", "日付: 2026/03/01(日) 07:00", "件名: (件名なし)"},
         "返事を書いたことだけを記録したもので、メールの文章はありません。",
         true},
    };
    for (const auto& c : cases) {
        const ConversationPage page =
            ArrangeConversationPage({StoredMail{1, c.mail}}, kYuki, c.own, ConversationOrder::NewestAtBottom);
        ASSERT_EQ(page.mails.size(), 1u) << c.name;
        EXPECT_EQ(Lines(page.mails.front()), c.lines) << c.name;
        EXPECT_EQ(page.mails.front().body, c.body) << c.name;
        EXPECT_EQ(page.mails.front().bodyIsNote, c.note) << c.name;
    }
}

TEST_F(ConversationTest, HeaderAddressesAndAttachmentCountsAreKeptWithTheMail) {
    MailRecord mail = Received("2026-03-03T08:05:00", "写真");
    mail.from = kPal;
    mail.to = {"me@example.jp", "", "you@example.jp"};
    mail.cc = {"kaze@example.jp"};
    mail.attachments = 3;
    ASSERT_TRUE(archive.Store({mail}).Ok());
    const ArchiveResult<std::vector<StoredMail>> stored = archive.MailPage(kPal, std::nullopt, 5);
    ASSERT_EQ(stored.value.size(), 1u);
    EXPECT_EQ(stored.value[0].mail.from, kPal);
    EXPECT_EQ(stored.value[0].mail.to, (std::vector<std::string>{"me@example.jp", "you@example.jp"}));
    EXPECT_EQ(stored.value[0].mail.cc, std::vector<std::string>{"kaze@example.jp"});
    EXPECT_EQ(stored.value[0].mail.attachments, 3);
}

}  // namespace
