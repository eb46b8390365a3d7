// CNetConnection: one TCP connection of a network device: its socket, its
// receive thread, its frame reader and, on a host, what is known of the
// client at the other end.
//
// Connections are shared by the threads that use them (the receive thread,
// senders on other threads, the list of clients), so dropping one from the
// list never frees what another thread still reads or writes. Its thread is
// joined by another thread before the last reference goes.
#pragma once

#include "core/CString.h"
#include "net/CFrameReader.h"
#include "net/CSocket.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvo::net
{

class CNetConnection
{
  public:
    CNetConnection(int32_t id, CSocket socket);
    // Joins a receive thread still running, unless it is the calling thread.
    ~CNetConnection();
    CNetConnection(const CNetConnection&) = delete;
    CNetConnection& operator=(const CNetConnection&) = delete;

    int32_t getId() const { return m_id; }
    CSocket& getSocket() { return m_socket; }

    // Runs the receive thread; running until stop or withdraw.
    template <class Body> void start(Body body)
    {
        m_running = true;
        m_thread = std::thread(body);
    }
    bool isRunning() const { return m_running; }
    bool isOwnThread() const { return m_thread.get_id() == std::this_thread::get_id(); }
    // Ends the receive thread without a report of the close: clears the
    // running flag and shuts the socket down, which wakes the thread.
    void stop();
    // Clears the running flag; true when this call cleared it, and so the
    // caller is the one to report the close.
    bool withdraw() { return m_running.exchange(false); }
    // Waits for the receive thread to end; nothing on the thread itself.
    void join();

    // Sends all bytes, after whatever is queued, under the connection's send
    // lock, so packets from different threads never interleave on the
    // stream. True when every byte went out.
    bool send(const void* bytes, size_t size);
    // Keeps the bytes for the next send or flush: many packets, one write.
    void queue(const void* bytes, size_t size);
    // Sends what is queued; true when it all went out (or nothing waited).
    bool flush();

    // The receive thread's own.
    CFrameReader& getReader() { return m_reader; }

    // Host side: the client's key (read by senders on other threads), and
    // what its receive thread learns in the handshake.
    uint32_t getKey() const { return m_key; }
    void setKey(uint32_t key) { m_key = key; }
    zu::core::CString playerName;
    int32_t extra = 0;

    // Host side: how the handshake ended. The receive thread (welcome or
    // refusal) and the main thread (timeout) both try to settle it; only
    // the first succeeds.
    enum EHandshake
    {
        HANDSHAKE_PENDING,
        HANDSHAKE_WELCOMED,
        HANDSHAKE_REFUSED
    };
    bool settleHandshake(EHandshake outcome)
    {
        int pending = HANDSHAKE_PENDING;
        return m_handshake.compare_exchange_strong(pending, outcome);
    }
    bool isWelcomed() const { return m_handshake == HANDSHAKE_WELCOMED; }
    // When the connection was made (steady clock).
    std::chrono::steady_clock::time_point getCreated() const { return m_created; }

  private:
    int32_t m_id;
    CSocket m_socket;
    std::mutex m_sendLock;
    // Guarded by m_sendLock.
    std::vector<uint8_t> m_queued;
    std::atomic<bool> m_running{false};
    std::atomic<uint32_t> m_key{0};
    std::atomic<int> m_handshake{HANDSHAKE_PENDING};
    const std::chrono::steady_clock::time_point m_created = std::chrono::steady_clock::now();
    std::thread m_thread;
    CFrameReader m_reader;
};

} // namespace kelvo::net
