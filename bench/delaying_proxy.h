// A TCP proxy on 127.0.0.1 that holds every chunk a fixed time before passing it on, each
// way: a server round trip of twice that, where the kernel has no netem to add it. Chunks
// in flight overlap, so the line's throughput stays as it was.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CDelayingProxy {
public:
    CDelayingProxy(std::uint16_t targetPort, std::chrono::milliseconds delayEachWay);
    ~CDelayingProxy();
    CDelayingProxy(const CDelayingProxy&) = delete;
    CDelayingProxy& operator=(const CDelayingProxy&) = delete;

    std::uint16_t Port() const { return m_port; }

private:
    void Accept();
    void Relay(int from, int to);

    std::uint16_t m_targetPort;
    std::chrono::milliseconds m_delay;
    std::uint16_t m_port = 0;  // before m_listen: binding sets it
    int m_listen;
    std::mutex m_mutex;
    std::vector<int> m_fds;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};
