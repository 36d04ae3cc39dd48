#include "mail/mail_text_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_user_interface.h"

namespace {

constexpr MailParseFailure kOk = MailParseFailure::kNone;
constexpr MailParseFailure kNoSender = MailParseFailure::kNoSenderKeyword;
constexpr MailParseFailure kNoAddress = MailParseFailure::kNoMailAddress;

COleDateTime Date(int year, int month, int day) { return COleDateTime(year, month, day); }
// A date that is no date keeps the value of the default record, 2000-01-01.
const COleDateTime kInvalidDate(kDefaultPalDate, COleDateTime::invalid);

const std::string kSender = "送信者 : \"Taro\" <taro@example.jp>\n";
const std::string kTo = "宛先 : hanako@example.jp\n";
const std::string kSubject = "件名 : こんにちは\n";
const std::string kDate = "日時 :  2002年 5月 3日 10:15\n";

// A mail with sender, recipient, subject and date lines, an empty line, then `body`.
std::string Mail(const std::string& body) { return kSender + kTo + kSubject + kDate + "\n" + body; }
// The same with `dateLine` for the date line.
std::string MailDated(const std::string& dateLine) { return kSender + kTo + kSubject + dateLine + "\n\nbody"; }

struct ParseRow {
    const char* name;
    std::string text;  // UTF-8, converted to code page 932 before parsing
    MailParseFailure failure = kOk;
    std::string handleName = "Taro";
    std::string address = "taro@example.jp";
    COleDateTime lastMail = Date(2002, 5, 3);
    std::string body{};  // stored form, "\b" for each line feed
    std::string homePage{};
};

void PrintTo(const ParseRow& row, std::ostream* out) { *out << row.name; }

std::vector<ParseRow> ParseRows() {
    return {
        {.name = "SubjectAndDateLines", .text = Mail("Hello\nBye\n"), .body = "Hello\bBye\b"},
        {.name = "NoSubjectLineReadsDateFromLineThreeButBodyStillAfterLineFive",
         .text = kSender + kTo + kDate + "skipped 4\nskipped 5\nbody\n",
         .body = "body\b"},
        {.name = "SubjectKeywordAnywhereInLineThree",
         .text = kSender + kTo + "Re: 件名なし\n" + kDate + "\nbody",
         .body = "body"},
        {.name = "NoSenderKeyword", .text = "差出人 : \"Taro\" <taro@example.jp>\n", .failure = kNoSender},
        {.name = "NoSenderKeywordButAddressInBrackets",
         .text = kTo + "<taro@example.jp>\n" + kDate,
         .failure = kNoSender},
        {.name = "KeywordSplitAcrossDoubleByteBoundary",  // bytes 82 91 | 97 90 | 4D | 8E D2
         .text = "ｑ乱M者 : \"Taro\" <taro@example.jp>\n" + kTo + kSubject + kDate,
         .failure = kNoSender},
        {.name = "KeywordAtVeryEnd", .text = "本文\n送信者", .failure = kNoAddress},
        {.name = "SenderLineWithoutLineFeed", .text = "送信者 : \"Taro\" <taro@example.jp>", .failure = kNoAddress},
        {.name = "AddressWithoutBrackets", .text = "送信者 : \"Taro\" taro@example.jp\n", .failure = kNoAddress},
        {.name = "EmptyBrackets", .text = "送信者 : \"Taro\" <>\n", .failure = kNoAddress},
        {.name = "ClosingBracketSearchedFromSecondByteAfterOpening",
         .text = "送信者 : \"Taro\" <>x>\n",
         .address = ">x",
         .lastMail = Date(2000, 1, 1)},
        {.name = "UnquotedNameGivesEmptyHandleName",
         .text = "送信者 : Taro <taro@example.jp>\n" + kTo + kSubject + kDate + "\nbody",
         .handleName = "",
         .body = "body"},
        {.name = "QuoteRightAfterOpeningQuoteDoesNotEndName",
         .text = "送信者 : \"\"Taro\" <taro@example.jp>\n",
         .handleName = "\"Taro",
         .lastMail = Date(2000, 1, 1)},
        {.name = "JapaneseNameAndBytesBeforeKeyword",
         .text = "From: 送信者 : \"山田 太郎\" <taro@example.jp>\n" + kTo + kSubject + kDate + "\nbody",
         .handleName = "山田 太郎",
         .body = "body"},
        {.name = "LinesBeforeSenderLineDoNotCount", .text = "転送します\n-----\n" + Mail("Hello\n"), .body = "Hello\b"},
        {.name = "DateWithoutBlanks", .text = MailDated("日時:2002年5月3日"), .body = "body"},
        {.name = "DateWithSignsAndTabs", .text = MailDated("日時\t:\t+2002年\t+5月 +3日"), .body = "body"},
        {.name = "DateWithSlashesReadsOnlyYear",
         .text = MailDated("日時 :  2002/05/03"),
         .lastMail = Date(2002, 1, 1),
         .body = "body"},
        {.name = "BlankBeforeDateKeywordReadsNothing",
         .text = MailDated(" 日時 :  2002年 5月 3日"),
         .lastMail = Date(2000, 1, 1),
         .body = "body"},
        {.name = "MissingDateLine",
         .text = MailDated("Date: 2002-05-03"),
         .lastMail = Date(2000, 1, 1),
         .body = "body"},
        {.name = "MonthThirteen",
         .text = MailDated("日時 :  2002年 13月 3日"),
         .lastMail = kInvalidDate,
         .body = "body"},
        {.name = "LeapDay",
         .text = MailDated("日時 :  2004年 2月 29日"),
         .lastMail = Date(2004, 2, 29),
         .body = "body"},
        {.name = "LeapDayOfCommonYear",
         .text = MailDated("日時 :  2003年 2月 29日"),
         .lastMail = kInvalidDate,
         .body = "body"},
        {.name = "NegativeMonth",
         .text = MailDated("日時 :  2002年 -5月 3日"),
         .lastMail = kInvalidDate,
         .body = "body"},
        {.name = "YearTooLargeForAnInt",
         .text = MailDated("日時 :  99999999999999999999年 5月 3日"),
         .lastMail = kInvalidDate,
         .body = "body"},
        {.name = "DayTooLargeForAnInt",
         .text = MailDated("日時 :  2002年 5月 2147483648日"),
         .lastMail = kInvalidDate,
         .body = "body"},
        {.name = "CrLfBodyStoredAsCrBs", .text = Mail("Hello\r\nBye\r\n"), .body = "Hello\r\bBye\r\b"},
        {.name = "BodyWithoutLineFeedUnchanged", .text = Mail("一行だけ"), .body = "一行だけ"},
        {.name = "TextEndsRightAfterDateLine", .text = kSender + kTo + kSubject + kDate, .body = ""},
        {.name = "TwoUrlsGiveTheSecond",
         .text = Mail("http://example.jp/a/very/long/path\nhttp://b.jp\n"),
         .body = "http://example.jp/a/very/long/path\bhttp://b.jp\b",
         .homePage = "http://b.jp"},
        {.name = "UrlEndsAtBlank",
         .text = Mail("see http://example.jp/~taro/?q=1&r=%41#top more"),
         .body = "see http://example.jp/~taro/?q=1&r=%41#top more",
         .homePage = "http://example.jp/~taro/?q=1&r=%41#top"},
        {.name = "UrlEndsAtJapaneseText",
         .text = Mail("http://example.jp/です"),
         .body = "http://example.jp/です",
         .homePage = "http://example.jp/"},
        {.name = "OnlyHttpsGivesNoHomePage", .text = Mail("https://example.jp/\n"), .body = "https://example.jp/\b"},
        {.name = "LinkInsideDoubleByteCharacterIsNoLink",  // "Ｉ" is 82 68: its trail byte is 'h'
         .text = Mail("http://a.jp Ｉttp://b.jp"),
         .body = "http://a.jp Ｉttp://b.jp",
         .homePage = "http://a.jp"},
        {.name = "LinkRightAfterCharacterWhoseTrailLooksLikeLeadByte",  // "ｑ" is 82 91
         .text = Mail("ｑhttp://q.jp"),
         .body = "ｑhttp://q.jp",
         .homePage = "http://q.jp"},
    };
}

class ParseMailTextTest : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseMailTextTest, ReadsTheMail) {
    const ParseRow& row = GetParam();
    const MailParseResult result = ParseMailText(Sjis(row.text));
    ASSERT_EQ(result.failure, row.failure);
    if (!result.Ok()) return;
    const CPenPal& mail = result.mail;
    EXPECT_EQ(Utf8(mail.m_strHandleName), row.handleName);
    EXPECT_EQ(Utf8(mail.m_strMailAddress), row.address);
    EXPECT_EQ(mail.m_dtLastMail.m_status, row.lastMail.m_status);
    EXPECT_EQ(mail.m_dtLastMail.m_dt, row.lastMail.m_dt);
    EXPECT_EQ(Utf8(mail.m_strLastMailText), row.body);
    EXPECT_EQ(Utf8(mail.m_strHomePage), row.homePage);
    // Everything else stays at the defaults.
    CPenPal expected;
    expected.m_strHandleName = mail.m_strHandleName;
    expected.m_strMailAddress = mail.m_strMailAddress;
    expected.m_dtLastMail = mail.m_dtLastMail;
    expected.m_strLastMailText = mail.m_strLastMailText;
    expected.m_strHomePage = mail.m_strHomePage;
    EXPECT_EQ(mail, expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseMailTextTest, testing::ValuesIn(ParseRows()),
                         [](const testing::TestParamInfo<ParseRow>& info) { return std::string(info.param.name); });

TEST(ParseMailText, FailuresHaveTheirMessages) {
    EXPECT_STREQ(MailParseFailureMessage(kNoSender), "ドロップされた形式は無効です");
    EXPECT_STREQ(MailParseFailureMessage(kNoAddress), "メールアドレスを取得できませんでした");
}

TEST(ParseMailText, SurvivesBytesThatAreNoText) {
    const std::string sender = Sjis("送信者 <a@b>\n");
    const std::string cases[] = {
        // NUL bytes and lone lead bytes, one at the very end.
        sender + "2\n3\n4\n5\n" + std::string("\0\x82\n\0\n\xFF\xFE\x81", 8),
        sender + "\n" + Sjis("日時 :  ") + std::string(100000, '9'),
        std::string("\x91", 1),
        sender.substr(0, 5),
    };
    for (const std::string& text : cases) {
        const MailParseResult result = ParseMailText(text);
        if (result.Ok()) {
            EXPECT_EQ(result.mail.m_strMailAddress, "a@b");
        }
    }
    EXPECT_EQ(ParseMailText(cases[0]).mail.m_strLastMailText, std::string("\0\x82\b\0\b\xFF\xFE\x81", 8));
    EXPECT_EQ(ParseMailText(cases[1]).mail.m_dtLastMail.m_status, COleDateTime::invalid);
}

}  // namespace
