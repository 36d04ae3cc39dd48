// vCard files as phones and address book programs write them, read into new pals; and
// damaged ones read as far as they go.
#include <gtest/gtest.h>

#include "storage/pal_vcard.h"
#include "storage/vcard_reader.h"
#include "support/fake_user_interface.h"

namespace {

struct Expected {
    std::string handle{}, name{}, address{}, address2{}, mobile{}, tel1{}, tel2{}, residence{}, memo{}, homePage{};
    std::string birthday{};  // YYYY-MM-DD, "" for the default
    std::string sex = "？";
};

struct CardCase {
    const char* name;
    std::string bytes;
    Expected pal;
};

std::string Crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

class VCardImportTest : public testing::TestWithParam<CardCase> {};

TEST_P(VCardImportTest, GivesThePal) {
    const CardCase& c = GetParam();
    const ImportedPals read = ReadVCardPals(c.bytes);
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.pals.size(), 1u);
    const CPenPal& pal = read.pals[0].pal;
    EXPECT_EQ(Utf8(pal.m_strHandleName), c.pal.handle);
    EXPECT_EQ(Utf8(pal.m_strName), c.pal.name);
    EXPECT_EQ(Utf8(pal.m_strMailAddress), c.pal.address);
    EXPECT_EQ(Utf8(pal.m_strMailAddress2), c.pal.address2);
    EXPECT_EQ(Utf8(pal.m_strMobileAddress), c.pal.mobile);
    EXPECT_EQ(Utf8(pal.m_strTel1), c.pal.tel1);
    EXPECT_EQ(Utf8(pal.m_strTel2), c.pal.tel2);
    EXPECT_EQ(Utf8(pal.m_strResidence), c.pal.residence);
    EXPECT_EQ(Utf8(pal.m_strMemo), c.pal.memo);
    EXPECT_EQ(Utf8(pal.m_strHomePage), c.pal.homePage);
    EXPECT_EQ(Utf8(pal.m_strSex), c.pal.sex);
    const std::string birthday =
        pal.m_dtBirthday == COleDateTime(2000, 1, 1) ? "" : pal.m_dtBirthday.Format("%Y-%m-%d");
    EXPECT_EQ(birthday, c.pal.birthday);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, VCardImportTest,
    testing::Values(
        CardCase{"AndroidVCard21QuotedPrintableUtf8",
                 Crlf({"BEGIN:VCARD", "VERSION:2.1",
                       "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=B1=B1=E7=94=B0;=E5=A4=AA=E9=83=8E;;;",
                       "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=B1=B1=E7=94=B0 =E5=A4=AA=E9=83=8E",
                       "TEL;CELL:090-1234-5678", "TEL;HOME:03-1111-2222", "EMAIL;HOME:taro@example.jp",
                       "EMAIL;CELL:taro@docomo.ne.jp",
                       "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E4=B8=80=E8=A1=8C=E7=9B=AE=0D=0A=",
                       "=E4=BA=8C=E8=A1=8C=E7=9B=AE", "BDAY:1985-04-12", "END:VCARD"}),
                 {"山田 太郎", "山田 太郎", "taro@example.jp", "", "taro@docomo.ne.jp", "090-1234-5678", "03-1111-2222",
                  "", "一行目\r\n二行目", "", "1985-04-12"}},
        CardCase{"JapanesePhoneShiftJisBareParams",
                 Crlf({"BEGIN:VCARD", "VERSION:2.1", "N;CHARSET=SHIFT_JIS:" + Sjis("佐藤;花子"),
                       "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:" + Sjis("ｻﾄｳ;ﾊﾅｺ"), "EMAIL;INTERNET;PREF:hanako@example.jp",
                       "ADR;HOME;CHARSET=SHIFT_JIS:" + Sjis(";;北1条;札幌市;北海道;060-0001;日本"), "END:VCARD"}),
                 {"佐藤 花子", "佐藤 花子", "hanako@example.jp", "", "", "", "", "北海道札幌市北1条"}},
        CardCase{"ICloudVCard30FoldedAndEscaped",
                 Crlf({"BEGIN:VCARD", "VERSION:3.0", "PRODID:-//Apple Inc.//iPhone OS 17.0//EN", "N:Suzuki;Ichiro;;;",
                       "FN:Ichiro Suzuki", "NICKNAME:ichi\\, the first",
                       "item1.EMAIL;type=INTERNET;type=pref:ichiro@icloud.com",
                       "item2.EMAIL;type=INTERNET;type=HOME:ichiro@home.example",
                       "TEL;type=CELL;type=VOICE;type=pref:+81 90 0000 1111",
                       "item3.ADR;type=HOME;type=pref:;;1-2-3 Ginza;Chuo-ku;Tokyo;104-0061;Japan",
                       "NOTE:line one\\nline two\\; with a semicolon and a long text that the writ", " er folded here",
                       "X-PHONETIC-FIRST-NAME:イチロウ", "BDAY;value=date:1973-10-22",
                       "URL;type=pref:https://example.com/ichiro", "END:VCARD"}),
                 {"ichi, the first", "Ichiro Suzuki", "ichiro@icloud.com", "ichiro@home.example", "",
                  "+81 90 0000 1111", "", "1-2-3 Ginza, Chuo-ku, Tokyo 104-0061, Japan",
                  "line one\r\nline two; with a semicolon and a long text that the writer folded here",
                  "https://example.com/ichiro", "1973-10-22"}},
        CardCase{
            "GnomeContactsVCard40",
            Crlf({"BEGIN:VCARD", "VERSION:4.0", "FN:高橋 健", "N:高橋;健;;;", "GENDER:M",
                  "EMAIL;TYPE=home;PREF=1:ken@example.org", "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+81-3-5555-0000",
                  "BDAY:19991231", "ADR;TYPE=home;LABEL=\"大阪府大阪市\":;;;大阪市;大阪府;;", "END:VCARD"}),
            {"高橋 健", "高橋 健", "ken@example.org", "", "", "+81-3-5555-0000", "", "大阪府大阪市", "", "",
             "1999-12-31", "男"}},
        CardCase{"KAddressBookVCard30WithLfEnds",
                 "BEGIN:VCARD\nVERSION:3.0\nFN:Anna\nN:;Anna;;;\nEMAIL;TYPE=PREF:anna@kde.example\nX-GENDER:Female\n"
                 "NOTE:Tab\\,\\\\ and \\N here\nEND:VCARD\n",
                 {"Anna", "Anna", "anna@kde.example", "", "", "", "", "", "Tab,\\ and \r\n here", "", "", "女"}},
        CardCase{"Utf16WithByteOrderMark",
                 std::string("\xFF\xFE", 2) +
                     [] {
                         std::string utf16;
                         for (char c :
                              std::string("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bob\r\nEMAIL:bob@x\r\nEND:VCARD\r\n")) {
                             utf16 += c;
                             utf16 += '\0';
                         }
                         return utf16;
                     }(),
                 {"Bob", "Bob", "bob@x"}}),
    [](const testing::TestParamInfo<CardCase>& info) { return info.param.name; });

TEST(VCardReader, SeveralCardsComeInFileOrderAndCardsWithoutAddressAreLeftOut) {
    const std::string bytes =
        Crlf({"BEGIN:VCARD", "VERSION:3.0", "FN:A", "EMAIL:a@x", "END:VCARD", "BEGIN:VCARD", "VERSION:3.0",
              "FN:No mail", "TEL:1", "END:VCARD", "BEGIN:VCARD", "VERSION:3.0", "FN:B", "EMAIL:b@x", "END:VCARD"});
    const ImportedPals read = ReadVCardPals(bytes);
    ASSERT_EQ(read.pals.size(), 2u);
    EXPECT_EQ(read.pals[0].pal.m_strMailAddress, "a@x");
    EXPECT_EQ(read.pals[1].pal.m_strMailAddress, "b@x");
    EXPECT_EQ(read.pals[1].line, 11);
}

TEST(VCardReader, PhotosEmbeddedIn21And30And40AndAsLocalFile) {
    const std::string jpeg = "\xFF\xD8\xFF\xE0photo";  // "/9j/4HBob3Rv" in base64
    const std::string v21 = Crlf({"BEGIN:VCARD", "VERSION:2.1", "EMAIL:a@x",
                                  "PHOTO;JPEG;ENCODING=BASE64:", "    /9j/4H", "    Bob3Rv", "", "END:VCARD"});
    const std::string v30 =
        Crlf({"BEGIN:VCARD", "VERSION:3.0", "EMAIL:a@x", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4HBob3Rv", "END:VCARD"});
    const std::string v40 =
        Crlf({"BEGIN:VCARD", "VERSION:4.0", "EMAIL:a@x", "PHOTO:data:image/jpeg;base64,/9j/4HBob3Rv", "END:VCARD"});
    for (const std::string& bytes : {v21, v30, v40}) {
        const ImportedPals read = ReadVCardPals(bytes);
        ASSERT_EQ(read.pals.size(), 1u) << bytes;
        EXPECT_EQ(read.pals[0].photo, jpeg) << bytes;
    }
    const ImportedPals file =
        ReadVCardPals(Crlf({"BEGIN:VCARD", "EMAIL:a@x", "PHOTO;VALUE=uri:file:///home/u/my%20face.jpg", "END:VCARD"}));
    ASSERT_EQ(file.pals.size(), 1u);
    EXPECT_EQ(file.pals[0].pal.m_strPictureFile, "/home/u/my face.jpg");
    EXPECT_EQ(file.pals[0].pal.m_bUsePicture, 1);
    const ImportedPals web =
        ReadVCardPals(Crlf({"BEGIN:VCARD", "EMAIL:a@x", "PHOTO:https://example.com/a.jpg", "END:VCARD"}));
    EXPECT_TRUE(web.pals.at(0).photo.empty());
    EXPECT_TRUE(web.pals.at(0).pal.m_strPictureFile.empty());
}

// The bytes are made when the case runs: some are a hundred megabytes, and every run of
// this program, even one that only lists its tests, would otherwise build them all.
struct DamageCase {
    const char* name;
    std::string (*bytes)();
    std::vector<std::string> addresses;  // the pals still read
    std::vector<ImportProblem> problems;
};

std::string Card(const std::string& address, const std::string& extra = "") {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\nEMAIL:" + address + "\r\n" + extra + "END:VCARD\r\n";
}

class VCardDamageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(VCardDamageTest, ReadsWhatItCanAndNamesTheLine) {
    const DamageCase& c = GetParam();
    const ImportedPals read = ReadVCardPals(c.bytes());
    std::vector<std::string> addresses;
    for (const ImportedPal& pal : read.pals) addresses.push_back(pal.pal.m_strMailAddress);
    EXPECT_EQ(addresses, c.addresses);
    EXPECT_EQ(read.problems, c.problems);
}

using Kind = ImportProblem::Kind;
INSTANTIATE_TEST_SUITE_P(
    BadInput, VCardDamageTest,
    testing::Values(
        DamageCase{"NoEndAtTheEndOfTheFile",
                   []() -> std::string { return Card("a@x") + "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:b@x\r\n"; },
                   {"a@x"},
                   {{Kind::CardNotEnded, 6}}},
        DamageCase{"NoEndBeforeTheNextCard",
                   []() -> std::string { return "BEGIN:VCARD\r\nEMAIL:a@x\r\n" + Card("b@x"); },
                   {"b@x"},
                   {{Kind::CardNotEnded, 1}}},
        DamageCase{
            "LineOfTenMegabytes",
            []() -> std::string { return Card("a@x", "NOTE:" + std::string(10u << 20, 'n') + "\r\n") + Card("b@x"); },
            {"a@x", "b@x"},
            {{Kind::LineTooLong, 5}}},
        DamageCase{"FoldedLineBeyondTheLimit",
                   []() -> std::string {
                       return Card(
                           "a@x", "NOTE:" + std::string(9u << 20, 'n') + "\r\n " + std::string(9u << 20, 'm') + "\r\n");
                   },
                   {"a@x"},
                   {{Kind::LineTooLong, 5}}},
        DamageCase{"PhotoOfAHundredMegabytes",
                   []() -> std::string {
                       return Card("a@x", "PHOTO;ENCODING=b;TYPE=JPEG:" + std::string(100u << 20, 'A') + "\r\n");
                   },
                   {"a@x"},
                   {{Kind::PhotoTooLarge, 5}}},
        DamageCase{"Base64ThatDoesNotDecode",
                   []() -> std::string { return Card("a@x", "PHOTO;ENCODING=b:@@not base64@@\r\n"); },
                   {"a@x"},
                   {{Kind::BadBase64, 5}}},
        DamageCase{"DataUriThatDoesNotDecode",
                   []() -> std::string { return Card("a@x", "PHOTO:data:image/png;base64,A\r\n"); },
                   {"a@x"},
                   {{Kind::BadBase64, 5}}},
        DamageCase{
            "NulBytes", []() -> std::string { return Card(std::string("a\0@x", 4)); }, {"a@x"}, {{Kind::NulBytes, 4}}},
        DamageCase{"MixedLineEnds",
                   []() -> std::string {
                       return "BEGIN:VCARD\nVERSION:3.0\rEMAIL:a@x\r\nEND:VCARD\rBEGIN:VCARD\nEMAIL:b@x\nEND:VCARD";
                   },
                   {"a@x", "b@x"},
                   {}},
        DamageCase{"QuotedPrintableEndingInASoftBreakBeforeEnd",
                   []() -> std::string { return Card("a@x", "NOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\n") + Card("b@x"); },
                   {"a@x", "b@x"},
                   {}},
        DamageCase{"NothingButNoise", []() -> std::string { return "just some text\r\nwith: a colon\r\n"; }, {}, {}},
        DamageCase{"EndWithoutBegin", []() -> std::string { return "END:VCARD\r\n" + Card("a@x"); }, {"a@x"}, {}}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(VCardReader, QuotedPrintableSoftBreaksAndFoldingKeepTheirBytes) {
    const VCardReadResult read = ReadVCards(
        "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=3Db=\r\nc\r\nX-LONG:one\r\n\ttwo\r\n three\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.cards.size(), 1u);
    ASSERT_EQ(read.cards[0].properties.size(), 2u);
    EXPECT_EQ(read.cards[0].properties[0].value, "a=bc");
    EXPECT_EQ(read.cards[0].properties[1].value, "onetwothree");
    EXPECT_EQ(read.cards[0].properties[1].line, 4);
}

TEST(VCardReader, ParametersQuotedListedAndBare) {
    const VCardReadResult read =
        ReadVCards("BEGIN:VCARD\r\ngroup.TEL;TYPE=\"home,voice\";PREF=1;CELL:1\r\nEND:VCARD\r\n");
    ASSERT_EQ(read.cards.size(), 1u);
    const VCardProperty& tel = read.cards[0].properties.at(0);
    EXPECT_EQ(tel.name, "TEL");
    EXPECT_TRUE(tel.HasType("HOME"));
    EXPECT_TRUE(tel.HasType("voice"));
    EXPECT_TRUE(tel.HasType("cell"));
    EXPECT_EQ(tel.Param("PREF"), "1");
}

}  // namespace
