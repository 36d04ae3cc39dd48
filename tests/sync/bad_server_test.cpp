// The check against servers that misbehave: each a scripted socket on 127.0.0.1.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "sync/dovecot_server.h"
#include "sync/imap_check.h"

namespace {

// Accepts one connection, sends `script`, then reads (and ignores) until the client leaves.
class CScriptedServer {
public:
    explicit CScriptedServer(std::string script, bool hangUp = false) : m_script(std::move(script)), m_hangUp(hangUp) {
        m_listen = BindLoopback(m_port, 1);
        m_thread = std::thread([this] { Serve(); });
    }
    ~CScriptedServer() {
        ::shutdown(m_listen, SHUT_RDWR);
        m_thread.join();
        ::close(m_listen);
    }
    std::uint16_t Port() const { return m_port; }

private:
    void Serve() {
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0) return;
        if (!m_script.empty()) (void)!::send(fd, m_script.data(), m_script.size(), MSG_NOSIGNAL);
        char buffer[4096];
        pollfd p{fd, POLLIN, 0};
        while (!m_hangUp && ::poll(&p, 1, 5000) > 0 && ::recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
        ::close(fd);
    }

    std::string m_script;
    bool m_hangUp;
    int m_listen;
    std::uint16_t m_port;
    std::thread m_thread;
};

ImapCheckOptions OptionsFor(std::uint16_t port, int timeoutMs) {
    ImapCheckOptions options;
    options.server = {"127.0.0.1", port, ImapSecurity::StartTls, "u"};
    options.password = "p";
    options.session.timeoutMs = timeoutMs;
    options.addresses = {"pal@example.jp"};
    return options;
}

TEST(BadServer, EachMisbehaviourEndsTheCheckWithItsMessage) {
    struct Case {
        const char* name;
        std::string script;
        ImapFailure failure;
        const char* words;
        bool hangUp = false;
    };
    const Case cases[] = {
        {"garbage instead of a greeting", "HTTP/1.1 400 Bad Request\r\n\r\n", ImapFailure::Protocol, "やり取りに失敗"},
        {"hangs up in the middle of the greeting", "* OK rea", ImapFailure::Protocol, "やり取りに失敗", true},
        {"never answers", "", ImapFailure::TimedOut, "応答がありません"},
        {"announces a literal of 4 GB", "* OK {4294967296}\r\n", ImapFailure::TooLarge, "4294967296 バイト"},
        {"says goodbye instead of a greeting", "* BYE too busy\r\n", ImapFailure::Protocol, "やり取りに失敗"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptedServer server(c.script, c.hangUp);
        CMemorySyncState state;
        CImapCheck check(state);
        // Long enough for a busy machine to run the server's answer; only "never answers" waits it out.
        const CheckOutcome outcome =
            check.Run(OptionsFor(server.Port(), 5000), [](const FetchedMail&) { return true; });
        EXPECT_EQ(outcome.failure, c.failure);
        ASSERT_EQ(outcome.errors.size(), 1u);
        EXPECT_NE(outcome.errors[0].find(c.words), std::string::npos) << outcome.errors[0];
        EXPECT_NE(outcome.errors[0].find("u@127.0.0.1"), std::string::npos) << outcome.errors[0];
    }
}

TEST(BadServer, CancelFromAnotherThreadEndsAWaitAtOnce) {
    CScriptedServer server("* OK ready\r\n");
    CMemorySyncState state;
    CImapCheck check(state);
    const auto start = std::chrono::steady_clock::now();
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        check.Cancel();
    });
    const CheckOutcome outcome = check.Run(OptionsFor(server.Port(), 60000), [](const FetchedMail&) { return true; });
    canceller.join();
    EXPECT_EQ(outcome.failure, ImapFailure::Cancelled);
    // Well before the 60-second time-out, even on a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

}  // namespace
