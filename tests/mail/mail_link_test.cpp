#include "mail/mail_link.h"

#include <gtest/gtest.h>

#include "support/fake_user_interface.h"

namespace {

TEST(SendMailToSelected, NamesEverySelectedAddressInRowOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> selected;
        std::string link;
    };
    const Case cases[] = {
        {"OnePal", {"p@example.jp"}, "mailto:p@example.jp; "},
        {"ThreePals", {"p@x.jp", "q@x.jp", "r@x.jp"}, "mailto:p@x.jp; q@x.jp; r@x.jp; "},
        {"NoneSelectedOpensBlankMessage", {}, "mailto:"},
        {"EmptyMainAddress", {"", "q@x.jp"}, "mailto:; q@x.jp; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUserInterface ui;
        CYubinoApp app(ui);
        ui.selectedAddresses = c.selected;
        SendMailToSelected(app);
        EXPECT_EQ(ui.shellTargets, std::vector<std::string>{c.link});
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(SendMailToSelected, AHandOffWithNoMailProgramToTakeItIsTold) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    ui.selectedAddresses = {"p@example.jp"};
    ui.shellSucceeds = false;
    SendMailToSelected(app);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("mailto:p@example.jp"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find("起動できませんでした"), std::string::npos);
}

TEST(MailtoLinkToUrl, SeparatesTheAddressesWithCommasAndDropsEmptyOnes) {
    struct Case {
        const char* name;
        std::string link;
        std::string url;
    };
    const Case cases[] = {
        {"NoAddress", "mailto:", "mailto:"},
        {"OneAddress", "mailto:p@x.jp; ", "mailto:p@x.jp"},
        {"ThreeAddresses", "mailto:p@x.jp; q@x.jp; r@x.jp; ", "mailto:p@x.jp,q@x.jp,r@x.jp"},
        {"EmptyAddressesLeftOut", "mailto:; q@x.jp; ; ", "mailto:q@x.jp"},
        {"OnlyEmptyAddresses", "mailto:; ; ", "mailto:"},
        {"SemicolonWithoutBlankStaysInTheAddress", "mailto:a;b@x.jp; ", "mailto:a;b@x.jp"},
        {"NoSeparatorAfterTheLast", "mailto:p@x.jp; q@x.jp", "mailto:p@x.jp,q@x.jp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MailtoLinkToUrl(c.link), c.url);
    }
}

TEST(MailtoLinkToUrl, EncodesOnlyWhatTheUrlCannotCarry) {
    struct Case {
        const char* name;
        std::string link;  // UTF-8, converted to code page 932 first
        std::string url;
    };
    const Case cases[] = {
        {"BlankInsideAnAddressEncoded", "mailto:a b@x.jp; ", "mailto:a%20b@x.jp"},
        {"AddressCharactersKept", "mailto:a.b-c_d~e!$'()*+,@x.jp; ", "mailto:a.b-c_d~e!$'()*+,@x.jp"},
        {"DelimitersThatWouldEndTheAddressEncoded", "mailto:a%b/c?d#e&f=g[h]@x.jp",
         "mailto:a%25b%2Fc%3Fd%23e%26f%3Dg%5Bh%5D@x.jp"},
        {"QuotesBracketsAndBackslashEncoded", "mailto:\"a b\"<c>\\d", "mailto:%22a%20b%22%3Cc%3E%5Cd"},
        {"JapaneseAsUtf8", "mailto:たろう@例え.jp", "mailto:%E3%81%9F%E3%82%8D%E3%81%86@%E4%BE%8B%E3%81%88.jp"},
        {"ControlBytes", "mailto:a\tb\x7F", "mailto:a%09b%7F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MailtoLinkToUrl(Sjis(c.link)), c.url);
    }
}

}  // namespace
