// The archive as the pal table uses it: seeded from an old file, fed by the intake roads,
// kept consistent through address changes, deletes and re-adds.
#include <gtest/gtest.h>

#include "archive/pal_archive.h"
#include "core/pal_commands.h"
#include "core/yubino_app.h"
#include "mail/mail_intake.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

CPenPal Pal(const std::string& address, const std::string& utf8LastMail = "", COleDateTime last = {}) {
    CPenPal pal;
    pal.m_strHandleName = Sjis("ゆびの");
    pal.m_strMailAddress = address;
    pal.m_strLastMailText = Sjis(utf8LastMail);
    pal.m_dtLastMail = last;
    return pal;
}

class PalArchiveTest : public testing::Test {
protected:
    void SetUp() override {
        app.AddPal(Pal("hana@example.jp", "こんにちは\r\x08元気です", COleDateTime(2003, 4, 5, 6, 7, 8)));
        app.AddPal(Pal("taro@example.jp", "やあ", COleDateTime(2026, 11, 1)));
        app.AddPal(Pal("new@example.jp"));
        app.SetHistory(&history);
    }
    std::vector<std::string> Bodies(const std::string& pal) {
        std::vector<std::string> bodies;
        for (const StoredMail& m : history.Archive()->Mails(pal).value) bodies.push_back(m.mail.body);
        return bodies;
    }
    std::vector<std::string> Waiting() {
        std::vector<std::string> pals;
        for (const QueueEntry& e : history.Queue(CalendarDay::FromDate(2026, 12, 7)).waiting) pals.push_back(e.pal);
        return pals;
    }
    void Delete(const std::string& address, std::deque<bool> answers) {
        ui.selectedAddresses = {address};
        ui.yesNoAnswers = std::move(answers);
        DeleteSelectedPals(app);
    }

    TempDir dir;
    fs::path dataFile = dir / "pals.ybf";
    bool readOnly = false;
    FakeUserInterface ui;
    CYubinoApp app{ui};
    CPalArchive history{app, [this] { return ArchiveDocument{dataFile, readOnly}; }};
};

TEST_F(PalArchiveTest, AnOldFilesLastMailsSeedTheArchiveOnce) {
    ASSERT_NE(history.Archive(), nullptr);
    for (const auto& m : ui.messages) ADD_FAILURE() << m.text;
    EXPECT_TRUE(fs::exists(dir / "pals.mails.sqlite"));
    EXPECT_EQ(Bodies("hana@example.jp"), std::vector<std::string>{"こんにちは\n元気です"});
    EXPECT_EQ(history.Archive()->Mails("hana@example.jp").value[0].mail.date, "2003-04-05T06:07:08");
    EXPECT_EQ(Bodies("new@example.jp").size(), 0u);

    CPalArchive again(app, [this] { return ArchiveDocument{dataFile, false}; });
    ASSERT_NE(again.Archive(), nullptr);
    EXPECT_EQ(again.Archive()->Mails().value.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PalArchiveTest, BothIntakeRoadsKeepEveryMailAndTheOneTheyReplace) {
    // The archive is first opened by the intake itself, after the table has changed.
    const std::string mail =
        "送信者 : <hana@example.jp>\r\n宛先 : me@example.jp\r\n件名 : 二通目\r\n日時 :  2026年 12月 5日 "
        "21:04\r\n\r\n二通目です\r\n";
    AddMailText(app, Sjis(mail));
    ui.yesNoAnswers = {true};
    AddMailText(app, Sjis(mail));  // the same mail again, confirmed: still stored once
    ui.clipboardText = Sjis("クリップボードから");
    ui.mailTextDialogs.push_back([](std::string&, COleDateTime& received) {
        received = COleDateTime(2026, 12, 6, 12, 0, 0);
        return true;
    });
    ui.choosePalDialogs.push_back([](std::string& address) {
        address = "hana@example.jp";
        return true;
    });
    AddMailTextFromClipboard(app);
    const std::vector<StoredMail> mails = history.Archive()->Mails("hana@example.jp").value;
    ASSERT_EQ(mails.size(), 3u);
    EXPECT_EQ(mails[0].mail.body, "クリップボードから");
    EXPECT_EQ(mails[0].mail.source, "clipboard");
    EXPECT_EQ(mails[1].mail.body, "二通目です\n");
    EXPECT_EQ(mails[1].mail.date, "2026-12-05T00:00:00");
    EXPECT_EQ(mails[2].mail.body, "こんにちは\n元気です") << "the mail the drop replaced in the table";
}

TEST_F(PalArchiveTest, HistoryFollowsAnAddressChange) {
    history.Archive();
    app.ChangePalAddress("hana@example.jp", "hana@new.jp");
    EXPECT_EQ(Bodies("hana@new.jp"), std::vector<std::string>{"こんにちは\n元気です"});
    EXPECT_TRUE(Bodies("hana@example.jp").empty());
}

struct DeleteCase {
    const char* name;
    bool deleteMails;
    std::size_t mailsAfterReAdd;
};

class PalArchiveDelete : public PalArchiveTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(PalArchiveDelete, AsksAboutTheMailsAndReAddBringsKeptOnesBack) {
    history.Archive();
    Delete("taro@example.jp", {true, GetParam().deleteMails});
    ASSERT_EQ(app.GetPalCount(), 2);
    EXPECT_EQ(ui.events.size(), 4u);  // two questions, then the list and the map
    EXPECT_TRUE(Waiting() == std::vector<std::string>{"hana@example.jp"}) << "a deleted pal waits for nobody";

    app.AddPal(Pal("taro@example.jp"));
    EXPECT_EQ(Bodies("taro@example.jp").size(), GetParam().mailsAfterReAdd);
    EXPECT_EQ(Waiting().size(), 1 + GetParam().mailsAfterReAdd);
}

INSTANTIATE_TEST_SUITE_P(Answers, PalArchiveDelete,
                         testing::Values(DeleteCase{"YesDeletesThem", true, 0}, DeleteCase{"NoKeepsThem", false, 1}),
                         [](const testing::TestParamInfo<DeleteCase>& info) { return info.param.name; });

TEST_F(PalArchiveTest, DeletingAPalWithoutMailsAsksOnlyOnce) {
    history.Archive();
    Delete("new@example.jp", {true});
    EXPECT_EQ(app.GetPalCount(), 2);
    EXPECT_EQ(std::count_if(ui.events.begin(), ui.events.end(),
                            [](const std::string& e) { return e.rfind("question", 0) == 0; }),
              1);
}

TEST_F(PalArchiveTest, AnsweredMarksLeaveTheWaitingList) {
    history.Archive();
    EXPECT_EQ(Waiting(), (std::vector<std::string>{"hana@example.jp", "taro@example.jp"}));
    history.MarkAnswered({"hana@example.jp"}, "2026-12-07T09:00:00");
    EXPECT_EQ(Waiting(), std::vector<std::string>{"taro@example.jp"});
    EXPECT_EQ(history.Archive()->Mails("hana@example.jp").value[0].mail.direction, MailDirection::Sent);
}

TEST_F(PalArchiveTest, ADamagedArchiveIsToldOnceAndRebuiltFromTheLastMails) {
    WriteFileBytes(dir / "pals.mails.sqlite", std::string(5000, '\x01'));
    ASSERT_NE(history.Archive(), nullptr);
    history.Archive();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("pals.mails.sqlite.damaged-"), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(history.Archive()->Mails().value.size(), 2u);
}

TEST_F(PalArchiveTest, DamageFoundByTheDailyCheckIsToldOnceAndRebuilt) {
    ASSERT_NE(history.Archive(), nullptr);
    history.WaitForDamageCheck();
    std::vector<MailRecord> many;
    for (int i = 0; i < 300; ++i) {
        MailRecord mail;
        mail.pal = "taro@example.jp";
        mail.date = "2026-11-02T00:00:00";
        mail.body = std::string(2000, char('a' + i % 26)) + std::to_string(i);
        many.push_back(mail);
    }
    ASSERT_TRUE(history.TakeIn(many).Ok());
    history.Archive()->RecordCheck("2000-01-01");  // last checked long ago
    dataFile = dir / "other.ybf";                  // closes the archive
    history.Archive();
    const fs::path file = dir / "pals.mails.sqlite";
    std::string bytes = ReadFileBytes(file);
    for (std::size_t i = 8192; i < bytes.size(); i += 4096) bytes.replace(i + 100, 200, std::string(200, '\xA5'));
    WriteFileBytes(file, bytes);
    fs::remove(dir / "other.mails.sqlite");

    dataFile = dir / "pals.ybf";
    ASSERT_NE(history.Archive(), nullptr) << "the damage lies past what opening reads";
    history.WaitForDamageCheck();
    history.Archive();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("pals.mails.sqlite.damaged-"), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(history.Archive()->Mails().value.size(), 2u) << "rebuilt from the last mails";
}

TEST_F(PalArchiveTest, AReadOnlyDocumentMakesNoArchive) {
    readOnly = true;
    EXPECT_EQ(history.Archive(), nullptr);
    AddMailText(app, Sjis("送信者 : <hana@example.jp>\r\n\r\nx"));
    EXPECT_FALSE(fs::exists(dir / "pals.mails.sqlite"));
}

TEST_F(PalArchiveTest, AnotherDocumentOpensItsOwnArchiveAndSaveAsCopiesAlong) {
    history.Archive()->SetOwnAddresses({"me@home.jp"});
    history.CopyAlongTo(dir / "copy.ybf");
    dataFile = dir / "copy.ybf";
    EXPECT_EQ(history.Archive()->OwnAddresses().value, std::vector<std::string>{"me@home.jp"});
    dataFile = dir / "other.ybf";
    EXPECT_TRUE(history.Archive()->OwnAddresses().value.empty());
}

TEST_F(PalArchiveTest, InternetMailIsFiledByOwnAddresses) {
    history.Archive()->SetOwnAddresses({"me@home.jp"});
    MailRecord sent;
    sent.from = "me@home.jp";
    sent.to = {"taro@example.jp", "stranger@else.jp"};
    sent.date = "2026-12-06T08:00:00";
    sent.messageId = "abc@home.jp";
    MailRecord fromMobile = sent;
    fromMobile.from = "me@mobile.jp";
    fromMobile.messageId = "def@mobile.jp";
    EXPECT_EQ(history.TakeIn({sent}).stored, 1);
    EXPECT_EQ(history.TakeIn({fromMobile}, {"me@mobile.jp"}).stored, 1);
    EXPECT_EQ(Waiting(), std::vector<std::string>{"hana@example.jp"});
}

}  // namespace
