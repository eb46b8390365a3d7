#include "net/CNetConnection.h"

namespace kelvo::net
{

CNetConnection::CNetConnection(int32_t id, CSocket socket) : m_id(id), m_socket(std::move(socket))
{
}

CNetConnection::~CNetConnection()
{
    if (!m_thread.joinable()) return;
    if (isOwnThread())
        m_thread.detach();
    else
    {
        stop();
        m_thread.join();
    }
}

void CNetConnection::stop()
{
    m_running = false;
    m_socket.shutdown();
}

void CNetConnection::join()
{
    if (m_thread.joinable() && !isOwnThread()) m_thread.join();
}

bool CNetConnection::send(const void* bytes, size_t size)
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    if (m_queued.empty()) return m_socket.sendAll(bytes, size) == size;
    const auto* from = static_cast<const uint8_t*>(bytes);
    m_queued.insert(m_queued.end(), from, from + size);
    const bool sent = m_socket.sendAll(m_queued.data(), m_queued.size()) == m_queued.size();
    m_queued.clear();
    return sent;
}

void CNetConnection::queue(const void* bytes, size_t size)
{
    const auto* from = static_cast<const uint8_t*>(bytes);
    std::lock_guard<std::mutex> lock(m_sendLock);
    m_queued.insert(m_queued.end(), from, from + size);
}

bool CNetConnection::flush()
{
    std::lock_guard<std::mutex> lock(m_sendLock);
    if (m_queued.empty()) return true;
    const bool sent = m_socket.sendAll(m_queued.data(), m_queued.size()) == m_queued.size();
    m_queued.clear();
    return sent;
}

} // namespace kelvo::net
