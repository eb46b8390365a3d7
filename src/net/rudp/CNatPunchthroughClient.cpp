#include "net/rudp/CNatPunchthroughClient.h"

#include "net/rudp/CBitStream.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/MessageIds.h"
#include "net/rudp/NatPunchthrough.h"

#include <algorithm>

namespace kelvo::net::rudp
{

bool CNatPunchthroughClient::openNat(SGuid target, const SSystemAddress& facilitator)
{
    if (!m_peer) return false;
    const SRequest r{target, facilitator};
    if (m_peer->getGuid(facilitator).isAssigned() &&
        m_peer->isConnected(m_peer->getGuid(facilitator)))
        request(r);
    else
        m_waiting.push_back(r);
    return true;
}

void CNatPunchthroughClient::request(const SRequest& r)
{
    CBitStream out;
    out.writeU8(ID_NAT_PUNCHTHROUGH_REQUEST);
    out.writeGuid(r.target);
    sendReliable(m_peer->getGuid(r.facilitator),
                 std::vector<uint8_t>(out.data(), out.data() + out.sizeBytes()));
}

void CNatPunchthroughClient::sendReliable(SGuid to, const std::vector<uint8_t>& message)
{
    m_peer->send(message.data(), message.size(), HIGH_PRIORITY, RELIABLE_ORDERED, 0, to, false);
}

void CNatPunchthroughClient::update()
{
    if (!m_peer) return;
    const RakTime now = getTime();
    for (size_t i = 0; i < m_punches.size();)
    {
        SPunch& p = m_punches[i];
        if (now < p.nextProbe)
        {
            ++i;
            continue;
        }
        if (p.probes >= PROBE_COUNT)
        {
            const SPunch done = p;
            m_punches.erase(m_punches.begin() + ptrdiff_t(i));
            finished(done, false, done.address);
            continue;
        }
        const uint8_t probe[4] = {ID_NAT_CONNECT_AT_TIME, uint8_t(p.session >> 8),
                                  uint8_t(p.session), 0};
        m_peer->sendOutOfBand(p.address, probe, sizeof(probe));
        ++p.probes;
        p.nextProbe = now + PROBE_INTERVAL;
        ++i;
    }
}

void CNatPunchthroughClient::finished(const SPunch& punch, bool succeeded,
                                      const SSystemAddress& address)
{
    auto packet = std::make_unique<SPacket>();
    packet->address = address;
    packet->guid = punch.guid;
    packet->data = {uint8_t(succeeded ? ID_NAT_PUNCHTHROUGH_SUCCEEDED : ID_NAT_PUNCHTHROUGH_FAILED),
                    uint8_t(punch.requester ? 1 : 0)};
    m_peer->pushPacket(std::move(packet));
    sendReliable(punch.facilitator, {ID_NAT_CLIENT_READY});
}

bool CNatPunchthroughClient::onReceive(SPacket& packet)
{
    if (!m_peer || packet.data.empty()) return false;
    CBitStream in(packet.data.data(), packet.data.size());
    uint8_t id = 0;
    in.readU8(id);
    switch (id)
    {
    case ID_CONNECTION_REQUEST_ACCEPTED:
    case ID_CONNECTION_ATTEMPT_FAILED:
    {
        // A facilitator came up or did not: send what waited for it, or drop it.
        const bool accepted = id == ID_CONNECTION_REQUEST_ACCEPTED;
        std::vector<SRequest> keep;
        for (const SRequest& r : m_waiting)
        {
            if (!(r.facilitator == packet.address))
                keep.push_back(r);
            else if (accepted)
                request(r);
        }
        m_waiting.swap(keep);
        return false;
    }
    case ID_NAT_GET_MOST_RECENT_PORT:
    {
        uint16_t session = 0;
        if (!in.readU16(session)) return true;
        CBitStream out;
        out.writeU8(ID_NAT_GET_MOST_RECENT_PORT);
        out.writeU16(session);
        out.writeU16(m_peer->getBoundAddress().port);
        sendReliable(packet.guid, std::vector<uint8_t>(out.data(), out.data() + out.sizeBytes()));
        return true;
    }
    case ID_TIMESTAMP:
    {
        uint64_t start = 0;
        uint8_t inner = 0;
        SPunch p;
        uint8_t requester = 0;
        if (!in.readU64(start) || !in.readU8(inner) || inner != ID_NAT_CONNECT_AT_TIME)
            return false;
        if (!in.readU16(p.session) || !in.readAddress(p.address) || !in.readGuid(p.guid) ||
            !in.readU8(requester))
            return true;
        p.facilitator = packet.guid;
        p.requester = requester != 0;
        // A start far off is a clock gone wrong: start within a second.
        const RakTime now = getTime();
        p.nextProbe = std::min<RakTime>(std::max<RakTime>(start, now), now + 1000);
        m_punches.erase(std::remove_if(m_punches.begin(), m_punches.end(),
                                       [&](const SPunch& q) { return q.guid == p.guid; }),
                        m_punches.end());
        m_punches.push_back(p);
        return true;
    }
    case ID_OUT_OF_BAND_INTERNAL:
    {
        uint8_t inner = 0, kind = 0;
        uint16_t session = 0;
        if (!in.readU8(inner) || inner != ID_NAT_CONNECT_AT_TIME || !in.readU16(session) ||
            !in.readU8(kind))
            return false;
        if (kind == 0)
        {
            const uint8_t answer[4] = {ID_NAT_CONNECT_AT_TIME, uint8_t(session >> 8),
                                       uint8_t(session), 1};
            m_peer->sendOutOfBand(packet.address, answer, sizeof(answer));
            return true;
        }
        auto it = std::find_if(m_punches.begin(), m_punches.end(),
                               [&](const SPunch& p)
                               { return p.session == session && p.guid == packet.guid; });
        if (it == m_punches.end()) return true;
        const SPunch done = *it;
        m_punches.erase(it);
        finished(done, true, packet.address);
        return true;
    }
    case ID_NAT_TARGET_NOT_CONNECTED:
    case ID_NAT_TARGET_UNRESPONSIVE:
    case ID_NAT_CONNECTION_TO_TARGET_LOST:
    case ID_NAT_ALREADY_IN_PROGRESS:
    {
        // The application hears about the target, not the facilitator.
        SGuid target;
        if (in.readGuid(target)) packet.guid = target;
        return false;
    }
    default:
        return false;
    }
}

} // namespace kelvo::net::rudp
