// yubino-cli's address books against the programs people read and write them with:
// python3-vobject and khard read every exported card; cards written by khard, abook and
// vobject come in with nothing silently dropped; a webmail's CSV places its pals; an
// export read back into the same data file changes no byte; hostile files are refused.
#include <gtest/gtest.h>

#include <fstream>

#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace {

std::string Cp(const std::string& utf8) { return cp932::FromUtf8(utf8).value_or("?"); }

class AddressBookInteropTest : public testing::Test {
protected:
    void SetUp() override { WriteFileBytes(dir / "pals.ybf", WritePalData(MakePals())); }

    ShellRun Cli(const std::string& args) const {
        return RunShell(Quoted(YUBINO_CLI_PATH) + " " + args + " 2>" + Path("stderr.txt"));
    }
    std::string Path(const std::string& name) const { return Quoted((dir / name).string()); }
    std::vector<CPenPal> PalsOf(const std::string& name) const {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        ReadPalData(app, ReadFileBytes(dir / name));
        return app.Pals();
    }
    static bool Have(const char* program) {
        return RunShell(std::string("command -v ") + program + " >/dev/null").status == 0;
    }

    // Pals that need every part of a card: a Latin name with a suffix, a Japanese address
    // that parses and one that does not, line breaks of every stored form.
    static CYubinoApp& MakePals() {
        static FakeUserInterface quiet;
        static CYubinoApp app(quiet);
        app.ClearPals();
        CPenPal anne;
        anne.m_strName = "Anne-Marie O'Neil, Jr.";
        anne.m_strHandleName = "Anne";
        anne.m_strMailAddress = "anne@example.com";
        anne.m_strResidence = "1 Main St, Springfield, IL";
        anne.m_strMemo = "line one\nline two\r\nthree";
        anne.m_strLastMailText =
            "Hi\x08there\r\x08"
            "bye";
        app.AddPal(anne);
        CPenPal yuki;
        yuki.m_strName = Cp("山田 雪");
        yuki.m_strHandleName = Cp("ゆきうさぎ");
        yuki.m_strMailAddress = "yuki@example.jp";
        yuki.m_strMailAddress2 = "yuki2@example.jp";
        yuki.m_strMobileAddress = "yuki@docomo.example";
        yuki.m_strTel1 = "03-1111-2222";
        yuki.m_strResidence = Cp("東京都新宿区西新宿2-8-1");
        yuki.m_strMemo = Cp("一行目\r\n二行目");
        yuki.m_strLastMailText = Cp("こんにちは\r\x08元気?");
        yuki.m_dtBirthday = COleDateTime(1990, 8, 21);
        app.AddPal(yuki);
        CPenPal kana;
        kana.m_strName = Cp("かな");
        kana.m_strMailAddress = "kana@example.jp";
        kana.m_strResidence = Cp("どこか遠く; 海の近く");
        app.AddPal(kana);
        return app;
    }

    TempDir dir;
};

TEST_F(AddressBookInteropTest, VobjectParsesEveryExportedCardAndProperty) {
    if (RunShell("/usr/bin/python3 -c 'import vobject'").status != 0) GTEST_SKIP() << "python3-vobject is missing";
    for (const char* version : {"4.0", "3.0"}) {
        SCOPED_TRACE(version);
        ASSERT_EQ(
            Cli("export " + Path("pals.ybf") + " --vcard " + Path("out.vcf") + " --vcard-version " + version).status,
            0);
        const ShellRun parsed = RunShell(
            "/usr/bin/python3 -c '\n"
            "import sys, vobject\n"
            "for card in vobject.readComponents(open(sys.argv[1], encoding=\"utf-8\").read()):\n"
            "    for line in card.getChildren(): line.value\n"
            "    n = card.n.value\n"
            "    print(card.uid.value != \"\", card.rev.value != \"\", n.family, \"|\", n.given, \"|\", n.suffix)\n"
            "' " +
            Path("out.vcf"));
        ASSERT_EQ(parsed.status, 0) << parsed.out;
        EXPECT_EQ(parsed.out,
                  "True True O'Neil | Anne-Marie | Jr.\n"
                  "True True 山田 | 雪 | \n"
                  "True True かな |  | \n");
    }
}

TEST_F(AddressBookInteropTest, KhardListsEveryExportedCardByItsUid) {
    if (!Have("khard")) GTEST_SKIP() << "khard is missing";
    ASSERT_EQ(Cli("export " + Path("pals.ybf") + " --vcard " + Path("out.vcf")).status, 0);
    // khard reads a folder of one card per file.
    std::filesystem::create_directory(dir / "book");
    const std::string cards = ReadFileBytes(dir / "out.vcf");
    int count = 0;
    for (std::size_t at = 0; (at = cards.find("BEGIN:VCARD", at)) != std::string::npos; ++count) {
        const std::size_t end = cards.find("END:VCARD\r\n", at) + 11;
        WriteFileBytes(dir / "book" / (std::to_string(count) + ".vcf"), cards.substr(at, end - at));
        at = end;
    }
    WriteFileBytes(dir / "khard.conf", "[addressbooks]\n[[book]]\npath = " + (dir / "book").string() +
                                           "\n[general]\neditor = /bin/true\nmerge_editor = /bin/true\n");
    const ShellRun listed =
        RunShell("HOME=" + Quoted(dir.path().string()) + " khard -c " + Path("khard.conf") + " list --parsable 2>&1");
    ASSERT_EQ(listed.status, 0) << listed.out;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3) << listed.out;
    EXPECT_EQ(listed.out.find("no UID"), std::string::npos) << listed.out;
    // The UIDs stay: a second export names the same cards.
    ASSERT_EQ(Cli("export " + Path("pals.ybf") + " --vcard " + Path("again.vcf")).status, 0);
    const auto uids = [](const std::string& text) {
        std::string out;
        for (std::size_t at = 0; (at = text.find("\r\nUID:", at)) != std::string::npos; at += 6)
            out += text.substr(at, text.find('\r', at + 2) - at);
        return out;
    };
    EXPECT_EQ(uids(ReadFileBytes(dir / "again.vcf")), uids(cards));
}

TEST_F(AddressBookInteropTest, ExportThenImportIntoTheSameFileChangesNoByte) {
    const std::string before = ReadFileBytes(dir / "pals.ybf");
    for (const std::string out : {"out.vcf", "out.csv"}) {
        SCOPED_TRACE(out);
        const std::string kind = out.ends_with(".vcf") ? "--vcard " : "--csv ";
        ASSERT_EQ(Cli("export " + Path("pals.ybf") + " " + kind + Path(out)).status, 0);
        const ShellRun imported = Cli("import " + Path("pals.ybf") + " " + Path(out));
        ASSERT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
        EXPECT_NE(imported.out.find("\"added\":0"), std::string::npos) << imported.out;
        EXPECT_NE(imported.out.find("\"merged\":[]"), std::string::npos) << imported.out;
        EXPECT_EQ(ReadFileBytes(dir / "pals.ybf"), before);
    }
    // Into an empty file the line breaks come back in their stored forms too.
    WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
    ASSERT_EQ(Cli("import " + Path("empty.ybf") + " " + Path("out.vcf")).status, 0);
    const std::vector<CPenPal> pals = PalsOf("empty.ybf");
    ASSERT_EQ(pals.size(), 3u);
    EXPECT_EQ(pals[0].m_strMemo, "line one\nline two\r\nthree");
    EXPECT_EQ(pals[0].m_strLastMailText,
              "Hi\x08there\r\x08"
              "bye");
    EXPECT_EQ(pals[0].m_strResidence, "1 Main St, Springfield, IL");
    EXPECT_EQ(pals[0].m_strName, "Anne-Marie O'Neil, Jr.");
    EXPECT_EQ(pals[2].m_strResidence, Cp("どこか遠く; 海の近く"));
}

// Cards as the peers write them; each row says what must land where.
TEST_F(AddressBookInteropTest, PeerCardsMergeAndReportWhatNoFieldTook) {
    const std::string vobjectCard =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:peer-1\r\nFN:Émilie "
        "Dubois\r\nN;SORT-AS=\"デュボワ,エミリー\":Dubois;Émilie;;;\r\n"
        "X-PHONETIC-FIRST-NAME:エミリー\r\nX-PHONETIC-LAST-NAME:デュボワ\r\nEMAIL;TYPE=HOME:emilie@example.fr\r\n"
        "EMAIL;TYPE=WORK:work@example.fr\r\nEMAIL:third@example.fr\r\nEMAIL:fourth@example.fr\r\n"
        "item1.EMAIL:mobile@example.fr\r\nitem1.X-ABLabel:携帯\r\nTEL;TYPE=HOME:01 23\r\nTEL;TYPE=WORK:01 45\r\n"
        "TEL;TYPE=CELL:06 78\r\nBDAY:--08-21\r\nADR;TYPE=HOME:;;12 Rue de la République;Lyon;;69002;France\r\n"
        "ORG:Acme\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ\r\n AAAQABAAD/2w==\r\nNOTE:a long note that is "
        "fol\r\n"
        " ded\r\nEND:VCARD\r\n";
    WriteFileBytes(dir / "peer.vcf", vobjectCard);
    ShellRun imported = Cli("import " + Path("pals.ybf") + " " + Path("peer.vcf"));
    ASSERT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
    EXPECT_NE(
        imported.out.find("\"dropped\":[{\"address\":\"emilie@example.fr\",\"line\":1,\"items\":[\"ORG: Acme\"]}]"),
        std::string::npos)
        << imported.out;
    const std::vector<CPenPal> pals = PalsOf("pals.ybf");
    ASSERT_EQ(pals.size(), 4u);
    const CPenPal& emilie = pals[3];
    EXPECT_EQ(emilie.m_strName, "?milie Dubois");
    EXPECT_EQ(emilie.m_strMailAddress2, "work@example.fr");
    EXPECT_EQ(emilie.m_strMobileAddress, "mobile@example.fr") << "the labelled item";
    EXPECT_EQ(emilie.m_strTel1, "01 23");
    EXPECT_EQ(emilie.m_strTel2, "06 78") << "the mobile number before a third plain one";
    EXPECT_EQ(emilie.m_strResidence, "12 Rue de la R?publique, Lyon, 69002, France");
    EXPECT_EQ(emilie.m_strMemo, "a long note that is folded");
    // The export gives back what the data file could not hold.
    ASSERT_EQ(Cli("export " + Path("pals.ybf") + " --vcard " + Path("out.vcf")).status, 0);
    const std::string out = ReadFileBytes(dir / "out.vcf");
    for (const char* kept : {"FN:Émilie Dubois", "UID:peer-1", "X-PHONETIC-LAST-NAME:デュボワ", "BDAY:--0821",
                             "EMAIL:third@example.fr", "EMAIL:fourth@example.fr", "TEL;TYPE=voice:01 45", "République"})
        EXPECT_NE(out.find(kept), std::string::npos) << kept;

    // The same pal again, its address in capitals, with a new number and another job: one
    // pal, the empty field filled, the conflict listed and kept (or taken, as asked).
    WriteFileBytes(dir / "again.vcf",
                   "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Emilie D.\r\nEMAIL:EMILIE@Example.FR\r\n"
                   "TITLE:painter\r\nURL:https://emilie.example\r\nEND:VCARD\r\n");
    imported = Cli("import " + Path("pals.ybf") + " " + Path("again.vcf"));
    ASSERT_EQ(imported.status, 0);
    EXPECT_NE(imported.out.find("\"added\":0"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("{\"field\":\"名前\",\"ours\":\"Émilie Dubois\",\"theirs\":\"Emilie D.\"}"),
              std::string::npos)
        << imported.out;
    EXPECT_EQ(PalsOf("pals.ybf")[3].m_strName, "?milie Dubois");
    EXPECT_EQ(PalsOf("pals.ybf")[3].m_strHomePage, "https://emilie.example");
    ASSERT_EQ(Cli("import " + Path("pals.ybf") + " " + Path("again.vcf") + " --merge theirs").status, 0);
    EXPECT_EQ(PalsOf("pals.ybf")[3].m_strName, "Emilie D.");
    EXPECT_EQ(Cli("import " + Path("pals.ybf") + " " + Path("again.vcf") + " --merge mine").status, 2);
}

TEST_F(AddressBookInteropTest, KhardAndAbookCardsComeInWithNothingSilentlyDropped) {
    if (!Have("khard") || !Have("abook")) GTEST_SKIP() << "khard or abook is missing";
    std::filesystem::create_directory(dir / "book");
    WriteFileBytes(dir / "khard.conf", "[addressbooks]\n[[book]]\npath = " + (dir / "book").string() +
                                           "\n[general]\neditor = /bin/true\nmerge_editor = /bin/true\n");
    WriteFileBytes(dir / "in.yaml",
                   "Formatted name : Émilie Dubois\nFirst name : Émilie\nLast name : Dubois\n"
                   "Birthday : 1990-08-21\nPhone :\n    cell : \"06 78\"\n    home : \"01 23\"\n"
                   "    work : \"01 45\"\nEmail :\n    home : emilie@example.fr\n"
                   "    work : work@example.fr\n    other : third@example.org\n"
                   "Organisation : Acme\nNote : première ligne\n");
    ASSERT_EQ(RunShell("HOME=" + Quoted(dir.path().string()) + " khard -c " + Path("khard.conf") + " new -a book -i " +
                       Path("in.yaml") + " >/dev/null 2>&1")
                  .status,
              0);
    WriteFileBytes(dir / "abook.txt",
                   "[format]\nprogram=abook\nversion=0.6.1\n\n[0]\nname=Ann Smith\n"
                   "email=ann@example.com,ann2@example.com,ann3@example.com\nmobile=090-1\n"
                   "phone=03-2\nworkphone=03-3\nnick=annie\naddress=1 Main St\ncity=Springfield\n");
    ASSERT_EQ(RunShell("HOME=" + Quoted(dir.path().string()) + " abook --convert --informat abook --infile " +
                       Path("abook.txt") + " --outformat vcard --outfile " + Path("abook.vcf"))
                  .status,
              0);
    std::string cards = ReadFileBytes(dir / "abook.vcf");
    for (const auto& entry : std::filesystem::directory_iterator(dir / "book")) cards += ReadFileBytes(entry.path());
    WriteFileBytes(dir / "peers.vcf", cards);
    WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
    const ShellRun imported = Cli("import " + Path("empty.ybf") + " " + Path("peers.vcf"));
    ASSERT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
    EXPECT_NE(imported.out.find("\"added\":2"), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("ORG: Acme"), std::string::npos) << imported.out;
    const std::vector<CPenPal> pals = PalsOf("empty.ybf");
    ASSERT_EQ(pals.size(), 2u);
    EXPECT_EQ(pals[0].m_strMobileAddress, "ann3@example.com") << "the third address in the empty slot";
    EXPECT_EQ(pals[0].m_strTel2, "090-1") << "the mobile number before a third plain one";
    EXPECT_EQ(pals[1].m_strTel1, "06 78") << "khard writes the mobile number first";
    EXPECT_EQ(pals[1].m_strTel2, "01 23");
    EXPECT_EQ(pals[1].m_strMobileAddress, "third@example.org");
}

TEST_F(AddressBookInteropTest, WebmailCsvInCodePage932PlacesItsPalsFromTheirResidence) {
    const std::string csv =
        Cp("姓,名,姓（フリガナ）,名（フリガナ）,ニックネーム,メールアドレス,携帯メールアドレス,誕生日,郵便番号,"
           "都道府県,市区町村,"
           "番地,電話番号,メモ\r\n"
           "山田,花子,ヤマダ,ハナコ,はなちゃん,hana@example.jp,hana@docomo.example,1992/04/01,060-0001,北海道,"
           "札幌市中央区,北一条西2-1,011-111-1111,よろしく\r\n");
    WriteFileBytes(dir / "webmail.csv", csv);
    WriteFileBytes(dir / "empty.ybf", std::string(kPalDataMagic));
    const ShellRun imported = Cli("import " + Path("empty.ybf") + " " + Path("webmail.csv"));
    ASSERT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
    EXPECT_NE(imported.out.find("\"dropped\":[]"), std::string::npos) << imported.out;
    const std::vector<CPenPal> pals = PalsOf("empty.ybf");
    ASSERT_EQ(pals.size(), 1u);
    EXPECT_EQ(pals[0].m_strName, Cp("山田 花子"));
    EXPECT_EQ(pals[0].m_strHandleName, Cp("はなちゃん"));
    EXPECT_EQ(pals[0].m_strMobileAddress, "hana@docomo.example");
    EXPECT_EQ(pals[0].m_strTel1, "011-111-1111");
    EXPECT_EQ(pals[0].m_strResidence, Cp("北海道札幌市中央区北一条西2-1"));
    EXPECT_EQ(pals[0].m_strMapName, Cp("北海道"));
    EXPECT_EQ(pals[0].m_dtBirthday, COleDateTime(1992, 4, 1));
    // The readings and the postal code come back out of the record.
    ASSERT_EQ(Cli("export " + Path("empty.ybf") + " --vcard " + Path("out.vcf")).status, 0);
    const std::string out = ReadFileBytes(dir / "out.vcf");
    EXPECT_NE(out.find("N;SORT-AS=\"ヤマダ,ハナコ\":山田;花子;;;"), std::string::npos) << out;
    EXPECT_NE(out.find("ADR;TYPE=home:;;中央区北一条西2-1;札幌市;北海道;060-0001;"), std::string::npos) << out;
    // The old road points to the one that reads it.
    const ShellRun old = Cli("import-csv " + Path("empty.ybf") + " " + Path("webmail.csv"));
    EXPECT_EQ(old.status, 2);
    EXPECT_NE(ReadFileBytes(dir / "stderr.txt").find("vCard・CSV..."), std::string::npos);
}

TEST_F(AddressBookInteropTest, HostileFilesAreRefusedOrReadWithoutLosingAPal) {
    const std::string before = ReadFileBytes(dir / "pals.ybf");
    WriteFileBytes(dir / "zip.vcf", std::string("PK\x03\x04\x14\x00\x00\x00", 8) + std::string(4000, '\x01'));
    std::string photo = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Big\r\nEMAIL:big@example.com\r\nPHOTO;ENCODING=b;TYPE=JPEG:";
    for (int i = 0; i < (50 << 20) / 76; ++i) photo += std::string(76, 'A') + "\r\n ";
    photo += "AA==\r\nEND:VCARD\r\n";
    WriteFileBytes(dir / "photo.vcf", photo);
    std::string wide = "E-mail Address";
    for (int i = 0; i < 10000; ++i) wide += ",c" + std::to_string(i);
    wide += "\r\nwide@example.com" + std::string(10000, ',') + "\r\n";
    WriteFileBytes(dir / "wide.csv", wide);
    // A ZIP named .vcf holds no card: nothing added (or refused outright).
    const ShellRun zip = Cli("import " + Path("pals.ybf") + " " + Path("zip.vcf"));
    EXPECT_TRUE(zip.status == 0 || zip.status == 2) << zip.out;
    EXPECT_EQ(ReadFileBytes(dir / "pals.ybf").size() >= before.size(), true);
    EXPECT_EQ(PalsOf("pals.ybf").size(), 3u);
    // A 50 MB photo is told and left out; the pal comes in without it.
    ShellRun imported = Cli("import " + Path("pals.ybf") + " " + Path("photo.vcf"));
    EXPECT_EQ(imported.status, 0);
    EXPECT_NE(ReadFileBytes(dir / "stderr.txt").find("行目"), std::string::npos);
    // Ten thousand columns: the address taken, the empty ones no trouble.
    imported = Cli("import " + Path("pals.ybf") + " " + Path("wide.csv"));
    EXPECT_EQ(imported.status, 0) << ReadFileBytes(dir / "stderr.txt");
    const std::vector<CPenPal> pals = PalsOf("pals.ybf");
    ASSERT_EQ(pals.size(), 5u);
    EXPECT_EQ(pals[3].m_strMailAddress, "big@example.com");
    EXPECT_EQ(pals[4].m_strMailAddress, "wide@example.com");
}

}  // namespace
