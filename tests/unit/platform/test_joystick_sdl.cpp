// The joystick driver over SDL with SDL's virtual joysticks standing in for
// pads and joysticks: numbering, buttons, axes, vibration, plugging in and
// out, controller mappings, and the devices that poll it.
#include "input/JoystickTestSupport.h"
#include "input/CJoystickDriver.h"
#include "other/CEventScript.h"
#include "platform/CDeviceSDL.h"
#include "platform/CJoystickBackendSDL.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace zu::event;
using kelvo::input::CJoystickDriver;
using kelvo::platform::CJoystickBackendSDL;

namespace
{

using joysticktest::FakeTimer;
using joysticktest::Recorder;

struct SRumble
{
    int calls = 0;
    Uint16 low = 0;
    Uint16 high = 0;
};

int SDLCALL recordRumble(void* userdata, Uint16 low, Uint16 high)
{
    auto* rumble = static_cast<SRumble*>(userdata);
    ++rumble->calls;
    rumble->low = low;
    rumble->high = high;
    return 0;
}

class SDLJoystickTest : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        for (SDL_Joystick* handle : handles)
            SDL_JoystickClose(handle);
        if (driver) driver->drop();
        timer->drop();
    }

    void start(const zu::core::CString& mappings = zu::core::CString())
    {
        auto own = std::make_unique<CJoystickBackendSDL>(mappings);
        backend = own.get();
        ASSERT_TRUE(backend->isReady()) << SDL_GetError();
        driver = new CJoystickDriver(std::move(own), timer);
        ASSERT_TRUE(driver->initialise());
    }

    // A virtual device made here; returns a handle for setting its values.
    SDL_Joystick* attach(bool controller, const char* name = "", Uint16 vendor = 0x045e,
                         Uint16 product = 0x028e, SRumble* rumble = nullptr)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.vendor_id = vendor;
        desc.product_id = product;
        desc.name = name;
        desc.userdata = rumble;
        desc.Rumble = rumble ? recordRumble : nullptr;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        EXPECT_NE(handle, nullptr) << SDL_GetError();
        handles.push_back(handle);
        return handle;
    }

    void poll(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            driver->poll(recorder);
    }

    FakeTimer* timer = new FakeTimer();
    // The motors of a virtual pad, kept until the driver is gone.
    SRumble rumble;
    CJoystickBackendSDL* backend = nullptr;
    CJoystickDriver* driver = nullptr;
    Recorder recorder;
    std::vector<SDL_Joystick*> handles;
};

} // namespace

TEST_F(SDLJoystickTest, ACommonPadIsJoystick16AndItsButtonsPostWhenTheyChange)
{
    start();
    SDL_Joystick* pad = attach(true);
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"added 16"});
    EXPECT_EQ(driver->getJoystickCount(), 0);
    EXPECT_EQ(driver->getPadCount(), 1);
    EXPECT_EQ(driver->getProductName(16), "Unknown device") << "the pad has an empty name";

    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    poll(3);
    EXPECT_TRUE(driver->isButtonPressed(16, 0));
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
    poll(2);
    EXPECT_EQ(recorder.take(), (std::vector<std::string>{"press 16 0", "release 16 0"}));
    EXPECT_EQ(driver->getJoystickCount(), 0);
}

TEST_F(SDLJoystickTest, PadButtonsFollowTheDriversNumbering)
{
    start();
    SDL_Joystick* pad = attach(true, "Numbered");
    // SDL's buttons in SDL's order, with the number each has for the game;
    // -1: none.
    const std::pair<SDL_GameControllerButton, int> buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, 0},
        {SDL_CONTROLLER_BUTTON_B, 1},
        {SDL_CONTROLLER_BUTTON_X, 2},
        {SDL_CONTROLLER_BUTTON_Y, 3},
        {SDL_CONTROLLER_BUTTON_BACK, 7},
        {SDL_CONTROLLER_BUTTON_GUIDE, -1},
        {SDL_CONTROLLER_BUTTON_START, 6},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 12},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 13},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 4},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 5},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 8},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 9},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 10},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 11},
        {SDL_CONTROLLER_BUTTON_MISC1, -1},
        {SDL_CONTROLLER_BUTTON_PADDLE1, -1},
    };
    poll();
    recorder.take();
    for (const auto& [sdl, number] : buttons)
    {
        SDL_JoystickSetVirtualButton(pad, sdl, 1);
        poll();
        const std::vector<std::string> expected =
            number < 0 ? std::vector<std::string>{}
                       : std::vector<std::string>{"press 16 " + std::to_string(number)};
        EXPECT_EQ(recorder.take(), expected) << SDL_GameControllerGetStringForButton(sdl);
        SDL_JoystickSetVirtualButton(pad, sdl, 0);
        poll();
        recorder.take();
    }
}

TEST_F(SDLJoystickTest, SticksAndTriggersAreScaledWithUpNegative)
{
    start();
    SDL_Joystick* pad = attach(true);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, SDL_JOYSTICK_AXIS_MIN); // up
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY, SDL_JOYSTICK_AXIS_MAX); // down
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MAX);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
    poll();
    EXPECT_FLOAT_EQ(driver->getAxis(16, 1), -1.f);
    EXPECT_NEAR(driver->getAxis(16, 0), 0.5f, 0.001f);
    EXPECT_FLOAT_EQ(driver->getAxis(16, 4), 1.f);
    EXPECT_FLOAT_EQ(driver->getAxis(16, 7), 1.f);
    EXPECT_FLOAT_EQ(driver->getAxis(16, 6), 0.f);
    for (int axis : {2, 5, 8, -1, 1000})
        EXPECT_EQ(driver->getAxis(16, axis), 0.f) << axis;
    EXPECT_EQ(driver->getAxis(5, 0), 0.f) << "no joystick 5";
    EXPECT_EQ(driver->getAxis(17, 1), 0.f) << "an empty slot";
    EXPECT_FALSE(driver->isButtonPressed(16, 14));
    EXPECT_FALSE(driver->isButtonPressed(16, -1));
}

TEST_F(SDLJoystickTest, VibrationReachesThePadsMotorsCutTo16Bits)
{
    start();
    attach(true, "", 0x045e, 0x028e, &rumble);
    poll();
    driver->setVibration(16, 1000, 40000);
    EXPECT_EQ(rumble.calls, 1);
    EXPECT_EQ(rumble.low, 1000);
    EXPECT_EQ(rumble.high, 40000);
    driver->setVibration(16, 70000, 0);
    EXPECT_EQ(rumble.low, 4464);
    EXPECT_EQ(rumble.high, 0);
    driver->setVibration(0, 500, 500);
    EXPECT_EQ(rumble.calls, 2) << "a joystick number does not reach the pad";
    driver->drop();
    driver = nullptr;
    EXPECT_EQ(rumble.calls, 3);
    EXPECT_EQ(rumble.low, 0) << "a driver that goes stops the motors";
}

TEST_F(SDLJoystickTest, AFifthPadAndAPlainJoystickAreNumberedFrom0)
{
    start();
    attach(false, "Plain stick", 0x1234, 0x5678);
    // SDL names a pad after its mapping, shared by pads of one product.
    for (int i = 0; i < 5; ++i)
        attach(true, ("Pad " + std::to_string(i)).c_str(), 0x045e, Uint16(0x0100 + i));
    poll();
    EXPECT_EQ(recorder.take(), (std::vector<std::string>{"added 0", "added 1", "added 16",
                                                         "added 17", "added 18", "added 19"}));
    EXPECT_EQ(driver->getJoystickCount(), 2);
    EXPECT_EQ(driver->getProductName(0), "Plain stick");
    EXPECT_EQ(driver->getProductName(1), "Pad 4");
    EXPECT_EQ(driver->getProductName(19), "Pad 3");

    // The fifth pad's buttons are the device's own numbers.
    SDL_JoystickSetVirtualButton(handles[5], 3, 1);
    SDL_JoystickSetVirtualAxis(handles[5], 1, SDL_JOYSTICK_AXIS_MIN);
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"press 1 3"});
    EXPECT_FLOAT_EQ(driver->getAxis(1, 1), -1.f);
}

TEST_F(SDLJoystickTest, PadsPluggedInAndOutTakeAndFreeTheLowestSlot)
{
    start();
    ASSERT_TRUE(backend->attachVirtualPad(0));
    ASSERT_TRUE(backend->attachVirtualPad(1));
    poll();
    EXPECT_EQ(recorder.take(), (std::vector<std::string>{"added 16", "added 17"}));
    EXPECT_EQ(driver->getProductName(17), "Virtual pad");

    ASSERT_TRUE(backend->setVirtualPadButton(0, 1, true));
    poll();
    ASSERT_TRUE(backend->detachVirtualPad(0));
    EXPECT_FALSE(backend->detachVirtualPad(0));
    poll();
    EXPECT_EQ(recorder.take(),
              (std::vector<std::string>{"press 16 1", "release 16 1", "removed 16"}));
    EXPECT_FALSE(driver->isConnected(16));
    EXPECT_EQ(driver->getPadCount(), 1);

    ASSERT_TRUE(backend->attachVirtualPad(2));
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"added 16"});
    ASSERT_TRUE(backend->setVirtualPadAxis(2, 7, 1.f));
    ASSERT_TRUE(backend->setVirtualPadAxis(2, 1, -1.f));
    EXPECT_FALSE(backend->setVirtualPadAxis(2, 2, 0.f)) << "axis 2 does not exist on a pad";
    EXPECT_FALSE(backend->setVirtualPadAxis(0, 1, 0.f)) << "virtual pad 0 is gone";
    poll();
    EXPECT_FLOAT_EQ(driver->getAxis(16, 7), 1.f);
    EXPECT_FLOAT_EQ(driver->getAxis(16, 1), -1.f);
    EXPECT_FLOAT_EQ(driver->getAxis(16, 6), 0.f) << "an untouched virtual trigger rests at 0";
}

TEST_F(SDLJoystickTest, APlainJoystickUnpluggedFreesItsNumberForTheNext)
{
    start();
    attach(false, "First", 0x1111, 0x0001);
    SDL_Joystick* second = attach(false, "Second", 0x1111, 0x0002);
    poll();
    recorder.take();
    const int index = [&]
    {
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(handles[0])) return i;
        return -1;
    }();
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"removed 0"});
    EXPECT_EQ(driver->getJoystickCount(), 2) << "joystick 1 keeps its number";
    SDL_JoystickSetVirtualButton(second, 0, 1);
    attach(false, "Third", 0x1111, 0x0003);
    poll();
    EXPECT_EQ(recorder.take(), (std::vector<std::string>{"added 0", "press 1 0"}));
    EXPECT_EQ(driver->getProductName(0), "Third");
}

TEST_F(SDLJoystickTest, AMappingOfTheGameMakesAnUnknownDeviceAPad)
{
    // The device's identity is needed for its mapping line, so it is
    // attached before the driver starts, with SDL started for it here.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.naxes = 2;
    desc.nbuttons = 4;
    desc.vendor_id = 0x2222;
    desc.product_id = 0x3333;
    desc.name = "Odd pad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0);
    ASSERT_FALSE(SDL_IsGameController(index));
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
    SDL_Joystick* odd = SDL_JoystickOpen(index);
    handles.push_back(odd);
    // Its button 3 is A; a line for another platform is left out.
    const std::string mappings = std::string("# a comment\n") + guid +
                                 ",Odd pad,a:b3,b:b2,leftx:a1,lefty:a0,platform:Linux,\n" + guid +
                                 ",Odd pad,a:b0,platform:Windows,\n";
    start(mappings);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    EXPECT_EQ(backend->getMappingCount(), 1);
    EXPECT_TRUE(driver->isConnected(16)) << "there from the start";
    EXPECT_EQ(driver->getJoystickCount(), 0);
    SDL_JoystickSetVirtualButton(odd, 3, 1);
    SDL_JoystickSetVirtualAxis(odd, 0, SDL_JOYSTICK_AXIS_MIN);
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"press 16 0"});
    EXPECT_FLOAT_EQ(driver->getAxis(16, 1), -1.f);
}

TEST(SDLDeviceJoysticks, TheDevicePollsThePadsOfItsEventScriptAndLeavesSDLsEventsAlone)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto* timer = new FakeTimer();
    auto* device = new kelvo::CDeviceSDL("0.7", "", timer);
    timer->drop();
    ASSERT_TRUE(device->isReady());
    Recorder recorder;
    device->setEventReceiver(&recorder);
    auto script = std::make_unique<kelvo::CEventScript>();
    zu::core::CString error;
    ASSERT_TRUE(script->parse("1 pad attach\n"
                              "2 pad button 6\n"
                              "3 pad axis 0 -0.5\n"
                              "4 pad detach\n",
                              error))
        << error.c_str();
    device->setEventScript(std::move(script));
    std::vector<std::vector<std::string>> passes;
    float axis = 0.f;
    for (int pass = 1; pass <= 5; ++pass)
    {
        ASSERT_TRUE(device->postScriptedInput());
        // Nothing of the joysticks waits in SDL's queue for the pump.
        SDL_PumpEvents();
        EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_JOYAXISMOTION,
                                 SDL_CONTROLLERSENSORUPDATE),
                  0);
        ASSERT_TRUE(device->run());
        passes.push_back(recorder.take());
        if (pass == 3) axis = device->getJoystickDriver()->getAxis(16, 0);
    }
    const std::vector<std::vector<std::string>> expected = {
        {"added 16"}, {"press 16 6"}, {"release 16 6"}, {"removed 16"}, {}};
    EXPECT_EQ(passes, expected);
    EXPECT_NEAR(axis, -0.5f, 0.001f);
    device->drop();
}
