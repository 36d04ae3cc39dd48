#include "delaying_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <string>

#include "sync/dovecot_server.h"

namespace {

using Clock = std::chrono::steady_clock;

int ConnectLoopback(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void NoDelay(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

CDelayingProxy::CDelayingProxy(std::uint16_t targetPort, std::chrono::milliseconds delayEachWay)
    : m_targetPort(targetPort), m_delay(delayEachWay), m_listen(BindLoopback(m_port, 16)) {
    m_acceptor = std::thread([this] { Accept(); });
}

CDelayingProxy::~CDelayingProxy() {
    ::shutdown(m_listen, SHUT_RDWR);
    m_acceptor.join();
    {
        std::lock_guard lock(m_mutex);
        for (int fd : m_fds) ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& t : m_threads) t.join();
    for (int fd : m_fds) ::close(fd);
    ::close(m_listen);
}

void CDelayingProxy::Accept() {
    for (;;) {
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client < 0) return;
        const int server = ConnectLoopback(m_targetPort);
        if (server < 0) {
            ::close(client);
            continue;
        }
        NoDelay(client);
        NoDelay(server);
        std::lock_guard lock(m_mutex);
        m_fds.insert(m_fds.end(), {client, server});
        m_threads.emplace_back([this, client, server] { Relay(client, server); });
        m_threads.emplace_back([this, client, server] { Relay(server, client); });
    }
}

// Reads chunks as they come and writes each `m_delay` after it came, on a second thread.
void CDelayingProxy::Relay(int from, int to) {
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Chunk> queue;
    bool ended = false;
    std::thread writer([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            ready.wait(lock, [&] { return ended || !queue.empty(); });
            if (queue.empty()) break;
            Chunk chunk = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(chunk.due);
            for (std::size_t at = 0; at < chunk.bytes.size();) {
                const ssize_t n = ::send(to, chunk.bytes.data() + at, chunk.bytes.size() - at, MSG_NOSIGNAL);
                if (n <= 0) break;
                at += static_cast<std::size_t>(n);
            }
            lock.lock();
        }
        ::shutdown(to, SHUT_WR);
    });
    char buffer[64 * 1024];
    for (ssize_t n; (n = ::recv(from, buffer, sizeof buffer, 0)) > 0;) {
        std::lock_guard lock(mutex);
        queue.push_back({Clock::now() + m_delay, std::string(buffer, static_cast<std::size_t>(n))});
        ready.notify_one();
    }
    {
        std::lock_guard lock(mutex);
        ended = true;
        ready.notify_one();
    }
    writer.join();
}
