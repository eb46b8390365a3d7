#include "net/rudp/CUdpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo::net::rudp
{
namespace
{

socklen_t toSockaddr(const SSystemAddress& a, sockaddr_storage& out)
{
    memset(&out, 0, sizeof(out));
    if (a.family == EF_IPV6)
    {
        auto* s = reinterpret_cast<sockaddr_in6*>(&out);
        s->sin6_family = AF_INET6;
        s->sin6_port = htons(a.port);
        memcpy(&s->sin6_addr, a.bytes, 16);
        s->sin6_scope_id = a.scopeId;
        return sizeof(sockaddr_in6);
    }
    auto* s = reinterpret_cast<sockaddr_in*>(&out);
    s->sin_family = AF_INET;
    s->sin_port = htons(a.port);
    memcpy(&s->sin_addr, a.bytes, 4);
    return sizeof(sockaddr_in);
}

SSystemAddress fromSockaddr(const sockaddr_storage& in)
{
    SSystemAddress a;
    if (in.ss_family == AF_INET6)
    {
        const auto* s = reinterpret_cast<const sockaddr_in6*>(&in);
        a.family = EF_IPV6;
        memcpy(a.bytes, &s->sin6_addr, 16);
        a.port = ntohs(s->sin6_port);
        a.scopeId = s->sin6_scope_id;
    }
    else if (in.ss_family == AF_INET)
    {
        const auto* s = reinterpret_cast<const sockaddr_in*>(&in);
        a.family = EF_IPV4;
        memcpy(a.bytes, &s->sin_addr, 4);
        a.port = ntohs(s->sin_port);
    }
    return a;
}

void setNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

} // namespace

CUdpSocket::EOpenResult CUdpSocket::open(EFamily family, uint16_t port,
                                         const SSystemAddress* bindAddress)
{
    close();
    const int domain = family == EF_IPV6 ? AF_INET6 : AF_INET;
    int fd = ::socket(domain, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errno == EAFNOSUPPORT || errno == EPROTONOSUPPORT ? OR_FAMILY_NOT_SUPPORTED
                                                                 : OR_FAILED_TO_BIND;
    if (family == EF_IPV6)
    {
        int one = 1;
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof(one));
    }
    // Bursts of a fast sender fit; the kernel caps what it grants.
    int buffer = 1 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof(buffer));

    SSystemAddress local;
    if (bindAddress && bindAddress->family == (family == EF_IPV6 ? EF_IPV6 : EF_IPV4))
        local = *bindAddress;
    else
        local.family = family == EF_IPV6 ? EF_IPV6 : EF_IPV4;
    local.port = port;
    sockaddr_storage storage;
    const socklen_t length = toSockaddr(local, storage);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0)
    {
        const int error = errno;
        ::close(fd);
        if (error == EADDRINUSE) return OR_PORT_IN_USE;
        // A machine without IPv6 addresses refuses the wildcard one.
        if (error == EAFNOSUPPORT || (family == EF_IPV6 && error == EADDRNOTAVAIL))
            return OR_FAMILY_NOT_SUPPORTED;
        return OR_FAILED_TO_BIND;
    }
    setNonBlocking(fd);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
    {
        ::close(fd);
        return OR_FAILED_TO_BIND;
    }
    setNonBlocking(pipeFds[0]);
    setNonBlocking(pipeFds[1]);
    fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    fcntl(pipeFds[1], F_SETFD, FD_CLOEXEC);
    m_fd = fd;
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    m_family = local.family;
    m_broadcast = false;
    m_wakePending = false;
    return OR_OK;
}

void CUdpSocket::close()
{
    for (int* fd : {&m_fd, &m_wakeRead, &m_wakeWrite})
    {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    m_family = EF_NONE;
}

SSystemAddress CUdpSocket::localAddress() const
{
    sockaddr_storage storage;
    socklen_t length = sizeof(storage);
    if (m_fd < 0 || getsockname(m_fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0)
        return SSystemAddress();
    return fromSockaddr(storage);
}

bool CUdpSocket::sendTo(const SSystemAddress& to, const void* data, size_t size)
{
    if (m_fd < 0 || to.family != m_family) return false;
    if (to.isBroadcast() && !m_broadcast.exchange(true))
    {
        int one = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof(one));
    }
    sockaddr_storage storage;
    const socklen_t length = toSockaddr(to, storage);
    const ssize_t sent =
        ::sendto(m_fd, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&storage), length);
    return sent == ssize_t(size);
}

bool CUdpSocket::wait(int timeoutMs)
{
    if (m_fd < 0) return false;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    const int n = ::poll(fds, 2, timeoutMs < 0 ? 0 : timeoutMs);
    if (n <= 0) return false;
    if (fds[1].revents)
    {
        char drain[64];
        while (::read(m_wakeRead, drain, sizeof(drain)) > 0)
        {
        }
        m_wakePending = false;
    }
    return (fds[0].revents & POLLIN) != 0;
}

ptrdiff_t CUdpSocket::receiveFrom(void* buffer, size_t capacity, SSystemAddress& from)
{
    if (m_fd < 0) return -1;
    sockaddr_storage storage;
    socklen_t length = sizeof(storage);
    const ssize_t n =
        ::recvfrom(m_fd, buffer, capacity, 0, reinterpret_cast<sockaddr*>(&storage), &length);
    if (n < 0) return -1;
    from = fromSockaddr(storage);
    return n;
}

void CUdpSocket::wake()
{
    if (m_wakeWrite >= 0 && !m_wakePending.exchange(true))
    {
        const char one = 1;
        if (::write(m_wakeWrite, &one, 1) < 0) m_wakePending = false;
    }
}

bool CUdpSocket::parseNumeric(const std::string& host, SSystemAddress& out)
{
    SSystemAddress a;
    if (inet_pton(AF_INET, host.c_str(), a.bytes) == 1)
    {
        a.family = EF_IPV4;
        out = a;
        return true;
    }
    if (inet_pton(AF_INET6, host.c_str(), a.bytes) == 1)
    {
        a.family = EF_IPV6;
        out = a;
        return true;
    }
    return false;
}

bool CUdpSocket::resolve(const std::string& host, EFamily family, SSystemAddress& out)
{
    SSystemAddress numeric;
    if (parseNumeric(host, numeric))
    {
        if (numeric.family != (family == EF_IPV6 ? EF_IPV6 : EF_IPV4)) return false;
        out = numeric;
        return true;
    }
    if (host.empty()) return false;
    addrinfo hints;
    memset(&hints, 0, sizeof(hints));
    hints.ai_family = family == EF_IPV6 ? AF_INET6 : AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || !list) return false;
    sockaddr_storage storage;
    memset(&storage, 0, sizeof(storage));
    memcpy(&storage, list->ai_addr, list->ai_addrlen);
    freeaddrinfo(list);
    out = fromSockaddr(storage);
    out.port = 0;
    return out.isAssigned();
}

std::string CUdpSocket::formatIPv6(const uint8_t bytes[16])
{
    char text[INET6_ADDRSTRLEN];
    if (!inet_ntop(AF_INET6, bytes, text, sizeof(text))) return "::";
    return text;
}

bool CUdpSocket::isPortInUse(uint16_t port, EFamily family)
{
    CUdpSocket probe;
    return probe.open(family, port) == OR_PORT_IN_USE;
}

} // namespace kelvo::net::rudp
