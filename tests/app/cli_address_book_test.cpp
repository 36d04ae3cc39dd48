// yubino-cli export and import run as the programs they are: the bundled sample taken out
// as vCard and CSV and read into an empty data file, and the import's report.
#include <gtest/gtest.h>


#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/resident_pals.h"
#include "support/temp_dir.h"

namespace {

using Outcome = ShellRun;

Outcome Cli(const std::string& args, const TempDir& dir) {
    return RunShell(Quoted(YUBINO_CLI_PATH) + " " + args + " 2>" + Quoted((dir / "stderr.txt").string()));
}

std::vector<CPenPal> PalsOf(const std::filesystem::path& file) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    ReadPalData(app, ReadFileBytes(file));
    return app.Pals();
}

class CliAddressBookTest : public testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(YUBINO_SAMPLE)) GTEST_SKIP() << "the sample is made by the build";
        sample = PalsOf(YUBINO_SAMPLE);
        ASSERT_FALSE(sample.empty());
        WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
    }
    std::string Path(const std::string& name) const { return Quoted((dir / name).string()); }

    TempDir dir;
    std::vector<CPenPal> sample;
};

TEST_F(CliAddressBookTest, SampleThroughVCardComesBackTheSame) {
    for (const char* version : {"4.0", "3.0"}) {
        WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
        ASSERT_EQ(
            Cli("export " + Quoted(YUBINO_SAMPLE) + " --vcard " + Path("out.vcf") + " --vcard-version " + version, dir)
                .status,
            0);
        const Outcome imported = Cli("import " + Path("empty.ybf") + " " + Path("out.vcf"), dir);
        ASSERT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
        EXPECT_EQ(imported.out, "{\"before\":0,\"added\":" + std::to_string(sample.size()) +
                                    ",\"refused\":[],\"merged\":[],\"dropped\":[]}\n");
        EXPECT_EQ(PalsOf(dir / "empty.ybf"), sample) << version;
    }
}

TEST_F(CliAddressBookTest, SampleThroughCsvKeepsAllButTheTimeOfMailDates) {
    for (const char* encoding : {"utf-8", "cp932"}) {
        WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
        ASSERT_EQ(Cli("export " + Quoted(YUBINO_SAMPLE) + " --csv " + Path("out.csv") + " --encoding " + encoding, dir)
                      .status,
                  0);
        ASSERT_EQ(Cli("import " + Path("empty.ybf") + " " + Path("out.csv"), dir).status, 0);
        std::vector<CPenPal> expected = sample;
        for (CPenPal& pal : expected) {
            for (COleDateTime* date : {&pal.m_dtFirstMail, &pal.m_dtLastMail})
                *date = COleDateTime(date->GetYear(), date->GetMonth(), date->GetDay());
        }
        EXPECT_EQ(PalsOf(dir / "empty.ybf"), expected) << encoding;
    }
}

TEST_F(CliAddressBookTest, ImportTellsWhatItMergedAndWhatWasCut) {
    WriteFileBytes(dir / "book.vcf",
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nEMAIL:a@x\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A again\r\nEMAIL:a@x\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:cut@x\r\n");
    const Outcome out = Cli("import " + Path("empty.ybf") + " " + Path("book.vcf"), dir);
    ASSERT_EQ(out.status, 0);
    EXPECT_EQ(out.out,
              "{\"before\":0,\"added\":1,\"refused\":[],\"merged\":[{\"address\":\"a@x\",\"line\":6,\"filled\":[],"
              "\"conflicts\":[{\"field\":\"名前\",\"ours\":\"A\",\"theirs\":\"A again\"}]}],\"dropped\":[]}\n");
    EXPECT_NE(ReadFileBytes(dir / "stderr.txt").find("11 行目"), std::string::npos);
    EXPECT_EQ(PalsOf(dir / "empty.ybf").size(), 1u);
}

// Every import road places a new pal from its residence when it has no map, and never
// moves one that brought its own.
TEST_F(CliAddressBookTest, ImportedPalsWithoutAMapArePlacedFromTheirResidence) {
    WriteResidentPals(dir / "residents.ybf");
    const struct {
        const char* road;
        std::string exportArgs;
        const char* file;
    } rows[] = {
        {"vCard 4.0", "--vcard " + Path("out.vcf") + " --vcard-version 4.0", "out.vcf"},
        {"vCard 3.0", "--vcard " + Path("out3.vcf") + " --vcard-version 3.0", "out3.vcf"},
        {"CSV in UTF-8", "--csv " + Path("out.csv") + " --encoding utf-8", "out.csv"},
        {"CSV in code page 932", "--csv " + Path("out932.csv") + " --encoding cp932", "out932.csv"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.road);
        ASSERT_EQ(Cli("export " + Path("residents.ybf") + " " + row.exportArgs, dir).status, 0);
        WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
        ASSERT_EQ(Cli("import " + Path("empty.ybf") + " " + Path(row.file), dir).status, 0)
            << ReadFileBytes(dir / "stderr.txt");
        const std::vector<CPenPal> pals = PalsOf(dir / "empty.ybf");
        ASSERT_EQ(pals.size(), 4u);
        EXPECT_EQ(Utf8(pals[0].m_strMapName), "関東");
        EXPECT_EQ(Utf8(pals[1].m_strMapName), "") << "a secret names no place";
        EXPECT_EQ(Utf8(pals[2].m_strMapName), "世界");
        for (const CPenPal& placed : {pals[0], pals[2]}) {
            EXPECT_GT(placed.m_nMapX + placed.m_nMapY, 0) << "off the map's corner";
            EXPECT_LE(std::max(placed.m_nMapX, placed.m_nMapY), 368);
        }
        EXPECT_EQ(Utf8(pals[3].m_strMapName), "九州") << "a pal's own map is kept";
        EXPECT_EQ(std::pair(pals[3].m_nMapX, pals[3].m_nMapY), std::pair(200, 120));
    }
}

TEST_F(CliAddressBookTest, WrongArgumentsAndUnknownColumnsExitWithTwo) {
    EXPECT_EQ(Cli("export " + Path("empty.ybf") + " --csv " + Path("a.csv") + " --encoding latin1", dir).status, 2);
    EXPECT_EQ(Cli("export " + Path("empty.ybf") + " --csv " + Path("a.csv") + " --vcard " + Path("a.vcf"), dir).status,
              2);
    WriteFileBytes(dir / "odd.csv", "Who,Where\r\nAnn,ann@x\r\n");
    EXPECT_EQ(Cli("import " + Path("empty.ybf") + " " + Path("odd.csv"), dir).status, 2);
    EXPECT_EQ(ReadFileBytes(dir / "empty.ybf"), std::string(kPalDataMagic));
}

}  // namespace
