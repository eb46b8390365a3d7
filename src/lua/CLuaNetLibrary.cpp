#include "lua/CLuaNetLibrary.h"

#include "lua/CLuaNetBind.h"
#include "lua/CLuaNetCatcher.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <algorithm>

namespace zu::lua
{
namespace
{

CLuaNetLibrary* g_library = nullptr;

// net.createDevice([raw]) -> NetDevice | nil
// A new network object with a session of its own. In packet mode (the
// default) it hosts and joins games like kelvo.startHost and joinHost, with
// its own callbacks; with raw true it joins any TCP server and carries text
// (sendData, onData). The object lives as long as the script keeps it:
// dropped and collected, its connections close.
int n_createDevice(lua_State* L)
{
    CLuaArgs a(L, EAR_STRICT);
    bool raw = a.flag(1);
    if (!g_library)
    {
        lua_pushnil(L);
        return 1;
    }
    return g_library->createDevice(raw);
}

const luaL_Reg kFunctions[] = {
    {"createDevice", n_createDevice},
    {nullptr, nullptr},
};

} // namespace

CLuaNetLibrary::CLuaNetLibrary(IKelvoDevice* device, lua_State* L) : m_device(device), m_state(L)
{
    g_library = this;
}

CLuaNetLibrary::~CLuaNetLibrary()
{
    m_catchers.clear();
    if (g_library == this) g_library = nullptr;
}

void CLuaNetLibrary::install(lua_State* L)
{
    installTable(L, "net", kFunctions);
}

int CLuaNetLibrary::createDevice(bool raw)
{
    if (!m_device)
    {
        lua_pushnil(m_state);
        return 1;
    }
    // A script that makes objects in a loop lets the collected ones go here,
    // not only at the next frame.
    if (!m_polling) reap();
    core::CString name = "lnd" + core::CString::fromInt(++m_counter);
    m_catchers.push_back(std::make_unique<CLuaNetCatcher>(m_state, m_device, name, raw));
    m_catchers.back()->getBind().push();
    return 1;
}

void CLuaNetLibrary::reap()
{
    m_catchers.erase(std::remove_if(m_catchers.begin(), m_catchers.end(),
                                    [](const std::unique_ptr<CLuaNetCatcher>& catcher)
                                    { return catcher->isReleased(); }),
                     m_catchers.end());
}

void CLuaNetLibrary::poll()
{
    reap();
    m_polling = true;
    // By index: a callback may make new objects, which are appended.
    for (size_t i = 0; i < m_catchers.size(); ++i)
        m_catchers[i]->poll();
    m_polling = false;
}

} // namespace zu::lua
