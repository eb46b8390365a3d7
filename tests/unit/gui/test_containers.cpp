// The container widgets on the recording driver with posted input and the
// test's clock: windows dragged and closed, detachable frames snapping,
// resizing and fading, message boxes answering clicks and keys, tab rows
// and tab controls, combo boxes and their drop-down lists, popup menus, the
// fader, the file open dialog, and elements removed while their drop-downs
// and popups are open or from their own handlers.
#include "GuiTreeFixture.h"

#include "gui/CGUIFileOpenDialog.h"
#include "gui/CGUIMessageBox.h"
#include "gui/IGUIButton.h"
#include "gui/IGUIComboBox.h"
#include "gui/IGUIContextMenu.h"
#include "gui/IGUIDetachableFrame.h"
#include "gui/IGUIInOutFader.h"
#include "gui/IGUIListBox.h"
#include "gui/IGUIModalScreen.h"
#include "gui/IGUIPopupMenu.h"
#include "gui/IGUITab.h"
#include "gui/IGUITabButtonRow.h"
#include "gui/IGUITabControl.h"
#include "gui/IGUIToolBar.h"
#include "gui/IGUIWindow.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace guitest;
using namespace zu::event;
using zu::gui::IGUIElement;
using zu::video::SRecti;

namespace
{

class Containers : public SkinnedGuiTree
{
  protected:
    bool releaseKey(uint32_t key) { return post(SEngineEvent::makeKey(key, KeyReleased)); }
    size_t topLevelCount() const { return m_env->getChildren().size(); }
    // The middle of an element on the screen.
    static zu::video::SPosition2i middle(const IGUIElement* e)
    {
        const SRecti& r = e->getAbsolutePosition();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void clickOn(const IGUIElement* e)
    {
        const zu::video::SPosition2i p = middle(e);
        click(p.x, p.y);
    }
    // The GUI events of one type that reached the user receiver, with their
    // callers' ids and values.
    struct SReport
    {
        int32_t type;
        int32_t callerId;
        int32_t value;
    };
    static bool isHover(int32_t type)
    {
        return type == GuiHovered || type == GuiLeft || type == GuiButtonHovered ||
               type == GuiButtonLeft;
    }
    void recordReports()
    {
        m_user.handler = [this](const SEngineEvent& e)
        {
            if (!isHover(e.gui.eventType))
                reports.push_back({e.gui.eventType, e.gui.caller->getID(), e.gui.value});
        };
    }
    // What the user receiver saw besides hovering.
    std::vector<int32_t> answers() const
    {
        std::vector<int32_t> types;
        for (int32_t type : userTypes())
            if (!isHover(type)) types.push_back(type);
        return types;
    }
    std::vector<SReport> reports;
};

} // namespace

TEST_F(Containers, AWindowIsDraggedByItsTitleAndHiddenByItsCloseButton)
{
    zu::gui::IGUIWindow* window = gui.addWindow({100, 100, 300, 250}, false, "Options");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getText().str(), "Options");
    zu::gui::IGUIButton* close = window->getCloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_FALSE(window->getSecondTitleButton()->isVisible());
    // In the title bar, left of the close button.
    EXPECT_EQ(close->getRelativePosition(), (SRecti{200 - 19, 3, 200 - 4, 18}));
    // The content starts below the title bar.
    EXPECT_EQ(window->getContentArea().top, 19);

    EXPECT_FALSE(press(150, 105)) << "the press goes on to what lies under it";
    EXPECT_TRUE(window->isDragging());
    moveTo(190, 135);
    moveTo(200, 155);
    release(200, 155);
    EXPECT_FALSE(window->isDragging());
    EXPECT_EQ(window->getRelativePosition(), (SRecti{150, 150, 350, 300}));

    log.clear();
    clickOn(close);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(answers().back(), GuiHidden);
}

TEST_F(Containers, AModalWindowSwallowsTheInputOfWhatLiesBehindIt)
{
    EventLog buttons;
    auto* behind = new CLoggedButton(m_env, m_env, {10, 10, 60, 40}, "behind", &buttons);
    behind->drop();
    zu::gui::IGUIWindow* window = gui.addWindow({200, 200, 400, 300}, true, "Modal");
    auto* screen = dynamic_cast<zu::gui::IGUIModalScreen*>(window->getParent());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->getRelativePosition(), (SRecti{0, 0, 800, 600}));
    EXPECT_TRUE(press(30, 20));
    release(30, 20);
    EXPECT_TRUE(behind->mouse.empty());
    EXPECT_EQ(screen->getLastEvent().mouse.action, LeftUp);
    // The shade covers the screen in skin colour 17.
    drawFrame();
    bool shaded = false;
    for (const SRectangleCall& call : m_driver->rectangles)
        shaded = shaded || (call.color == skin()->getColor(17) && !call.clipped &&
                            call.rect == SRecti{0, 0, 800, 600});
    EXPECT_TRUE(shaded);

    // Closed by its close button, the window hides and the screen with it:
    // what lies behind takes clicks again.
    clickOn(window->getCloseButton());
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(screen->isVisible());
    press(30, 20);
    release(30, 20);
    EXPECT_FALSE(behind->mouse.empty());
}

TEST_F(Containers, ADetachableFrameSnapsToANeighbourWithin14Pixels)
{
    const struct
    {
        int32_t gap;
        int32_t left;
    } cases[] = {{10, 100}, {15, 115}, {-10, 100}, {14, 100}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.gap);
        gui.clear();
        gui.addLayout({0, 0, 100, 300});
        zu::gui::IGUIDetachableFrame* frame =
            gui.addDetachableFrame({300, 50, 400, 150}, nullptr, 1, 1000, false, false);
        press(350, 100);
        EXPECT_TRUE(frame->isMoving());
        moveTo(350 - (300 - 100 - c.gap), 100);
        release(350 - (300 - 100 - c.gap), 100);
        EXPECT_EQ(frame->getRelativePosition(), (SRecti{c.left, 50, c.left + 100, 150}));
    }
    // The parent's edge wins over nothing: a frame dragged past the left
    // edge of the screen stays on it.
    gui.clear();
    zu::gui::IGUIDetachableFrame* frame =
        gui.addDetachableFrame({300, 50, 400, 150}, nullptr, 1, 1000, false, false);
    press(350, 100);
    moveTo(20, 130);
    EXPECT_EQ(frame->getRelativePosition(), (SRecti{0, 80, 100, 180}));
}

TEST_F(Containers, ResizingADetachableFrameStopsAtItsMinimumAndStillReports)
{
    useSkinPackage({{"FrameBackground", 10, 10}, {"FrameSizeDragHandle", 8, 8}});
    zu::gui::IGUIDetachableFrame* frame =
        gui.addDetachableFrame({100, 100, 300, 250}, nullptr, 1, 1000, false, false);
    frame->setResizable(true, 150, 120);
    press(296, 246);
    ASSERT_TRUE(frame->isResizing());
    // The drag starts where the press was.
    moveTo(326, 266);
    EXPECT_EQ(frame->getRelativePosition(), (SRecti{100, 100, 330, 270}));
    log.clear();
    moveTo(196, 146);
    EXPECT_EQ(frame->getRelativePosition(), (SRecti{100, 100, 250, 220}));
    EXPECT_EQ(answers(), std::vector<int32_t>{GuiResized});
    release(196, 146);
    EXPECT_FALSE(frame->isResizing());
}

TEST_F(Containers, AFadeableFrameFadesDuringItsSecondDelayAndThenDrawsOnlyItsChildren)
{
    useSkinPackage({{"FrameBackground", 10, 10}});
    zu::gui::IGUIDetachableFrame* frame =
        gui.addDetachableFrame({100, 100, 200, 200}, nullptr, 1, 1000, false, true);
    IGUIElement* close = frame->getCloseButton();
    m_timer->now = 5000;
    moveTo(150, 150);
    moveTo(500, 500);
    const struct
    {
        uint32_t at;
        bool drawn;
        uint32_t color;
        bool buttons;
    } timeline[] = {{5000, true, 0xFFFFFFFF, true},  {5999, true, 0xFFFFFFFF, true},
                    {6000, true, 0xFFFFFFFF, false}, {6500, true, 0x7FFFFFFF, false},
                    {6999, true, 0x00FFFFFF, false}, {7000, false, 0, false}};
    for (const auto& t : timeline)
    {
        SCOPED_TRACE(t.at);
        m_timer->now = t.at;
        drawFrame();
        EXPECT_EQ(!m_driver->calls.empty(), t.drawn);
        for (const SImageCall& call : m_driver->calls)
            EXPECT_EQ(call.color, t.color);
        EXPECT_EQ(close->isVisible(), t.buttons);
        EXPECT_EQ(frame->isFadedOut(), !t.drawn);
    }
    // The mouse coming back shows it again.
    moveTo(150, 150);
    drawFrame();
    EXPECT_FALSE(frame->isFadedOut());
    EXPECT_TRUE(close->isVisible());
}

TEST_F(Containers, AMessageBoxIsAsHighAsItsTextAndButtonsNeed)
{
    CMarkerPicture picture(kMarkers32, 128);
    picture.layOut(std::vector<int32_t>(95, CHAR), 12);
    auto* tall = new kelvo::gui::CGUIFont(m_driver);
    ASSERT_TRUE(tall->load(picture.addTo(m_driver, "mono12")));
    skin()->setFont(tall);
    tall->drop();
    // Three words of 60 characters on a line of 420 pixels: one per line.
    const std::string word(60, 'x');
    IGUIElement* box =
        gui.addMessageBox("Caption", (word + " " + word + " " + word).c_str(), false, 1);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getRelativePosition(), (SRecti{150, (600 - 128) / 2, 650, (600 + 128) / 2}));
    EXPECT_FALSE(box->getChildren().empty());
}

TEST_F(Containers, AMessageBoxAnswersClicksEnterAndEscapeAndGoesWithItsScreen)
{
    using zu::gui::EMBF_CANCEL;
    using zu::gui::EMBF_NO;
    using zu::gui::EMBF_OK;
    using zu::gui::EMBF_YES;
    const struct
    {
        const char* name;
        int32_t flags;
        uint32_t key;   // 0: a click on the first button
        int32_t answer; // -1: none, the box stays
    } cases[] = {
        {"OK+Cancel, Enter", EMBF_OK | EMBF_CANCEL, 13, GuiMessageBoxOk},
        {"OK+Cancel, Escape", EMBF_OK | EMBF_CANCEL, 27, GuiMessageBoxCancel},
        {"OK+Cancel, click", EMBF_OK | EMBF_CANCEL, 0, GuiMessageBoxOk},
        {"Yes+No, Enter", EMBF_YES | EMBF_NO, 13, GuiMessageBoxYes},
        {"Yes+No, Escape", EMBF_YES | EMBF_NO, 27, GuiMessageBoxNo},
        {"Yes+No+Cancel, Escape", EMBF_YES | EMBF_NO | EMBF_CANCEL, 27, GuiMessageBoxCancel},
        {"OK, Escape", EMBF_OK, 27, -1},
    };
    for (bool modal : {false, true})
        for (const auto& c : cases)
        {
            SCOPED_TRACE(std::string(c.name) + (modal ? " (modal)" : ""));
            gui.clear();
            auto* box = static_cast<kelvo::gui::CGUIMessageBox*>(
                gui.addMessageBox("Quit?", "Really quit?", modal, c.flags));
            ASSERT_NE(box, nullptr);
            box->grab();
            log.clear();
            if (c.key)
            {
                EXPECT_TRUE(pressKey(c.key));
                EXPECT_TRUE(releaseKey(c.key));
            }
            else
                clickOn(box->getButton(c.flags & EMBF_OK ? EMBF_OK : EMBF_YES));
            std::vector<int32_t> answers;
            for (int32_t type : userTypes())
                if (type >= GuiMessageBoxYes && type <= GuiMessageBoxCancel)
                    answers.push_back(type);
            EXPECT_EQ(answers,
                      c.answer < 0 ? std::vector<int32_t>{} : std::vector<int32_t>{c.answer});
            EXPECT_EQ(box->getParent() != nullptr, c.answer < 0);
            EXPECT_EQ(topLevelCount(), c.answer < 0 ? 1u : 0u) << "no modal screen left behind";
            box->drop();
        }
}

TEST_F(Containers, TabsOfARowOverlapEvenlyWhenTheyDoNotFit)
{
    useSkinPackage({{"TabTop", 4, 4}, {"TabTabNormal", 80, 20}, {"TabTabHighlighted", 80, 20}});
    const struct
    {
        int32_t width;
        int32_t tabs;
        std::vector<int32_t> x;
    } cases[] = {
        {200, 3, {0, 60, 120}}, {300, 3, {0, 80, 160}}, {50, 1, {0}}, {50, 2, {0, 0}}, {0, 0, {}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.tabs));
        gui.clear();
        zu::gui::IGUITabButtonRow* row = gui.addTabButtonRow({10, 10}, c.width);
        row->setImages(skin()->getSpritePackage(), "Tab");
        for (int32_t i = 0; i < c.tabs; ++i)
            EXPECT_EQ(row->addTab(("Tab " + std::to_string(i)).c_str(), true), i);
        std::vector<int32_t> x;
        for (int32_t i = 0; i < row->getTabCount(); ++i)
            x.push_back(row->getTabX(i));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(row->getActiveTab(), c.tabs ? 0 : -1);
        // Indexes without a tab are refused and draw nothing odd.
        EXPECT_FALSE(row->setActiveTab(c.tabs));
        EXPECT_FALSE(row->setActiveTab(-1));
        EXPECT_EQ(row->getTabCaption(c.tabs).str(), "");
        row->highlightTab(c.tabs, true);
        moveTo(20, 20);
        drawFrame();
    }
}

TEST_F(Containers, ClosingTheLastActiveTabReportsTheClosingThenTheChange)
{
    useSkinPackage({{"TabTop", 4, 4},
                    {"TabTabNormal", 80, 20},
                    {"TabTabHighlighted", 80, 20},
                    {"CloseBtnNormal", 8, 8},
                    {"CloseBtnHighlighted", 8, 8}});
    zu::gui::IGUITabButtonRow* row = gui.addTabButtonRow({10, 10}, 200, nullptr, 4);
    row->setImages(skin()->getSpritePackage(), "Tab");
    for (const char* caption : {"One", "Two", "Three"})
        row->addTab(caption, true);
    ASSERT_TRUE(row->setActiveTab(2));
    recordReports();
    // The close mark of the third tab, at 120 + 80 - 8 - 2 in the row.
    click(10 + 120 + 72, 20);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].type, GuiTabClosed);
    EXPECT_EQ(reports[0].value, 2);
    EXPECT_EQ(reports[1].type, GuiTabChanged);
    EXPECT_EQ(row->getTabCount(), 2);
    EXPECT_EQ(row->getActiveTab(), 1);
    // A click on a tab's body only makes it active.
    reports.clear();
    click(10 + 20, 20);
    EXPECT_EQ(row->getActiveTab(), 0);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, GuiTabChanged);
    // Closing the only tab leaves none active.
    row->setActiveTab(1);
    click(10 + 80 + 72, 20);
    click(10 + 72, 20);
    EXPECT_EQ(row->getTabCount(), 0);
    EXPECT_EQ(row->getActiveTab(), -1);
    drawFrame();
}

TEST_F(Containers, ATabControlShowsTheActivePageOnly)
{
    zu::gui::IGUITabControl* tabs = gui.addTabControl({10, 10, 310, 210}, nullptr, true, true, 3);
    zu::gui::IGUITab* first = tabs->addTab("Video", 1);
    zu::gui::IGUITab* second = tabs->addTab("Sound", 2);
    EXPECT_EQ(second->getNumber(), 1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(tabs->setActiveTab(2));
    EXPECT_EQ(tabs->getActiveTab(), 0);
    log.clear();
    // The second header: after the first, which is 5 characters and two
    // margins wide.
    click(10 + 5 * CHAR + 16 + 10, 20);
    EXPECT_EQ(tabs->getActiveTab(), 1);
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(answers(), std::vector<int32_t>{GuiTabChanged});
    first->remove();
    EXPECT_EQ(tabs->getTabCount(), 1);
    EXPECT_EQ(tabs->getTab(0), second);
    EXPECT_EQ(second->getNumber(), 0);
    drawFrame();
}

TEST_F(Containers, AComboBoxDropsDownAtMostTenRows)
{
    const struct
    {
        int32_t items;
        int32_t rows;
    } cases[] = {{15, 10}, {10, 10}, {1, 1}, {0, 1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.items);
        gui.clear();
        zu::gui::IGUIComboBox* combo = gui.addComboBox({10, 10, 210, 40});
        EXPECT_EQ(combo->getRelativePosition().getHeight(), 20) << "the button's height";
        for (int32_t i = 0; i < c.items; ++i)
            combo->addItem(("Item " + std::to_string(i)).c_str());
        EXPECT_EQ(combo->getSelected(), c.items ? 0 : -1);
        click(200, 20);
        zu::gui::IGUIListBox* list = combo->getDropDown();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->getAbsolutePosition(),
                  (SRecti{10, 30, 210, 30 + c.rows * (LINE + 1) + 20}));
        EXPECT_EQ(list->getItemCount(), c.items);
        EXPECT_TRUE(gui.hasFocus(list));
        // The button again closes it.
        click(200, 20);
        EXPECT_EQ(combo->getDropDown(), nullptr);
        EXPECT_EQ(topLevelCount(), 1u);
    }
}

TEST_F(Containers, AComboBoxItemIsPickedFromItsList)
{
    zu::gui::IGUIComboBox* combo = gui.addComboBox({10, 10, 210, 30}, nullptr, 6);
    for (const char* item : {"Low", "Medium", "High"})
        combo->addItem(item);
    click(200, 20);
    zu::gui::IGUIListBox* list = combo->getDropDown();
    ASSERT_NE(list, nullptr);
    log.clear();
    clickOn(list->getListItem(2));
    EXPECT_EQ(combo->getSelected(), 2);
    EXPECT_EQ(combo->getText().str(), "High");
    EXPECT_EQ(combo->getDropDown(), nullptr);
    EXPECT_EQ(answers(), std::vector<int32_t>{GuiComboBoxChanged});
    // A press elsewhere closes an open list without a choice.
    click(200, 20);
    ASSERT_NE(combo->getDropDown(), nullptr);
    log.clear();
    click(600, 500);
    EXPECT_EQ(combo->getDropDown(), nullptr);
    EXPECT_EQ(combo->getSelected(), 2);
    EXPECT_TRUE(answers().empty());
    // A press on the box itself toggles it, without closing it first.
    click(50, 20);
    EXPECT_NE(combo->getDropDown(), nullptr);
    click(50, 20);
    EXPECT_EQ(combo->getDropDown(), nullptr);
}

TEST_F(Containers, RemovingAWindowWhileItsComboBoxIsOpenTakesTheListAlong)
{
    zu::gui::IGUIWindow* window = gui.addWindow({100, 100, 400, 300}, false, "Settings");
    zu::gui::IGUIComboBox* combo = gui.addComboBox({10, 30, 210, 50}, window);
    combo->addItem("One");
    combo->addItem("Two");
    combo->toggle();
    ASSERT_NE(combo->getDropDown(), nullptr);
    EXPECT_EQ(topLevelCount(), 2u);
    window->remove();
    EXPECT_EQ(topLevelCount(), 0u);
    click(150, 170);
    drawFrame();
    // Dropped with the tree while open: the list goes too.
    zu::gui::IGUIComboBox* other = gui.addComboBox({10, 10, 210, 30});
    other->addItem("Three");
    other->toggle();
    gui.clear();
    moveTo(50, 40);
    drawFrame();
    EXPECT_EQ(topLevelCount(), 0u);
}

TEST_F(Containers, APopupMenuReportsTheChosenEntryThenItsClosing)
{
    zu::gui::IGUIPopupMenu* popup =
        gui.addPopupMenu({100, 100}, 120, "Actions", nullptr, nullptr, nullptr, 5);
    popup->addItem("Open", 11);
    popup->addItem("Delete", 12);
    ASSERT_NE(popup, nullptr);
    recordReports();
    // The entries follow the title, one line apart.
    IGUIElement* frame = popup->getItemFrame();
    const IGUIElement* second = *std::next(frame->getChildren().begin(), 2);
    moveTo(middle(second).x, middle(second).y);
    EXPECT_EQ(popup->getHoveredItem(), 1);
    drawFrame();
    EXPECT_GE(m_driver->rectangles.size(), 1u) << "the hovered entry is highlighted";
    click(middle(second).x, middle(second).y);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].type, GuiPopupClicked);
    EXPECT_EQ(reports[0].callerId, 12);
    EXPECT_EQ(reports[1].type, GuiPopupClosed);
    EXPECT_EQ(topLevelCount(), 0u);
    // A press outside closes it without a choice.
    popup = gui.addPopupMenu({100, 100}, 120, "", nullptr, nullptr, nullptr, 5);
    popup->addItem("Open", 11);
    reports.clear();
    EXPECT_FALSE(press(500, 500));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, GuiPopupClosed);
    EXPECT_EQ(topLevelCount(), 0u);
}

TEST_F(Containers, ADetachableFrameRemovedFromItsPopupsHandlerTakesThePopupAlong)
{
    zu::gui::IGUIDetachableFrame* frame =
        gui.addDetachableFrame({100, 100, 300, 250}, nullptr, 1, 1000, true, false);
    frame->setFadeable(false);
    frame->addMenuOption("Remove", 7);
    frame->setLockable(false);
    clickOn(frame->getMenuButton());
    auto* popup = dynamic_cast<zu::gui::IGUIPopupMenu*>(frame->getMenu());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->getOwner(), frame);
    m_user.handler = [&](const SEngineEvent& e)
    {
        if (e.gui.eventType == GuiPopupClicked && e.gui.caller->getID() == 7) frame->remove();
    };
    const IGUIElement* entry = *std::next(popup->getItemFrame()->getChildren().begin(), 1);
    moveTo(middle(entry).x, middle(entry).y);
    click(middle(entry).x, middle(entry).y);
    EXPECT_EQ(topLevelCount(), 0u);
    drawFrame();
}

TEST_F(Containers, TheLockEntryOfTheFrameMenuTogglesTheLock)
{
    zu::gui::IGUIDetachableFrame* frame =
        gui.addDetachableFrame({100, 100, 300, 250}, nullptr, 1, 1000, true, false);
    frame->setLockable(true);
    EXPECT_TRUE(frame->isLocked());
    for (bool expected : {false, true})
    {
        clickOn(frame->getMenuButton());
        auto* popup = dynamic_cast<zu::gui::IGUIPopupMenu*>(frame->getMenu());
        ASSERT_NE(popup, nullptr);
        const IGUIElement* lock = *std::next(popup->getItemFrame()->getChildren().begin(), 1);
        EXPECT_EQ(lock->getText().str(), expected ? "Lock Window" : "Unlock Window");
        moveTo(middle(lock).x, middle(lock).y);
        click(middle(lock).x, middle(lock).y);
        EXPECT_EQ(frame->isLocked(), expected);
        EXPECT_EQ(frame->getMenu(), nullptr);
    }
    // Removing the frame while its menu is open closes the menu.
    clickOn(frame->getMenuButton());
    ASSERT_NE(frame->getMenu(), nullptr);
    frame->remove();
    EXPECT_EQ(topLevelCount(), 0u);
}

TEST_F(Containers, AFadeOutKeepsCoveringWithTheOpaqueColour)
{
    zu::gui::IGUIInOutFader* fader = gui.addInOutFader(nullptr);
    EXPECT_EQ(fader->getRelativePosition(), (SRecti{0, 0, 800, 600}));
    fader->setColor(0x00102030);
    m_timer->now = 1000;
    fader->fadeOut(500);
    const struct
    {
        uint32_t at;
        uint32_t color;
    } outTimes[] = {{1000, 0x00102030}, {1250, 0x80102030}, {1500, 0xFF102030}, {9000, 0xFF102030}};
    for (const auto& t : outTimes)
    {
        m_timer->now = t.at;
        drawFrame();
        ASSERT_EQ(m_driver->rectangles.size(), 1u) << t.at;
        EXPECT_EQ(m_driver->rectangles[0].color, t.color) << t.at;
    }
    EXPECT_TRUE(fader->isReady());
    fader->fadeIn(500);
    EXPECT_FALSE(fader->isReady());
    m_timer->now = 9250;
    drawFrame();
    EXPECT_EQ(m_driver->rectangles.at(0).color, 0x80102030u);
    m_timer->now = 9500;
    drawFrame();
    EXPECT_TRUE(m_driver->rectangles.empty());
}

TEST_F(Containers, AFileDialogListsAFolderAndReportsTheChosenFile)
{
    const std::string folder = m_folder + "/files";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/sub").c_str(), 0755);
    iotest::writeDiskFile(folder + "/a.txt", "a");
    iotest::writeDiskFile(folder + "/b.txt", "b");
    zu::gui::IGUIFileOpenDialog* dialog =
        gui.addFileOpenDialog("Open a file", true, nullptr, 9, folder.c_str());
    ASSERT_NE(dialog, nullptr);
    auto* d = static_cast<kelvo::gui::CGUIFileOpenDialog*>(dialog);
    ASSERT_EQ(d->getFolderList()->getItemCount(), 2);
    EXPECT_EQ(d->getFolderList()->getListItem(1)->getText().str(), "<Folder> sub");
    ASSERT_EQ(d->getFileList()->getItemCount(), 2);
    recordReports();
    // Open does nothing until a file is chosen.
    clickOn(d->getOpenButton());
    EXPECT_TRUE(reports.empty());
    clickOn(d->getFileList()->getListItem(1));
    EXPECT_EQ(dialog->getFileName().str(), folder + "/b.txt");
    d->grab();
    clickOn(d->getOpenButton());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].type, GuiFileSelected);
    EXPECT_EQ(d->getParent(), nullptr);
    EXPECT_EQ(topLevelCount(), 0u) << "the modal screen went with it";
    d->drop();
}

TEST_F(Containers, AFileDialogChangesFoldersAndSurvivesOneItCannotRead)
{
    const std::string folder = m_folder + "/tree";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/locked").c_str(), 0755);
    chmod((folder + "/locked").c_str(), 0);
    auto* d = static_cast<kelvo::gui::CGUIFileOpenDialog*>(
        gui.addFileOpenDialog("Open", false, nullptr, 9, folder.c_str()));
    ASSERT_EQ(d->getFolderList()->getItemCount(), 2);
    // Chosen twice: the folder is entered.
    clickOn(d->getFolderList()->getListItem(1));
    clickOn(d->getFolderList()->getListItem(1));
    EXPECT_EQ(d->getFolder().str(), folder + "/locked");
    if (geteuid() != 0)
    {
        EXPECT_EQ(d->getFolderList()->getItemCount(), 0);
    }
    EXPECT_EQ(d->getFileList()->getItemCount(), 0);
    drawFrame();
    chmod((folder + "/locked").c_str(), 0755);
    // A folder that does not exist lists nothing either; Cancel gives up.
    auto* missing = static_cast<kelvo::gui::CGUIFileOpenDialog*>(
        gui.addFileOpenDialog("Open", true, nullptr, 9, (folder + "/none").c_str()));
    EXPECT_EQ(missing->getFolderList()->getItemCount(), 0);
    log.clear();
    clickOn(missing->getCancelButton());
    EXPECT_EQ(answers(), std::vector<int32_t>{GuiFileDialogCancelled});
    EXPECT_EQ(topLevelCount(), 1u);
}

TEST_F(Containers, AContextMenuReportsAChoiceFromItsSubMenuAndAToolBarLinesUpButtons)
{
    zu::gui::IGUIContextMenu* menu = gui.addMenu(nullptr, 2);
    menu->addItem("File", -1, true, true);
    zu::gui::IGUIContextMenu* file = menu->getSubMenu(0);
    ASSERT_NE(file, nullptr);
    file->addItem("New", 100);
    file->addSeparator();
    file->addItem("Quit", 101);
    EXPECT_EQ(menu->getRelativePosition().getWidth(), 800);
    click(10, 8);
    EXPECT_TRUE(file->isVisible());
    const SRecti& quit = file->getAbsolutePosition();
    log.clear();
    moveTo(quit.left + 20, quit.bottom - 10);
    click(quit.left + 20, quit.bottom - 10);
    EXPECT_EQ(file->getSelectedItem(), 2);
    EXPECT_EQ(file->getItemCommandId(2), 101);
    EXPECT_FALSE(file->isVisible());
    EXPECT_EQ(answers(), std::vector<int32_t>{GuiMenuItemSelected});
    drawFrame();
    menu->remove();
    EXPECT_EQ(topLevelCount(), 0u) << "the sub-menu went with its menu";

    zu::gui::IGUIToolBar* first = gui.addToolBar();
    zu::gui::IGUIToolBar* second = gui.addToolBar();
    EXPECT_EQ(second->getRelativePosition(), (SRecti{0, 30, 800, 60}));
    EXPECT_EQ(first->addButton(1, "A")->getRelativePosition(), (SRecti{8, 2, 31, 24}));
    EXPECT_EQ(first->addButton(2, "B", "", true)->getRelativePosition(), (SRecti{34, 2, 57, 24}));
}
