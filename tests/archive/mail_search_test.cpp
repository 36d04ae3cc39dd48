// Mail search: the words taken from what the user types, where they occur in a mail's own
// text, the snippet, and the mails found in a real archive, newest first and narrowed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/mail_archive.h"
#include "archive/mail_search.h"
#include "support/temp_dir.h"
#include "support/test_mail.h"

namespace {

// `text` with each span in brackets.
std::string Marked(const std::string& text, const std::vector<TextSpan>& spans) {
    std::string marked;
    std::size_t at = 0;
    for (const TextSpan& span : spans) {
        marked += text.substr(at, span.begin - at) + "[" + text.substr(span.begin, span.end - span.begin) + "]";
        at = span.end;
    }
    return marked + text.substr(at);
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

struct HitCase {
    const char* name;
    std::string text;
    std::string query;
    std::string marked;
};

class WordHits : public testing::TestWithParam<HitCase> {};

TEST_P(WordHits, MarkWholeCharactersOfTheOriginal) {
    const HitCase& c = GetParam();
    EXPECT_EQ(Marked(c.text, FindWords(c.text, SearchWords(c.query))), c.marked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WordHits,
    testing::Values(HitCase{"JapaneseWithoutSpaces", "京都の紅葉がきれいでした", "紅葉", "京都の[紅葉]がきれいでした"},
                    HitCase{"HalfWidthVoicedKanaIsOneHit", "ｶﾞｯｺｳへ行く", "がっこう", "[ｶﾞｯｺｳ]へ行く"},
                    HitCase{"KatakanaFoundByHiragana", "ラーメンとらーめん", "らーめん", "[ラーメン]と[らーめん]"},
                    HitCase{"LetterCaseAndWidthAside", "ABC abc ＡＢＣ", "abc", "[ABC] [abc] [ＡＢＣ]"},
                    HitCase{"OneCharacterFoldingToMany", "㈱ヤマダ", "株", "[㈱]ヤマダ"},
                    HitCase{"AdjacentHitsStayApart", "ねこねこ", "ねこ", "[ねこ][ねこ]"},
                    HitCase{"OverlappingWordsMerge", "京都会館", "京都 都会", "[京都会]館"},
                    HitCase{"EveryWordMarked", "雨の日に傘", "傘　雨", "[雨]の日に[傘]"},
                    HitCase{"OutsideCodePage932", "🍁と𠮷野家", "𠮷野", "🍁と[𠮷野]家"},
                    HitCase{"QuerySyntaxIsText", "a*b (NEAR) \"q\" -x", "* (near) \"q\" -x",
                            "a[*]b [(NEAR)] [\"q\"] [-x]"},
                    HitCase{"RegularExpressionIsText", "a.b ab", ".", "a[.]b ab"},
                    HitCase{"BlankQuery", "text", " 　 ", "text"}, HitCase{"NotThere", "text", "ぬ", "text"}),
    [](const testing::TestParamInfo<HitCase>& info) { return info.param.name; });

TEST(TextSpans, CountInUtf16UnitsAndInCharacters) {
    const std::string text = "🍁a紅葉";  // 4 + 1 + 3 + 3 bytes
    const std::vector<TextSpan> bytes = {{0, 4}, {5, 11}};
    EXPECT_EQ(SpansInUtf16(text, bytes), (std::vector<TextSpan>{{0, 2}, {3, 5}}));
    EXPECT_EQ(SpansInCharacters(text, bytes), (std::vector<TextSpan>{{0, 1}, {2, 4}}));
}

const std::string kLongWord = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ";

class ArchiveMailSearch : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(archive.Open(dir / "s.mails.sqlite", false).status, CMailArchive::OpenStatus::Created);
        const auto sent = MailDirection::Sent, received = MailDirection::Received;
        ASSERT_TRUE(
            archive
                .Store({TestMail("yuki@x", received, "2026-10-01T09:00:00", "紅葉狩り",
                                 "京都の紅葉がきれいでした。\n来週も紅葉を見に行きます。"),
                        TestMail("yuki@x", sent, "2026-10-05T21:00:00", "Re: 紅葉狩り", "いいですね！ 私は東京です。"),
                        TestMail("hana@x", received, "2026-11-20T12:00:00", "ﾗｰﾒﾝ",
                                 "ラーメンを食べました (NEAR the station) \"quoted\" a*b -minus"),
                        TestMail("hana@x", received, "2025-01-10T08:00:00", "古い手紙", "🍁 紅葉の季節 𠮷野家"),
                        TestMail("kaze@x", sent, "2026-12-01T07:00:00", "", "猫"),
                        TestMail("kaze@x", received, "2024-05-05T10:00:00", "長い手紙",
                                 Repeated("あ", 100) + "目印" + Repeated("い", 100)),
                        TestMail("kaze@x", received, "2024-06-06T10:00:00", "", "前置き" + kLongWord + "。")})
                .Ok());
    }
    // "date subject | snippet" of each mail found, hits in brackets.
    std::vector<std::string> Found(const std::string& query, const MailSearchFilter& filter, std::size_t limit) {
        const ArchiveResult<MailSearchResults> found = archive.SearchMails(query, filter, limit);
        EXPECT_TRUE(found.Ok()) << found.error;
        std::vector<std::string> mails;
        for (const MailSearchHit& hit : found.value.hits) {
            const MailRecord& mail = hit.stored.mail;
            mails.push_back(mail.date.substr(0, 10) + " " + Marked(mail.subject, hit.subjectHits) + " | " +
                            Marked(hit.snippet.text, hit.snippet.hits));
        }
        more = found.value.more;
        return mails;
    }

    TempDir dir;
    CMailArchive archive;
    bool more = false;
};

MailSearchFilter Filtered(const char* pal, std::optional<MailDirection> direction = std::nullopt,
                          std::optional<CalendarDay> since = std::nullopt,
                          std::optional<CalendarDay> until = std::nullopt) {
    return {pal, direction, since, until};
}

struct MailSearchCase {
    const char* name;
    std::string query;
    MailSearchFilter filter;
    std::vector<std::string> found;
    std::size_t limit = kAllMails;
};

class ArchiveMailSearchCases : public ArchiveMailSearch, public testing::WithParamInterface<MailSearchCase> {};

TEST_P(ArchiveMailSearchCases, FindTheNewestFirstWithTheirHits) {
    const MailSearchCase& c = GetParam();
    EXPECT_EQ(Found(c.query, c.filter, c.limit), c.found);
}

const std::string kAutumnFirst = "2026-10-01 [紅葉]狩り | 京都の[紅葉]がきれいでした。 来週も[紅葉]を見に行きます。";
const std::string kAutumnReply = "2026-10-05 Re: [紅葉]狩り | いいですね！ 私は東京です。";
const std::string kAutumnOld = "2025-01-10 古い手紙 | 🍁 [紅葉]の季節 𠮷野家";
const std::string kRamen = "2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました (NEAR the station) \"quoted\" a*b -minus";

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveMailSearchCases,
    testing::Values(
        MailSearchCase{"JapaneseWithoutSpaces", "紅葉", {}, {kAutumnReply, kAutumnFirst, kAutumnOld}},
        MailSearchCase{"OneCharacter", "猫", {}, {"2026-12-01  | [猫]"}},
        MailSearchCase{"TwoCharacters", "東京", {}, {"2026-10-05 Re: 紅葉狩り | いいですね！ 私は[東京]です。"}},
        MailSearchCase{"HalfWidthFindsFullWidth",
                       "ﾗｰﾒﾝ",
                       {},
                       {"2026-11-20 [ﾗｰﾒﾝ] | [ラーメン]を食べました (NEAR the station) \"quoted\" a*b -minus"}},
        MailSearchCase{"EveryWordMustBeThere",
                       "紅葉 京都",
                       {},
                       {"2026-10-01 [紅葉]狩り | [京都]の[紅葉]がきれいでした。 来週も[紅葉]を見に行きます。"}},
        MailSearchCase{"NearIsAWord",
                       "NEAR",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました ([NEAR] the station) \"quoted\" a*b -minus"}},
        MailSearchCase{"QuotesAreText",
                       "\"quoted\"",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました (NEAR the station) [\"quoted\"] a*b -minus"}},
        MailSearchCase{"LoneQuote",
                       "\"",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました (NEAR the station) [\"]quoted[\"] a*b -minus"}},
        MailSearchCase{"StarIsText",
                       "a*b",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました (NEAR the station) \"quoted\" [a*b] -minus"}},
        MailSearchCase{"MinusIsText",
                       "-minus",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました (NEAR the station) \"quoted\" a*b [-minus]"}},
        MailSearchCase{"ParenthesesAreText",
                       "(NEAR",
                       {},
                       {"2026-11-20 ﾗｰﾒﾝ | ラーメンを食べました [(NEAR] the station) \"quoted\" a*b -minus"}},
        MailSearchCase{"FtsOperatorsAreWords", "紅葉 OR ラーメン", {}, {}},
        MailSearchCase{"RegularExpressionFindsNothing", "ラー.*ン", {}, {}},
        MailSearchCase{"EmojiOutsideCodePage932", "🍁", {}, {"2025-01-10 古い手紙 | [🍁] 紅葉の季節 𠮷野家"}},
        MailSearchCase{"KanjiOutsideCodePage932", "𠮷野家", {}, {"2025-01-10 古い手紙 | 🍁 紅葉の季節 [𠮷野家]"}},
        MailSearchCase{"TenThousandCharacters", Repeated("紅", 10000), {}, {}},
        MailSearchCase{"LongWordThatIsThere", kLongWord, {}, {"2024-06-06  | 前置き[" + kLongWord + "]。"}},
        MailSearchCase{"LongWordDifferingAtItsEnd", kLongWord + "ま", {}, {}},
        MailSearchCase{"SnippetAroundAHitFarIn",
                       "目印",
                       {},
                       {std::string("2024-05-05 長い手紙 | …") + Repeated("あ", 20) + "[目印]" + Repeated("い", 58) + "…"}},
        MailSearchCase{"NothingMatches", "ぬぬ", {}, {}}, MailSearchCase{"BlankFindsNothing", " 　", {}, {}},
        MailSearchCase{"OnePal", "紅葉", Filtered("yuki@x"), {kAutumnReply, kAutumnFirst}},
        MailSearchCase{"SentOnly", "紅葉", Filtered("", MailDirection::Sent), {kAutumnReply}},
        MailSearchCase{"ReceivedFromOnePal", "紅葉", Filtered("hana@x", MailDirection::Received), {kAutumnOld}},
        MailSearchCase{
            "PeriodWithBothDaysIn",
            "紅葉",
            Filtered("", std::nullopt, CalendarDay::FromDate(2025, 1, 10), CalendarDay::FromDate(2026, 10, 1)),
            {kAutumnFirst, kAutumnOld}},
        MailSearchCase{
            "PeriodAfterEveryHit", "紅葉", Filtered("", std::nullopt, CalendarDay::FromDate(2026, 10, 6)), {}},
        MailSearchCase{"PalWithoutMails", "紅葉", Filtered("nobody@x"), {}},
        MailSearchCase{"FirstTwoOnly", "紅葉", {}, {kAutumnReply, kAutumnFirst}, 2}),
    [](const testing::TestParamInfo<MailSearchCase>& info) { return info.param.name; });

TEST_F(ArchiveMailSearch, ALimitTellsWhetherThereAreMore) {
    EXPECT_EQ(Found("紅葉", {}, 2).size(), 2u);
    EXPECT_TRUE(more);
    EXPECT_EQ(Found("紅葉", {}, 3).size(), 3u);
    EXPECT_FALSE(more);
}

// The window's archive keeps new mails out of the index until a search of its own; a
// command that only reads the file still finds them.
TEST_F(ArchiveMailSearch, AReaderFindsMailsTheWriterHasNotIndexedYet) {
    ASSERT_EQ(Found("紅葉", {}, kAllMails).size(), 3u);  // indexes what is there
    ASSERT_TRUE(
        archive.Store({TestMail("yuki@x", MailDirection::Received, "2026-12-24T10:00:00", "冬", "紅葉も終わり")}).Ok());
    CMailArchive reader;
    ASSERT_EQ(reader.Open(dir / "s.mails.sqlite", true).status, CMailArchive::OpenStatus::Opened);
    const ArchiveResult<MailSearchResults> found = reader.SearchMails("紅葉", {}, 1);
    ASSERT_TRUE(found.Ok()) << found.error;
    ASSERT_EQ(found.value.hits.size(), 1u);
    EXPECT_EQ(Marked(found.value.hits[0].stored.mail.body, found.value.hits[0].bodyHits), "[紅葉]も終わり");
}

}  // namespace
