// CNatPunchthroughClient: the peer's side of NAT punch-through (see
// NatPunchthrough.h). openNat asks a facilitator for a route to another peer
// connected to it; the outcome reaches the application as a packet.
#pragma once

#include "net/rudp/IPeerPlugin.h"
#include "net/rudp/RudpProtocol.h"

#include <vector>

namespace kelvo::net::rudp
{

class CNatPunchthroughClient : public IPeerPlugin
{
  public:
    // Sends the request now when the facilitator is connected, or once the
    // connection to it is accepted; false without a peer.
    bool openNat(SGuid target, const SSystemAddress& facilitator);
    void update() override;
    bool onReceive(SPacket& packet) override;

  private:
    struct SRequest
    {
        SGuid target;
        SSystemAddress facilitator;
    };
    struct SPunch
    {
        uint16_t session = 0;
        SGuid facilitator;
        SSystemAddress address;
        SGuid guid;
        bool requester = false;
        RakTime nextProbe = 0;
        unsigned probes = 0;
    };

    void request(const SRequest& r);
    void finished(const SPunch& punch, bool succeeded, const SSystemAddress& address);
    void sendReliable(SGuid to, const std::vector<uint8_t>& message);

    std::vector<SRequest> m_waiting;
    std::vector<SPunch> m_punches;
};

} // namespace kelvo::net::rudp
