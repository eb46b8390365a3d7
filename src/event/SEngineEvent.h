// SEngineEvent: the one event record, passed by value from the device through
// every receiver. A 32-bit type followed by the variant of that type.
#pragma once

#include <cstdint>

namespace zu::gui
{
class IGUIElement;
}

namespace zu::event
{

enum EventType : uint32_t
{
    GuiEvent = 0,
    MouseEvent = 1,
    KeyEvent = 2,
    JoystickEvent = 3,
    NetworkEvent = 5,
    WindowEvent = 6,
    GameRequestEvent = 7,
    // A joystick or pad was plugged in or out while the game runs.
    JoystickDeviceEvent = 8
};

// Button n (0 left, 1 right, 2 middle, 3 and 4 the extra buttons) goes down
// with action n and up with action n + 5.
enum MouseAction : uint32_t
{
    LeftDown = 0,
    RightDown = 1,
    MiddleDown = 2,
    Extra1Down = 3,
    Extra2Down = 4,
    LeftUp = 5,
    RightUp = 6,
    MiddleUp = 7,
    Extra1Up = 8,
    Extra2Up = 9,
    MouseMoved = 10,
    MouseWheel = 11
};

enum KeyAction : uint32_t
{
    KeyPressed = 0,
    KeyReleased = 1,
    KeyCharacter = 2,
    KeyPaste = 3,
    KeyFullscreenToggle = 4
};

enum WindowEventKind : int32_t
{
    WindowResized = 3,
    WindowFullscreenChanged = 4
};

enum JoystickDeviceKind : int32_t
{
    JoystickAdded = 1,
    JoystickRemoved = 2
};

enum GameRequest : int32_t
{
    GameRequestExit = 1,
    GameRequestReset = 2
};

// What a GUI element reports. The script GUI library turns each into the
// callback named beside it.
enum GUIEventType : int32_t
{
    GuiFocusLost = 0,             // onBlur; the caller is the root
    GuiHovered = 1,               // onEnter
    GuiLeft = 2,                  // onLeave
    GuiClicked = 3,               // onClick
    GuiRightClicked = 4,          // onRightClick
    GuiButtonHovered = 5,         // onEnter, besides GuiHovered for buttons
    GuiButtonLeft = 6,            // onLeave, besides GuiLeft for buttons
    GuiScrollBarMoved = 7,        // onChange
    GuiCheckBoxToggled = 8,       // onChange
    GuiRadioChanged = 9,          // onChange
    GuiListBoxChanged = 10,       // onChange
    GuiComboBoxChanged = 11,      // onChange
    GuiListBoxSelectedAgain = 12, // onRepeat
    GuiFileSelected = 13,         // onFileSelect
    GuiFileDialogCancelled = 14,  // onCancel
    GuiMessageBoxYes = 15,        // onConfirm
    GuiMessageBoxNo = 16,         // onNo
    GuiMessageBoxOk = 17,         // onConfirm
    GuiMessageBoxCancel = 18,     // onCancel
    GuiEditBoxEnter = 19,         // onApply
    GuiEditBoxChanged = 20,       // onChange
    GuiTabChanged = 21,           // onChange
    GuiTabClosed = 22,            // onTabClosed; value is the tab index
    GuiMenuItemSelected = 23,     // onChange
    GuiHidden = 24,               // onHide
    GuiResized = 25,              // onResize
    GuiDrawReport = 26,           // onDraw
    GuiPopupClosed = 27,          // onPopupClosed
    GuiPopupClicked = 28,         // onPopupClicked
    GuiRemoveRequest = 29,        // the script library removes the component
    GuiModalInput = 30,           // no callback
    GuiLeftReleased = 31,         // click area: onClick(0, false)
    GuiLeftPressed = 32,          // onClick(0, true)
    GuiMiddleReleased = 33,       // onClick(2, false)
    GuiMiddlePressed = 34,        // onClick(2, true)
    GuiRightReleased = 35,        // onClick(1, false)
    GuiRightPressed = 36          // onClick(1, true)
};

struct SGUIEvent
{
    // The element the event is about.
    gui::IGUIElement* caller;
    GUIEventType eventType;
    // Only the tab-closed event carries one: the tab's index.
    int32_t value;
};

struct SMouseEvent
{
    int32_t x;
    int32_t y;
    int32_t clicks;
    float wheel;
    float wheel2;
    MouseAction action;
};

struct SKeyEvent
{
    uint16_t character;
    uint32_t key;
    KeyAction action;
    bool shift;
    bool control;
};

struct SJoystickEvent
{
    int32_t released; // 0 pressed, 1 released
    int32_t joystick;
    int32_t button;
};

struct SJoystickDeviceEvent
{
    JoystickDeviceKind kind;
    int32_t joystick;
};

struct SNetworkEvent
{
    int32_t kind;
    int32_t clientId;
    int32_t length;
    int32_t reserved;
    const void* data;
    int32_t extra;
};

struct SWindowEvent
{
    WindowEventKind kind;
    int32_t width;
    int32_t height;
    bool fullscreen;
};

struct SGameRequestEvent
{
    GameRequest request;
};

struct SEngineEvent
{
    EventType type;
    union
    {
        SGUIEvent gui;
        SMouseEvent mouse;
        SKeyEvent key;
        SJoystickEvent joystick;
        SJoystickDeviceEvent joystickDevice;
        SNetworkEvent network;
        SWindowEvent window;
        SGameRequestEvent request;
    };

    static SEngineEvent makeKey(uint32_t key, KeyAction action, uint16_t character = 0,
                                bool shift = false, bool control = false)
    {
        SEngineEvent e{};
        e.type = KeyEvent;
        e.key = {character, key, action, shift, control};
        return e;
    }

    static SEngineEvent makeMouse(MouseAction action, int32_t x, int32_t y, int32_t clicks = 0,
                                  float wheel = 0.f)
    {
        SEngineEvent e{};
        e.type = MouseEvent;
        e.mouse = {x, y, clicks, wheel, 0.f, action};
        return e;
    }

    static SEngineEvent makeGui(gui::IGUIElement* caller, GUIEventType type, int32_t value = 0)
    {
        SEngineEvent e{};
        e.type = GuiEvent;
        e.gui = {caller, type, value};
        return e;
    }

    static SEngineEvent makeJoystick(bool released, int32_t joystick, int32_t button)
    {
        SEngineEvent e{};
        e.type = JoystickEvent;
        e.joystick = {released ? 1 : 0, joystick, button};
        return e;
    }

    static SEngineEvent makeJoystickDevice(JoystickDeviceKind kind, int32_t joystick)
    {
        SEngineEvent e{};
        e.type = JoystickDeviceEvent;
        e.joystickDevice = {kind, joystick};
        return e;
    }

    static SEngineEvent makeGameRequest(GameRequest request)
    {
        SEngineEvent e{};
        e.type = GameRequestEvent;
        e.request.request = request;
        return e;
    }
};

} // namespace zu::event
