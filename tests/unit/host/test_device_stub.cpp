#include "event/IEventReceiver.h"
#include "core/ITimer.h"
#include "core/IOSOperator.h"
#include "gui/IGUIButton.h"
#include "gui/IGUIEditBox.h"
#include "gui/IGUIEnvironment.h"
#include "net/CSocketNetworkDevice.h"
#include "net/IPacketEventReceiver.h"
#include "net/SSessionParameters.h"
#include "platform/CDeviceHeadless.h"
#include "video/IVideoDriver.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <random>
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

class NetworkRecorder : public zu::net::IPacketEventReceiver
{
public:
    void handleNetworkEvent(const SEngineEvent&) override {}
    void handlePacket(uint8_t*, int32_t, int32_t) override {}
};

size_t threadCount()
{
    size_t n = 0;
    if (DIR* dir = opendir("/proc/self/task"))
    {
        while (dirent* entry = readdir(dir))
            n += entry->d_name[0] != '.';
        closedir(dir);
    }
    return n;
}

// A headless device with an 800 x 600 window (and so a GUI) that hands its
// events to the recorder.
kelvo::CDeviceHeadless* startWithWindow(Recorder& recorder)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    device->setDriverType(zu::EDT_NULL);
    EXPECT_TRUE(device->createWindow({800, 600}, false, false, false, 0));
    device->setEventReceiver(&recorder);
    return device;
}

struct Press
{
    uint32_t atMs;
    int button;
    int x, y;
    int expectedClicks;
};

} // namespace

TEST(DeviceStub, ClickCountingFollowsTime250MsAndDistance10Px)
{
    const std::vector<std::vector<Press>> series = {
        // Two presses 200 ms and 5 px apart, then a third within 250 ms.
        {{1000, 0, 100, 100, 1}, {1200, 0, 105, 100, 2}, {1450, 0, 105, 95, 3}},
        // Exactly 250 ms continues; 251 ms restarts.
        {{1000, 0, 0, 0, 1}, {1250, 0, 0, 0, 2}, {1501, 0, 0, 0, 1}},
        // Another button in between restarts the count.
        {{1000, 0, 0, 0, 1}, {1100, 1, 0, 0, 1}, {1200, 0, 0, 0, 1}},
        // 11 pixels away restarts; 10 continues.
        {{1000, 0, 0, 0, 1}, {1010, 0, 10, -10, 2}, {1020, 0, 21, -10, 1}},
    };
    for (const auto& presses : series)
    {
        auto* timer = new FakeTimer();
        auto* device = new kelvo::CDeviceHeadless("0.7", "", timer);
        timer->drop();
        for (const Press& p : presses)
        {
            timer->ms = p.atMs;
            EXPECT_EQ(device->countClick(p.button, p.x, p.y), p.expectedClicks) << p.atMs;
        }
        device->drop();
    }
}

TEST(DeviceStub, InputStateFollowsPostedEventsAndScriptedInput)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    Recorder recorder;
    device->setEventReceiver(&recorder);

    device->postEvent(SEngineEvent::makeKey(0x41, KeyPressed));
    EXPECT_TRUE(device->isKeyDown(0x41));
    device->postEvent(SEngineEvent::makeKey(0x41, KeyReleased));
    EXPECT_FALSE(device->isKeyDown(0x41));
    EXPECT_FALSE(device->isKeyDown(500));

    auto script = std::make_unique<kelvo::CEventScript>();
    zu::core::CString error;
    ASSERT_TRUE(script->parse("1 key 0x56 down ctrl\n1 key 13 alt\n1 mouse middle down 3 4\n2 quit\n",
                              error));
    device->setEventScript(std::move(script));
    EXPECT_TRUE(device->postScriptedInput());
    // Ctrl+V gives a press and then a paste request; Alt+Enter only a toggle request.
    ASSERT_EQ(recorder.events.size(), 2u + 4u);
    EXPECT_EQ(recorder.events[2].key.action, KeyPressed);
    EXPECT_EQ(recorder.events[3].key.action, KeyPaste);
    EXPECT_EQ(recorder.events[4].key.action, KeyFullscreenToggle);
    EXPECT_TRUE(device->isMouseButtonDown(2));
    EXPECT_FALSE(device->postScriptedInput());
    device->drop();
}

TEST(DeviceStub, SecondDriverTypeIsRefused)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    EXPECT_TRUE(device->setDriverType(zu::EDT_OPENGL));
    EXPECT_FALSE(device->setDriverType(zu::EDT_NULL));
    EXPECT_EQ(device->getDriverType(), zu::EDT_OPENGL);
    device->drop();
}

TEST(DeviceStub, NetworkDevicesAreKeptByName)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    zu::net::INetworkDevice* packets = device->createNetworkDevice("game", 0);
    ASSERT_NE(packets, nullptr);
    // An existing name gives its device whatever the kind; unknown kinds give none.
    EXPECT_EQ(device->createNetworkDevice("game", 1), packets);
    EXPECT_EQ(device->getNetworkDevice("game"), packets);
    EXPECT_EQ(device->createNetworkDevice("other", 2), nullptr);
    EXPECT_EQ(device->getNetworkDevice("other"), nullptr);
    EXPECT_EQ(device->getNetworkDevice("Game"), nullptr);

    NetworkRecorder receiver;
    zu::net::SSessionParameters parameters;
    parameters.gameVersion = "g";
    zu::net::INetworkDevice* raw = device->createNetworkDevice("raw", 1);
    EXPECT_EQ(raw->startServer(&receiver, parameters), -1) << "raw devices do not host";

    device->removeNetworkDevice("game");
    EXPECT_EQ(device->getNetworkDevice("game"), nullptr);
    EXPECT_EQ(device->getNetworkDevice("raw"), raw);
    zu::net::INetworkDevice* again = device->createNetworkDevice("game", 1);
    EXPECT_EQ(again->startServer(&receiver, parameters), -1) << "made anew, in raw mode";
    device->updateNetworkDevices();
    device->drop();
}

TEST(DeviceStub, ReleasingTheDeviceStopsItsNetworkThreads)
{
    size_t before = threadCount();
    auto* device = new kelvo::CDeviceHeadless("0.7");
    auto* host = static_cast<kelvo::net::CSocketNetworkDevice*>(device->createNetworkDevice("h", 0));
    host->setListenAddress("127.0.0.1");
    NetworkRecorder receiver;
    zu::net::SSessionParameters parameters;
    parameters.gameVersion = "g";
    std::mt19937 random(std::random_device{}());
    int result = -1;
    for (int attempt = 0; attempt < 30 && result != 0; ++attempt)
    {
        parameters.port = 20000 + int(random() % 40000);
        result = host->startServer(&receiver, parameters);
    }
    ASSERT_EQ(result, 0);
    EXPECT_GT(threadCount(), before);
    device->drop();
    EXPECT_EQ(threadCount(), before);
}

TEST(DeviceStub, TheGuiWorksInRenderPixelsWhileScriptsKeepWindowPixels)
{
    Recorder recorder;
    auto* device = startWithWindow(recorder);
    zu::gui::IGUIEnvironment* gui = device->getGUIEnvironment();
    ASSERT_NE(gui, nullptr);
    device->getVideoDriver()->setRenderScreenSize(400, 300);
    zu::gui::IGUIElement* button = gui->addButton({100, 100, 180, 130}, nullptr, 4, "OK");
    gui->drawAll();

    // (280, 230) on the window is (140, 115) in render pixels: on the button.
    device->postEvent(SEngineEvent::makeMouse(MouseMoved, 280, 230));
    device->postEvent(SEngineEvent::makeMouse(LeftDown, 280, 230, 1));
    device->postEvent(SEngineEvent::makeMouse(LeftUp, 280, 230, 1));
    EXPECT_EQ(gui->getLastMousePosition().x, 140);
    EXPECT_EQ(gui->getLastMousePosition().y, 115);
    // The button took the press and the release; the move and the GUI's
    // reports reach the receiver, the move in window pixels.
    std::vector<int32_t> reports;
    int moves = 0;
    for (const SEngineEvent& e : recorder.events)
    {
        if (e.type == GuiEvent)
        {
            EXPECT_EQ(e.gui.caller, button);
            reports.push_back(e.gui.eventType);
        }
        else if (e.type == MouseEvent)
        {
            ++moves;
            EXPECT_EQ(e.mouse.action, MouseMoved);
            EXPECT_EQ(e.mouse.x, 280);
            EXPECT_EQ(e.mouse.y, 230);
        }
    }
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(reports, (std::vector<int32_t>{GuiButtonHovered, GuiClicked}));
    EXPECT_FALSE(device->isMouseButtonDown(0)) << "what the GUI took changes no input state";
    device->drop();
}

TEST(DeviceStub, AFocusedEditBoxTakesTheKeysFirstAndPastesTheDeviceClipboard)
{
    Recorder recorder;
    auto* device = startWithWindow(recorder);
    zu::gui::IGUIEnvironment* gui = device->getGUIEnvironment();
    ASSERT_NE(gui, nullptr);
    EXPECT_EQ(gui->getOSOperator(), device->getOSOperator());
    zu::gui::IGUIEditBox* box = gui->addEditBox("", {100, 100, 300, 120}, true, nullptr, 5);
    device->postEvent(SEngineEvent::makeMouse(MouseMoved, 150, 110));
    device->postEvent(SEngineEvent::makeMouse(LeftDown, 150, 110, 1));
    device->postEvent(SEngineEvent::makeMouse(LeftUp, 150, 110, 1));
    ASSERT_TRUE(gui->hasFocus(box));
    recorder.events.clear();

    // "a" typed, then Ctrl+V as the device reports it: the key, the paste
    // request, the control character, the releases.
    device->postEvent(SEngineEvent::makeKey(0x41, KeyPressed));
    device->postEvent(SEngineEvent::makeKey(0x61, KeyCharacter, 0x61));
    device->postEvent(SEngineEvent::makeKey(0x41, KeyReleased));
    device->getOSOperator()->copyToClipboard(" and the clipboard");
    device->postEvent(SEngineEvent::makeKey(0x11, KeyPressed, 0, false, true));
    device->postEvent(SEngineEvent::makeKey(0x56, KeyPressed, 0, false, true));
    device->postEvent(SEngineEvent::makeKey(0x56, KeyPaste, 0, false, true));
    device->postEvent(SEngineEvent::makeKey(0x16, KeyCharacter, 0x16));
    device->postEvent(SEngineEvent::makeKey(0x56, KeyReleased, 0, false, true));
    device->postEvent(SEngineEvent::makeKey(0x11, KeyReleased));
    EXPECT_EQ(box->getText().str(), "a and the clipboard");

    // The receiver (and so the script) saw only the releases, and the key
    // state the device keeps is that of released keys.
    std::vector<uint32_t> released;
    for (const SEngineEvent& e : recorder.events)
        if (e.type == KeyEvent)
        {
            EXPECT_EQ(e.key.action, KeyReleased);
            released.push_back(e.key.key);
        }
    EXPECT_EQ(released, (std::vector<uint32_t>{0x41, 0x56, 0x11}));
    EXPECT_FALSE(device->isKeyDown(0x41));
    device->drop();
}
