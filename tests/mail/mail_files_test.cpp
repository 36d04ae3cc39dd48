// Mail files and folders: what a file holds decides how it is read, never its name.
#include "mail/mail_files.h"

#include <gtest/gtest.h>

#include <set>

#include "support/fake_user_interface.h"
#include "support/temp_dir.h"

namespace {

class CCollector : public CMailSink {
public:
    bool TakeMail(const ParsedMail& mail) override {
        mails.push_back(mail);
        return mails.size() < stopAfter;
    }
    void Failed(const std::filesystem::path& path, const std::string& reason) override {
        failures.push_back(path.filename().string() + ": " + reason);
    }
    std::vector<ParsedMail> mails;
    std::vector<std::string> failures;
    std::size_t stopAfter = 1000;
};

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

const std::string kMbox =
    "From hanako@example.jp Tue Mar  5 21:04:05 2024\nFrom: hanako@example.jp\nSubject: one\n\n>From here\n>>From "
    "there\n\n"
    "From jiro@example.jp Tue Mar  5 21:04:05 2024\nFrom: jiro@example.jp\nSubject: two\n\nsecond\n";

TEST(MailFilesTest, ContentNotNameDecidesTheReader) {
    TempDir dir;
    struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> addresses;
        std::vector<std::string> firstLines;
    } cases[] = {
        {"inbox.eml", kMbox, {"hanako@example.jp", "jiro@example.jp"}, {"From here", "second"}},
        {"inbox-crlf", WithCrLf(kMbox), {"hanako@example.jp", "jiro@example.jp"}, {"From here", "second"}},
        {"notes.txt", "From: hanako@example.jp\nSubject: x\n\nbody\n", {"hanako@example.jp"}, {"body"}},
        {"mail.eml",
         Sjis("送信者 : \"はなこ\" <hanako@example.jp>\n宛先 : x\n日時 :  2002年 5月 3日\n\n\nやあ"),
         {"hanako@example.jp"},
         {Sjis("やあ")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir / c.name, c.bytes);
        CCollector sink;
        EXPECT_TRUE(ReadMailPath(dir / c.name, sink));
        EXPECT_TRUE(sink.failures.empty());
        ASSERT_EQ(sink.mails.size(), c.addresses.size());
        for (std::size_t i = 0; i < c.addresses.size(); ++i) {
            EXPECT_EQ(sink.mails[i].pal.m_strMailAddress, c.addresses[i]);
            const std::string& text = sink.mails[i].pal.m_strLastMailText;
            EXPECT_EQ(text.substr(0, text.find('\b')), c.firstLines[i]);
        }
    }
}

// The empty line that ends an mbox file closes it, as the one before each "From " line
// does: every message's text is the same as in a file of its own.
TEST(MailFilesTest, EveryMessageOfAnMboxHasTheTextOfItsOwnFile) {
    TempDir dir;
    const std::string one = "From: hanako@example.jp\nSubject: one\n\nfirst\n";
    const std::string two = "From: jiro@example.jp\nSubject: two\n\nsecond\n";
    WriteFileBytes(dir / "inbox",
                   "From x Tue Mar  5 21:04:05 2024\n" + one + "\nFrom x Tue Mar  5 21:04:05 2024\n" + two + "\n");
    WriteFileBytes(dir / "two.eml", two);
    CCollector mbox, file;
    ASSERT_TRUE(ReadMailPath(dir / "inbox", mbox));
    ASSERT_TRUE(ReadMailPath(dir / "two.eml", file));
    ASSERT_EQ(mbox.mails.size(), 2u);
    ASSERT_EQ(file.mails.size(), 1u);
    EXPECT_EQ(mbox.mails[0].body, "first\n");
    EXPECT_EQ(mbox.mails[1].body, file.mails[0].body);
    EXPECT_EQ(mbox.mails[1].pal.m_strLastMailText, "second\b");
}

TEST(MailFilesTest, MaildirReadsCurAndNewButNotTmpAndASinkCanStop) {
    TempDir dir;
    for (const char* sub : {"cur", "new", "tmp"}) std::filesystem::create_directories(dir / "Maildir" / sub);
    WriteFileBytes(dir / "Maildir/cur/1:2,S", "From: a@example.jp\n\nseen\n");
    WriteFileBytes(dir / "Maildir/new/2", "From: b@example.jp\n\nnew\n");
    WriteFileBytes(dir / "Maildir/tmp/3", "From: c@example.jp\n\nstill arriving\n");
    WriteFileBytes(dir / "Maildir/new/.hidden", "From: d@example.jp\n\nno message\n");
    CCollector all;
    EXPECT_TRUE(ReadMailPath(dir / "Maildir", all));
    ASSERT_EQ(all.mails.size(), 2u);
    EXPECT_EQ(all.mails[0].pal.m_strMailAddress, "a@example.jp");
    EXPECT_EQ(all.mails[1].pal.m_strMailAddress, "b@example.jp");

    CCollector first;
    first.stopAfter = 1;
    EXPECT_FALSE(ReadMailPath(dir / "Maildir", first));
    EXPECT_EQ(first.mails.size(), 1u);
}

}  // namespace

namespace {

std::string MboxMail(int n, const std::string& filler = "") {
    const std::string id = std::to_string(n);
    return "From pal" + id + "@example.jp Tue Mar  5 21:04:05 2024\nFrom: pal" + id + "@example.jp\nSubject: mail " +
           id + "\nMessage-ID: <" + id + "@example.jp>\n\nbody of mail " + id + "\n" + filler + "\n";
}

std::string Mbox(int first, int last) {
    std::string mbox;
    for (int n = first; n <= last; ++n) mbox += MboxMail(n, std::string(n * 37 % 500, 'x'));
    return mbox;
}

// A mail program compacting the mbox while it is read: the file is rewritten in place,
// without the mails it deletes, while the reader is between two mails.
class CCompactingSink : public CCollector {
public:
    CCompactingSink(std::filesystem::path file, int times) : m_file(std::move(file)), m_times(times) {}
    bool TakeMail(const ParsedMail& mail) override {
        CCollector::TakeMail(mail);
        if (m_times > 0) {
            --m_times;
            const int deleted = static_cast<int>(mails.size());
            WriteFileBytes(m_file, Mbox(deleted + 1, 60));
        }
        return true;
    }

private:
    std::filesystem::path m_file;
    int m_times;
};

// No mail read from a changing file has another mail's parts; each mail is taken once.
TEST(MailFilesTest, AnMboxRewrittenWhileReadIsReadAgainOrGivenUpNeverTorn) {
    const struct {
        const char* name;
        int rewrites;
        std::size_t mails;
        bool givenUp;
    } cases[] = {
        {"compacted once", 1, 60, false},
        {"compacted twice", 2, 60, false},
        {"rewritten all the time", 1000, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFileBytes(dir / "inbox", Mbox(1, 60));
        CCompactingSink sink(dir / "inbox", c.rewrites);
        EXPECT_TRUE(ReadMailPath(dir / "inbox", sink));
        std::set<std::string> subjects;
        for (const ParsedMail& mail : sink.mails) {
            const std::string n = mail.subject.substr(5);
            EXPECT_EQ(mail.fromAddress, "pal" + n + "@example.jp") << mail.subject;
            EXPECT_EQ(mail.body.substr(0, mail.body.find('\n')), "body of mail " + n) << mail.subject;
            EXPECT_TRUE(subjects.insert(mail.subject).second) << mail.subject << " taken twice";
        }
        EXPECT_EQ(sink.mails.size(), c.mails);
        EXPECT_EQ(sink.failures.size(), c.givenUp ? 1u : 0u);
        if (c.givenUp && !sink.failures.empty()) {
            EXPECT_NE(sink.failures[0].find("書き換えられ"), std::string::npos) << sink.failures[0];
        }
    }
}

}  // namespace

namespace {

// Two mails may share a Message-ID (a mail sent again, changed): the reading hands both on,
// and the archive tells whether they are one mail.
TEST(MailFilesTest, MailsOfOneMessageIdInOneMboxAreAllHandedOn) {
    TempDir dir;
    const std::string again = MboxMail(1);
    std::string changed = again;
    changed.replace(changed.find("body of mail 1"), 14, "body, changed");
    WriteFileBytes(dir / "inbox", again + MboxMail(2) + changed);
    CCollector sink;
    EXPECT_TRUE(ReadMailPath(dir / "inbox", sink));
    ASSERT_EQ(sink.mails.size(), 3u);
    EXPECT_EQ(sink.mails[2].body.substr(0, 13), "body, changed");
}

}  // namespace
