// The small parts of the mailbox check: URLs, folder names, the literal guard, the sync state.
#include <gtest/gtest.h>

#include "archive/pal_archive.h"
#include "core/yubino_app.h"
#include "support/fake_user_interface.h"
#include "support/temp_dir.h"
#include "sync/folder_name.h"
#include "sync/imap_response_line.h"
#include "sync/imap_url.h"
#include "sync/literal_guard.h"
#include "sync/mail_accounts.h"
#include "sync/net_stream.h"
#include "sync/sync_state.h"

namespace {

TEST(ImapUrl, ReadsTheFormsScriptsGive) {
    struct Case {
        const char* name;
        const char* url;
        bool ok;
        ImapServer expected;
    };
    const Case cases[] = {
        {"imaps with port", "imaps://taro@mail.example.jp:1993/", true, {"mail.example.jp", 1993, ImapSecurity::Tls, "taro"}},
        {"imaps default port", "imaps://taro@mail.example.jp", true, {"mail.example.jp", 993, ImapSecurity::Tls, "taro"}},
        {"imap means STARTTLS", "imap://taro@127.0.0.1:1143/", true, {"127.0.0.1", 1143, ImapSecurity::StartTls, "taro"}},
        {"imap default port", "imap://taro@host", true, {"host", 143, ImapSecurity::StartTls, "taro"}},
        {"user with an encoded @", "imaps://taro%40example.jp@host/", true, {"host", 993, ImapSecurity::Tls, "taro@example.jp"}},
        {"IPv6 literal", "imaps://u@[::1]:2000/", true, {"::1", 2000, ImapSecurity::Tls, "u"}},
        {"no user", "imaps://host/", false, {}},
        {"other scheme", "pop3://u@host/", false, {}},
        {"port zero", "imaps://u@host:0/", false, {}},
        {"port too big", "imaps://u@host:70000/", false, {}},
        {"port not a number", "imaps://u@host:abc/", false, {}},
        {"a folder in the path", "imaps://u@host/INBOX", false, {}},
        {"cut percent escape", "imaps://u%4@host/", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ImapServer> got = ParseImapUrl(c.url);
        ASSERT_EQ(got.has_value(), c.ok);
        if (!got) continue;
        EXPECT_EQ(got->host, c.expected.host);
        EXPECT_EQ(got->port, c.expected.port);
        EXPECT_EQ(got->security, c.expected.security);
        EXPECT_EQ(got->user, c.expected.user);
    }
}

TEST(FolderName, ModifiedUtf7BothWays) {
    struct Case {
        const char* name;
        const char* wire;
        const char* utf8;
    };
    const Case cases[] = {
        {"ASCII stays", "INBOX", "INBOX"},
        {"ampersand", "Tom &- Jerry", "Tom & Jerry"},
        {"Japanese", "&kAFP4W4IMH8w4TD8MOs-", "送信済みメール"},
        {"mixed", "Archive/&MIYwczBq-", "Archive/ゆびな"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FolderNameFromImap(c.wire).value_or("(none)"), c.utf8);
        EXPECT_EQ(FolderNameToImap(c.utf8).value_or("(none)"), c.wire);
    }
    EXPECT_FALSE(FolderNameFromImap("&Jjo!"));  // "!" is no base64
}

TEST(LiteralGuard, RefusesOnlyLiteralsAboveTheCapWhereverTheBytesAreCut) {
    struct Case {
        const char* name;
        std::string bytes;
        bool refused;
    };
    const Case cases[] = {
        {"no literal", "* OK ready\r\nA1 OK done\r\n", false},
        {"literal at the cap", "* 1 FETCH (BODY[] {100}\r\n" + std::string(100, 'x') + ")\r\n", false},
        {"literal above the cap", "* 1 FETCH (BODY[] {101}\r\n", true},
        {"four gigabytes", "* 1 FETCH (BODY[] {4294967296}\r\n", true},
        {"a number too long to read", "* 1 FETCH (BODY[] {99999999999999999999999}\r\n", true},
        {"braces ending a status line are text", "* OK {999999}\r\n", false},
        {"blanks inside the braces", "* 1 FETCH (BODY[] { 101 }\r\n", true},
        {"braces inside a quoted string are text", "* LIST () \"/\" \"a {999}\"\r\n", false},
        {"braces inside a literal are data", "* 1 FETCH (BODY[] {12}\r\nx {999999}\r\n)\r\n", false},
        {"literal+ form", "A1 LOGIN {200+}\r\n", true},
        {"braces not at the end of the line", "* OK {999999} text\r\n", false},
        {"a line end without CR", "* 1 FETCH (BODY[] {500}\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t chunk : {c.bytes.size(), std::size_t(1), std::size_t(3)}) {
            CLiteralGuard guard(100);
            bool ok = true;
            for (std::size_t i = 0; i < c.bytes.size() && ok; i += chunk)
                ok = guard.Feed(c.bytes.data() + i, std::min(chunk, c.bytes.size() - i));
            EXPECT_EQ(!ok, c.refused) << "chunk " << chunk;
        }
    }
}

// Lines libetpan crashes on are refused wherever they stand; a literal or a quoted string
// running over a line end does not hide the line after it.
TEST(LiteralGuard, RefusesResponseCodesTheProtocolLibraryCannotReadWhereverTheyStand) {
    struct Case {
        const char* name;
        std::string bytes;
        GuardRefusal refusal;
    };
    const std::string greeting = "* OK ready\r\n";
    const std::string cut = "* OK [PERMANENTFLAGS (\r\n";
    const Case cases[] = {
        {"a cut flag list", cut, GuardRefusal::Syntax},
        {"after a literal", "* 1 FETCH (BODY[] {3}\r\nabc)\r\n" + cut, GuardRefusal::Syntax},
        {"after a quoted string over a line end", "* LIST () \"/\" \"a{40}\r\n\"\r\n" + cut, GuardRefusal::Syntax},
        {"after a status line ending in braces", "* OK see {30}\r\n" + cut, GuardRefusal::Syntax},
        {"inside a literal it is mail", "* 1 FETCH (BODY[] {24}\r\n" + cut + ")\r\n", GuardRefusal::None},
        {"two BADCHARSET codes in one answer", greeting + "* NO [BADCHARSET (A)] x\r\n1 NO [BADCHARSET (B)] y\r\n",
         GuardRefusal::Syntax},
        {"a greeting with flags", "* OK [PERMANENTFLAGS ()] ready\r\n", GuardRefusal::Syntax},
        {"a greeting with charsets", "* BYE [BADCHARSET (A)] x\r\n", GuardRefusal::Syntax},
        {"flags after the greeting", greeting + "* OK [PERMANENTFLAGS ()] x\r\n", GuardRefusal::None},
        {"one BADCHARSET code in each of two answers",
         greeting + "1 NO [BADCHARSET (A)] x\r\n2 NO [BADCHARSET (B)] y\r\n", GuardRefusal::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t chunk : {c.bytes.size(), std::size_t(1), std::size_t(7)}) {
            CLiteralGuard guard(100);
            for (std::size_t i = 0;
                 i < c.bytes.size() && guard.Feed(c.bytes.data() + i, std::min(chunk, c.bytes.size() - i));)
                i += chunk;
            EXPECT_EQ(guard.Refusal(), c.refusal) << "chunk " << chunk;
        }
    }
}

TEST(ImapResponseLine, AcceptsWhatServersSendAndRefusesCodesLibetpanCrashesOn) {
    struct Case {
        const char* name;
        const char* line;
        bool valid;
    };
    const Case cases[] = {
        // As Dovecot, Cyrus and the examples of RFC 3501 write them.
        {"Dovecot greeting",
         "* OK [CAPABILITY IMAP4rev1 SASL-IR LOGIN-REFERRALS ID ENABLE IDLE LITERAL+ AUTH=PLAIN] Dovecot ready.", true},
        {"Dovecot read-only flags", "* OK [PERMANENTFLAGS ()] Read-only mailbox.", true},
        {"RFC 3501 flags", "* OK [PERMANENTFLAGS (\\Deleted \\Seen \\*)] Limited", true},
        {"keywords", "* OK [PERMANENTFLAGS (\\Answered $Forwarded NonJunk \\*)] Flags permitted.", true},
        {"UIDVALIDITY", "* OK [UIDVALIDITY 3857529045] UIDs valid", true},
        {"UIDNEXT", "* OK [UIDNEXT 4392] Predicted next UID", true},
        {"UNSEEN", "* OK [UNSEEN 12] Message 12 is first unseen", true},
        {"tagged READ-ONLY without text", "A142 OK [READ-ONLY]", true},
        {"tagged READ-WRITE", "A142 OK [READ-WRITE] SELECT completed", true},
        {"Dovecot HIGHESTMODSEQ", "* OK [HIGHESTMODSEQ 1] Highest", true},
        {"COPYUID", "A003 OK [COPYUID 38505 304,319:320 3956:3958] Done", true},
        {"Cyrus URLMECH", "* OK [URLMECH INTERNAL] Ok", true},
        {"Cyrus MAILBOXID", "* OK [MAILBOXID (F2212ea87-6097-4256-9d51-71338625)] Ok", true},
        {"alert", "* OK [ALERT] System shutdown in 10 minutes", true},
        {"alert in Japanese", "* NO [ALERT] 容量がいっぱいです", true},
        {"BADCHARSET with charsets", "A283 NO [BADCHARSET (UTF-8 \"US-ASCII\")] no such charset", true},
        {"BADCHARSET alone", "A283 NO [BADCHARSET] no such charset", true},
        {"AUTHENTICATIONFAILED", "a NO [AUTHENTICATIONFAILED] Authentication failed.", true},
        {"referral", "* NO [REFERRAL imap://user;AUTH=*@SERVER2/] Remote Server", true},
        {"no code", "* OK IMAP4rev1 server ready", true},
        {"a bracket after the text", "* OK ready [not a code", true},
        {"continuation with a code", "+ [ALERT] go ahead", true},
        {"lower case", "* ok [permanentflags (\\seen)] fine", true},
        {"data lines are not read", "* LIST (\\HasNoChildren) \"/\" [INBOX", true},
        {"a FETCH line", "* 1 FETCH (UID 1 BODY[] {139}", true},
        // The shapes the fuzzer found crashing libetpan, and their neighbours.
        {"flag list cut after its parenthesis", "* OK [PERMANENTFLAGS (", false},
        {"flag list closed by the bracket", "* OK [PERMANENTFLAGS (]", false},
        {"a lone backslash as flag", "1 NO [PERMANENTFLAGS (\\]", false},
        {"flag list cut after a flag", "* OK [PERMANENTFLAGS (\\Seen", false},
        {"flags with a tab", "* OK [PERMANENTFLAGS\t(]", false},
        {"flags after blanks", "*   OK\t[PERMANENTFLAGS (] x", false},
        {"flags in a continuation", "+ [PERMANENTFLAGS (]", false},
        {"flags as a literal", "* OK [PERMANENTFLAGS ({5}", false},
        {"tagged alert without text", "2 NO [ALERT]", false},
        {"alert with only blanks", "2 NO [ALeRT] \t", false},
        {"parse without text", "3 BAD [PARSE]", false},
        {"alert after a blank", "2 NO [ ALERT]", false},
        {"unclosed code", "* OK [UIDNEXT 5 next", false},
        {"UIDNEXT not a number", "* OK [UIDNEXT x] next", false},
        {"UIDVALIDITY above 32 bits", "* OK [UIDVALIDITY 4294967296] valid", false},
        {"empty capability list", "* OK [CAPABILITY] ready", false},
        {"BADCHARSET with an open quote", "1 NO [BADCHARSET (\"UTF-8)] x", false},
        {"empty code", "* OK [] x", false},
        {"eight-bit code", "* OK [ÄLERT] x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShapeOfImapLine(c.line).valid, c.valid);
    }
    EXPECT_FALSE(ShapeOfImapLine(std::string_view("2 NO [ALERT] \0x", 15)).valid) << "an alert followed by a NUL";
}

TEST(Fingerprint, ComparesDigitsOnly) {
    EXPECT_TRUE(SameFingerprint("AB:cd:01", "abCD01"));
    EXPECT_FALSE(SameFingerprint("AB:CD:01", "AB:CD:02"));
    EXPECT_FALSE(SameFingerprint("", ""));
}

// The points an earlier version kept in a text file beside the data file move into the
// archive once; a point the archive holds already wins, and the file is removed.
TEST(ArchiveSyncState, TakesOverTheOldStateFileAndKeepsPointsAcrossReopening) {
    TempDir dir;
    const auto data = dir / "pals.ybf";
    // Each save appended a line; a process killed while writing left the last one cut.
    WriteFileBytes(dir / "pals.mailcheck.tsv",
                   "a@h:993\tINBOX\t7\t10\na@h:993\tINBOX\t7\t12\na@h:993\t&kAFP4W4IMH8w4TD8-\t9\t3\n"
                   "b@h:993\tINBOX\t5\t5\na@h:993\tINBOX\t7\t1");
    FakeUserInterface ui;
    CYubinoApp app(ui);
    {
        CPalArchive archive(app, [&] { return ArchiveDocument{data, false}; });
        CArchiveSyncState state(&archive);
        EXPECT_TRUE(state.Save("b@h:993", "INBOX", {6, 1}));
        state.TakeOverStateFile(data);
        EXPECT_FALSE(std::filesystem::exists(dir / "pals.mailcheck.tsv"));
        EXPECT_TRUE(state.Save("a@h:993", "INBOX", {7, 13}));
    }
    CPalArchive archive(app, [&] { return ArchiveDocument{data, false}; });
    CArchiveSyncState state(&archive);
    struct Case {
        const char* name;
        const char* account;
        const char* folder;
        std::optional<SyncPoint> expected;
    };
    const Case cases[] = {
        {"saved after the file was taken over", "a@h:993", "INBOX", SyncPoint{7, 13}},
        {"a folder named in modified UTF-7", "a@h:993", "&kAFP4W4IMH8w4TD8-", SyncPoint{9, 3}},
        {"the archive's own point wins", "b@h:993", "INBOX", SyncPoint{6, 1}},
        {"never checked", "c@h:993", "INBOX", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(state.Load(c.account, c.folder), c.expected) << c.name;
    EXPECT_TRUE(ui.messages.empty());
}

TEST(ArchiveSyncState, WithoutAnArchiveThePointsLastTheSession) {
    FakeUserInterface ui;
    CYubinoApp app(ui);
    CPalArchive archive(app, [] { return ArchiveDocument{}; });
    CArchiveSyncState state(&archive);
    EXPECT_TRUE(state.Save("a@h:993", "INBOX", {7, 12}));
    EXPECT_EQ(state.Load("a@h:993", "INBOX"), (SyncPoint{7, 12}));
}

}  // namespace

namespace {

TEST(MailAccounts, WrittenAccountsReadBackAndAPasswordHasNoPlaceInTheFile) {
    TempDir dir;
    MailAccount imap;
    imap.name = "仕事";
    imap.server = {"mail.example.jp", 993, ImapSecurity::StartTls, "taro@example.jp"};
    imap.folders = {"INBOX", "送信済み"};
    imap.sinceDays = 30;
    imap.trustedFingerprint = "AB:CD";
    imap.commandTimeoutSeconds = 45;
    imap.checkTimeoutSeconds = 600;
    MailAccount maildir;
    maildir.name = "手元";
    maildir.kind = MailAccount::Kind::Maildir;
    maildir.path = "/home/taro/Maildir";
    MailAccount broken = maildir;
    broken.name = "line\nbreak";

    const auto file = dir / "accounts.ini";
    ASSERT_TRUE(WriteMailAccounts(file, {imap, maildir, broken}, 20).ok);
    const MailAccountsRead read = ReadMailAccounts(file);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.checkEveryMinutes, 20);
    ASSERT_EQ(read.accounts.size(), 3u);
    EXPECT_EQ(read.accounts[0], imap);
    EXPECT_EQ(read.accounts[1], maildir);
    EXPECT_EQ(read.accounts[2].name, "line break");
    EXPECT_EQ(ReadFileBytes(file).find("password"), std::string::npos);
}

// Either kind of account written keeps the other kind; a file from before address books
// is written again byte for byte.
TEST(MailAccounts, AddressBookAccountsShareTheFileWithTheMailboxes) {
    TempDir dir;
    const auto file = dir / "accounts.ini";
    MailAccount mbox;
    mbox.name = "手元";
    mbox.kind = MailAccount::Kind::Mbox;
    mbox.path = "/home/taro/mbox";
    ASSERT_TRUE(WriteMailAccounts(file, {mbox}, 15).ok);
    const std::string before = ReadFileBytes(file);

    const ContactAccount book{"https://dav.example.jp:5232/", "taro", "/etc/ca.pem", "AB:CD", "友達"};
    const ContactAccount bare{"https://other.example.jp/", "hanako", "", "", ""};
    ASSERT_TRUE(WriteContactAccounts(file, {book, bare}).ok);
    MailAccountsRead read = ReadMailAccounts(file);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.checkEveryMinutes, 15);
    EXPECT_EQ(read.accounts, std::vector<MailAccount>{mbox});
    EXPECT_EQ(read.contactAccounts, (std::vector<ContactAccount>{book, bare}));

    mbox.path = "/home/taro/mbox2";
    ASSERT_TRUE(WriteMailAccounts(file, {mbox}, 15).ok);
    read = ReadMailAccounts(file);
    EXPECT_EQ(read.accounts, std::vector<MailAccount>{mbox});
    EXPECT_EQ(read.contactAccounts, (std::vector<ContactAccount>{book, bare}));

    ASSERT_TRUE(WriteContactAccounts(file, {}).ok);
    mbox.path = "/home/taro/mbox";
    ASSERT_TRUE(WriteMailAccounts(file, {mbox}, 15).ok);
    EXPECT_EQ(ReadFileBytes(file), before);

    WriteFileBytes(file, before + "[account]\nkind=pop3\n");
    EXPECT_FALSE(WriteContactAccounts(file, {book}).ok);
    EXPECT_EQ(ReadFileBytes(file), before + "[account]\nkind=pop3\n");
}

TEST(MailAccounts, TheFileIsFoundUnderTheConfigHome) {
    TempDir dir;
    const auto env = [&](const char* name) { return std::string(name) == "XDG_CONFIG_HOME" ? dir.path().string() : ""; };
    EXPECT_EQ(MailAccountsFile(env), dir / "yubino" / "accounts.ini");
}

TEST(MailAccounts, DamagedFilesAreToldAndReadAsFarAsTheyGo) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t accounts;
        bool error;
    };
    const Case cases[] = {
        {"empty", "", 0, false},
        {"comment only", "# nothing\n", 0, false},
        {"key before any account", "name=x\n[account]\nname=y\n", 1, true},
        {"minutes between checks before the accounts", "check_every_minutes=15\n[account]\nname=y\n", 1, false},
        {"minutes between checks that are no number", "check_every_minutes=-5\n", 0, true},
        {"minutes between checks inside an account", "[account]\ncheck_every_minutes=15\n", 1, true},
        {"unknown kind", "[account]\nkind=pop3\n", 1, true},
        {"port out of range", "[account]\nport=70000\n", 1, true},
        {"unknown key", "[account]\npassword=secret\n", 1, true},
        {"CR LF lines", "[account]\r\nname=a\r\nkind=mbox\r\npath=/x\r\n", 1, false},
        {"an address book's key in a mailbox", "[account]\nurl=https://x/\n", 1, true},
        {"a mailbox's key in an address book", "[carddav]\nhost=x\n", 0, true},
        {"an address book after the mailboxes", "[account]\nname=a\n[carddav]\nurl=https://x/\nbook=b\n", 1, false},
        {"deadlines set", "[account]\ncommand_timeout_seconds=30\ncheck_timeout_seconds=900\n", 1, false},
        {"a deadline of zero", "[account]\ncommand_timeout_seconds=0\n", 1, true},
        {"a deadline that is no number", "[account]\ncheck_timeout_seconds=soon\n", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFileBytes(dir / "accounts.ini", c.text);
        const MailAccountsRead read = ReadMailAccounts(dir / "accounts.ini");
        EXPECT_EQ(read.accounts.size(), c.accounts);
        EXPECT_EQ(!read.error.empty(), c.error) << read.error;
    }
    TempDir dir;
    EXPECT_EQ(ReadMailAccounts(dir / "missing.ini").error, "");
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_NE(ReadMailAccounts(dir / "folder.ini").error, "");
}

TEST(MailAccounts, HowFarBackTheFirstCheckGoesSurvivesTheFileAndOldFilesKeepTheirReach) {
    struct Case {
        const char* name;
        std::string text;  // one account
        int sinceDays;
        bool error;
    };
    const Case cases[] = {
        {"a file from before the choice, without the key", "[account]\nname=a\nhost=h\n", 365, false},
        {"a file from before the choice, with a number", "[account]\nsince_days=200\n", 200, false},
        {"every mail", "[account]\nsince_days=all\n", kSinceAllMail, false},
        {"zero is no reach", "[account]\nsince_days=0\n", 365, true},
        {"a word that is no reach", "[account]\nsince_days=ever\n", 365, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFileBytes(dir / "accounts.ini", c.text);
        const MailAccountsRead read = ReadMailAccounts(dir / "accounts.ini");
        ASSERT_EQ(read.accounts.size(), 1u);
        EXPECT_EQ(read.accounts[0].sinceDays, c.sinceDays);
        EXPECT_EQ(!read.error.empty(), c.error) << read.error;
    }
    for (const int days : kSinceDayChoices) {
        SCOPED_TRACE(days);
        TempDir dir;
        MailAccount account;
        account.name = "a";
        account.server = {"mail.example.jp", 993, ImapSecurity::Tls, "taro"};
        account.sinceDays = days;
        ASSERT_TRUE(WriteMailAccounts(dir / "accounts.ini", {account}).ok);
        const MailAccountsRead read = ReadMailAccounts(dir / "accounts.ini");
        EXPECT_EQ(read.error, "");
        ASSERT_EQ(read.accounts.size(), 1u);
        EXPECT_EQ(read.accounts[0], account);
    }
}

}  // namespace
