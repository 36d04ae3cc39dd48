// A Dovecot IMAP server of the test's own: its configuration, a self-signed CA and server
// certificate for 127.0.0.1, a passwd-file user and a Maildir in a temporary folder,
// listening on 127.0.0.1 at free ports (IMAP with STARTTLS, and IMAPS). Started as a
// child process in its own process group and stopped with it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

class CDovecotServer {
public:
    // The Sent folder, flagged \Sent, named as Japanese users name it.
    static constexpr const char* kSentFolder = "送信済み";

    // `dir` is made readable to the server's users; it holds everything of the server.
    explicit CDovecotServer(std::filesystem::path dir);
    ~CDovecotServer();
    CDovecotServer(const CDovecotServer&) = delete;
    CDovecotServer& operator=(const CDovecotServer&) = delete;

    bool Start();
    void Stop();
    // SIGKILL to the whole process group: the server gone in the middle of whatever it does.
    void Kill();

    std::uint16_t ImapPort() const { return m_imapPort; }
    std::uint16_t ImapsPort() const { return m_imapsPort; }
    std::string ImapsUrl() const;
    std::string ImapUrl() const;
    std::filesystem::path CaFile() const { return m_dir / "ca.pem"; }
    std::string User() const { return "pal"; }
    std::string Password() const { return "secret-Pa55"; }

    // Puts a mail into a folder ("" for INBOX) as a delivery would; the server sees it at
    // its next look at the folder. `daysAgo`: when it arrived (the file's time, which the
    // server takes for the arrival date that SEARCH SINCE asks about); -1: now.
    void AddMail(const std::string& folder, const std::string& bytes, int daysAgo = -1);
    // Makes the server give the folder a new UIDVALIDITY (as if it had been recreated);
    // only while stopped.
    void RenewUidValidity(const std::string& folder);
    // What went wrong in setting the server up, what it wrote before its log was open
    // (a failed start), and its log.
    std::string Log() const;
    const std::filesystem::path& Dir() const { return m_dir; }

private:
    std::filesystem::path FolderDir(const std::string& folder) const;
    bool MakeCertificates();
    void WriteConfig();
    void Own(const std::filesystem::path& path);

    std::filesystem::path m_dir;
    std::uint16_t m_imapPort = 0;
    std::uint16_t m_imapsPort = 0;
    pid_t m_pid = -1;
    unsigned m_mailCount = 0;
    std::string m_setupError;
    uid_t m_uid;
    gid_t m_gid;
};

// A plain mail between two addresses, with a Message-ID made from `id`.
std::string TestMail(const std::string& from, const std::string& to, int id, std::size_t bodyBytes = 200);

// A test CA (ca.pem) and a server certificate it signed for IP 127.0.0.1 (server.pem,
// server.key) made in `folder` by openssl; its output goes to openssl.log there.
bool MakeTestCertificates(const std::filesystem::path& folder);

// A socket bound to 127.0.0.1 at a free port, listening with `backlog` when it is above 0;
// the caller closes it.
int BindLoopback(std::uint16_t& port, int backlog = 0);
// Waits until the server started as `pid` takes connections at every port; false (and
// `pid` -1) when it ended first, false when it is not there within a generous time.
bool WaitUntilListening(pid_t& pid, std::initializer_list<std::uint16_t> ports);
// Whether something on 127.0.0.1 takes connections at `port`.
bool AcceptsOnLoopback(std::uint16_t port);
