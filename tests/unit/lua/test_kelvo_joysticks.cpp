// The kelvo table's joystick functions against what scripts get wrong:
// missing and extra arguments, wrong types, NaN and numbers far beyond any
// joystick number. A recording driver shows what reaches the driver. Also
// the full-screen switch on a headless device.
#include "LuaTestState.h"
#include "input/IJoystickDriver.h"
#include "lua/CLuaKelvoLibrary.h"
#include "lua/IKelvoHost.h"
#include "platform/CDeviceHeadless.h"
#include "video/IVideoDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Joystick 0 and pad 16 are plugged in; every call is written down.
class CRecordingDriver : public zu::input::IJoystickDriver
{
  public:
    int getJoystickCount() const override { return 1; }
    bool isButtonPressed(int joystick, int button) const override
    {
        note("button " + std::to_string(joystick) + " " + std::to_string(button));
        return joystick == 16 && button == 0;
    }
    float getAxis(int joystick, int axis) const override
    {
        note("axis " + std::to_string(joystick) + " " + std::to_string(axis));
        return joystick == 16 && axis == 1 ? -0.5f : 0.f;
    }
    void setVibration(int joystick, int left, int right) override
    {
        note("vibrate " + std::to_string(joystick) + " " + std::to_string(left) + " " +
             std::to_string(right));
    }
    zu::core::CString getProductName(int joystick) const override
    {
        return joystick == 16 ? "Test pad" : "Test stick";
    }
    bool isConnected(int joystick) const override
    {
        note("connected " + std::to_string(joystick));
        return joystick == 0 || joystick == 16;
    }
    int getPadCount() const override { return 1; }
    void poll(zu::event::IEventReceiver&) override {}

    std::string take()
    {
        std::string out;
        out.swap(m_calls);
        return out;
    }

  private:
    void note(const std::string& call) const
    {
        if (!m_calls.empty()) m_calls += ";";
        m_calls += call;
    }
    mutable std::string m_calls;
};

class CTestDevice : public kelvo::CDeviceHeadless
{
  public:
    explicit CTestDevice(CRecordingDriver* driver) : CDeviceHeadless("0.7"), m_driver(driver) {}

  protected:
    zu::input::IJoystickDriver* createJoystickDriver() override { return m_driver; }

  private:
    CRecordingDriver* m_driver;
};

class CTestHost : public zu::lua::IKelvoHost
{
  public:
    explicit CTestHost(zu::IKelvoDevice* device) : m_device(device) {}
    zu::IKelvoDevice* getDevice() const override { return m_device; }
    void addPrintLine(const zu::core::CString&) override {}
    void clearPrint() override {}
    int getMouseX() const override { return 0; }
    int getMouseY() const override { return 0; }

  private:
    zu::IKelvoDevice* m_device;
};

struct Case
{
    const char* chunk;
    // The results joined with ","; "error:..." matches an error holding the rest.
    const char* results;
    // What reached the driver, in order.
    const char* calls;
};

// INT32_MAX and INT32_MIN, where numbers beyond the 32-bit range end up.
const Case kCases[] = {
    // getJoystickAxises: exactly two numbers, the axis counted from 1.
    {"return kelvo.getJoystickAxises(16, 2)", "-0.5", "axis 16 1"},
    {"return kelvo.getJoystickAxises()", "", ""},
    {"return kelvo.getJoystickAxises(16)", "", ""},
    {"return kelvo.getJoystickAxises(16, 2, 3)", "", ""},
    {"return kelvo.getJoystickAxises('16', '2')", "-0.5", "axis 16 1"},
    {"return kelvo.getJoystickAxises('pad', 2)",
     "error:bad argument #1 to 'getJoystickAxises' (number expected, got string)", ""},
    {"return kelvo.getJoystickAxises(16, {})", "error:#2 to 'getJoystickAxises'", ""},
    {"return kelvo.getJoystickAxises(nil, 1)", "error:got nil", ""},
    {"return kelvo.getJoystickAxises(0/0, 0/0)", "0", "axis 0 -1"},
    {"return kelvo.getJoystickAxises(1e300, -1e300)", "0", "axis 2147483647 -2147483648"},
    {"return kelvo.getJoystickAxises(-1/0, 1/0)", "0", "axis -2147483648 2147483646"},
    {"return kelvo.getJoystickAxises(16.9, 2.9)", "-0.5", "axis 16 1"},
    // isJoystickButtonPressed: buttons from 0.
    {"return kelvo.isJoystickButtonPressed(16, 0)", "true", "button 16 0"},
    {"return kelvo.isJoystickButtonPressed(16)", "false", ""},
    {"return kelvo.isJoystickButtonPressed()", "false", ""},
    {"return kelvo.isJoystickButtonPressed(16, true)",
     "error:bad argument #2 to 'isJoystickButtonPressed' (number expected, got boolean)", ""},
    {"return kelvo.isJoystickButtonPressed(0/0, 2^40)", "false", "button 0 2147483647"},
    // getJoystickCount: joysticks and pads; arguments are ignored.
    {"return kelvo.getJoystickCount()", "1,1", ""},
    {"return kelvo.getJoystickCount('all', 0/0)", "1,1", ""},
    // getJoystickName: nil for numbers nothing answers to.
    {"return kelvo.getJoystickName(16)", "Test pad", "connected 16"},
    {"return kelvo.getJoystickName(0/0)", "Test stick", "connected 0"},
    {"return kelvo.getJoystickName(17)", "nil", "connected 17"},
    {"return kelvo.getJoystickName()", "nil", "connected -1"},
    {"return kelvo.getJoystickName(2^53 + 16)", "nil", "connected 2147483647"},
    {"return kelvo.getJoystickName(-1e300)", "nil", "connected -2147483648"},
    {"return kelvo.getJoystickName({})",
     "error:bad argument #1 to 'getJoystickName' (number expected, got table)", ""},
    // setJoystickVibration: three numbers; the driver cuts the speeds.
    {"return kelvo.setJoystickVibration(16, 1000, 2000)", "", "vibrate 16 1000 2000"},
    {"return kelvo.setJoystickVibration(16, 70000, -1)", "", "vibrate 16 70000 -1"},
    {"return kelvo.setJoystickVibration(16, 0/0, 1e300)", "", "vibrate 16 0 2147483647"},
    {"return kelvo.setJoystickVibration(16, 1000)", "", ""},
    {"return kelvo.setJoystickVibration()", "", ""},
    {"return kelvo.setJoystickVibration(16, 'hard', 1)",
     "error:bad argument #2 to 'setJoystickVibration' (number expected, got string)", ""},
    {"return kelvo.setJoystickVibration(16, 1, nil)", "error:#3 to 'setJoystickVibration'", ""},
};

void expectResults(luatest::CState& state, const Case& c)
{
    const std::string got = state.run(c.chunk);
    EXPECT_TRUE(luatest::matches(got, c.results)) << c.chunk << "\n  gave " << got;
}

} // namespace

TEST(KelvoJoysticks, BadArgumentsNeverReachTheDriverUnchecked)
{
    auto* driver = new CRecordingDriver();
    auto* device = new CTestDevice(driver);
    CTestHost host(device);
    luatest::CState state;
    zu::lua::CLuaKelvoLibrary library(&host);
    library.install(state.L);
    for (const Case& c : kCases)
    {
        expectResults(state, c);
        EXPECT_EQ(driver->take(), c.calls) << c.chunk;
    }
    state.close();
    device->drop();
}

TEST(KelvoJoysticks, WithoutADeviceEveryJoystickIsAtRest)
{
    CTestHost host(nullptr);
    luatest::CState state;
    zu::lua::CLuaKelvoLibrary library(&host);
    library.install(state.L);
    const Case cases[] = {
        {"return kelvo.getJoystickAxises(16, 2)", "0", ""},
        {"return kelvo.isJoystickButtonPressed(16, 0)", "false", ""},
        {"return kelvo.getJoystickCount()", "0,0", ""},
        {"return kelvo.getJoystickName(16)", "nil", ""},
        {"return kelvo.setJoystickVibration(16, 1, 1)", "", ""},
        {"return kelvo.getJoystickAxises('x', 2)", "error:#1 to 'getJoystickAxises'", ""},
    };
    for (const Case& c : cases)
        expectResults(state, c);
}

TEST(KelvoFullscreen, TheSwitchReachesTheDeviceAndReadsBack)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    CTestHost host(device);
    luatest::CState state;
    zu::lua::CLuaKelvoLibrary library(&host);
    library.install(state.L);
    // Before the window exists there is nothing to switch.
    EXPECT_EQ("false", state.run("kelvo.setFullscreen(true) return kelvo.isFullscreen()"));
    device->setDriverType(zu::EDT_NULL);
    ASSERT_TRUE(device->createWindow({800, 600}, false, false, false, 0));
    const Case cases[] = {
        {"return kelvo.isFullscreen()", "false", ""},
        {"kelvo.setFullscreen(true) return kelvo.isFullscreen()", "true", ""},
        {"kelvo.setFullscreen() return kelvo.isFullscreen()", "true", ""},
        {"kelvo.setFullscreen(false) return kelvo.isFullscreen()", "false", ""},
        {"kelvo.setFullscreen(1) return kelvo.isFullscreen()", "true", ""},
        {"kelvo.setFullscreen(nil) return kelvo.isFullscreen()", "false", ""},
        {"kelvo.setFullscreen(0) return kelvo.isFullscreen()", "true", ""},
        {"kelvo.setFullscreen(false) return kelvo.isFullscreen()", "false", ""},
    };
    for (const Case& c : cases)
        expectResults(state, c);
    // The video driver switched with it, as with Alt+Enter.
    state.run("kelvo.setFullscreen(true)");
    EXPECT_TRUE(device->getVideoDriver()->isFullscreen());
    state.close();
    device->drop();
}
