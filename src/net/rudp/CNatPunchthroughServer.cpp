#include "net/rudp/CNatPunchthroughServer.h"

#include "net/rudp/CBitStream.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/MessageIds.h"
#include "net/rudp/NatPunchthrough.h"

#include <algorithm>

namespace kelvo::net::rudp
{
namespace
{

void sendTo(CRakPeer& peer, SGuid to, const CBitStream& out)
{
    peer.send(out.data(), out.sizeBytes(), HIGH_PRIORITY, RELIABLE_ORDERED, 0, to, false);
}

} // namespace

void CNatPunchthroughServer::tell(SGuid to, uint8_t id, SGuid about)
{
    CBitStream out;
    out.writeU8(id);
    out.writeGuid(about);
    sendTo(*m_peer, to, out);
}

bool CNatPunchthroughServer::busy(SGuid guid) const
{
    auto it = m_busy.find(guid.value);
    return it != m_busy.end() && getTime() - it->second < PUNCH_WAIT;
}

void CNatPunchthroughServer::update()
{
    if (!m_peer) return;
    const RakTime now = getTime();
    for (size_t i = 0; i < m_sessions.size();)
    {
        SSession& s = m_sessions[i];
        if (now - s.started < PORT_WAIT)
        {
            ++i;
            continue;
        }
        tell(s.peers[0], ID_NAT_TARGET_UNRESPONSIVE, s.peers[1]);
        release(s.peers[0]);
        release(s.peers[1]);
        m_sessions.erase(m_sessions.begin() + ptrdiff_t(i));
    }
}

void CNatPunchthroughServer::connectBoth(const SSession& s)
{
    // Both start once the later of them can have heard: a few of the
    // longer round trip from now.
    const int pingA = m_peer->getAveragePing(s.peers[0]);
    const int pingB = m_peer->getAveragePing(s.peers[1]);
    const RakTime delay = RakTime(std::min(1000, std::max(0, std::max(pingA, pingB)) * 2 + 50));
    const RakTime start = getTime() + delay;
    for (int side = 0; side < 2; ++side)
    {
        const SGuid other = s.peers[1 - side];
        CBitStream out;
        out.writeU8(ID_TIMESTAMP);
        out.writeU64(start);
        out.writeU8(ID_NAT_CONNECT_AT_TIME);
        out.writeU16(s.id);
        out.writeAddress(m_peer->getSystemAddress(other));
        out.writeGuid(other);
        out.writeU8(side == 0 ? 1 : 0);
        sendTo(*m_peer, s.peers[side], out);
    }
}

bool CNatPunchthroughServer::onReceive(SPacket& packet)
{
    if (!m_peer || packet.data.empty()) return false;
    CBitStream in(packet.data.data(), packet.data.size());
    uint8_t id = 0;
    in.readU8(id);
    switch (id)
    {
    case ID_NAT_PUNCHTHROUGH_REQUEST:
    {
        SGuid target;
        if (!in.readGuid(target)) return true;
        if (!m_peer->isConnected(target) || target == packet.guid)
        {
            tell(packet.guid, ID_NAT_TARGET_NOT_CONNECTED, target);
            return true;
        }
        if (busy(packet.guid) || busy(target))
        {
            tell(packet.guid, ID_NAT_ALREADY_IN_PROGRESS, target);
            return true;
        }
        SSession s;
        s.id = m_nextSession++;
        s.peers[0] = packet.guid;
        s.peers[1] = target;
        s.started = getTime();
        m_sessions.push_back(s);
        for (SGuid peer : s.peers)
        {
            m_busy[peer.value] = s.started;
            CBitStream out;
            out.writeU8(ID_NAT_GET_MOST_RECENT_PORT);
            out.writeU16(s.id);
            sendTo(*m_peer, peer, out);
        }
        return true;
    }
    case ID_NAT_GET_MOST_RECENT_PORT:
    {
        uint16_t session = 0, port = 0;
        if (!in.readU16(session) || !in.readU16(port)) return true;
        auto it = std::find_if(m_sessions.begin(), m_sessions.end(),
                               [&](const SSession& s) { return s.id == session; });
        if (it == m_sessions.end()) return true;
        for (int side = 0; side < 2; ++side)
            if (it->peers[side] == packet.guid) it->reported[side] = true;
        if (it->reported[0] && it->reported[1])
        {
            const SSession done = *it;
            m_sessions.erase(it);
            connectBoth(done);
        }
        return true;
    }
    case ID_NAT_CLIENT_READY:
        release(packet.guid);
        return true;
    case ID_DISCONNECTION_NOTIFICATION:
    case ID_CONNECTION_LOST:
    {
        for (size_t i = 0; i < m_sessions.size();)
        {
            SSession& s = m_sessions[i];
            if (s.peers[0] == packet.guid || s.peers[1] == packet.guid)
            {
                if (s.peers[1] == packet.guid)
                    tell(s.peers[0], ID_NAT_CONNECTION_TO_TARGET_LOST, s.peers[1]);
                release(s.peers[0]);
                release(s.peers[1]);
                m_sessions.erase(m_sessions.begin() + ptrdiff_t(i));
            }
            else
                ++i;
        }
        release(packet.guid);
        return false;
    }
    default:
        return false;
    }
}

} // namespace kelvo::net::rudp
