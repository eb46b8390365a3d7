// CLuaManager: owns the script state of one run of the game script.
//
// It opens the standard libraries, installs the kelvo table and the hook
// dispatcher (hook.lua, built into the binary), registers the script
// libraries, runs main.lua and from then on makes every callback through
// hook.call, protected. A callback whose first call finds no hook entry, or
// that raises an error, is switched off for the life of this manager; an error
// also prints the error screen on the print console.
#pragma once

#include "core/CCriticalSection.h"
#include "core/CString.h"
#include "lua/IKelvoHost.h"

#include <cstdint>
#include <vector>

struct lua_State;

namespace zu
{
class IKelvoDevice;
namespace audio
{
class IAudioDriver;
}
namespace lua
{
class CLuaFileLibrary;
class CLuaGuiLibrary;
class CLuaAudioLibrary;
class CLuaKelvoLibrary;
class CLuaNetLibrary;
class CLuaBox2dLibrary;
class CLuaParticleLibrary;
class CLuaVideoLibrary;
}
} // namespace zu

namespace pellora::lua
{

enum ECallbackSlot
{
    CB_FRAME_UPDATE,
    CB_FRAME_RENDER,
    CB_GAME_INIT,
    CB_GAME_CLOSE,
    CB_MOUSE_BUTTON,
    CB_KEY_PRESS,
    CB_JOYSTICK_BUTTON, // shared by pressed and released
    CB_KEY_CHARACTER,
    CB_CONNECT_FAILED,
    CB_CONNECT_SUCCEEDED,
    CB_CLIENT_CONNECTED,
    CB_CLIENT_DISCONNECTED,
    CB_HOST_DISCONNECTED,
    CB_PACKET_RECEIVED,
    CB_JOYSTICK_ADDED,
    CB_JOYSTICK_REMOVED,
    CB_COUNT
};

// Callback flag values.
enum ECallbackState
{
    CALLBACK_UNTRIED = 0,
    CALLBACK_ACTIVE = 1,
    CALLBACK_OFF = 2
};

class CLuaManager : public zu::lua::IKelvoHost
{
public:
    CLuaManager();
    ~CLuaManager() override;
    CLuaManager(const CLuaManager&) = delete;
    CLuaManager& operator=(const CLuaManager&) = delete;

    // The manager of the running script, or null.
    static CLuaManager* get();

    void init(zu::IKelvoDevice* device);

    // What follows the game on the command line: every script state gets it
    // as the global table arg (arg[0] the game, arg[1] ... the arguments).
    static void setScriptArguments(const zu::core::CString& game,
                                   const std::vector<zu::core::CString>& arguments);

    // The callbacks. Each line "callback name(arguments)" with the lines
    // after it is the script's documentation of that callback.

    // callback gameInit()
    // Once, after main.lua ran: make sprite states, load sounds, build worlds.
    void gameInit();
    // callback frameUpdate(dt)
    // Every pass of the main loop; dt is the time since the previous pass in
    // seconds (passes where the clock did not advance make no call).
    void frameUpdate(float dt);
    // callback frameRender()
    // Every frame, after frameUpdate: draw here. Sprite states cannot be
    // made or removed during it.
    void frameRender();
    // callback gameClose()
    // Once when the game ends or the script restarts, while every table
    // still works: a place to save.
    // callback mouseButton(x, y, button, clicks)
    // A mouse button went down at x, y: button 0 left, 1 right, 2 middle,
    // 3 wheel down, 4 wheel up; clicks counts quick successive clicks (2 for
    // a double click).
    void mouseButton(int x, int y, int button, int clicks);
    // callback keyPress(key)
    // A key went down (a Windows virtual-key code; see kelvo). Held keys
    // repeat.
    void keyPress(int key);
    // callback keyCharacter(char)
    // A typed character as a 16-bit code unit, for text entry.
    void keyCharacter(int character);
    // callback joystickButtonPressed(joystick, button)
    // A joystick or game pad button went down. Pads are joysticks 16 to 19
    // with the buttons 0 A, 1 B, 2 X, 3 Y, 4 and 5 the left and right
    // shoulder, 6 start, 7 back, 8 to 11 the pad's up, down, left and right,
    // 12 and 13 the stick presses; other joysticks are 0, 1, 2 ... with
    // buttons numbered as the device numbers them. The pressed and released
    // callbacks are switched on or off together, by whichever comes first:
    // add both, or add the other as an empty function.
    void joystickButtonPressed(int joystick, int button);
    // callback joystickButtonReleased(joystick, button)
    // A joystick or game pad button went up. An unplugged device releases
    // every button it held first.
    void joystickButtonReleased(int joystick, int button);
    // callback joystickAdded(joystick)
    // A pad or joystick was plugged in while the game runs: a pad takes the
    // lowest free number from 16 to 19, a joystick the lowest free one from 0.
    // Devices there at the start are not announced: look for them with
    // kelvo.getJoystickName in gameInit.
    void joystickAdded(int joystick);
    // callback joystickRemoved(joystick)
    // A pad or joystick was unplugged; its number is free again.
    void joystickRemoved(int joystick);
    // The callbacks of the built-in network session (kelvo.startHost and
    // kelvo.joinHost) come at the start of a pass, before frameUpdate:
    // events first, then the packets that arrived, in order.
    // callback connectFailed(reason)
    // Joining failed: "Unable to connect" (nobody listens, or the host
    // refused the player's name), "Server is full" or "Incorrect game
    // version" (the host runs another game).
    void connectFailed(const zu::core::CString& reason);
    // callback connectSucceeded(clientId)
    // The host accepted this game as clientId: kelvo.sendPacket works from
    // now on (to 1000, the host).
    void connectSucceeded(int clientId);
    // callback clientConnected(name, clientId)
    // A player joined the game this one hosts; send to it with clientId.
    void clientConnected(const zu::core::CString& name, int clientId);
    // callback clientDisconnected(clientId)
    // A player left the game this one hosts.
    void clientDisconnected(int clientId);
    // callback hostDisconnected()
    // The host of the joined game went away; the session has ended.
    void hostDisconnected();
    // callback packetReceived(packetId, values, senderId)
    // A packet of the session arrived: its id, its values as an array, the
    // sender's client id (1000: the host).
    void packetReceived(const uint8_t* packet, int32_t length, int senderId);

    // Appends one line to the print console and logs it as "Lua: <line>".
    void addPrintLine(const zu::core::CString& line) override;
    void clearPrint() override { m_printList.clear(); }
    const std::vector<zu::core::CString>& getPrintList() const { return m_printList; }

    void setMousePosition(int x, int y)
    {
        m_mouseX = x;
        m_mouseY = y;
    }
    int getMouseX() const override { return m_mouseX; }
    int getMouseY() const override { return m_mouseY; }

    zu::IKelvoDevice* getDevice() const override { return m_device; }
    zu::net::CNetSession* getNetSession() const override;
    zu::lua::CLuaNetLibrary* getNetLibrary() const { return m_netLibrary; }
    lua_State* getState() const { return m_state; }
    bool isScriptLoaded() const { return m_hookRef >= 0; }
    ECallbackState getCallbackState(ECallbackSlot slot) const
    {
        return static_cast<ECallbackState>(m_callbacks[slot]);
    }

    // Calls the function lying below nargs arguments on the stack, protected,
    // with a traceback message handler. On failure prints the error screen
    // through the script's own print and returns false. Leaves one result on
    // success and nothing on failure.
    bool protectedCall(int nargs);

    // True once after an error screen was printed: the frame that shows it
    // is to be saved as the screenshot the screen announces.
    bool takeErrorScreenshot()
    {
        const bool due = m_errorScreenshotDue;
        m_errorScreenshotDue = false;
        return due;
    }

private:
    // Pushes hook.call and the name; pushArgs pushes the arguments and returns
    // their count.
    template <class PushArgs> void callback(ECallbackSlot slot, const char* name, PushArgs pushArgs);
    void printErrorScreen(const zu::core::CString& error);
    void printThroughScript(const zu::core::CString& line);

    zu::IKelvoDevice* m_device = nullptr;
    zu::audio::IAudioDriver* m_audioDriver = nullptr;
    lua_State* m_state = nullptr;
    zu::lua::CLuaKelvoLibrary* m_kelvoLibrary = nullptr;
    zu::lua::CLuaFileLibrary* m_fileLibrary = nullptr;
    zu::lua::CLuaNetLibrary* m_netLibrary = nullptr;
    zu::lua::CLuaAudioLibrary* m_audioLibrary = nullptr;
    zu::lua::CLuaBox2dLibrary* m_box2dLibrary = nullptr;
    zu::lua::CLuaVideoLibrary* m_videoLibrary = nullptr;
    zu::lua::CLuaGuiLibrary* m_guiLibrary = nullptr;
    zu::lua::CLuaParticleLibrary* m_particleLibrary = nullptr;
    int m_hookRef = -1;
    bool m_errorScreenshotDue = false;
    int m_callbacks[CB_COUNT] = {};
    int m_mouseX = 0;
    int m_mouseY = 0;
    std::vector<zu::core::CString> m_printList;
    zu::core::CCriticalSection m_lock;
};

} // namespace pellora::lua
