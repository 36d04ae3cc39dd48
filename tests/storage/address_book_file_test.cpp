// CSV as today's programs write it, and the files of each program, written here the way
// that program writes them, read into new pals; the old road keeps its own format.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/yubino_app.h"
#include "storage/address_book_file.h"
#include "storage/address_book_import.h"
#include "storage/csv_column_memory.h"
#include "storage/pal_import.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

using Kind = ImportProblem::Kind;

struct CsvCase {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> records;
    std::vector<ImportProblem> problems;
};

class QuotedCsvTest : public testing::TestWithParam<CsvCase> {};

TEST_P(QuotedCsvTest, ReadsTheRecords) {
    const CsvReadResult read = ReadQuotedCsv(GetParam().text);
    std::vector<std::vector<std::string>> records;
    for (const CsvRecord& record : read.records) records.push_back(record.fields);
    EXPECT_EQ(records, GetParam().records);
    EXPECT_EQ(read.problems, GetParam().problems);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, QuotedCsvTest,
    testing::Values(CsvCase{"CommaQuoteAndLineBreakInsideQuotes",
                            "a,\"b,c\",\"d\"\"e\",\"f\r\ng\"\r\nh\r\n",
                            {{"a", "b,c", "d\"e", "f\r\ng"}, {"h"}},
                            {}},
                    CsvCase{"MixedLineEnds", "a\nb\r\nc\rd", {{"a"}, {"b"}, {"c"}, {"d"}}, {}},
                    CsvCase{"EmptyFieldsKept", ",,\r\n", {{"", "", ""}}, {}},
                    CsvCase{"BlankLinesGiveNoRecord", "a\n\n\r\nb\n", {{"a"}, {"b"}}, {}},
                    CsvCase{"TextAfterAClosingQuoteIsKept", "\"a\"b,c\n", {{"ab", "c"}}, {}},
                    CsvCase{"UnclosedQuoteAtTheStart", "\"a,b\nc,d\ne,f\n", {}, {{Kind::QuoteNotClosed, 1}}},
                    CsvCase{"UnclosedQuoteLater", "a,b\nc,\"d\ne\n", {{"a", "b"}}, {{Kind::QuoteNotClosed, 2}}},
                    CsvCase{"NulBytesDropped", std::string("a\0b,c\n", 6), {{"ab", "c"}}, {{Kind::NulBytes, 1}}},
                    CsvCase{"FieldBeyondTheLimit",
                            "a\n" + std::string(2u << 20, 'x') + ",y\nz\n",
                            {{"a"}, {"z"}},
                            {{Kind::FieldTooLong, 2}}}),
    [](const testing::TestParamInfo<CsvCase>& info) { return info.param.name; });

std::string Utf16Le(const std::string& utf8) {
    std::u16string units;
    // Test texts here are ASCII or BMP characters only.
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = c;
        std::size_t length = 1;
        if (c >= 0xE0)
            cp = (c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F), length = 3;
        else if (c >= 0xC0)
            cp = (c & 0x1F) << 6 | (utf8[i + 1] & 0x3F), length = 2;
        units.push_back(static_cast<char16_t>(cp));
        i += length;
    }
    std::string out = "\xFF\xFE";
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

struct ProgramCase {
    const char* name;
    std::string bytes;
    // handle, name, address, address2, mobile, tel1, tel2, residence, birthday, sex, job, home page, memo
    std::vector<std::string> expected;
};

std::vector<std::string> Fields(const CPenPal& pal) {
    return {Utf8(pal.m_strHandleName),   Utf8(pal.m_strName),          Utf8(pal.m_strMailAddress),
            Utf8(pal.m_strMailAddress2), Utf8(pal.m_strMobileAddress), Utf8(pal.m_strTel1),
            Utf8(pal.m_strTel2),         Utf8(pal.m_strResidence),     pal.m_dtBirthday.Format("%Y-%m-%d"),
            Utf8(pal.m_strSex),          Utf8(pal.m_strJob),           Utf8(pal.m_strHomePage),
            Utf8(pal.m_strMemo)};
}

class ProgramCsvTest : public testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramCsvTest, HeaderIsKnownAndTheRowGivesThePal) {
    const AddressBookFile file = ReadAddressBookBytes(GetParam().bytes, false);
    ASSERT_EQ(file.kind, AddressBookFile::Kind::Csv);
    EXPECT_TRUE(RolesGiveAddress(file.roles));
    EXPECT_TRUE(file.pals.problems.empty());
    ASSERT_EQ(file.pals.pals.size(), 1u);
    EXPECT_EQ(Fields(file.pals.pals[0].pal), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramCsvTest,
    testing::Values(
        ProgramCase{
            "ThunderbirdUtf8",
            "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,Work Phone,Home "
            "Phone,Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,Home City,Home State,Home "
            "ZipCode,Home Country,Work Address,Work Address 2,Work City,Work State,Work ZipCode,Work Country,Job "
            "Title,Department,Organization,Web Page 1,Web Page 2,Birth Year,Birth Month,Birth Day,Custom 1,Custom "
            "2,Custom 3,Custom 4,Notes,\r\n"
            "Taro,Yamada,山田 太郎,taro,taro@example.jp,taro2@example.jp,,03-1111-2222,,,,090-0000-1111,1-2-3 "
            "Ginza,,Chuo-ku,Tokyo,104-0061,Japan,,,,,,,Engineer,,,https://taro.example,,1980,4,5,,,,,\"Notes, with "
            "comma\",\r\n",
            {"taro", "山田 太郎", "taro@example.jp", "taro2@example.jp", "", "03-1111-2222", "090-0000-1111",
             "Tokyo Chuo-ku 1-2-3 Ginza", "1980-04-05", "？", "Engineer", "https://taro.example", "Notes, with comma"}},
        ProgramCase{
            "GoogleContactsUtf8WithBom",
            "\xEF\xBB\xBF"
            "First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic Last "
            "Name,Name Prefix,Name Suffix,Nickname,File As,Organization Name,Organization Title,Organization "
            "Department,Birthday,Notes,Photo,Labels,E-mail 1 - Label,E-mail 1 - Value,E-mail 2 - Label,E-mail 2 - "
            "Value,Phone 1 - Label,Phone 1 - Value,Address 1 - Label,Address 1 - Formatted,Address 1 - "
            "Street,Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,Address 1 - "
            "Country,Address 1 - Extended Address,Website 1 - Label,Website 1 - Value\r\n"
            "花子,,佐藤,はなこ,,さとう,,,,,,,,1990-02-28,\"一行目\n二行目\",,* myContacts,* Home,hanako@gmail.com,"
            "Mobile,hanako@docomo.ne.jp,Mobile,090-2222-3333,Home,\"大阪府大阪市北区\n梅田1-1\",梅田1-1,大阪市,,"
            "大阪府,530-0001,日本,,Profile,https://hanako.example\r\n",
            {"佐藤 花子", "佐藤 花子", "hanako@gmail.com", "", "hanako@docomo.ne.jp", "090-2222-3333", "",
             "大阪府大阪市北区 梅田1-1", "1990-02-28", "？", "", "https://hanako.example", "一行目\n二行目"}},
        ProgramCase{
            "OutlookEnglishUtf16",
            Utf16Le("\"First Name\",\"Middle Name\",\"Last Name\",\"Title\",\"Suffix\",\"Nickname\",\"E-mail "
                    "Address\",\"E-mail 2 Address\",\"E-mail 3 Address\",\"Home Phone\",\"Business Phone\",\"Mobile "
                    "Phone\",\"Job Title\",\"Home Street\",\"Home City\",\"Home State\",\"Home Postal "
                    "Code\",\"Web Page\",\"Birthday\",\"Gender\",\"Hobby\",\"Notes\"\r\n"
                    "\"John\",\"\",\"Smith\",\"\",\"\",\"Johnny\",\"john@example.com\",\"\",\"\",\"555-0100\",\"555-"
                    "0199\",\"\",\"Pilot\",\"1 Main St\",\"Springfield\",\"IL\",\"62701\",\"http://"
                    "john.example\",\"4/5/1980\",\"Male\",\"Chess\",\"Met at \"\"the club\"\"\"\r\n"),
            {"Johnny", "John Smith", "john@example.com", "", "", "555-0100", "555-0199", "IL Springfield 1 Main St",
             "1980-04-05", "男", "Pilot", "http://john.example", "Met at \"the club\""}},
        ProgramCase{
            "OutlookJapaneseCp932",
            Sjis("\"姓\",\"名\",\"ミドル ネーム\",\"敬称\",\"ニックネーム\",\"電子メール アドレス\",\"電子メール 2 "
                 "アドレス\",\"電子メール 3 アドレス\",\"自宅電話\",\"携帯電話\",\"自宅番地\",\"自宅市区町村\","
                 "\"自宅都道府県\",\"自宅郵便番号\",\"誕生日\",\"性別\",\"役職\",\"Web ページ\",\"メモ\"\r\n"
                 "\"鈴木\",\"一郎\",\"\",\"\",\"いっちゃん\",\"ichiro@example.jp\",\"\",\"\",\"03-0000-0000\",\"\","
                 "\"本町1-1\",\"横浜市\",\"神奈川県\",\"231-0000\",\"1975/8/9\",\"女性\",\"教師\",\"http://"
                 "ichiro.example\",\"よろしく\"\r\n"),
            {"いっちゃん", "鈴木 一郎", "ichiro@example.jp", "", "", "03-0000-0000", "", "神奈川県横浜市本町1-1",
             "1975-08-09", "女", "教師", "http://ichiro.example", "よろしく"}}),
    [](const testing::TestParamInfo<ProgramCase>& info) { return info.param.name; });

TEST(AddressBookFile, TheOldFormatKeepsItsRoadQuotesAndAll) {
    const AddressBookFile file =
        ReadAddressBookBytes(Sjis("表示名,電子メール アドレス\r\n\"山田\",yamada@x\r\n"), false);
    ASSERT_EQ(file.kind, AddressBookFile::Kind::OldCsv);
    ASSERT_EQ(file.oldCsv.entries.size(), 1u);
    EXPECT_EQ(Utf8(file.oldCsv.entries[0].name), "\"山田\"");
    const AddressBookFile noName = ReadAddressBookBytes(Sjis("電子メール アドレス,x\r\na@x,1\r\n"), false);
    ASSERT_EQ(noName.kind, AddressBookFile::Kind::OldCsv);
    EXPECT_TRUE(noName.oldCsv.entries.empty());
}

TEST(AddressBookFile, AnUnknownHeaderWaitsForColumnsThenReadsWithThem) {
    AddressBookFile file = ReadAddressBookBytes("Who,Where\r\nAnn,ann@x\r\nBen,\r\n", false);
    ASSERT_EQ(file.kind, AddressBookFile::Kind::Csv);
    EXPECT_FALSE(RolesGiveAddress(file.roles));
    EXPECT_TRUE(file.pals.pals.empty());
    EXPECT_EQ(file.header, (std::vector<std::string>{"Who", "Where"}));
    ApplyCsvRoles(file, {RoleOf(PalField::Name), RoleOf(PalField::MailAddress)});
    ASSERT_EQ(file.pals.pals.size(), 1u);  // Ben has no address
    EXPECT_EQ(file.pals.pals[0].pal.m_strName, "Ann");
    EXPECT_EQ(file.pals.pals[0].pal.m_strHandleName, "Ann");
    EXPECT_EQ(file.pals.pals[0].line, 2);
}

TEST(AddressBookFile, VCardIsToldByNameOrByContent) {
    EXPECT_EQ(ReadAddressBookBytes("\xEF\xBB\xBF\r\nbegin:vcard\r\nEMAIL:a@x\r\nEND:VCARD\r\n", false).kind,
              AddressBookFile::Kind::VCard);
    EXPECT_EQ(ReadAddressBookBytes("", true).kind, AddressBookFile::Kind::VCard);
}

TEST(AddressBookFile, DevicesAndMissingFilesAreNotRead) {
    EXPECT_EQ(ReadAddressBookForImport("/dev/zero").kind, AddressBookFile::Kind::CannotOpen);
    EXPECT_EQ(ReadAddressBookForImport("/nonexistent/book.vcf").kind, AddressBookFile::Kind::CannotOpen);
}

TEST(CsvColumnMemory, RemembersPerHeaderAndReplacesAnOlderChoice) {
    TempDir dir;
    const std::filesystem::path file = dir / "yubino/csv-columns.txt";
    const std::vector<std::string> header{"Who", "Where\twith tab"}, other{"A", "B"};
    EXPECT_FALSE(RecallCsvRoles(file, header));
    ASSERT_TRUE(RememberCsvRoles(file, header, {RoleOf(PalField::Name), RoleOf(PalField::MailAddress)}));
    ASSERT_TRUE(RememberCsvRoles(file, other, {CsvRole::Ignore, CsvRole::Email}));
    ASSERT_TRUE(RememberCsvRoles(file, header, {RoleOf(PalField::HandleName), RoleOf(PalField::MailAddress)}));
    EXPECT_EQ(RecallCsvRoles(file, header),
              (std::vector<CsvRole>{RoleOf(PalField::HandleName), RoleOf(PalField::MailAddress)}));
    EXPECT_EQ(RecallCsvRoles(file, other), (std::vector<CsvRole>{CsvRole::Ignore, CsvRole::Email}));
    EXPECT_FALSE(RecallCsvRoles(file, {"Who"}));
    WriteFileBytes(file,
                   "1,999\tA\x1F"
                   "B\n");  // a role no program knows
    EXPECT_FALSE(RecallCsvRoles(file, other));
}

TEST(CsvColumnMemory, LivesUnderTheUsersConfigFolder) {
    const auto env = [](const char* name) -> std::string {
        return std::string(name) == "XDG_CONFIG_HOME" ? "/c" : std::string(name) == "HOME" ? "/h" : "";
    };
    EXPECT_EQ(CsvColumnMemoryFile(env), "/c/yubino/csv-columns.txt");
    EXPECT_EQ(CsvColumnMemoryFile([](const char* name) { return std::string(name) == "HOME" ? "/h" : ""; }),
              "/h/.config/yubino/csv-columns.txt");
}

TEST(ImportedPhotos, SavedBesideTheDataFileOnlyForPalsThatTakeThem) {
    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal existing;
    existing.m_strMailAddress = "taken@x";
    existing.m_strPictureFile = "mine.jpg";  // kept when the same pal comes with a photo
    app.AddPal(existing);
    ImportedPal fresh, refused;
    fresh.pal.m_strMailAddress = "new@x";
    fresh.photo = "\x89PNG new";
    refused.pal.m_strMailAddress = "taken@x";
    refused.photo = "\xFF\xD8\xFF taken";
    WriteFileBytes(dir / "new@x.png", "someone else's");

    const PalImportResult result = AddImportedPals(app, {fresh, refused}, dir.path());
    EXPECT_EQ(result.added, 1);
    EXPECT_TRUE(result.refused.empty()) << "the known pal merges";
    CPenPal kept;
    ASSERT_TRUE(app.FindPalByAddress("taken@x", kept));
    EXPECT_EQ(kept.m_strPictureFile, "mine.jpg");
    CPenPal added;
    ASSERT_TRUE(app.FindPalByAddress("new@x", added));
    EXPECT_EQ(added.m_bUsePicture, 1);
    EXPECT_EQ(std::filesystem::path(added.m_strPictureFile), dir / "new@x-2.png");
    EXPECT_EQ(ReadFileBytes(dir / "new@x-2.png"), "\x89PNG new");
    EXPECT_EQ(ReadFileBytes(dir / "new@x.png"), "someone else's");
    EXPECT_FALSE(std::filesystem::exists(dir / "taken@x.jpg"));
}

// Every mail program takes Taro@Example.JP for taro@example.jp: an import finds that pal
// (by any of its addresses) instead of adding a second one.
TEST(ImportedPals, AnAddressDifferingOnlyInCaseIsTheExistingPal) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal taro;
    taro.m_strMailAddress = "taro@example.jp";
    taro.m_strMobileAddress = "taro@docomo.example.ne.jp";
    app.AddPal(taro);
    struct Row {
        const char* name;
        const char* address;
        bool added;
    } rows[] = {
        {"the first address in other letter case", "Taro@Example.JP", false},
        {"the mobile address in capitals", "TARO@DOCOMO.EXAMPLE.NE.JP", false},
        {"someone else", "jiro@example.jp", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPenPal card;
        card.m_strMailAddress = row.address;
        const PalImportResult result = ImportPals(app, {card});
        EXPECT_EQ(result.added, row.added ? 1 : 0);
        EXPECT_EQ(result.refused.size(), row.added ? 0u : 1u);
    }
    EXPECT_EQ(app.GetPalCount(), 2);
}

}  // namespace
