// An IMAP server of the test's own on 127.0.0.1 that can misbehave as real and hostile
// servers do: a small mailbox served over plain IMAP (CAPABILITY, LOGIN, LIST, STATUS,
// EXAMINE, UID SEARCH, UID FETCH, LOGOUT), with each misbehaviour switched on by a field of
// `ServerScript`. Every connection is served on a thread of its own until the client leaves
// or the server is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ScriptedFolder {
    std::string flags;  // LIST flags, e.g. "\\Sent"
    std::uint32_t uidValidity = 7;
    std::map<std::uint32_t, std::string> mails;  // UID to bytes
};

struct ServerScript {
    // Sent on connecting instead of the usual greeting, when set.
    std::string greeting{};
    bool silent = false;  // not even a greeting
    bool closeAfterGreeting = false;
    // Instead of answering the first command: bytes sent once, then nothing more.
    std::string thenOnly{};
    bool endlessLine = false;          // "* OK " and then never a line end
    bool closeAfterLogin = false;      // the connection ends right after LOGIN's OK
    int bytesPerTick = 0;              // above 0: every answer dribbles out this many bytes a tick
    int bareFetches = 0;               // so many UID FETCH of bodies are answered with a bare OK (-1: all)
    bool junkBetween = false;          // a line of junk before each tagged answer
    bool foreignUids = false;          // FETCH answers carry a mail not asked for as well
    std::uint32_t withheldUid = 0;     // this mail's body is never sent
    bool extremeUids = false;          // SEARCH answers UID 0 and 4294967295 besides the real ones
    bool newValidityEachTime = false;  // each STATUS and EXAMINE tells another UIDVALIDITY
    bool listsCapabilities = true;     // CAPABILITY is answered with the list, or with a bare OK
    std::string statusData{};          // sent instead of STATUS's untagged answer, when set
};

class CScriptedImapServer {
public:
    explicit CScriptedImapServer(ServerScript script);
    ~CScriptedImapServer();
    CScriptedImapServer(const CScriptedImapServer&) = delete;
    CScriptedImapServer& operator=(const CScriptedImapServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // Folders by name (modified UTF-7); INBOX is there from the start.
    void AddMail(const std::string& folder, const std::string& bytes);
    void AddFolder(const std::string& name, const std::string& flags = {});
    // Gives every mail a new UID and the folder a new UIDVALIDITY, as a server does that
    // renumbers after each append.
    void Renumber(const std::string& folder);
    // The commands the clients sent, one per line, tags included.
    std::vector<std::string> Commands() const;

private:
    void Accept();
    void Serve(int fd);
    std::string Answer(const std::string& line, bool& close);
    std::string FetchAnswer(const std::string& tag, const std::string& command);
    std::string SearchAnswer(const std::string& tag, const std::string& command);
    std::string SelectAnswer(const std::string& tag, const std::string& command, bool status);
    std::uint32_t Validity(ScriptedFolder& folder);
    void Send(int fd, const std::string& bytes);
    void Close(int fd);

    ServerScript m_script;
    int m_listen;
    std::uint16_t m_port = 0;
    int m_stop[2];  // a pipe: closed when the server goes
    mutable std::mutex m_mutex;
    std::map<std::string, ScriptedFolder> m_folders;
    std::string m_selected = "INBOX";
    std::vector<std::string> m_commands;
    std::uint32_t m_nextUid = 1;
    std::thread m_acceptor;
    std::vector<std::thread> m_sessions;
    std::vector<int> m_fds;
};
