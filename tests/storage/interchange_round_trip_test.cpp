// Pals written as vCard or CSV and read into an empty table come back field for field.
// CSV carries the first and last mail dates to the day only (YYYY-MM-DD); everything
// else, the birthday included, comes back exactly.
#include <gtest/gtest.h>

#include <random>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/address_book_file.h"
#include "storage/pal_import.h"
#include "storage/pal_vcard.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

class RandomPals {
public:
    explicit RandomPals(unsigned seed) : m_random(seed) {}

    std::vector<CPenPal> Make(int count) {
        std::vector<CPenPal> pals;
        for (int i = 0; i < count; ++i) pals.push_back(Pal(i));
        return pals;
    }

private:
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Japanese and the characters that need quoting or escaping in either format.
    std::string Text(int maxChars) {
        static const std::vector<std::string> kPieces = {
            "あ", "ゆ", "び", "の", "ア", "ヴ", "ｶﾞ", "漢", "字", "表", "ソ", "能", "＼", "～", "①", "髙", "、",
            "。", "a",  "Z",  "0",  " ",  ",",  ";",  ":",  "\"", "\\", "'",  "=",  "-",  "@",  "#", "\t"};
        std::string out;
        for (int n = Between(1, maxChars); n > 0; --n) out += kPieces[Between(0, static_cast<int>(kPieces.size()) - 1)];
        return Sjis(out);
    }

    COleDateTime Date(bool withTime) {
        switch (Between(0, 9)) {
            case 0:
                return COleDateTime(0, 1, 1, 0, 0, 0);
            case 1:
                return withTime ? COleDateTime(9999, 12, 31, 23, 59, 59) : COleDateTime(9999, 12, 31);
            case 2:
                return COleDateTime(1899, 12, 29, withTime ? 6 : 0, 0, 0);  // before the epoch
            default:
                return withTime ? COleDateTime(Between(1900, 2030), Between(1, 12), Between(1, 28), Between(0, 23),
                                               Between(0, 59), Between(0, 59))
                                : COleDateTime(Between(1900, 2030), Between(1, 12), Between(1, 28));
        }
    }

    CPenPal Pal(int i) {
        static const char* kSexes[] = {"男", "女", "？"};
        static const char* kBlood[] = {"Ａ", "Ｂ", "Ｏ", "ＡＢ", "？"};
        CPenPal pal;
        pal.m_strHandleName = Text(20);
        pal.m_strName = Text(20);
        pal.m_strSex = Sjis(kSexes[Between(0, 2)]);
        pal.m_strAge = Between(0, 3)
                           ? Sjis("１") + Sjis(std::string("０１２３４５６７８９").substr(3 * Between(0, 9), 3))
                           : kNotGiven;
        pal.m_strMailAddress = "pal" + std::to_string(i) + "@example.jp";
        pal.m_strJob = Text(15);
        pal.m_strHomePage = "https://example.jp/" + std::to_string(i) + "?a=1,b;c";
        pal.m_strResidence = Text(15);
        pal.m_strBirthplace = Text(15);
        pal.m_strBloodType = Sjis(kBlood[Between(0, 4)]);
        pal.m_dtBirthday = Date(false);
        pal.m_dtFirstMail = Date(true);
        pal.m_dtLastMail = Date(true);
        pal.m_strTel1 = "03-" + std::to_string(Between(1000, 9999)) + "-0000";
        pal.m_strTel2 = "090-" + std::to_string(Between(1000, 9999)) + "-1111";
        pal.m_strHobby = Text(15);
        pal.m_strMapName = Sjis(texts::kMapNames[Between(0, 8)]);
        std::string mail = Text(40) + "\x08" + Text(40) + "\x08\x08" + Text(10);
        if (i % 50 == 0) mail += std::string(70000, 'x');  // beyond the 16-bit length of the data file
        pal.m_strLastMailText = mail;
        pal.m_nFaceIcon = Between(0, 114);
        pal.m_nMapX = Between(0, 399);
        pal.m_nMapY = Between(0, 399);
        pal.m_strPictureFile = Sjis("/nowhere/写真") + std::to_string(i) + ".jpg";
        pal.m_bUsePicture = Between(0, 1);
        pal.m_strMailAddress2 = "second" + std::to_string(i) + "@example.com";
        pal.m_strMobileAddress = "mobile" + std::to_string(i) + "@docomo.ne.jp";
        pal.m_strMemo = Text(i % 7 == 0 ? 3000 : 50);
        return pal;
    }

    std::mt19937 m_random;
};

// What a CSV round trip keeps of the mail dates: the day.
COleDateTime Day(const COleDateTime& date) { return COleDateTime(date.GetYear(), date.GetMonth(), date.GetDay()); }

std::vector<CPenPal> ReadBack(const std::string& bytes, bool vcard) {
    const AddressBookFile file = ReadAddressBookBytes(bytes, vcard);
    EXPECT_TRUE(file.pals.problems.empty());
    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app(ui);
    const PalImportResult result = AddImportedPals(app, file.pals.pals, dir.path());
    EXPECT_TRUE(result.refused.empty());
    return app.Pals();
}

// The fields as readable lines, so that a difference shows which field it is in.
std::vector<std::string> Fields(const CPenPal& pal) {
    std::vector<std::string> fields;
    for (int i = 0; i < kPalFieldCount; ++i) {
        const auto field = static_cast<PalField>(i);
        std::string text = GetPalFieldText(pal, field);
        if (field == PalField::Birthday) text = FormatExactDate(pal.m_dtBirthday);
        if (field == PalField::FirstMail) text = FormatExactDate(pal.m_dtFirstMail);
        if (field == PalField::LastMail) text = FormatExactDate(pal.m_dtLastMail);
        if (field == PalField::LastMailText) text = pal.m_strLastMailText;
        fields.push_back(Utf8(PalFieldLabel(field)) + ": " + Utf8(text.substr(0, 200)));
    }
    return fields;
}

void ExpectSamePals(const std::vector<CPenPal>& back, const std::vector<CPenPal>& pals, bool daysOnly) {
    ASSERT_EQ(back.size(), pals.size());
    for (std::size_t i = 0; i < pals.size(); ++i) {
        CPenPal expected = pals[i];
        if (daysOnly) {
            expected.m_dtFirstMail = Day(expected.m_dtFirstMail);
            expected.m_dtLastMail = Day(expected.m_dtLastMail);
        }
        EXPECT_EQ(Fields(back[i]), Fields(expected)) << "pal " << i;
        EXPECT_TRUE(back[i] == expected) << "pal " << i;
        if (back[i] != expected) return;
    }
}

TEST(InterchangeRoundTrip, FiveHundredPalsThroughVCard4) {
    const std::vector<CPenPal> pals = RandomPals(1).Make(kMaxPals);
    ExpectSamePals(ReadBack(WriteVCards(pals, VCardVersion::V4, {}), true), pals, false);
}

TEST(InterchangeRoundTrip, FiveHundredPalsThroughVCard3) {
    const std::vector<CPenPal> pals = RandomPals(2).Make(kMaxPals);
    ExpectSamePals(ReadBack(WriteVCards(pals, VCardVersion::V3, {}), true), pals, false);
}

TEST(InterchangeRoundTrip, FiveHundredPalsThroughUtf8CsvKeepMailDatesToTheDay) {
    const std::vector<CPenPal> pals = RandomPals(3).Make(kMaxPals);
    const std::string csv = WritePalCsv(pals, CsvEncoding::Utf8WithBom);
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF" + Utf8(PalFieldLabel(PalField::HandleName)) + ","));
    ExpectSamePals(ReadBack(csv, false), pals, true);
}

TEST(InterchangeRoundTrip, FiveHundredPalsThroughCp932CsvKeepMailDatesToTheDay) {
    const std::vector<CPenPal> pals = RandomPals(4).Make(kMaxPals);
    ExpectSamePals(ReadBack(WritePalCsv(pals, CsvEncoding::Cp932), false), pals, true);
}

struct CellCase {
    const char* name;
    const char* cell;
    const char* written;  // with the guard on
};

const CellCase kCellCases[] = {
    {"a formula", "=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
    {"a sum behind a plus", "+1+2", "'+1+2"},
    {"a minus before text", "-cmd", "'-cmd"},
    {"an at sign", "@SUM(A1)", "'@SUM(A1)"},
    {"a leading tab", "\tx", "'\tx"},
    {"a leading CR", "\rx", "'\rx"},
    {"a phone number with a plus", "+81-90-1234", "'+81-90-1234"},
    {"a negative number stays a number", "-1", "-1"},
    {"a signed decimal", "+2.5", "+2.5"},
    {"an apostrophe before an equals sign", "'=x", "''=x"},
    {"an apostrophe before text", "'x", "'x"},
    {"plain text", "a=b", "a=b"},
};

TEST(CsvCells, FormulaLikeCellsGoBehindAnApostropheAndComeBackWhole) {
    for (const CellCase& c : kCellCases) {
        EXPECT_EQ(GuardCsvCell(c.cell), c.written) << c.name;
        EXPECT_EQ(GuardedCellValue(GuardCsvCell(c.cell)), c.cell) << c.name;
    }
}

// A sender named like a formula, exported: the spreadsheet sees text, Yubino reads the name
// back; the raw form keeps the cell as it is.
TEST(CsvCells, TheExportGuardsEveryFieldUnlessAskedForRawCells) {
    CPenPal pal;
    pal.m_strHandleName = "=HYPERLINK(\"http://evil\",\"x\")";
    pal.m_strMailAddress = "@evil@example.jp";
    pal.m_strTel1 = "-1";
    const std::vector<CPenPal> pals{pal};
    const std::string guarded = WritePalCsv(pals, CsvEncoding::Utf8WithBom);
    EXPECT_NE(guarded.find("\r\n\"'=HYPERLINK(\"\"http://evil\"\",\"\"x\"\")\","), std::string::npos) << guarded;
    EXPECT_NE(guarded.find(",'@evil@example.jp,"), std::string::npos) << guarded;
    ExpectSamePals(ReadBack(guarded, false), pals, true);
    const std::string raw = WritePalCsv(pals, CsvEncoding::Utf8WithBom, CsvCells::Raw);
    EXPECT_NE(raw.find("\r\n\"=HYPERLINK("), std::string::npos) << raw;
    EXPECT_NE(raw.find(",@evil@example.jp,"), std::string::npos) << raw;
}

TEST(InterchangeRoundTrip, EmptyAndDefaultFieldsStayEmpty) {
    CPenPal bare, onlySecond;
    bare.m_strMailAddress = "bare@x";
    onlySecond.m_strHandleName = Sjis("二番目だけ");
    onlySecond.m_strMailAddress = "first@x";
    onlySecond.m_strTel2 = "0120";
    onlySecond.m_dtBirthday = COleDateTime(1980, 1, 2, 3, 4, 5);
    onlySecond.m_dtLastMail = COleDateTime(1.0, COleDateTime::invalid);
    const std::vector<CPenPal> pals{bare, onlySecond};
    for (VCardVersion version : {VCardVersion::V3, VCardVersion::V4})
        ExpectSamePals(ReadBack(WriteVCards(pals, version, {}), true), pals, false);
}

TEST(InterchangeRoundTrip, APictureTravelsInsideTheCardAndLandsBesideTheNewDataFile) {
    TempDir from, to;
    WriteFileBytes(from / "face.png", "\x89PNG picture bytes");
    CPenPal pal;
    pal.m_strMailAddress = "pic@x";
    pal.m_strPictureFile = (from / "face.png").string();
    pal.m_bUsePicture = 1;
    const std::string card = WriteVCards(std::vector<CPenPal>{pal}, VCardVersion::V4, {});
    EXPECT_NE(card.find("PHOTO:data:image/png;base64,"), std::string::npos);
    std::filesystem::remove(from / "face.png");  // as on another machine

    const AddressBookFile file = ReadAddressBookBytes(card, true);
    FakeUserInterface ui;
    CYubinoApp app(ui);
    AddImportedPals(app, file.pals.pals, to.path());
    CPenPal back;
    ASSERT_TRUE(app.FindPalByAddress("pic@x", back));
    EXPECT_EQ(back.m_bUsePicture, 1);
    EXPECT_EQ(std::filesystem::path(back.m_strPictureFile).parent_path(), to.path());
    EXPECT_EQ(ReadFileBytes(back.m_strPictureFile), "\x89PNG picture bytes");
}

TEST(VCardWriter, LinesAreFoldedBeforeSeventySixBytesWithoutSplittingACharacter) {
    CPenPal pal;
    pal.m_strMailAddress = "fold@x";
    pal.m_strMemo = Sjis(std::string(200, 'a') + "あいうえおかきくけこさしすせそたちつてと");
    const std::string card = WriteVCards(std::vector<CPenPal>{pal}, VCardVersion::V4, {});
    std::size_t start = 0;
    for (std::size_t end; (end = card.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = card.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_FALSE(line.empty());
    }
    EXPECT_EQ(ReadVCardPals(card).pals.at(0).pal.m_strMemo, pal.m_strMemo);
}

}  // namespace
