#include "host/KelvoTable.h"

#include "core/Version.h"
#include "event/CEventSubscriberList.h"
#include "host/CLuaManager.h"
#include "host/LineIntersection.h"
#include "host/SScriptInput.h"
#include "io/IFileList.h"
#include "io/IFileSystem.h"
#include "other/ICursorControl.h"
#include "other/IKelvoDevice.h"
#include "other/ITimer.h"

#include <lua.hpp>

#include <string>

namespace pellora::lua
{
namespace
{

using zu::core::CString;

zu::IKelvoDevice* device()
{
    CLuaManager* manager = CLuaManager::get();
    return manager ? manager->getDevice() : nullptr;
}

zu::io::IFileSystem* fileSystem()
{
    zu::IKelvoDevice* d = device();
    return d ? d->getFileSystem() : nullptr;
}

// Text of any value, as the script's tostring would give it.
CString toText(lua_State* L, int index)
{
    lua_getglobal(L, "tostring");
    lua_pushvalue(L, index);
    lua_call(L, 1, 1);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    CString out = text ? CString(text, length) : CString();
    lua_pop(L, 1);
    return out;
}

int k_dofile(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    // Names are relative to the folder of the calling script: the nearest
    // script function on the stack (pcall(dofile, ...) calls from C).
    std::string prefix;
    lua_Debug ar;
    for (int level = 1; lua_getstack(L, level, &ar); ++level)
    {
        if (!lua_getinfo(L, "S", &ar) || !ar.source || ar.source[0] != '@')
            continue;
        std::string chunk = ar.source + 1;
        for (char& c : chunk)
            if (c == '\\')
                c = '/';
        size_t slash = chunk.rfind('/');
        if (slash != std::string::npos)
            prefix = chunk.substr(0, slash + 1);
        break;
    }
    std::string path = prefix + name;
    int base = lua_gettop(L);
    if (luaL_loadfile(L, path.c_str()) != 0)
        return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - base;
}

int k_print(lua_State* L)
{
    if (lua_gettop(L) < 1)
        return 0;
    if (CLuaManager* manager = CLuaManager::get())
        manager->addPrintLine(toText(L, 1));
    return 0;
}

int k_clearPrint(lua_State*)
{
    if (CLuaManager* manager = CLuaManager::get())
        manager->clearPrint();
    return 0;
}

int k_lineIntersects(lua_State* L)
{
    SLineHit hit;
    if (lua_gettop(L) >= 8)
    {
        float v[8];
        for (int i = 0; i < 8; ++i)
            v[i] = static_cast<float>(luaL_checknumber(L, i + 1));
        hit = lineIntersects(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    }
    lua_pushboolean(L, hit.hit);
    lua_pushnumber(L, hit.x);
    lua_pushnumber(L, hit.y);
    return 3;
}

int k_isKeyPressed(lua_State* L)
{
    bool down = false;
    if (lua_gettop(L) >= 1)
    {
        lua_Integer key = luaL_checkinteger(L, 1);
        down = key >= 0 && key <= 255 && states::scriptInput().keys[key];
    }
    lua_pushboolean(L, down);
    return 1;
}

int k_getMousePosition(lua_State* L)
{
    CLuaManager* manager = CLuaManager::get();
    lua_pushinteger(L, manager ? manager->getMouseX() : 0);
    lua_pushinteger(L, manager ? manager->getMouseY() : 0);
    return 2;
}

int k_setMousePosition(lua_State* L)
{
    if (lua_gettop(L) < 2)
        return 0;
    int x = static_cast<int>(luaL_checknumber(L, 1));
    int y = static_cast<int>(luaL_checknumber(L, 2));
    zu::IKelvoDevice* d = device();
    if (d && d->getCursorControl())
        d->getCursorControl()->setPosition(x, y);
    return 0;
}

int k_setMouseVisible(lua_State* L)
{
    if (lua_gettop(L) < 1)
        return 0;
    zu::IKelvoDevice* d = device();
    if (d && d->getCursorControl())
        d->getCursorControl()->setVisible(lua_toboolean(L, 1) != 0);
    return 0;
}

int k_isMouseButtonPressed(lua_State* L)
{
    bool down = false;
    if (lua_gettop(L) >= 1)
    {
        lua_Integer button = luaL_checkinteger(L, 1);
        down = button >= 0 && button <= 2 && states::scriptInput().mouseButtons[button];
    }
    lua_pushboolean(L, down);
    return 1;
}

int k_getJoystickAxises(lua_State* L)
{
    if (lua_gettop(L) != 2)
        return 0;
    luaL_checkinteger(L, 1);
    luaL_checkinteger(L, 2);
    // Without a joystick driver every axis rests at 0.
    lua_pushnumber(L, 0.0);
    return 1;
}

void sendGameRequest(zu::event::GameRequest request)
{
    if (zu::event::CEventSubscriberList* list = zu::event::CEventSubscriberList::get())
        list->onEvent(zu::event::SEngineEvent::makeGameRequest(request));
}

int k_exitGame(lua_State*)
{
    sendGameRequest(zu::event::GameRequestExit);
    return 0;
}

int k_resetGame(lua_State*)
{
    sendGameRequest(zu::event::GameRequestReset);
    return 0;
}

// The built-in network session arrives with the network devices; until a
// catcher exists these do nothing, as documented for a missing catcher.
int k_networkNoop(lua_State*) { return 0; }

// Creates a folder and any missing folders above it.
void createFolders(zu::io::IFileSystem* fs, const CString& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
    {
        CString level = path.substr(0, slash);
        if (!fs->existFile(level, false))
            fs->createDirectory(level);
        if (slash == CString::npos)
            break;
    }
}

int folderPath(lua_State* L, const char* alias, bool create)
{
    CString path = CString(alias) + "/";
    if (lua_gettop(L) >= 1 && !lua_isnil(L, 1))
        path += CString(luaL_checkstring(L, 1));
    zu::io::IFileSystem* fs = fileSystem();
    if (fs)
    {
        path = fs->resolvePath(path);
        // A fresh account may not have the folders above the user folder yet.
        if (create && !fs->existFile(path, false))
            createFolders(fs, path);
    }
    lua_pushlstring(L, path.data(), path.size());
    return 1;
}

int k_getUserFolderPath(lua_State* L) { return folderPath(L, "$USERDATA$", true); }

int k_getResourcesFolderPath(lua_State* L) { return folderPath(L, "$GAME_RESOURCES$", false); }

int k_getFolderContents(lua_State* L)
{
    int argc = lua_gettop(L);
    CString folder, filter;
    if (argc >= 1)
    {
        folder = luaL_checkstring(L, 1);
        filter = luaL_optstring(L, 2, "");
    }
    lua_newtable(L);
    zu::io::IFileSystem* fs = fileSystem();
    if (argc < 1 || !fs)
        return 1;
    zu::io::IFileList* list = fs->createFileList(filter, folder, zu::io::EFLK_ALL);
    if (!list)
        return 1;
    for (int32_t i = 0; i < list->getFileCount(); ++i)
    {
        CString name = list->getFileName(i);
        lua_pushlstring(L, name.data(), name.size());
        lua_rawseti(L, -2, i + 1);
    }
    list->drop();
    return 1;
}

int k_getSeconds(lua_State* L)
{
    zu::IKelvoDevice* d = device();
    lua_pushnumber(L, d && d->getTimer() ? d->getTimer()->getSeconds() : 0.0);
    return 1;
}

int k_setWindowTitle(lua_State* L)
{
    CString title = luaL_optstring(L, 1, "Invalid call to setWindowTitle");
    if (zu::IKelvoDevice* d = device())
        d->setWindowCaption(title);
    return 0;
}

int k_getVersion(lua_State* L)
{
    lua_pushinteger(L, zu::core::PRODUCT_VERSION_MAJOR);
    lua_pushinteger(L, zu::core::PRODUCT_VERSION_MINOR);
    lua_pushinteger(L, zu::core::PRODUCT_VERSION_PATCH);
    return 3;
}

int k_moveWindow(lua_State* L)
{
    int x = static_cast<int>(luaL_optnumber(L, 1, 0));
    int y = static_cast<int>(luaL_optnumber(L, 2, 0));
    if (zu::IKelvoDevice* d = device())
        d->moveWindow(x, y);
    return 0;
}

const luaL_Reg kFunctions[] = {
    {"dofile", k_dofile},
    {"print", k_print},
    {"clearPrint", k_clearPrint},
    {"lineIntersects", k_lineIntersects},
    {"isKeyPressed", k_isKeyPressed},
    {"getMousePosition", k_getMousePosition},
    {"setMousePosition", k_setMousePosition},
    {"setMouseVisible", k_setMouseVisible},
    {"isMouseButtonPressed", k_isMouseButtonPressed},
    {"getJoystickAxises", k_getJoystickAxises},
    {"exitGame", k_exitGame},
    {"resetGame", k_resetGame},
    {"joinHost", k_networkNoop},
    {"startHost", k_networkNoop},
    {"sendPacket", k_networkNoop},
    {"broadcastPacket", k_networkNoop},
    {"getUserFolderPath", k_getUserFolderPath},
    {"getResourcesFolderPath", k_getResourcesFolderPath},
    {"getFolderContents", k_getFolderContents},
    {"getSeconds", k_getSeconds},
    {"setWindowTitle", k_setWindowTitle},
    {"getVersion", k_getVersion},
    {"moveWindow", k_moveWindow},
    {nullptr, nullptr},
};

} // namespace

void registerKelvoTable(lua_State* L)
{
    luaL_register(L, "kelvo", kFunctions);
    lua_pop(L, 1);
}

} // namespace pellora::lua
