#include "host/CLuaManager.h"

#include "core/Output.h"
#include "host/CNetCatcher.h"
#include "io/IFileSystem.h"
#include "lua/CLuaAudioLibrary.h"
#include "lua/CLuaBox2dLibrary.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/CLuaGuiLibrary.h"
#include "lua/CLuaKelvoLibrary.h"
#include "lua/CLuaNetLibrary.h"
#include "lua/CLuaParticleLibrary.h"
#include "lua/CLuaRaknetLibrary.h"
#include "lua/LuaPacketTable.h"
#include "lua/CLuaWChar.h"
#include "lua/CLuaXMLLibrary.h"
#include "lua/CLuaVideoLibrary.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "net/CNetSession.h"
#include "net/CVariablePacketParser.h"
#include "other/IKelvoDevice.h"

#include <lua.hpp>

extern const char pellora_hook_lua[];
extern const unsigned pellora_hook_lua_size;

namespace pellora::lua
{
namespace
{

CLuaManager* g_manager = nullptr;
// arg[0], then arg[1] ...
std::vector<zu::core::CString> g_scriptArguments;

zu::core::CString errorText(lua_State* L, int index)
{
    size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    if (text)
        return zu::core::CString(text, length);
    return zu::core::CString("(error object is a ") + luaL_typename(L, index) + " value)";
}

} // namespace

CLuaManager::CLuaManager() = default;

CLuaManager* CLuaManager::get() { return g_manager; }

void CLuaManager::setScriptArguments(const zu::core::CString& game,
                                     const std::vector<zu::core::CString>& arguments)
{
    g_scriptArguments.assign(1, game);
    g_scriptArguments.insert(g_scriptArguments.end(), arguments.begin(), arguments.end());
}

void CLuaManager::init(zu::IKelvoDevice* device)
{
    m_device = device;
    m_audioDriver = device ? device->getAudioDriver() : nullptr;

    m_state = luaL_newstate();
    if (!m_state)
    {
        addPrintLine("Could not create the script state (out of memory)");
        return;
    }
    luaL_openlibs(m_state);
    lua_createtable(m_state, int(g_scriptArguments.size()), 1);
    for (size_t i = 0; i < g_scriptArguments.size(); ++i)
    {
        zu::lua::pushText(m_state, g_scriptArguments[i]);
        lua_rawseti(m_state, -2, int(i));
    }
    lua_setglobal(m_state, "arg");
    // The kelvo functions find the manager through the process-wide pointer
    // while main.lua runs.
    g_manager = this;
    m_kelvoLibrary = new zu::lua::CLuaKelvoLibrary(this);
    m_kelvoLibrary->install(m_state);

    if (luaL_loadbuffer(m_state, pellora_hook_lua, pellora_hook_lua_size, "=hook") != 0 ||
        lua_pcall(m_state, 0, 0, 0) != 0)
    {
        addPrintLine(errorText(m_state, -1));
        lua_pop(m_state, 1);
    }

    zu::lua::CLuaWChar::install(m_state);
    m_netLibrary = new zu::lua::CLuaNetLibrary(device, m_state);
    m_netLibrary->install(m_state);
    zu::lua::CLuaRaknetLibrary::install(m_state);
    m_fileLibrary = new zu::lua::CLuaFileLibrary(device ? device->getFileSystem() : nullptr);
    m_fileLibrary->install(m_state);
    zu::lua::CLuaXMLLibrary::install(m_state);
    m_audioLibrary = new zu::lua::CLuaAudioLibrary(m_audioDriver);
    m_audioLibrary->install(m_state);
    m_box2dLibrary = new zu::lua::CLuaBox2dLibrary();
    m_box2dLibrary->install(m_state);
    m_videoLibrary = new zu::lua::CLuaVideoLibrary(device ? device->getVideoDriver() : nullptr,
                                                   device ? device->getGUIEnvironment() : nullptr,
                                                   device);
    m_videoLibrary->install(m_state);
    m_guiLibrary = new zu::lua::CLuaGuiLibrary(device ? device->getGUIEnvironment() : nullptr,
                                               m_state);
    m_guiLibrary->install(m_state);
    m_particleLibrary = new zu::lua::CLuaParticleLibrary(
        device ? device->getVideoDriver() : nullptr, m_audioDriver);
    m_particleLibrary->install(m_state);

    // Read through the file system, so a zipped game's script comes from its
    // archive as everything else does.
    zu::io::IFileSystem* fs = device ? device->getFileSystem() : nullptr;
    const zu::core::CString mainPath = "$GAME_RESOURCES$/pellora/main.lua";
    const bool ran =
        zu::lua::loadScriptFile(m_state, fs, mainPath) == 0 && lua_pcall(m_state, 0, 0, 0) == 0;
    zu::net::CNetSession::flushAll();
    if (!ran)
    {
        addPrintLine(errorText(m_state, -1));
        lua_pop(m_state, 1);
        m_hookRef = -1;
        return;
    }

    lua_getglobal(m_state, "hook");
    if (lua_istable(m_state, -1))
    {
        lua_getfield(m_state, -1, "call");
        m_hookRef = luaL_ref(m_state, LUA_REGISTRYINDEX);
    }
    else
    {
        addPrintLine("The script replaced the hook table; no callback will be made");
        m_hookRef = -1;
    }
    lua_pop(m_state, 1);
}

CLuaManager::~CLuaManager()
{
    // gameClose runs while every script library still exists, so a handler may
    // use any of them (to save the game, say). The state is closed before the
    // libraries go, so finalizers of their objects still find them.
    if (m_state)
    {
        callback(CB_GAME_CLOSE, "gameClose", [](lua_State*) { return 0; });
        // The script's sessions end with it, before the next script starts:
        // the net objects' connections close and their devices go while the
        // state they call into is still open.
        delete m_netLibrary;
        m_netLibrary = nullptr;
        // Every component of this script goes before the state closes, so a
        // restarted script starts with an empty GUI and no old callbacks.
        delete m_guiLibrary;
        m_guiLibrary = nullptr;
        if (pellora::CNetCatcher* session = pellora::CNetCatcher::get()) session->disconnect();
        lua_close(m_state);
        m_state = nullptr;
    }
    delete m_netLibrary;
    m_netLibrary = nullptr;
    delete m_guiLibrary;
    m_guiLibrary = nullptr;
    delete m_fileLibrary;
    m_fileLibrary = nullptr;
    delete m_audioLibrary;
    m_audioLibrary = nullptr;
    delete m_box2dLibrary;
    m_box2dLibrary = nullptr;
    delete m_particleLibrary;
    m_particleLibrary = nullptr;
    delete m_videoLibrary;
    m_videoLibrary = nullptr;
    delete m_kelvoLibrary;
    m_kelvoLibrary = nullptr;
    if (g_manager == this)
        g_manager = nullptr;
    m_printList.clear();
}

void CLuaManager::addPrintLine(const zu::core::CString& line)
{
    m_printList.push_back(line);
    zu::core::zuLog(zu::core::ELL_INFORMATION, "Lua: %s", line.c_str());
}

template <class PushArgs>
void CLuaManager::callback(ECallbackSlot slot, const char* name, PushArgs pushArgs)
{
    zu::core::CLock lock(m_lock);
    if (m_hookRef < 0 || !m_state || m_callbacks[slot] == CALLBACK_OFF)
        return;
    lua_rawgeti(m_state, LUA_REGISTRYINDEX, m_hookRef);
    lua_pushstring(m_state, name);
    int nargs = 1 + pushArgs(m_state);
    if (protectedCall(nargs))
    {
        if (m_callbacks[slot] == CALLBACK_UNTRIED)
            m_callbacks[slot] = lua_tointeger(m_state, -1) == 0 ? CALLBACK_ACTIVE : CALLBACK_OFF;
        lua_pop(m_state, 1);
    }
    else
        m_callbacks[slot] = CALLBACK_OFF;
    // The packets the callback sent leave now, together.
    zu::net::CNetSession::flushAll();
}

bool CLuaManager::protectedCall(int nargs)
{
    lua_State* L = m_state;
    int functionIndex = lua_gettop(L) - nargs;
    lua_pushcfunction(L, zu::lua::tracebackHandler);
    lua_insert(L, functionIndex);
    int status = lua_pcall(L, nargs, 1, functionIndex);
    lua_remove(L, functionIndex);
    if (status == 0)
        return true;
    zu::core::CString error = errorText(L, -1);
    lua_pop(L, 1);
    printErrorScreen(error);
    return false;
}

void CLuaManager::printThroughScript(const zu::core::CString& line)
{
    zu::lua::printThroughScript(m_state, line);
}

void CLuaManager::printErrorScreen(const zu::core::CString& error)
{
    printThroughScript("A Lua script error has occurred!");
    printThroughScript("Press #4CTRL+R#7 to reset the script parser");
    printThroughScript("A screenshot of this error has been saved");
    // Taken once the frame showing these lines is finished.
    m_errorScreenshotDue = true;
    printThroughScript("");
    size_t start = 0;
    while (true)
    {
        size_t end = error.find('\n', start);
        printThroughScript(error.substr(start, end == zu::core::CString::npos ? end : end - start));
        if (end == zu::core::CString::npos)
            break;
        start = end + 1;
    }
}

void CLuaManager::frameUpdate(float dt)
{
    zu::core::CLock lock(m_lock);
    // The net objects' callbacks come just before frameUpdate.
    if (m_netLibrary) m_netLibrary->poll();
    callback(CB_FRAME_UPDATE, "frameUpdate", [dt](lua_State* L) {
        lua_pushnumber(L, dt);
        return 1;
    });
}

void CLuaManager::frameRender()
{
    if (m_videoLibrary)
        m_videoLibrary->setInRender(true);
    callback(CB_FRAME_RENDER, "frameRender", [](lua_State*) { return 0; });
    if (m_videoLibrary)
        m_videoLibrary->setInRender(false);
}

void CLuaManager::gameInit()
{
    callback(CB_GAME_INIT, "gameInit", [](lua_State*) { return 0; });
}

void CLuaManager::mouseButton(int x, int y, int button, int clicks)
{
    callback(CB_MOUSE_BUTTON, "mouseButton", [=](lua_State* L) {
        lua_pushinteger(L, x);
        lua_pushinteger(L, y);
        lua_pushinteger(L, button);
        lua_pushinteger(L, clicks);
        return 4;
    });
}

void CLuaManager::keyPress(int key)
{
    callback(CB_KEY_PRESS, "keyPress", [=](lua_State* L) {
        lua_pushinteger(L, key);
        return 1;
    });
}

void CLuaManager::keyCharacter(int character)
{
    callback(CB_KEY_CHARACTER, "keyCharacter", [=](lua_State* L) {
        lua_pushinteger(L, character);
        return 1;
    });
}

void CLuaManager::joystickButtonPressed(int joystick, int button)
{
    callback(CB_JOYSTICK_BUTTON, "joystickButtonPressed", [=](lua_State* L) {
        lua_pushinteger(L, joystick);
        lua_pushinteger(L, button);
        return 2;
    });
}

void CLuaManager::joystickButtonReleased(int joystick, int button)
{
    callback(CB_JOYSTICK_BUTTON, "joystickButtonReleased", [=](lua_State* L) {
        lua_pushinteger(L, joystick);
        lua_pushinteger(L, button);
        return 2;
    });
}

void CLuaManager::joystickAdded(int joystick)
{
    callback(CB_JOYSTICK_ADDED, "joystickAdded", [=](lua_State* L) {
        lua_pushinteger(L, joystick);
        return 1;
    });
}

void CLuaManager::joystickRemoved(int joystick)
{
    callback(CB_JOYSTICK_REMOVED, "joystickRemoved", [=](lua_State* L) {
        lua_pushinteger(L, joystick);
        return 1;
    });
}

void CLuaManager::connectFailed(const zu::core::CString& reason)
{
    callback(CB_CONNECT_FAILED, "connectFailed", [&](lua_State* L) {
        lua_pushlstring(L, reason.data(), reason.size());
        return 1;
    });
}

void CLuaManager::connectSucceeded(int clientId)
{
    callback(CB_CONNECT_SUCCEEDED, "connectSucceeded", [=](lua_State* L) {
        lua_pushinteger(L, clientId);
        return 1;
    });
}

void CLuaManager::clientConnected(const zu::core::CString& name, int clientId)
{
    callback(CB_CLIENT_CONNECTED, "clientConnected", [&](lua_State* L) {
        lua_pushlstring(L, name.data(), name.size());
        lua_pushinteger(L, clientId);
        return 2;
    });
}

void CLuaManager::clientDisconnected(int clientId)
{
    callback(CB_CLIENT_DISCONNECTED, "clientDisconnected", [=](lua_State* L) {
        lua_pushinteger(L, clientId);
        return 1;
    });
}

void CLuaManager::hostDisconnected()
{
    callback(CB_HOST_DISCONNECTED, "hostDisconnected", [](lua_State*) { return 0; });
}

void CLuaManager::packetReceived(const uint8_t* packet, int32_t length, int senderId)
{
    callback(CB_PACKET_RECEIVED, "packetReceived", [&](lua_State* L) {
        zu::net::CVariablePacketParser parser(packet, size_t(length));
        lua_pushinteger(L, parser.getType());
        zu::lua::pushPacketTable(L, parser);
        lua_pushinteger(L, senderId);
        return 3;
    });
}

zu::net::CNetSession* CLuaManager::getNetSession() const
{
    return pellora::CNetCatcher::get();
}

} // namespace pellora::lua
