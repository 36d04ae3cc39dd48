#include "sync/scripted_imap_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "sync/dovecot_server.h"

namespace {

constexpr const char* kGreeting = "* OK [CAPABILITY IMAP4rev1] scripted server ready\r\n";
constexpr int kTickMs = 100;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The word after `key` in `command` (a folder name, a UID set), without quotes.
std::string WordAfter(const std::string& command, const std::string& key) {
    const std::size_t at = Upper(command).find(key);
    if (at == std::string::npos) return {};
    std::size_t begin = at + key.size();
    if (begin < command.size() && command[begin] == '"') {
        const std::size_t end = command.find('"', begin + 1);
        return command.substr(begin + 1, end == std::string::npos ? std::string::npos : end - begin - 1);
    }
    const std::size_t end = command.find_first_of(" )", begin);
    return command.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::uint32_t Number(std::string_view text, std::uint32_t star) {
    if (text == "*") return star;
    std::uint32_t n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

// Whether `uid` is in an IMAP set such as "1:4,7,9:*".
bool InSet(const std::string& set, std::uint32_t uid, std::uint32_t star) {
    std::size_t begin = 0;
    while (begin <= set.size()) {
        const std::size_t end = std::min(set.find(',', begin), set.size());
        const std::string_view item(set.data() + begin, end - begin);
        const std::size_t colon = item.find(':');
        std::uint32_t low = Number(item.substr(0, colon), star);
        std::uint32_t high = colon == std::string_view::npos ? low : Number(item.substr(colon + 1), star);
        if (low > high) std::swap(low, high);
        if (uid >= low && uid <= high) return true;
        begin = end + 1;
    }
    return false;
}

std::uint32_t NextUid(const ScriptedFolder& folder) {
    return folder.mails.empty() ? 1 : folder.mails.rbegin()->first + 1;
}

}  // namespace

CScriptedImapServer::CScriptedImapServer(ServerScript script) : m_script(std::move(script)) {
    m_folders["INBOX"];
    m_listen = BindLoopback(m_port, 16);
    if (::pipe(m_stop) != 0) m_stop[0] = m_stop[1] = -1;
    m_acceptor = std::thread([this] { Accept(); });
}

CScriptedImapServer::~CScriptedImapServer() {
    ::close(m_stop[1]);
    ::shutdown(m_listen, SHUT_RDWR);
    m_acceptor.join();
    {
        std::lock_guard lock(m_mutex);
        for (int fd : m_fds) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& session : m_sessions) session.join();
    ::close(m_listen);
    ::close(m_stop[0]);
}

void CScriptedImapServer::AddMail(const std::string& folder, const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    ScriptedFolder& f = m_folders[folder];
    f.mails[std::max(m_nextUid, NextUid(f))] = bytes;
    m_nextUid = NextUid(f);
}

void CScriptedImapServer::AddFolder(const std::string& name, const std::string& flags) {
    std::lock_guard lock(m_mutex);
    m_folders[name].flags = flags;
}

void CScriptedImapServer::Renumber(const std::string& folder) {
    std::lock_guard lock(m_mutex);
    ScriptedFolder& f = m_folders[folder];
    std::map<std::uint32_t, std::string> renumbered;
    for (auto& [uid, bytes] : f.mails) renumbered[m_nextUid++] = std::move(bytes);
    f.mails = std::move(renumbered);
    ++f.uidValidity;
}

std::vector<std::string> CScriptedImapServer::Commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}

void CScriptedImapServer::Accept() {
    for (;;) {
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0) return;
        std::lock_guard lock(m_mutex);
        m_fds.push_back(fd);
        m_sessions.emplace_back([this, fd] { Serve(fd); });
    }
}

void CScriptedImapServer::Send(int fd, const std::string& bytes) {
    const std::size_t step = m_script.bytesPerTick > 0 ? static_cast<std::size_t>(m_script.bytesPerTick) : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        if (::send(fd, bytes.data() + at, std::min(step, bytes.size() - at), MSG_NOSIGNAL) < 0) return;
        pollfd stop{m_stop[0], POLLIN, 0};
        if (m_script.bytesPerTick > 0 && ::poll(&stop, 1, kTickMs) != 0) return;
    }
}

void CScriptedImapServer::Serve(int fd) {
    if (m_script.endlessLine) {
        Send(fd, "* OK ");
        const std::string chunk(64 * 1024, 'x');
        while (::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
        }
        Close(fd);
        return;
    }
    if (!m_script.silent) Send(fd, m_script.greeting.empty() ? kGreeting : m_script.greeting);
    bool close = m_script.closeAfterGreeting;
    bool silent = false;
    std::string pending;
    char buffer[4096];
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
    while (!close && ::poll(fds, 2, -1) > 0 && !fds[1].revents) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; !close && (end = pending.find("\r\n")) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 2);
            {
                std::lock_guard lock(m_mutex);
                m_commands.push_back(line);
            }
            if (silent) continue;
            if (!m_script.thenOnly.empty()) {
                Send(fd, m_script.thenOnly);
                silent = true;
                continue;
            }
            Send(fd, Answer(line, close));
        }
    }
    Close(fd);
}

// Forgotten before it is closed: the destructor must not shut down a number reused since.
void CScriptedImapServer::Close(int fd) {
    std::lock_guard lock(m_mutex);
    std::erase(m_fds, fd);
    ::close(fd);
}

std::string CScriptedImapServer::Answer(const std::string& line, bool& close) {
    const std::size_t space = line.find(' ');
    const std::string tag = line.substr(0, space);
    const std::string command = space == std::string::npos ? std::string() : line.substr(space + 1);
    const std::string upper = Upper(command);
    std::lock_guard lock(m_mutex);
    std::string answer;
    const std::string ok = (m_script.junkBetween ? "%%% no protocol here %%%\r\n" : "") + tag + " OK done\r\n";
    if (upper.starts_with("CAPABILITY")) {
        answer = (m_script.listsCapabilities ? "* CAPABILITY IMAP4rev1\r\n" : "") + ok;
    } else if (upper.starts_with("LOGIN")) {
        answer = ok;
        close = m_script.closeAfterLogin;
    } else if (upper.starts_with("LIST")) {
        for (const auto& [name, folder] : m_folders)
            answer += "* LIST (" + folder.flags + ") \"/\" \"" + name + "\"\r\n";
        answer += ok;
    } else if (upper.starts_with("STATUS") || upper.starts_with("EXAMINE")) {
        const bool status = upper.starts_with("STATUS");
        answer =
            (status && !m_script.statusData.empty() ? m_script.statusData : SelectAnswer(tag, command, status)) + ok;
    } else if (upper.starts_with("UID SEARCH")) {
        answer = SearchAnswer(tag, command) + ok;
    } else if (upper.starts_with("UID FETCH")) {
        answer = FetchAnswer(tag, command) + ok;
    } else if (upper.starts_with("LOGOUT")) {
        answer = "* BYE bye\r\n" + ok;
        close = true;
    } else {
        answer = tag + " BAD what\r\n";
    }
    return answer;
}

std::uint32_t CScriptedImapServer::Validity(ScriptedFolder& folder) {
    if (m_script.newValidityEachTime) ++folder.uidValidity;
    return folder.uidValidity;
}

std::string CScriptedImapServer::SelectAnswer(const std::string& tag, const std::string& command, bool status) {
    const std::string name = WordAfter(command, status ? "STATUS " : "EXAMINE ");
    const auto it = m_folders.find(name);
    if (it == m_folders.end()) return tag + " NO no such folder\r\n";
    ScriptedFolder& folder = it->second;
    const std::string validity = std::to_string(Validity(folder));
    const std::string next = std::to_string(NextUid(folder));
    if (status) return "* STATUS \"" + name + "\" (UIDVALIDITY " + validity + " UIDNEXT " + next + ")\r\n";
    m_selected = name;
    return "* " + std::to_string(folder.mails.size()) + " EXISTS\r\n* OK [UIDVALIDITY " + validity +
           "] ok\r\n* OK [UIDNEXT " + next + "] ok\r\n";
}

std::string CScriptedImapServer::SearchAnswer(const std::string&, const std::string& command) {
    const std::string set = WordAfter(command, "SEARCH UID ");
    std::string answer = "* SEARCH";
    if (m_script.extremeUids) answer += " 0 4294967295";
    for (const auto& [uid, bytes] : m_folders[m_selected].mails)
        if (set.empty() || InSet(set, uid, UINT32_MAX)) answer += " " + std::to_string(uid);
    return answer + "\r\n";
}

std::string CScriptedImapServer::FetchAnswer(const std::string&, const std::string& command) {
    const std::string set = WordAfter(command, "FETCH ");
    const bool bodies = Upper(command).find("BODY.PEEK[]") != std::string::npos;
    if (bodies && m_script.bareFetches != 0) {
        if (m_script.bareFetches > 0) --m_script.bareFetches;
        return {};
    }
    std::string answer;
    std::size_t sequence = 0;
    for (const auto& [uid, bytes] : m_folders[m_selected].mails) {
        ++sequence;
        if (!InSet(set, uid, UINT32_MAX) || (bodies && uid == m_script.withheldUid)) continue;
        const std::string item = bodies ? "BODY[] {" + std::to_string(bytes.size()) + "}\r\n" + bytes
                                        : "RFC822.SIZE " + std::to_string(bytes.size());
        answer += "* " + std::to_string(sequence) + " FETCH (UID " + std::to_string(uid) + " " + item + ")\r\n";
    }
    if (m_script.foreignUids)
        answer +=
            bodies ? "* 1 FETCH (UID 999999 BODY[] {5}\r\nnoise)\r\n" : "* 1 FETCH (UID 999999 RFC822.SIZE 5)\r\n";
    return answer;
}
