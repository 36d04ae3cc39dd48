// The whole mailbox check on any bytes a server may send: the input is everything a server
// on 127.0.0.1 says (greeting, answers to the login, LIST, STATUS, EXAMINE, SEARCH and FETCH)
// before it closes, read by the check as it reads a real server, into the mails it hands on.
// The server closes after its last byte, so no input waits for a time-out.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "sync/imap_check.h"

namespace {

constexpr std::uint64_t kMailCap = 64 * 1024;

class CReplayServer {
public:
    CReplayServer() {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_listen, 4) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            __builtin_trap();
        m_port = ntohs(addr.sin_port);
        std::thread([this] { Serve(); }).detach();
    }
    std::uint16_t Port() const { return m_port; }
    void SetAnswers(std::string bytes) {
        std::lock_guard lock(m_mutex);
        m_answers = std::move(bytes);
    }

private:
    // One connection at a time: all the bytes, the end of the sending side, then whatever the
    // client says until it leaves.
    void Serve() {
        for (;;) {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0) continue;
            std::string answers;
            {
                std::lock_guard lock(m_mutex);
                answers = m_answers;
            }
            for (std::size_t at = 0; at < answers.size();) {
                const ssize_t n = ::send(fd, answers.data() + at, answers.size() - at, MSG_NOSIGNAL);
                if (n <= 0) break;
                at += static_cast<std::size_t>(n);
            }
            ::shutdown(fd, SHUT_WR);
            char buffer[4096];
            while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
            }
            ::close(fd);
        }
    }

    int m_listen;
    std::uint16_t m_port;
    std::mutex m_mutex;
    std::string m_answers;
};

void CheckMail(const FetchedMail& mail) {
    if (mail.uid == 0 || mail.point.lastUid > mail.uid || mail.bytes.size() > kMailCap) __builtin_trap();
}

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        i += length;
    }
    return true;
}

// Every message goes into a window and a JSON string as it is: UTF-8, no carriage return,
// no empty parentheses where a cause would be.
void CheckMessages(const CheckOutcome& outcome) {
    for (const std::string& error : outcome.errors)
        if (error.find('\r') != std::string::npos || error.find(" ()") != std::string::npos || !ValidUtf8(error))
            __builtin_trap();
    for (const std::string& folder : outcome.folders)
        if (!ValidUtf8(folder)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CReplayServer server;
    server.SetAnswers(std::string(reinterpret_cast<const char*>(data), size));
    ImapCheckOptions options;
    options.server = {"127.0.0.1", server.Port(), ImapSecurity::StartTls, "u"};
    options.password = "p";
    options.session.timeoutMs = 5000;
    options.session.maxMailBytes = kMailCap;
    options.addresses = {"pal@example.jp"};
    CMemorySyncState state;
    CImapCheck check(state);
    const CheckOutcome outcome = check.Run(options, [](const FetchedMail& mail) {
        CheckMail(mail);
        return true;
    });
    CheckMessages(outcome);
    return 0;
}
