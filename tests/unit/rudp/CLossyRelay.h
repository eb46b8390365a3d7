// CLossyRelay: a UDP relay on the loopback address between one client and
// one host, which drops, reorders and duplicates datagrams at the rates it
// is given (the same in both directions). The client sends to port(); the
// relay forwards to the host from that same socket and sends the host's
// datagrams back to the client. It forwards only to loopback addresses and
// stops with the object; blackhole() makes it drop everything.
#pragma once

#include "net/rudp/CUdpSocket.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace rudptest
{

using kelvo::net::rudp::CUdpSocket;
using kelvo::net::rudp::EFamily;
using kelvo::net::rudp::SSystemAddress;

class CLossyRelay
{
  public:
    struct SRates
    {
        double drop = 0;
        double reorder = 0;
        double duplicate = 0;
    };

    CLossyRelay(const SSystemAddress& host, SRates rates, uint32_t seed = 1)
        : m_host(host), m_rates(rates), m_random(seed)
    {
        const SSystemAddress local = SSystemAddress::loopback(host.family, 0);
        m_ok = m_socket.open(host.family, 0, &local) == CUdpSocket::OR_OK && host.isLoopback();
        if (m_ok) m_thread = std::thread([this] { run(); });
    }
    ~CLossyRelay()
    {
        m_stop = true;
        m_socket.wake();
        if (m_thread.joinable()) m_thread.join();
    }
    CLossyRelay(const CLossyRelay&) = delete;
    CLossyRelay& operator=(const CLossyRelay&) = delete;

    bool ok() const { return m_ok; }
    uint16_t port() const { return m_socket.localAddress().port; }
    void blackhole(bool on) { m_blackhole = on; }
    uint64_t dropped() const { return m_dropped; }
    uint64_t forwarded() const { return m_forwarded; }

  private:
    struct SHeld
    {
        bool toHost;
        std::vector<uint8_t> data;
    };

    void run()
    {
        std::vector<uint8_t> buffer(65536);
        std::vector<SHeld> held;
        while (!m_stop)
        {
            m_socket.wait(5);
            for (int i = 0; i < 256; ++i)
            {
                SSystemAddress sender;
                const ptrdiff_t n = m_socket.receiveFrom(buffer.data(), buffer.size(), sender);
                if (n < 0) break;
                const bool toHost = !(sender == m_host);
                if (toHost) m_client = sender;
                handle(toHost, std::vector<uint8_t>(buffer.begin(), buffer.begin() + n), held);
            }
            // Whatever waited to be overtaken goes out now.
            for (SHeld& h : held)
                forward(h.toHost, h.data);
            held.clear();
        }
    }

    void handle(bool toHost, std::vector<uint8_t>&& data, std::vector<SHeld>& held)
    {
        std::uniform_real_distribution<double> chance(0, 1);
        if (m_blackhole || chance(m_random) < m_rates.drop)
        {
            ++m_dropped;
            return;
        }
        const bool twice = chance(m_random) < m_rates.duplicate;
        if (chance(m_random) < m_rates.reorder)
        {
            held.push_back({toHost, data});
            if (twice) forward(toHost, data);
            return;
        }
        forward(toHost, data);
        if (twice) forward(toHost, data);
    }

    void forward(bool toHost, const std::vector<uint8_t>& data)
    {
        const SSystemAddress& to = toHost ? m_host : m_client;
        if (!to.isLoopback()) return;
        m_socket.sendTo(to, data.data(), data.size());
        ++m_forwarded;
    }

    SSystemAddress m_host;
    SSystemAddress m_client;
    SRates m_rates;
    std::mt19937 m_random;
    CUdpSocket m_socket;
    bool m_ok = false;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_blackhole{false};
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<uint64_t> m_forwarded{0};
    std::thread m_thread;
};

} // namespace rudptest
