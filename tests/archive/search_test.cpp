// Loose search: folding of width, kana and case, and search texts that look like query
// syntax or are very long.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/mail_archive.h"
#include "archive/pal_search.h"
#include "archive/text_fold.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

struct FoldCase {
    const char* name;
    const char* text;
    const char* folded;
};

class Folding : public testing::TestWithParam<FoldCase> {};

TEST_P(Folding, FoldsToOneForm) { EXPECT_EQ(FoldForSearch(GetParam().text), GetParam().folded); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Folding,
    testing::Values(FoldCase{"HalfWidthKatakana", "ｶﾀｶﾅ", "かたかな"},
                    FoldCase{"FullWidthKatakana", "カタカナ", "かたかな"}, FoldCase{"Hiragana", "かたかな", "かたかな"},
                    FoldCase{"HalfWidthVoicedMarksCompose", "ｶﾞｯｺｳ", "がっこう"},
                    FoldCase{"FullWidthLetters", "ＡＢＣ", "abc"}, FoldCase{"UpperCase", "ABC Def", "abc def"},
                    FoldCase{"FullWidthDigits", "１２３", "123"}, FoldCase{"KanjiStay", "東京都", "東京都"},
                    FoldCase{"LongVowelMarkStays", "ラーメン", "らーめん"}, FoldCase{"SmallKeKa", "ヵヶ", "ゕゖ"},
                    FoldCase{"MalformedUtf8",
                             "a\xFF"
                             "b",
                             "a\xEF\xBF\xBD"
                             "b"}),
    [](const testing::TestParamInfo<FoldCase>& info) { return info.param.name; });

class ArchiveSearch : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(archive.Open(dir / "s.mails.sqlite", false).status, CMailArchive::OpenStatus::Created);
        Store("kana@x", "件名", "カタカナで書きました");
        Store("abc@x", "ABC news", "plain abc text");
        Store("syntax@x", "100% sure", "a_b \"quoted\" * NEAR(x y) 50%");
        Store("short@x", "", "猫");
    }
    void Store(const std::string& pal, const std::string& subject, const std::string& body) {
        MailRecord mail;
        mail.pal = pal;
        mail.date = "2026-01-01T00:00:00";
        mail.subject = subject;
        mail.body = body;
        ASSERT_TRUE(archive.Store({mail}).Ok());
    }
    std::string Found(const std::string& search) {
        std::string pals;
        for (const std::string& pal : archive.PalsWithText(search).value) pals += (pals.empty() ? "" : " ") + pal;
        std::string mails;
        for (const StoredMail& m : archive.Mails("", search).value) mails += (mails.empty() ? "" : " ") + m.mail.pal;
        EXPECT_EQ(pals.size(), mails.size()) << "pals and mails agree for " << search;
        return pals;
    }
    TempDir dir;
    CMailArchive archive;
};

struct SearchCase {
    const char* name;
    std::string search;
    const char* pals;
};

class ArchiveSearchCases : public ArchiveSearch, public testing::WithParamInterface<SearchCase> {};

TEST_P(ArchiveSearchCases, FindsThePalsWhoseMailsHoldTheText) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(Found(c.search), c.pals);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveSearchCases,
    testing::Values(
        SearchCase{"HalfWidthFindsKatakana", "ｶﾀｶﾅ", "kana@x"},
        SearchCase{"HiraganaFindsKatakana", "かたかな", "kana@x"},
        SearchCase{"KatakanaFindsItself", "カタカナ", "kana@x"}, SearchCase{"FullWidthFindsAscii", "ＡＢＣ", "abc@x"},
        SearchCase{"SubjectIsSearched", "news", "abc@x"}, SearchCase{"TwoCharacters", "かな", "kana@x"},
        SearchCase{"OneCharacter", "猫", "short@x"}, SearchCase{"TwoCharactersEndingTheBody", "した", "kana@x"},
        SearchCase{"TwoCharactersNowhere", "ぬぬ", ""}, SearchCase{"TwoCharactersAcrossSubjectAndBody", "名か", ""},
        SearchCase{"Percent", "%", "syntax@x"}, SearchCase{"Underscore", "_", "syntax@x"},
        SearchCase{"UnderscoreIsNoWildcard", "a_b", "syntax@x"}, SearchCase{"LikeWildcardsFindNothingElse", "c%t", ""},
        SearchCase{"DoubleQuote", "\"quoted\"", "syntax@x"}, SearchCase{"LoneDoubleQuote", "\"", "syntax@x"},
        SearchCase{"Star", "* near", "syntax@x"}, SearchCase{"NearIsText", "NEAR(x", "syntax@x"},
        SearchCase{"FtsOperators", "abc OR kana", ""}, SearchCase{"TenThousandCharacters", std::string(10000, 'a'), ""},
        SearchCase{"TenThousandKana",
                   [] {
                       std::string s;
                       for (int i = 0; i < 10000; ++i) s += "ア";
                       return s;
                   }(),
                   ""}),
    [](const testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

// Enough mails that a common short text is scanned for, a rare one looked up through the
// index's terms, and a text every pal holds ends the index's walk early.
TEST(ArchiveSearchOverManyMails, CommonAndRareTextsFindTheirPals) {
    TempDir dir;
    CMailArchive archive;
    archive.Open(dir / "s.mails.sqlite", false);
    std::vector<MailRecord> mails;
    auto add = [&](const char* pal, const std::string& body) {
        MailRecord mail;
        mail.pal = pal;
        mail.date = "2026-01-01T00:00:00";
        mail.body = body + "です。" + std::to_string(mails.size());
        mails.push_back(mail);
    };
    add("c@x", "まれな手紙");
    for (int i = 0; i < 150; ++i) {
        add("a@x", "天気がよくて散歩");
        add("b@x", "雨でよく寝た");
        if (i % 3 == 0) add("c@x", "猫と犬");
    }
    ASSERT_TRUE(archive.Store(mails).Ok());
    const struct {
        const char* search;
        std::vector<std::string> pals;
    } cases[] = {{"よく", {"a@x", "b@x"}},         {"ヨク", {"a@x", "b@x"}},    {"天気がよく", {"a@x"}},
                 {"まれ", {"c@x"}},                {"れな手", {"c@x"}},         {"猫", {"c@x"}},
                 {"です。", {"a@x", "b@x", "c@x"}}, {"です", {"a@x", "b@x", "c@x"}}, {"犬が", {}}};
    for (const auto& c : cases) {
        std::vector<std::string> pals = archive.PalsWithText(c.search).value;
        std::sort(pals.begin(), pals.end());
        EXPECT_EQ(pals, c.pals) << c.search;
    }
}

}  // namespace

namespace {

// The search field: pal texts and archived mails both count.
TEST(PalSearch, MatchesAnyTextOfThePalOrOfItsMails) {
    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal kana;
    kana.m_strMailAddress = "kana@x";
    kana.m_strHandleName = Sjis("ｶﾀｶﾅ");
    CPenPal hobby;
    hobby.m_strMailAddress = "hobby@x";
    hobby.m_strHobby = Sjis("ＡＢＣ順の読書");
    CPenPal mailOnly;
    mailOnly.m_strMailAddress = "mail@x";
    for (const CPenPal& pal : {kana, hobby, mailOnly}) app.AddPal(pal);
    CMailArchive archive;
    archive.Open(dir / "a.mails.sqlite", false);
    MailRecord mail;
    mail.pal = "mail@x";
    mail.date = "2026-01-01T00:00:00";
    mail.body = "カタカナとabcの話";
    archive.Store({mail});

    const struct {
        const char* query;
        std::set<std::string> pals;
    } cases[] = {{"かたかな", {"kana@x", "mail@x"}},
                 {"abc", {"hobby@x", "mail@x"}},
                 {"読書", {"hobby@x"}},
                 {"MAIL@", {"mail@x"}},
                 {"", {}},
                 {"%", {}}};
    for (const auto& c : cases) EXPECT_EQ(PalsMatchingSearch(app, &archive, c.query), c.pals) << c.query;
    EXPECT_EQ(PalsMatchingSearch(app, nullptr, "かたかな"), std::set<std::string>{"kana@x"});
}

}  // namespace
