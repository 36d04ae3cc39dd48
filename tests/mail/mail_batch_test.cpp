// Matching a mail to a pal by any of its addresses, and the batch intake's rules.
#include "mail/mail_batch.h"

#include <gtest/gtest.h>

#include "support/fake_user_interface.h"

namespace {

TEST(MailAddressTest, DomainIgnoresCaseLocalPartDoesNot) {
    struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"hanako@example.jp", "hanako@example.jp", true},
        {"hanako@example.jp", "hanako@EXAMPLE.JP", true},
        {"hanako@example.jp", "Hanako@example.jp", false},
        {"hanako@example.jp", "hanako@example.jp.", false},
        {"a@b@example.jp", "a@b@EXAMPLE.jp", true},
        {"hanako", "HANAKO", false},
        {"", "", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSameMailAddress(c.a, c.b), c.same) << c.a << " / " << c.b;
}

ParsedMail Mail(const std::string& address, const COleDateTime& date, const std::string& text,
                const std::string& name = "") {
    ParsedMail mail;
    mail.pal.m_strMailAddress = address;
    mail.pal.m_dtLastMail = date;
    mail.pal.m_strLastMailText = text;
    mail.pal.m_strHandleName = name;
    return mail;
}

class MailBatchTest : public testing::Test {
protected:
    void SetUp() override {
        CPenPal hanako;
        hanako.m_strHandleName = Sjis("はなこ");
        hanako.m_strMailAddress = "hanako@example.jp";
        hanako.m_strMobileAddress = "hanako@docomo.example.ne.jp";
        hanako.m_dtFirstMail = COleDateTime(2020, 5, 1);
        hanako.m_dtLastMail = COleDateTime(2021, 5, 1, 12, 0, 0);
        hanako.m_strLastMailText = "stored";
        ASSERT_EQ(app.AddPal(hanako), 1);
    }
    CPenPal Hanako() const {
        CPenPal pal;
        app.FindPalByAddress("hanako@example.jp", pal);
        return pal;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
    CMailBatch batch{app};
};

TEST_F(MailBatchTest, NewerMailReplacesTheLastMailOlderMovesTheFirstMailBack) {
    batch.Take(Mail("hanako@DOCOMO.example.ne.jp", COleDateTime(2021, 5, 1, 12, 0, 1), "newer"));
    batch.Take(Mail("hanako@example.jp", COleDateTime(2021, 5, 1, 11, 0, 0), "older, between"));
    batch.Take(Mail("hanako@example.jp", COleDateTime(2019, 1, 2, 3, 4, 5), "oldest"));
    const CPenPal pal = Hanako();
    EXPECT_EQ(pal.m_strLastMailText, "newer");
    EXPECT_EQ(pal.m_dtLastMail, COleDateTime(2021, 5, 1, 12, 0, 1));
    EXPECT_EQ(pal.m_dtFirstMail, COleDateTime(2019, 1, 2, 3, 4, 5));
    EXPECT_EQ(pal.m_strHandleName, Sjis("はなこ"));
    EXPECT_EQ(batch.ReadCount(), 3);
    EXPECT_EQ(batch.UpdatedPals(), std::vector<std::string>{"hanako@example.jp"});
    EXPECT_TRUE(ui.events.empty()) << "a batch asks and tells nothing per mail";
}

TEST_F(MailBatchTest, MailNeitherNewerNorOlderChangesNothing) {
    batch.Take(Mail("hanako@example.jp", COleDateTime(2021, 5, 1, 12, 0, 0), "same time"));
    batch.Take(Mail("hanako@example.jp", COleDateTime(2021, 1, 1), "inside the known span"));
    COleDateTime invalid;
    invalid.m_status = COleDateTime::invalid;
    batch.Take(Mail("hanako@example.jp", invalid, "no date"));
    EXPECT_EQ(Hanako().m_strLastMailText, "stored");
    EXPECT_TRUE(batch.UpdatedPals().empty());
}

TEST_F(MailBatchTest, UnknownSendersAreGatheredOnceWithTheirNewestMailAndOldestDate) {
    batch.Take(Mail("jiro@example.jp", COleDateTime(2022, 2, 2), "second", "Jiro"));
    batch.Take(Mail("jiro@EXAMPLE.jp", COleDateTime(2022, 1, 1), "first", ""));
    batch.Take(Mail("saburo@example.jp", COleDateTime(2022, 3, 3), "hello", ""));
    ASSERT_EQ(batch.UnknownSenders().size(), 2u);
    const CPenPal& jiro = batch.UnknownSenders()[0];
    EXPECT_EQ(jiro.m_strHandleName, "Jiro");
    EXPECT_EQ(jiro.m_strLastMailText, "second");
    EXPECT_EQ(jiro.m_dtLastMail, COleDateTime(2022, 2, 2));
    EXPECT_EQ(jiro.m_dtFirstMail, COleDateTime(2022, 1, 1));
    EXPECT_EQ(Utf8(batch.Summary()), "3通を取り込みました: 0人を更新、3通は登録のない送信者");

    EXPECT_EQ(batch.AddUnknownSenders(), (std::vector<std::string>{"jiro@example.jp", "saburo@example.jp"}));
    CPenPal saburo;
    ASSERT_TRUE(app.FindPalByAddress("saburo@example.jp", saburo));
    EXPECT_EQ(saburo.m_strHandleName, "saburo") << "no display name: the local part";
    EXPECT_EQ(saburo.m_dtFirstMail, COleDateTime(2022, 3, 3));
    EXPECT_TRUE(batch.UnknownSenders().empty());
}

TEST_F(MailBatchTest, AFullTableKeepsTheRestUnknown) {
    for (int i = 1; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        app.AddPal(pal);
    }
    batch.Take(Mail("new@example.jp", COleDateTime(2022, 1, 1), "x"));
    EXPECT_TRUE(batch.AddUnknownSenders().empty());
    EXPECT_EQ(batch.UnknownSenders().size(), 1u);
}

TEST_F(MailBatchTest, OneDroppedMailFindsThePalByItsMobileAddressAndUpdatesIt) {
    ParsedMail mail = Mail("hanako@Docomo.Example.NE.JP", COleDateTime(2021, 6, 1, 8, 0, 0), "from the phone");
    mail.replacedCharacters = 1;
    TakeInInternetMail(app, mail);
    EXPECT_EQ(Hanako().m_strLastMailText, "from the phone");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[0].text.find("「?」に置き換えて"), std::string::npos);
    EXPECT_EQ(ui.messages[1].text, "はなこ さんのデータを更新しました");
}

}  // namespace
