// The check against servers that misbehave, each played by a scripted server on 127.0.0.1:
// every misbehaviour ends the check within its bound of time and memory, with a message
// that says what happened, and no mail is skipped for good.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/memory_watch.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/folder_name.h"
#include "sync/imap_check.h"
#include "sync/scripted_imap_server.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kPal = "pal@example.jp";
constexpr const char* kMe = "me@example.org";
constexpr long kMemoryBoundBytes = 100L * 1024 * 1024;

ImapCheckOptions OptionsFor(std::uint16_t port) {
    ImapCheckOptions options;
    options.server = {"127.0.0.1", port, ImapSecurity::StartTls, "u"};
    options.password = "p";
    options.addresses = {kPal};
    options.folders = {"INBOX"};
    return options;
}

struct Checked {
    CheckOutcome outcome;
    std::vector<FetchedMail> taken;
};

Checked RunCheck(CSyncStateStore& state, const ImapCheckOptions& options) {
    Checked checked;
    CImapCheck check(state);
    checked.outcome = check.Run(options, [&](const FetchedMail& mail) {
        checked.taken.push_back(mail);
        return true;
    });
    return checked;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

TEST(BadServer, EachMisbehaviourEndsTheCheckInTimeAndMemoryWithItsMessage) {
    struct Case {
        const char* name;
        ServerScript script;
        void (*tune)(ImapCheckOptions&);
        ImapFailure failure;
        const char* words;
    };
    auto quick = [](ImapCheckOptions& o) { o.session.timeoutMs = 300; };
    auto none = [](ImapCheckOptions&) {};
    auto slowCommand = [](ImapCheckOptions& o) { o.session.commandTimeoutMs = 1000; };
    auto slowCheck = [](ImapCheckOptions& o) { o.session.checkTimeoutMs = 1500; };
    const Case cases[] = {
        {"a web server",
         {.greeting = "HTTP/1.1 400 Bad Request\r\n\r\n"},
         none,
         ImapFailure::NotImap,
         "IMAP サーバーではない"},
        {"an SSH server", {.greeting = "SSH-2.0-OpenSSH_9.2p1\r\n"}, none, ImapFailure::NotImap, "SSH-2.0"},
        {"hangs up in the middle of the greeting",
         {.greeting = "* OK rea", .closeAfterGreeting = true},
         none,
         ImapFailure::ClosedAtLogin,
         "ログインの途中"},
        {"says goodbye instead of a greeting",
         {.greeting = "* BYE too busy\r\n"},
         none,
         ImapFailure::Protocol,
         "too busy"},
        {"never answers", {.silent = true}, quick, ImapFailure::TimedOut, "応答がありません"},
        {"a line that never ends", {.endlessLine = true}, none, ImapFailure::TooLong, "応答が長すぎる"},
        {"a literal of 99,999,999,999 bytes",
         {.thenOnly = "* 1 FETCH (BODY[] {99999999999}\r\n"},
         none,
         ImapFailure::TooLarge,
         "99999999999 バイト"},
        {"a literal that never arrives",
         {.thenOnly = "* 1 FETCH (BODY[] {100}\r\nonly a part"},
         quick,
         ImapFailure::TimedOut,
         "応答がありません"},
        {"junk between answers", {.junkBetween = true}, none, ImapFailure::Protocol, "読めない応答"},
        // Response codes the protocol library crashes on are refused before it reads them.
        {"a flag list cut after its parenthesis",
         {.thenOnly = "* OK [PERMANENTFLAGS (\r\n1 OK done\r\n"},
         none,
         ImapFailure::Protocol,
         "読めない応答: 「* OK [PERMANENTFLAGS (」"},
        {"a greeting whose code is never closed",
         {.greeting = "* OK [CAPABILITY IMAP4rev1\r\n"},
         none,
         ImapFailure::Protocol,
         "「* OK [CAPABILITY IMAP4rev1」"},
        {"a greeting carrying flags",
         {.greeting = "* OK [PERMANENTFLAGS (\\Seen)] ready\r\n"},
         none,
         ImapFailure::Protocol,
         "[PERMANENTFLAGS (\\Seen)]"},
        {"an alert without its text", {.thenOnly = "1 NO [ALERT]\r\n"}, none, ImapFailure::Protocol, "[ALERT]"},
        {"two BADCHARSET lists in one answer",
         {.thenOnly = "* NO [BADCHARSET (A)] x\r\n1 NO [BADCHARSET (B)] y\r\n"},
         none,
         ImapFailure::Protocol,
         "[BADCHARSET (B)]"},
        {"closes after the login",
         {.closeAfterLogin = true},
         none,
         ImapFailure::Closed,
         "サーバーとの接続が途中で切れました。次の確認で続きから取り込みます。"},
        {"one byte a tick: the command's deadline", {.bytesPerTick = 1}, slowCommand, ImapFailure::TooSlow, "遅すぎる"},
        {"one byte a tick: the check's deadline", {.bytesPerTick = 1}, slowCheck, ImapFailure::TooSlow, "遅すぎる"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedImapServer server(c.script);
        ImapCheckOptions options = OptionsFor(server.Port());
        c.tune(options);
        CMemorySyncState state;
        const CMemoryWatch memory;
        const Clock::time_point start = Clock::now();
        const Checked checked = RunCheck(state, options);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
        EXPECT_LT(memory.GrowthBytes(), kMemoryBoundBytes);
        EXPECT_EQ(checked.outcome.failure, c.failure);
        ASSERT_EQ(checked.outcome.errors.size(), 1u) << Joined(checked.outcome.errors);
        const std::string& error = checked.outcome.errors[0];
        EXPECT_NE(error.find(c.words), std::string::npos) << error;
        EXPECT_NE(error.find("u@127.0.0.1"), std::string::npos) << error;
        EXPECT_EQ(error.find("()"), std::string::npos) << error;
        EXPECT_EQ(error.find('\r'), std::string::npos) << error;
        EXPECT_TRUE(checked.taken.empty());
    }
}

TEST(BadServer, CancelFromAnotherThreadEndsAWaitAtOnce) {
    CScriptedImapServer server({.thenOnly = "* OK still thinking\r\n"});
    CMemorySyncState state;
    CImapCheck check(state);
    ImapCheckOptions options = OptionsFor(server.Port());
    options.session.timeoutMs = 600000;
    CheckOutcome outcome;
    std::thread checking([&] { outcome = check.Run(options, [](const FetchedMail&) { return true; }); });
    // Once the client waits for its first answer.
    for (const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(60);
         server.Commands().empty() && Clock::now() < giveUp;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Clock::time_point cancelled = Clock::now();
    check.Cancel();
    checking.join();
    EXPECT_EQ(outcome.failure, ImapFailure::Cancelled);
    EXPECT_LT(Clock::now() - cancelled, std::chrono::seconds(30));
}

// openssl's test server speaking only TLS 1.0, with the certificate of a Dovecot that is
// never started.
class COldTlsServer {
public:
    explicit COldTlsServer(const std::filesystem::path& dir) : m_dovecot(dir) {
        ::close(BindLoopback(m_port));
        const std::string accept = "127.0.0.1:" + std::to_string(m_port);
        const std::string cert = (dir / "server.pem").string(), key = (dir / "server.key").string();
        m_pid = ::fork();
        if (m_pid == 0) {
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            ::execlp("openssl", "openssl", "s_server", "-quiet", "-accept", accept.c_str(), "-tls1", "-cipher",
                     "DEFAULT:@SECLEVEL=0", "-cert", cert.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~COldTlsServer() {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    // Once it takes connections (or has died).
    bool Listening() const {
        for (const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(60); Clock::now() < giveUp;) {
            if (AcceptsOnLoopback(m_port)) return true;
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    std::uint16_t Port() const { return m_port; }

private:
    CDovecotServer m_dovecot;
    std::uint16_t m_port = 0;
    pid_t m_pid = -1;
};

TEST(BadServer, AServerOfferingOnlyTls10IsRefusedBeforeTheLogin) {
    TempDir dir;
    COldTlsServer server(dir.path());
    ASSERT_TRUE(server.Listening());
    ImapCheckOptions options = OptionsFor(server.Port());
    options.server.security = ImapSecurity::Tls;
    options.session.trust.caFile = (dir / "ca.pem").string();
    CMemorySyncState state;
    const Checked checked = RunCheck(state, options);
    EXPECT_EQ(checked.outcome.failure, ImapFailure::OldTls);
    ASSERT_EQ(checked.outcome.errors.size(), 1u);
    EXPECT_NE(checked.outcome.errors[0].find("TLS 1.2 より古い"), std::string::npos) << checked.outcome.errors[0];
}

// A mailbox of three mails of the pal's, served by a server that misbehaves in `script`.
struct MailServer {
    explicit MailServer(ServerScript script) : server(std::move(script)) {
        for (int i = 1; i <= 3; ++i) server.AddMail("INBOX", TestMail(kPal, kMe, i));
    }
    Checked Check() { return RunCheck(state, OptionsFor(server.Port())); }
    std::uint32_t SyncedTo() {
        const std::optional<SyncPoint> point = state.Load(ImapAccountKey(OptionsFor(server.Port()).server), "INBOX");
        return point ? point->lastUid : 0;
    }
    CScriptedImapServer server;
    CMemorySyncState state;
};

TEST(BadServer, AFetchAnsweredWithoutTheMailIsAskedAgainThenToldAndNeverPassed) {
    struct Case {
        const char* name;
        int bareFetches;
        std::size_t fetched;
        std::size_t errors;
    };
    const Case cases[] = {
        {"once: the second asking brings them", 1, 3, 0},
        {"twice: each mail is told, and the next check brings them", 2, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MailServer mailbox({.bareFetches = c.bareFetches});
        const Checked first = mailbox.Check();
        EXPECT_EQ(first.outcome.fetched, c.fetched);
        ASSERT_EQ(first.outcome.errors.size(), c.errors) << Joined(first.outcome.errors);
        if (c.errors) {
            EXPECT_NE(first.outcome.errors[0].find("送ってこなかった"), std::string::npos) << first.outcome.errors[0];
            EXPECT_EQ(mailbox.SyncedTo(), 0u);
        }
        const Checked next = mailbox.Check();
        EXPECT_TRUE(next.outcome.Ok()) << Joined(next.outcome.errors);
        EXPECT_EQ(first.outcome.fetched + next.outcome.fetched, 3u);
        EXPECT_EQ(mailbox.SyncedTo(), 3u);
    }
}

TEST(BadServer, AMailLeftOutInTheMiddleHoldsTheSyncPointBeforeIt) {
    // The server never gives the second mail: the third is kept, the point stays at the first.
    MailServer mailbox({.withheldUid = 2});
    for (int check = 0; check < 2; ++check) {
        SCOPED_TRACE(check);
        const Checked checked = mailbox.Check();
        ASSERT_EQ(checked.outcome.errors.size(), 1u) << Joined(checked.outcome.errors);
        EXPECT_NE(checked.outcome.errors[0].find("UID 2"), std::string::npos) << checked.outcome.errors[0];
        ASSERT_FALSE(checked.taken.empty());
        EXPECT_EQ(checked.taken.back().uid, 3u);
        EXPECT_EQ(checked.taken.back().point.lastUid, 1u);
        EXPECT_EQ(mailbox.SyncedTo(), 1u);
    }
}

TEST(BadServer, OddAnswersToSearchAndFetchTakeEachMailOnceAndNoOther) {
    struct Case {
        const char* name;
        ServerScript script;
        std::size_t secondCheck;
    };
    const Case cases[] = {
        {"FETCH answers with a mail not asked for", {.foreignUids = true}, 0},
        {"SEARCH answers UID 0 and 4294967295", {.extremeUids = true}, 0},
        {"UIDVALIDITY is new every time: all again, bounded", {.newValidityEachTime = true}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MailServer mailbox(c.script);
        const CMemoryWatch memory;
        const Checked first = mailbox.Check();
        EXPECT_TRUE(first.outcome.Ok()) << Joined(first.outcome.errors);
        ASSERT_EQ(first.taken.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(first.taken[i].uid, i + 1);
        const Checked second = mailbox.Check();
        EXPECT_TRUE(second.outcome.Ok()) << Joined(second.outcome.errors);
        EXPECT_EQ(second.outcome.fetched, c.secondCheck);
        EXPECT_LT(memory.GrowthBytes(), kMemoryBoundBytes);
    }
}

// After an answer the protocol library could not read, it has lost its place in the
// server's bytes: the check ends there, whichever command met it.
TEST(BadServer, AnUnreadableStatusAnswerEndsTheCheckThere) {
    MailServer mailbox({.statusData = "* STATUS INBOX (UIDNEXT\r\n"});
    mailbox.state.Save(ImapAccountKey(OptionsFor(mailbox.server.Port()).server), "INBOX", {7, 1});
    const Checked checked = mailbox.Check();
    EXPECT_EQ(checked.outcome.failure, ImapFailure::Protocol);
    ASSERT_EQ(checked.outcome.errors.size(), 1u) << Joined(checked.outcome.errors);
    EXPECT_NE(checked.outcome.errors[0].find("読めない応答"), std::string::npos) << checked.outcome.errors[0];
    const std::vector<std::string> commands = mailbox.server.Commands();
    EXPECT_TRUE(std::none_of(commands.begin(), commands.end(), [](const std::string& c) {
        return c.find("LIST") != std::string::npos;
    })) << Joined(commands);
}

// The protocol library once read a list of capabilities such a server never sent.
TEST(BadServer, AServerThatNeverListsItsCapabilitiesIsCheckedAllTheSame) {
    MailServer mailbox({.greeting = "* OK ready\r\n", .listsCapabilities = false});
    const Checked checked = mailbox.Check();
    EXPECT_TRUE(checked.outcome.Ok()) << Joined(checked.outcome.errors);
    EXPECT_EQ(checked.outcome.fetched, 3u);
}

TEST(BadServer, AServerThatRenumbersAfterAnAppendIsReadInFullAgain) {
    MailServer mailbox({});
    EXPECT_EQ(mailbox.Check().outcome.fetched, 3u);
    mailbox.server.AddMail("INBOX", TestMail(kPal, kMe, 4));
    mailbox.server.Renumber("INBOX");
    const Checked again = mailbox.Check();
    EXPECT_TRUE(again.outcome.Ok()) << Joined(again.outcome.errors);
    ASSERT_EQ(again.taken.size(), 4u);
    EXPECT_EQ(again.taken.back().bytes, TestMail(kPal, kMe, 4));
    EXPECT_EQ(mailbox.Check().outcome.fetched, 0u);
}

TEST(BadServer, MailsComeInBatchesNotOneCommandEach) {
    CScriptedImapServer server({});
    for (int i = 1; i <= 450; ++i) server.AddMail("INBOX", TestMail(kPal, kMe, i));
    CMemorySyncState state;
    const Checked checked = RunCheck(state, OptionsFor(server.Port()));
    EXPECT_TRUE(checked.outcome.Ok()) << Joined(checked.outcome.errors);
    EXPECT_EQ(checked.outcome.fetched, 450u);
    std::size_t bodyFetches = 0;
    for (const std::string& command : server.Commands())
        if (command.find("BODY.PEEK[]") != std::string::npos) ++bodyFetches;
    EXPECT_LE(bodyFetches, 3u);
}

// Without SPECIAL-USE the Sent folder is found by its name; a flagged folder wins.
TEST(BadServer, TheSentFolderIsFoundByItsNameWhereNoFolderIsFlagged) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> folders;  // UTF-8 name, flags
        std::vector<std::string> checked;
    };
    const Case cases[] = {
        {"Sent", {{"Sent", ""}, {"Archive", ""}}, {"INBOX", "Sent"}},
        {"送信済み", {{"送信済み", ""}, {"下書き", ""}}, {"INBOX", "送信済み"}},
        {"Sent Items under INBOX", {{"INBOX/Sent Items", ""}}, {"INBOX", "INBOX/Sent Items"}},
        {"Sent deeper down is someone's archive", {{"Old/Sent", ""}}, {"INBOX"}},
        {"a flagged folder wins", {{"Sent", ""}, {"Outbox", "\\Sent"}}, {"INBOX", "Outbox"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedImapServer server({});
        for (const auto& [name, flags] : c.folders) {
            const std::string wire = *FolderNameToImap(name);
            server.AddFolder(wire, flags);
            server.AddMail(wire, TestMail(kMe, kPal, 1));
        }
        CMemorySyncState state;
        ImapCheckOptions options = OptionsFor(server.Port());
        options.folders.clear();
        const Checked checked = RunCheck(state, options);
        EXPECT_TRUE(checked.outcome.Ok()) << Joined(checked.outcome.errors);
        EXPECT_EQ(checked.outcome.folders, c.checked);
        EXPECT_EQ(checked.outcome.fromSentFolders, c.checked.size() - 1);
    }
}

}  // namespace
