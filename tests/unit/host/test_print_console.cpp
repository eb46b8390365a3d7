// The print console on the recording driver, and the GUI environment the
// device makes with its window: the one the console and the skin font live in.
#include "gui/GuiTestSupport.h"

#include "event/IEventReceiver.h"
#include "gui/CGUIEnvironment.h"
#include "gui/IGUISkin.h"
#include "host/PrintConsole.h"
#include "io/CFileSystem.h"
#include "platform/CDeviceHeadless.h"

using guitest::CImageCallRecorder;
using guitest::SImageCall;

namespace
{

class PrintConsole : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_gui->drop();
        m_driver->drop();
        m_fs->drop();
    }

    // The calls that start a line: those at the left margin.
    std::vector<SImageCall> lineStarts() const
    {
        std::vector<SImageCall> out;
        for (const SImageCall& call : m_driver->calls)
            if (call.x == 10)
                out.push_back(call);
        return out;
    }

    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CImageCallRecorder* m_driver = new CImageCallRecorder(m_fs, {800, 600});
    kelvo::gui::CGUIEnvironment* m_gui = new kelvo::gui::CGUIEnvironment(m_fs, m_driver);
};

} // namespace

TEST_F(PrintConsole, ThirtyLinesOnA600PixelRenderSize)
{
    std::vector<zu::core::CString> lines;
    for (int i = 0; i < 30; ++i)
        lines.push_back("line " + zu::core::CString::fromInt(i));
    pellora::states::drawPrintConsole(m_driver, m_gui->getSkin()->getFont(), lines);

    // Newest first, at the bottom; each older one 15 pixels higher.
    const std::vector<SImageCall> starts = lineStarts();
    ASSERT_EQ(starts.size(), 30u);
    EXPECT_EQ(starts.front().y, 580);
    EXPECT_EQ(starts.back().y, 145);
    for (size_t i = 0; i < starts.size(); ++i)
        EXPECT_EQ(starts[i].y, 580 - 15 * int32_t(i)) << i;
    // "line 29" has seven characters, the others six or seven.
    EXPECT_EQ(m_driver->calls.size(), 20u * 7 + 10u * 6);
    for (const SImageCall& call : m_driver->calls)
    {
        EXPECT_EQ(call.color, 0xFFFFFFFFu);
        EXPECT_FALSE(call.clipped);
    }
}

TEST_F(PrintConsole, FollowsTheRenderSize)
{
    m_driver->setRenderScreenSize(640, 400);
    pellora::states::drawPrintConsole(m_driver, m_gui->getSkin()->getFont(), {"a", "b"});
    const std::vector<SImageCall> starts = lineStarts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].y, 380);
    EXPECT_EQ(starts[1].y, 365);
}

TEST_F(PrintConsole, NothingWithoutLinesOrFont)
{
    pellora::states::drawPrintConsole(m_driver, m_gui->getSkin()->getFont(), {});
    pellora::states::drawPrintConsole(m_driver, nullptr, {"text"});
    EXPECT_TRUE(m_driver->calls.empty());
}

namespace
{

class Recorder : public zu::event::IEventReceiver
{
public:
    bool onEvent(const zu::event::SEngineEvent&) override { return false; }
};

} // namespace

TEST(DeviceGUI, MadeWithTheWindowAndGivenTheUserReceiver)
{
    auto* device = new kelvo::CDeviceHeadless("0.7");
    EXPECT_EQ(device->getGUIEnvironment(), nullptr);
    Recorder recorder;
    device->setEventReceiver(&recorder);
    device->setDriverType(zu::EDT_NULL);
    ASSERT_TRUE(device->createWindow({640, 480}, false, false, false, 0));

    auto* gui = dynamic_cast<kelvo::gui::CGUIEnvironment*>(device->getGUIEnvironment());
    ASSERT_NE(gui, nullptr);
    EXPECT_EQ(gui->getVideoDriver(), device->getVideoDriver());
    EXPECT_NE(gui->getBuiltInFont(), nullptr);
    EXPECT_EQ(gui->getSkin()->getFont(), gui->getBuiltInFont());
    EXPECT_EQ(gui->getUserEventReceiver(), &recorder);
    device->setEventReceiver(nullptr);
    EXPECT_EQ(gui->getUserEventReceiver(), nullptr);

    // Mouse events pass the GUI on their way.
    device->postEvent(zu::event::SEngineEvent::makeMouse(zu::event::MouseMoved, 12, 34));
    EXPECT_EQ(gui->getLastMousePosition().x, 12);
    EXPECT_EQ(gui->getLastMousePosition().y, 34);
    device->drop();
}
