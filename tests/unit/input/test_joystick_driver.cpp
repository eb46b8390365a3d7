// The joystick driver's own rules over a fake back end: when empty pad slots
// are read, what plugging in and out posts, and how vibration is kept going.
#include "input/JoystickTestSupport.h"
#include "input/CJoystickDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace zu::event;
using namespace zu::input;
using kelvo::input::CJoystickDriver;

namespace
{

using joysticktest::FakeTimer;
using joysticktest::Recorder;

class FakeBackend : public IJoystickBackend
{
  public:
    struct Device
    {
        bool there = false;
        zu::core::CString name;
        SPadReading pad;
        SJoystickReading joystick;
    };

    bool isReady() const override { return true; }
    bool update() override
    {
        const bool news = arrival;
        arrival = false;
        return news;
    }
    bool hasPad(int slot) const override { return pads[slot].there; }
    bool readPad(int slot, SPadReading& out) override
    {
        ++reads[slot];
        out = pads[slot].pad;
        return pads[slot].there;
    }
    zu::core::CString getPadName(int slot) const override { return pads[slot].name; }
    void rumblePad(int slot, uint16_t left, uint16_t right) override
    {
        rumbles.emplace_back(slot, left, right);
    }
    int getJoystickSlots() const override
    {
        int slots = 0;
        for (size_t i = 0; i < joysticks.size(); ++i)
            if (joysticks[i].there) slots = int(i) + 1;
        return slots;
    }
    bool hasJoystick(int number) const override
    {
        return size_t(number) < joysticks.size() && joysticks[size_t(number)].there;
    }
    bool readJoystick(int number, SJoystickReading& out) override
    {
        if (!hasJoystick(number)) return false;
        out = joysticks[size_t(number)].joystick;
        return true;
    }
    zu::core::CString getJoystickName(int number) const override
    {
        return hasJoystick(number) ? joysticks[size_t(number)].name : zu::core::CString();
    }

    Device pads[4];
    std::vector<Device> joysticks;
    int reads[4] = {};
    bool arrival = false;
    std::vector<std::tuple<int, uint16_t, uint16_t>> rumbles;
};

class JoystickDriverTest : public ::testing::Test
{
  protected:
    void start()
    {
        auto own = std::make_unique<FakeBackend>();
        own->pads[0] = backend.pads[0];
        own->joysticks = backend.joysticks;
        fake = own.get();
        driver = new CJoystickDriver(std::move(own), timer);
        ASSERT_TRUE(driver->initialise());
    }
    void TearDown() override
    {
        if (driver) driver->drop();
        timer->drop();
    }
    void poll(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            driver->poll(recorder);
    }

    // What the fake starts with; start() hands it over.
    FakeBackend backend;
    FakeBackend* fake = nullptr;
    FakeTimer* timer = new FakeTimer();
    CJoystickDriver* driver = nullptr;
    Recorder recorder;
};

} // namespace

TEST_F(JoystickDriverTest, AnEmptySlotIsReadAtTheFirstPollThenOnEvery301stPoll)
{
    start();
    poll();
    EXPECT_EQ(fake->reads[0], 1);
    poll(300);
    EXPECT_EQ(fake->reads[0], 1) << "polls 2 to 301 leave the slot alone";
    poll();
    EXPECT_EQ(fake->reads[0], 2) << "the 301st poll after the last try reads it";
    poll(301);
    EXPECT_EQ(fake->reads[3], 3);
    EXPECT_TRUE(recorder.take().empty());
}

TEST_F(JoystickDriverTest, APadPluggedInIsNoticedWithin301PollsAndThenReadEveryPoll)
{
    start();
    poll(100);
    fake->pads[1].there = true;
    fake->pads[1].name = "Pad";
    poll(201);
    EXPECT_FALSE(driver->isConnected(17));
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"added 17"}) << "at poll 302";
    EXPECT_TRUE(driver->isConnected(17));
    EXPECT_EQ(driver->getPadCount(), 1);
    const int before = fake->reads[1];
    poll(5);
    EXPECT_EQ(fake->reads[1], before + 5);
}

TEST_F(JoystickDriverTest, NewsOfAnArrivalReadsTheEmptySlotsAtOnce)
{
    start();
    poll(50);
    fake->pads[2].there = true;
    fake->arrival = true;
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"added 18"});
    EXPECT_EQ(fake->reads[0], 2) << "every empty slot was tried";
}

TEST_F(JoystickDriverTest, DevicesPresentAtTheStartAreKnownButNotAnnounced)
{
    backend.pads[0].there = true;
    backend.joysticks.resize(1);
    backend.joysticks[0].there = true;
    start();
    EXPECT_TRUE(driver->isConnected(16));
    EXPECT_TRUE(driver->isConnected(0));
    EXPECT_EQ(driver->getProductName(16), "Unknown device") << "an empty name is replaced";
    EXPECT_EQ(driver->getProductName(17), "Xbox 360 Controller") << "an empty slot";
    EXPECT_EQ(driver->getProductName(1), "");
    EXPECT_EQ(driver->getJoystickCount(), 1) << "pads are not counted";
    poll();
    EXPECT_TRUE(recorder.take().empty());
}

TEST_F(JoystickDriverTest, UnpluggingReleasesHeldButtonsThenFreesTheNumber)
{
    backend.pads[0].there = true;
    backend.pads[0].name = "First";
    backend.joysticks.resize(2);
    backend.joysticks[1].there = true;
    start();
    fake->pads[0].pad.buttons = 1 << 0 | 1 << 11;
    fake->pads[0].pad.sticks[0] = 20000;
    fake->joysticks[1].joystick.buttons[100] = true;
    poll();
    EXPECT_EQ(recorder.take(),
              (std::vector<std::string>{"press 1 100", "press 16 0", "press 16 11"}));
    driver->setVibration(16, 1000, 2000);

    fake->pads[0].there = false;
    fake->joysticks[1].there = false;
    poll();
    EXPECT_EQ(recorder.take(),
              (std::vector<std::string>{"release 1 100", "removed 1", "release 16 0",
                                        "release 16 11", "removed 16"}));
    EXPECT_FALSE(driver->isButtonPressed(16, 0));
    EXPECT_EQ(driver->getAxis(16, 0), 0.f);
    EXPECT_EQ(driver->getProductName(16), "Xbox 360 Controller");
    EXPECT_EQ(driver->getJoystickCount(), 0) << "the unused numbers at the end are given up";

    // The next pad in the slot starts still and quiet.
    fake->rumbles.clear();
    fake->pads[0] = FakeBackend::Device();
    fake->pads[0].there = true;
    fake->arrival = true;
    poll();
    EXPECT_EQ(recorder.take(), std::vector<std::string>{"added 16"});
    EXPECT_TRUE(fake->rumbles.empty());
}

TEST_F(JoystickDriverTest, ButtonsPostOnlyWhenTheyChange)
{
    backend.pads[0].there = true;
    start();
    const uint16_t sequence[] = {0, 1, 1, 3, 2, 0, 0};
    std::vector<std::string> expected = {"press 16 0", "press 16 1", "release 16 0",
                                         "release 16 1"};
    for (uint16_t buttons : sequence)
    {
        fake->pads[0].pad.buttons = buttons;
        poll();
    }
    EXPECT_EQ(recorder.take(), expected);
}

TEST_F(JoystickDriverTest, VibrationIsCutTo16BitsAndRenewedEvery30Seconds)
{
    backend.pads[0].there = true;
    start();
    driver->setVibration(16, 70000, -1);
    driver->setVibration(3, 5, 5);
    driver->setVibration(20, 5, 5);
    ASSERT_EQ(fake->rumbles.size(), 1u) << "only pads vibrate";
    EXPECT_EQ(fake->rumbles[0], std::make_tuple(0, uint16_t(4464), uint16_t(65535)));

    timer->ms += 29999;
    poll();
    EXPECT_EQ(fake->rumbles.size(), 1u);
    timer->ms += 1;
    poll();
    ASSERT_EQ(fake->rumbles.size(), 2u);
    EXPECT_EQ(fake->rumbles[1], fake->rumbles[0]);

    driver->setVibration(16, 0, 0);
    timer->ms += 60000;
    poll();
    EXPECT_EQ(fake->rumbles.size(), 3u) << "stopped motors are not renewed";
}

TEST_F(JoystickDriverTest, AVibrationSetForAnEmptySlotStartsWithThePad)
{
    start();
    driver->setVibration(19, 300, 400);
    fake->rumbles.clear();
    fake->pads[3].there = true;
    fake->arrival = true;
    poll();
    ASSERT_EQ(fake->rumbles.size(), 1u);
    EXPECT_EQ(fake->rumbles[0], std::make_tuple(3, uint16_t(300), uint16_t(400)));
}
