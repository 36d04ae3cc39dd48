// yubino-cli sync-contacts against a Radicale of the test's own, run as a script would run
// it: one data file and one address book carried through the life of a sync.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "archive/mail_archive.h"
#include "contacts/radicale_server.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBook = "contacts";

// Text as the data file holds it.
std::string Cp932(const char* utf8) { return cp932::FromUtf8(utf8).value_or(""); }

std::string Address(int n) { return "pal" + std::to_string(n) + "@example.jp"; }

CPenPal TestPal(int n) {
    CPenPal pal;
    pal.m_strHandleName = "pal" + std::to_string(n);
    pal.m_strMailAddress = Address(n);
    pal.m_strJob = Cp932("会社員");
    pal.m_strResidence = Cp932("東京都");
    return pal;
}

class ContactSyncTest : public testing::Test {
public:
    void SetUp() override {
        server = std::make_unique<CRadicaleServer>(dir / "server");
        ASSERT_TRUE(server->Start()) << server->Log();
        ASSERT_TRUE(server->MakeBook(kBook)) << server->Log();
        WritePals(500);
        WriteFileBytes(dir / "password", server->Password() + "\n");
        fs::permissions(dir / "password", fs::perms::owner_read | fs::perms::owner_write);
    }

    void WritePals(int count) {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        for (int n = 0; n < count; ++n) app.AddPal(TestPal(n));
        WriteFileBytes(DataFile(), WritePalData(app));
    }
    // Changes the data file's table as another session of the program would.
    void EditPals(const std::function<void(CYubinoApp&)>& edit) {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        ReadPalData(app, ReadFileBytes(DataFile()));
        edit(app);
        WriteFileBytes(DataFile(), WritePalData(app));
    }
    std::vector<CPenPal> Pals() {
        FakeUserInterface quiet;
        CYubinoApp app(quiet);
        ReadPalData(app, ReadFileBytes(DataFile()));
        return app.Pals();
    }
    std::optional<CPenPal> Pal(int n) {
        for (const CPenPal& pal : Pals())
            if (pal.m_strMailAddress == Address(n)) return pal;
        return std::nullopt;
    }

    fs::path DataFile() const { return dir / "pals.ybf"; }
    ShellRun Sync(const std::string& more = "") {
        return RunShell(Quoted(YUBINO_CLI_PATH) + " sync-contacts " + Quoted(DataFile().string()) + " --carddav " +
                        server->Url() + " --password-file " + Quoted((dir / "password").string()) + " --ca-file " +
                        Quoted(server->CaFile().string()) + " --book " + kBook + " " + more + " 2>" +
                        Quoted((dir / "stderr").string()));
    }
    // A pal changed here as the import of a card changes it (its revision is now).
    void ChangeHere(int n, const std::string& property, const std::string& value) {
        WriteFileBytes(dir / "change.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:pal" + std::to_string(n) + "\r\nEMAIL:" +
                                               Address(n) + "\r\n" + property + ":" + value + "\r\nEND:VCARD\r\n");
        ASSERT_EQ(RunShell(Quoted(YUBINO_CLI_PATH) + " import " + Quoted(DataFile().string()) + " " +
                           Quoted((dir / "change.vcf").string()) + " --merge theirs")
                      .status,
                  0);
    }
    fs::path CardFile(int n) {
        for (const auto& entry : fs::directory_iterator(server->BookDir(kBook)))
            if (entry.path().extension() == ".vcf" &&
                ReadFileBytes(entry.path()).find(":" + Address(n) + "\r\n") != std::string::npos)
                return entry.path();
        return {};
    }
    std::string CardUrl(int n) { return server->BookUrl(kBook) + CardFile(n).filename().string(); }
    // A card changed on the server as another client changes it: a property's line
    // replaced and the revision set.
    void ChangeThere(int n, const std::string& from, const std::string& to, const std::string& revision) {
        std::string card = ReadFileBytes(CardFile(n));
        card = std::regex_replace(card, std::regex(from), to);
        card = std::regex_replace(card, std::regex("REV:[^\r]*"), "REV:" + revision);
        WriteFileBytes(dir / "there.vcf", card);
        ASSERT_EQ(RunShell("curl " + server->CurlOptions() + " -o /dev/null -w '%{http_code}' -T " +
                           Quoted((dir / "there.vcf").string()) + " " + Quoted(CardUrl(n)))
                      .out,
                  "201");
    }
    void DeleteThere(int n) {
        ASSERT_EQ(RunShell("curl " + server->CurlOptions() + " -o /dev/null -w '%{http_code}' -X DELETE " +
                           Quoted(CardUrl(n)))
                      .out,
                  "200");
    }
    // The archive's sync token set to the server's current one: the next sync lists no
    // change, so a card changed there meanwhile is met only when a write is refused.
    void ForgetServerChanges() {
        const std::string body =
            "<sync-collection xmlns=\"DAV:\"><sync-token/><sync-level>1</sync-level><prop/></sync-collection>";
        const ShellRun report = RunShell("curl " + server->CurlOptions() + " -X REPORT -H 'Depth: 0' --data " +
                                         Quoted(body) + " " + Quoted(server->BookUrl(kBook)));
        std::smatch token;
        ASSERT_TRUE(std::regex_search(report.out, token, std::regex("<sync-token>([^<]*)</sync-token>"))) << report.out;
        CMailArchive archive;
        ASSERT_EQ(archive.Open(CMailArchive::PathFor(DataFile()), false).status, CMailArchive::OpenStatus::Opened);
        const std::string key =
            "carddav|https://127.0.0.1:" + std::to_string(server->Port()) + "/pal/" + kBook + "/|token";
        ASSERT_TRUE(archive.WriteSettings({{key, token[1].str()}}).Ok());
    }

    TempDir dir;
    std::unique_ptr<CRadicaleServer> server;
};

// How many entries a JSON array of the sync's result holds.
int Count(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":[");
    if (at == std::string::npos) return -1;
    const std::size_t end = json.find(']', at);
    const std::string items = json.substr(at + key.size() + 4, end - at - key.size() - 4);
    if (items.empty()) return 0;
    return key == "conflicts" ? static_cast<int>(std::count(items.begin(), items.end(), '{'))
                              : static_cast<int>(std::count(items.begin(), items.end(), ',')) + 1;
}

struct Expected {
    int status, added, updated, deleted, conflicts, uploaded;
    std::size_t serverCards, pals;
};

struct Step {
    const char* name;
    std::function<void(ContactSyncTest&)> before;
    std::string options;
    Expected expected;
    std::function<void(ContactSyncTest&, const std::string& out)> check;
};

TEST_F(ContactSyncTest, KeepsBothSidesTheSameThroughTheLifeOfASync) {
    const std::vector<Step> steps = {
        {"first sync sends every pal", {}, "", {0, 0, 0, 0, 0, 500, 500, 500}, {}},
        {"nothing changed", {}, "", {0, 0, 0, 0, 0, 0, 500, 500}, {}},
        {"a pal changed on each side",
         [](ContactSyncTest& t) {
             t.ChangeHere(1, "TITLE", "教師");
             t.ChangeThere(2, "TITLE:会社員", "TITLE:医師", "20300101T000000Z");
         },
         "",
         {0, 0, 1, 0, 0, 1, 500, 500},
         [](ContactSyncTest& t, const std::string&) {
             EXPECT_EQ(t.Pal(2)->m_strJob, Cp932("医師"));
             EXPECT_NE(ReadFileBytes(t.CardFile(1)).find("TITLE:教師"), std::string::npos);
         }},
        {"the same field changed on both: the newer revision wins, the other value goes to the memo",
         [](ContactSyncTest& t) {
             t.ChangeHere(3, "TITLE", "弁護士");
             t.ChangeThere(3, "TITLE:会社員", "TITLE:画家", "20000101T000000Z");
         },
         "",
         {0, 0, 1, 0, 1, 1, 500, 500},
         [](ContactSyncTest& t, const std::string& out) {
             EXPECT_EQ(t.Pal(3)->m_strJob, Cp932("弁護士"));
             EXPECT_NE(t.Pal(3)->m_strMemo.find(Cp932("画家")), std::string::npos);
             EXPECT_NE(out.find("\"kept\":\"弁護士\",\"other\":\"画家\""), std::string::npos) << out;
             EXPECT_NE(ReadFileBytes(t.CardFile(3)).find("TITLE:弁護士"), std::string::npos);
         }},
        {"deletions both ways",
         [](ContactSyncTest& t) {
             t.DeleteThere(4);
             t.EditPals([](CYubinoApp& app) { app.DeletePal(Address(5)); });
         },
         "",
         {0, 0, 0, 1, 0, 0, 498, 498},
         [](ContactSyncTest& t, const std::string&) {
             EXPECT_FALSE(t.Pal(4));
             EXPECT_TRUE(t.CardFile(5).empty());
         }},
        {"more than ten deletions are refused",
         [](ContactSyncTest& t) {
             for (int n = 10; n < 21; ++n) t.DeleteThere(n);
         },
         "",
         {1, 0, 0, 0, 0, 0, 487, 498},
         {}},
        {"and made when forced", {}, "--force", {0, 0, 0, 11, 0, 0, 487, 487}, {}},
        {"a write refused because the card changed meanwhile is merged and written again",
         [](ContactSyncTest& t) {
             t.ChangeThere(30, "TITLE:会社員", "TITLE:歌手", "20300101T000000Z");
             t.ForgetServerChanges();
             t.ChangeHere(30, "NICKNAME", "うたひめ");
         },
         "",
         {0, 0, 1, 0, 0, 1, 487, 487},
         [](ContactSyncTest& t, const std::string&) {
             EXPECT_EQ(t.Pal(30)->m_strJob, Cp932("歌手"));
             const std::string card = ReadFileBytes(t.CardFile(30));
             EXPECT_NE(card.find("TITLE:歌手"), std::string::npos);
             EXPECT_NE(card.find("うたひめ"), std::string::npos) << card;
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.before) step.before(*this);
        const ShellRun run = Sync(step.options);
        const Expected& e = step.expected;
        EXPECT_EQ(run.status, e.status) << ReadFileBytes(dir / "stderr") << run.out;
        if (e.status == 0) {
            EXPECT_EQ(Count(run.out, "added"), e.added) << run.out;
            EXPECT_EQ(Count(run.out, "updated"), e.updated) << run.out;
            EXPECT_EQ(Count(run.out, "deleted"), e.deleted) << run.out;
            EXPECT_EQ(Count(run.out, "conflicts"), e.conflicts) << run.out;
            EXPECT_NE(run.out.find("\"uploaded\":" + std::to_string(e.uploaded) + "}"), std::string::npos) << run.out;
        }
        EXPECT_EQ(server->CardCount(kBook), e.serverCards);
        EXPECT_EQ(Pals().size(), e.pals);
        if (step.check) step.check(*this, run.out);
    }
}

// The server killed while the first sync sends the pals: the next sync sends the rest,
// and no card is made twice.
TEST_F(ContactSyncTest, ASyncCutOffGoesOnWithNothingLostOrDoubled) {
    ShellRun cut;
    std::thread first([&] { cut = Sync(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (server->CardCount(kBook) < 100 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server->Kill();
    first.join();
    EXPECT_EQ(cut.status, 1);
    ASSERT_TRUE(server->Start()) << server->Log();
    const ShellRun resumed = Sync();
    EXPECT_EQ(resumed.status, 0) << ReadFileBytes(dir / "stderr");
    EXPECT_EQ(Count(resumed.out, "added"), 0) << resumed.out;
    EXPECT_EQ(server->CardCount(kBook), 500u);
    EXPECT_EQ(Pals().size(), 500u);
    const ShellRun again = Sync();
    EXPECT_NE(again.out.find("\"uploaded\":0}"), std::string::npos) << again.out;
}

TEST_F(ContactSyncTest, ServerRefusalsAreToldAndChangeNothing) {
    struct Case {
        const char* name;
        std::string options;
        const char* told;
    };
    const std::vector<Case> cases = {
        {"certificate not trusted", "--ca-file /dev/null", "連絡先を同期できませんでした"},
        {"fingerprint not the server's", "--trust-fingerprint 00:11", "フィンガープリント"},
        {"no such book", "--ca-file " + Quoted(server->CaFile().string()) + " --book nothing", "アドレス帳: contacts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ShellRun run = RunShell(Quoted(YUBINO_CLI_PATH) + " sync-contacts " + Quoted(DataFile().string()) +
                                      " --carddav " + server->Url() + " --password-file " +
                                      Quoted((dir / "password").string()) + " " + c.options + " 2>&1");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.out.find(c.told), std::string::npos) << run.out;
        EXPECT_EQ(server->CardCount(kBook), 0u);
        EXPECT_EQ(Pals().size(), 500u);
    }
}

}  // namespace
