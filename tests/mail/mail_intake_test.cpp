#include "mail/mail_intake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/texts.h"
#include "support/fake_user_interface.h"

namespace {

using Events = std::vector<std::string>;

const std::string kUpdatedHanako = "message: はなこ さんのデータを更新しました";

// A dropped mail from `address`, received on `date` (the date line's numbers), saying `body`.
std::string MailText(const std::string& address, const std::string& date, const std::string& body,
                     const std::string& name = "Hanako") {
    return Sjis("送信者 : \"" + name + "\" <" + address +
                ">\r\n宛先 : taro@example.jp\r\n件名 : お元気ですか\r\n日時 :  " + date + " 21:04\r\n\r\n" + body);
}

class MailIntakeTest : public testing::Test {
protected:
    void SetUp() override {
        CPenPal hanako;
        hanako.m_strHandleName = Sjis("はなこ");
        hanako.m_strMailAddress = "hanako@example.jp";
        hanako.m_strHomePage = "http://hanako.example.jp/";
        hanako.m_dtFirstMail = COleDateTime(2001, 4, 1);
        hanako.m_dtLastMail = COleDateTime(2001, 4, 1);
        hanako.m_strLastMailText = "first";
        ASSERT_EQ(app.AddPal(hanako), 1);
    }

    CPenPal Pal(const std::string& address) const {
        CPenPal pal;
        EXPECT_EQ(app.FindPalByAddress(address, pal), 1) << address;
        return pal;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(MailIntakeTest, KnownPalsMailTwiceUpdatesThenAsksAndNoLeavesThePal) {
    const std::string mail = MailText("hanako@example.jp", "2002年 5月 3日", "げんき?\r\nまたね\r\n");
    AddMailText(app, mail);
    EXPECT_EQ(ui.events, (Events{kUpdatedHanako, "list", "map"}));
    EXPECT_EQ(Pal("hanako@example.jp").m_strLastMailText, Sjis("げんき?\r\bまたね\r\b"));
    EXPECT_EQ(Pal("hanako@example.jp").m_dtLastMail, COleDateTime(2002, 5, 3));

    const CPenPal afterFirst = Pal("hanako@example.jp");
    ui.events.clear();
    ui.yesNoAnswers = {false};
    AddMailText(app, mail);
    EXPECT_EQ(ui.events, (Events{"question: このメールは前回登録時と同じ日時、内容です。\r\n追加しますか？"}));
    EXPECT_EQ(Pal("hanako@example.jp"), afterFirst);

    ui.events.clear();
    ui.yesNoAnswers = {true};
    AddMailText(app, mail);
    EXPECT_EQ(ui.events, (Events{"question: このメールは前回登録時と同じ日時、内容です。\r\n追加しますか？",
                                 kUpdatedHanako, "list", "map"}));
}

TEST_F(MailIntakeTest, NewerMailChangesOnlyTheLastMail) {
    CPenPal before = Pal("hanako@example.jp");
    AddMailText(app, MailText("hanako@example.jp", "2003年 1月 2日", "http://elsewhere.jp/", "Someone else"));
    CPenPal after = Pal("hanako@example.jp");
    EXPECT_EQ(after.m_dtLastMail, COleDateTime(2003, 1, 2));
    EXPECT_EQ(after.m_strLastMailText, "http://elsewhere.jp/");
    // The first mail date, the handle name and the home page stay, whatever the mail shows.
    before.m_dtLastMail = after.m_dtLastMail;
    before.m_strLastMailText = after.m_strLastMailText;
    EXPECT_EQ(after, before);
}

TEST_F(MailIntakeTest, MailWithoutDateLineTwiceIsTheSameMail) {
    const std::string mail = Sjis("送信者 : <hanako@example.jp>\n\n\n\n\nbody");
    AddMailText(app, mail);
    EXPECT_EQ(Pal("hanako@example.jp").m_dtLastMail, COleDateTime(2000, 1, 1));
    ui.events.clear();
    AddMailText(app, mail);
    EXPECT_EQ(ui.events, (Events{"question: このメールは前回登録時と同じ日時、内容です。\r\n追加しますか？"}));
}

TEST_F(MailIntakeTest, NewSenderWithFullTableIsRefusedWithoutDialog) {
    for (int i = 1; i < kMaxPals; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        ASSERT_EQ(app.AddPal(pal), 1);
    }
    AddMailText(app, MailText("new@example.jp", "2002年 5月 3日", "hello"));
    EXPECT_EQ(ui.events, (Events{"message: これ以上メールフレンドを追加できません\r\n"
                                 "登録しているメールフレンドを削除してから追加してください"}));
    EXPECT_EQ(ui.messages.at(0).kind, MessageKind::Warning);
    EXPECT_EQ(app.GetPalCount(), kMaxPals);
}

TEST_F(MailIntakeTest, NewSenderDialogCancelledThenNoThenConfirmedAddsThePal) {
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode mode) {
        EXPECT_EQ(mode, PalInfoMode::EditOne);
        EXPECT_EQ(pal.m_strHandleName, "Jiro");
        EXPECT_EQ(pal.m_strMailAddress, "jiro@example.jp");
        EXPECT_EQ(pal.m_dtFirstMail, COleDateTime(2002, 5, 3));
        EXPECT_EQ(pal.m_dtLastMail, COleDateTime(2002, 5, 3));
        EXPECT_EQ(pal.m_strHomePage, "http://jiro.example.jp/");
        EXPECT_EQ(pal.m_strLastMailText, Sjis("はじめまして\r\bhttp://jiro.example.jp/"));
        pal.m_strName = Sjis("次郎");
        return false;
    });
    ui.yesNoAnswers = {false};
    ui.palDialogs.push_back([](CPenPal& pal, PalInfoMode) {
        EXPECT_EQ(pal.m_strName, Sjis("次郎")) << "the dialog reopens on the same working record";
        return true;
    });

    AddMailText(app, MailText("jiro@example.jp", "2002年 5月 3日", "はじめまして\r\nhttp://jiro.example.jp/", "Jiro"));

    EXPECT_EQ(ui.events, (Events{"message: おめでとう！　新しいメールフレンドです", "edit pal",
                                 "question: 追加しなくてもよろしいですか？", "edit pal", "list", "map"}));
    EXPECT_EQ(ui.messages.at(0).kind, MessageKind::Information);
    const CPenPal jiro = Pal("jiro@example.jp");
    EXPECT_EQ(jiro.m_strName, Sjis("次郎"));
    EXPECT_EQ(jiro.m_dtFirstMail, COleDateTime(2002, 5, 3));
    EXPECT_EQ(jiro.m_dtLastMail, COleDateTime(2002, 5, 3));
}

TEST_F(MailIntakeTest, NewSenderWithInvalidDateGetsTheInvalidDateTwice) {
    ui.palDialogs.push_back([](CPenPal&, PalInfoMode) { return true; });
    AddMailText(app, MailText("jiro@example.jp", "2002年 13月 3日", "hello"));
    EXPECT_EQ(Pal("jiro@example.jp").m_dtFirstMail.m_status, COleDateTime::invalid);
    EXPECT_EQ(Pal("jiro@example.jp").m_dtLastMail.m_status, COleDateTime::invalid);
}

TEST_F(MailIntakeTest, NewSenderDialogCancelledAndYesAddsNothing) {
    ui.yesNoAnswers = {true};
    AddMailText(app, MailText("jiro@example.jp", "2002年 5月 3日", "hello"));
    EXPECT_EQ(ui.events, (Events{"message: おめでとう！　新しいメールフレンドです", "edit pal",
                                 "question: 追加しなくてもよろしいですか？"}));
    EXPECT_EQ(app.GetPalCount(), 1);
}

TEST_F(MailIntakeTest, TextThatIsNoMailIsRefusedWithTheParsersMessage) {
    AddMailText(app, Sjis("こんにちは <hanako@example.jp>\n"));
    AddMailText(app, Sjis("送信者 : hanako@example.jp\n"));
    EXPECT_EQ(ui.events,
              (Events{"message: ドロップされた形式は無効です", "message: メールアドレスを取得できませんでした"}));
    EXPECT_EQ(Pal("hanako@example.jp").m_strLastMailText, "first");
}

TEST_F(MailIntakeTest, ClipboardRoadStoresThePickersTimeOfDay) {
    ui.clipboardText = Sjis("げんき?\r\nまたね");
    const COleDateTime picked(2002, 5, 3, 14, 30, 0);
    ui.mailTextDialogs.push_back([&](std::string& text, COleDateTime& received) {
        EXPECT_EQ(text, ui.clipboardText);
        EXPECT_EQ(received.GetStatus(), COleDateTime::valid) << "the picker starts at the current time";
        text = Sjis("元気?\r\nまたね\n");
        received = picked;
        return true;
    });
    ui.choosePalDialogs.push_back([](std::string& address) {
        address = "hanako@example.jp";
        return true;
    });

    AddMailTextFromClipboard(app);

    EXPECT_EQ(ui.events, (Events{"mail text dialog", "choose pal dialog", kUpdatedHanako, "list", "map"}));
    const CPenPal hanako = Pal("hanako@example.jp");
    EXPECT_EQ(hanako.m_strLastMailText, Sjis("元気?\r\bまたね\b"));
    EXPECT_EQ(hanako.m_dtLastMail, picked);
    EXPECT_EQ(hanako.m_dtFirstMail, COleDateTime(2001, 4, 1));

    // A later drop of the same text on the same day is no "same mail": its date is at midnight.
    ui.events.clear();
    AddMailText(app, MailText("hanako@example.jp", "2002年 5月 3日", "元気?\r\nまたね\n"));
    EXPECT_EQ(ui.events, (Events{kUpdatedHanako, "list", "map"}));
}

TEST_F(MailIntakeTest, ClipboardRoadStopsWithoutChange) {
    struct Case {
        const char* name;
        bool clipboardOpens, textConfirmed, palChosen;
        std::string chosen;
        Events events;
    };
    const Case cases[] = {
        {"ClipboardCannotOpen", false, true, true, "hanako@example.jp", {"message: クリップボードを開けません"}},
        {"MailTextDialogCancelled", true, false, true, "hanako@example.jp", {"mail text dialog"}},
        {"ChoosePalCancelled", true, true, false, "hanako@example.jp", {"mail text dialog", "choose pal dialog"}},
        {"ChosenPalNoLongerThere", true, true, true, "gone@example.jp", {"mail text dialog", "choose pal dialog"}},
    };
    const CPenPal before = Pal("hanako@example.jp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.events.clear();
        ui.clipboardOpens = c.clipboardOpens;
        ui.mailTextDialogs = {[&](std::string&, COleDateTime&) { return c.textConfirmed; }};
        ui.choosePalDialogs = {[&](std::string& address) {
            address = c.chosen;
            return c.palChosen;
        }};
        AddMailTextFromClipboard(app);
        EXPECT_EQ(ui.events, c.events);
        EXPECT_EQ(app.GetPalCount(), 1);
        EXPECT_EQ(Pal("hanako@example.jp"), before);
    }
}

TEST_F(MailIntakeTest, ClipboardTextWithReplacedCharactersIsToldBeforeTheDialog) {
    ui.clipboardText = "? smile";
    ui.clipboardReplaced = true;
    AddMailTextFromClipboard(app);
    EXPECT_EQ(ui.events, (Events{"message: " + Utf8(Cp932Text(texts::kMailCharactersReplaced)), "mail text dialog"}));
    EXPECT_EQ(ui.messages.front().kind, MessageKind::Information);
}

TEST_F(MailIntakeTest, EmptyClipboardOpensTheDialogWithEmptyText) {
    ui.clipboardText.clear();
    std::string shown = "not called";
    ui.mailTextDialogs.push_back([&](std::string& text, COleDateTime&) {
        shown = text;
        return false;
    });
    AddMailTextFromClipboard(app);
    EXPECT_EQ(shown, "");
}

}  // namespace
