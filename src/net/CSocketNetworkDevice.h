// CSocketNetworkDevice: the network device over TCP/IPv4 sockets.
//
// In packet mode the stream carries framed packets and a handshake: the host
// greets each accepted client with its id, the client answers with its
// player name and game version, and the host welcomes it (with the key for
// scrambled packets) or refuses it. In raw mode a client only carries bytes
// and text.
//
// Threads: the main thread calls the operations; a host runs one accept
// thread; every connection (the client's one to its host included) runs a
// receive thread, which frames packets, answers the handshake and pings and
// hands data to the receiver. Threads end cooperatively: a flag, a shutdown
// of their socket, a join from another thread.
#pragma once

#include "core/CString.h"
#include "net/INetworkDevice.h"
#include "net/SSessionParameters.h"
#include "net/CSocket.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvo::net
{

class CNetConnection;

class CSocketNetworkDevice : public zu::net::INetworkDevice
{
  public:
    enum EMode
    {
        MODE_PACKET = 0,
        MODE_RAW = 1
    };

    // A send that cannot go on for this long gives up, and the connection
    // it was for is closed: a peer that stops reading cannot stall the game.
    static constexpr uint32_t SEND_TIMEOUT_MS = 5000;
    static constexpr size_t RECEIVE_BUFFER_SIZE = 65536;
    // A host drops a client that has not answered its hello this long after
    // it was accepted (it hears HCSR_ERROR): a silent peer cannot hold a
    // slot for ever. Checked at each update.
    static constexpr uint32_t HANDSHAKE_TIMEOUT_MS = 10000;

    CSocketNetworkDevice(const zu::core::CString& name, EMode mode);
    ~CSocketNetworkDevice() override;

    int32_t startServer(zu::net::IPacketEventReceiver* receiver,
                        const zu::net::SSessionParameters& parameters) override;
    int32_t connect(zu::net::IPacketEventReceiver* receiver,
                    const zu::net::SSessionParameters& parameters) override;
    void disconnect() override;
    zu::core::CString getLocalAddress() override;
    int32_t send(int32_t clientId, const void* bytes, int32_t length, int32_t flags) override;
    void broadcast(const void* bytes, int32_t length, int32_t flags,
                   int32_t excludedClientId) override;
    void flush() override;
    void descramble(uint8_t* packet, int32_t senderId) override;
    void dropClient(int32_t clientId) override;
    // Drops the clients whose handshake timed out and joins the threads of
    // connections that ended since the last turn.
    void update() override;

    const zu::core::CString& getName() const { return m_name; }
    EMode getMode() const { return m_mode; }
    bool isServer() const { return m_role == ROLE_SERVER; }
    bool isClient() const { return m_role == ROLE_CLIENT; }
    // The id the host gave this client in its welcome; 0 before.
    int32_t getOwnClientId() const { return m_ownId; }
    // The host's listed clients (welcomed or still in the handshake).
    size_t getClientCount() const;

    // A host reports that it started this long after startServer, and waits
    // this long after each accepted client before it accepts the next
    // (500 ms and 2000 ms unless changed).
    void setAcceptPacing(uint32_t startDelayMs, uint32_t intervalMs);
    void setHandshakeTimeout(uint32_t ms) { m_handshakeTimeoutMs = ms; }
    // The address a host listens on, dotted IPv4; empty (the default) for
    // every local address.
    void setListenAddress(const zu::core::CString& address) { m_listenAddress = address; }

  private:
    enum ERole
    {
        ROLE_NONE,
        ROLE_SERVER,
        ROLE_CLIENT
    };
    using ConnectionPtr = std::shared_ptr<CNetConnection>;
    class CPacketHandler;

    // Before a role is taken; no thread runs.
    void beginSession(zu::net::IPacketEventReceiver* receiver,
                      const zu::net::SSessionParameters& parameters);
    void closeAll();
    void acceptLoop();
    void greet(CSocket socket);
    void receiveLoop(const ConnectionPtr& connection);
    bool onPacket(const ConnectionPtr& connection, const uint8_t* packet, uint16_t length);
    bool onServerHello(CNetConnection& connection, const uint8_t* packet, uint16_t length);
    bool onClientHello(const ConnectionPtr& connection, const uint8_t* packet, uint16_t length);
    bool deliver(CNetConnection& connection, const uint8_t* bytes, size_t size);
    void connectionClosed(const ConnectionPtr& connection);
    bool sendHandshake(CNetConnection& connection, int32_t code, uint32_t key);
    bool sendControl(CNetConnection& connection, uint16_t type);
    // Takes a client off the list without an event; its thread ends, and is
    // joined now or, on that thread itself, at the next update.
    void removeClient(const ConnectionPtr& connection);
    // A send to the client failed: it leaves with the client-disconnected
    // event, unless its receive thread has reported the close already.
    void lostClient(const ConnectionPtr& connection);
    ConnectionPtr findClient(int32_t clientId) const;
    bool findKey(int32_t clientId, uint32_t& key) const;
    bool checkPacket(const uint8_t* bytes, int32_t length, size_t& size) const;
    void reapRetired();
    void dropSilentClients();
    // Waits while the host accepts; false once it stops.
    bool pause(uint32_t ms);
    void raise(int32_t kind, int32_t clientId, int32_t length, const void* data = nullptr,
               int32_t extra = 0);

    const zu::core::CString m_name;
    const EMode m_mode;
    std::atomic<int> m_role{ROLE_NONE};
    zu::core::CString m_localAddress;
    zu::core::CString m_listenAddress;
    zu::net::SSessionParameters m_parameters;
    zu::net::IPacketEventReceiver* m_receiver = nullptr;

    mutable std::mutex m_clientsLock;
    std::vector<ConnectionPtr> m_clients;
    // Connections that ended on their own thread, waiting to be joined.
    std::vector<ConnectionPtr> m_retired;
    ConnectionPtr m_main;

    CSocket m_listener;
    std::thread m_acceptThread;
    std::mutex m_acceptLock;
    std::condition_variable m_acceptSignal;
    bool m_accepting = false;
    uint32_t m_startDelayMs = 500;
    uint32_t m_acceptIntervalMs = 2000;
    uint32_t m_handshakeTimeoutMs = HANDSHAKE_TIMEOUT_MS;

    std::atomic<int32_t> m_nextClientId{1};
    std::atomic<int32_t> m_ownId{0};
    std::atomic<uint32_t> m_ownKey{0};
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_disconnected{false};
    // Something was queued since the last flush (main thread only).
    bool m_queued = false;
};

} // namespace kelvo::net
