// CSocket: one TCP/IPv4 socket of the operating system. This file pair is
// the network device's back end: the only one that includes the system's
// socket headers. Every send passes MSG_NOSIGNAL (a closed peer is an error,
// never a signal), connections run with TCP_NODELAY, listeners with
// SO_REUSEADDR, and names are looked up as IPv4 only, so "localhost" is
// always 127.0.0.1.
//
// One socket is used by several threads: one receives, others send or shut
// it down. Its descriptor is closed only by close or destruction, once no
// thread uses it any more.
#pragma once

#include "core/CString.h"

#include <cstddef>
#include <cstdint>

namespace kelvo::net
{

class CSocket
{
  public:
    CSocket() = default;
    ~CSocket() { close(); }
    CSocket(CSocket&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    CSocket& operator=(CSocket&& other) noexcept;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Dotted IPv4 text, or a name looked up as IPv4; the address in network
    // byte order. False when there is none.
    static bool resolveIPv4(const zu::core::CString& host, uint32_t& address);
    static zu::core::CString toDotted(uint32_t address);
    // The machine's name (at most 80 characters), empty when unknown.
    static zu::core::CString hostName();
    // The text of the last failed call of this thread.
    static zu::core::CString lastError();

    bool isOpen() const { return m_fd >= 0; }

    // A listening socket on the address (network byte order; 0 for any)
    // and port. False, closed, when the port cannot be bound.
    bool listen(uint32_t address, uint16_t port, int backlog);
    // Waits for the next connection; a closed socket on failure (also when
    // the listener is shut down).
    CSocket accept();
    // A blocking connection to the address and port.
    bool connect(uint32_t address, uint16_t port);

    // Sends every byte, waiting as long as the send timeout allows; the
    // number of bytes sent, less than size on failure.
    size_t sendAll(const void* bytes, size_t size);
    // Sends that wait longer than this fail (0: wait forever).
    void setSendTimeout(uint32_t ms);
    // Waits for bytes: their count, 0 at the end of the stream, -1 on error.
    // size must not be 0.
    ptrdiff_t receive(void* buffer, size_t size);

    // Ends both directions: a thread waiting in receive or accept returns.
    void shutdown();
    void close();

  private:
    explicit CSocket(int fd) : m_fd(fd) {}
    // A new TCP socket in place of this one.
    bool open();

    int m_fd = -1;
};

} // namespace kelvo::net
