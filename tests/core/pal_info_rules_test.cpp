#include "core/pal_info_rules.h"

#include <gtest/gtest.h>

#include "core/yubino_app.h"
#include "support/fake_user_interface.h"

namespace {

std::vector<std::string> Utf8List(const std::vector<std::string>& cp932) {
    std::vector<std::string> out;
    for (const std::string& text : cp932) out.push_back(Utf8(text));
    return out;
}

TEST(PalInfoLists, AgeListIsNotGivenThenFullWidthOneTo119) {
    const std::vector<std::string> ages = Utf8List(AgeChoices());
    ASSERT_EQ(ages.size(), 120u);
    EXPECT_EQ(ages[0], "？");
    EXPECT_EQ(ages[1], "１");
    EXPECT_EQ(ages[10], "１０");
    EXPECT_EQ(ages[20], "２０");
    EXPECT_EQ(ages[119], "１１９");
}

TEST(PalInfoLists, FixedListsInTheirOrder) {
    EXPECT_EQ(Utf8List(SexChoices()), (std::vector<std::string>{"男", "女", "？"}));
    EXPECT_EQ(Utf8List(BloodTypeChoices()), (std::vector<std::string>{"Ａ", "Ｂ", "Ｏ", "ＡＢ", "？"}));
    EXPECT_EQ(Utf8List(JobChoices()), (std::vector<std::string>{"？", "会社員", "自営業", "ＯＬ", "技術職", "教員",
                                                                "主婦", "学生", "フリーター"}));
    EXPECT_EQ(Utf8List(MapChoices()),
              (std::vector<std::string>{"北海道", "東北", "関東", "中部", "近畿", "中国", "四国", "九州", "世界"}));
}

TEST(PalInfoLists, StoredTextSelectsTheFirstEntryBeginningWithIt) {
    const auto ages = AgeChoices();
    struct Case {
        const char* name;
        std::vector<std::string> entries;
        std::string stored;
        int expected;
    } cases[] = {
        {"age 20 selects 20", ages, Sjis("２０"), 20},
        {"age 1 selects 1, not 10", ages, Sjis("１"), 1},
        {"age 119", ages, Sjis("１１９"), 119},
        {"not given", ages, Sjis("？"), 0},
        {"half-width digits match nothing", ages, "20", -1},
        {"empty selects nothing", ages, "", -1},
        {"longer than any entry", ages, Sjis("２００"), -1},
        {"blood type AB by its first character", BloodTypeChoices(), Sjis("Ａ"), 0},
        {"blood type AB", BloodTypeChoices(), Sjis("ＡＢ"), 3},
        {"map by prefix", MapChoices(), Sjis("関"), 2},
        {"half a character matches nothing", SexChoices(), std::string(1, Sjis("男")[0]), -1},
    };
    for (const Case& c : cases) EXPECT_EQ(FindEntryByPrefix(c.entries, c.stored), c.expected) << c.name;
}

TEST(PalInfoTitle, FollowsTheModeAndTheHandleName) {
    EXPECT_EQ(Utf8(PalInfoTitle(PalInfoMode::EditOne, Sjis("たろう"))), "\"たろう\"さんの詳細情報");
    EXPECT_EQ(Utf8(PalInfoTitle(PalInfoMode::AddNew, Sjis("たろう"))), "\"たろう\"さんの詳細情報（新規追加）");
    EXPECT_EQ(Utf8(PalInfoTitle(PalInfoMode::AddNew, "")), "メールフレンドの新規追加");
    EXPECT_EQ(Utf8(PalInfoTitle(PalInfoMode::EditSeveral, Sjis("たろう"))), "複数のメールフレンドを編集");
}

class CheckPalInfoTest : public testing::Test {
protected:
    void SetUp() override {
        CPenPal stored;
        stored.m_strHandleName = "hanako";
        stored.m_strMailAddress = "hanako@example.jp";
        ASSERT_EQ(app.AddPal(stored), 1);
        stored.m_strMailAddress = "jiro@example.jp";
        ASSERT_EQ(app.AddPal(stored), 1);
    }
    static CPenPal Entered(const std::string& handle, const std::string& address) {
        CPenPal pal;
        pal.m_strHandleName = handle;
        pal.m_strMailAddress = address;
        return pal;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(CheckPalInfoTest, RefusesWithMessageAndField) {
    struct Case {
        const char* name;
        CPenPal entered;
        std::string original;
        PalInfoMode mode;
        PalInfoField field;
        std::string message;
    } cases[] = {
        {"empty handle name", Entered("", "a@x"), "a@x", PalInfoMode::EditOne, PalInfoField::HandleName,
         "ハンドルネームを入力してください"},
        {"empty handle name before empty address", Entered("", ""), "", PalInfoMode::AddNew, PalInfoField::HandleName,
         "ハンドルネームを入力してください"},
        {"empty address", Entered("taro", ""), "", PalInfoMode::AddNew, PalInfoField::MailAddress,
         "メールアドレスを入力してください"},
        {"edit renames onto another pal", Entered("hanako", "jiro@example.jp"), "hanako@example.jp",
         PalInfoMode::EditOne, PalInfoField::MailAddress,
         "メールアドレス\" jiro@example.jp \"は他のメールフレンドが使用しています\r\n"
         "別のメールアドレスを入力してください"},
        {"new pal with a stored address", Entered("taro", "hanako@example.jp"), "", PalInfoMode::AddNew,
         PalInfoField::MailAddress,
         "メールアドレス\" hanako@example.jp \"は他のメールフレンドが使用しています\r\n"
         "別のメールアドレスを入力してください"},
        {"new sender renamed onto a stored pal", Entered("taro", "hanako@example.jp"), "taro@example.jp",
         PalInfoMode::EditOne, PalInfoField::MailAddress,
         "メールアドレス\" hanako@example.jp \"は他のメールフレンドが使用しています\r\n"
         "別のメールアドレスを入力してください"},
    };
    for (const Case& c : cases) {
        const PalInfoProblem problem = CheckPalInfo(c.entered, c.original, c.mode, app);
        EXPECT_EQ(problem.field, c.field) << c.name;
        EXPECT_EQ(Utf8(problem.message), c.message) << c.name;
    }
}

TEST_F(CheckPalInfoTest, Accepts) {
    struct Case {
        const char* name;
        CPenPal entered;
        std::string original;
        PalInfoMode mode;
    } cases[] = {
        {"edit keeping its own address", Entered("hanako", "hanako@example.jp"), "hanako@example.jp",
         PalInfoMode::EditOne},
        {"edit to a free address", Entered("hanako", "new@example.jp"), "hanako@example.jp", PalInfoMode::EditOne},
        {"new sender keeping the mail's address", Entered("taro", "taro@example.jp"), "taro@example.jp",
         PalInfoMode::EditOne},
        {"new pal", Entered("taro", "taro@example.jp"), "", PalInfoMode::AddNew},
        {"several pals, nothing entered", Entered("", ""), "", PalInfoMode::EditSeveral},
    };
    for (const Case& c : cases) EXPECT_FALSE(CheckPalInfo(c.entered, c.original, c.mode, app)) << c.name;
}

TEST(HomePageLink, WebAddressesAsTypedSchemeLessTextsAsHttpNothingElse) {
    struct Case {
        const char* name;
        const char* text;
        std::optional<std::string> link;
    } cases[] = {
        {"http", "http://example.jp/", "http://example.jp/"},
        {"https", "https://example.jp/~taro", "https://example.jp/~taro"},
        {"upper-case scheme", "HTTP://EXAMPLE.JP", "HTTP://EXAMPLE.JP"},
        {"host without scheme", "www.example.co.jp", "http://www.example.co.jp"},
        {"host and path", "example.jp/~taro/index.html", "http://example.jp/~taro/index.html"},
        {"host and port", "example.jp:8080/", "http://example.jp:8080/"},
        {"empty", "", std::nullopt},
        {"scheme alone", "http://", std::nullopt},
        {"file", "file:///bin/sh", std::nullopt},
        {"ftp", "ftp://example.jp", std::nullopt},
        {"mailto", "mailto:a@example.jp", std::nullopt},
        {"javascript", "javascript:alert(1)", std::nullopt},
        {"absolute path", "/usr/bin/xterm", std::nullopt},
        {"home folder", "~/.bashrc", std::nullopt},
        {"option-like", "-e", std::nullopt},
        {"leading blank", " http://example.jp", std::nullopt},
        {"blank inside", "example.jp rm", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HomePageLink(c.text), c.link) << c.name;
}

TEST(WithPickedDay, KeepsTheStoredTimeOfDay) {
    EXPECT_EQ(WithPickedDay(COleDateTime(2024, 5, 1, 21, 30, 15), 2024, 6, 2), COleDateTime(2024, 6, 2, 21, 30, 15));
    EXPECT_EQ(WithPickedDay(COleDateTime(2000, 1, 1), 1999, 12, 31), COleDateTime(1999, 12, 31));
    EXPECT_EQ(WithPickedDay(COleDateTime(0.0, COleDateTime::null), 2001, 2, 3), COleDateTime(2001, 2, 3));
    EXPECT_EQ(WithPickedDay(COleDateTime(0.0, COleDateTime::invalid), 2001, 2, 3), COleDateTime(2001, 2, 3));
}

class MultipleEditTest : public testing::Test {
protected:
    MultipleEditTest() {
        pal.m_strHandleName = "taro";
        pal.m_strName = Sjis("山田太郎");
        pal.m_strSex = Sjis("男");
        pal.m_strAge = Sjis("２０");
        pal.m_strMailAddress = "taro@example.jp";
        pal.m_strJob = Sjis("学生");
        pal.m_strBloodType = Sjis("Ａ");
        pal.m_strMapName = Sjis("関東");
        pal.m_nFaceIcon = 7;
        pal.m_dtBirthday = COleDateTime(1990, 4, 1);
        pal.m_strMemo = "memo";
        pal.m_strPictureFile = "/p.jpg";
        pal.m_bUsePicture = 1;
        dialog.m_nFaceIcon = -1;
    }
    CPenPal pal;
    CPenPal dialog;  // a fresh record, as the multiple edit opens it
};

TEST_F(MultipleEditTest, NothingChosenChangesNothing) {
    const CPenPal before = pal;
    ApplyMultipleEdit(dialog, pal);
    EXPECT_EQ(pal, before);
}

TEST_F(MultipleEditTest, AppliesWhatWasChosen) {
    dialog.m_nFaceIcon = 100;
    dialog.m_strName = "N";
    dialog.m_strJob = "J";
    dialog.m_strHomePage = "http://h/";
    dialog.m_strResidence = "R";
    dialog.m_strBirthplace = "B";
    dialog.m_strTel1 = "1";
    dialog.m_strTel2 = "2";
    dialog.m_strHobby = "H";
    dialog.m_strMapName = Sjis("世界");
    dialog.m_strSex = Sjis("女");
    dialog.m_strAge = Sjis("３０");
    dialog.m_dtBirthday = COleDateTime(1980, 2, 3);
    dialog.m_dtFirstMail = COleDateTime(2000, 1, 1, 0, 0, 1);                    // differs by a second
    dialog.m_dtLastMail = COleDateTime(kDefaultPalDate, COleDateTime::invalid);  // differs in status
    ApplyMultipleEdit(dialog, pal);
    EXPECT_EQ(pal.m_nFaceIcon, 100);
    EXPECT_EQ(pal.m_strName, "N");
    EXPECT_EQ(pal.m_strJob, "J");
    EXPECT_EQ(pal.m_strHomePage, "http://h/");
    EXPECT_EQ(pal.m_strResidence, "R");
    EXPECT_EQ(pal.m_strBirthplace, "B");
    EXPECT_EQ(pal.m_strTel1, "1");
    EXPECT_EQ(pal.m_strTel2, "2");
    EXPECT_EQ(pal.m_strHobby, "H");
    EXPECT_EQ(Utf8(pal.m_strMapName), "世界");
    EXPECT_EQ(Utf8(pal.m_strSex), "女");
    EXPECT_EQ(Utf8(pal.m_strAge), "３０");
    EXPECT_EQ(pal.m_dtBirthday, COleDateTime(1980, 2, 3));
    EXPECT_EQ(pal.m_dtFirstMail, COleDateTime(2000, 1, 1, 0, 0, 1));
    EXPECT_EQ(pal.m_dtLastMail.GetStatus(), COleDateTime::invalid);
}

TEST_F(MultipleEditTest, NeverAppliesIdentityBloodTypeContactsMemoOrPicture) {
    dialog.m_strHandleName = "other";
    dialog.m_strMailAddress = "other@example.jp";
    dialog.m_strBloodType = Sjis("Ｂ");
    dialog.m_strMailAddress2 = "2@x";
    dialog.m_strMobileAddress = "m@x";
    dialog.m_strMemo = "new memo";
    dialog.m_strPictureFile = "/q.jpg";
    dialog.m_bUsePicture = 0;
    dialog.m_strLastMailText = "text";
    dialog.m_nMapX = 5;
    const CPenPal before = pal;
    ApplyMultipleEdit(dialog, pal);
    EXPECT_EQ(pal, before);
}

}  // namespace
