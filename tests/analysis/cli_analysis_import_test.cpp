// yubino-cli stats and import-csv, run as the program they are.
#include <gtest/gtest.h>


#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace {

// Runs yubino-cli with the arguments (quoted for the shell); standard error goes to `err`.
ShellRun Cli(const std::string& args, const std::filesystem::path& err) {
    return RunShell(Quoted(YUBINO_CLI) + " " + args + " 2>" + Quoted(err.string()));
}

class CliAnalysisImportTest : public testing::Test {
protected:
    void SetUp() override {
        CPenPal pal;
        pal.m_strHandleName = Sjis("太郎");
        pal.m_strMailAddress = "taro@x";
        pal.m_strSex = Sjis("男");
        pal.m_strAge = Sjis("２０");
        ASSERT_EQ(app.AddPal(pal), 1);
        WriteFileBytes(Data(), WritePalData(app));
    }
    std::filesystem::path Data() const { return dir / "data.ybf"; }
    std::string Quoted(const std::filesystem::path& p) const { return "'" + p.native() + "'"; }
    std::string Errors() const { return ReadFileBytes(dir / "err.txt"); }
    std::vector<std::string> StoredAddresses() {
        FakeUserInterface quiet;
        CYubinoApp stored(quiet);
        ReadPalData(stored, ReadFileBytes(Data()));
        std::vector<std::string> out;
        for (const CPenPal& pal : stored.Pals()) out.push_back(pal.m_strMailAddress);
        return out;
    }

    TempDir dir;
    FakeUserInterface ui;
    CYubinoApp app{ui};
};

TEST_F(CliAnalysisImportTest, StatsPrintsTheFourTabs) {
    const ShellRun run = Cli("stats " + Quoted(Data()), dir / "err.txt");
    EXPECT_EQ(run.status, 0) << Errors();
    EXPECT_NE(run.out.find(R"({"tabs":[{"title":"基本ﾃﾞｰﾀ","columns":["ﾊﾝﾄﾞﾙﾈｰﾑ","名前",)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(R"(["太郎","","男","２０","taro@x","",""])"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(R"(["登録ﾒｰﾙﾌﾚﾝﾄﾞ数","1 / 500人"],["女性","0 人"],["男性","1 人"],["平均年齢","20.0 才"])"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Cli("stats " + Quoted(dir / "missing.ybf"), dir / "err.txt").status, 2);
}

TEST_F(CliAnalysisImportTest, ImportCsvListsOrAddsTheEntries) {
    WriteFileBytes(dir / "book.csv", Sjis("表示名,電子メール アドレス\r\n花子,hanako@x\r\n太郎,taro@x\r\n,skip@x\r\n"));
    const ShellRun list =
        Cli("import-csv " + Quoted(Data()) + " " + Quoted(dir / "book.csv") + " --list", dir / "err.txt");
    EXPECT_EQ(list.status, 0) << Errors();
    EXPECT_EQ(list.out, "[[\"花子\",\"hanako@x\"],[\"太郎\",\"taro@x\"]]\n");
    EXPECT_EQ(StoredAddresses(), (std::vector<std::string>{"taro@x"}));

    const ShellRun add = Cli("import-csv " + Quoted(Data()) + " " + Quoted(dir / "book.csv"), dir / "err.txt");
    EXPECT_EQ(add.status, 0) << Errors();
    EXPECT_EQ(Errors(), "メールアドレス\" taro@x \"は既に登録されているので追加できません\n");
    EXPECT_EQ(StoredAddresses(), (std::vector<std::string>{"taro@x", "hanako@x"}));
}

TEST_F(CliAnalysisImportTest, ImportCsvRefusesAnotherFormatAndKeepsTheData) {
    const std::string before = ReadFileBytes(Data());
    WriteFileBytes(dir / "book.csv", Sjis("名前,メール\nA,a@x\n"));
    EXPECT_EQ(Cli("import-csv " + Quoted(Data()) + " " + Quoted(dir / "book.csv"), dir / "err.txt").status, 2);
    EXPECT_EQ(Errors(), "CSV ファイルをインポートできませんでした 異なる形式のファイルです\n");
    EXPECT_EQ(ReadFileBytes(Data()), before);
    EXPECT_EQ(Cli("import-csv " + Quoted(Data()), dir / "err.txt").status, 2);
}

}  // namespace
