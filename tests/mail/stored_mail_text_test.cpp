#include "mail/stored_mail_text.h"

#include <gtest/gtest.h>

#include "support/fake_user_interface.h"

namespace {

TEST(FormatMailTextForDisplay, TurnsLineBreaksBackAndCutsTheBlankEnd) {
    struct Case {
        const char* name;
        std::string stored;  // UTF-8 of the stored form
        std::string display;
    };
    // clang-format off
    const Case cases[] = {
        {"CrBsBecomesCrCrLf", "Hello\r\bBye", "Hello\r\r\nBye"},
        {"LoneBsBecomesCrLf", "Hello\bBye", "Hello\r\nBye"},
        {"TrailingBlankLinesCut", "Hello\r\b\r\b \t\b", "Hello"},
        {"OnlyBlankLinesBecomeEmpty", "\r\b\b \b\x01", ""},
        {"LeadingBlanksKept", "\b  Hello", "\r\n  Hello"},
        {"JapaneseAtTheEndKept", "さようなら", "さようなら"},
        {"NoLineBreakOneParagraph", "Hello Bye", "Hello Bye"},
        {"Empty", "", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8(FormatMailTextForDisplay(Sjis(c.stored))), c.display);
    }
}

TEST(FormatMailTextForDisplay, NeverCutsHighBytes) {
    // "ー" is 81 5B and "　" (full-width space) 81 40: their trail bytes are above 32,
    // and a lone high byte at the end is no blank either.
    EXPECT_EQ(FormatMailTextForDisplay(Sjis("ー　")), Sjis("ー　"));
    EXPECT_EQ(FormatMailTextForDisplay("a\x81\b"), "a\x81");
    EXPECT_EQ(FormatMailTextForDisplay("a\xA0 "), "a\xA0");
}

TEST(ToStoredMailText, LineFeedsBecomeBackspacesAtEveryPositionAndLength) {
    // The conversion works on blocks of bytes; line feeds at block edges and in the tail count too.
    for (std::size_t length = 0; length < 100; ++length) {
        std::string text, expected;
        for (std::size_t i = 0; i < length; ++i) {
            const bool lineFeed = i % 7 == 3 || i % 16 == 15 || i + 1 == length;
            text += lineFeed ? '\n' : static_cast<char>(0x81 + i % 100);
            expected += lineFeed ? '\b' : text.back();
        }
        EXPECT_EQ(ToStoredMailText(text), expected) << "length " << length;
    }
    EXPECT_EQ(ToStoredMailText("a\r\nb\nc"), "a\r\bb\bc");
}

}  // namespace
