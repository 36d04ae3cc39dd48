#include "analysis/days_to_remember.h"

#include <gtest/gtest.h>

#include "support/fake_user_interface.h"

namespace {

CPenPal Pal(const char* handle, COleDateTime birthday, COleDateTime firstMail = COleDateTime(2000, 1, 1)) {
    CPenPal pal;
    pal.m_strHandleName = Sjis(handle);
    pal.m_strMailAddress = std::string(handle) + "@example.jp";
    pal.m_dtBirthday = birthday;
    pal.m_dtFirstMail = firstMail;
    return pal;
}

std::vector<std::string> Texts(const std::vector<CPenPal>& pals, COleDateTime today) {
    std::vector<std::string> texts;
    for (const DayToRemember& day : DaysToRemember(pals, today)) texts.push_back(Utf8(DayToRememberText(day)));
    return texts;
}

TEST(DaysToRememberTest, TheNextFourteenDaysFromTodaySoonestFirst) {
    COleDateTime invalid;
    invalid.SetDateTime(1990, 2, 30, 0, 0, 0);
    const struct {
        const char* name;
        CPenPal pal;
        std::vector<std::string> told;
    } rows[] = {
        {"birthday today", Pal("a", COleDateTime(1990, 12, 20)), {"12/20（今日） aさんの誕生日（36 才）"}},
        {"across the new year, 13 days ahead",
         Pal("b", COleDateTime(1990, 1, 2)),
         {"1/2（あと 13 日） bさんの誕生日（37 才）"}},
        {"14 days ahead is too far", Pal("c", COleDateTime(1990, 1, 3)), {}},
        {"yesterday waits a year", Pal("d", COleDateTime(1990, 12, 19)), {}},
        {"a birthday never set", Pal("e", COleDateTime(2000, 1, 1)), {}},
        {"an invalid birthday", Pal("f", invalid), {}},
        {"first mail five years ago on Christmas",
         Pal("g", COleDateTime(2000, 1, 1), COleDateTime(2021, 12, 25, 22, 0, 0)),
         {"12/25（あと 5 日） gさんの最初のメールから 5 年"}},
        {"a first mail today is no anniversary", Pal("h", COleDateTime(2000, 1, 1), COleDateTime(2026, 12, 20)), {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Texts({row.pal}, COleDateTime(2026, 12, 20, 18, 30, 0)), row.told) << row.name;

    std::vector<CPenPal> all;
    for (const auto& row : rows) all.push_back(row.pal);
    EXPECT_EQ(Texts(all, COleDateTime(2026, 12, 20)),
              (std::vector<std::string>{"12/20（今日） aさんの誕生日（36 才）",
                                        "12/25（あと 5 日） gさんの最初のメールから 5 年",
                                        "1/2（あと 13 日） bさんの誕生日（37 才）"}));
}

TEST(DaysToRememberTest, TheTwentyNinthOfFebruaryFallsOnTheTwentyEighthInOtherYears) {
    const CPenPal leap = Pal("leap", COleDateTime(2004, 2, 29));
    EXPECT_EQ(Texts({leap}, COleDateTime(2027, 2, 20)),
              (std::vector<std::string>{"2/28（あと 8 日） leapさんの誕生日（23 才）"}));
    EXPECT_EQ(Texts({leap}, COleDateTime(2028, 2, 20)),
              (std::vector<std::string>{"2/29（あと 9 日） leapさんの誕生日（24 才）"}));
}

TEST(DaysToRememberTest, ListRowsForTheAnalysisDialog) {
    const auto days = DaysToRemember({Pal("a", COleDateTime(1990, 12, 21))}, COleDateTime(2026, 12, 20));
    const std::vector<TextRow> rows = DaysToRememberRows(days);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Utf8(rows[0][0]), "12/21（あと 1 日）");
    EXPECT_EQ(Utf8(rows[0][1]), "a");
    EXPECT_EQ(Utf8(rows[0][2]), "誕生日（36 才）");
    EXPECT_EQ(DaysToRememberColumns().size(), rows[0].size());
}

}  // namespace
