// The mailbox check through a Dovecot of its own on 127.0.0.1: the first check of a
// folder of 10,000 mails (2,000 from or to pals; and a Sent folder of 3,000 to others)
// beside mbsync copying the INBOX to a Maildir, both also through a proxy that adds a
// server round trip of 40 ms; and a check that finds nothing new.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <utility>

#include "delaying_proxy.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/imap_check.h"

namespace {

constexpr int kMails = 10000;
constexpr int kPals = 300;
constexpr int kSentMails = 3000;
// Each way: a round trip of twice this, as to a server across the country.
constexpr std::chrono::milliseconds kDelayEachWay{20};

struct Fixture {
    TempDir dir;
    std::unique_ptr<CDovecotServer> server;
    std::unique_ptr<CDelayingProxy> proxy;
    ImapCheckOptions options;

    Fixture() {
        server = std::make_unique<CDovecotServer>(dir.path());
        for (int p = 0; p < kPals; ++p) options.addresses.push_back("pal" + std::to_string(p) + "@example.jp");
        // Mails of about 3 KB; every fifth is from or to a pal.
        for (int i = 0; i < kMails; ++i) {
            const std::string pal = options.addresses[static_cast<std::size_t>(i % kPals)];
            const std::string stranger = "someone" + std::to_string(i) + "@example.com";
            server->AddMail("", i % 5 == 0 ? TestMail(pal, "me@example.org", i, 3000)
                                           : TestMail(stranger, "me@example.org", i, 3000));
        }
        // A Sent folder of some size too (to strangers only): a check with nothing new asks
        // its STATUS as well.
        for (int i = 0; i < kSentMails; ++i)
            server->AddMail(
                CDovecotServer::kSentFolder,
                TestMail("me@example.org", "friend" + std::to_string(i) + "@example.com", kMails + i, 3000));
        if (!server->Start()) {
            std::fputs(server->Log().c_str(), stderr);
            std::abort();
        }
        proxy = std::make_unique<CDelayingProxy>(server->ImapsPort(), kDelayEachWay);
        options.server = *ParseImapUrl(server->ImapsUrl());
        options.password = server->Password();
        options.session.trust.caFile = server->CaFile().string();
        WriteMbsyncConfig();
    }

    // Channel "all" straight to the server, "delayed" through the proxy.
    void WriteMbsyncConfig() {
        const std::string d = dir.path().string();
        // FSync off: mbsync at its fastest, as the check itself syncs nothing to disk.
        std::ofstream out(dir / "mbsyncrc");
        out << "FSync no\n\nMaildirStore local\nPath " << d << "/copy/\nInbox " << d << "/copy/INBOX\n";
        for (const auto& [name, port] : {std::pair<std::string, std::uint16_t>{"all", server->ImapsPort()},
                                         std::pair<std::string, std::uint16_t>{"delayed", proxy->Port()}}) {
            out << "\nIMAPAccount " << name << "\nHost 127.0.0.1\nPort " << port << "\nUser " << server->User()
                << "\nPass " << server->Password() << "\nSSLType IMAPS\nCertificateFile " << server->CaFile().string()
                << "\n\nIMAPStore " << name << "-remote\nAccount " << name << "\n\nChannel " << name
                << "\nFar :" << name << "-remote:\nNear :local:\nPatterns INBOX\nCreate Near\nSync Pull\nSyncState *\n";
        }
    }

    ImapCheckOptions Through(bool delayed) const {
        ImapCheckOptions through = options;
        if (delayed) through.server.port = proxy->Port();
        return through;
    }

    std::size_t Check(CSyncStateStore& state, bool delayed = false) {
        CImapCheck check(state);
        std::size_t bytes = 0;
        const CheckOutcome outcome = check.Run(Through(delayed), [&](const FetchedMail& mail) {
            bytes += mail.bytes.size();
            return true;
        });
        if (!outcome.Ok()) {
            for (const std::string& error : outcome.errors) std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return outcome.fetched;
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// Argument: the round trip added, in milliseconds (0 or 40).
void BM_FirstCheck(benchmark::State& state) {
    Fixture& f = Shared();
    std::size_t fetched = 0;
    for (auto _ : state) {
        CMemorySyncState sync;
        fetched = f.Check(sync, state.range(0) > 0);
    }
    state.counters["fetched"] = static_cast<double>(fetched);
}
BENCHMARK(BM_FirstCheck)
    ->ArgName("rtt_ms")
    ->Arg(0)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_MbsyncCopiesTheFolder(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string command =
        "mbsync -q -c '" + (f.dir / "mbsyncrc").string() + "' " + (state.range(0) > 0 ? "delayed" : "all");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(f.dir / "copy");
        std::filesystem::create_directories(f.dir / "copy");
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) state.SkipWithError("mbsync failed");
    }
}
BENCHMARK(BM_MbsyncCopiesTheFolder)
    ->ArgName("rtt_ms")
    ->Arg(0)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

void BM_CheckWithNothingNew(benchmark::State& state) {
    Fixture& f = Shared();
    CMemorySyncState sync;
    f.Check(sync);
    for (auto _ : state) {
        if (f.Check(sync) != 0) state.SkipWithError("found new mail");
    }
}
BENCHMARK(BM_CheckWithNothingNew)->Unit(benchmark::kMillisecond)->UseRealTime();

// What any client pays before it can ask anything: TCP, TLS, greeting and login.
void BM_ConnectAndLogIn(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        CCancelToken cancel;
        CImapSession session(cancel, f.options.session);
        if (!session.Open(f.options.server, f.options.password)) state.SkipWithError("no login");
    }
}
BENCHMARK(BM_ConnectAndLogIn)->Unit(benchmark::kMillisecond)->UseRealTime();

// The server's part of a check, step by step after the login: what each costs Dovecot on a
// folder of 10,000 mails. (STATUS after a LIST in the same session costs as much as EXAMINE
// of the whole folder: Dovecot then reads it instead of answering from its index. So does a
// STATUS of INBOX after any other folder's.)
void BM_ServerStep(benchmark::State& state) {
    Fixture& f = Shared();
    const int step = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        CCancelToken cancel;
        CImapSession session(cancel, f.options.session);
        if (!session.Open(f.options.server, f.options.password)) state.SkipWithError("no login");
        state.ResumeTiming();
        const bool ok = step == 0   ? session.ListFolders().has_value()
                        : step == 1 ? session.Status("INBOX").has_value()
                                    : session.Examine("INBOX").has_value();
        if (!ok) state.SkipWithError("refused");
    }
}
BENCHMARK(BM_ServerStep)
    ->ArgName("list0_status1_examine2")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
