// CNetSession: one game session over a network device, the way a script runs
// it: host or join under a game name, send while the session is active, and
// hear what happens through the handlers below, on the main thread, while
// poll delivers.
//
// A session is active from a successful startHost, or from the host's
// welcome (a client) or a client's arrival (a host), until disconnect, the
// host's end or the next start. Ending a session also drops whatever it left
// undelivered, so nothing of an old session reaches the handlers of the next.
//
// What a session sends waits in its connections until flushAll, which the
// script layer calls whenever a script call returns: the packets a callback
// sends leave together, in one write per connection, as the callback ends.
#pragma once

#include "core/CString.h"
#include "net/IPacketEventReceiver.h"
#include "net/SSessionParameters.h"

#include <cstddef>
#include <cstdint>

namespace zu::net
{

class INetworkDevice;

class CNetSession : public IPacketEventReceiver
{
  public:
    ~CNetSession() override;

    // What a script is told when joining fails: "Unable to connect", "Server
    // is full", "Incorrect game version" for the event kinds 3, 4 and 5.
    static const char* failureText(int32_t kind);

    // Ends the running session first. Game version and server name are the
    // game's name. True when the device listens.
    bool startHost(const core::CString& game, const core::CString& player, int32_t port,
                   int32_t maxConnections);
    // Ends the running session first; active once the host welcomes this client.
    void joinHost(const core::CString& game, const core::CString& player,
                  const core::CString& address, int32_t port);
    // While active: a whole packet (its length field filled in) to one client
    // id, 1000 being the host.
    void sendPacket(int32_t clientId, const void* packet, size_t size);
    // While active: a packet to every client of this host; a client has none.
    void broadcastPacket(const void* packet, size_t size);
    // While active: the text up to, not including, its zero byte, to the host.
    void sendText(const core::CString& text);
    // Closes every connection and drops what they left undelivered.
    void disconnect();
    // Delivers what arrived since the last poll: events, then packets.
    void poll();
    // Sends what every session has waiting (main thread).
    static void flushAll();

    bool isActive() const { return m_active; }
    bool isHosting() const { return m_hosting; }
    const SSessionParameters& getParameters() const { return m_parameters; }
    INetworkDevice* getDevice() const { return m_device; }

  protected:
    // The network device of this session, made on the first start or join;
    // null when none can be made. The session keeps a reference to it.
    virtual INetworkDevice* createDevice() = 0;

    virtual void onHostStarted(const char* /*deviceName*/) {}
    virtual void onClientConnected(const core::CString& /*name*/, int32_t /*clientId*/) {}
    virtual void onConnected(int32_t /*ownId*/) {}
    virtual void onConnectFailed(const char* /*reason*/) {}
    virtual void onClientDisconnected(int32_t /*clientId*/) {}
    virtual void onDisconnected() {}

    // Disconnects and lets the device go. Destructors of derived classes
    // call it first, so no device thread reaches a receiver being destroyed.
    void closeDevice();

  private:
    void handleNetworkEvent(const event::SEngineEvent& event) final;
    // Ends the running session and makes the device; false without one.
    bool prepare();
    // This session has something waiting for flushAll.
    void queued();
    void flush();

    INetworkDevice* m_device = nullptr;
    SSessionParameters m_parameters;
    bool m_active = false;
    bool m_hosting = false;
    bool m_queued = false;
};

} // namespace zu::net
