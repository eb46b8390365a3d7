// The SDL device's translation of SDL events into engine events, fed with
// synthetic events on SDL's dummy video driver (no window needed).
#include "event/IEventReceiver.h"
#include "core/ITimer.h"
#include "platform/CDeviceSDL.h"
#include "platform/SDLKeyMap.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace zu::event;

namespace
{

class FakeTimer : public zu::ITimer
{
public:
    uint32_t getRealTime() const override { return ms; }
    double getSeconds() const override { return ms / 1000.0; }
    uint32_t ms = 1000;
};

class Recorder : public IEventReceiver
{
public:
    bool onEvent(const SEngineEvent& e) override
    {
        events.push_back(e);
        return false;
    }
    std::vector<SEngineEvent> events;
};

class SDLDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        timer = new FakeTimer();
        device = new kelvo::CDeviceSDL("0.7", "", timer);
        ASSERT_TRUE(device->isReady());
        device->setEventReceiver(&recorder);
    }
    void TearDown() override
    {
        device->drop();
        timer->drop();
    }

    void key(SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod, bool down = true)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scancode;
        e.key.keysym.mod = mod;
        device->handleEvent(e);
    }
    void button(Uint8 b, bool down, int x, int y)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = b;
        e.button.x = x;
        e.button.y = y;
        device->handleEvent(e);
    }
    std::vector<SEngineEvent> take()
    {
        std::vector<SEngineEvent> out;
        out.swap(recorder.events);
        return out;
    }

    FakeTimer* timer = nullptr;
    kelvo::CDeviceSDL* device = nullptr;
    Recorder recorder;
};

} // namespace

TEST(SDLKeyMap, TranslatesToWindowsVirtualKeys)
{
    struct Case
    {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        uint32_t vk;
    };
    const Case cases[] = {
        {SDLK_a, SDL_SCANCODE_A, 0x41},          {SDLK_z, SDL_SCANCODE_Z, 0x5A},
        {SDLK_a, SDL_SCANCODE_Q, 0x41}, // AZERTY: the key typing "a" is A
        {SDLK_r, SDL_SCANCODE_R, 0x52},          {SDLK_0, SDL_SCANCODE_0, 0x30},
        {SDLK_9, SDL_SCANCODE_9, 0x39},          {SDLK_F1, SDL_SCANCODE_F1, 0x70},
        {SDLK_F11, SDL_SCANCODE_F11, 122},       {SDLK_F24, SDL_SCANCODE_F24, 0x87},
        {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},  {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
        {SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},    {SDLK_UP, SDL_SCANCODE_UP, 0x26},
        {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0x27},  {SDLK_DOWN, SDL_SCANCODE_DOWN, 0x28},
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0x1B}, {SDLK_SPACE, SDL_SCANCODE_SPACE, 0x20},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0x08}, {SDLK_TAB, SDL_SCANCODE_TAB, 0x09},
        {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0x10}, {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 0x11},
        {SDLK_LALT, SDL_SCANCODE_LALT, 0x12},    {SDLK_KP_0, SDL_SCANCODE_KP_0, 0x60},
        {SDLK_KP_9, SDL_SCANCODE_KP_9, 0x69},    {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 0x6A},
        {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 0x6D},
        {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 0x6E}, {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 0x6F},
        {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 0xBA}, {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 0xBB},
        {SDLK_COMMA, SDL_SCANCODE_COMMA, 0xBC},  {SDLK_MINUS, SDL_SCANCODE_MINUS, 0xBD},
        {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 0xBE}, {SDLK_SLASH, SDL_SCANCODE_SLASH, 0xBF},
        {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 0xC0}, {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 0xDB},
        {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 0xDC},
        {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 0xDD},
        {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 0xDE}, {SDLK_INSERT, SDL_SCANCODE_INSERT, 0x2D},
        {SDLK_DELETE, SDL_SCANCODE_DELETE, 0x2E}, {SDLK_HOME, SDL_SCANCODE_HOME, 0x24},
        {SDLK_END, SDL_SCANCODE_END, 0x23},      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 0x21},
        {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 0x22}, {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 0x14},
        {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 0x90}, {SDLK_PAUSE, SDL_SCANCODE_PAUSE, 0x13},
    };
    for (const Case& c : cases)
    {
        SDL_Keysym k{};
        k.sym = c.sym;
        k.scancode = c.scancode;
        EXPECT_EQ(kelvo::toVirtualKey(k), c.vk) << SDL_GetScancodeName(c.scancode);
    }
}

TEST_F(SDLDeviceTest, KeysFollowTheWindowsMessageOrder)
{
    // Ctrl+V: a press, a paste request, and the control character.
    key(SDLK_v, SDL_SCANCODE_V, KMOD_LCTRL);
    auto e = take();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].key.key, 0x56u);
    EXPECT_EQ(e[0].key.action, KeyPressed);
    EXPECT_TRUE(e[0].key.control);
    EXPECT_EQ(e[1].key.action, KeyPaste);
    EXPECT_EQ(e[2].key.action, KeyCharacter);
    EXPECT_EQ(e[2].key.character, 22);
    EXPECT_TRUE(device->isKeyDown(0x56));

    key(SDLK_v, SDL_SCANCODE_V, 0, false);
    e = take();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].key.action, KeyReleased);
    EXPECT_FALSE(device->isKeyDown(0x56));

    // Alt+Enter is only a full-screen request; other Alt keys post nothing.
    key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
    e = take();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].key.action, KeyFullscreenToggle);
    key(SDLK_x, SDL_SCANCODE_X, KMOD_RALT);
    EXPECT_TRUE(take().empty());

    // Enter types character 13 after its press; Shift is reported.
    key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LSHIFT);
    e = take();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_TRUE(e[0].key.shift);
    EXPECT_EQ(e[1].key.character, 13);

    // Alt+F4 quits: the next pump says so.
    EXPECT_TRUE(device->run());
    key(SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT);
    EXPECT_TRUE(take().empty());
    EXPECT_FALSE(device->run());
}

TEST_F(SDLDeviceTest, TextBecomesUtf16CodeUnits)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", sizeof e.text.text);
    device->handleEvent(e);
    auto events = take();
    std::vector<uint16_t> units;
    for (const SEngineEvent& ev : events)
    {
        EXPECT_EQ(ev.key.action, KeyCharacter);
        EXPECT_EQ(ev.key.key, ev.key.character);
        units.push_back(ev.key.character);
    }
    EXPECT_EQ(units, (std::vector<uint16_t>{'a', 0xE9, 0x20AC, 0xD83D, 0xDE00}));
}

TEST_F(SDLDeviceTest, ClicksCountAndReleasesCarryThePressCount)
{
    timer->ms = 1000;
    button(SDL_BUTTON_LEFT, true, 100, 100);
    button(SDL_BUTTON_LEFT, false, 100, 100);
    timer->ms = 1200;
    button(SDL_BUTTON_LEFT, true, 105, 100);
    auto e = take();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].mouse.action, LeftDown);
    EXPECT_EQ(e[0].mouse.clicks, 1);
    EXPECT_EQ(e[1].mouse.action, LeftUp);
    EXPECT_EQ(e[1].mouse.clicks, 1);
    EXPECT_EQ(e[2].mouse.clicks, 2);
    EXPECT_TRUE(device->isMouseButtonDown(0));

    // The button was released outside the window: the next move releases it
    // first, advancing the count as a press would.
    timer->ms = 1300;
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.x = 106;
    move.motion.y = 101;
    move.motion.state = 0;
    device->handleEvent(move);
    e = take();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].mouse.action, LeftUp);
    EXPECT_EQ(e[0].mouse.clicks, 3);
    EXPECT_EQ(e[1].mouse.action, MouseMoved);
    EXPECT_FALSE(device->isMouseButtonDown(0));

    // The extra buttons have their own actions.
    button(SDL_BUTTON_X2, true, 0, 0);
    button(SDL_BUTTON_X2, false, 0, 0);
    e = take();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].mouse.action, Extra2Down);
    EXPECT_EQ(e[1].mouse.action, Extra2Up);
}

TEST_F(SDLDeviceTest, WheelNotchesAreOnePerStep)
{
    for (float notch : {1.f, -1.f})
    {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = static_cast<Sint32>(notch);
        e.wheel.preciseY = notch;
        device->handleEvent(e);
        auto events = take();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].mouse.action, MouseWheel);
        EXPECT_FLOAT_EQ(events[0].mouse.wheel, notch);
        EXPECT_EQ(events[0].mouse.clicks, 1);
    }
}

TEST_F(SDLDeviceTest, ResizesRoundUpToEvenSizesAndIgnoreMinimising)
{
    auto resize = [&](int w, int h) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        e.window.data1 = w;
        e.window.data2 = h;
        device->handleEvent(e);
        return take();
    };
    auto e = resize(801, 600);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].window.kind, WindowResized);
    EXPECT_EQ(e[0].window.width, 802);
    EXPECT_EQ(e[0].window.height, 600);
    EXPECT_EQ(device->getClientSize().width, 802);
    EXPECT_TRUE(resize(802, 600).empty());
    EXPECT_TRUE(resize(0, 0).empty());
}
