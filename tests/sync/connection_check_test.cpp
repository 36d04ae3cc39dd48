// "接続を確認" and the first check's reach, against a real Dovecot started by each test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include "support/temp_dir.h"
#include "sync/connection_test.h"
#include "sync/dovecot_test.h"
#include "sync/imap_check.h"
#include "sync/mailbox_sources.h"

namespace {

class ConnectionCheckTest : public DovecotTest {
protected:
    // The test's server over SSL/TLS, its certificate verified by the test's CA.
    MailAccount Account() const {
        MailAccount account;
        account.server = *ParseImapUrl(server->ImapsUrl());
        account.caFile = server->CaFile().string();
        return account;
    }

    ConnectionReport Test(const MailAccount& account, const std::string& password) {
        if (std::optional<ConnectionReport> refused = RefuseBeforeConnecting(account.server)) return *refused;
        CCancelToken cancel;
        ImapSessionOptions options = SessionOptionsFor(account);
        options.timeoutMs = 120 * 1000;  // a busy machine
        return DescribeConnectionTest(account.server, TestImapConnection(account.server, password, options, cancel));
    }
};

TEST_F(ConnectionCheckTest, ToldInTheUsersWordsWhatWasFoundOrWhatFailed) {
    server->AddMail("", TestMail("pal@example.jp", "me@example.org", 1));
    server->AddMail("", TestMail("pal@example.jp", "me@example.org", 2));
    std::uint16_t closedPort = 0;
    const int bound = BindLoopback(closedPort);  // bound, never listening: refused
    ASSERT_GE(bound, 0);
    struct Case {
        const char* name;
        void (*change)(MailAccount&, std::uint16_t closedPort);
        std::string password;  // empty: the right one
        ConnectionVerdict verdict;
        const char* told;
    };
    const Case cases[] = {
        {"everything right", [](MailAccount&, std::uint16_t) {}, "", ConnectionVerdict::Ok,
         "接続できました。フォルダーが 2 個あり、受信トレイ (INBOX) のメールは 2 通です。"},
        {"wrong password", [](MailAccount&, std::uint16_t) {}, "wrong", ConnectionVerdict::Login,
         "サーバーがログインを断りました。ユーザー名とパスワードを確かめてください"},
        {"nothing listening", [](MailAccount& a, std::uint16_t port) { a.server.port = port; }, "",
         ConnectionVerdict::Refused, "のポート"},
        {"no such host", [](MailAccount& a, std::uint16_t) { a.server.host = "no-such-host.invalid"; }, "",
         ConnectionVerdict::HostUnknown, "サーバー \"no-such-host.invalid\" が見つかりません。"},
        {"no host typed", [](MailAccount& a, std::uint16_t) { a.server.host = "  "; }, "", ConnectionVerdict::NoHost,
         "サーバー名を入力してください。"},
        {"certificate of an unknown CA", [](MailAccount& a, std::uint16_t) { a.caFile.clear(); }, "",
         ConnectionVerdict::Certificate, "発行先: CN=127.0.0.1\n発行者: CN=Yubino Test CA\n有効期間: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MailAccount account = Account();
        c.change(account, closedPort);
        const ConnectionReport report = Test(account, c.password.empty() ? server->Password() : c.password);
        EXPECT_EQ(report.verdict, c.verdict) << report.message;
        EXPECT_NE(report.message.find(c.told), std::string::npos) << report.message;
        EXPECT_EQ(report.fingerprintToTrust.empty(), c.verdict != ConnectionVerdict::Certificate);
    }
    ::close(bound);
}

TEST_F(ConnectionCheckTest, ACertificateTrustedByItsFingerprintIsTakenByTheTestAndTheCheck) {
    MailAccount account = Account();
    account.caFile.clear();
    const ConnectionReport refused = Test(account, server->Password());
    ASSERT_EQ(refused.verdict, ConnectionVerdict::Certificate) << refused.message;
    EXPECT_EQ(refused.fingerprintToTrust.size(), 95u);
    EXPECT_NE(refused.message.find("SHA-256: " + refused.fingerprintToTrust), std::string::npos) << refused.message;

    account.trustedFingerprint = refused.fingerprintToTrust;
    EXPECT_EQ(Test(account, server->Password()).verdict, ConnectionVerdict::Ok);
    CMemorySyncState state;
    CImapCheck check(state);
    const CheckOutcome outcome = check.Run(CheckOptionsFor(account, server->Password(), {"pal@example.jp"}),
                                           [](const FetchedMail&) { return true; });
    EXPECT_TRUE(outcome.Ok()) << (outcome.errors.empty() ? "" : outcome.errors.front());
}

TEST_F(ConnectionCheckTest, TheFirstCheckReachesBackAsFarAsTheAccountSays) {
    // Mails that arrived 10, 60, 200 and 1000 days ago.
    const int arrived[] = {10, 60, 200, 1000};
    for (int i = 0; i < 4; ++i) server->AddMail("", TestMail("pal@example.jp", "me@example.org", i + 1), arrived[i]);
    struct Case {
        const char* name;
        int sinceDays;
        std::size_t fetched;
    };
    const Case cases[] = {
        {"30 days", 30, 1},
        {"90 days", 90, 2},
        {"365 days", 365, 3},
        {"every mail", kSinceAllMail, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MailAccount account = Account();
        account.sinceDays = c.sinceDays;
        CMemorySyncState state;  // a first check each time
        CImapCheck check(state);
        std::size_t fetched = 0;
        const CheckOutcome outcome =
            check.Run(CheckOptionsFor(account, server->Password(), {"pal@example.jp"}), [&](const FetchedMail&) {
                ++fetched;
                return true;
            });
        EXPECT_TRUE(outcome.Ok()) << (outcome.errors.empty() ? "" : outcome.errors.front());
        EXPECT_EQ(fetched, c.fetched);
    }
}

}  // namespace
