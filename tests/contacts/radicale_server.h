// A Radicale address book server of the test's own: a test CA and server certificate for
// 127.0.0.1, an htpasswd user and the storage in a temporary folder, listening with TLS on
// 127.0.0.1 at a free port. Started as a child process in its own process group, stopped
// by its id.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

class CRadicaleServer {
public:
    explicit CRadicaleServer(std::filesystem::path dir);
    ~CRadicaleServer();
    CRadicaleServer(const CRadicaleServer&) = delete;
    CRadicaleServer& operator=(const CRadicaleServer&) = delete;

    bool Start();
    // SIGKILL to the whole process group: the server gone in the middle of whatever it does.
    void Kill();

    // An address book of the user named `book`, made by MKCOL; false when it was refused.
    bool MakeBook(const std::string& book);
    // "https://pal@127.0.0.1:PORT/"
    std::string Url() const;
    std::string BookUrl(const std::string& book) const;
    std::filesystem::path CaFile() const { return m_dir / "ca.pem"; }
    std::string User() const { return "pal"; }
    std::string Password() const { return "secret-Pa55"; }
    // curl's options that reach the server as the user (CA and credentials).
    std::string CurlOptions() const;
    // The cards of the book as files in the server's storage.
    std::filesystem::path BookDir(const std::string& book) const;
    std::size_t CardCount(const std::string& book) const;
    std::string Log() const;
    std::uint16_t Port() const { return m_port; }

private:
    std::filesystem::path m_dir;
    std::uint16_t m_port = 0;
    pid_t m_pid = -1;
    std::string m_setupError;
};
