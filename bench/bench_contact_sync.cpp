// The address book sync through a Radicale of its own on 127.0.0.1, beside vdirsyncer
// syncing the same address book with a local vdir: a first sync of 500 pals (Yubino
// sending them from a data file, and receiving them into an empty one; vdirsyncer
// receiving them into an empty vdir, and sending a vdir of the same cards to an empty
// book) and a sync with nothing changed. Prints seconds.
// Run from the build tree: build/bench/bench_contact_sync
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "contacts/radicale_server.h"
#include "core/cp932.h"
#include "core/yubino_app.h"
#include "storage/pal_data_file.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPals = 500;

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Require(const ShellRun& run, const char* what) {
    if (run.status == 0) return;
    std::fprintf(stderr, "%s failed (%d): %s\n", what, run.status, run.out.c_str());
    std::exit(1);
}

void WritePals(const fs::path& file, int count) {
    FakeUserInterface quiet;
    CYubinoApp app(quiet);
    for (int n = 0; n < count; ++n) {
        CPenPal pal;
        pal.m_strHandleName = "pal" + std::to_string(n);
        pal.m_strMailAddress = "pal" + std::to_string(n) + "@example.jp";
        pal.m_strJob = cp932::FromUtf8("会社員").value_or("");
        pal.m_strResidence = cp932::FromUtf8("東京都千代田区").value_or("");
        pal.m_strMemo = cp932::FromUtf8("手紙の友達です").value_or("");
        app.AddPal(pal);
    }
    WriteFileBytes(file, WritePalData(app));
}

}  // namespace

int main() {
    TempDir dir;
    CRadicaleServer server(dir / "server");
    if (!server.Start() || !server.MakeBook("book") || !server.MakeBook("peer")) {
        std::fputs(server.Log().c_str(), stderr);
        return 1;
    }
    WritePals(dir / "sender.ybf", kPals);
    WritePals(dir / "receiver.ybf", 0);
    WriteFileBytes(dir / "password", server.Password() + "\n");
    fs::permissions(dir / "password", fs::perms::owner_read | fs::perms::owner_write);
    const std::string cli = (fs::path(YUBINO_BENCH_BUILD_DIR) / "yubino-cli").string();
    auto sync = [&](const char* dataFile) {
        return RunShell(Quoted(cli) + " sync-contacts " + Quoted((dir / dataFile).string()) + " --carddav " +
                        server.Url() + " --password-file " + Quoted((dir / "password").string()) + " --ca-file " +
                        Quoted(server.CaFile().string()) + " --book book 2>&1");
    };
    const std::string conf = (dir / "vdirsyncer.conf").string();
    std::string config = "[general]\nstatus_path = \"" + (dir / "status").string() + "/\"\n";
    // "book": the book Yubino filled, into an empty vdir; "peer": a vdir of the same cards
    // into an empty book.
    for (const char* name : {"book", "peer"})
        config += std::string("\n[pair ") + name + "]\na = \"" + name + "_local\"\nb = \"" + name +
                  "_remote\"\ncollections = null\n\n[storage " + name + "_local]\ntype = \"filesystem\"\npath = \"" +
                  (dir / (std::string("vdir-") + name)).string() + "/\"\nfileext = \".vcf\"\n\n[storage " + name +
                  "_remote]\ntype = \"carddav\"\nurl = \"" + server.BookUrl(name) + "\"\nusername = \"" +
                  server.User() + "\"\npassword = \"" + server.Password() + "\"\nverify = \"" +
                  server.CaFile().string() + "\"\n";
    WriteFileBytes(conf, config);
    fs::create_directories(dir / "vdir-book");
    fs::create_directories(dir / "vdir-peer");
    Require(RunShell(Quoted(cli) + " export " + Quoted((dir / "sender.ybf").string()) + " --vcard " +
                     Quoted((dir / "all.vcf").string())),
            "the export");
    const std::string all = ReadFileBytes(dir / "all.vcf");
    for (std::size_t at = 0, n = 0; (at = all.find("BEGIN:VCARD", at)) != std::string::npos; ++n) {
        const std::size_t end = all.find("END:VCARD\r\n", at) + 11;
        WriteFileBytes(dir / "vdir-peer" / ("card" + std::to_string(n) + ".vcf"), all.substr(at, end - at));
        at = end;
    }
    auto vdirsyncer = [&](const char* command) {
        return RunShell("yes | vdirsyncer -c " + Quoted(conf) + " " + command + " 2>&1");
    };

    ShellRun run;
    const double send = Seconds([&] { run = sync("sender.ybf"); });
    Require(run, "the first sync (sending)");
    const double receive = Seconds([&] { run = sync("receiver.ybf"); });
    Require(run, "the first sync (receiving)");
    const double same = Seconds([&] { run = sync("receiver.ybf"); });
    Require(run, "the sync with nothing changed");
    Require(vdirsyncer("discover"), "vdirsyncer discover");
    const double peerFirst = Seconds([&] { run = vdirsyncer("sync book"); });
    Require(run, "vdirsyncer's first sync");
    const double peerSame = Seconds([&] { run = vdirsyncer("sync book"); });
    Require(run, "vdirsyncer's sync with nothing changed");
    const double peerSend = Seconds([&] { run = vdirsyncer("sync peer"); });
    Require(run, "vdirsyncer's first sync (sending)");

    std::printf("%-44s %10s %10s\n", "seconds, 500 pals", "Yubino", "vdirsyncer");
    std::printf("%-44s %10.2f %10.2f\n", "first sync, receiving into an empty side", receive, peerFirst);
    std::printf("%-44s %10.2f %10.2f\n", "first sync, sending to an empty book", send, peerSend);
    std::printf("%-44s %10.2f %10.2f\n", "sync with nothing changed", same, peerSame);
    return 0;
}
