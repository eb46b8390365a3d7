#include "host/CNetCatcher.h"

#include "host/CLuaManager.h"
#include "other/IKelvoDevice.h"

namespace pellora
{
namespace
{

CNetCatcher* g_catcher = nullptr;

} // namespace

CNetCatcher::CNetCatcher(zu::IKelvoDevice* device) : m_device(device)
{
    g_catcher = this;
}

CNetCatcher::~CNetCatcher()
{
    closeDevice();
    if (g_catcher == this) g_catcher = nullptr;
}

CNetCatcher* CNetCatcher::get()
{
    return g_catcher;
}

zu::net::INetworkDevice* CNetCatcher::createDevice()
{
    return m_device ? m_device->createNetworkDevice(DEVICE_NAME, 0) : nullptr;
}

void CNetCatcher::onClientConnected(const zu::core::CString& name, int32_t clientId)
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get())
        manager->clientConnected(name, clientId);
}

void CNetCatcher::onConnected(int32_t ownId)
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get()) manager->connectSucceeded(ownId);
}

void CNetCatcher::onConnectFailed(const char* reason)
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get()) manager->connectFailed(reason);
}

void CNetCatcher::onClientDisconnected(int32_t clientId)
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get()) manager->clientDisconnected(clientId);
}

void CNetCatcher::onDisconnected()
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get()) manager->hostDisconnected();
}

void CNetCatcher::handlePacket(uint8_t* bytes, int32_t length, int32_t clientId)
{
    if (lua::CLuaManager* manager = lua::CLuaManager::get())
        manager->packetReceived(bytes, length, clientId);
}

} // namespace pellora
