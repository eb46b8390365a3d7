#include "net/CSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace kelvo::net
{
namespace
{

sockaddr_in socketAddress(uint32_t address, uint16_t port)
{
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = address;
    in.sin_port = htons(port);
    return in;
}

} // namespace

bool CSocket::open()
{
    close();
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return m_fd >= 0;
}

CSocket& CSocket::operator=(CSocket&& other) noexcept
{
    if (this != &other)
    {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool CSocket::resolveIPv4(const zu::core::CString& host, uint32_t& address)
{
    in_addr parsed;
    if (inet_pton(AF_INET, host.c_str(), &parsed) == 1)
    {
        address = parsed.s_addr;
        return true;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

zu::core::CString CSocket::toDotted(uint32_t address)
{
    in_addr in;
    in.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in, text, sizeof text);
    return text;
}

zu::core::CString CSocket::hostName()
{
    char name[81] = {};
    if (gethostname(name, 80) != 0) return zu::core::CString();
    return name;
}

zu::core::CString CSocket::lastError()
{
    char text[128];
    return strerror_r(errno, text, sizeof text);
}

bool CSocket::listen(uint32_t address, uint16_t port, int backlog)
{
    if (!open()) return false;
    int on = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in local = socketAddress(address, port);
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(m_fd, backlog) != 0)
    {
        int error = errno;
        close();
        errno = error;
        return false;
    }
    return true;
}

CSocket CSocket::accept()
{
    for (;;)
    {
        int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0)
        {
            int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return CSocket(fd);
        }
        if (errno != EINTR) return CSocket();
    }
}

bool CSocket::connect(uint32_t address, uint16_t port)
{
    if (!open()) return false;
    int on = 1;
    setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in remote = socketAddress(address, port);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0)
    {
        int error = errno;
        close();
        errno = error;
        return false;
    }
    return true;
}

size_t CSocket::sendAll(const void* bytes, size_t size)
{
    const auto* from = static_cast<const uint8_t*>(bytes);
    size_t sent = 0;
    while (sent < size && m_fd >= 0)
    {
        ssize_t n = ::send(m_fd, from + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return sent;
}

void CSocket::setSendTimeout(uint32_t ms)
{
    timeval timeout{};
    timeout.tv_sec = ms / 1000;
    timeout.tv_usec = (ms % 1000) * 1000;
    setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

ptrdiff_t CSocket::receive(void* buffer, size_t size)
{
    if (size == 0) return -1;
    for (;;)
    {
        ssize_t n = ::recv(m_fd, buffer, size, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

void CSocket::shutdown()
{
    if (m_fd >= 0) ::shutdown(m_fd, SHUT_RDWR);
}

void CSocket::close()
{
    if (m_fd >= 0)
    {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace kelvo::net
