// The Internet mail reader on mails written the way mail programs write them (made by
// make_mails.py), and on broken ones.
#include "mail/internet_mail.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "mail/html_text.h"
#include "mail/mail_charsets.h"
#include "mail/stored_mail_text.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

// Stored text's lines, without the empty ones at the end.
std::vector<std::string> Lines(const std::string& stored) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t bs; (bs = stored.find(kStoredLineBreak, start)) != std::string::npos; start = bs + 1)
        lines.push_back(Utf8(stored.substr(start, bs - start)));
    lines.push_back(Utf8(stored.substr(start)));
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

class InternetMailTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // Dates are read into local time; the expectations are Japanese time.
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
        mails = new TempDir;
        const std::string command = "python3 '" MAKE_MAILS_PY "' programs '" + mails->path().string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    static void TearDownTestSuite() { delete mails; }

    static MailReadResult Read(const std::string& name) {
        return ReadInternetMessage(ReadFileBytes(*mails / name), 1'000'000'000);
    }

    static TempDir* mails;
};
TempDir* InternetMailTest::mails = nullptr;

struct ProgramCase {
    const char* file;
    const char* handleName;
    const char* address;
    COleDateTime date;
    MailDateSource source;
    const char* firstLine;
    const char* lastLine;
    const char* homePage;
    int attachments;
};

const ProgramCase kPrograms[] = {
    {"thunderbird.eml",
     "山田 花子",
     "hanako@example.jp",
     {2024, 3, 5, 21, 4, 5},
     MailDateSource::kDateHeader,
     "花子です。",
     "写真を載せました: https://hanako.example.jp/blog",
     "https://hanako.example.jp/blog",
     0},
    {"outlook.eml",
     "鈴木 一郎",
     "ichiro@Example.CO.JP",
     {2024, 3, 6, 9, 30, 0},
     MailDateSource::kDateHeader,
     "太郎さんへ",
     "一郎",
     "http://www.example.co.jp/",
     1},
    // Sent at 08:15 in California: a quarter past one the next morning in Japan.
    {"gmail.eml",
     "Jiro Tanaka",
     "jiro.tanaka@gmail.example",
     {2024, 3, 10, 1, 15, 0},
     MailDateSource::kDateHeader,
     "Hi Taro,",
     "Jiro",
     "https://maps.example.com/station?q=1",
     0},
    {"apple_mail.eml",
     "林檎",
     "ringo@icloud.example",
     {2024, 3, 7, 23, 59, 59},
     MailDateSource::kDateHeader,
     "こんにちは & ようこそ",
     "またね",
     "https://apple.example.jp/diary",
     0},
    {"mobile_carrier.eml",
     "けいたい",
     "keitai.user@docomo.example.ne.jp",
     {2024, 3, 11, 7, 30, 0},
     MailDateSource::kDateHeader,
     "おはよう①",
     "http://m.example.ne.jp/~keitai",
     "http://m.example.ne.jp/~keitai",
     0},
    // No Date field: the newest (topmost) Received field's date.
    {"iso2022jp.eml",
     "じす",
     "jis@example.jp",
     {2024, 3, 12, 12, 34, 56},
     MailDateSource::kReceivedHeader,
     "はじめまして。①番の㈱です。",
     "http://jis.example.jp/home",
     "http://jis.example.jp/home",
     0},
};

TEST_F(InternetMailTest, MailsOfCommonProgramsGiveSenderDateBodyAndHomePage) {
    for (const ProgramCase& c : kPrograms) {
        SCOPED_TRACE(c.file);
        const MailReadResult read = Read(c.file);
        ASSERT_TRUE(read.Ok());
        const CPenPal& pal = read.mail.pal;
        EXPECT_EQ(Utf8(pal.m_strHandleName), c.handleName);
        EXPECT_EQ(pal.m_strMailAddress, c.address);
        EXPECT_EQ(pal.m_dtLastMail.Format("%Y/%m/%d %H:%M:%S"), c.date.Format("%Y/%m/%d %H:%M:%S"));
        EXPECT_EQ(read.mail.dateSource, c.source);
        const std::vector<std::string> lines = Lines(pal.m_strLastMailText);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), c.firstLine);
        EXPECT_EQ(lines.back(), c.lastLine);
        EXPECT_EQ(pal.m_strHomePage, c.homePage);
        EXPECT_EQ(read.mail.attachments, c.attachments);
        EXPECT_EQ(read.mail.replacedCharacters, 0);
        EXPECT_EQ(pal.m_strName, "") << "only the mail's own fields are set";
    }
}

TEST_F(InternetMailTest, ArchiveFieldsAreUtf8AndAMissingMessageIdIsStable) {
    const MailReadResult outlook = Read("outlook.eml");
    EXPECT_EQ(outlook.mail.messageId, "TYAPR01MB1234@outlook.example");
    EXPECT_EQ(outlook.mail.subject, "会議の資料");
    EXPECT_EQ(outlook.mail.toAddresses, std::vector<std::string>{"taro@example.jp"});
    EXPECT_EQ(outlook.mail.ccAddresses, (std::vector<std::string>{"jiro@example.jp", "saburo@example.jp"}));
    EXPECT_EQ(outlook.mail.body.find('\r'), std::string::npos);

    const MailReadResult first = Read("iso2022jp.eml");
    EXPECT_EQ(first.mail.subject, "はじめまして");
    EXPECT_TRUE(first.mail.messageId.ends_with("@yubino.invalid")) << first.mail.messageId;
    EXPECT_EQ(Read("iso2022jp.eml").mail.messageId, first.mail.messageId);
    EXPECT_NE(Read("mobile_carrier.eml").mail.messageId, first.mail.messageId);
}

std::string Header(const std::string& from = "Hanako <hanako@example.jp>") {
    return "From: " + from + "\nTo: taro@example.jp\nSubject: test\nDate: Tue, 5 Mar 2024 21:04:05 +0900\n";
}

std::string NestedMultiparts(int depth) {
    std::string mail = Header() + "MIME-Version: 1.0\n";
    for (int i = 0; i < depth; ++i)
        mail += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\n\n--b" + std::to_string(i) + "\n";
    return mail + "Content-Type: text/plain\n\ndeep\n";
}

struct BadCase {
    const char* name;
    std::string bytes;
    MailReadStatus status;
    const char* firstLine;  // of the body, when read
};

TEST_F(InternetMailTest, BrokenInputIsReadAsFarAsItMakesSenseOrRefused) {
    const BadCase cases[] = {
        {"empty", "", MailReadStatus::kNotMail, nullptr},
        {"binary",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         MailReadStatus::kNotMail, nullptr},
        {"png image", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), MailReadStatus::kNotMail, nullptr},
        {"plain text", "Dear Taro,\nthis is no mail.\n", MailReadStatus::kNotMail, nullptr},
        {"header of a megabyte", Header() + "X-Long: " + std::string(1 << 20, 'a') + "\n\nbody\n",
         MailReadStatus::kRead, "body"},
        {"ten thousand nested multiparts", NestedMultiparts(10000), MailReadStatus::kRead, nullptr},
        {"missing final boundary",
         Header() + "Content-Type: multipart/mixed; boundary=XX\n\n--XX\nContent-Type: text/plain\n\nstill here\n",
         MailReadStatus::kRead, "still here"},
        {"truncated base64",
         Header() +
             "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: base64\n\n44GT44KT44Gr44Gh44G\n",
         MailReadStatus::kRead, "こんにち"},
        {"address without domain", Header("Hanako <hanako>") + "\nbody\n", MailReadStatus::kNoAddress, nullptr},
        {"no From at all", "To: taro@example.jp\nSubject: x\n\nbody\n", MailReadStatus::kNotMail, nullptr},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MailReadResult read = ReadInternetMessage(c.bytes, 0);
        EXPECT_EQ(read.status, c.status);
        if (c.firstLine && read.Ok()) {
            EXPECT_TRUE(Utf8(read.mail.pal.m_strLastMailText).starts_with(c.firstLine));
        }
    }
}

TEST_F(InternetMailTest, DateFallsBackToReceivedThenFileTime) {
    const std::string received = "Received: by mx; Wed, 1 May 2024 10:00:00 +0900\n";
    struct {
        const char* name;
        std::string date;
        MailDateSource source;
        const char* expected;
    } cases[] = {
        {"year 99999", received + "Date: Tue, 5 Mar 99999 21:04:05 +0900\n", MailDateSource::kReceivedHeader,
         "2024/05/01 10:00"},
        {"broken date", received + "Date: yesterday\n", MailDateSource::kReceivedHeader, "2024/05/01 10:00"},
        {"no date, no received", "", MailDateSource::kFileTime, "2001/09/09 10:46"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MailReadResult read =
            ReadInternetMessage(c.date + "From: a@example.jp\nTo: b@example.jp\n\nbody\n", 1'000'000'000);
        ASSERT_TRUE(read.Ok());
        EXPECT_EQ(read.mail.dateSource, c.source);
        EXPECT_EQ(read.mail.pal.m_dtLastMail.Format("%Y/%m/%d %H:%M"), c.expected);
    }
}

TEST_F(InternetMailTest, IsoJapaneseWordsKeepTheNecCharactersInNameAndSubject) {
    // "①㈱うびの" in ISO-2022-JP, as B and as Q words.
    const std::string b = "=?ISO-2022-JP?B?GyRCLSEtaiQmJFMkThsoQg==?=";
    const std::string q = "=?iso-2022-jp?Q?=1B$B-!-j$&$S$N=1B(B?=";
    for (const std::string& word : {b, q}) {
        const MailReadResult read =
            ReadInternetMessage("From: " + word + " <a@example.jp>\nSubject: Re: " + word + "\n\nx\n");
        ASSERT_TRUE(read.Ok()) << word;
        EXPECT_EQ(Utf8(read.mail.pal.m_strHandleName), "①㈱うびの") << word;
        EXPECT_EQ(read.mail.subject, "Re: ①㈱うびの") << word;
    }
}

TEST_F(InternetMailTest, TextCodePage932CannotHoldIsReplacedAndCounted) {
    const MailReadResult read = ReadInternetMessage(
        "From: =?utf-8?B?8J+Yig==?= <a@example.jp>\nContent-Type: text/plain; charset=utf-8\n\n\xF0\x9F\x98\x8A ok\n");
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.mail.pal.m_strHandleName, "?");
    EXPECT_EQ(read.mail.pal.m_strLastMailText, "? ok\b");
    EXPECT_EQ(read.mail.replacedCharacters, 2);
}

TEST(MailCharsetTest, MislabelledTextIsTriedAsTheOtherJapaneseCharsets) {
    const std::string text = "①㈱の髙橋です";
    const std::string cp932 = Sjis(text);
    struct {
        const char* name;
        std::string bytes;
        const char* label;
        std::string expected;
        bool replaced;
    } cases[] = {
        {"code page 932 labelled Shift_JIS", cp932, "Shift_JIS", text, false},
        {"code page 932 labelled UTF-8", cp932, "utf-8", text, false},
        {"code page 932 labelled ISO-2022-JP", cp932, "iso-2022-jp", text, false},
        {"ISO-2022-JP with NEC row 13", "\x1b$B-!-j\x1b(B", "iso-2022-jp", "①㈱", false},
        {"ISO-2022-JP labelled UTF-8", "\x1b$B$\"\x1b(B", "UTF-8", "あ", false},
        {"half-width kana in ISO-2022-JP", "\x1b(I1\x1b(B", "ISO-2022-JP", "ｱ", false},
        {"EUC-JP labelled UTF-8", "\xa4\xa2\xa4\xa4\xa4\xa6\xa4\xa8\xa4\xaa", "utf-8", "あいうえお", false},
        {"EUC-JP with kanji, no label", "\xb4\xc1\xbb\xfa", "", "漢字", false},
        {"half-width kana in code page 932, unlabelled", "\xb1\xb2\xb3", "", "ｱｲｳ", false},
        {"UTF-8 without a label", text, "", text, false},
        {"an unknown label", "abc", "x-no-such-charset", "abc", false},
        {"nothing fits", "ok\xff\xfe", "utf-8", "ok\xEF\xBF\xBD\xEF\xBF\xBD", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedText decoded = DecodeMailText(c.bytes, c.label);
        EXPECT_EQ(decoded.utf8, c.expected);
        EXPECT_EQ(decoded.replaced, c.replaced);
    }
}

TEST(HtmlTextTest, ParagraphsBreaksEntitiesAndLinksRemain) {
    struct {
        const char* name;
        const char* html;
        const char* text;
    } cases[] = {
        {"paragraphs", "<p>one</p><p>two</p>", "one\n\ntwo\n"},
        {"line breaks", "a<br>b<BR/>c", "a\nb\nc\n"},
        {"entities", "&lt;&amp;&gt; &#x3042;&#12354;&nbsp;&unknown;", "<&> ああ &unknown;\n"},
        {"style and script dropped", "<style>p{}</style>x<script>y()</script>z", "xz\n"},
        {"link kept as its URL", "<a href=\"http://a.example/\">here</a>.", "here http://a.example/ .\n"},
        {"link whose text is its URL", "see <a href=\"https://a.example/\">https://a.example/</a>", "see https://a.example/\n"},
        {"blanks collapse", "  a \n\t b  ", "a b\n"},
        {"list items", "<ul><li>x<li>y</ul>", "x\ny\n"},
        {"unclosed tag", "a<b", "a\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.name;
}

}  // namespace

namespace {

// Encoded-words as mail programs split them: each word of a charset joined to the next
// before the charset is read, the blanks between adjacent words dropped.
TEST(EncodedWordsTest, WordsSplitAnywhereComeTogether) {
    const struct {
        const char* name;
        const char* subject;
        const char* expected;
    } cases[] = {
        {"two ISO-2022-JP words as Python folds them",
         "=?iso-2022-jp?b?GyRCJUYlOSVIN29MPhsoQiA=?=\n =?iso-2022-jp?b?GyRCJDMkcyRLJEEkTxsoQg==?=",
         "テスト件名 こんにちは"},
        {"three ISO-2022-JP words",
         "=?iso-2022-jp?b?GyRCJUYlOSVIN28bKEI=?=\n =?iso-2022-jp?b?GyRCTD4bKEIgGyRCJDMkcyRLGyhC?=\n "
         "=?iso-2022-jp?b?GyRCJEEkTxsoQg==?=",
         "テスト件名 こんにちは"},
        {"a JIS character split between words", "=?ISO-2022-JP?B?GyRCJUYl?= =?ISO-2022-JP?B?OSVIGyhC?=", "テスト"},
        {"an escape sequence split between words",
         "=?iso-2022-jp?b?GyQ=?=\t=?iso-2022-jp?b?QiVGJTklSBsoQg==?=", "テスト"},
        {"a UTF-8 character split between words", "=?UTF-8?B?5pc=?= =?utf-8?B?peacrA==?=", "日本"},
        {"words of two charsets, blank dropped", "=?UTF-8?B?5pel?= =?iso-2022-jp?b?GyRCJUYlOSVIGyhC?=", "日テスト"},
        {"a word, then plain text keeps its blank", "=?UTF-8?B?5pel?= text", "日 text"},
        {"plain text, then a word keeps its blank", "Re: =?UTF-8?B?5pel?=", "Re: 日"},
    };
    for (const auto& c : cases) {
        const MailReadResult read =
            ReadInternetMessage(std::string("From: a@example.jp\nSubject: ") + c.subject + "\n\nbody\n");
        ASSERT_TRUE(read.Ok()) << c.name;
        EXPECT_EQ(read.mail.subject, c.expected) << c.name;
    }
}

// A file of header fields only reads as the same fields inside an mbox do.
TEST(HeaderBlockTest, AHeaderBlockWithoutItsEmptyLineReadsAsInsideAnMbox) {
    const std::string header = "From: \"Hanako\" <hanako@example.jp>\nSubject: only headers\nMessage-ID: <h@x>";
    for (const std::string& text : {header, header + "\n", header + "\r\n"}) {
        const MailReadResult alone = ReadInternetMessage(text);
        const MailReadResult inMbox =
            ReadInternetMessage("From hanako@example.jp Tue Mar  5 21:04:05 2024\n" + text + "\n");
        ASSERT_TRUE(alone.Ok());
        ASSERT_TRUE(inMbox.Ok());
        EXPECT_EQ(alone.mail.subject, "only headers");
        EXPECT_EQ(alone.mail.subject, inMbox.mail.subject);
        EXPECT_EQ(alone.mail.fromAddress, inMbox.mail.fromAddress);
        EXPECT_EQ(alone.mail.messageId, inMbox.mail.messageId);
    }
}

// Hostile sizes and bytes: a subject cut at the longest line RFC 5322 allows, a body past
// the reading cap kept decoded as far as it was read and marked, NUL characters replaced.
TEST(MailLimitsTest, LongSubjectsHugeBodiesAndNulsAreBounded) {
    const std::string longSubject(10000, 'a');
    MailReadResult read = ReadInternetMessage("From: a@example.jp\nSubject: " + longSubject + "\n\nbody\n");
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.mail.subject, std::string(998, 'a'));

    using namespace std::string_literals;
    read = ReadInternetMessage("From: a@example.jp\nSubject: be\0fore\n\nbody\0end\n"s);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.mail.subject,
              "be\xEF\xBF\xBD"
              "fore");
    EXPECT_EQ(read.mail.body,
              "body\xEF\xBF\xBD"
              "end\n");

    // 12 MB of "テスト" lines in ISO-2022-JP: more than the 8 MB read.
    const std::string line = "\x1b$B%F%9%H\x1b(B\n";
    std::string body;
    while (body.size() < (12u << 20)) body += line;
    read = ReadInternetMessage("From: a@example.jp\nSubject: big\nContent-Type: text/plain; charset=ISO-2022-JP\n\n" +
                               body);
    ASSERT_TRUE(read.Ok());
    EXPECT_TRUE(read.mail.body.starts_with("テスト\nテスト\n"));
    EXPECT_EQ(read.mail.body.find('\x1b'), std::string::npos) << "decoded, not kept as ISO-2022-JP";
    EXPECT_GT(read.mail.body.size(), 4u << 20);
    EXPECT_LE(read.mail.body.size(), 9u << 20);
    EXPECT_NE(read.mail.body.find("本文が長すぎるため"), std::string::npos);
    EXPECT_LE(read.mail.pal.m_strLastMailText.size(), 70u << 10) << "the pal data file holds a letter, not the mail";
    EXPECT_NE(Utf8(read.mail.pal.m_strLastMailText).find("本文が長すぎるため"), std::string::npos);
}

}  // namespace
