#include "net/CNetSession.h"

#include "event/SEngineEvent.h"
#include "net/INetworkDevice.h"
#include "net/NetProtocol.h"

#include <algorithm>
#include <vector>

namespace zu::net
{
namespace
{

// The sessions that queued packets since the last flushAll.
std::vector<CNetSession*>& waiting()
{
    static std::vector<CNetSession*> sessions;
    return sessions;
}

} // namespace

CNetSession::~CNetSession()
{
    closeDevice();
    if (m_queued)
    {
        std::vector<CNetSession*>& sessions = waiting();
        sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
    }
}

void CNetSession::flushAll()
{
    std::vector<CNetSession*> sessions;
    sessions.swap(waiting());
    for (CNetSession* session : sessions)
        session->flush();
}

void CNetSession::queued()
{
    if (m_queued) return;
    m_queued = true;
    waiting().push_back(this);
}

void CNetSession::flush()
{
    m_queued = false;
    if (m_device) m_device->flush();
}

const char* CNetSession::failureText(int32_t kind)
{
    switch (kind)
    {
    case NEK_SERVER_FULL:
        return "Server is full";
    case NEK_INCORRECT_VERSION:
        return "Incorrect game version";
    default:
        return "Unable to connect";
    }
}

void CNetSession::closeDevice()
{
    if (!m_device) return;
    disconnect();
    m_device->drop();
    m_device = nullptr;
}

bool CNetSession::prepare()
{
    disconnect();
    if (!m_device)
    {
        m_device = createDevice();
        if (m_device) m_device->grab();
    }
    return m_device != nullptr;
}

bool CNetSession::startHost(const core::CString& game, const core::CString& player, int32_t port,
                            int32_t maxConnections)
{
    if (!prepare()) return false;
    m_parameters = SSessionParameters();
    m_parameters.gameVersion = game;
    m_parameters.serverName = game;
    m_parameters.hostAddress = "localhost";
    m_parameters.playerName = player;
    m_parameters.port = port;
    m_parameters.maxConnections = maxConnections;
    m_hosting = true;
    m_active = m_device->startServer(this, m_parameters) == 0;
    return m_active;
}

void CNetSession::joinHost(const core::CString& game, const core::CString& player,
                           const core::CString& address, int32_t port)
{
    if (!prepare()) return;
    m_parameters = SSessionParameters();
    m_parameters.gameVersion = game;
    m_parameters.serverName = game;
    m_parameters.hostAddress = address;
    m_parameters.playerName = player;
    m_parameters.port = port;
    m_hosting = false;
    // A failure arrives as an event, like a refusal.
    m_device->connect(this, m_parameters);
}

void CNetSession::sendPacket(int32_t clientId, const void* packet, size_t size)
{
    if (!m_active || !m_device || !packet || size > PACKET_MAX_SIZE) return;
    if (m_device->send(clientId, packet, int32_t(size), SEND_QUEUED) >= 0) queued();
}

void CNetSession::broadcastPacket(const void* packet, size_t size)
{
    if (!m_active || !m_device || !packet || size > PACKET_MAX_SIZE) return;
    m_device->broadcast(packet, int32_t(size), SEND_QUEUED, HOST_CLIENT_ID);
    queued();
}

void CNetSession::sendText(const core::CString& text)
{
    if (!m_active || !m_device) return;
    if (m_device->send(HOST_CLIENT_ID, text.c_str(), int32_t(text.size()),
                       SEND_TEXT | SEND_QUEUED) >= 0)
        queued();
}

void CNetSession::disconnect()
{
    m_active = false;
    // The device sends what waits before it closes.
    if (m_device) m_device->disconnect();
    discardPending();
}

void CNetSession::poll()
{
    dispatch(m_device);
}

void CNetSession::handleNetworkEvent(const event::SEngineEvent& event)
{
    const event::SNetworkEvent& network = event.network;
    const char* text = static_cast<const char*>(network.data);
    switch (network.kind)
    {
    case NEK_HOST_STARTED:
        onHostStarted(text ? text : "");
        break;
    case NEK_CLIENT_CONNECTED:
        m_active = true;
        onClientConnected(text ? core::CString(text) : core::CString(), network.clientId);
        break;
    case NEK_CONNECTED:
        m_active = true;
        onConnected(network.length);
        break;
    case NEK_CONNECT_FAILED:
    case NEK_SERVER_FULL:
    case NEK_INCORRECT_VERSION:
        onConnectFailed(failureText(network.kind));
        break;
    case NEK_DATA:
        storePacket(network.data, network.length, network.clientId);
        break;
    case NEK_CLIENT_DISCONNECTED:
        onClientDisconnected(network.clientId);
        break;
    case NEK_DISCONNECTED:
        m_active = false;
        onDisconnected();
        break;
    default:
        break;
    }
}

} // namespace zu::net
