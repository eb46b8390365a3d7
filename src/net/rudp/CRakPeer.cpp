#include "net/rudp/CRakPeer.h"

#include "net/rudp/CBitStream.h"
#include "net/rudp/MessageIds.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace kelvo::net::rudp
{
namespace
{

// Replies to unconnected traffic: per address and for all addresses together.
constexpr double ADDRESS_BURST = 20;
constexpr double ADDRESS_RATE = 10;
constexpr double GLOBAL_BURST = 1000;
constexpr double GLOBAL_RATE = 500;
constexpr size_t MAX_TRACKED_ADDRESSES = 8192;
// A second open-connection request is answered this long after the first.
constexpr RakTime FIRST_REPLY_VALID = 10000;
constexpr size_t PONG_HEADER = 1 + 8 + 8 + 16;
constexpr RakTime PING_INTERVAL_OCCASIONAL = 2000;
constexpr RakTime PING_INTERVAL = 5000;
constexpr RakTime DISCONNECT_WAIT = 1000;
constexpr size_t MAX_EARLY_MESSAGES = 256;
constexpr size_t PING_SAMPLES = 5;
constexpr int MAX_WAIT_MS = 10;
constexpr int DATAGRAMS_PER_PASS = 512;

uint64_t readBE64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = v << 8 | p[i];
    return v;
}

void writeBE64(uint8_t* p, uint64_t v)
{
    for (int i = 7; i >= 0; --i)
    {
        p[i] = uint8_t(v);
        v >>= 8;
    }
}

uint16_t clampMtu(unsigned mtu)
{
    return uint16_t(std::max<unsigned>(MINIMUM_MTU, std::min<unsigned>(MAXIMUM_MTU, mtu)));
}

// Reads the internal-address list of a handshake message (its length
// varies between builds: whatever is left before the two 64-bit times) and
// the two times.
bool readAddressesAndTimes(CBitStream& in, uint64_t& first, uint64_t& second)
{
    while (in.unreadBits() / 8 > 16)
    {
        SSystemAddress skipped;
        if (!in.readAddress(skipped)) return false;
    }
    return in.readU64(first) && in.readU64(second);
}

} // namespace

CRakPeer::CRakPeer() : m_guid(SGuid::random()) {}

CRakPeer::~CRakPeer()
{
    shutdown(0);
    for (IPeerPlugin* plugin : m_plugins)
        plugin->onDetach();
}

EStartupResult CRakPeer::startup(unsigned maxConnections, const SSocketDescriptor& socket)
{
    if (m_active) return SR_ALREADY_STARTED;
    if (maxConnections == 0 || maxConnections > 65535) return SR_INVALID_MAX_CONNECTIONS;
    if (socket.family != EF_IPV4 && socket.family != EF_IPV6) return SR_SOCKET_FAMILY_NOT_SUPPORTED;
    SSystemAddress bind;
    if (!socket.bindAddress.empty() &&
        (!CUdpSocket::parseNumeric(socket.bindAddress, bind) || bind.family != socket.family))
        return SR_SOCKET_FAILED_TO_BIND;
    std::lock_guard<std::mutex> lock(m_mutex);
    switch (m_socket.open(socket.family, socket.port, bind.isAssigned() ? &bind : nullptr))
    {
    case CUdpSocket::OR_OK:
        break;
    case CUdpSocket::OR_FAMILY_NOT_SUPPORTED:
        return SR_SOCKET_FAMILY_NOT_SUPPORTED;
    case CUdpSocket::OR_PORT_IN_USE:
        return SR_SOCKET_PORT_ALREADY_IN_USE;
    default:
        return SR_SOCKET_FAILED_TO_BIND;
    }
    m_guid = SGuid::random();
    m_maxConnections = maxConnections;
    m_maxIncoming = std::min(m_maxIncoming, maxConnections);
    m_stats = SStatistics();
    m_running = true;
    try
    {
        m_thread = std::thread(&CRakPeer::run, this);
    }
    catch (const std::system_error&)
    {
        m_running = false;
        m_socket.close();
        return SR_FAILED_TO_CREATE_NETWORK_THREAD;
    }
    m_active = true;
    return SR_STARTED;
}

void CRakPeer::setMaximumIncomingConnections(unsigned n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_maxIncoming = n;
}

void CRakPeer::shutdown(unsigned blockMs)
{
    if (!m_active) return;
    const RakTime start = getTime();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& r : m_remotes)
        {
            if (r->state == ST_CONNECTED || r->state == ST_ACCEPTED || r->state == ST_REQUESTED)
            {
                CBitStream out;
                out.writeU8(ID_DISCONNECTION_NOTIFICATION);
                sendInternal(*r, out, RELIABLE_ORDERED);
            }
            r->state = ST_DISCONNECTING;
            r->closeBy = start + blockMs;
        }
    }
    m_socket.wake();
    while (getTime() - start < blockMs)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_remotes.empty()) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    m_running = false;
    m_socket.wake();
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_socket.close();
    m_byAddress.clear();
    m_byGuid.clear();
    m_remotes.clear();
    m_attempts.clear();
    m_buckets.clear();
    m_answeredFirst.clear();
    {
        std::lock_guard<std::mutex> packets(m_packetMutex);
        m_packets.clear();
    }
    m_active = false;
}

EConnectResult CRakPeer::connect(const std::string& host, uint16_t port, unsigned attempts,
                                 unsigned intervalMs)
{
    if (!m_active || port == 0 || attempts == 0) return CR_INVALID_PARAMETER;
    SSystemAddress address;
    if (!CUdpSocket::resolve(host, m_socket.family(), address))
        return CR_CANNOT_RESOLVE_DOMAIN_NAME;
    address.port = port;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        SRemote* existing = findByAddress(address);
        if (existing && existing->state != ST_CLOSED && existing->state != ST_DISCONNECTING)
            return CR_ALREADY_CONNECTED_TO_ENDPOINT;
        if (findAttempt(address)) return CR_ATTEMPT_ALREADY_IN_PROGRESS;
        SAttempt a;
        a.address = address;
        a.total = attempts;
        a.interval = std::max(1u, intervalMs);
        a.nextSend = getTime();
        m_attempts.push_back(a);
    }
    m_socket.wake();
    return CR_STARTED;
}

void CRakPeer::closeConnection(SGuid guid, bool notify)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    SRemote* r = findByGuid(guid);
    if (!r || r->state == ST_CLOSED || r->state == ST_DISCONNECTING) return;
    if (notify && r->state == ST_CONNECTED)
    {
        CBitStream out;
        out.writeU8(ID_DISCONNECTION_NOTIFICATION);
        sendInternal(*r, out, RELIABLE_ORDERED);
        r->state = ST_DISCONNECTING;
        r->closeBy = getTime() + DISCONNECT_WAIT;
    }
    else
        r->state = ST_CLOSED;
    m_socket.wake();
}

std::unique_ptr<SPacket> CRakPeer::receive()
{
    for (IPeerPlugin* plugin : m_plugins)
        plugin->update();
    for (;;)
    {
        std::unique_ptr<SPacket> packet;
        {
            std::lock_guard<std::mutex> lock(m_packetMutex);
            if (m_packets.empty()) return nullptr;
            packet = std::move(m_packets.front());
            m_packets.pop_front();
        }
        bool consumed = false;
        for (IPeerPlugin* plugin : m_plugins)
            if (plugin->onReceive(*packet))
            {
                consumed = true;
                break;
            }
        if (!consumed) return packet;
    }
}

uint32_t CRakPeer::send(const uint8_t* data, size_t size, EPriority priority, uint8_t reliability,
                        uint8_t channel, SGuid guid, bool broadcast)
{
    if (!data || size == 0) return 0;
    bool queued = false;
    uint32_t receipt = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (++m_nextReceipt == 0) ++m_nextReceipt;
        receipt = m_nextReceipt;
        // Immediate messages leave from this thread, without waiting for the
        // network thread to wake.
        const RakTime now = getTime();
        const auto queue = [&](SRemote& r)
        {
            if (r.state != ST_CONNECTED ||
                !r.layer.send(data, size, priority, reliability, channel, receipt))
                return;
            queued = true;
            if (priority == IMMEDIATE_PRIORITY) flush(r, now);
        };
        if (broadcast)
        {
            for (auto& r : m_remotes)
                if (r->guid != guid) queue(*r);
        }
        else if (SRemote* r = findByGuid(guid))
            queue(*r);
    }
    if (!queued) return 0;
    m_socket.wake();
    return receipt;
}

bool CRakPeer::sendOutOfBand(const SSystemAddress& to, const uint8_t* data, size_t size)
{
    if (!m_active || size > MINIMUM_MTU) return false;
    CBitStream out;
    out.writeU8(ID_OUT_OF_BAND_INTERNAL);
    std::lock_guard<std::mutex> lock(m_mutex);
    out.writeGuid(m_guid);
    out.writeMagic();
    out.writeBytes(data, size);
    sendOffline(to, out);
    return true;
}

void CRakPeer::pushPacket(std::unique_ptr<SPacket> packet)
{
    std::lock_guard<std::mutex> lock(m_packetMutex);
    m_packets.push_back(std::move(packet));
}

bool CRakPeer::ping(const std::string& host, uint16_t port, bool onlyIfAccepting)
{
    if (!m_active) return false;
    SSystemAddress address;
    if (!CUdpSocket::resolve(host, m_socket.family(), address)) return false;
    address.port = port;
    CBitStream out;
    out.writeU8(onlyIfAccepting ? ID_UNCONNECTED_PING_OPEN_CONNECTIONS : ID_UNCONNECTED_PING);
    out.writeU64(getTime());
    out.writeMagic();
    std::lock_guard<std::mutex> lock(m_mutex);
    out.writeGuid(m_guid);
    sendOffline(address, out);
    return true;
}

void CRakPeer::setOfflinePingResponse(const uint8_t* data, size_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // What fits in one datagram of the smallest MTU beside the pong's header.
    const size_t limit = MINIMUM_MTU - UDP_HEADER_SIZE - PONG_HEADER;
    m_pingResponse.assign(data, data + std::min(size, limit));
}

void CRakPeer::setTimeoutTime(RakTime ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timeout = ms;
}

SGuid CRakPeer::getMyGuid() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_guid;
}

int CRakPeer::getAveragePing(SGuid guid) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    SRemote* r = findByGuid(guid);
    if (!r || r->state != ST_CONNECTED || r->pings.empty()) return -1;
    RakTime sum = 0;
    for (const SPing& p : r->pings)
        sum += p.rtt;
    return int(sum / r->pings.size());
}

SSystemAddress CRakPeer::getSystemAddress(SGuid guid) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    SRemote* r = findByGuid(guid);
    return r ? r->address : SSystemAddress();
}

SGuid CRakPeer::getGuid(const SSystemAddress& address) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    SRemote* r = findByAddress(address);
    return r ? r->guid : SGuid();
}

bool CRakPeer::isConnected(SGuid guid) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    SRemote* r = findByGuid(guid);
    return r && r->state == ST_CONNECTED;
}

std::vector<SGuid> CRakPeer::getConnections() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<SGuid> out;
    for (const auto& r : m_remotes)
        if (r->state == ST_CONNECTED) out.push_back(r->guid);
    return out;
}

SSystemAddress CRakPeer::getBoundAddress() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_socket.localAddress();
}

bool CRakPeer::isPortInUse(uint16_t port, EFamily family)
{
    return CUdpSocket::isPortInUse(port, family);
}

void CRakPeer::attachPlugin(IPeerPlugin* plugin)
{
    if (!plugin || std::find(m_plugins.begin(), m_plugins.end(), plugin) != m_plugins.end()) return;
    m_plugins.push_back(plugin);
    plugin->onAttach(*this);
}

void CRakPeer::detachPlugin(IPeerPlugin* plugin)
{
    auto it = std::find(m_plugins.begin(), m_plugins.end(), plugin);
    if (it == m_plugins.end()) return;
    m_plugins.erase(it);
    plugin->onDetach();
}

CRakPeer::SStatistics CRakPeer::getStatistics() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stats;
}

void CRakPeer::run()
{
    std::vector<uint8_t> buffer(65536);
    while (m_running)
    {
        int wait = MAX_WAIT_MS;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const RakTime now = getTime();
            RakTime next = now + MAX_WAIT_MS;
            for (const auto& r : m_remotes)
            {
                next = std::min(next, r->layer.nextUpdate(now));
                if (r->state == ST_CLOSED || r->state == ST_DISCONNECTING) next = now;
            }
            for (const SAttempt& a : m_attempts)
                next = std::min(next, std::max(now, a.nextSend));
            wait = int(next > now ? next - now : 0);
        }
        m_socket.wait(wait);
        std::lock_guard<std::mutex> lock(m_mutex);
        const RakTime now = getTime();
        for (int i = 0; i < DATAGRAMS_PER_PASS; ++i)
        {
            SSystemAddress from;
            const ptrdiff_t n = m_socket.receiveFrom(buffer.data(), buffer.size(), from);
            if (n < 0) break;
            if (n > 0) processDatagram(buffer.data(), size_t(n), from, now);
        }
        updateAttempts(now);
        updateRemotes(now);
        if (now >= m_nextPrune)
        {
            m_nextPrune = now + 1000;
            for (auto it = m_buckets.begin(); it != m_buckets.end();)
                it = now - it->second.refilled > 5000 ? m_buckets.erase(it) : std::next(it);
            for (auto it = m_answeredFirst.begin(); it != m_answeredFirst.end();)
                it = now - it->second > FIRST_REPLY_VALID ? m_answeredFirst.erase(it)
                                                          : std::next(it);
        }
    }
}

void CRakPeer::processDatagram(const uint8_t* data, size_t size, const SSystemAddress& from,
                               RakTime now)
{
    ++m_stats.datagramsReceived;
    if (!(data[0] & DATAGRAM_VALID))
    {
        processOffline(data, size, from, now);
        return;
    }
    SRemote* r = findByAddress(from);
    if (!r || r->state == ST_CLOSED) return;
    std::vector<CReliabilityLayer::Message> delivered;
    if (r->layer.receive(data, size, now, delivered) || r->layer.violated()) r->lastReceive = now;
    for (auto& message : delivered)
    {
        processMessage(*r, std::move(message), now);
        if (r->state == ST_CLOSED) break;
    }
}

void CRakPeer::processOffline(const uint8_t* data, size_t size, const SSystemAddress& from,
                              RakTime now)
{
    CBitStream in(data, size);
    uint8_t id = 0;
    in.readU8(id);
    switch (id)
    {
    case ID_UNCONNECTED_PING:
    case ID_UNCONNECTED_PING_OPEN_CONNECTIONS:
    {
        uint64_t time = 0;
        if (!in.readU64(time) || !in.readMagic()) return;
        if (id == ID_UNCONNECTED_PING_OPEN_CONNECTIONS && incomingCount() >= m_maxIncoming) return;
        if (size < PONG_HEADER || !allowReply(from, now)) return;
        CBitStream out;
        out.writeU8(ID_UNCONNECTED_PONG);
        out.writeU64(time);
        out.writeGuid(m_guid);
        out.writeMagic();
        out.writeBytes(m_pingResponse.data(), m_pingResponse.size());
        sendOffline(from, out);
        return;
    }
    case ID_UNCONNECTED_PONG:
    {
        uint64_t time = 0;
        SGuid guid;
        if (!in.readU64(time) || !in.readGuid(guid) || !in.readMagic()) return;
        std::vector<uint8_t> packet(9);
        packet[0] = ID_UNCONNECTED_PONG;
        writeBE64(&packet[1], time);
        packet.insert(packet.end(), data + PONG_HEADER, data + size);
        queuePacket(from, guid, std::move(packet));
        return;
    }
    case ID_OPEN_CONNECTION_REQUEST_1:
    {
        uint8_t protocol = 0;
        if (!in.readMagic() || !in.readU8(protocol)) return;
        if (protocol != PROTOCOL_VERSION)
        {
            CBitStream out;
            out.writeU8(ID_INCOMPATIBLE_PROTOCOL_VERSION);
            out.writeU8(PROTOCOL_VERSION);
            out.writeMagic();
            out.writeGuid(m_guid);
            if (size >= out.sizeBytes() && allowReply(from, now)) sendOffline(from, out);
            return;
        }
        // A request padded to less than the smallest MTU is no real one.
        if (size + UDP_HEADER_SIZE < MINIMUM_MTU || !allowReply(from, now)) return;
        if (m_answeredFirst.size() < MAX_TRACKED_ADDRESSES || m_answeredFirst.count(from.key()))
            m_answeredFirst[from.key()] = now;
        CBitStream out;
        out.writeU8(ID_OPEN_CONNECTION_REPLY_1);
        out.writeMagic();
        out.writeGuid(m_guid);
        out.writeU8(0);
        out.writeU16(clampMtu(unsigned(size + UDP_HEADER_SIZE)));
        sendOffline(from, out);
        return;
    }
    case ID_OPEN_CONNECTION_REPLY_1:
    {
        SGuid guid;
        uint8_t security = 0;
        uint16_t mtu = 0;
        if (!in.readMagic() || !in.readGuid(guid) || !in.readU8(security)) return;
        SAttempt* a = findAttempt(from);
        if (!a || a->replied) return;
        if (security)
        {
            queueNotice(from, guid, ID_REMOTE_SYSTEM_REQUIRES_PUBLIC_KEY);
            removeAttempt(from);
            return;
        }
        if (!in.readU16(mtu)) return;
        a->replied = true;
        a->mtu = clampMtu(std::min<unsigned>(mtu, a->mtu));
        // A reply to a late attempt still leaves the second request a few tries.
        a->total = std::max(a->total, a->sent + 4);
        a->nextSend = now;
        return;
    }
    case ID_OPEN_CONNECTION_REQUEST_2:
    {
        SSystemAddress ours;
        uint16_t mtu = 0;
        SGuid guid;
        if (!in.readMagic() || !in.readAddress(ours) || !in.readU16(mtu) || !in.readGuid(guid))
            return;
        auto first = m_answeredFirst.find(from.key());
        if (first == m_answeredFirst.end() || now - first->second > FIRST_REPLY_VALID) return;
        if (!allowReply(from, now)) return;
        const auto refuse = [&](uint8_t reason)
        {
            CBitStream out;
            out.writeU8(reason);
            out.writeMagic();
            out.writeGuid(m_guid);
            sendOffline(from, out);
        };
        SRemote* r = findByAddress(from);
        if (r && !(r->guid == guid && r->state == ST_AWAITING_REQUEST))
        {
            refuse(ID_ALREADY_CONNECTED);
            return;
        }
        if (!r)
        {
            if (findByGuid(guid))
            {
                refuse(ID_ALREADY_CONNECTED);
                return;
            }
            if (incomingCount() >= m_maxIncoming ||
                m_remotes.size() + m_attempts.size() >= m_maxConnections)
            {
                refuse(ID_NO_FREE_INCOMING_CONNECTIONS);
                return;
            }
            r = createRemote(from, guid, clampMtu(mtu), true, ST_AWAITING_REQUEST, now);
        }
        CBitStream out;
        out.writeU8(ID_OPEN_CONNECTION_REPLY_2);
        out.writeMagic();
        out.writeGuid(m_guid);
        out.writeAddress(from);
        out.writeU16(r->layer.mtu());
        out.writeU8(0);
        sendOffline(from, out);
        return;
    }
    case ID_OPEN_CONNECTION_REPLY_2:
    {
        SGuid guid;
        SSystemAddress ours;
        uint16_t mtu = 0;
        if (!in.readMagic() || !in.readGuid(guid) || !in.readAddress(ours) || !in.readU16(mtu))
            return;
        SAttempt* a = findAttempt(from);
        if (!a || !a->replied) return;
        removeAttempt(from);
        if (findByAddress(from)) return;
        if (m_remotes.size() >= m_maxConnections)
        {
            queueNotice(from, guid, ID_CONNECTION_ATTEMPT_FAILED);
            return;
        }
        SRemote* r = createRemote(from, guid, clampMtu(mtu), false, ST_REQUESTED, now);
        CBitStream out;
        out.writeU8(ID_CONNECTION_REQUEST);
        out.writeGuid(m_guid);
        out.writeU64(now);
        out.writeU8(0);
        sendInternal(*r, out, RELIABLE);
        return;
    }
    case ID_ALREADY_CONNECTED:
    case ID_NO_FREE_INCOMING_CONNECTIONS:
    case ID_CONNECTION_BANNED:
    case ID_IP_RECENTLY_CONNECTED:
    {
        SGuid guid;
        if (!in.readMagic() || !findAttempt(from)) return;
        in.readGuid(guid);
        removeAttempt(from);
        queueNotice(from, guid, id);
        return;
    }
    case ID_INCOMPATIBLE_PROTOCOL_VERSION:
    {
        uint8_t protocol = 0;
        SGuid guid;
        if (!in.readU8(protocol) || !in.readMagic() || !findAttempt(from)) return;
        in.readGuid(guid);
        removeAttempt(from);
        queuePacket(from, guid, {ID_INCOMPATIBLE_PROTOCOL_VERSION, protocol});
        return;
    }
    case ID_OUT_OF_BAND_INTERNAL:
    {
        SGuid guid;
        if (!in.readGuid(guid) || !in.readMagic()) return;
        std::vector<uint8_t> packet(1, ID_OUT_OF_BAND_INTERNAL);
        packet.insert(packet.end(), data + 25, data + size);
        queuePacket(from, guid, std::move(packet));
        return;
    }
    default:
        return;
    }
}

void CRakPeer::processMessage(SRemote& r, CReliabilityLayer::Message&& message, RakTime now)
{
    if (message.empty()) return;
    switch (message[0])
    {
    case ID_CONNECTED_PING:
    {
        if (message.size() < 9 || r.state == ST_CLOSED) return;
        CBitStream out;
        out.writeU8(ID_CONNECTED_PONG);
        out.writeU64(readBE64(&message[1]));
        out.writeU64(now);
        sendInternal(r, out, UNRELIABLE);
        return;
    }
    case ID_CONNECTED_PONG:
        if (message.size() >= 17 && r.state == ST_CONNECTED)
            addPingSample(r, readBE64(&message[1]), readBE64(&message[9]), now);
        return;
    case ID_DETECT_LOST_CONNECTIONS:
        return;
    case ID_CONNECTION_REQUEST:
    {
        CBitStream in(message.data(), message.size());
        SGuid guid;
        uint64_t time = 0;
        if (!r.incoming || r.state != ST_AWAITING_REQUEST || !in.skipBytes(1) ||
            !in.readGuid(guid) || !in.readU64(time) || guid != r.guid)
            return;
        CBitStream out;
        out.writeU8(ID_CONNECTION_REQUEST_ACCEPTED);
        out.writeAddress(r.address);
        out.writeU16(0);
        writeInternalAddresses(out);
        out.writeU64(time);
        out.writeU64(now);
        sendInternal(r, out, RELIABLE_ORDERED);
        r.state = ST_ACCEPTED;
        return;
    }
    case ID_CONNECTION_REQUEST_ACCEPTED:
    {
        CBitStream in(message.data(), message.size());
        SSystemAddress ours;
        uint16_t index = 0;
        uint64_t requestTime = 0, acceptTime = 0;
        if (r.incoming || r.state != ST_REQUESTED || !in.skipBytes(1) || !in.readAddress(ours) ||
            !in.readU16(index) || !readAddressesAndTimes(in, requestTime, acceptTime))
            return;
        CBitStream out;
        out.writeU8(ID_NEW_INCOMING_CONNECTION);
        out.writeAddress(r.address);
        writeInternalAddresses(out);
        out.writeU64(acceptTime);
        out.writeU64(now);
        sendInternal(r, out, RELIABLE_ORDERED);
        r.state = ST_CONNECTED;
        if (requestTime <= now) addPingSample(r, requestTime, acceptTime, now);
        r.nextPing = now + PING_INTERVAL_OCCASIONAL;
        queuePacket(r.address, r.guid, std::move(message));
        return;
    }
    case ID_NEW_INCOMING_CONNECTION:
    {
        CBitStream in(message.data(), message.size());
        SSystemAddress ours;
        uint64_t acceptTime = 0, clientTime = 0;
        if (!r.incoming || r.state != ST_ACCEPTED || !in.skipBytes(1) || !in.readAddress(ours) ||
            !readAddressesAndTimes(in, acceptTime, clientTime))
            return;
        r.state = ST_CONNECTED;
        if (acceptTime <= now) addPingSample(r, acceptTime, clientTime, now);
        r.nextPing = now + PING_INTERVAL_OCCASIONAL;
        queuePacket(r.address, r.guid, std::move(message));
        std::vector<CReliabilityLayer::Message> early;
        early.swap(r.early);
        for (auto& m : early)
            deliverUser(r, std::move(m));
        return;
    }
    case ID_DISCONNECTION_NOTIFICATION:
        if (r.state == ST_CONNECTED) queueNotice(r.address, r.guid, ID_DISCONNECTION_NOTIFICATION);
        r.state = ST_CLOSED;
        return;
    default:
        deliverUser(r, std::move(message));
        return;
    }
}

void CRakPeer::deliverUser(SRemote& r, CReliabilityLayer::Message&& message)
{
    if (r.state == ST_ACCEPTED)
    {
        // Sent right after the handshake but overtook its last message.
        if (r.early.size() < MAX_EARLY_MESSAGES) r.early.push_back(std::move(message));
        return;
    }
    if (r.state != ST_CONNECTED) return;
    if (message[0] == ID_TIMESTAMP && message.size() >= 9 && !r.pings.empty())
    {
        const SPing* best = &r.pings.front();
        for (const SPing& p : r.pings)
            if (p.rtt < best->rtt) best = &p;
        writeBE64(&message[1], readBE64(&message[1]) - uint64_t(best->clockDifference));
    }
    queuePacket(r.address, r.guid, std::move(message));
}

void CRakPeer::updateAttempts(RakTime now)
{
    for (size_t i = 0; i < m_attempts.size();)
    {
        SAttempt& a = m_attempts[i];
        if (now < a.nextSend)
        {
            ++i;
            continue;
        }
        if (a.sent >= a.total)
        {
            queueNotice(a.address, SGuid(), ID_CONNECTION_ATTEMPT_FAILED);
            m_attempts.erase(m_attempts.begin() + ptrdiff_t(i));
            continue;
        }
        CBitStream out;
        if (!a.replied)
        {
            a.mtu = MTU_SIZES[std::min(2u, a.sent * 3 / a.total)];
            out.writeU8(ID_OPEN_CONNECTION_REQUEST_1);
            out.writeMagic();
            out.writeU8(PROTOCOL_VERSION);
            out.writeZeros(a.mtu - UDP_HEADER_SIZE - out.sizeBytes());
        }
        else
        {
            out.writeU8(ID_OPEN_CONNECTION_REQUEST_2);
            out.writeMagic();
            out.writeAddress(a.address);
            out.writeU16(a.mtu);
            out.writeGuid(m_guid);
        }
        sendOffline(a.address, out);
        ++a.sent;
        a.nextSend = now + a.interval;
        ++i;
    }
}

void CRakPeer::flush(SRemote& r, RakTime now)
{
    std::vector<SReceiptEvent> receipts;
    r.layer.update(
        now,
        [this, &r](const uint8_t* d, size_t n)
        {
            m_socket.sendTo(r.address, d, n);
            ++m_stats.datagramsSent;
        },
        receipts);
    m_stats.resentFrames += r.layer.resentFrames() - r.resentBefore;
    r.resentBefore = r.layer.resentFrames();
    for (const SReceiptEvent& e : receipts)
    {
        std::vector<uint8_t> packet(5);
        packet[0] = e.acked ? ID_SND_RECEIPT_ACKED : ID_SND_RECEIPT_LOSS;
        for (int k = 0; k < 4; ++k)
            packet[1 + k] = uint8_t(e.receipt >> (24 - 8 * k));
        queuePacket(r.address, r.guid, std::move(packet));
    }
}

void CRakPeer::updateRemotes(RakTime now)
{
    for (size_t i = 0; i < m_remotes.size();)
    {
        SRemote* r = m_remotes[i].get();
        if (r->state != ST_CLOSED && now - r->lastReceive > m_timeout)
        {
            if (r->state == ST_CONNECTED)
                queueNotice(r->address, r->guid, ID_CONNECTION_LOST);
            else if (r->state == ST_REQUESTED)
                queueNotice(r->address, r->guid, ID_CONNECTION_ATTEMPT_FAILED);
            removeRemote(r);
            continue;
        }
        if (r->layer.violated())
        {
            if (r->state == ST_CONNECTED) queueNotice(r->address, r->guid, ID_CONNECTION_LOST);
            removeRemote(r);
            continue;
        }
        if (r->state == ST_CONNECTED && now >= r->nextPing) sendPing(*r, now);
        flush(*r, now);
        if (r->state == ST_CLOSED ||
            (r->state == ST_DISCONNECTING && (!r->layer.busy() || now >= r->closeBy)))
        {
            removeRemote(r);
            continue;
        }
        ++i;
    }
}

bool CRakPeer::allowReply(const SSystemAddress& to, RakTime now)
{
    const auto take = [now](SBucket& b, double burst, double rate)
    {
        b.tokens = std::min(burst, b.tokens + double(now - b.refilled) * rate / 1000.0);
        b.refilled = now;
        if (b.tokens < 1) return false;
        b.tokens -= 1;
        return true;
    };
    auto it = m_buckets.find(to.key());
    if (it == m_buckets.end())
    {
        if (m_buckets.size() >= MAX_TRACKED_ADDRESSES) return false;
        it = m_buckets.emplace(to.key(), SBucket{ADDRESS_BURST, now}).first;
    }
    if (m_globalBucket.refilled == 0 && m_globalBucket.tokens == 0)
        m_globalBucket = SBucket{GLOBAL_BURST, now};
    if (!take(it->second, ADDRESS_BURST, ADDRESS_RATE) ||
        !take(m_globalBucket, GLOBAL_BURST, GLOBAL_RATE))
        return false;
    ++m_stats.offlineReplies;
    return true;
}

void CRakPeer::sendOffline(const SSystemAddress& to, const CBitStream& message)
{
    m_socket.sendTo(to, message.data(), message.sizeBytes());
    ++m_stats.datagramsSent;
}

void CRakPeer::sendInternal(SRemote& r, const CBitStream& message, uint8_t reliability)
{
    r.layer.send(message.data(), message.sizeBytes(), IMMEDIATE_PRIORITY, reliability, 0, 0);
}

void CRakPeer::sendPing(SRemote& r, RakTime now)
{
    CBitStream out;
    out.writeU8(ID_CONNECTED_PING);
    out.writeU64(now);
    sendInternal(r, out, UNRELIABLE);
    r.nextPing = now + (m_occasionalPing ? PING_INTERVAL_OCCASIONAL : PING_INTERVAL);
}

void CRakPeer::addPingSample(SRemote& r, RakTime sentAt, RakTime remoteTime, RakTime now)
{
    const RakTime rtt = now - sentAt;
    SPing p;
    p.rtt = rtt;
    p.clockDifference = int64_t(remoteTime) - int64_t(sentAt + rtt / 2);
    r.pings.push_back(p);
    while (r.pings.size() > PING_SAMPLES)
        r.pings.pop_front();
}

void CRakPeer::writeInternalAddresses(CBitStream& out) const
{
    out.writeAddress(m_socket.localAddress());
    for (unsigned i = 1; i < INTERNAL_ADDRESSES; ++i)
        out.writeAddress(SSystemAddress());
}

CRakPeer::SRemote* CRakPeer::createRemote(const SSystemAddress& address, SGuid guid, uint16_t mtu,
                                          bool incoming, EState state, RakTime now)
{
    auto r = std::make_unique<SRemote>(mtu);
    r->address = address;
    r->guid = guid;
    r->incoming = incoming;
    r->state = state;
    r->lastReceive = now;
    r->nextPing = now + PING_INTERVAL_OCCASIONAL;
    SRemote* raw = r.get();
    m_remotes.push_back(std::move(r));
    m_byAddress[address] = raw;
    m_byGuid[guid.value] = raw;
    return raw;
}

void CRakPeer::removeRemote(SRemote* r)
{
    auto a = m_byAddress.find(r->address);
    if (a != m_byAddress.end() && a->second == r) m_byAddress.erase(a);
    auto g = m_byGuid.find(r->guid.value);
    if (g != m_byGuid.end() && g->second == r) m_byGuid.erase(g);
    m_remotes.erase(std::find_if(m_remotes.begin(), m_remotes.end(),
                                 [r](const std::unique_ptr<SRemote>& p) { return p.get() == r; }));
}

CRakPeer::SRemote* CRakPeer::findByAddress(const SSystemAddress& address) const
{
    auto it = m_byAddress.find(address);
    return it == m_byAddress.end() ? nullptr : it->second;
}

CRakPeer::SRemote* CRakPeer::findByGuid(SGuid guid) const
{
    auto it = m_byGuid.find(guid.value);
    return it == m_byGuid.end() ? nullptr : it->second;
}

CRakPeer::SAttempt* CRakPeer::findAttempt(const SSystemAddress& address)
{
    for (SAttempt& a : m_attempts)
        if (a.address == address) return &a;
    return nullptr;
}

void CRakPeer::removeAttempt(const SSystemAddress& address)
{
    m_attempts.erase(std::remove_if(m_attempts.begin(), m_attempts.end(),
                                    [&](const SAttempt& a) { return a.address == address; }),
                     m_attempts.end());
}

unsigned CRakPeer::incomingCount() const
{
    unsigned n = 0;
    for (const auto& r : m_remotes)
        if (r->incoming) ++n;
    return n;
}

void CRakPeer::queuePacket(const SSystemAddress& address, SGuid guid, std::vector<uint8_t>&& data)
{
    auto packet = std::make_unique<SPacket>();
    packet->address = address;
    packet->guid = guid;
    packet->data = std::move(data);
    std::lock_guard<std::mutex> lock(m_packetMutex);
    m_packets.push_back(std::move(packet));
}

void CRakPeer::queueNotice(const SSystemAddress& address, SGuid guid, uint8_t id)
{
    queuePacket(address, guid, std::vector<uint8_t>(1, id));
}

} // namespace kelvo::net::rudp
