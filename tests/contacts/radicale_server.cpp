#include "contacts/radicale_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/shell_run.h"
#include "support/temp_dir.h"
#include "sync/dovecot_server.h"

namespace fs = std::filesystem;

CRadicaleServer::CRadicaleServer(fs::path dir) : m_dir(std::move(dir)) {
    fs::create_directories(m_dir);
    if (!MakeTestCertificates(m_dir)) m_setupError = "openssl: " + ReadFileBytes(m_dir / "openssl.log");
    WriteFileBytes(m_dir / "htpasswd", User() + ":" + Password() + "\n");
    fs::create_directories(m_dir / "storage");
    ::close(BindLoopback(m_port));
}

CRadicaleServer::~CRadicaleServer() { Kill(); }

bool CRadicaleServer::Start() {
    if (m_pid > 0) return true;
    const std::string port = "127.0.0.1:" + std::to_string(m_port);
    const std::string crt = (m_dir / "server.pem").string(), key = (m_dir / "server.key").string();
    const std::string users = (m_dir / "htpasswd").string(), storage = (m_dir / "storage").string();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::setpgid(0, 0);
        const int log = ::open((m_dir / "radicale.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::execlp("radicale", "radicale", "--config", "", "--server-hosts", port.c_str(), "--server-ssl",
                 "--server-certificate", crt.c_str(), "--server-key", key.c_str(), "--auth-type", "htpasswd",
                 "--auth-htpasswd-filename", users.c_str(), "--auth-htpasswd-encryption", "plain",
                 "--storage-filesystem-folder", storage.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(m_pid, m_pid);
    return WaitUntilListening(m_pid, {m_port});
}

void CRadicaleServer::Kill() {
    if (m_pid <= 0) return;
    ::kill(-m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

std::string CRadicaleServer::CurlOptions() const {
    return "-s --cacert " + Quoted(CaFile().string()) + " -u " + User() + ":" + Password();
}

bool CRadicaleServer::MakeBook(const std::string& book) {
    const std::string body =
        "<?xml version=\"1.0\"?><mkcol xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><set><prop>"
        "<resourcetype><collection/><C:addressbook/></resourcetype><displayname>" +
        book + "</displayname></prop></set></mkcol>";
    const ShellRun made = RunShell("curl " + CurlOptions() + " -o /dev/null -w '%{http_code}' -X MKCOL --data " +
                                   Quoted(body) + " " + Quoted(BookUrl(book)));
    return made.out == "201";
}

std::string CRadicaleServer::Url() const { return "https://" + User() + "@127.0.0.1:" + std::to_string(m_port) + "/"; }

std::string CRadicaleServer::BookUrl(const std::string& book) const {
    return "https://127.0.0.1:" + std::to_string(m_port) + "/" + User() + "/" + book + "/";
}

fs::path CRadicaleServer::BookDir(const std::string& book) const {
    return m_dir / "storage" / "collection-root" / User() / book;
}

std::size_t CRadicaleServer::CardCount(const std::string& book) const {
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(BookDir(book), error))
        if (entry.path().extension() == ".vcf") ++count;
    return count;
}

std::string CRadicaleServer::Log() const { return m_setupError + ReadFileBytes(m_dir / "radicale.log"); }
