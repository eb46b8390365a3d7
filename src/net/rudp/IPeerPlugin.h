// IPeerPlugin: an extension of a peer (the punch-through client and server)
// that sees every packet before the application does. Plugins run on the
// thread that calls CRakPeer::receive, never on the network thread.
#pragma once

#include "net/rudp/SPacket.h"

namespace kelvo::net::rudp
{

class CRakPeer;

class IPeerPlugin
{
  public:
    virtual ~IPeerPlugin() = default;
    virtual void onAttach(CRakPeer& peer) { m_peer = &peer; }
    virtual void onDetach() { m_peer = nullptr; }
    // Called at the start of every receive().
    virtual void update() {}
    // True when the plugin consumed the packet, which then goes no further. It
    // may rewrite the packet for the application.
    virtual bool onReceive(SPacket& packet) = 0;

  protected:
    CRakPeer* m_peer = nullptr;
};

} // namespace kelvo::net::rudp
