// The mailbox check against a real Dovecot started by each test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "archive/pal_archive.h"
#include "core/yubino_app.h"
#include "intake/mail_intake_service.h"
#include "support/fake_user_interface.h"
#include "support/shell_run.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"
#include "sync/dovecot_test.h"
#include "sync/imap_check.h"
#include "sync/mailbox_sources.h"

namespace {

const char* const kPal = "pal@example.jp";
const char* const kOtherPal = "other@example.net";
const char* const kMe = "me@example.org";
const char* const kStranger = "stranger@example.com";

class ImapCheckTest : public DovecotTest {
protected:
    ImapCheckOptions Options() const {
        ImapCheckOptions options;
        options.server = *ParseImapUrl(server->ImapsUrl());
        options.password = server->Password();
        options.session.trust.caFile = server->CaFile().string();
        // A busy machine makes Dovecot slow to answer a search of thousands of mails.
        options.session.timeoutMs = 120 * 1000;
        options.session.commandTimeoutMs = 600 * 1000;
        options.addresses = {kPal, kOtherPal};
        return options;
    }

    // One check; the mails it handed to the sink are kept in `taken`.
    CheckOutcome Check(const ImapCheckOptions& options, const MailSink& sink = {}) {
        CImapCheck check(state);
        return check.Run(options, [&](const FetchedMail& mail) {
            taken.push_back(mail);
            return !sink || sink(mail);
        });
    }
    CheckOutcome Check() { return Check(Options()); }

    std::vector<std::uint32_t> TakenUids(std::size_t from = 0) const {
        std::vector<std::uint32_t> uids;
        for (std::size_t i = from; i < taken.size(); ++i) uids.push_back(taken[i].uid);
        return uids;
    }

    CMemorySyncState state;
    std::vector<FetchedMail> taken;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

TEST_F(ImapCheckTest, FirstCheckTakesThePalsMailsAndTheNextOnlyThoseAppended) {
    server->AddMail("", TestMail(kPal, kMe, 1));
    server->AddMail("", TestMail(kStranger, kMe, 2));
    server->AddMail("", TestMail(kOtherPal, kMe, 3));
    server->AddMail(CDovecotServer::kSentFolder, TestMail(kMe, kPal, 4));
    server->AddMail(CDovecotServer::kSentFolder, TestMail(kMe, kStranger, 5));

    CheckOutcome first = Check();
    EXPECT_TRUE(first.Ok()) << Joined(first.errors);
    ASSERT_EQ(first.fetched, 3u);
    EXPECT_EQ(first.fromSentFolders, 1u);
    EXPECT_EQ(taken[0].folder, "INBOX");
    EXPECT_NE(taken[0].bytes.find("Message-ID: <1@"), std::string::npos);
    EXPECT_NE(taken[1].bytes.find("Message-ID: <3@"), std::string::npos);
    // The Sent folder is found by its flag and named as the user reads it.
    EXPECT_EQ(taken[2].folder, CDovecotServer::kSentFolder);
    EXPECT_TRUE(taken[2].sentFolder);
    EXPECT_EQ(taken[2].bytes, TestMail(kMe, kPal, 4));

    server->AddMail("", TestMail(kStranger, kMe, 6));
    server->AddMail("", TestMail(kPal, kMe, 7));
    const std::size_t before = taken.size();
    CheckOutcome second = Check();
    EXPECT_TRUE(second.Ok()) << Joined(second.errors);
    ASSERT_EQ(second.fetched, 1u);
    EXPECT_NE(taken[before].bytes.find("Message-ID: <7@"), std::string::npos);

    EXPECT_EQ(Check().fetched, 0u);
}

TEST_F(ImapCheckTest, AFolderWithANewUidValidityIsCheckedInFullAgain) {
    for (int i = 1; i <= 3; ++i) server->AddMail("", TestMail(kPal, kMe, i));
    ASSERT_EQ(Check().fetched, 3u);
    ASSERT_EQ(Check().fetched, 0u);
    server->Stop();
    server->RenewUidValidity("");
    ASSERT_TRUE(server->Start()) << server->Log();
    CheckOutcome again = Check();
    EXPECT_TRUE(again.Ok()) << Joined(again.errors);
    EXPECT_EQ(again.fetched, 3u);
}

TEST_F(ImapCheckTest, AWrongPasswordIsToldAndNothingIsTakenOrRemembered) {
    server->AddMail("", TestMail(kPal, kMe, 1));
    ImapCheckOptions options = Options();
    options.password = "wrong";
    CheckOutcome outcome = Check(options);
    EXPECT_EQ(outcome.failure, ImapFailure::Login);
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_NE(outcome.errors[0].find("パスワードが違います"), std::string::npos) << outcome.errors[0];
    EXPECT_NE(outcome.errors[0].find("pal@127.0.0.1"), std::string::npos) << outcome.errors[0];
    EXPECT_TRUE(taken.empty());
    EXPECT_FALSE(state.Load(ImapAccountKey(options.server), "INBOX"));
    EXPECT_EQ(Check().fetched, 1u);
}

TEST_F(ImapCheckTest, AServerKilledInTheMiddleKeepsWhatWasTakenAndTheNextCheckFinishes) {
    // More mails than one batch: the server dies while the first batch is taken in.
    constexpr std::size_t kMails = 500;
    for (std::size_t i = 1; i <= kMails; ++i) server->AddMail("", TestMail(kPal, kMe, static_cast<int>(i)));
    CheckOutcome cut = Check(Options(), [&](const FetchedMail&) {
        if (taken.size() == 4) server->Kill();
        return true;
    });
    EXPECT_FALSE(cut.Ok());
    EXPECT_GE(cut.fetched, 4u);
    EXPECT_LT(cut.fetched, kMails);
    EXPECT_EQ(cut.failure, ImapFailure::Closed);
    ASSERT_EQ(cut.errors.size(), 1u);
    // Never told as a TLS start that failed.
    EXPECT_NE(cut.errors[0].find("サーバーとの接続が途中で切れました。次の確認で続きから取り込みます。"),
              std::string::npos)
        << cut.errors[0];
    ASSERT_TRUE(server->Start()) << server->Log();
    CheckOutcome rest = Check();
    EXPECT_TRUE(rest.Ok()) << Joined(rest.errors);
    EXPECT_EQ(cut.fetched + rest.fetched, kMails);
    const std::vector<std::uint32_t> uids = TakenUids();
    EXPECT_EQ(std::set<std::uint32_t>(uids.begin(), uids.end()).size(), kMails);
}

// A process that dies right after a mail's commit writes nothing more (its sink takes no
// further mail): the sync point the mail carried into its own transaction is all the next
// check has to go on from.
class CDiesAfterEachMail : public CSyncStateStore {
public:
    explicit CDiesAfterEachMail(CSyncStateStore& state) : m_state(state) {}
    std::optional<SyncPoint> Load(const std::string& account, const std::string& folder) override {
        return m_state.Load(account, folder);
    }
    bool Save(const std::string&, const std::string&, const SyncPoint&) override { return true; }

private:
    CSyncStateStore& m_state;
};

TEST_F(ImapCheckTest, ACheckCutOffAfterAKeptMailGoesOnFromItWithNoMailTwice) {
    // Odd mails are the pal's; even ones a stranger's, passed over (to the pal as well).
    for (int i = 1; i <= 10; ++i) server->AddMail("", TestMail(i % 2 ? kPal : kStranger, kMe + std::string(", ") + kPal, i));
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPenPal pal;
    pal.m_strMailAddress = kPal;
    app.AddPal(pal);
    auto checkIntoArchive = [&](const std::filesystem::path& data, std::size_t dieAfter) {
        CPalArchive archive(app, [&] { return ArchiveDocument{data, false}; });
        CArchiveSyncState archiveState(&archive);
        CDiesAfterEachMail dying(archiveState);
        CMailIntakeService intake(app, &archive, {UnknownSenderPolicy::Ignore, {kMe}, "imap"});
        CImapCheck check(dieAfter ? static_cast<CSyncStateStore&>(dying) : archiveState);
        return check.Run(Options(), [&](const FetchedMail& mail) {
            if (dieAfter && taken.size() == dieAfter) return false;
            taken.push_back(mail);
            return TakeFetchedMail(intake, mail);
        });
    };
    struct Case {
        const char* name;
        std::size_t dieAfter;
    };
    for (const Case& c : {Case{"after the pal's mail", 3}, Case{"after a mail passed over", 4}}) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path data = dir / (std::to_string(c.dieAfter) + ".ybf");
        taken.clear();
        const CheckOutcome cut = checkIntoArchive(data, c.dieAfter);
        EXPECT_FALSE(cut.Ok());
        ASSERT_EQ(cut.fetched, c.dieAfter);
        const CheckOutcome rest = checkIntoArchive(data, 0);
        EXPECT_TRUE(rest.Ok()) << Joined(rest.errors);
        EXPECT_EQ(rest.fetched, 10 - c.dieAfter);
        const std::vector<std::uint32_t> uids = TakenUids();
        EXPECT_EQ(std::set<std::uint32_t>(uids.begin(), uids.end()).size(), 10u);
        CMailArchive archive;
        ASSERT_EQ(archive.Open(CMailArchive::PathFor(data), true).status, CMailArchive::OpenStatus::Opened);
        std::vector<std::string> ids;
        for (const StoredMail& stored : archive.Mails(kPal).value)
            if (!stored.mail.messageId.empty()) ids.push_back(stored.mail.messageId);
        EXPECT_EQ(ids.size(), 5u);
        EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
    }
}

TEST_F(ImapCheckTest, AMailTheSinkCannotKeepStopsTheCheckAndIsFetchedAgainNextTime) {
    for (int i = 1; i <= 3; ++i) server->AddMail("", TestMail(kPal, kMe, i));
    CheckOutcome stopped = Check(Options(), [&](const FetchedMail&) { return taken.size() < 2; });
    EXPECT_FALSE(stopped.Ok());
    EXPECT_EQ(stopped.fetched, 1u);
    CheckOutcome rest = Check();
    EXPECT_EQ(rest.fetched, 2u);
    EXPECT_EQ(TakenUids(2), (std::vector<std::uint32_t>{taken[1].uid, taken[1].uid + 1}));
}

std::string Sha256Fingerprint(const std::filesystem::path& pem) {
    std::string text = RunShell("openssl x509 -noout -fingerprint -sha256 -in " + Quoted(pem.string())).out;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return {};
    text.erase(0, equals + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

TEST_F(ImapCheckTest, AnUntrustedCertificateIsRefusedUntilItsFingerprintIsTrusted) {
    server->AddMail("", TestMail(kPal, kMe, 1));
    const std::string fingerprint = Sha256Fingerprint(server->Dir() / "server.pem");
    ASSERT_FALSE(fingerprint.empty());
    struct Case {
        const char* name;
        bool starttls;
    };
    for (const Case& c : {Case{"SSL/TLS", false}, Case{"STARTTLS", true}}) {
        SCOPED_TRACE(c.name);
        taken.clear();
        state = CMemorySyncState();
        ImapCheckOptions options = Options();
        if (c.starttls) options.server = *ParseImapUrl(server->ImapUrl());
        options.session.trust.caFile.clear();  // the system's certificates do not know the test's CA
        CheckOutcome refused = Check(options);
        EXPECT_EQ(refused.failure, ImapFailure::Certificate);
        EXPECT_EQ(refused.fingerprint, fingerprint);
        ASSERT_EQ(refused.errors.size(), 1u);
        EXPECT_NE(refused.errors[0].find(fingerprint), std::string::npos) << refused.errors[0];
        // One text for a window and a JSON string alike: lines end in LF only.
        EXPECT_EQ(refused.errors[0].find('\r'), std::string::npos);
        EXPECT_TRUE(taken.empty());

        options.session.trust.trustedFingerprint = fingerprint;
        CheckOutcome trusted = Check(options);
        EXPECT_TRUE(trusted.Ok()) << Joined(trusted.errors);
        EXPECT_EQ(trusted.fetched, 1u);
        EXPECT_TRUE(trusted.warnings.empty());
    }
}

TEST_F(ImapCheckTest, BigMailsArriveWholeUpToTheCapAndAboveItAreToldAndPassed) {
    const std::string big = TestMail(kPal, kMe, 1, 20 * 1024 * 1024);
    server->AddMail("", big);
    server->AddMail("", TestMail(kPal, kMe, 2, 3 * 1024 * 1024));
    server->AddMail("", TestMail(kPal, kMe, 3));
    ImapCheckOptions options = Options();
    options.session.maxMailBytes = 24 * 1024 * 1024;
    CheckOutcome first = Check(options);
    EXPECT_TRUE(first.Ok()) << Joined(first.errors);
    ASSERT_EQ(first.fetched, 3u);
    EXPECT_EQ(taken[0].bytes, big);

    // Under a smaller cap the big ones are refused by their size, and the small one still comes.
    state = CMemorySyncState();
    taken.clear();
    options.session.maxMailBytes = 1024 * 1024;
    CheckOutcome capped = Check(options);
    EXPECT_EQ(capped.fetched, 1u);
    ASSERT_EQ(capped.errors.size(), 2u);
    EXPECT_NE(capped.errors[0].find("大きすぎる"), std::string::npos) << capped.errors[0];
}

TEST_F(ImapCheckTest, AMissingFolderIsToldAndTheOthersAreChecked) {
    server->AddMail("", TestMail(kPal, kMe, 1));
    server->AddMail(CDovecotServer::kSentFolder, TestMail(kMe, kPal, 2));
    ImapCheckOptions options = Options();
    options.folders = {"存在しないフォルダー", "INBOX", CDovecotServer::kSentFolder};
    CheckOutcome outcome = Check(options);
    EXPECT_EQ(outcome.failure, ImapFailure::NoFolder);
    ASSERT_EQ(outcome.errors.size(), 1u);
    EXPECT_NE(outcome.errors[0].find("存在しないフォルダー"), std::string::npos) << outcome.errors[0];
    EXPECT_EQ(outcome.fetched, 2u);
    EXPECT_EQ(outcome.fromSentFolders, 1u);
}

TEST_F(ImapCheckTest, OfTenThousandMailsOnlyTheTwoThousandFromOrToPalsAreFetched) {
    std::vector<std::string> pals;
    for (int p = 0; p < 300; ++p) pals.push_back("pal" + std::to_string(p) + "@example.jp");
    for (int i = 0; i < 10000; ++i) {
        const std::string pal = pals[static_cast<std::size_t>(i) % pals.size()];
        if (i % 5 == 0)
            server->AddMail("", i % 10 == 0 ? TestMail(pal, kMe, i) : TestMail(kStranger, kMe + std::string(", ") + pal, i));
        else
            server->AddMail("", TestMail("someone" + std::to_string(i) + "@example.com", kMe, i));
    }
    ImapCheckOptions options = Options();
    options.addresses = pals;
    // Dovecot's first search of 10,000 new mails takes seconds on a busy machine.
    options.session.timeoutMs = 120000;
    CheckOutcome outcome = Check(options);
    EXPECT_TRUE(outcome.Ok()) << Joined(outcome.errors);
    EXPECT_EQ(outcome.fetched, 2000u);
    EXPECT_EQ(Check(options).fetched, 0u);
}

}  // namespace
