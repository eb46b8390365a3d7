#include "platform/CJoystickBackendSDL.h"

#include "core/Output.h"
#include "input/CJoystickDriver.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "other/CEventScript.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kelvo::platform
{
namespace
{

using zu::input::PAD_BUTTONS;

// The driver's pad buttons, in its order.
const SDL_GameControllerButton PAD_BUTTON_MAP[PAD_BUTTONS] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
};

// The driver's pad axes 0 .. 7; axes 2 and 5 have no counterpart.
const SDL_GameControllerAxis PAD_AXIS_MAP[8] = {
    SDL_CONTROLLER_AXIS_LEFTX,       SDL_CONTROLLER_AXIS_LEFTY,        SDL_CONTROLLER_AXIS_INVALID,
    SDL_CONTROLLER_AXIS_RIGHTX,      SDL_CONTROLLER_AXIS_RIGHTY,       SDL_CONTROLLER_AXIS_INVALID,
    SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

// SDL keeps a rumble going this long at most (milliseconds).
constexpr Uint32 LONGEST_RUMBLE_MS = 0xFFFF;

// The largest mapping file read: the community's file is a few hundred kB.
constexpr int32_t LARGEST_MAPPINGS_FILE = 8 << 20;

zu::core::CString textOrEmpty(const char* text)
{
    return text ? zu::core::CString(text) : zu::core::CString();
}

// The SDL device index of an attached device, or -1.
int deviceIndexOf(SDL_JoystickID id)
{
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

zu::core::CString readMappings(zu::io::IFileSystem* fileSystem)
{
    const zu::core::CString path = CJoystickBackendSDL::MAPPINGS_FILE;
    if (!fileSystem || !fileSystem->existFile(path)) return zu::core::CString();
    zu::io::IReadFile* file = fileSystem->createAndOpenFile(path);
    if (!file) return zu::core::CString();
    std::string text;
    const int32_t size = file->getSize();
    if (size > 0 && size <= LARGEST_MAPPINGS_FILE)
    {
        text.resize(static_cast<size_t>(size));
        text.resize(static_cast<size_t>(std::max(0, file->read(&text[0], uint32_t(size)))));
    }
    else if (size > LARGEST_MAPPINGS_FILE)
        zu::core::zuLog(zu::core::ELL_WARNING, "%s is larger than %d bytes: not read", path.c_str(),
                        LARGEST_MAPPINGS_FILE);
    file->drop();
    return text;
}

} // namespace

CJoystickBackendSDL::CJoystickBackendSDL(const zu::core::CString& mappings)
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Could not start the game controller support: %s",
                        SDL_GetError());
        return;
    }
    m_ready = true;
    // The driver reads the states itself; SDL's events would only pile up.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    if (!mappings.empty())
    {
        SDL_RWops* text = SDL_RWFromConstMem(mappings.data(), static_cast<int>(mappings.size()));
        m_mappingCount = text ? SDL_GameControllerAddMappingsFromRW(text, 1) : -1;
        if (m_mappingCount < 0)
        {
            zu::core::zuLog(zu::core::ELL_WARNING, "The game controller mappings were refused: %s",
                            SDL_GetError());
            m_mappingCount = 0;
        }
        else
            zu::core::zuLog(zu::core::ELL_INFORMATION, "Loaded %d game controller mappings",
                            m_mappingCount);
    }
}

CJoystickBackendSDL::~CJoystickBackendSDL()
{
    if (!m_ready) return;
    for (SDL_GameController* pad : m_pads)
        if (pad) SDL_GameControllerClose(pad);
    for (SDL_Joystick* joystick : m_joysticks)
        if (joystick) SDL_JoystickClose(joystick);
    for (size_t n = 0; n < m_virtualPads.size(); ++n)
        detachVirtualPad(static_cast<int>(n));
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

zu::input::IJoystickDriver* CJoystickBackendSDL::createDriver(zu::io::IFileSystem* fileSystem,
                                                              zu::ITimer* timer,
                                                              CJoystickBackendSDL** backend)
{
    auto own = std::make_unique<CJoystickBackendSDL>(readMappings(fileSystem));
    CJoystickBackendSDL* raw = own.get();
    auto* driver = new input::CJoystickDriver(std::move(own), timer);
    if (!driver->initialise())
    {
        driver->drop();
        raw = nullptr;
        driver = nullptr;
    }
    if (backend) *backend = raw;
    return driver;
}

bool CJoystickBackendSDL::isOpen(SDL_JoystickID id) const
{
    for (SDL_GameController* pad : m_pads)
        if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) return true;
    for (SDL_Joystick* joystick : m_joysticks)
        if (joystick && SDL_JoystickInstanceID(joystick) == id) return true;
    return m_refused.count(id) != 0;
}

bool CJoystickBackendSDL::update()
{
    if (!m_ready) return false;
    SDL_JoystickUpdate();

    // Unplugged devices free their slot or number.
    for (SDL_GameController*& pad : m_pads)
        if (pad && !SDL_GameControllerGetAttached(pad))
        {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    for (SDL_Joystick*& joystick : m_joysticks)
        if (joystick && !SDL_JoystickGetAttached(joystick))
        {
            SDL_JoystickClose(joystick);
            joystick = nullptr;
        }
    while (!m_joysticks.empty() && !m_joysticks.back())
        m_joysticks.pop_back();

    bool arrived = false;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i)
    {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
        if (id < 0 || isOpen(id)) continue;
        SDL_GameController** freeSlot = std::find(std::begin(m_pads), std::end(m_pads), nullptr);
        if (SDL_IsGameController(i) && freeSlot != std::end(m_pads))
        {
            *freeSlot = SDL_GameControllerOpen(i);
            if (*freeSlot)
            {
                arrived = true;
                continue;
            }
        }
        else if (SDL_Joystick* joystick = SDL_JoystickOpen(i))
        {
            auto hole = std::find(m_joysticks.begin(), m_joysticks.end(), nullptr);
            if (hole != m_joysticks.end())
                *hole = joystick;
            else
                m_joysticks.push_back(joystick);
            arrived = true;
            continue;
        }
        zu::core::zuLog(zu::core::ELL_WARNING, "Could not open the controller \"%s\": %s",
                        textOrEmpty(SDL_JoystickNameForIndex(i)).c_str(), SDL_GetError());
        m_refused.insert(id);
    }
    // A controller just opened reports some axes (a held trigger) only after
    // one more update.
    if (arrived) SDL_JoystickUpdate();
    return arrived;
}

bool CJoystickBackendSDL::hasPad(int slot) const
{
    return slot >= 0 && slot < 4 && m_pads[slot];
}

bool CJoystickBackendSDL::readPad(int slot, zu::input::SPadReading& out)
{
    if (!hasPad(slot) || !SDL_GameControllerGetAttached(m_pads[slot])) return false;
    SDL_GameController* pad = m_pads[slot];
    out.buttons = 0;
    for (int b = 0; b < PAD_BUTTONS; ++b)
        if (SDL_GameControllerGetButton(pad, PAD_BUTTON_MAP[b]))
            out.buttons = static_cast<uint16_t>(out.buttons | 1u << b);
    out.sticks[0] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    out.sticks[1] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    out.sticks[2] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    out.sticks[3] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    out.triggers[0] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    out.triggers[1] = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    return true;
}

zu::core::CString CJoystickBackendSDL::getPadName(int slot) const
{
    if (!hasPad(slot)) return zu::core::CString();
    // The mapping's name ("Xbox 360 Controller"), else the device's own.
    zu::core::CString name = textOrEmpty(SDL_GameControllerName(m_pads[slot]));
    if (name.empty())
        name = textOrEmpty(SDL_JoystickName(SDL_GameControllerGetJoystick(m_pads[slot])));
    return name;
}

void CJoystickBackendSDL::rumblePad(int slot, uint16_t left, uint16_t right)
{
    // Pads without motors refuse; nothing to tell the game.
    if (hasPad(slot)) SDL_GameControllerRumble(m_pads[slot], left, right, LONGEST_RUMBLE_MS);
}

bool CJoystickBackendSDL::hasJoystick(int number) const
{
    return number >= 0 && number < getJoystickSlots() && m_joysticks[size_t(number)];
}

bool CJoystickBackendSDL::readJoystick(int number, zu::input::SJoystickReading& out)
{
    if (!hasJoystick(number)) return false;
    SDL_Joystick* joystick = m_joysticks[size_t(number)];
    if (!SDL_JoystickGetAttached(joystick)) return false;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick), zu::input::JOYSTICK_BUTTONS);
    for (int b = 0; b < zu::input::JOYSTICK_BUTTONS; ++b)
        out.buttons[b] = b < buttons && SDL_JoystickGetButton(joystick, b);
    const int axes = std::min(SDL_JoystickNumAxes(joystick), zu::input::JOYSTICK_AXES);
    for (int a = 0; a < zu::input::JOYSTICK_AXES; ++a)
        out.axes[a] = a < axes ? SDL_JoystickGetAxis(joystick, a) : 0;
    return true;
}

zu::core::CString CJoystickBackendSDL::getJoystickName(int number) const
{
    return hasJoystick(number) ? textOrEmpty(SDL_JoystickName(m_joysticks[size_t(number)]))
                               : zu::core::CString();
}

SDL_Joystick* CJoystickBackendSDL::virtualPad(int n) const
{
    return n >= 0 && size_t(n) < m_virtualPads.size() ? m_virtualPads[size_t(n)] : nullptr;
}

bool CJoystickBackendSDL::attachVirtualPad(int n)
{
    if (!m_ready || n < 0 || virtualPad(n)) return false;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    // A common pad's identity: SDL maps its buttons and axes in the game
    // controller order.
    desc.vendor_id = 0x045e;
    desc.product_id = 0x028e;
    desc.name = "Virtual pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index < 0) return false;
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    if (!handle)
    {
        SDL_JoystickDetachVirtual(index);
        return false;
    }
    // The rest position of a trigger is the lowest raw value.
    SDL_JoystickSetVirtualAxis(handle, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(handle, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
    if (m_virtualPads.size() <= size_t(n)) m_virtualPads.resize(size_t(n) + 1, nullptr);
    m_virtualPads[size_t(n)] = handle;
    return true;
}

bool CJoystickBackendSDL::detachVirtualPad(int n)
{
    SDL_Joystick* handle = virtualPad(n);
    if (!handle) return false;
    const SDL_JoystickID id = SDL_JoystickInstanceID(handle);
    SDL_JoystickClose(handle);
    m_virtualPads[size_t(n)] = nullptr;
    const int index = deviceIndexOf(id);
    return index >= 0 && SDL_JoystickDetachVirtual(index) == 0;
}

bool CJoystickBackendSDL::setVirtualPadButton(int n, int button, bool down)
{
    SDL_Joystick* handle = virtualPad(n);
    if (!handle || button < 0 || button >= PAD_BUTTONS) return false;
    return SDL_JoystickSetVirtualButton(handle, PAD_BUTTON_MAP[button], down ? 1 : 0) == 0;
}

bool CJoystickBackendSDL::setVirtualPadAxis(int n, int axis, float value)
{
    SDL_Joystick* handle = virtualPad(n);
    if (!handle || axis < 0 || axis >= 8 || PAD_AXIS_MAP[axis] == SDL_CONTROLLER_AXIS_INVALID ||
        !(value >= -1.f && value <= 1.f))
        return false;
    // A virtual trigger spans the whole raw range for its 0 .. 1.
    const bool trigger = axis >= 6;
    const float raw = trigger ? SDL_JOYSTICK_AXIS_MIN + std::max(value, 0.f) * 65535.f
                              : value * float(SDL_JOYSTICK_AXIS_MAX);
    return SDL_JoystickSetVirtualAxis(handle, PAD_AXIS_MAP[axis],
                                      static_cast<Sint16>(std::lround(raw))) == 0;
}

void CJoystickBackendSDL::applyScriptedPad(const SScriptedInput& input)
{
    bool done = false;
    const char* what = "";
    switch (input.padAction)
    {
    case SScriptedInput::PadAttach:
        done = attachVirtualPad(input.pad);
        what = "attach";
        break;
    case SScriptedInput::PadDetach:
        done = detachVirtualPad(input.pad);
        what = "detach";
        break;
    case SScriptedInput::PadButton:
        done = setVirtualPadButton(input.pad, static_cast<int>(input.code), input.down);
        what = "press or release a button of";
        break;
    case SScriptedInput::PadAxis:
        done = setVirtualPadAxis(input.pad, static_cast<int>(input.code), input.value);
        what = "move an axis of";
        break;
    }
    if (!done)
        zu::core::zuLog(zu::core::ELL_WARNING, "Event script, pass %u: could not %s virtual pad %d",
                        input.pass, what, input.pad);
}

} // namespace kelvo::platform
