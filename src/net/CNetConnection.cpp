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
    return m_socket.sendAll(bytes, size) == size;
}

} // namespace kelvo::net
