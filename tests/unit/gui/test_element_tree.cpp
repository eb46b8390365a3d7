// The element tree and the environment at its root: drawing and hit order,
// hover and focus with their events, the four layouts, clipping, tool-tips,
// the render-size mapping of the mouse, and elements removed while their own
// events are being handled.
#include "GuiTreeFixture.h"

#include "gui/CGUILayout.h"
#include "gui/CGUIStaticText.h"
#include "gui/IGUILayout.h"

#include <functional>

using namespace guitest;
using namespace zu::event;
using zu::gui::IGUIElement;
using zu::gui::IGUILayout;
using zu::video::SRecti;

namespace
{

bool sameRect(const SRecti& a, const SRecti& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult isRect(const SRecti& actual, const SRecti& expected)
{
    if (sameRect(actual, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.left << ", " << actual.top << ", " << actual.right << ", "
           << actual.bottom << "), expected (" << expected.left << ", " << expected.top << ", "
           << expected.right << ", " << expected.bottom << ")";
}

// A layout whose content area is 10 pixels inside its edges, as a framed
// window's is.
class CInsetLayout : public kelvo::gui::CGUILayout
{
  public:
    using CGUILayout::CGUILayout;
    SRecti getContentArea() const override
    {
        return {10, 10, m_relativeRect.getWidth() - 10, m_relativeRect.getHeight() - 10};
    }
};

// An element that takes Enter key events offered to it.
class CEnterTaker : public IGUIElement
{
  public:
    CEnterTaker(zu::gui::IGUIEnvironment* environment, IGUIElement* parent)
        : IGUIElement(zu::gui::EGUIET_ELEMENT, environment, parent, -1, {0, 0, 10, 10})
    {
    }
    bool offerKeyEvent(const SEngineEvent& event) override
    {
        ++offered;
        return event.key.key == 13;
    }
    int offered = 0;
};

class ElementTree : public GuiTree
{
  protected:
    // Two buttons side by side: A at (10, 10)-(90, 40), B at (100, 10)-(180, 40).
    void makeButtons()
    {
        a = new CLoggedButton(m_env, m_env, {10, 10, 90, 40}, "A", &log);
        b = new CLoggedButton(m_env, m_env, {100, 10, 180, 40}, "B", &log);
        a->drop();
        b->drop();
    }
    CLoggedButton* a = nullptr;
    CLoggedButton* b = nullptr;
};

} // namespace

TEST_F(ElementTree, LaterChildrenAreDrawnOverEarlierOnesAndHitFirst)
{
    IGUIElement* lower = gui.addButton({10, 10, 60, 60});
    IGUIElement* upper = gui.addButton({30, 30, 80, 80});
    auto firstDrawn = [&]
    {
        drawFrame();
        for (const SRectangleCall& call : m_driver->rectangles)
        {
            if (sameRect(call.rect, lower->getAbsolutePosition())) return lower;
            if (sameRect(call.rect, upper->getAbsolutePosition())) return upper;
        }
        return static_cast<IGUIElement*>(nullptr);
    };
    EXPECT_EQ(m_env->getElementFromPoint({40, 40}), upper);
    EXPECT_EQ(firstDrawn(), lower);
    EXPECT_TRUE(m_env->bringToFront(lower));
    EXPECT_EQ(m_env->getElementFromPoint({40, 40}), lower);
    EXPECT_EQ(firstDrawn(), upper);
    // Only children can be brought forward.
    EXPECT_FALSE(lower->bringToFront(upper));
}

TEST_F(ElementTree, AChildOfAnInvisibleParentIsNeitherHoveredNorDrawn)
{
    IGUILayout* layout = gui.addLayout({0, 0, 200, 200});
    IGUIElement* button = gui.addButton({10, 10, 60, 60}, layout);
    layout->setVisible(false);
    moveTo(20, 20);
    EXPECT_EQ(gui.getHovered(), m_env->getRootGUIElement());
    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty());
    EXPECT_EQ(m_env->getElementFromPoint({20, 20}), m_env->getRootGUIElement());
    layout->setVisible(true);
    EXPECT_EQ(m_env->getElementFromPoint({20, 20}), button);
}

TEST_F(ElementTree, HoverChangesSendLeftThenEnteredEvents)
{
    makeButtons();
    IGUIElement* root = m_env->getRootGUIElement();
    const struct
    {
        const char* name;
        int32_t fromX, fromY, toX, toY;
        EventLog expected; // filled below, the buttons do not exist yet
        IGUIElement* hovered;
    } cases[] = {
        // The old button hears 2 and 6, the new one 1 and 5; the buttons take
        // 1 and 2 themselves and pass 5 and 6 on to the script.
        {"button to button",
         20,
         20,
         120,
         20,
         {{"A", a, GuiLeft},
          {"A", a, GuiButtonLeft},
          {"user", a, GuiButtonLeft},
          {"B", b, GuiHovered},
          {"B", b, GuiButtonHovered},
          {"user", b, GuiButtonHovered}},
         b},
        // The root is hovered over empty space; its own event reaches nobody.
        {"button to empty space",
         20,
         20,
         400,
         300,
         {{"A", a, GuiLeft}, {"A", a, GuiButtonLeft}, {"user", a, GuiButtonLeft}},
         root},
        // Off the screen nothing is hovered and nobody is told.
        {"button to outside", 20, 20, -10, -10, {}, nullptr},
        {"within the button", 20, 20, 60, 30, {}, a},
        {"outside to button",
         -10,
         -10,
         20,
         20,
         {{"A", a, GuiHovered}, {"A", a, GuiButtonHovered}, {"user", a, GuiButtonHovered}},
         a},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        moveTo(c.fromX, c.fromY);
        log.clear();
        EXPECT_FALSE(moveTo(c.toX, c.toY)) << "a move is nobody's to consume";
        EXPECT_EQ(log, c.expected);
        EXPECT_EQ(gui.getHovered(), c.hovered);
    }
}

TEST_F(ElementTree, AReleaseAwayFromTheFocusedElementTakesItsFocusAndIsNotOffered)
{
    makeButtons();
    EXPECT_TRUE(press(20, 20));
    ASSERT_EQ(gui.getFocus(), a);
    EXPECT_EQ(a->getState(), zu::gui::EGBS_PRESSED);
    log.clear();
    a->mouse.clear();
    release(120, 20);
    EXPECT_EQ(gui.getFocus(), nullptr);
    // The focus-lost event names the root, so no script hears of it.
    const SLogged lost{"A", m_env->getRootGUIElement(), GuiFocusLost};
    EXPECT_NE(std::find(log.begin(), log.end(), lost), log.end());
    for (const SMouseEvent& m : a->mouse)
        EXPECT_NE(m.action, LeftUp) << "the release went to the focused button";
    ASSERT_FALSE(b->mouse.empty());
    EXPECT_EQ(b->mouse.back().action, LeftUp);
    const std::vector<int32_t> types = userTypes();
    EXPECT_EQ(std::count(types.begin(), types.end(), GuiClicked), 0);
    EXPECT_EQ(a->getState(), zu::gui::EGBS_NORMAL);
}

TEST_F(ElementTree, ButtonClicksAndStates)
{
    struct SStep
    {
        char what; // p press, r release, P right press, R right release, m move
        int32_t x, y;
    };
    const struct
    {
        const char* name;
        bool push, enabled;
        std::vector<SStep> steps;
        std::vector<int32_t> clicks;
        zu::gui::EGUIButtonState state;
    } cases[] = {
        {"a click",
         false,
         true,
         {{'p', 20, 20}, {'r', 20, 20}},
         {GuiClicked},
         zu::gui::EGBS_HIGHLIGHTED},
        {"released over the other button",
         false,
         true,
         {{'p', 20, 20}, {'r', 120, 20}},
         {},
         zu::gui::EGBS_NORMAL},
        {"dragged out and back",
         false,
         true,
         {{'p', 20, 20}, {'m', 120, 20}, {'r', 20, 20}},
         {},
         zu::gui::EGBS_HIGHLIGHTED},
        {"right click",
         false,
         true,
         {{'P', 20, 20}, {'R', 20, 20}},
         {GuiRightClicked},
         zu::gui::EGBS_HIGHLIGHTED},
        {"push button clicked once",
         true,
         true,
         {{'p', 20, 20}, {'r', 20, 20}},
         {GuiClicked},
         zu::gui::EGBS_PRESSED},
        {"push button clicked twice",
         true,
         true,
         {{'p', 20, 20}, {'r', 20, 20}, {'p', 20, 20}, {'r', 20, 20}},
         {GuiClicked, GuiClicked},
         zu::gui::EGBS_HIGHLIGHTED},
        {"push button on, left",
         true,
         true,
         {{'p', 20, 20}, {'r', 20, 20}, {'m', 400, 300}},
         {GuiClicked},
         zu::gui::EGBS_PRESSED},
        {"disabled", false, false, {{'p', 20, 20}, {'r', 20, 20}}, {}, zu::gui::EGBS_DISABLED},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        makeButtons();
        a->setIsPushButton(c.push);
        a->setEnabled(c.enabled);
        log.clear();
        std::vector<zu::gui::EGUIButtonState> afterRelease;
        for (const SStep& step : c.steps)
            switch (step.what)
            {
            case 'p':
                press(step.x, step.y);
                break;
            case 'P':
                press(step.x, step.y, RightDown);
                break;
            case 'r':
                release(step.x, step.y);
                break;
            case 'R':
                release(step.x, step.y, RightUp);
                break;
            default:
                moveTo(step.x, step.y);
            }
        std::vector<int32_t> clicks;
        for (const SLogged& e : log)
            if (e.receiver == "user" && e.caller == a &&
                (e.type == GuiClicked || e.type == GuiRightClicked))
                clicks.push_back(e.type);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(a->getState(), c.state);
        EXPECT_EQ(gui.getFocus(), nullptr);
        a->remove();
        b->remove();
    }
}

TEST_F(ElementTree, KeysGoToTheFocusElseToWhoeverTheRootOffersThemTo)
{
    makeButtons();
    auto* taker = new CEnterTaker(m_env, m_env);
    taker->drop();
    // Without a focus the root offers the key around.
    EXPECT_TRUE(post(SEngineEvent::makeKey(13, KeyPressed)));
    EXPECT_EQ(taker->offered, 1);
    EXPECT_FALSE(post(SEngineEvent::makeKey(0x41, KeyPressed)));

    // Enter on the focused button presses it, and its release clicks.
    gui.setFocus(a);
    log.clear();
    EXPECT_TRUE(post(SEngineEvent::makeKey(13, KeyPressed)));
    EXPECT_EQ(a->getState(), zu::gui::EGBS_PRESSED);
    EXPECT_TRUE(post(SEngineEvent::makeKey(13, KeyReleased)));
    EXPECT_EQ(a->getState(), zu::gui::EGBS_HIGHLIGHTED);
    EXPECT_EQ(gui.getFocus(), nullptr);
    EXPECT_EQ(userTypes(), std::vector<int32_t>{GuiClicked});
    EXPECT_EQ(taker->offered, 2) << "the focused button took both keys";
}

TEST_F(ElementTree, ANewTopLevelElementForgetsHoverAndFocusWithoutTellingThem)
{
    makeButtons();
    press(20, 20);
    ASSERT_EQ(gui.getFocus(), a);
    ASSERT_EQ(gui.getHovered(), a);
    log.clear();
    gui.addButton({300, 300, 350, 330});
    EXPECT_EQ(gui.getFocus(), nullptr);
    EXPECT_EQ(gui.getHovered(), nullptr);
    EXPECT_TRUE(log.empty());
    // A child of a child is not top-level: it changes nothing.
    IGUILayout* layout = gui.addLayout({500, 500, 600, 600});
    press(20, 20);
    gui.addButton({0, 0, 5, 5}, layout);
    EXPECT_EQ(gui.getFocus(), a);
}

TEST_F(ElementTree, TheWheelKeepsTheLastMousePosition)
{
    makeButtons();
    moveTo(30, 25);
    a->mouse.clear();
    post(SEngineEvent::makeMouse(MouseWheel, 2000, 1500, 1, 1.f));
    ASSERT_EQ(a->mouse.size(), 1u);
    EXPECT_EQ(a->mouse[0].x, 30);
    EXPECT_EQ(a->mouse[0].y, 25);
    EXPECT_EQ(gui.getLastMousePosition().x, 30);
}

TEST_F(ElementTree, TheLayouts)
{
    struct SChild
    {
        int32_t w, h;
        const char* river;
        bool fixed;
    };
    const struct
    {
        const char* name;
        SRecti layout;
        std::vector<SChild> children;
        std::function<void(IGUILayout*)> sort;
        std::vector<SRecti> placed;
        SRecti after;
    } cases[] = {
        {"vertically, centred",
         {0, 0, 100, 200},
         {{40, 20, "", false}, {60, 30, "", false}},
         [](IGUILayout* l) { l->sortVertically(5, true); },
         {{30, 5, 70, 25}, {20, 30, 80, 60}},
         {0, 0, 100, 200}},
        {"vertically, grown",
         {0, 0, 100, 20},
         {{10, 10, "", false}, {10, 10, "", false}},
         [](IGUILayout* l) { l->sortVertically(5, false); },
         {{0, 5, 10, 15}, {0, 20, 10, 30}},
         {0, 0, 100, 35}},
        // 95 + 40 reaches 100 - 5: the third child starts a row.
        {"flow",
         {0, 0, 100, 200},
         {{40, 20, "", false}, {40, 20, "", false}, {40, 20, "", false}},
         [](IGUILayout* l) { l->sortFlow(5, 5); },
         {{5, 5, 45, 25}, {50, 5, 90, 25}, {5, 30, 45, 50}},
         {0, 0, 100, 200}},
        // Reaching the right spacing exactly is enough to wrap.
        {"flow, wrapping at the spacing",
         {0, 0, 100, 200},
         {{40, 20, "", false}, {45, 20, "", false}},
         [](IGUILayout* l) { l->sortFlow(5, 5); },
         {{5, 5, 45, 25}, {5, 30, 50, 50}},
         {0, 0, 100, 200}},
        {"flow, right to left, grown",
         {0, 0, 100, 40},
         {{40, 20, "", false}, {40, 20, "", false}, {40, 20, "", false}},
         [](IGUILayout* l) { l->sortFlow(5, 5, true); },
         {{55, 5, 95, 25}, {10, 5, 50, 25}, {55, 30, 95, 50}},
         {0, 0, 100, 55}},
        {"horizontally",
         {0, 0, 200, 50},
         {{40, 20, "", false}, {30, 10, "", false}},
         [](IGUILayout* l) { l->sortHorizontally(5); },
         {{5, 15, 45, 35}, {50, 20, 80, 30}},
         {0, 0, 200, 50}},
        {"a fixed child stays",
         {0, 0, 100, 200},
         {{40, 20, "", true}, {40, 20, "", false}},
         [](IGUILayout* l) { l->sortVertically(5, false); },
         {{0, 0, 40, 20}, {0, 5, 40, 25}},
         {0, 0, 100, 200}},
        // The first tab stops of both rows line up; the fourth child moves
        // along with the third.
        {"river tab stops",
         {0, 0, 300, 200},
         {{30, 10, "", false},
          {40, 10, "tab", false},
          {50, 10, "br tab", false},
          {20, 10, "tab", false}},
         [](IGUILayout* l) { l->sortRiver(false, 5, 5); },
         {{5, 5, 35, 15}, {40, 5, 80, 15}, {40, 20, 90, 30}, {95, 20, 115, 30}},
         {0, 0, 300, 200}},
        // Packing takes the size of the rows (45 + 5 by 30 + 5); the narrower
        // row is then centred in the new width.
        {"river packed and centred",
         {0, 0, 300, 200},
         {{30, 10, "center", false}, {40, 10, "br", false}},
         [](IGUILayout* l) { l->sortRiver(true, 5, 5); },
         {{10, 5, 40, 15}, {5, 20, 45, 30}},
         {0, 0, 50, 35}},
        {"river aligned to the bottom",
         {0, 0, 300, 200},
         {{30, 10, "", false}, {40, 20, "bottom", false}},
         [](IGUILayout* l) { l->sortRiver(false, 5, 5); },
         {{5, 15, 35, 25}, {40, 5, 80, 25}},
         {0, 0, 300, 200}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        IGUILayout* layout = gui.addLayout(c.layout);
        std::vector<IGUIElement*> children;
        for (const SChild& child : c.children)
        {
            IGUIElement* e = gui.addButton({0, 0, child.w, child.h}, layout);
            e->setRiverText(child.river);
            e->setFixed(child.fixed);
            children.push_back(e);
        }
        c.sort(layout);
        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_TRUE(isRect(children[i]->getRelativePosition(), c.placed[i])) << "child " << i;
        EXPECT_TRUE(isRect(layout->getRelativePosition(), c.after));
        layout->remove();
    }
}

TEST_F(ElementTree, ArrangementsPlaceChildrenInTheContentArea)
{
    auto* layout = new CInsetLayout(m_env, m_env, -1, {100, 100, 300, 200});
    layout->drop();
    IGUIElement* child = gui.addButton({0, 0, 40, 20}, layout);
    layout->sortVertically(5, false);
    EXPECT_TRUE(isRect(child->getRelativePosition(), {10, 15, 50, 35}));
    EXPECT_TRUE(isRect(child->getAbsolutePosition(), {110, 115, 150, 135}));
}

TEST_F(ElementTree, ClippingOfFixedAndNoClipChildren)
{
    auto* layout = new CInsetLayout(m_env, m_env, -1, {100, 100, 300, 200});
    layout->drop();
    // A fixed child gets the layout's own clipping, any other the content area.
    EXPECT_TRUE(isRect(layout->getChildClippingRect(true), {100, 100, 300, 200}));
    EXPECT_TRUE(isRect(layout->getChildClippingRect(false), {110, 110, 290, 190}));
    IGUIElement* loose = gui.addButton({-20, -20, 50, 50}, layout);
    IGUIElement* fixed = gui.addButton({-20, -20, 50, 50}, layout);
    fixed->setFixed(true);
    loose->updateAbsolutePosition();
    fixed->updateAbsolutePosition();
    EXPECT_TRUE(isRect(loose->getAbsoluteClippingRect(), {110, 110, 150, 150}));
    EXPECT_TRUE(isRect(fixed->getAbsoluteClippingRect(), {100, 100, 150, 150}));

    // A noClip element hands its children the clipping its parent gives it.
    IGUILayout* inner = gui.addLayout({10, 10, 20, 20}, layout); // noClip
    IGUIElement* wide = gui.addButton({0, 0, 500, 500}, inner);
    EXPECT_TRUE(isRect(wide->getAbsoluteClippingRect(), {110, 110, 290, 190}));
    // An unclipped element keeps its whole rectangle.
    IGUIElement* free = gui.addButton({-50, -50, 0, 0}, layout);
    free->setUnclipped(true);
    free->updateAbsolutePosition();
    EXPECT_TRUE(isRect(free->getAbsoluteClippingRect(), {50, 50, 100, 100}));
}

TEST_F(ElementTree, EnablingReachesTheWholeSubtree)
{
    IGUILayout* window = gui.addLayout({0, 0, 300, 300});
    IGUILayout* group = gui.addLayout({0, 0, 100, 100}, window);
    IGUIElement* deep = gui.addButton({0, 0, 10, 10}, group);
    IGUIElement* other = gui.addButton({20, 0, 30, 10}, window);
    window->setEnabled(false);
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(deep->isEnabled());
    EXPECT_FALSE(other->isEnabled());
    group->setEnabled(true);
    EXPECT_TRUE(deep->isEnabled());
    EXPECT_FALSE(other->isEnabled());
    EXPECT_FALSE(window->isEnabled());
}

TEST_F(ElementTree, ElementsByIdSearchEachSubtreeBeforeTheNextChild)
{
    IGUILayout* first = gui.addLayout({0, 0, 10, 10});
    first->setID(1);
    IGUIElement* nested = gui.addButton({0, 0, 5, 5}, first, 5);
    IGUIElement* second = gui.addButton({0, 0, 5, 5}, nullptr, 5);
    EXPECT_EQ(m_env->getElementFromId(5, false), second);
    EXPECT_EQ(m_env->getElementFromId(5, true), nested);
    EXPECT_EQ(m_env->getElementFromId(7, true), nullptr);
}

TEST_F(ElementTree, CentringOnAParentAndWithoutOne)
{
    IGUILayout* layout = gui.addLayout({50, 50, 250, 150});
    IGUIElement* child = gui.addButton({0, 0, 41, 20}, layout);
    child->centerOnParent();
    EXPECT_TRUE(isRect(child->getRelativePosition(), {79, 40, 120, 60}));
    // A detached element logs and stays where it is; nothing stops.
    child->grab();
    child->remove();
    child->centerOnParent();
    EXPECT_TRUE(isRect(child->getRelativePosition(), {79, 40, 120, 60}));
    EXPECT_TRUE(iotest::CCapture::logged("centerOnParent"));
    EXPECT_TRUE(iotest::CCapture::checks().empty());
    child->drop();
}

TEST_F(ElementTree, ToolTipsShowAboveTheHoveredElementAndStayOnTheScreen)
{
    // "tip" is 18 x 10: a frame of 22 x 14.
    const struct
    {
        const char* name;
        SRecti element;
        SRecti frame;
    } cases[] = {
        {"centred above", {100, 100, 140, 120}, {109, 76, 131, 90}},
        {"below, with no room above", {100, 5, 140, 25}, {109, 35, 131, 49}},
        {"at the left edge", {0, 100, 10, 120}, {0, 76, 22, 90}},
        {"at the right edge", {790, 100, 800, 120}, {778, 76, 800, 90}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        IGUIElement* button = gui.addButton(c.element);
        IGUIElement* frame = gui.addToolTip(button, "tip");
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->getParent(), gui.getHoverParent());
        EXPECT_FALSE(frame->isVisible());
        moveTo(c.element.left + 2, c.element.top + 2);
        EXPECT_TRUE(frame->isVisible());
        drawFrame();
        EXPECT_TRUE(isRect(frame->getAbsolutePosition(), c.frame));
        // The tip is drawn last, over the tree.
        ASSERT_FALSE(m_driver->calls.empty());
        EXPECT_EQ(m_driver->calls.back().color, skin()->getColor(11));
        EXPECT_GE(m_driver->calls.back().y, c.frame.top);
        moveTo(400, 300);
        EXPECT_FALSE(frame->isVisible());
        // The frame goes with its element.
        button->remove();
        EXPECT_TRUE(gui.getHoverParent()->getChildren().empty());
    }
    EXPECT_EQ(gui.addToolTip(nullptr, "tip"), nullptr);
}

TEST_F(ElementTree, TheMouseIsMappedIntoTheRenderSize)
{
    // Half the window in each direction: the GUI lays out in 400 x 300.
    m_driver->setRenderScreenSize(400, 300);
    IGUIElement* button = gui.addButton({100, 100, 180, 130}, nullptr, 7, "OK");
    drawFrame();
    EXPECT_TRUE(isRect(m_env->getRootGUIElement()->getAbsolutePosition(), {0, 0, 400, 300}));
    // Where the button is drawn on the window: (200, 200) to (360, 260).
    click(280, 230);
    EXPECT_EQ(gui.getLastMousePosition().x, 140);
    EXPECT_EQ(gui.getLastMousePosition().y, 115);
    EXPECT_EQ(std::count(log.begin(), log.end(), SLogged{"user", button, GuiClicked}), 1);
    log.clear();
    // Window pixels taken as render pixels would have hit it.
    click(140, 115);
    EXPECT_EQ(std::count(log.begin(), log.end(), SLogged{"user", button, GuiClicked}), 0);
}

TEST_F(ElementTree, AButtonRemovedByItsOwnClickHandlerLivesUntilTheClickIsHandled)
{
    bool destroyed = false;
    auto* button = new CLoggedButton(m_env, m_env, {10, 10, 90, 40}, "A", &log, &destroyed);
    button->drop();
    bool aliveInHandler = false;
    m_user.handler = [&](const SEngineEvent& event)
    {
        if (event.gui.eventType != GuiClicked) return;
        button->remove();
        // A new top-level element drops the environment's hover and focus
        // references too, while the button's code still runs.
        gui.addButton({300, 300, 340, 320});
        aliveInHandler = !destroyed;
    };
    click(20, 20);
    EXPECT_TRUE(aliveInHandler);
    EXPECT_TRUE(destroyed);
    // The GUI goes on.
    moveTo(25, 25);
    drawFrame();
}

TEST_F(ElementTree, ARemovedHoveredElementLivesUntilTheNextHoverUpdate)
{
    bool destroyed = false;
    IGUILayout* layout = gui.addLayout({0, 0, 200, 200});
    auto* button = new CLoggedButton(m_env, layout, {10, 10, 90, 40}, "A", &log, &destroyed);
    button->drop();
    press(20, 20);
    ASSERT_EQ(gui.getFocus(), button);
    log.clear();
    button->remove();
    EXPECT_EQ(gui.getFocus(), nullptr);
    EXPECT_EQ(log, (EventLog{{"A", m_env->getRootGUIElement(), GuiFocusLost}}));
    EXPECT_FALSE(destroyed);
    moveTo(300, 300);
    EXPECT_TRUE(destroyed);
}

TEST_F(ElementTree, DrawReportsComeBeforeOrAfterTheChildren)
{
    for (int32_t mode : {zu::gui::EGUIDR_BEFORE_CHILDREN, zu::gui::EGUIDR_AFTER_CHILDREN})
    {
        SCOPED_TRACE(mode);
        IGUILayout* layout = gui.addLayout({0, 0, 200, 200});
        gui.addButton({10, 10, 90, 40}, layout);
        layout->setReportOnDraw(mode);
        size_t drawnAtReport = 99;
        m_user.handler = [&](const SEngineEvent& event)
        {
            if (event.gui.eventType == GuiDrawReport && event.gui.caller == layout)
                drawnAtReport = m_driver->rectangles.size();
        };
        drawFrame();
        EXPECT_EQ(drawnAtReport, mode == zu::gui::EGUIDR_BEFORE_CHILDREN ? 0u : 4u);
        m_user.handler = nullptr;
        layout->remove();
    }
}

TEST_F(ElementTree, HoveringOrFocusingTheRootHoldsNoReferenceToTheEnvironment)
{
    const int before = m_env->getReferenceCount();
    moveTo(400, 300);
    ASSERT_EQ(gui.getHovered(), m_env->getRootGUIElement());
    gui.setFocus(m_env->getRootGUIElement());
    EXPECT_EQ(m_env->getReferenceCount(), before);
    gui.removeFocus(m_env->getRootGUIElement());
    EXPECT_EQ(m_env->getReferenceCount(), before);
}

TEST_F(ElementTree, ClearingDropsTheTopLevelElementsButKeepsHoverAndFocus)
{
    makeButtons();
    press(20, 20);
    log.clear();
    gui.clear();
    EXPECT_TRUE(m_env->getChildren().empty());
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_EQ(gui.getFocus(), a);
    EXPECT_EQ(gui.getHovered(), a);
    EXPECT_TRUE(log.empty());
}
