// CNetCatcher: the game's built-in network session, the one the kelvo table
// runs (startHost, joinHost, sendPacket, broadcastPacket). It is a session
// over the device's network device "luaDevice" (packet mode, made on first
// use and kept while the host runs), and it turns what the session hears into
// the script manager's global callbacks: connectFailed, connectSucceeded,
// clientConnected, clientDisconnected, hostDisconnected, packetReceived.
//
// The host makes one when it starts and polls it at the start of every pass
// of the main loop, before the frame. A script that ends (a restart, the
// game's end) ends its session too, so nothing of it reaches the next script.
#pragma once

#include "net/CNetSession.h"

namespace zu
{
class IKelvoDevice;
}

namespace pellora
{

class CNetCatcher : public zu::net::CNetSession
{
  public:
    static constexpr const char* DEVICE_NAME = "luaDevice";

    explicit CNetCatcher(zu::IKelvoDevice* device);
    ~CNetCatcher() override;
    CNetCatcher(const CNetCatcher&) = delete;
    CNetCatcher& operator=(const CNetCatcher&) = delete;

    // The host's catcher, or null.
    static CNetCatcher* get();

  protected:
    zu::net::INetworkDevice* createDevice() override;
    void onClientConnected(const zu::core::CString& name, int32_t clientId) override;
    void onConnected(int32_t ownId) override;
    void onConnectFailed(const char* reason) override;
    void onClientDisconnected(int32_t clientId) override;
    void onDisconnected() override;
    void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) override;

  private:
    zu::IKelvoDevice* m_device;
};

} // namespace pellora
