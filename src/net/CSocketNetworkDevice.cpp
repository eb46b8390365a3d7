#include "net/CSocketNetworkDevice.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "event/SEngineEvent.h"
#include "net/CNetConnection.h"
#include "net/CVariablePacketBuilder.h"
#include "net/CVariablePacketParser.h"
#include "net/IPacketEventReceiver.h"
#include "net/NetProtocol.h"
#include "net/PacketScrambler.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace kelvo::net
{

using namespace zu::net;
using zu::core::CString;
using zu::core::zuLog;
using zu::core::zuPrint;

// Hands the packets a connection's frame reader cuts to the device.
class CSocketNetworkDevice::CPacketHandler : public CFrameReader::IHandler
{
  public:
    CPacketHandler(CSocketNetworkDevice& device, const ConnectionPtr& connection)
        : m_device(device), m_connection(connection)
    {
    }
    bool onPacket(const uint8_t* packet, uint16_t length) override
    {
        return m_device.onPacket(m_connection, packet, length);
    }

  private:
    CSocketNetworkDevice& m_device;
    const ConnectionPtr& m_connection;
};

CSocketNetworkDevice::CSocketNetworkDevice(const CString& name, EMode mode)
    : m_name(name), m_mode(mode)
{
    setDebugName("CSocketNetworkDevice");
}

CSocketNetworkDevice::~CSocketNetworkDevice()
{
    disconnect();
}

void CSocketNetworkDevice::setAcceptPacing(uint32_t startDelayMs, uint32_t intervalMs)
{
    m_startDelayMs = startDelayMs;
    m_acceptIntervalMs = intervalMs;
}

size_t CSocketNetworkDevice::getClientCount() const
{
    std::lock_guard<std::mutex> lock(m_clientsLock);
    return m_clients.size();
}

int32_t CSocketNetworkDevice::startServer(IPacketEventReceiver* receiver,
                                          const SSessionParameters& parameters)
{
    if (m_mode == MODE_RAW || !receiver) return -1;
    closeAll();
    uint32_t address = 0;
    if (!m_listenAddress.empty() && !CSocket::resolveIPv4(m_listenAddress, address)) return -1;
    // Listening starts here, so a client that comes before the host reports
    // that it started is kept waiting rather than refused.
    if (parameters.port < 0 || parameters.port > 65535 ||
        !m_listener.listen(address, uint16_t(parameters.port), 32))
    {
        zuLog(zu::core::ELL_ERROR, "%s: cannot listen on port %d: %s", m_name.c_str(),
              int(parameters.port), CSocket::lastError().c_str());
        return -1;
    }
    beginSession(receiver, parameters);
    m_role = ROLE_SERVER;
    m_accepting = true;
    m_acceptThread = std::thread([this] { acceptLoop(); });
    return 0;
}

int32_t CSocketNetworkDevice::connect(IPacketEventReceiver* receiver,
                                      const SSessionParameters& parameters)
{
    if (!receiver) return -1;
    closeAll();
    beginSession(receiver, parameters);

    uint32_t address = 0;
    CSocket socket;
    if (parameters.port < 0 || parameters.port > 65535 ||
        !CSocket::resolveIPv4(parameters.hostAddress, address) ||
        !socket.connect(address, uint16_t(parameters.port)))
    {
        zuLog(zu::core::ELL_WARNING, "%s: cannot connect to %s port %d", m_name.c_str(),
              parameters.hostAddress.c_str(), int(parameters.port));
        raise(NEK_CONNECT_FAILED, 0, 0);
        return -1;
    }
    socket.setSendTimeout(SEND_TIMEOUT_MS);
    m_role = ROLE_CLIENT;
    ConnectionPtr main = std::make_shared<CNetConnection>(HOST_CLIENT_ID, std::move(socket));
    m_main = main;
    main->start([this, main] { receiveLoop(main); });
    if (m_mode == MODE_RAW) raise(NEK_CONNECTED, 0, 0);
    return 0;
}

void CSocketNetworkDevice::beginSession(IPacketEventReceiver* receiver,
                                        const SSessionParameters& parameters)
{
    m_receiver = receiver;
    m_parameters = parameters;
    m_closing = false;
    m_disconnected = false;
    m_ownKey = 0;
    m_ownId = 0;
}

void CSocketNetworkDevice::disconnect()
{
    closeAll();
}

void CSocketNetworkDevice::closeAll()
{
    // What the game queued leaves before the connections close.
    flush();
    m_closing = true;
    if (m_role == ROLE_CLIENT && m_mode == MODE_PACKET && m_main && m_main->isRunning())
    {
        uint8_t notice[PACKET_HEADER_SIZE];
        zu::core::writeLE16(notice, CP_DISCONNECT);
        zu::core::writeLE16(notice + 2, PACKET_HEADER_SIZE);
        int sent = m_main->send(notice, sizeof notice) ? int(sizeof notice) : -1;
        zuPrint("Disconnection message from %s, %d bytes sent\n", m_name.c_str(), sent);
        if (sent > 0)
        {
            m_main->getSocket().shutdown();
            for (int i = 0; i < 20 && !m_disconnected; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    {
        std::lock_guard<std::mutex> lock(m_acceptLock);
        m_accepting = false;
    }
    m_acceptSignal.notify_all();
    m_listener.shutdown();
    if (m_acceptThread.joinable() && m_acceptThread.get_id() != std::this_thread::get_id())
        m_acceptThread.join();
    m_listener.close();

    std::vector<ConnectionPtr> connections;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        connections.swap(m_clients);
        connections.insert(connections.end(), m_retired.begin(), m_retired.end());
        m_retired.clear();
    }
    if (m_main) connections.push_back(m_main);
    m_main.reset();
    for (const ConnectionPtr& connection : connections)
        connection->stop();
    // Receive threads waiting for room in the receiver end now, not at their next look.
    if (m_receiver && !connections.empty()) m_receiver->wakeWaiters();
    for (const ConnectionPtr& connection : connections)
        connection->join();
    // No thread is left that could reach the receiver, which may go now.
    m_receiver = nullptr;
    m_role = ROLE_NONE;
}

CString CSocketNetworkDevice::getLocalAddress()
{
    if (m_localAddress.empty())
    {
        CString host = CSocket::hostName();
        zuPrint("Local host: %s\n", host.c_str());
        uint32_t address = 0;
        if (CSocket::resolveIPv4(host, address)) m_localAddress = CSocket::toDotted(address);
        if (m_localAddress.empty())
        {
            zuLog(zu::core::ELL_WARNING, "The host name '%s' has no IPv4 address; using 127.0.0.1",
                  host.c_str());
            m_localAddress = "127.0.0.1";
        }
    }
    return m_localAddress;
}

bool CSocketNetworkDevice::checkPacket(const uint8_t* bytes, int32_t length, size_t& size) const
{
    if (length > 0 && length < int32_t(PACKET_HEADER_SIZE))
    {
        zuLog(zu::core::ELL_ERROR, "%s: a packet of %d bytes has no room for its header",
              m_name.c_str(), int(length));
        return false;
    }
    int16_t type = int16_t(zu::core::readLE16(bytes));
    size = zu::core::readLE16(bytes + 2);
    if (size < PACKET_HEADER_SIZE || size > PACKET_MAX_SIZE ||
        (length > 0 && size > size_t(length)))
    {
        zuLog(zu::core::ELL_ERROR,
              "%s: packet of type %d not sent: its length field says %zu bytes, a packet holds "
              "4 to %u",
              m_name.c_str(), int(type), size, PACKET_MAX_SIZE);
        return false;
    }
    if (isControlType(type))
    {
        zuLog(zu::core::ELL_ERROR,
              "%s: packet of type %d not sent: types with bit 0x4000 are the device's own",
              m_name.c_str(), int(type));
        return false;
    }
    return true;
}

int32_t CSocketNetworkDevice::send(int32_t clientId, const void* bytes, int32_t length,
                                   int32_t flags)
{
    if (!bytes) return -1;
    const auto* data = static_cast<const uint8_t*>(bytes);
    size_t size = 0;
    uint8_t scrambled[PACKET_MAX_SIZE];
    if (flags & SEND_TEXT)
        size = length > 0 ? strnlen(static_cast<const char*>(bytes), size_t(length))
                          : strlen(static_cast<const char*>(bytes));
    else
    {
        if (m_mode == MODE_RAW)
        {
            zuPrint("ERROR: Sent a normal packet with primitive winsock! Currently unsupported "
                    "(send textual)!\n");
            return -1;
        }
        if (!checkPacket(data, length, size)) return -1;
        if (flags & SEND_SCRAMBLED)
        {
            uint32_t key = 0;
            if (!findKey(clientId, key))
            {
                zuPrint("ERROR: Unable to locate encryption key for client %d!\n", int(clientId));
                return -1;
            }
            // A copy: the caller's packet may go to the next client with its own key.
            memcpy(scrambled, data, size);
            scramblePacket(scrambled, size, key);
            data = scrambled;
        }
    }

    const bool queue = (flags & SEND_QUEUED) != 0;
    if (clientId == HOST_CLIENT_ID)
    {
        if (m_role != ROLE_CLIENT || !m_main) return -1;
        if (queue)
        {
            m_main->queue(data, size);
            m_queued = true;
            return int32_t(size);
        }
        if (m_main->send(data, size)) return int32_t(size);
        // Part of a packet went out: the stream cannot be framed any more.
        m_main->getSocket().shutdown();
        return -1;
    }
    ConnectionPtr client = findClient(clientId);
    if (!client) return -1;
    if (queue)
    {
        client->queue(data, size);
        m_queued = true;
        return int32_t(size);
    }
    if (client->send(data, size)) return int32_t(size);
    lostClient(client);
    return -1;
}

void CSocketNetworkDevice::flush()
{
    if (!m_queued) return;
    m_queued = false;
    if (m_main && !m_main->flush()) m_main->getSocket().shutdown();
    std::vector<ConnectionPtr> clients;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        clients = m_clients;
    }
    for (const ConnectionPtr& client : clients)
        if (!client->flush()) lostClient(client);
}

void CSocketNetworkDevice::broadcast(const void* bytes, int32_t length, int32_t flags,
                                     int32_t excludedClientId)
{
    std::vector<ConnectionPtr> clients;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        clients = m_clients;
    }
    // A client still in the handshake is not in the game yet: its first
    // packets must be the handshake's.
    for (const ConnectionPtr& client : clients)
        if (client->getId() != excludedClientId && client->isWelcomed())
            send(client->getId(), bytes, length, flags);
}

bool CSocketNetworkDevice::findKey(int32_t clientId, uint32_t& key) const
{
    if (m_role == ROLE_CLIENT)
    {
        key = m_ownKey;
        return clientId == HOST_CLIENT_ID;
    }
    ConnectionPtr client = findClient(clientId);
    if (client) key = client->getKey();
    return client != nullptr;
}

void CSocketNetworkDevice::descramble(uint8_t* packet, int32_t senderId)
{
    if (m_mode == MODE_RAW || !packet) return;
    uint32_t key = 0;
    if (!findKey(senderId, key))
    {
        zuPrint("ERROR: Unable to locate encryption key for client %d!\n", int(senderId));
        return;
    }
    size_t length = std::min<size_t>(zu::core::readLE16(packet + 2), PACKET_MAX_SIZE);
    scramblePacket(packet, length, key);
}

CSocketNetworkDevice::ConnectionPtr CSocketNetworkDevice::findClient(int32_t clientId) const
{
    std::lock_guard<std::mutex> lock(m_clientsLock);
    for (const ConnectionPtr& client : m_clients)
        if (client->getId() == clientId) return client;
    return nullptr;
}

void CSocketNetworkDevice::dropClient(int32_t clientId)
{
    if (ConnectionPtr client = findClient(clientId)) removeClient(client);
}

void CSocketNetworkDevice::removeClient(const ConnectionPtr& connection)
{
    bool own = connection->isOwnThread();
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        auto it = std::find(m_clients.begin(), m_clients.end(), connection);
        if (it == m_clients.end()) return;
        m_clients.erase(it);
        if (own) m_retired.push_back(connection);
    }
    connection->stop();
    if (!own) connection->join();
}

void CSocketNetworkDevice::lostClient(const ConnectionPtr& connection)
{
    // A client that cannot take its packets is gone as surely as one whose
    // stream ended: the session hears of it once, from whichever side
    // noticed first.
    if (connection->withdraw()) connectionClosed(connection);
}

void CSocketNetworkDevice::update()
{
    dropSilentClients();
    reapRetired();
}

void CSocketNetworkDevice::dropSilentClients()
{
    if (m_role != ROLE_SERVER) return;
    const auto deadline =
        std::chrono::steady_clock::now() - std::chrono::milliseconds(m_handshakeTimeoutMs);
    std::vector<ConnectionPtr> silent;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        for (const ConnectionPtr& client : m_clients)
            if (!client->isWelcomed() && client->getCreated() < deadline) silent.push_back(client);
    }
    for (const ConnectionPtr& client : silent)
    {
        // A reply that arrives now wins; otherwise the client hears why it goes.
        if (!client->settleHandshake(CNetConnection::HANDSHAKE_REFUSED)) continue;
        zuLog(zu::core::ELL_WARNING, "%s: client %d did not finish the handshake in %u ms; dropped",
              m_name.c_str(), int(client->getId()), unsigned(m_handshakeTimeoutMs));
        sendHandshake(*client, HCSR_ERROR, 0);
        removeClient(client);
    }
}

void CSocketNetworkDevice::reapRetired()
{
    std::vector<ConnectionPtr> done;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        auto own = std::partition(m_retired.begin(), m_retired.end(),
                                  [](const ConnectionPtr& c) { return c->isOwnThread(); });
        done.assign(own, m_retired.end());
        m_retired.erase(own, m_retired.end());
    }
    for (const ConnectionPtr& connection : done)
        connection->join();
}

bool CSocketNetworkDevice::pause(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(m_acceptLock);
    m_acceptSignal.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !m_accepting; });
    return m_accepting;
}

void CSocketNetworkDevice::raise(int32_t kind, int32_t clientId, int32_t length, const void* data,
                                 int32_t extra)
{
    if (!m_receiver) return;
    zu::event::SEngineEvent event{};
    event.type = zu::event::NetworkEvent;
    event.network = {kind, clientId, length, 0, data, extra};
    m_receiver->onEvent(event);
}

void CSocketNetworkDevice::acceptLoop()
{
    if (!pause(m_startDelayMs)) return;
    raise(NEK_HOST_STARTED, HOST_CLIENT_ID, 0, m_name.c_str());
    while (pause(0))
    {
        reapRetired();
        CSocket socket = m_listener.accept();
        if (!pause(0)) break;
        if (socket.isOpen())
            greet(std::move(socket));
        else
            zuPrint("Failed to accept socket!\n");
        // At most one client every interval: a flood of connections cannot
        // take every slot at once.
        if (!pause(m_acceptIntervalMs)) break;
    }
}

void CSocketNetworkDevice::greet(CSocket socket)
{
    socket.setSendTimeout(SEND_TIMEOUT_MS);
    ConnectionPtr client = std::make_shared<CNetConnection>(m_nextClientId++, std::move(socket));
    bool room;
    {
        std::lock_guard<std::mutex> lock(m_clientsLock);
        m_clients.push_back(client);
        room = int32_t(m_clients.size()) < m_parameters.maxConnections;
        if (!room) m_clients.pop_back();
    }
    if (!room)
    {
        // Never listed and no thread: the socket closes when this returns.
        sendHandshake(*client, HCSR_SERVER_FULL, 0);
        return;
    }
    client->start([this, client] { receiveLoop(client); });
    sendHandshake(*client, HCSR_HELLO, 0);
}

void CSocketNetworkDevice::receiveLoop(const ConnectionPtr& connection)
{
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[RECEIVE_BUFFER_SIZE]);
    size_t used = 0;
    CPacketHandler handler(*this, connection);
    while (connection->isRunning())
    {
        // A raw read is capped at the largest packet. In packet mode the
        // buffer holds at most one incomplete packet, so it is never full.
        size_t room = RECEIVE_BUFFER_SIZE - used;
        if (m_mode == MODE_RAW) room = std::min<size_t>(room, PACKET_MAX_SIZE);
        ptrdiff_t got = connection->getSocket().receive(buffer.get() + used, room);
        if (got <= 0) break;
        used += size_t(got);
        if (m_mode == MODE_RAW)
        {
            if (!deliver(*connection, buffer.get(), used)) break;
            used = 0;
            continue;
        }
        CFrameReader::EStatus status;
        size_t consumed = connection->getReader().process(buffer.get(), used, handler, status);
        if (status == CFrameReader::FRAME_BAD)
        {
            zuLog(zu::core::ELL_ERROR,
                  "%s: closing the connection of %d, its stream cannot be framed", m_name.c_str(),
                  int(connection->getId()));
            break;
        }
        if (status == CFrameReader::FRAME_STOPPED) break;
        memmove(buffer.get(), buffer.get() + consumed, used - consumed);
        used -= consumed;
    }
    if (connection->withdraw()) connectionClosed(connection);
    zuPrint("Receive thread closed\n");
}

void CSocketNetworkDevice::connectionClosed(const ConnectionPtr& connection)
{
    connection->getSocket().shutdown();
    if (connection->getId() == HOST_CLIENT_ID)
    {
        if (!m_closing) raise(NEK_DISCONNECTED, HOST_CLIENT_ID, 0);
    }
    else
    {
        bool listed = false;
        {
            std::lock_guard<std::mutex> lock(m_clientsLock);
            auto it = std::find(m_clients.begin(), m_clients.end(), connection);
            if (it != m_clients.end())
            {
                m_clients.erase(it);
                m_retired.push_back(connection);
                listed = true;
            }
        }
        if (listed && !m_closing)
            raise(NEK_CLIENT_DISCONNECTED, connection->getId(), 0, nullptr, connection->extra);
    }
    m_disconnected = true;
}

bool CSocketNetworkDevice::deliver(CNetConnection& connection, const uint8_t* bytes, size_t size)
{
    int32_t sender = m_role == ROLE_CLIENT ? HOST_CLIENT_ID : connection.getId();
    // Waiting here leaves the bytes in the socket, so TCP holds the peer back
    // until the main thread has taken what is pending.
    while (!m_receiver->storePacket(bytes, int32_t(size), sender))
    {
        if (!connection.isRunning()) return false;
        m_receiver->waitForRoom(10);
    }
    return true;
}

bool CSocketNetworkDevice::onPacket(const ConnectionPtr& connection, const uint8_t* packet,
                                    uint16_t length)
{
    if (!connection->isRunning()) return false;
    uint16_t type = zu::core::readLE16(packet);
    if (!isControlType(type)) return deliver(*connection, packet, length);
    switch (type)
    {
    case CP_SERVER_HELLO:
        return m_role == ROLE_CLIENT ? onServerHello(*connection, packet, length) : true;
    case CP_CLIENT_HELLO:
        return m_role == ROLE_SERVER ? onClientHello(connection, packet, length) : true;
    case CP_PING:
        if (m_role == ROLE_CLIENT)
        {
            sendControl(*connection, CP_PONG);
            zuPrint("PING? PONG!\n");
        }
        return true;
    default:
        return true;
    }
}

bool CSocketNetworkDevice::onServerHello(CNetConnection& connection, const uint8_t* packet,
                                         uint16_t length)
{
    zuPrint("SPI_HELLO, %d\n", int(length));
    CVariablePacketParser parser(packet, length);
    int32_t id = parser.readInt();
    int32_t code = parser.readInt();
    uint32_t key = uint32_t(parser.readInt());
    int32_t refusal;
    switch (code)
    {
    case HCSR_HELLO:
    {
        zuPrint("HCSR_HELLO\n");
        CVariablePacketBuilder reply;
        reply.beginPacket(int16_t(CP_CLIENT_HELLO));
        reply.appendWideString(m_parameters.playerName);
        reply.appendString(m_parameters.gameVersion);
        if (reply.finish() && connection.send(reply.data(), reply.size())) return true;
        refusal = NEK_CONNECT_FAILED;
        break;
    }
    case HCSR_WELCOME:
        zuPrint("HCSR_WELCOME\n");
        m_ownKey = key;
        m_ownId = id;
        raise(NEK_CONNECTED, 0, id);
        return true;
    case HCSR_SERVER_FULL:
        zuPrint("HCSR_SERVER_FULL\n");
        refusal = NEK_SERVER_FULL;
        break;
    case HCSR_INCORRECT_VERSION:
        zuPrint("HCSR_INCORRECT_VERSION\n");
        refusal = NEK_INCORRECT_VERSION;
        break;
    case HCSR_ERROR:
        zuPrint("HCSR_ERROR\n");
        refusal = NEK_CONNECT_FAILED;
        break;
    default:
        return true;
    }
    // Refused: the connection closes, and no disconnect event or notice
    // follows the refusal; it is closed before anyone hears of it.
    m_closing = true;
    connection.stop();
    m_disconnected = true;
    raise(refusal, 0, 0);
    return false;
}

bool CSocketNetworkDevice::onClientHello(const ConnectionPtr& connection, const uint8_t* packet,
                                         uint16_t length)
{
    if (connection->isWelcomed() || !findClient(connection->getId())) return true;
    CVariablePacketParser parser(packet, length);
    CString name = parser.readWideString();
    CString version = parser.readString();
    connection->playerName = name;
    const bool accepted = version == m_parameters.gameVersion && !name.empty();
    // Too late: the main thread gave up on this client and drops it.
    if (!connection->settleHandshake(accepted ? CNetConnection::HANDSHAKE_WELCOMED
                                              : CNetConnection::HANDSHAKE_REFUSED))
        return false;
    if (accepted)
    {
        uint32_t key = deriveClientKey(connection->getId());
        connection->setKey(key);
        sendHandshake(*connection, HCSR_WELCOME, key);
        raise(NEK_CLIENT_CONNECTED, connection->getId(), connection->getId(), name.c_str());
        return true;
    }
    sendHandshake(*connection,
                  version != m_parameters.gameVersion ? HCSR_INCORRECT_VERSION : HCSR_ERROR, 0);
    removeClient(connection);
    return false;
}

bool CSocketNetworkDevice::sendHandshake(CNetConnection& connection, int32_t code, uint32_t key)
{
    CVariablePacketBuilder hello;
    hello.beginPacket(int16_t(CP_SERVER_HELLO));
    hello.appendInt(connection.getId());
    hello.appendInt(code);
    hello.appendInt(int32_t(key));
    return hello.finish() && connection.send(hello.data(), hello.size());
}

bool CSocketNetworkDevice::sendControl(CNetConnection& connection, uint16_t type)
{
    uint8_t packet[PACKET_HEADER_SIZE];
    zu::core::writeLE16(packet, type);
    zu::core::writeLE16(packet + 2, PACKET_HEADER_SIZE);
    return connection.send(packet, sizeof packet);
}

} // namespace kelvo::net
