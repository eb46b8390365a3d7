// CUdpSocket: one UDP socket of the operating system, IPv4 or IPv6, and the
// address conversions that need the system's headers. This file pair is the
// peer's back end: the only one that includes socket headers.
//
// The peer's network thread waits and receives; other threads send and wake
// it. An IPv6 socket takes IPv6 only. Broadcast sends are switched on only
// for a send that names the broadcast address.
#pragma once

#include "net/rudp/SSystemAddress.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvo::net::rudp
{

class CUdpSocket
{
  public:
    enum EOpenResult
    {
        OR_OK,
        OR_FAMILY_NOT_SUPPORTED,
        OR_PORT_IN_USE,
        OR_FAILED_TO_BIND
    };

    CUdpSocket() = default;
    ~CUdpSocket() { close(); }
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Binds to the port (0: any free one) on the address given, or on every
    // address of the family when it is null.
    EOpenResult open(EFamily family, uint16_t port, const SSystemAddress* bindAddress = nullptr);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    EFamily family() const { return m_family; }
    // The address and port it is bound to.
    SSystemAddress localAddress() const;

    bool sendTo(const SSystemAddress& to, const void* data, size_t size);
    // Waits until a datagram is there (true), or the time passes or wake()
    // is called (false).
    bool wait(int timeoutMs);
    // One waiting datagram without blocking: its size, or -1 when there is none.
    ptrdiff_t receiveFrom(void* buffer, size_t capacity, SSystemAddress& from);
    // Ends a wait() of another thread early.
    void wake();

    // Numeric IPv4 or IPv6 text.
    static bool parseNumeric(const std::string& host, SSystemAddress& out);
    // Numeric text, or a name looked up in that family.
    static bool resolve(const std::string& host, EFamily family, SSystemAddress& out);
    static std::string formatIPv6(const uint8_t bytes[16]);
    // True when a UDP socket of the family cannot bind the port.
    static bool isPortInUse(uint16_t port, EFamily family);

  private:
    int m_fd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    EFamily m_family = EF_NONE;
    std::atomic<bool> m_broadcast{false};
    std::atomic<bool> m_wakePending{false};
};

} // namespace kelvo::net::rudp
