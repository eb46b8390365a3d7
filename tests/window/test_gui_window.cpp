// The GUI on a real OpenGL window (a virtual X server in CI): a dialog of
// every basic widget drawn in skin colours and from a skin package made by
// the packer, and a form of edit boxes, a list box and a scroll bar,
// compared with PNG references and at known pixels; clicks, typing, the
// wheel, dragging and Ctrl+V of what xclip put on the clipboard from
// outside through xdotool, also with a render size of half the window.
#include "WindowTestSupport.h"

#include "core/ITimer.h"
#include "core/Output.h"
#include "event/IEventReceiver.h"
#include "gui/CGUITabControl.h"
#include "gui/IGUIButton.h"
#include "gui/IGUICheckBox.h"
#include "gui/IGUIComboBox.h"
#include "gui/IGUIEditBox.h"
#include "gui/IGUIEnvironment.h"
#include "gui/IGUIImage.h"
#include "gui/IGUIListBox.h"
#include "gui/IGUIPopupMenu.h"
#include "gui/IGUIRadioList.h"
#include "gui/IGUIScrollBar.h"
#include "gui/IGUISkin.h"
#include "gui/IGUIStaticText.h"
#include "gui/IGUITab.h"
#include "gui/IGUITabControl.h"
#include "gui/IGUITextButton.h"
#include "gui/IGUIWindow.h"
#include "platform/CDeviceSDL.h"
#include "video/ISpritePackage.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>

using namespace windowtest;
using namespace zu::gui;

namespace
{

constexpr uint32_t BACKGROUND = 0xFF2B3A4A;

// The GUI events that reach the user receiver.
class CClicks : public zu::event::IEventReceiver
{
  public:
    bool onEvent(const zu::event::SEngineEvent& event) override
    {
        if (event.type == zu::event::GuiEvent && event.gui.eventType == zu::event::GuiClicked)
            clicked.push_back(event.gui.caller);
        if (event.type == zu::event::GuiEvent)
        {
            reports.push_back(event.gui.eventType);
            callerIds.push_back(event.gui.caller ? event.gui.caller->getID() : -1);
        }
        if (event.type == zu::event::KeyEvent && event.key.action != zu::event::KeyReleased) ++keys;
        return false;
    }
    std::vector<IGUIElement*> clicked;
    std::vector<int32_t> reports;
    std::vector<int32_t> callerIds; // beside reports
    bool saw(int32_t type) const
    {
        return std::find(reports.begin(), reports.end(), type) != reports.end();
    }
    int keys = 0; // presses and characters that got past the GUI
};

// The device's clock: the real one, until a test stops it to draw the
// caret at a known moment of its blink.
class CClock : public zu::ITimer
{
  public:
    uint32_t getRealTime() const override
    {
        if (stopped) return stoppedAt;
        return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - m_start)
                            .count());
    }
    double getSeconds() const override { return getRealTime() * 0.001; }

    bool stopped = false;
    uint32_t stoppedAt = 0;

  private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// ImageMagick drawings of the skin images, packed by the packer.
const char* const kSkinImages[][2] = {
    {"TextButtonNormal", "-fill '#cfe0f5' -stroke '#4a6a96' -draw 'roundrectangle 0,0 61,23 5,5'"},
    {"TextButtonHighlighted",
     "-fill '#e8f2ff' -stroke '#2f5fa0' -draw 'roundrectangle 0,0 61,23 5,5'"},
    {"TextButtonPressed", "-fill '#9dbbe3' -stroke '#2f5fa0' -draw 'roundrectangle 0,0 61,23 5,5'"},
    {"TextButtonDisabled",
     "-fill '#dddddd' -stroke '#a0a0a0' -draw 'roundrectangle 0,0 61,23 5,5'"},
    {"CheckboxNormal", "-fill white -stroke '#4a6a96' -draw 'rectangle 0,0 15,15'"},
    {"CheckboxHighlighted", "-fill '#e8f2ff' -stroke '#2f5fa0' -draw 'rectangle 0,0 15,15'"},
    {"CheckboxDisabled", "-fill '#dddddd' -stroke '#a0a0a0' -draw 'rectangle 0,0 15,15'"},
    {"CheckboxCheckedNormal", "-fill white -stroke '#4a6a96' -draw 'rectangle 0,0 15,15' "
                              "-fill none -stroke '#1b3563' -strokewidth 2 "
                              "-draw 'polyline 3,8 6,11 12,4'"},
    {"CheckboxCheckedHighlighted", "-fill '#e8f2ff' -stroke '#2f5fa0' -draw 'rectangle 0,0 15,15' "
                                   "-fill none -stroke '#1b3563' -strokewidth 2 "
                                   "-draw 'polyline 3,8 6,11 12,4'"},
    {"CheckboxCheckedDisabled", "-fill '#dddddd' -stroke '#a0a0a0' -draw 'rectangle 0,0 15,15' "
                                "-fill none -stroke '#808080' -strokewidth 2 "
                                "-draw 'polyline 3,8 6,11 12,4'"},
    {"RadiobuttonNormal", "-fill white -stroke '#4a6a96' -draw 'circle 7.5,7.5 7.5,0.5'"},
    {"RadiobuttonHighlighted", "-fill '#e8f2ff' -stroke '#2f5fa0' -draw 'circle 7.5,7.5 7.5,0.5'"},
    {"RadiobuttonDisabled", "-fill '#dddddd' -stroke '#a0a0a0' -draw 'circle 7.5,7.5 7.5,0.5'"},
    {"RadiobuttonCheckedNormal", "-fill white -stroke '#4a6a96' -draw 'circle 7.5,7.5 7.5,0.5' "
                                 "-fill '#1b3563' -stroke none -draw 'circle 7.5,7.5 7.5,4'"},
    {"RadiobuttonCheckedHighlighted",
     "-fill '#e8f2ff' -stroke '#2f5fa0' -draw 'circle 7.5,7.5 7.5,0.5' "
     "-fill '#1b3563' -stroke none -draw 'circle 7.5,7.5 7.5,4'"},
    {"RadiobuttonCheckedDisabled",
     "-fill '#dddddd' -stroke '#a0a0a0' -draw 'circle 7.5,7.5 7.5,0.5' "
     "-fill '#808080' -stroke none -draw 'circle 7.5,7.5 7.5,4'"},
};

// Window borders and a close button for the container widgets.
const char* const kWindowImages[][3] = {
    {"WindowTopLeft", "8x22", "-fill '#2f5fa0' -draw 'rectangle 0,0 7,21'"},
    {"WindowTop", "8x22",
     "-fill '#3c6fb4' -draw 'rectangle 0,0 7,21' -fill '#7fa6d8' -draw 'line 0,0 7,0'"},
    {"WindowTopRight", "24x22", "-fill '#2f5fa0' -draw 'rectangle 0,0 23,21'"},
    {"WindowLeft", "3x8", "-fill '#2f5fa0' -draw 'rectangle 0,0 2,7'"},
    {"WindowRight", "3x8", "-fill '#2f5fa0' -draw 'rectangle 0,0 2,7'"},
    {"WindowBottomLeft", "3x3", "-fill '#2f5fa0' -draw 'rectangle 0,0 2,2'"},
    {"WindowBottom", "8x3", "-fill '#2f5fa0' -draw 'rectangle 0,0 7,2'"},
    {"WindowBottomRight", "3x3", "-fill '#2f5fa0' -draw 'rectangle 0,0 2,2'"},
    {"WindowBackground", "16x16", "-fill '#e4ecf6' -draw 'rectangle 0,0 15,15'"},
    {"CloseBtnNormal", "16x16",
     "-fill '#c04040' -draw 'rectangle 0,0 15,15' -stroke white "
     "-strokewidth 2 -draw 'line 4,4 11,11' -draw 'line 11,4 4,11'"},
    {"CloseBtnHighlighted", "16x16",
     "-fill '#e05050' -draw 'rectangle 0,0 15,15' -stroke white "
     "-strokewidth 2 -draw 'line 4,4 11,11' -draw 'line 11,4 4,11'"},
    {"CloseBtnPressed", "16x16",
     "-fill '#902020' -draw 'rectangle 0,0 15,15' -stroke white "
     "-strokewidth 2 -draw 'line 4,4 11,11' -draw 'line 11,4 4,11'"},
};

class GuiWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        folder = fs::temp_directory_path() / ("pellora-gui-" + std::to_string(getpid()));
        fs::create_directories(folder);
        device = new kelvo::CDeviceSDL("0.7", "", clock);
        ASSERT_TRUE(device->isReady());
        device->setDriverType(zu::EDT_OPENGL);
        ASSERT_TRUE(device->createWindow({320, 240}, false, false, false, 0));
        // One caption per test: a window of an earlier test that the X
        // server still lists must never be the one xdotool finds.
        static int windows = 0;
        caption = "pellora-gui-test-" + std::to_string(getpid()) + "-" + std::to_string(++windows);
        device->setWindowCaption(caption.c_str());
        driver = device->getVideoDriver();
        gui = device->getGUIEnvironment();
        ASSERT_TRUE(driver && gui);
        device->setEventReceiver(&clicks);
    }
    void TearDown() override
    {
        if (device) device->drop();
        clock->drop();
        if (!folder.empty()) fs::remove_all(folder);
    }

    // Makes the skin package with ImageMagick and the packer; withWindows
    // adds the window borders and the close button.
    zu::video::ISpritePackage* makeSkinPackage(bool withWindows = false)
    {
        const fs::path frames = folder / "skin";
        fs::create_directories(frames);
        if (withWindows)
            for (const auto& image : kWindowImages)
            {
                const std::string command = std::string("convert -size ") + image[1] + " xc:none " +
                                            image[2] + " '" + (frames / image[0]).string() +
                                            ".png'";
                EXPECT_EQ(system(command.c_str()), 0) << command;
            }
        for (const auto& image : kSkinImages)
        {
            const bool small = std::string(image[0]).find("TextButton") == std::string::npos;
            const std::string command = std::string("convert -size ") +
                                        (small ? "16x16" : "62x24") + " xc:none " + image[1] +
                                        " '" + (frames / image[0]).string() + ".png'";
            EXPECT_EQ(system(command.c_str()), 0) << command;
        }
        const std::string package = (folder / "skin.spr").string();
        EXPECT_EQ(system(("'" PELLORA_SPRITEPACK "' '" + frames.string() + "' '" + package +
                          "' > /dev/null")
                             .c_str()),
                  0);
        return driver->getSpritePackage(package.c_str(), false, true);
    }

    // A 32 x 32 picture: a sunset of three bands with a sun.
    zu::video::ITexture* picture()
    {
        uint8_t* data = new uint8_t[32 * 32 * 4];
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                const int dx = x - 16, dy = y - 18;
                uint32_t c = y < 18 ? 0xFF3C78D8 : y < 24 ? 0xFF6AA84F : 0xFF38761D;
                if (dx * dx + dy * dy < 36 && y < 18) c = 0xFFF1C232;
                memcpy(data + (y * 32 + x) * 4, &c, 4);
            }
        zu::video::IImage* image = driver->wrapImageData(zu::video::ECF_A8R8G8B8, {32, 32}, data);
        zu::video::ITexture* texture = driver->addTexture(image, "sunset");
        image->drop();
        return texture;
    }

    // The dialog: a frame with a title, a label, two check boxes, a radio
    // list, a picture beside a bordered wrapped text, a text button and a
    // row of buttons (one hovered with its tool-tip, one switched on, one
    // disabled).
    struct SDialog
    {
        IGUIWindow* frame;
        IGUIButton* ok;
        IGUIButton* cancel;
        IGUIButton* pause;
        IGUIButton* apply;
        IGUICheckBox* music;
    };
    SDialog buildDialog()
    {
        SDialog d{};
        IGUISkin* skin = gui->getSkin();
        d.frame = gui->addFrame({16, 12, 304, 228});
        IGUIStaticText* title =
            gui->addStaticText("Game options", {6, 3, 200, 19}, false, false, d.frame);
        title->setOverrideColor(skin->getColor(6));
        title->setTextAlignment(EGUIA_UPPERLEFT, EGUIA_CENTER);
        gui->addStaticText("Choose how the game plays.", {12, 26, 276, 40}, false, false, d.frame);
        gui->addCheckBox(true, {12, 44, 130, 64}, d.frame, 1, "Sound");
        d.music = gui->addCheckBox(false, {12, 66, 130, 86}, d.frame, 2, "Music");
        IGUIRadioList* level = gui->addRadioList({160, 42, 260, 52}, d.frame, 3);
        for (const char* name : {"Easy", "Normal", "Hard"})
            level->addRadioButton(name);
        level->setSelection(1);
        IGUIImage* image = gui->addImage({12, 110, 44, 142}, d.frame, 4);
        image->setTexture(picture());
        gui->addStaticText("A bordered text that wraps onto a second line.", {52, 110, 276, 142},
                           true, true, d.frame);
        IGUIElement* help =
            gui->addTextButton("Help", "", "", nullptr, skin->getColor(5), d.frame, 5);
        help->moveTo(12, 154);
        d.ok = gui->addButton({12, 180, 74, 204}, d.frame, 6, "OK");
        d.cancel = gui->addButton({80, 180, 142, 204}, d.frame, 7, "Cancel");
        d.pause = gui->addButton({148, 180, 210, 204}, d.frame, 8, "Pause");
        d.pause->setIsPushButton(true);
        d.pause->setPressed(true);
        d.apply = gui->addButton({216, 180, 278, 204}, d.frame, 9, "Apply");
        d.apply->setEnabled(false);
        gui->addToolTip(d.cancel, "Leave unsaved");
        // The mouse over Cancel: highlighted, with its tool-tip.
        gui->postEventFromUser(zu::event::SEngineEvent::makeMouse(zu::event::MouseMoved, 127, 200));
        return d;
    }

    SImage drawFrame()
    {
        driver->beginScene(true, true, BACKGROUND);
        gui->drawAll();
        SImage frame = readBackBuffer(driver);
        driver->endScene();
        return frame;
    }

    // Pumps the window's events and draws until the condition holds or 10 s
    // have passed.
    bool pumpUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end)
        {
            device->run();
            driver->beginScene(true, true, BACKGROUND);
            gui->drawAll();
            driver->endScene();
            if (done()) return true;
            SDL_Delay(10);
        }
        return false;
    }

    void pumpFor(int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        pumpUntil([&] { return std::chrono::steady_clock::now() >= end; });
    }

    // Clicks at a point of the window from outside, as a person would.
    bool clickWithXdotool(int x, int y)
    {
        return xdotool("mousemove --window %W " + std::to_string(x) + " " + std::to_string(y) +
                       " click 1");
    }

    // Runs xdotool with the arguments, %W standing for the window, once the
    // window is there. Without a window manager the keyboard follows the
    // pointer, so keys go to the window while the pointer is over it.
    bool xdotool(std::string arguments)
    {
        if (windowId.empty())
        {
            // Bounded: a window that never shows fails the test, not the run.
            windowId =
                run("timeout 20 xdotool search --sync --name '^" + caption + "$' | head -1");
            while (!windowId.empty() && (windowId.back() == '\n'))
                windowId.pop_back();
            if (windowId.empty()) return false;
            pumpFor(300); // until the window is mapped and drawn
        }
        for (size_t at = arguments.find("%W"); at != std::string::npos;
             at = arguments.find("%W", at))
            arguments.replace(at, 2, windowId);
        return system(("timeout 20 xdotool " + arguments).c_str()) == 0;
    }

    // The form: a name box (focused, "player" selected, the caret shown), a
    // password box, a list of levels with the fourth chosen, scrolled a
    // little, and a volume bar.
    struct SForm
    {
        IGUIEditBox* name;
        IGUIEditBox* password;
        IGUIListBox* levels;
        IGUIScrollBar* volume;
    };
    SForm buildForm()
    {
        SForm f{};
        IGUISkin* skin = gui->getSkin();
        IGUIWindow* frame = gui->addFrame({8, 8, 312, 232});
        gui->addStaticText("Name", {12, 28, 60, 48}, false, false, frame);
        f.name = gui->addEditBox("Pellora player", {60, 26, 240, 48}, true, frame, 1);
        gui->addStaticText("Secret", {12, 54, 60, 74}, false, false, frame);
        f.password = gui->addEditBox("hidden", {60, 52, 240, 74}, true, frame, 2);
        f.password->setPassword(true);
        f.levels = gui->addListBox({12, 80, 200, 180}, frame, 3);
        for (int i = 1; i <= 12; ++i)
            f.levels->addItem(("Level " + std::to_string(i)).c_str(), nullptr, skin->getColor(8));
        f.levels->setSelectable(true);
        f.levels->setSelected(3);
        f.levels->getScrollBar()->setPos(25);
        f.volume = gui->addScrollBar(true, {12, 190, 292, 210}, frame, 4);
        f.volume->setPos(30);
        clock->stopped = true;
        clock->stoppedAt = 10000;
        f.name->grabFocus();
        using zu::event::SEngineEvent;
        gui->postEventFromUser(SEngineEvent::makeKey(35, zu::event::KeyPressed));
        for (int i = 0; i < 6; ++i)
            gui->postEventFromUser(SEngineEvent::makeKey(37, zu::event::KeyPressed, 0, true));
        return f;
    }

    // The settings dialog: a window with a name box, a tab control whose
    // Video page holds a resolution combo box and a full-screen check box
    // and whose Sound page holds a music check box, and OK and Cancel.
    struct SSettings
    {
        IGUIWindow* window;
        IGUIEditBox* name;
        IGUITabControl* tabs;
        IGUIComboBox* resolution;
        IGUICheckBox* fullscreen;
        IGUICheckBox* music;
        IGUIButton* ok;
        IGUIButton* cancel;
    };
    SSettings buildSettings()
    {
        SSettings s{};
        s.window = gui->addWindow({10, 10, 310, 230}, false, "Settings");
        const zu::video::SRecti content = s.window->getContentArea();
        const int32_t x = content.left + 6, y = content.top + 4;
        gui->addStaticText("Name", {x, y + 2, x + 40, y + 20}, false, false, s.window);
        s.name = gui->addEditBox("Player", {x + 44, y, x + 200, y + 22}, true, s.window, 1);
        s.tabs = gui->addTabControl({x, y + 28, x + 284, y + 150}, s.window, true, true, 2);
        IGUITab* video = s.tabs->addTab("Video", 10);
        IGUITab* sound = s.tabs->addTab("Sound", 11);
        s.resolution = gui->addComboBox({8, 8, 160, 28}, video, 3);
        for (const char* mode : {"640 x 480", "800 x 600", "1024 x 768"})
            s.resolution->addItem(mode);
        s.fullscreen = gui->addCheckBox(false, {8, 36, 160, 56}, video, 4, "Full screen");
        s.music = gui->addCheckBox(true, {8, 8, 160, 28}, sound, 5, "Music");
        const int32_t by = y + 154;
        s.ok = gui->addButton({x + 140, by, x + 206, by + 24}, s.window, 6, "OK");
        s.cancel = gui->addButton({x + 212, by, x + 278, by + 24}, s.window, 7, "Cancel");
        return s;
    }

    fs::path folder;
    std::string caption;
    std::string windowId;
    CClock* clock = new CClock();
    kelvo::CDeviceSDL* device = nullptr;
    zu::video::IVideoDriver* driver = nullptr;
    IGUIEnvironment* gui = nullptr;
    CClicks clicks;
};

bool haveXdotool()
{
    return system("command -v xdotool > /dev/null") == 0;
}

bool haveXclip()
{
    return system("command -v xclip > /dev/null") == 0;
}

} // namespace

TEST_F(GuiWindowTest, ADialogOfEveryBasicWidgetInSkinColours)
{
    const SDialog d = buildDialog();
    const SImage frame = drawFrame();
    // The frame: light upper-left edge, dark lower-right edge, the title bar.
    EXPECT_TRUE(near(frame.at(16, 12), 0xFF, 0xFF, 0xFF, 0));
    EXPECT_TRUE(near(frame.at(303, 227), 0x32, 0x32, 0x32, 0));
    EXPECT_TRUE(near(frame.at(302, 226), 0x82, 0x82, 0x82, 0));
    EXPECT_TRUE(near(frame.at(250, 20), 0x10, 0x0E, 0x73, 0));
    EXPECT_TRUE(near(frame.at(150, 60), 0xD2, 0xD2, 0xD2, 0)) << "the face";
    // OK, raised: light edge, dark shadow, shadow, face.
    const zu::video::SRecti& ok = d.ok->getAbsolutePosition();
    EXPECT_TRUE(near(frame.at(ok.left, ok.top), 0xFF, 0xFF, 0xFF, 0));
    EXPECT_TRUE(near(frame.at(ok.right - 1, ok.bottom - 1), 0x32, 0x32, 0x32, 0));
    EXPECT_TRUE(near(frame.at(ok.right - 2, ok.bottom - 2), 0x82, 0x82, 0x82, 0));
    EXPECT_TRUE(near(frame.at(ok.left + 3, ok.top + 3), 0xD2, 0xD2, 0xD2, 0));
    // Pause, switched on: sunken.
    const zu::video::SRecti& pause = d.pause->getAbsolutePosition();
    EXPECT_TRUE(near(frame.at(pause.left, pause.top), 0x32, 0x32, 0x32, 0));
    EXPECT_TRUE(near(frame.at(pause.left + 1, pause.top + 1), 0x82, 0x82, 0x82, 0));
    EXPECT_TRUE(near(frame.at(pause.right - 1, pause.bottom - 1), 0xFF, 0xFF, 0xFF, 0));
    // The unchecked box is white inside its edges.
    const zu::video::SRecti& music = d.music->getAbsolutePosition();
    EXPECT_TRUE(near(frame.at(music.left + 4, music.top + 5), 0xFF, 0xFF, 0xFF, 0));
    EXPECT_TRUE(near(frame.at(music.left, music.top + 2), 0x82, 0x82, 0x82, 0));
    // The tool-tip above Cancel: white text on the title colour.
    ASSERT_NE(d.cancel->getToolTip(), nullptr);
    const zu::video::SRecti& tip = d.cancel->getToolTip()->getAbsolutePosition();
    EXPECT_EQ(tip.bottom, d.cancel->getAbsolutePosition().top - 10);
    int title = 0, white = 0;
    for (int y = tip.top; y < tip.bottom; ++y)
        for (int x = tip.left; x < tip.right; ++x)
        {
            title += near(frame.at(x, y), 0x10, 0x0E, 0x73, 0);
            white += near(frame.at(x, y), 0xFF, 0xFF, 0xFF, 0);
        }
    const int area = tip.getWidth() * tip.getHeight();
    EXPECT_GT(title, area / 2);
    EXPECT_GT(white, area / 20);
    expectGolden(frame, "gui_dialog");
}

TEST_F(GuiWindowTest, TheSameDialogFromASkinPackageMadeByThePacker)
{
    zu::video::ISpritePackage* package = makeSkinPackage();
    ASSERT_NE(package, nullptr);
    gui->getSkin()->setSpritePackage(package);
    EXPECT_EQ(gui->getSkin()->getSize(6), 62);
    EXPECT_EQ(gui->getSkin()->getSize(3), 16);
    const SDialog d = buildDialog();
    const SImage frame = drawFrame();
    // OK in the Normal image's fill, Cancel in the Highlighted one, Pause
    // pressed, Apply disabled.
    const auto inside = [&](IGUIButton* b)
    {
        const zu::video::SRecti& r = b->getAbsolutePosition();
        return frame.at(r.left + 6, r.top + 4);
    };
    EXPECT_TRUE(near(inside(d.ok), 0xCF, 0xE0, 0xF5, 2));
    EXPECT_TRUE(near(inside(d.cancel), 0xE8, 0xF2, 0xFF, 2));
    EXPECT_TRUE(near(inside(d.pause), 0x9D, 0xBB, 0xE3, 2));
    EXPECT_TRUE(near(inside(d.apply), 0xDD, 0xDD, 0xDD, 2));
    expectGolden(frame, "gui_dialog_skin");
}

TEST_F(GuiWindowTest, ARealClickSwitchesAPushButtonOn)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    IGUIButton* button = gui->addButton({100, 100, 180, 130}, nullptr, 1, "Toggle");
    button->setIsPushButton(true);
    ASSERT_TRUE(clickWithXdotool(140, 115));
    EXPECT_TRUE(pumpUntil([&] { return !clicks.clicked.empty(); }));
    EXPECT_TRUE(button->isPressed());
    ASSERT_EQ(clicks.clicked.size(), 1u);
    EXPECT_EQ(clicks.clicked[0], button);
}

TEST_F(GuiWindowTest, WithHalfTheRenderSizeAClickOnTheDrawnButtonHitsIt)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    driver->setRenderScreenSize(160, 120);
    IGUIButton* button = gui->addButton({40, 40, 100, 70}, nullptr, 1);
    const SImage frame = drawFrame();
    // Drawn twice as large: from (80, 80) to (200, 140) on the window.
    EXPECT_TRUE(near(frame.at(140, 110), 0xD2, 0xD2, 0xD2, 0));
    EXPECT_TRUE(near(frame.at(70, 55), 0x2B, 0x3A, 0x4A, 0));
    // Where the button would be if window pixels were render pixels: a miss.
    ASSERT_TRUE(clickWithXdotool(70, 55));
    pumpUntil([&] { return gui->getLastMousePosition().x == 35; });
    EXPECT_EQ(gui->getLastMousePosition().y, 27);
    EXPECT_TRUE(clicks.clicked.empty());
    ASSERT_TRUE(clickWithXdotool(140, 110));
    EXPECT_TRUE(pumpUntil([&] { return !clicks.clicked.empty(); }));
    ASSERT_EQ(clicks.clicked.size(), 1u);
    EXPECT_EQ(clicks.clicked[0], button);
}

TEST_F(GuiWindowTest, AFormOfEditBoxesAListBoxAndAScrollBar)
{
    const SForm f = buildForm();
    const SImage frame = drawFrame();
    // "player" selected in the name box: the selection colour behind it,
    // its text in the selection's text colour.
    const zu::video::SRecti& name = f.name->getAbsolutePosition();
    int selection = 0;
    for (int x = name.left; x < name.right; ++x)
        selection += near(frame.at(x, name.top + 4), 0x08, 0x24, 0x6B, 2);
    EXPECT_GT(selection, 30);
    // The chosen level: tinted with its band on the left edge.
    const zu::video::SRecti& chosen = f.levels->getListItem(3)->getAbsolutePosition();
    const uint8_t* band = frame.at(chosen.left, (chosen.top + chosen.bottom) / 2);
    const uint8_t* face = frame.at(150, 100);
    EXPECT_TRUE(near(face, 0xD2, 0xD2, 0xD2, 0)) << "the frame's face behind the list";
    EXPECT_GT(band[0], 0xD2) << "a light band";
    // The volume bar's track and its thumb, 30 of 100 along.
    const zu::video::SRecti& volume = f.volume->getAbsolutePosition();
    EXPECT_TRUE(near(frame.at(volume.left + 25, volume.top + 10), 0xE6, 0xE6, 0xE6, 0));
    expectGolden(frame, "gui_form");
}

TEST_F(GuiWindowTest, RealTypingAndPasteGoIntoTheFocusedEditBox)
{
    if (!haveXdotool() || !haveXclip()) GTEST_SKIP() << "needs xdotool and xclip";
    IGUIEditBox* box = gui->addEditBox("", {40, 40, 280, 64}, true, nullptr, 1);
    ASSERT_TRUE(clickWithXdotool(100, 52));
    ASSERT_TRUE(pumpUntil([&] { return gui->hasFocus(box); }));
    ASSERT_TRUE(xdotool("type --delay 30 'Hello, world'"));
    EXPECT_TRUE(pumpUntil([&] { return box->getText().str() == "Hello, world"; }))
        << box->getText().str();
    // xclip keeps serving the clipboard until the X server goes.
    ASSERT_EQ(system("printf ' and more' | xclip -selection clipboard 2> /dev/null"), 0);
    ASSERT_TRUE(xdotool("key ctrl+v"));
    EXPECT_TRUE(pumpUntil([&] { return box->getText().str() == "Hello, world and more"; }))
        << box->getText().str();
    EXPECT_EQ(clicks.keys, 0) << "no key got past the focused box";
    // The text is on the screen: dark pixels inside the box.
    const SImage frame = drawFrame();
    int ink = 0;
    for (int y = 44; y < 60; ++y)
        for (int x = 44; x < 276; ++x)
            ink += frame.at(x, y)[0] < 0x40;
    EXPECT_GT(ink, 60);
}

TEST_F(GuiWindowTest, TheRealWheelScrollsAListBoxAndAClickChoosesWhatIsShown)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    IGUIListBox* list = gui->addListBox({40, 40, 240, 200}, nullptr, 1);
    for (int i = 0; i < 30; ++i)
        list->addItem(("Entry " + std::to_string(i)).c_str());
    list->setSelectable(true);
    IGUIScrollBar* bar = list->getScrollBar();
    bar->setPos(0);
    // Down two notches, then up one.
    ASSERT_TRUE(xdotool("mousemove --window %W 100 100 click 5 click 5"));
    EXPECT_TRUE(pumpUntil([&] { return bar->getPos() == 20; })) << bar->getPos();
    ASSERT_TRUE(xdotool("click 4"));
    EXPECT_TRUE(pumpUntil([&] { return bar->getPos() == 10; })) << bar->getPos();
    // The item under the pointer now is the one chosen.
    int32_t under = -1;
    for (int32_t i = 0; i < list->getItemCount(); ++i)
        if (zu::gui::isInside(list->getListItem(i)->getAbsolutePosition(), {100, 120})) under = i;
    ASSERT_GT(under, 0);
    ASSERT_TRUE(clickWithXdotool(100, 120));
    EXPECT_TRUE(pumpUntil([&] { return list->getSelected() == under; })) << list->getSelected();
    EXPECT_EQ(clicks.reports.back(), zu::event::GuiListBoxChanged);
}

TEST_F(GuiWindowTest, DraggingAScrollBarThumbWithTheRealMouse)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    // Arrows of 20 at x 20 and 280, a track of 240 and a thumb of 20: with a
    // maximum of 110 every position is two pixels, the thumb held by its
    // middle at x 50 + 2 * position.
    IGUIScrollBar* bar = gui->addScrollBar(true, {20, 200, 300, 220}, nullptr, 1);
    bar->setMax(110);
    ASSERT_TRUE(xdotool("mousemove --window %W 50 210 mousedown 1 mousemove --window %W 90 210 "
                        "mousemove --window %W 150 210 mouseup 1"));
    EXPECT_TRUE(pumpUntil([&] { return !bar->isDragging() && bar->getPos() == 50; }))
        << bar->getPos();
    const SImage frame = drawFrame();
    // The thumb (a raised block) now covers x 140 to 160, the track before
    // it.
    EXPECT_TRUE(near(frame.at(150, 210), 0xD2, 0xD2, 0xD2, 0));
    EXPECT_TRUE(near(frame.at(130, 210), 0xE6, 0xE6, 0xE6, 0));
}

TEST_F(GuiWindowTest, ASettingsWindowWithTabsAndAComboBox)
{
    const SSettings s = buildSettings();
    SImage frame = drawFrame();
    // The title bar, the face of the page, the combo's field.
    EXPECT_TRUE(near(frame.at(100, 14), 0x10, 0x0E, 0x73, 0));
    const zu::video::SRecti& combo = s.resolution->getAbsolutePosition();
    EXPECT_TRUE(near(frame.at(combo.left + 100, combo.top + 10), 0xFF, 0xFF, 0xFF, 0));
    expectGolden(frame, "gui_settings");
    // Open: the list below the box, the current mode marked.
    s.resolution->toggle();
    ASSERT_NE(s.resolution->getDropDown(), nullptr);
    frame = drawFrame();
    expectGolden(frame, "gui_combo_open");
}

TEST_F(GuiWindowTest, TheSettingsWindowFromASkinPackage)
{
    zu::video::ISpritePackage* package = makeSkinPackage(true);
    ASSERT_NE(package, nullptr);
    gui->getSkin()->setSpritePackage(package);
    const SSettings s = buildSettings();
    const zu::video::SRecti content = s.window->getContentArea();
    EXPECT_EQ(content.left, 3);
    EXPECT_EQ(content.top, 22);
    EXPECT_EQ(content.right, 297);
    EXPECT_EQ(content.bottom, 217);
    const SImage frame = drawFrame();
    // The window's background image inside the border, the title piece.
    EXPECT_TRUE(near(frame.at(15, 220), 0xE4, 0xEC, 0xF6, 2));
    EXPECT_TRUE(near(frame.at(100, 20), 0x3C, 0x6F, 0xB4, 2));
    expectGolden(frame, "gui_settings_skin");
}

TEST_F(GuiWindowTest, AMessageBoxWithAndWithoutASkinPackage)
{
    for (bool skinned : {false, true})
    {
        SCOPED_TRACE(skinned);
        if (skinned)
        {
            zu::video::ISpritePackage* package = makeSkinPackage(true);
            ASSERT_NE(package, nullptr);
            gui->getSkin()->setSpritePackage(package);
        }
        gui->getSkin()->setSize(4, 280);
        IGUIElement* box =
            gui->addMessageBox("Quit", "Leave the game now? Unsaved progress is lost.", true,
                               zu::gui::EMBF_OK | zu::gui::EMBF_CANCEL);
        ASSERT_NE(box, nullptr);
        const SImage frame = drawFrame();
        expectGolden(frame, skinned ? "gui_message_box_skin" : "gui_message_box");
        gui->clear();
    }
}

TEST_F(GuiWindowTest, ASettingsDialogWorksWithTheRealMouseAndKeyboard)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    const SSettings s = buildSettings();
    // Dragged by its title 30 pixels right and 20 down.
    ASSERT_TRUE(xdotool("mousemove --window %W 100 15 mousedown 1 mousemove --window %W 115 25 "
                        "mousemove --window %W 130 35 mouseup 1"));
    EXPECT_TRUE(pumpUntil([&] { return s.window->getRelativePosition().left == 40; }))
        << s.window->getRelativePosition().left;
    EXPECT_EQ(s.window->getRelativePosition().top, 30);
    pumpFor(100);
    EXPECT_FALSE(s.window->isDragging());

    // The combo box: open it with its button, pick the third mode.
    const auto at = [&](IGUIElement* e, int dx = 0)
    {
        const zu::video::SRecti& r = e->getAbsolutePosition();
        return clickWithXdotool((r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2);
    };
    const zu::video::SRecti& combo = s.resolution->getAbsolutePosition();
    ASSERT_TRUE(clickWithXdotool(combo.right - 8, (combo.top + combo.bottom) / 2));
    ASSERT_TRUE(pumpUntil([&] { return s.resolution->getDropDown() != nullptr; }));
    IGUIElement* third = s.resolution->getDropDown()->getListItem(2);
    ASSERT_NE(third, nullptr);
    ASSERT_TRUE(at(third));
    EXPECT_TRUE(pumpUntil([&] { return s.resolution->getSelected() == 2; }));
    EXPECT_EQ(s.resolution->getDropDown(), nullptr);
    EXPECT_TRUE(clicks.saw(zu::event::GuiComboBoxChanged));

    ASSERT_TRUE(at(s.fullscreen, -40));
    EXPECT_TRUE(pumpUntil([&] { return s.fullscreen->isChecked(); }));
    // The Sound page: its header is the second one.
    const zu::video::SRecti header =
        static_cast<kelvo::gui::CGUITabControl*>(s.tabs)->getHeaderRect(1);
    ASSERT_TRUE(clickWithXdotool((header.left + header.right) / 2, header.top + 10));
    EXPECT_TRUE(pumpUntil([&] { return s.tabs->getActiveTab() == 1; }));
    EXPECT_TRUE(s.music->isVisible());
    ASSERT_TRUE(at(s.music, -40));
    EXPECT_TRUE(pumpUntil([&] { return !s.music->isChecked(); }));

    // The keyboard: a new name typed into the box.
    ASSERT_TRUE(at(s.name));
    ASSERT_TRUE(pumpUntil([&] { return gui->hasFocus(s.name); }));
    ASSERT_TRUE(xdotool("key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace "
                        "type --delay 30 'Kim'"));
    EXPECT_TRUE(pumpUntil([&] { return s.name->getText().str() == "Kim"; }))
        << s.name->getText().str();

    ASSERT_TRUE(at(s.ok));
    EXPECT_TRUE(pumpUntil(
        [&] {
            return std::find(clicks.clicked.begin(), clicks.clicked.end(), s.ok) !=
                   clicks.clicked.end();
        }));
}

TEST_F(GuiWindowTest, ARealClickChoosesAPopupMenuEntry)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    IGUIPopupMenu* popup =
        gui->addPopupMenu({60, 60}, 120, "Actions", nullptr, nullptr, nullptr, 5);
    popup->addItem("Open", 11);
    popup->addItem("Delete", 12);
    const IGUIElement* entry = *std::next(popup->getItemFrame()->getChildren().begin(), 2);
    const zu::video::SRecti& r = entry->getAbsolutePosition();
    ASSERT_TRUE(xdotool("mousemove --window %W " + std::to_string(r.left + 20) + " " +
                        std::to_string((r.top + r.bottom) / 2)));
    ASSERT_TRUE(pumpUntil([&] { return popup->getHoveredItem() == 1; }));
    ASSERT_TRUE(xdotool("click 1"));
    ASSERT_TRUE(pumpUntil([&] { return clicks.saw(zu::event::GuiPopupClosed); }));
    const auto chosen = std::find(clicks.reports.begin(), clicks.reports.end(),
                                  int32_t(zu::event::GuiPopupClicked));
    ASSERT_NE(chosen, clicks.reports.end());
    EXPECT_EQ(clicks.callerIds[size_t(chosen - clicks.reports.begin())], 12);
    EXPECT_TRUE(gui->getRootGUIElement()->getChildren().empty());
}

TEST_F(GuiWindowTest, EnterAnswersAModalMessageBox)
{
    if (!haveXdotool()) GTEST_SKIP() << "needs xdotool";
    gui->getSkin()->setSize(4, 280);
    gui->addMessageBox("Quit", "Leave the game?", true, zu::gui::EMBF_OK | zu::gui::EMBF_CANCEL);
    // Without a window manager the keys go where the pointer is.
    ASSERT_TRUE(xdotool("mousemove --window %W 160 230 key Return"));
    EXPECT_TRUE(pumpUntil([&] { return clicks.saw(zu::event::GuiMessageBoxOk); }));
    EXPECT_TRUE(gui->getRootGUIElement()->getChildren().empty()) << "the modal screen went too";
}
