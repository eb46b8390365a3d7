// The basic widgets on the recording driver: check boxes, radio lists,
// click areas and text buttons driven by posted input, and what buttons,
// check boxes, images and the shared frames draw, in skin colours and from
// a skin package.
#include "GuiTreeFixture.h"

#include "gui/CGUICheckBox.h"
#include "gui/GUIFrames.h"
#include "gui/IGUICheckBox.h"
#include "gui/IGUIImage.h"
#include "gui/IGUILayout.h"
#include "gui/IGUIRadioList.h"
#include "gui/IGUITextButton.h"
#include "video/ISpritePackage.h"

using namespace guitest;
using namespace zu::event;
using zu::gui::IGUIElement;
using zu::video::SRecti;

namespace
{

using Widgets = SkinnedGuiTree;

} // namespace

TEST_F(Widgets, ACheckBoxTogglesOnAClickOnIt)
{
    const struct
    {
        const char* name;
        bool enabled;
        int32_t releaseX;
        bool checked;
        std::vector<int32_t> events;
    } cases[] = {
        {"clicked", true, 30, true, {GuiCheckBoxToggled}},
        {"released outside", true, 400, false, {}},
        {"disabled", false, 30, false, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        zu::gui::IGUICheckBox* box = gui.addCheckBox(false, {10, 10, 200, 30}, nullptr, 5, "Sound");
        box->setEnabled(c.enabled);
        log.clear();
        press(30, 20);
        release(c.releaseX, 20);
        EXPECT_EQ(box->isChecked(), c.checked);
        std::vector<int32_t> toggles;
        for (int32_t type : userTypes())
            if (type == GuiCheckBoxToggled) toggles.push_back(type);
        EXPECT_EQ(toggles, c.events);
        box->remove();
    }
}

TEST_F(Widgets, ACheckBoxWithoutAParentKeepsItsStateAndLetsTheReleaseBubble)
{
    auto* box = new kelvo::gui::CGUICheckBox(m_env, nullptr, 5, {10, 10, 200, 30}, true, "Sound");
    EXPECT_TRUE(box->onEvent(SEngineEvent::makeMouse(LeftDown, 20, 20)));
    EXPECT_TRUE(box->isPressed());
    // Bubbling ends at an element without a parent, which consumes it.
    EXPECT_TRUE(box->onEvent(SEngineEvent::makeMouse(LeftUp, 20, 20)));
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isPressed());
    EXPECT_TRUE(log.empty());
    box->drop();
}

TEST_F(Widgets, ACheckBoxIsHighlightedWhileHovered)
{
    auto* box = static_cast<kelvo::gui::CGUICheckBox*>(
        gui.addCheckBox(false, {10, 10, 200, 30}, nullptr, 5, "Sound"));
    moveTo(30, 20);
    EXPECT_TRUE(box->isHighlighted());
    // The hover event goes on to the script.
    EXPECT_EQ(userTypes(), std::vector<int32_t>{GuiHovered});
    moveTo(400, 300);
    EXPECT_FALSE(box->isHighlighted());
}

TEST_F(Widgets, RadioItemsCarryTheNegativeListIdAndOneStaysChosen)
{
    zu::gui::IGUIRadioList* list = gui.addRadioList({50, 50, 60, 60}, nullptr, 1001005);
    const char* const captions[] = {"Easy", "Normal", "Hard"};
    for (const char* caption : captions)
        ASSERT_NE(list->addRadioButton(caption), nullptr);
    ASSERT_EQ(list->getItemCount(), 3);
    // Rows: skin size 8 high plus size 9, size 9 apart; each wide enough for
    // its box and caption.
    const int32_t rowHeight = skin()->getSize(8), spacing = skin()->getSize(9);
    int32_t widest = 0;
    for (int32_t i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        zu::gui::IGUICheckBox* item = list->getItem(i);
        EXPECT_EQ(item->getID(), -1001005);
        EXPECT_EQ(item->isChecked(), i == 0);
        const SRecti& r = item->getRelativePosition();
        EXPECT_EQ(r.left, 1);
        EXPECT_EQ(r.top, i * (rowHeight + 2 * spacing));
        EXPECT_EQ(r.getHeight(), rowHeight + spacing);
        // An item starts as wide as the one before it.
        widest = std::max(widest, r.getHeight() + CHAR * int32_t(strlen(captions[i])) +
                                      kelvo::gui::CGUICheckBox::TEXT_GAP);
        EXPECT_EQ(r.getWidth(), widest);
    }
    EXPECT_EQ(list->getRelativePosition().bottom,
              50 + list->getItem(2)->getRelativePosition().bottom);
    EXPECT_EQ(list->getSelection(), 0);

    auto clickItem = [&](int32_t index)
    {
        const SRecti& r = list->getItem(index)->getAbsolutePosition();
        click(r.left + 5, r.top + 5);
    };
    auto changes = [&]
    {
        const std::vector<int32_t> types = userTypes();
        return std::count(types.begin(), types.end(), GuiRadioChanged);
    };
    clickItem(2);
    EXPECT_EQ(changes(), 1);
    EXPECT_EQ(list->getSelection(), 2);
    EXPECT_FALSE(list->getItem(0)->isChecked());
    EXPECT_TRUE(list->getItem(2)->isChecked());
    // Clicking the chosen item leaves it chosen and tells nobody.
    log.clear();
    clickItem(2);
    EXPECT_EQ(changes(), 0);
    EXPECT_TRUE(list->getItem(2)->isChecked());
    EXPECT_EQ(list->getSelection(), 2);

    list->setSelection(7);
    EXPECT_EQ(list->getSelection(), 2);
    list->setSelection(1);
    EXPECT_EQ(list->getSelection(), 1);
    EXPECT_TRUE(list->getItem(1)->isChecked());
    EXPECT_FALSE(list->getItem(2)->isChecked());
    EXPECT_EQ(list->getItem(3), nullptr);
}

TEST_F(Widgets, AClickAreaReportsEveryButton)
{
    zu::gui::IGUILayout* area = gui.addClickArea({0, 0, 100, 100}, nullptr, 9);
    const struct
    {
        MouseAction action;
        GUIEventType report;
    } cases[] = {
        {LeftDown, GuiLeftPressed}, {RightDown, GuiRightPressed}, {MiddleDown, GuiMiddlePressed},
        {LeftUp, GuiLeftReleased},  {RightUp, GuiRightReleased},  {MiddleUp, GuiMiddleReleased},
    };
    moveTo(50, 50);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.action);
        log.clear();
        EXPECT_TRUE(post(SEngineEvent::makeMouse(c.action, 50, 50, 1)));
        EXPECT_EQ(log, (EventLog{{"user", area, c.report}}));
    }
    log.clear();
    EXPECT_FALSE(moveTo(60, 60));
    EXPECT_TRUE(log.empty());
    // Without a parent nobody hears of it, and the event is not consumed.
    area->grab();
    area->remove();
    EXPECT_FALSE(area->onEvent(SEngineEvent::makeMouse(LeftDown, 50, 50, 1)));
    area->drop();
}

TEST_F(Widgets, ATextButtonClicksOnAnyReleaseOverIt)
{
    zu::gui::IGUITextButton* button =
        gui.addTextButton("Start", "", "", nullptr, 0xFF102030, nullptr, 3);
    // Sized to its caption in the skin font.
    EXPECT_EQ(button->getRelativePosition().getWidth(), 5 * CHAR);
    EXPECT_EQ(button->getRelativePosition().getHeight(), LINE);
    EXPECT_FALSE(press(10, 5)) << "a press is not the text button's";
    release(10, 5);
    release(10, 5, RightUp);
    gui.setFocus(button);
    EXPECT_TRUE(post(SEngineEvent::makeKey(32, KeyReleased)));
    EXPECT_EQ(gui.getFocus(), nullptr);
    button->setEnabled(false);
    release(10, 5);
    std::vector<int32_t> clicks;
    for (const SLogged& e : log)
        if (e.caller == button && (e.type == GuiClicked || e.type == GuiRightClicked))
            clicks.push_back(e.type);
    EXPECT_EQ(clicks, (std::vector<int32_t>{GuiClicked, GuiRightClicked, GuiClicked}));
}

TEST_F(Widgets, AButtonDrawsARaisedFrameAndASunkenOneWhilePressed)
{
    IGUIElement* button = gui.addButton({10, 20, 90, 50}, nullptr, 1, "Go");
    const std::vector<SFill> raised = {
        {0, {10, 20, 90, 50}}, {3, {10, 20, 89, 49}}, {1, {11, 21, 89, 49}}, {2, {11, 21, 88, 48}}};
    const std::vector<SFill> sunken = {
        {3, {10, 20, 90, 50}}, {0, {10, 20, 89, 49}}, {1, {11, 21, 89, 49}}, {2, {12, 22, 89, 49}}};
    const struct
    {
        const char* name;
        std::function<void()> make;
        std::vector<SFill> frame;
        int32_t captionTop;
        int32_t captionColor;
    } cases[] = {
        // "Go" is 12 x 10, centred in 80 x 30.
        {"normal", [] {}, raised, 30, 8},
        {"pressed", [&] { press(20, 30); }, sunken, 31, 8},
        {"disabled", [&] { button->setEnabled(false); }, raised, 30, 9},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.make();
        drawFrame();
        EXPECT_EQ(fills(m_driver->rectangles, skin()), c.frame);
        for (const SRectangleCall& call : m_driver->rectangles)
        {
            EXPECT_TRUE(call.clipped);
            EXPECT_EQ(call.clip.right, 90);
        }
        ASSERT_EQ(m_driver->calls.size(), 2u);
        EXPECT_EQ(m_driver->calls[0].x, 10 + (80 - 12) / 2);
        EXPECT_EQ(m_driver->calls[0].y, c.captionTop);
        EXPECT_EQ(m_driver->calls[0].color, skin()->getColor(c.captionColor));
    }
}

TEST_F(Widgets, TheSharedFieldFrame)
{
    kelvo::gui::drawFieldFrame(m_driver, skin(), {0, 0, 50, 20}, nullptr);
    EXPECT_EQ(fills(m_driver->rectangles, skin()), (std::vector<SFill>{{3, {0, 0, 50, 20}},
                                                                       {1, {0, 0, 50, 1}},
                                                                       {1, {0, 0, 1, 20}},
                                                                       {3, {49, 0, 50, 20}},
                                                                       {3, {0, 19, 50, 20}}}));
}

TEST_F(Widgets, WithASkinPackageButtonsTakeTheirImagesAndCloseButtonsLoseTheirCaption)
{
    zu::video::ISpritePackage* package = useSkinPackage({{"TextButtonNormal", 60, 24},
                                                         {"TextButtonHighlighted", 60, 24},
                                                         {"TextButtonPressed", 60, 24},
                                                         {"TextButtonDisabled", 60, 24},
                                                         {"CloseBtnNormal", 16, 16},
                                                         {"CloseBtnHighlighted", 16, 16},
                                                         {"CloseBtnPressed", 16, 16},
                                                         {"CloseBtnDisabled", 16, 16}});
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(skin()->getSize(6), 60);
    EXPECT_EQ(skin()->getSize(7), 24);
    IGUIElement* plain = gui.addButton({10, 10, 200, 200}, nullptr, 1, "OK");
    IGUIElement* close = gui.addButton({300, 10, 400, 30}, nullptr, 2, "\x03");
    EXPECT_EQ(plain->getRelativePosition().getWidth(), 60);
    EXPECT_EQ(plain->getRelativePosition().getHeight(), 24);
    EXPECT_EQ(close->getRelativePosition().getWidth(), 16);
    EXPECT_TRUE(close->getText().empty());
    EXPECT_EQ(plain->getText(), "OK");

    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty()) << "images instead of frames";
    // The OK image, its caption (2 glyphs) and the close image.
    ASSERT_EQ(m_driver->calls.size(), 4u);
    EXPECT_EQ(m_driver->calls[0].x, 10);
    EXPECT_EQ(m_driver->calls[0].source.getWidth(), 60);
    EXPECT_EQ(m_driver->calls[3].source.getWidth(), 16);

    // A new size holds only until the size is read back.
    plain->setRelativePosition({10, 10, 110, 40});
    drawFrame();
    EXPECT_EQ(plain->getRelativePosition().getWidth(), 60);
    EXPECT_TRUE(plain->hasBeenResized());
    plain->setRelativePosition({10, 10, 110, 40});
    plain->hasBeenResized();
    drawFrame();
    EXPECT_EQ(plain->getRelativePosition().getWidth(), 100);

    // Without a package the code-3 caption stays: the built-in font's close mark.
    skin()->setSpritePackage(nullptr);
    EXPECT_EQ(gui.addButton({0, 0, 16, 16}, nullptr, 3, "\x03")->getText(), "\x03");
}

TEST_F(Widgets, ACheckBoxWithoutImagesDrawsItsBoxAndCheckMark)
{
    zu::gui::IGUICheckBox* box = gui.addCheckBox(true, {10, 10, 200, 30}, nullptr, 5, "Sound");
    drawFrame();
    // Skin size 3 (18) square, centred in the 20 pixels of height.
    const SRecti r = {10, 11, 28, 29};
    EXPECT_EQ(fills(m_driver->rectangles, skin()),
              (std::vector<SFill>{{3, r},
                                  {1, {10, 11, 27, 28}},
                                  {2, {11, 12, 27, 28}}, // colour 4 has colour 2's value
                                  {0, {11, 12, 26, 27}},
                                  {3, {12, 13, 26, 27}}})); // colour 6 is white, as 3 is
    // The check mark in the built-in font, then "Sound" after the box and a gap.
    ASSERT_FALSE(m_driver->calls.empty());
    const SImageCall& mark = m_driver->calls.front();
    EXPECT_EQ(mark.texture,
              static_cast<kelvo::gui::CGUIFont*>(m_env->getBuiltInFont())->getTexture());
    EXPECT_EQ(mark.color, skin()->getColor(8));
    const SImageCall& text = m_driver->calls[1];
    EXPECT_EQ(text.x, 10 + 18 + kelvo::gui::CGUICheckBox::TEXT_GAP);
    EXPECT_EQ(text.y, 10 + (20 - LINE) / 2);
    box->setChecked(false);
    drawFrame();
    EXPECT_EQ(m_driver->calls.size(), 5u) << "only the caption";
}

TEST_F(Widgets, AnImageWithoutAPictureIsARectangleOfColourZero)
{
    zu::gui::IGUIImage* image = gui.addImage({5, 5, 25, 15}, nullptr, 4, "logo");
    EXPECT_EQ(image->getText(), "logo");
    drawFrame();
    EXPECT_EQ(fills(m_driver->rectangles, skin()), (std::vector<SFill>{{0, {5, 5, 25, 15}}}));

    const std::string path = writePackage(m_folder + "/art.spr", {{"star", 12, 8}});
    image->setImage("star", m_driver->getSpritePackage(path.c_str(), false, true));
    EXPECT_EQ(image->getRelativePosition().getWidth(), 12);
    EXPECT_EQ(image->getRelativePosition().getHeight(), 8);
    image->setImageColor(0x80FFFFFF);
    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty());
    ASSERT_EQ(m_driver->calls.size(), 1u);
    EXPECT_EQ(m_driver->calls[0].x, 5);
    EXPECT_EQ(m_driver->calls[0].color, 0x80FFFFFFu);
}
