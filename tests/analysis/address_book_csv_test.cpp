#include <gtest/gtest.h>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/address_book_csv.h"
#include "storage/address_book_import.h"
#include "support/cpu_time.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

using Status = AddressBookReadResult::Status;

// Entries as UTF-8 "name <address>" lines.
std::vector<std::string> Describe(const std::vector<AddressBookEntry>& entries) {
    std::vector<std::string> out;
    for (const AddressBookEntry& e : entries) out.push_back(Utf8(e.name) + " <" + Utf8(e.address) + ">");
    return out;
}

struct CsvCase {
    const char* name;
    std::string utf8;  // the file's text, stored as code page 932
    Status status;
    std::vector<std::string> entries;
};

void PrintTo(const CsvCase& c, std::ostream* out) { *out << c.name; }

class AddressBookCsvTest : public testing::TestWithParam<CsvCase> {};

TEST_P(AddressBookCsvTest, Reads) {
    AddressBookReadResult result = ReadAddressBook(Sjis(GetParam().utf8));
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(Describe(result.entries), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AddressBookCsvTest,
    testing::Values(
        CsvCase{"TwoFieldHeader",
                "表示名,電子メール アドレス\r\n太郎,taro@example.jp\r\n",
                Status::Read,
                {"太郎 <taro@example.jp>"}},
        CsvCase{"OutlookExpressColumns",
                "名,姓,ミドル ネーム,表示名,ニックネーム,電子メール アドレス,自宅の番地\n"
                "太郎,山田,,山田 太郎,たろ,taro@example.jp,東京\n"
                "花子,鈴木,,鈴木 花子,,hanako@example.jp,\n",
                Status::Read,
                {"山田 太郎 <taro@example.jp>", "鈴木 花子 <hanako@example.jp>"}},
        CsvCase{
            "AddressBeforeName", "電子メール アドレス,表示名\na@example.jp,A\n", Status::Read, {"A <a@example.jp>"}},
        CsvCase{"NoNameFieldGivesNoRows", "電子メール アドレス,メモ\na@example.jp,A\n", Status::Read, {}},
        CsvCase{"FullNameStandsForTheDisplayName",
                "名前,電子メール アドレス\n山田 太郎,taro@example.jp\n",
                Status::Read,
                {"山田 太郎 <taro@example.jp>"}},
        CsvCase{"FamilyNameAloneGivesTheName",
                "姓,電子メール アドレス\n山田,taro@example.jp\n",
                Status::Read,
                {"山田 <taro@example.jp>"}},
        CsvCase{"FamilyAndGivenNameJoin",
                "名,姓,電子メール アドレス\n太郎,山田,taro@example.jp\n,鈴木,s@x\n",
                Status::Read,
                {"山田 太郎 <taro@example.jp>", "鈴木 <s@x>"}},
        CsvCase{"NoAddressFieldIsWrongFormat", "表示名,電子メール\nA,a@example.jp\n", Status::WrongFormat, {}},
        CsvCase{
            "AddressFieldNeedsItsAsciiSpace", "表示名,電子メール　アドレス\nA,a@example.jp\n", Status::WrongFormat, {}},
        CsvCase{"HeaderFieldsCompareExactly", "表示名 ,電子メール アドレス\nA,a@example.jp\n", Status::Read, {}},
        CsvCase{"NoHeaderIsWrongFormat", "太郎,taro@example.jp\n", Status::WrongFormat, {}},
        CsvCase{"EmptyFile", "", Status::Empty, {}},
        CsvCase{"OnlyALineEndIsWrongFormat", "\n", Status::WrongFormat, {}},
        CsvCase{"HeaderOnly", "表示名,電子メール アドレス", Status::Read, {}},
        CsvCase{"LastOccurrenceWins",
                "表示名,電子メール アドレス,表示名,電子メール アドレス\nA,a@x,B,b@x\n",
                Status::Read,
                {"B <b@x>"}},
        CsvCase{"QuotedValueKeepsQuotes",
                "表示名,電子メール アドレス\n\"太郎\",\"t@example.jp\"\n",
                Status::Read,
                {"\"太郎\" <\"t@example.jp\">"}},
        CsvCase{"CommaInQuotesSplits",
                "表示名,電子メール アドレス\n\"山田, 太郎\",t@example.jp\n",
                Status::Read,
                {"\"山田 < 太郎\">"}},
        CsvCase{"BlanksKept", "表示名,電子メール アドレス\n 太郎 , t@x \n", Status::Read, {" 太郎  < t@x >"}},
        CsvCase{
            "EmptyNameOrAddressSkipped", "表示名,電子メール アドレス\n,a@x\nB,\nC,c@x\n\n", Status::Read, {"C <c@x>"}},
        CsvCase{"RaggedLinesSkipped",
                "表示名,x,電子メール アドレス\nA\nB,1\nC,1,c@x,extra,more\n",
                Status::Read,
                {"C <c@x>"}},
        CsvCase{"LastLineWithoutLineEnd", "表示名,電子メール アドレス\nA,a@x", Status::Read, {"A <a@x>"}},
        CsvCase{
            "LoneCarriageReturnStaysInTheText", "表示名,電子メール アドレス\nA\r,a@x\r\n", Status::Read, {"A\r <a@x>"}},
        CsvCase{"FileOrderKept",
                "表示名,電子メール アドレス\nB,b@x\nA,a@x\nB,b@x\n",
                Status::Read,
                {"B <b@x>", "A <a@x>", "B <b@x>"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AddressBookCsv, Utf8FileReadsLikeItsCodePageTwin) {
    const std::string text = "表示名,電子メール アドレス\r\n山田 太郎,taro@example.jp\r\nｶﾀｶﾅ,k@example.jp\r\n";
    const AddressBookReadResult cp932 = ReadAddressBook(Sjis(text));
    for (const std::string& bytes : {text, "\xEF\xBB\xBF" + text}) {
        const AddressBookReadResult utf8 = ReadAddressBook(bytes);
        EXPECT_EQ(utf8.status, Status::Read);
        EXPECT_EQ(utf8.entries, cp932.entries);
    }
    EXPECT_EQ(cp932.entries.size(), 2u);
}

TEST(AddressBookCsv, Utf8CharactersWithoutCodePageFormBecomeQuestionMarks) {
    const AddressBookReadResult result =
        ReadAddressBook("\xEF\xBB\xBF表示名,電子メール アドレス\n😀 Emoji,e@x\nBad\xFF,b@x\n");
    EXPECT_EQ(Describe(result.entries), (std::vector<std::string>{"? Emoji <e@x>", "Bad? <b@x>"}));
}

TEST(AddressBookCsv, BinaryBytesAndNulsDoNotBreakTheReading) {
    std::string bytes = Sjis("表示名,電子メール アドレス\n");
    bytes += std::string("A\0hidden,a@x\n", 13);  // a line ends at a NUL
    bytes += std::string("B,b@x\0tail\n", 11);
    bytes += "\x81,\xFF\xFE@x\n";  // a lone lead byte, undefined bytes
    AddressBookReadResult result = ReadAddressBook(bytes);
    ASSERT_EQ(result.status, Status::Read);
    ASSERT_EQ(result.entries.size(), 2u);
    EXPECT_EQ(result.entries[0].address, "b@x");
    EXPECT_EQ(result.entries[1].name, "\x81");
    EXPECT_EQ(result.entries[1].address, "\xFF\xFE@x");
}

TEST(AddressBookCsv, TextsLongerThanAnEntryHoldsSkipTheLine) {
    const std::string header = Sjis("表示名,電子メール アドレス\n");
    const std::string fits(kMaxEntryTextBytes, 'a'), tooLong(kMaxEntryTextBytes + 1, 'b');
    AddressBookReadResult result =
        ReadAddressBook(header + fits + "," + fits + "\n" + tooLong + ",x@x\n" + "y," + tooLong + "\n");
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(result.entries[0].name, fits);
}

TEST(AddressBookCsv, LargeFilesReadInLinearTime) {
    std::string many = Sjis("表示名,電子メール アドレス\r\n");
    for (int i = 0; i < 100000; ++i)
        many += "name" + std::to_string(i) + ",pal" + std::to_string(i) + "@example.jp\r\n";
    std::string wide = Sjis("表示名,電子メール アドレス\n");
    for (int i = 0; i < 8; ++i) wide += std::string(1 << 20, i % 2 ? ',' : 'x') + "\n";  // 1 MiB lines

    const double start = ProcessCpuSeconds();
    EXPECT_EQ(ReadAddressBook(many).entries.size(), 100000u);
    EXPECT_TRUE(ReadAddressBook(wide).entries.empty());
    // A fraction of a second of CPU; reading that grew with the square of a line would take hours.
    EXPECT_LT(ProcessCpuSeconds() - start, 20.0);
}

TEST(AddressBookCsv, FileThatCannotBeOpenedIsUnreadable) {
    TempDir dir;
    EXPECT_EQ(ReadAddressBookFile(dir / "missing.csv").status, Status::Unreadable);
    WriteFileBytes(dir / "book.csv", Sjis("表示名,電子メール アドレス\nA,a@x\n"));
    EXPECT_EQ(Describe(ReadAddressBookFile(dir / "book.csv").entries), (std::vector<std::string>{"A <a@x>"}));
}

class AddressBookImportTest : public testing::Test {
protected:
    std::vector<AddressBookEntry> Entries(std::initializer_list<std::pair<const char*, const char*>> rows) {
        std::vector<AddressBookEntry> out;
        for (const auto& [name, address] : rows) out.push_back({Sjis(name), Sjis(address)});
        return out;
    }

    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(AddressBookImportTest, EachEntryBecomesAFreshPalThenListAndMapRefresh) {
    EXPECT_EQ(ImportAddressBookEntries(app, Entries({{"太郎", "taro@x"}, {"花子", "hanako@x"}})), 2);
    ASSERT_EQ(app.GetPalCount(), 2);
    CPenPal expected;
    expected.m_strHandleName = Sjis("太郎");
    expected.m_strMailAddress = "taro@x";
    EXPECT_EQ(app.Pals()[0], expected);
    EXPECT_EQ(Utf8(app.Pals()[1].m_strHandleName), "花子");
    EXPECT_EQ(ui.events, (std::vector<std::string>{"list", "map"}));
}

TEST_F(AddressBookImportTest, RepeatedAddressAddsTheFirstAndSaysSoOnce) {
    EXPECT_EQ(ImportAddressBookEntries(app, Entries({{"A", "same@x"}, {"B", "same@x"}})), 1);
    EXPECT_EQ(Utf8(app.Pals()[0].m_strHandleName), "A");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "メールアドレス\" same@x \"は既に登録されているので追加できません");
}

TEST_F(AddressBookImportTest, AFullTableIsToldOnceWithTheCountLeftOut) {
    for (int i = 0; i < kMaxPals - 1; ++i) {
        CPenPal pal;
        pal.m_strMailAddress = "pal" + std::to_string(i);
        ASSERT_EQ(app.AddPal(pal), 1);
    }
    EXPECT_EQ(ImportAddressBookEntries(app, Entries({{"A", "a@x"}, {"B", "b@x"}, {"C", "c@x"}})), 1);
    EXPECT_EQ(app.GetPalCount(), kMaxPals);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, Utf8(FormatText(texts::kImportTableFull, 2)));
    EXPECT_EQ(ui.events.back(), "map");
}

}  // namespace
