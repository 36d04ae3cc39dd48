#include "sync/dovecot_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "sync/folder_name.h"

namespace fs = std::filesystem;

namespace {

std::uint16_t FreePort() {
    std::uint16_t port = 0;
    ::close(BindLoopback(port));
    return port;
}

}  // namespace

bool AcceptsOnLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

namespace {

// Dovecot's own processes (its internal and login services) run as the test's user and
// group: as an ordinary user Dovecot can switch to no other. As root, Dovecot's defaults.
std::string OwnUsersConfig() {
    if (::geteuid() == 0) return "";
    const passwd* user = ::getpwuid(::geteuid());
    const group* grp = ::getgrgid(::getegid());
    const std::string name = user ? user->pw_name : std::to_string(::geteuid());
    const std::string groupName = grp ? grp->gr_name : std::to_string(::getegid());
    return "default_internal_user = " + name + "\ndefault_internal_group = " + groupName +
           "\ndefault_login_user = " + name + "\n";
}

}  // namespace

int BindLoopback(std::uint16_t& port, int backlog) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    if (backlog > 0) ::listen(fd, backlog);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

std::string TestMail(const std::string& from, const std::string& to, int id, std::size_t bodyBytes) {
    std::ostringstream mail;
    mail << "From: " << from << "\r\nTo: " << to << "\r\nSubject: test " << id
         << "\r\nDate: Mon, 7 Dec 2026 10:00:00 +0900\r\nMessage-ID: <" << id << "@test.example>\r\n"
         << "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n";
    const std::string line = "Hello from the test mail " + std::to_string(id) + ".\r\n";
    for (std::size_t n = 0; n < bodyBytes; n += line.size()) mail << line;
    return mail.str();
}

CDovecotServer::CDovecotServer(fs::path dir) : m_dir(std::move(dir)) {
    // Dovecot serves no mail as root: the mail belongs to nobody when the test runs as root.
    m_uid = ::geteuid();
    m_gid = ::getegid();
    if (m_uid == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        m_uid = nobody ? nobody->pw_uid : 65534;
        m_gid = nobody ? nobody->pw_gid : 65534;
    }
    fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::create_directories(m_dir / "run");
    fs::create_directories(m_dir / "state");
    for (const char* folder : {"", kSentFolder}) {
        for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(FolderDir(folder) / sub);
    }
    Own(m_dir / "home");
    if (!MakeCertificates())
        m_setupError += "openssl could not make the certificates:\n" + ReadFileBytes(m_dir / "openssl.log");
    m_imapPort = FreePort();
    m_imapsPort = FreePort();
    WriteConfig();
}

CDovecotServer::~CDovecotServer() { Stop(); }

fs::path CDovecotServer::FolderDir(const std::string& folder) const {
    const fs::path maildir = m_dir / "home" / "Maildir";
    if (folder.empty()) return maildir;
    const std::string name = FolderNameToImap(folder).value_or(folder);
    return maildir / ("." + name);
}

void CDovecotServer::Own(const fs::path& path) {
    if (::geteuid() != 0) return;
    auto give = [this](const fs::path& p) {
        if (::chown(p.c_str(), m_uid, m_gid) == 0) return true;
        const std::string file = p.string(), uid = std::to_string(m_uid);
        m_setupError += "chown " + file + " to uid " + uid + ": " + std::strerror(errno) +
                        " (as root the mail must belong to another user; the temporary folder's file system refuses)\n";
        return false;
    };
    if (!give(path)) return;
    if (fs::is_directory(path))
        for (const auto& entry : fs::recursive_directory_iterator(path))
            if (!give(entry.path())) return;
}

bool MakeTestCertificates(const fs::path& folder) {
    const std::string dir = folder.string();
    const std::string d = "'" + dir + "'";
    const std::string script =
        "cd " + d + " && exec >openssl.log 2>&1 && "
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj '/CN=Yubino Test CA' -keyout ca.key -out ca.pem && "
        "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=127.0.0.1' "
        "-keyout server.key -out server.csr && "
        "printf 'subjectAltName=IP:127.0.0.1\\n' > san.ext && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile san.ext "
        "-out server.pem";
    return std::system(script.c_str()) == 0;
}

bool CDovecotServer::MakeCertificates() { return MakeTestCertificates(m_dir); }

void CDovecotServer::WriteConfig() {
    const std::string d = m_dir.string();
    const std::string uid = std::to_string(m_uid), gid = std::to_string(m_gid);
    WriteFileBytes(m_dir / "passwd", User() + ":{PLAIN}" + Password() + ":" + uid + ":" + gid + "::" + d + "/home::\n");
    // The text reads as the file it writes, a setting a line.
    // clang-format off
    WriteFileBytes(m_dir / "dovecot.conf",
        "base_dir = " + d + "/run\n"
        "state_dir = " + d + "/state\n"
        "log_path = " + d + "/dovecot.log\n"
        "protocols = imap\n"
        "listen = 127.0.0.1\n"
        "ssl = yes\n"
        "ssl_cert = <" + d + "/server.pem\n"
        "ssl_key = <" + d + "/server.key\n"
        "disable_plaintext_auth = no\n"
        "auth_mechanisms = plain login\n"
        "auth_failure_delay = 0\n"
        "first_valid_uid = 1\n"
        "mail_location = maildir:~/Maildir\n" +
        OwnUsersConfig() +
        "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + d + "/passwd\n}\n"
        "userdb {\n  driver = passwd-file\n  args = " + d + "/passwd\n}\n"
        "namespace inbox {\n  inbox = yes\n  separator = /\n"
        "  mailbox \"" + kSentFolder + "\" {\n    special_use = \\Sent\n  }\n}\n"
        "service imap-login {\n"
        "  inet_listener imap {\n    address = 127.0.0.1\n    port = " + std::to_string(m_imapPort) + "\n  }\n"
        "  inet_listener imaps {\n    address = 127.0.0.1\n    port = " + std::to_string(m_imapsPort) + "\n    ssl = yes\n  }\n"
        // No chroot for the helpers: only root may chroot, and the test needs none.
        "  chroot =\n}\n"
        "service anvil {\n  chroot =\n}\n"
        "service stats {\n  unix_listener stats-reader {\n    mode = 0666\n  }\n"
        "  unix_listener stats-writer {\n    mode = 0666\n  }\n}\n");
    // clang-format on
}

bool CDovecotServer::Start() {
    if (m_pid > 0) return true;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::setpgid(0, 0);
        const int log = ::open((m_dir / "dovecot.out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(log, 1);
        ::dup2(log, 2);
        const std::string conf = (m_dir / "dovecot.conf").string();
        // /usr/sbin is not on every user's PATH, and Dovecot finds itself again by its name.
        ::execl("/usr/sbin/dovecot", "/usr/sbin/dovecot", "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
        ::execlp("dovecot", "dovecot", "-F", "-c", conf.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(m_pid, m_pid);
    return WaitUntilListening(m_pid, {m_imapPort, m_imapsPort});
}

bool WaitUntilListening(pid_t& pid, std::initializer_list<std::uint16_t> ports) {
    // Within a moment on a quiet machine; a busy one may take many seconds to start a server.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::all_of(ports.begin(), ports.end(), AcceptsOnLoopback)) return true;
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

void CDovecotServer::Stop() {
    if (m_pid <= 0) return;
    ::kill(-m_pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Kill();
}

void CDovecotServer::Kill() {
    if (m_pid <= 0) {
        return;
    }
    ::kill(-m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    // The login processes hold the listening sockets too and leave a moment after the
    // master: until they have, a new server cannot bind and the old sockets still accept.
    for (int i = 0; i < 200 && (AcceptsOnLoopback(m_imapPort) || AcceptsOnLoopback(m_imapsPort)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
}

std::string CDovecotServer::ImapsUrl() const {
    return "imaps://" + User() + "@127.0.0.1:" + std::to_string(m_imapsPort) + "/";
}
std::string CDovecotServer::ImapUrl() const {
    return "imap://" + User() + "@127.0.0.1:" + std::to_string(m_imapPort) + "/";
}

void CDovecotServer::AddMail(const std::string& folder, const std::string& bytes, int daysAgo) {
    const std::string name = std::to_string(1700000000 + m_mailCount) + ".M" + std::to_string(m_mailCount) + ".yubino-test";
    ++m_mailCount;
    // Into cur/ as a mail program that has seen it leaves it: the server renames nothing.
    const fs::path file = FolderDir(folder) / "cur" / (name + ":2,S");
    WriteFileBytes(file, bytes);
    if (daysAgo >= 0) fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(24 * daysAgo));
    Own(file);
}

void CDovecotServer::RenewUidValidity(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(FolderDir(folder))) {
        const std::string name = entry.path().filename().string();
        if (name == "dovecot-uidlist" || name.starts_with("dovecot.index")) fs::remove(entry.path());
    }
    // The new UIDVALIDITY is the time of day in seconds: let it differ from the old one.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
}

std::string CDovecotServer::Log() const {
    return m_setupError + ReadFileBytes(m_dir / "dovecot.out") + ReadFileBytes(m_dir / "dovecot.log");
}
