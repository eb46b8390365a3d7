#include "lua/CLuaKelvoLibrary.h"

#include "algo/LineIntersection.h"
#include "core/Version.h"
#include "event/CEventSubscriberList.h"
#include "input/IJoystickDriver.h"
#include "io/IFileList.h"
#include "io/IFileSystem.h"
#include "lua/IKelvoHost.h"
#include "lua/LuaPacketTable.h"
#include "lua/SScriptInput.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "other/ICursorControl.h"
#include "other/IKelvoDevice.h"
#include "core/ITimer.h"
#include "net/CNetSession.h"
#include "net/CVariablePacketBuilder.h"

namespace zu::lua
{

SScriptInput& scriptInput()
{
    static SScriptInput input;
    return input;
}

namespace
{

using core::CString;

CLuaKelvoLibrary* g_library = nullptr;

IKelvoHost* host()
{
    return g_library ? g_library->getHost() : nullptr;
}

IKelvoDevice* device()
{
    IKelvoHost* h = host();
    return h ? h->getDevice() : nullptr;
}

io::IFileSystem* fileSystem()
{
    IKelvoDevice* d = device();
    return d ? d->getFileSystem() : nullptr;
}

ICursorControl* cursor()
{
    IKelvoDevice* d = device();
    return d ? d->getCursorControl() : nullptr;
}

CLuaArgs arguments(lua_State* L)
{
    return CLuaArgs(L, EAR_STRICT);
}

// Text of any value, as the script's tostring would give it.
CString toText(lua_State* L, int index)
{
    lua_getglobal(L, "tostring");
    lua_pushvalue(L, index);
    lua_call(L, 1, 1);
    CString out = toCString(L, -1);
    lua_pop(L, 1);
    return out;
}

// kelvo.dofile(name) -> the chunk's results
// Runs a script file named relative to the folder of the calling script
// (the global dofile is this function), from the game folder or from the
// zipped game. Load errors are raised.
int k_dofile(lua_State* L)
{
    CLuaArgs a = arguments(L);
    const CString path = scriptPath(L, a.text(1));
    int base = lua_gettop(L);
    if (loadScriptFile(L, fileSystem(), path) != 0) return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - base;
}

// kelvo.print(value) -> nothing
// Adds one line to the on-screen console and the log (the global print is
// this function). Only the first value is printed, as tostring gives it.
int k_print(lua_State* L)
{
    if (arguments(L).count() < 1) return 0;
    if (IKelvoHost* h = host()) h->addPrintLine(toText(L, 1));
    return 0;
}

// kelvo.clearPrint() -> nothing
// Empties the on-screen console.
int k_clearPrint(lua_State*)
{
    if (IKelvoHost* h = host()) h->clearPrint();
    return 0;
}

// kelvo.lineIntersects(x1, y1, x2, y2, x3, y3, x4, y4) -> hit, x, y
// Where the segment (x1, y1)-(x2, y2) meets (x3, y3)-(x4, y4): true and the
// point, or false. Collinear segments meet only where an end point of the
// second lies strictly inside the first. With fewer than 8 numbers: false,
// 0, 0.
int k_lineIntersects(lua_State* L)
{
    CLuaArgs a = arguments(L);
    algo::SLineHit hit;
    if (a.count() >= 8)
    {
        float v[8];
        for (int i = 0; i < 8; ++i)
            v[i] = a.toFloat(i + 1);
        hit = algo::lineIntersects(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    }
    lua_pushboolean(L, hit.hit);
    lua_pushnumber(L, hit.x);
    lua_pushnumber(L, hit.y);
    return 3;
}

// kelvo.isKeyPressed(key) -> boolean
// Whether the key (a Windows virtual-key code, 0 to 255: 0x41 is A, 0x25 to
// 0x28 the arrows, 0x20 space) is held down.
int k_isKeyPressed(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool down = false;
    if (a.count() >= 1)
    {
        int64_t key = a.integer(1);
        down = key >= 0 && key <= 255 && scriptInput().keys[key];
    }
    lua_pushboolean(L, down);
    return 1;
}

// kelvo.getMousePosition() -> x, y
// The cursor position in window pixels at the last mouse move.
int k_getMousePosition(lua_State* L)
{
    IKelvoHost* h = host();
    lua_pushinteger(L, h ? h->getMouseX() : 0);
    lua_pushinteger(L, h ? h->getMouseY() : 0);
    return 2;
}

// kelvo.setMousePosition(x, y) -> nothing
// Moves the cursor to a window position.
int k_setMousePosition(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 2) return 0;
    int32_t x = a.int32(1);
    int32_t y = a.int32(2);
    if (ICursorControl* c = cursor()) c->setPosition(x, y);
    return 0;
}

// kelvo.setMouseVisible(visible) -> nothing
// Shows or hides the cursor over the window.
int k_setMouseVisible(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    if (ICursorControl* c = cursor()) c->setVisible(a.flag(1));
    return 0;
}

// kelvo.isMouseButtonPressed(button) -> boolean
// Whether a button is held: 0 left, 1 right, 2 middle.
int k_isMouseButtonPressed(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool down = false;
    if (a.count() >= 1)
    {
        int64_t button = a.integer(1);
        down = button >= 0 && button <= 2 && scriptInput().mouseButtons[button];
    }
    lua_pushboolean(L, down);
    return 1;
}

input::IJoystickDriver* joysticks()
{
    IKelvoDevice* d = device();
    return d ? d->getJoystickDriver() : nullptr;
}

// kelvo.getJoystickAxises(joystick, axis) -> value | nothing
// An axis of a joystick, counted from 1. A pad (16 to 19) has 1 and 2 the
// left stick's x and y, 4 and 5 the right stick's (-1 to 1, left and up
// negative), 7 and 8 the left and right trigger (0 to 1); other joysticks
// have axes 1 to 8. Nothing unless called with exactly two arguments; 0 for
// a joystick or axis that is not there.
int k_getJoystickAxises(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() != 2) return 0;
    const int32_t joystick = a.int32(1);
    const int32_t axis = int32_t(a.integerIn(2, INT32_MIN + 1LL, INT32_MAX) - 1);
    input::IJoystickDriver* driver = joysticks();
    lua_pushnumber(L, driver ? driver->getAxis(joystick, axis) : 0.0f);
    return 1;
}

// kelvo.isJoystickButtonPressed(joystick, button) -> boolean
// Whether a button of a joystick or pad is held, numbered as the
// joystickButtonPressed callback numbers them (from 0). False with fewer
// than two arguments.
int k_isJoystickButtonPressed(lua_State* L)
{
    CLuaArgs a = arguments(L);
    bool down = false;
    if (a.count() >= 2)
    {
        const int32_t joystick = a.int32(1);
        const int32_t button = a.int32(2);
        if (input::IJoystickDriver* driver = joysticks())
            down = driver->isButtonPressed(joystick, button);
    }
    lua_pushboolean(L, down);
    return 1;
}

// kelvo.getJoystickCount() -> joysticks, pads
// How many joysticks are numbered from 0 (an unplugged one leaves its number
// free until another takes it) and how many pads sit in 16 to 19.
int k_getJoystickCount(lua_State* L)
{
    input::IJoystickDriver* driver = joysticks();
    lua_pushinteger(L, driver ? driver->getJoystickCount() : 0);
    lua_pushinteger(L, driver ? driver->getPadCount() : 0);
    return 2;
}

// kelvo.getJoystickName(joystick) -> name | nil
// The product name of the joystick or pad with that number ("Unknown
// device" when it has none); nil when nothing is plugged in there, or
// without an argument.
int k_getJoystickName(lua_State* L)
{
    CLuaArgs a = arguments(L);
    const int32_t joystick = a.count() >= 1 ? a.int32(1) : -1;
    input::IJoystickDriver* driver = joysticks();
    if (driver && driver->isConnected(joystick))
        pushText(L, driver->getProductName(joystick));
    else
        lua_pushnil(L);
    return 1;
}

// kelvo.setJoystickVibration(joystick, left, right) -> nothing
// Sets the motor speeds of a pad (16 to 19), 0 to 65535 each (only the low
// 16 bits count); the left motor is the slow, heavy one. The pad vibrates
// until both are set to 0 again. Other joysticks, and calls with fewer than
// three arguments, do nothing.
int k_setJoystickVibration(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 3) return 0;
    const int32_t joystick = a.int32(1);
    const int32_t left = a.int32(2);
    const int32_t right = a.int32(3);
    if (input::IJoystickDriver* driver = joysticks()) driver->setVibration(joystick, left, right);
    return 0;
}

void sendGameRequest(event::GameRequest request)
{
    if (event::CEventSubscriberList* list = event::CEventSubscriberList::get())
        list->onEvent(event::SEngineEvent::makeGameRequest(request));
}

// kelvo.exitGame() -> nothing
// Ends the game after this pass of the main loop (gameClose still runs).
int k_exitGame(lua_State*)
{
    sendGameRequest(event::GameRequestExit);
    return 0;
}

// kelvo.resetGame() -> nothing
// Restarts the script with a fresh script state, as Ctrl+R does.
int k_resetGame(lua_State*)
{
    sendGameRequest(event::GameRequestReset);
    return 0;
}

net::CNetSession* session()
{
    IKelvoHost* h = host();
    return h ? h->getNetSession() : nullptr;
}

// kelvo.joinHost([game [, player [, host [, port]]]]) -> nothing
// Joins the game hosted at host (a name or dotted address, default
// "localhost") on port (default 3000) as player (default "luaClient"); the
// host must run the same game (default "luaGame"). Any session running is
// ended first. connectSucceeded or connectFailed follows.
int k_joinHost(lua_State* L)
{
    CLuaArgs a = arguments(L);
    CString game = a.text(1, "luaGame"), player = a.text(2, "luaClient");
    CString address = a.text(3, "localhost");
    int32_t port = a.int32(4, 3000);
    if (net::CNetSession* s = session()) s->joinHost(game, player, address, port);
    return 0;
}

// kelvo.startHost([game [, player [, port [, maxClients]]]]) -> nothing
// Hosts the game (default "luaGame") on port (default 3000) of every
// address of the machine, for up to maxClients - 1 clients (default 8, so
// 7; the next one hears "Server is full"). Any session running is ended
// first. Clients arrive as clientConnected.
int k_startHost(lua_State* L)
{
    CLuaArgs a = arguments(L);
    CString game = a.text(1, "luaGame"), player = a.text(2, "luaClient");
    int32_t port = a.int32(3, 3000);
    int32_t maxClients = a.int32(4, 8);
    if (net::CNetSession* s = session()) s->startHost(game, player, port, maxClients);
    return 0;
}

// kelvo.sendPacket(clientId, packetId, values) -> nothing
// Sends the array values (booleans, numbers, strings; other values are left
// out) as a packet of type packetId (its low 16 bits) to one client of the
// session; a client reaches the host as 1000. Nothing happens until the
// session is connected.
int k_sendPacket(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 3) return 0;
    int32_t clientId = a.int32(1);
    int64_t packetId = a.integer(2);
    net::CNetSession* s = session();
    net::CVariablePacketBuilder& builder = sharedPacketBuilder();
    if (writePacketArgument(a, 3, packetId, s && s->isActive(), builder))
        s->sendPacket(clientId, builder.data(), builder.size());
    return 0;
}

// kelvo.broadcastPacket(packetId, values) -> nothing
// Sends the packet to every client of the game this one hosts. A client has
// no clients: there it sends nothing (send to 1000 to reach the host).
int k_broadcastPacket(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 2) return 0;
    int64_t packetId = a.integer(1);
    net::CNetSession* s = session();
    net::CVariablePacketBuilder& builder = sharedPacketBuilder();
    if (writePacketArgument(a, 2, packetId, s && s->isActive(), builder))
        s->broadcastPacket(builder.data(), builder.size());
    return 0;
}

// Creates a folder and any missing folders above it.
void createFolders(io::IFileSystem* fs, const CString& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
    {
        CString level = path.substr(0, slash);
        if (!fs->existFile(level, false)) fs->createDirectory(level);
        if (slash == CString::npos) break;
    }
}

int folderPath(lua_State* L, const char* alias, bool create)
{
    CLuaArgs a = arguments(L);
    CString path = CString(alias) + "/";
    if (!a.missing(1)) path += a.text(1);
    if (io::IFileSystem* fs = fileSystem())
    {
        path = fs->resolvePath(path);
        // A fresh account may not have the folders above the user folder yet.
        if (create && !fs->existFile(path, false)) createFolders(fs, path);
    }
    pushText(L, path);
    return 1;
}

// kelvo.getUserFolderPath([subPath]) -> path
// The real path of "$USERDATA$/" + subPath (~/.local/share/Pellora/...), the
// place for saves and settings; the folder is created when it is missing.
int k_getUserFolderPath(lua_State* L)
{
    return folderPath(L, "$USERDATA$", true);
}

// kelvo.getResourcesFolderPath([subPath]) -> path
// The real path of "$GAME_RESOURCES$/" + subPath, inside the game folder.
int k_getResourcesFolderPath(lua_State* L)
{
    return folderPath(L, "$GAME_RESOURCES$", false);
}

// kelvo.getFolderContents(folder [, pattern]) -> names
// The names of the entries of a folder (on disk or inside a zip archive)
// that match a wildcard pattern such as "*.sav", as an array. The default
// empty pattern matches nothing.
int k_getFolderContents(lua_State* L)
{
    CLuaArgs a = arguments(L);
    CString folder, filter;
    if (a.count() >= 1)
    {
        folder = a.text(1);
        filter = a.text(2, "");
    }
    lua_newtable(L);
    io::IFileSystem* fs = fileSystem();
    if (a.count() < 1 || !fs) return 1;
    io::IFileList* list = fs->createFileList(filter, folder, io::EFLK_ALL);
    if (!list) return 1;
    for (int32_t i = 0; i < list->getFileCount(); ++i)
    {
        pushText(L, list->getFileName(i));
        lua_rawseti(L, -2, i + 1);
    }
    list->drop();
    return 1;
}

// kelvo.getSeconds() -> seconds
// The time of the clock that measures frames, in seconds.
int k_getSeconds(lua_State* L)
{
    ITimer* timer = g_library ? g_library->getTimer() : nullptr;
    lua_pushnumber(L, timer ? timer->getSeconds() : 0.0);
    return 1;
}

// kelvo.setWindowTitle(title) -> nothing
int k_setWindowTitle(lua_State* L)
{
    CLuaArgs a = arguments(L);
    CString title = a.text(1, "Invalid call to setWindowTitle");
    if (IKelvoDevice* d = device()) d->setWindowCaption(title);
    return 0;
}

// kelvo.setFullscreen(flag) -> nothing
// Switches between the window and full-screen mode, as Alt+Enter does.
int k_setFullscreen(lua_State* L)
{
    CLuaArgs a = arguments(L);
    if (a.count() < 1) return 0;
    bool on = a.flag(1);
    if (IKelvoDevice* d = device()) d->setFullscreen(on);
    return 0;
}

// kelvo.isFullscreen() -> boolean
// False without a window.
int k_isFullscreen(lua_State* L)
{
    IKelvoDevice* d = device();
    lua_pushboolean(L, d && d->isFullscreen());
    return 1;
}

// kelvo.getVersion() -> major, minor, patch
// The runtime's version.
int k_getVersion(lua_State* L)
{
    lua_pushinteger(L, core::PRODUCT_VERSION_MAJOR);
    lua_pushinteger(L, core::PRODUCT_VERSION_MINOR);
    lua_pushinteger(L, core::PRODUCT_VERSION_PATCH);
    return 3;
}

// kelvo.moveWindow([x [, y]]) -> nothing
// Moves the window's top-left corner on the desktop; ignored in full-screen
// mode.
int k_moveWindow(lua_State* L)
{
    CLuaArgs a = arguments(L);
    int32_t x = a.int32(1, 0);
    int32_t y = a.int32(2, 0);
    if (IKelvoDevice* d = device()) d->moveWindow(x, y);
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
    {"isJoystickButtonPressed", k_isJoystickButtonPressed},
    {"getJoystickCount", k_getJoystickCount},
    {"getJoystickName", k_getJoystickName},
    {"setJoystickVibration", k_setJoystickVibration},
    {"exitGame", k_exitGame},
    {"resetGame", k_resetGame},
    {"joinHost", k_joinHost},
    {"startHost", k_startHost},
    {"sendPacket", k_sendPacket},
    {"broadcastPacket", k_broadcastPacket},
    {"getUserFolderPath", k_getUserFolderPath},
    {"getResourcesFolderPath", k_getResourcesFolderPath},
    {"getFolderContents", k_getFolderContents},
    {"getSeconds", k_getSeconds},
    {"setWindowTitle", k_setWindowTitle},
    {"setFullscreen", k_setFullscreen},
    {"isFullscreen", k_isFullscreen},
    {"getVersion", k_getVersion},
    {"moveWindow", k_moveWindow},
    {nullptr, nullptr},
};

} // namespace

CLuaKelvoLibrary::CLuaKelvoLibrary(IKelvoHost* host) : m_host(host)
{
    g_library = this;
}

CLuaKelvoLibrary::~CLuaKelvoLibrary()
{
    if (g_library == this) g_library = nullptr;
}

ITimer* CLuaKelvoLibrary::getTimer()
{
    if (!m_timer && m_host && m_host->getDevice())
        m_timer = m_host->getDevice()->getTimer();
    return m_timer;
}

void CLuaKelvoLibrary::install(lua_State* L)
{
    installTable(L, "kelvo", kFunctions);
    // Also known to require, like the standard libraries.
    lua_getglobal(L, "package");
    if (lua_istable(L, -1))
    {
        lua_getfield(L, -1, "loaded");
        if (lua_istable(L, -1))
        {
            lua_getglobal(L, "kelvo");
            lua_setfield(L, -2, "kelvo");
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
}

} // namespace zu::lua
