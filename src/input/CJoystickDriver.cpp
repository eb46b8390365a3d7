#include "input/CJoystickDriver.h"

#include "core/ITimer.h"
#include "core/Output.h"
#include "event/IEventReceiver.h"
#include "event/SEngineEvent.h"

#include <algorithm>

namespace kelvo::input
{
namespace
{

using namespace zu::input;
using zu::event::SEngineEvent;

// A slot's name until a pad with a name of its own sits in it.
const char* const PAD_SLOT_NAME = "Xbox 360 Controller";
const char* const UNNAMED = "Unknown device";

// Raw platform units to -1 .. 1 (or 0 .. 1): the most negative raw value
// would reach just beyond -1.
float scaled(int raw, float lowest)
{
    return std::clamp(static_cast<float>(raw) * (1.0f / 32767.0f), lowest, 1.0f);
}

zu::core::CString nameOrUnknown(const zu::core::CString& name)
{
    return name.empty() ? zu::core::CString(UNNAMED) : name;
}

} // namespace

CJoystickDriver::CJoystickDriver(std::unique_ptr<IJoystickBackend> backend, zu::ITimer* timer)
    : m_backend(std::move(backend)), m_timer(timer)
{
    if (m_timer) m_timer->grab();
    for (SJoystickState& pad : m_pads)
        pad.productName = PAD_SLOT_NAME;
}

CJoystickDriver::~CJoystickDriver()
{
    // A pad left vibrating would go on for up to a minute after the game.
    for (int slot = 0; slot < PAD_SLOTS; ++slot)
        if (m_pads[slot].vibration[0] || m_pads[slot].vibration[1])
            m_backend->rumblePad(slot, 0, 0);
    zu::dropAndClear(m_timer);
}

bool CJoystickDriver::initialise()
{
    if (!m_backend || !m_backend->isReady()) return false;
    zu::core::zuPrint("Successfully created DirectInput\n");
    m_backend->update();
    for (int slot = 0; slot < PAD_SLOTS; ++slot)
        if (m_backend->hasPad(slot))
        {
            zu::core::zuPrint("Found XBOX device\n");
            m_pads[slot].present = true;
            m_pads[slot].productName = nameOrUnknown(m_backend->getPadName(slot));
        }
    m_joysticks.resize(static_cast<size_t>(m_backend->getJoystickSlots()));
    for (size_t i = 0; i < m_joysticks.size(); ++i)
    {
        SJoystickState& joystick = m_joysticks[i];
        joystick.present = m_backend->hasJoystick(static_cast<int>(i));
        joystick.connected = joystick.present;
        if (joystick.present)
        {
            zu::core::zuPrint("Found joystick device\n");
            joystick.productName = nameOrUnknown(m_backend->getJoystickName(static_cast<int>(i)));
        }
    }
    return true;
}

const CJoystickDriver::SJoystickState* CJoystickDriver::stateOf(int joystick) const
{
    if (joystick >= 0 && joystick < getJoystickCount())
        return &m_joysticks[static_cast<size_t>(joystick)];
    if (joystick >= FIRST_PAD && joystick < FIRST_PAD + PAD_SLOTS)
        return &m_pads[joystick - FIRST_PAD];
    return nullptr;
}

bool CJoystickDriver::isButtonPressed(int joystick, int button) const
{
    const SJoystickState* state = stateOf(joystick);
    return state && button >= 0 && button < JOYSTICK_BUTTONS && state->buttons[button];
}

float CJoystickDriver::getAxis(int joystick, int axis) const
{
    const SJoystickState* state = stateOf(joystick);
    return state && axis >= 0 && axis < JOYSTICK_AXES ? state->axes[axis] : 0.0f;
}

zu::core::CString CJoystickDriver::getProductName(int joystick) const
{
    const SJoystickState* state = stateOf(joystick);
    if (!state) return zu::core::CString();
    // A number freed by an unplugged joystick keeps no name of its own.
    return nameOrUnknown(state->productName);
}

bool CJoystickDriver::isConnected(int joystick) const
{
    const SJoystickState* state = stateOf(joystick);
    return state && state->present;
}

int CJoystickDriver::getPadCount() const
{
    return static_cast<int>(std::count_if(std::begin(m_pads), std::end(m_pads),
                                          [](const SJoystickState& pad) { return pad.present; }));
}

void CJoystickDriver::setVibration(int joystick, int leftMotor, int rightMotor)
{
    if (joystick < FIRST_PAD || joystick >= FIRST_PAD + PAD_SLOTS) return;
    SJoystickState& pad = m_pads[joystick - FIRST_PAD];
    pad.vibration[0] = static_cast<uint16_t>(leftMotor & 0xFFFF);
    pad.vibration[1] = static_cast<uint16_t>(rightMotor & 0xFFFF);
    pad.vibrationSentAt = m_timer ? m_timer->getRealTime() : 0;
    m_backend->rumblePad(joystick - FIRST_PAD, pad.vibration[0], pad.vibration[1]);
}

void CJoystickDriver::setButton(SJoystickState& state, int joystick, int button, bool down,
                                zu::event::IEventReceiver& target)
{
    if (state.buttons[button] == down) return;
    state.buttons[button] = down;
    target.onEvent(SEngineEvent::makeJoystick(!down, joystick, button));
}

void CJoystickDriver::arrive(SJoystickState& state, int joystick, const zu::core::CString& name,
                             zu::event::IEventReceiver& target)
{
    zu::core::zuPrint(joystick < FIRST_PAD ? "Found joystick device\n" : "Found XBOX device\n");
    state.present = true;
    state.productName = nameOrUnknown(name);
    target.onEvent(SEngineEvent::makeJoystickDevice(zu::event::JoystickAdded, joystick));
}

void CJoystickDriver::lose(SJoystickState& state, int joystick, int buttons,
                           zu::event::IEventReceiver& target)
{
    if (!state.present) return;
    for (int b = 0; b < buttons; ++b)
        setButton(state, joystick, b, false, target);
    std::fill(std::begin(state.axes), std::end(state.axes), 0.0f);
    state.vibration[0] = state.vibration[1] = 0;
    state.present = false;
    state.productName = joystick < FIRST_PAD ? zu::core::CString() : PAD_SLOT_NAME;
    zu::core::zuLog(zu::core::ELL_INFORMATION, "Joystick %d was unplugged", joystick);
    target.onEvent(SEngineEvent::makeJoystickDevice(zu::event::JoystickRemoved, joystick));
}

void CJoystickDriver::poll(zu::event::IEventReceiver& target)
{
    if (!m_backend || !m_backend->isReady()) return;
    // A device that arrived is read at once instead of at its slot's next try.
    if (m_backend->update())
        for (SJoystickState& pad : m_pads)
            if (!pad.connected) pad.countdown = 0;

    const int slots = m_backend->getJoystickSlots();
    if (slots > getJoystickCount())
        m_joysticks.resize(static_cast<size_t>(slots), SJoystickState());
    for (int i = 0; i < getJoystickCount(); ++i)
        pollJoystick(i, target);
    // Trailing numbers nobody uses any more are given up.
    while (!m_joysticks.empty() && !m_joysticks.back().present &&
           getJoystickCount() > m_backend->getJoystickSlots())
        m_joysticks.pop_back();

    for (int slot = 0; slot < PAD_SLOTS; ++slot)
        pollPad(slot, target);
}

void CJoystickDriver::pollJoystick(int number, zu::event::IEventReceiver& target)
{
    SJoystickState& state = m_joysticks[static_cast<size_t>(number)];
    SJoystickReading reading;
    if (!m_backend->readJoystick(number, reading))
    {
        state.connected = false;
        lose(state, number, JOYSTICK_BUTTONS, target);
        return;
    }
    state.connected = true;
    if (!state.present) arrive(state, number, m_backend->getJoystickName(number), target);
    for (int b = 0; b < JOYSTICK_BUTTONS; ++b)
        setButton(state, number, b, reading.buttons[b], target);
    for (int a = 0; a < JOYSTICK_AXES; ++a)
        state.axes[a] = scaled(reading.axes[a], -1.0f);
}

void CJoystickDriver::pollPad(int slot, zu::event::IEventReceiver& target)
{
    SJoystickState& pad = m_pads[slot];
    const int joystick = FIRST_PAD + slot;
    if (!pad.connected && pad.countdown-- > 0) return;
    pad.countdown = RETRY_POLLS;
    SPadReading reading;
    if (!m_backend->readPad(slot, reading))
    {
        pad.connected = false;
        lose(pad, joystick, PAD_BUTTONS, target);
        return;
    }
    pad.connected = true;
    if (!pad.present)
    {
        arrive(pad, joystick, m_backend->getPadName(slot), target);
        // A vibration set for the empty slot starts with the pad.
        if (pad.vibration[0] || pad.vibration[1])
            setVibration(joystick, pad.vibration[0], pad.vibration[1]);
    }
    for (int b = 0; b < PAD_BUTTONS; ++b)
        setButton(pad, joystick, b, (reading.buttons >> b) & 1, target);
    pad.axes[0] = scaled(reading.sticks[0], -1.0f);
    pad.axes[1] = scaled(reading.sticks[1], -1.0f);
    pad.axes[3] = scaled(reading.sticks[2], -1.0f);
    pad.axes[4] = scaled(reading.sticks[3], -1.0f);
    pad.axes[6] = scaled(reading.triggers[0], 0.0f);
    pad.axes[7] = scaled(reading.triggers[1], 0.0f);

    if ((pad.vibration[0] || pad.vibration[1]) && m_timer &&
        m_timer->getRealTime() - pad.vibrationSentAt >= VIBRATION_RENEWAL_MS)
    {
        pad.vibrationSentAt = m_timer->getRealTime();
        m_backend->rumblePad(slot, pad.vibration[0], pad.vibration[1]);
    }
}

} // namespace kelvo::input
