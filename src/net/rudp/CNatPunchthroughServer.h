// CNatPunchthroughServer: the facilitator's side of NAT punch-through (see
// NatPunchthrough.h). A peer that hosts it introduces two of its connected
// peers to each other: it learns both ports, then tells both where to send
// and when to start.
#pragma once

#include "net/rudp/IPeerPlugin.h"
#include "net/rudp/RudpProtocol.h"

#include <map>
#include <vector>

namespace kelvo::net::rudp
{

class CNatPunchthroughServer : public IPeerPlugin
{
  public:
    void update() override;
    bool onReceive(SPacket& packet) override;

  private:
    struct SSession
    {
        uint16_t id = 0;
        SGuid peers[2]; // requester, target
        bool reported[2] = {false, false};
        RakTime started = 0;
    };

    void tell(SGuid to, uint8_t id, SGuid about);
    void connectBoth(const SSession& session);
    bool busy(SGuid guid) const;
    void release(SGuid guid) { m_busy.erase(guid.value); }

    std::vector<SSession> m_sessions;
    // Peers between an introduction and their ID_NAT_CLIENT_READY.
    std::map<uint64_t, RakTime> m_busy;
    uint16_t m_nextSession = 1;
};

} // namespace kelvo::net::rudp
