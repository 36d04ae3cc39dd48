#include "core/cp932.h"

#include <gtest/gtest.h>

#include "support/fake_user_interface.h"

namespace {

TEST(Cp932Compare, OrdersByCharacterNotByByte) {
    // 0xA0 is a single byte and sorts before every double-byte character, although its
    // byte is larger than the lead byte 0x81.
    EXPECT_LT(cp932::Compare("\xA0", "\x81\x48"), 0);
    EXPECT_LT(cp932::Compare(Sjis("ｱ"), Sjis("あ")), 0);  // half-width katakana first
    EXPECT_LT(cp932::Compare("Z", "a"), 0);                // case-sensitive, by code
    EXPECT_LT(cp932::Compare("ab", "abc"), 0);             // a prefix sorts first
    EXPECT_EQ(cp932::Compare(Sjis("太郎"), Sjis("太郎")), 0);
    EXPECT_GT(cp932::Compare(Sjis("１０"), Sjis("？")), 0);
}

TEST(Cp932Find, NeverMatchesFromATrailByte) {
    // "ソ" is 0x83 0x5C: its trail byte is a backslash.
    const std::string text = Sjis("ソ") + "\\x";
    EXPECT_EQ(cp932::Find(text, "\\"), 2u);
    // "ア" 0x83 0x41 holds "A" as trail byte.
    EXPECT_EQ(cp932::Find(Sjis("ア"), "A"), std::string::npos);
    EXPECT_EQ(cp932::Find(Sjis("送信者送信者"), Sjis("送信者"), 1), 6u);
    EXPECT_EQ(cp932::Find("abc", "c"), 2u);
    EXPECT_EQ(cp932::Find("abc", "d"), std::string::npos);
}

TEST(Cp932Width, ConvertsBetweenFullAndHalfWidth) {
    EXPECT_EQ(cp932::ToHalfWidth(Sjis("１１９")), "119");
    EXPECT_EQ(cp932::ToHalfWidth(Sjis("ＡＢｚ　？（）")), "ABz ?()");
    EXPECT_EQ(cp932::ToHalfWidth(Sjis("カタカナー")), Sjis("ｶﾀｶﾅｰ"));
    EXPECT_EQ(cp932::ToHalfWidth(Sjis("漢字ガ")), Sjis("漢字ガ"));  // nothing to convert
    EXPECT_EQ(cp932::ToFullWidth("120 A?"), Sjis("１２０　Ａ？"));
    EXPECT_EQ(cp932::ToFullWidth(Sjis("ｱｲｳﾝﾞﾟ｡")), Sjis("アイウン゛゜。"));
}

TEST(Cp932Width, EveryHalfWidthKatakanaRoundTrips) {
    for (int c = 0xA1; c <= 0xDF; ++c) {
        const std::string half(1, static_cast<char>(c));
        const std::string full = cp932::ToFullWidth(half);
        EXPECT_EQ(full.size(), 2u) << std::hex << c;
        EXPECT_EQ(cp932::ToHalfWidth(full), half) << std::hex << c;
    }
}

TEST(Cp932Conversion, ConvertsBothWays) {
    EXPECT_EQ(cp932::ToUtf8("\x83\x5C"), "ソ");
    EXPECT_EQ(cp932::ToUtf8("\\~"), "\\~");  // the Windows table keeps ASCII as ASCII
    EXPECT_EQ(cp932::FromUtf8("メール①"), std::string("\x83\x81\x81\x5B\x83\x8B\x87\x40"));
}

TEST(Cp932Conversion, ReportsWhatCannotBeConverted) {
    std::string unconvertible;
    EXPECT_FALSE(cp932::FromUtf8("a😀b€", &unconvertible).has_value());
    EXPECT_EQ(unconvertible, "😀€");
    EXPECT_EQ(cp932::ToUtf8("a\x82", true), "a\\x82");  // lone lead byte at the end
    EXPECT_EQ(cp932::ToUtf8("\xFF", false), "\xEF\xBF\xBD");
}

TEST(Cp932Conversion, ReadsUtf16LittleEndian) {
    EXPECT_EQ(cp932::FromUtf16Le(std::string("\x42\x30\x41\x00", 4)), Sjis("あA"));
    EXPECT_EQ(cp932::FromUtf16Le(std::string("\x3D\xD8\x00\xDE", 4)), "?");  // emoji pair
    EXPECT_EQ(cp932::FromUtf16Le(std::string("\x41", 1)), "?");
}

}  // namespace
